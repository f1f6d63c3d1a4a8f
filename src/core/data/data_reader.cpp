#include "core/data/data_reader.h"
#include "core/platform/printable.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>

#include "core/io/file_system.h"
#include "core/io/scanf_number.h"

namespace litho {

namespace {

constexpr std::size_t kMaxName = 49;

const char* skipBlanks(const char* p, const char* e) {
  while (p != e && scan_detail::isBlank(*p)) ++p;
  return p;
}

// What scanf sees as the end of its input: the line's end or a NUL.
bool blankLine(std::string_view line) {
  const char* p = skipBlanks(line.data(), line.data() + line.size());
  return p == line.data() + line.size() || *p == '\0';
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// "%i": decimal, 0x hexadecimal or 0 octal, with a sign. Counts beyond the
// int range saturate.
const char* scanInt(const char* p, const char* e, long long& value) {
  p = skipBlanks(p, e);
  bool negative = false;
  if (p != e && (*p == '+' || *p == '-')) negative = *p++ == '-';
  int base = 10;
  if (p != e && *p == '0') {
    base = 8;
    if (e - p > 2 && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2]) < 16) {
      base = 16;
      p += 2;
    }
  }
  const char* start = p;
  long long v = 0;
  for (; p != e && digitValue(*p) < base; ++p) v = std::min<long long>(v * base + digitValue(*p), INT_MAX + 1LL);
  if (p == start) return nullptr;
  value = negative ? -v : std::min<long long>(v, INT_MAX);
  return p;
}

// Fields "%i %lg" converts: -1 on a blank line, else 0, 1 or 2.
int countLineFields(std::string_view line, long long& count) {
  if (blankLine(line)) return -1;
  const char* e = line.data() + line.size();
  const char* q = scanInt(line.data(), e, count);
  if (!q) return 0;
  double d;
  return scanDouble(q, e, d) ? 2 : 1;
}

bool wholeNumber(const char* b, const char* e) {
  double d;
  return scanDouble(b, e, d) == e;
}

// "%lg %lg %lg %lg %s" into p; returns the numbers converted (0..4). The
// fifth field becomes the name when a name is wanted and it is not itself a
// number: real files put an error column there.
int scanPointLine(std::string_view line, DataPoint& p, bool wantName) {
  const char* q = line.data();
  const char* e = q + line.size();
  double v[4] = {0, 0, 0, 0};
  int n = 0;
  while (n < 4) {
    const char* r = scanDouble(q, e, v[n]);
    if (!r) break;
    q = r;
    ++n;
  }
  p.x = v[0];
  p.y = v[1];
  p.z = v[2];
  p.value = v[3];
  if (n == 4 && wantName) {
    const char* t = skipBlanks(q, e);
    const char* end = t;
    while (end != e && !scan_detail::isBlank(*end) && *end != '\0') ++end;
    if (end != t && !wholeNumber(t, end)) p.name.assign(t, std::min(static_cast<std::size_t>(end - t), kMaxName));
  }
  return n;
}

bool nextNonBlank(LineSource& in, std::string_view& line) {
  while (in.nextLine(line))
    if (!blankLine(line)) return true;
  return false;
}

void readCountedPoints(LineSource& in, long long count, const std::string& path, Platform& platform,
                       DataFileContents& out) {
  out.declaredCount = count;
  if (count <= 0) return;
  // Each point line takes at least two bytes; a count beyond that reserves nothing extra.
  const long long remaining = in.remainingBytes();
  out.points.reserve(static_cast<std::size_t>(remaining >= 0 ? std::min(count, remaining / 2 + 1) : 0));
  std::string_view line;
  while (static_cast<long long>(out.points.size()) < count && nextNonBlank(in, line)) {
    DataPoint p;
    scanPointLine(line, p, false);
    out.points.push_back(std::move(p));
  }
  if (static_cast<long long>(out.points.size()) < count) {
    const std::string read = std::to_string(out.points.size());
    platform.message("The data file\n" + printable(path) + "\ncounts " + std::to_string(count) + " points but holds " + read +
                         " point lines; the " + read + " points were read.",
                     MessageKind::Warning);
  }
}

}  // namespace

DataFileContents readDataPoints(LineSource& in, const std::string& path, Platform& platform) {
  DataFileContents out;
  std::string_view line;
  if (!nextNonBlank(in, line)) return out;
  long long count = 0;
  DataPoint first;
  // A first line such as "60. 10. 50000." converts one field under "%i %lg"
  // too; it holds three numbers and is no count.
  if (countLineFields(line, count) == 1 && scanPointLine(line, first, false) == 1) {
    out.layout = DataLayout::Counted;
    readCountedPoints(in, count, path, platform, out);
  } else {
    // Lines of 3 or 4 numbers from the top: the points of a plain file, or
    // the two header lines before a count line.
    bool stopped = false;
    int stopNumbers = 0;
    do {
      DataPoint p;
      const int numbers = scanPointLine(line, p, true);
      if (numbers < 3) {
        stopped = true;
        stopNumbers = numbers;
        break;
      }
      out.points.push_back(std::move(p));
    } while (nextNonBlank(in, line));
    if (stopped && out.points.size() == 2 && stopNumbers == 1 &&
        scanInt(line.data(), line.data() + line.size(), count)) {
      out.points.clear();
      out.layout = DataLayout::HeaderAndCount;
      readCountedPoints(in, count, path, platform, out);
    } else {
      out.layout = DataLayout::Plain;
    }
  }
  // Rounding each value first gives the same bounds as rounding the extremes,
  // and GCC 12's vectoriser drops a pair of double-float-double round trips.
  float lo = static_cast<float>(out.rangeMin), hi = static_cast<float>(out.rangeMax);
  for (const DataPoint& p : out.points) {
    if (!std::isfinite(p.value)) continue;
    lo = std::min(lo, static_cast<float>(p.value));
    hi = std::max(hi, static_cast<float>(p.value));
  }
  out.rangeMin = lo;
  out.rangeMax = hi;
  return out;
}

bool readDataFile(DataSet& set, Platform& platform) {
  if (set.path.empty()) {
    platform.message("Filename missing.", MessageKind::Warning);
    return false;
  }
  LineSource::Buffers buffers;
  LineSource in(set.path, buffers);
  if (!in.isOpen() || in.failed()) {
    platform.message("Could not open\n" + printable(set.path), MessageKind::Warning);
    return false;
  }
  DataFileContents contents;
  try {
    contents = readDataPoints(in, set.path, platform);
  } catch (const std::bad_alloc&) {
    platform.message("Not enough memory to read the data file\n" + printable(set.path), MessageKind::Error);
    return false;
  }
  if (in.failed()) {
    platform.message("Error reading data file\n" + printable(set.path), MessageKind::Error);
    return false;
  }
  if (contents.points.empty()) {
    platform.message("No data points in the data file\n" + printable(set.path), MessageKind::Warning);
    return false;
  }
  set.points = std::move(contents.points);
  set.rangeMin = contents.rangeMin;
  set.rangeMax = contents.rangeMax;
  set.surface.clear();
  return true;
}

std::optional<DataSet> readTransmitterData(Platform& platform) {
  DataSet set;
  set.path = fullPath("trns_coord.txt");
  const bool read = readDataFile(set, platform);
  std::remove(set.path.c_str());
  if (!read) return std::nullopt;
  set.plottingMethod = kPlotLines;
  set.plottingValue = 3;
  set.solidColour = true;
  set.colour = {1, 0, 0};
  set.name = dataDisplayName(set);
  return set;
}

}  // namespace litho
