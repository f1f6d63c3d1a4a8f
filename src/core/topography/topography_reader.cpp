#include "core/topography/topography_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/io/scanf_number.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

// The shortest point line is "0 0 0" and its line end.
constexpr long long kShortestPointLine = 6;

// "%i" from the start of the line: decimal, 0x hexadecimal or 0 octal.
bool scanCount(std::string_view line, long long& count) {
  const std::string text(line);  // stops at a NUL as scanf would
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 0);
  if (end == text.c_str()) return false;
  count = errno == ERANGE ? (v < 0 ? LLONG_MIN : LLONG_MAX) : v;
  return true;
}

}  // namespace

std::string topographyReadError(const std::string& path) { return "Error reading topography file " + printable(path); }

std::optional<TopographyPoints> readTopographyPoints(LineSource& in, const std::string& path, Platform& platform) {
  long long lineNumber = 0;
  auto fail = [&](const std::string& detail = {}) {
    platform.message(sourceFailure(in) + topographyReadError(path) + detail, MessageKind::Error);
    return std::nullopt;
  };

  std::string_view line;
  do {
    if (!in.nextLine(line)) return fail();
    ++lineNumber;
  } while (!line.empty() && line.front() == '!');

  long long count = 0;
  if (!scanCount(line, count)) return fail();
  const std::string at = "\nline " + std::to_string(lineNumber) + ": ";
  if (count < 0) return fail(at + "the point count is negative");
  const long long remaining = in.remainingBytes();
  if (count > INT_MAX - 4 || (remaining >= 0 && count > (remaining + 1) / kShortestPointLine))
    return fail(at + "the file cannot hold " + std::to_string(count) + " points");

  TopographyPoints points;
  const auto n = static_cast<std::size_t>(count);
  points.easting.reserve(n + 4);
  points.northing.reserve(n + 4);
  points.elevation.reserve(n + 4);

  const char* begin = nullptr;
  const char* end = nullptr;
  while (points.easting.size() < n) {
    if (!in.nextBlock(begin, end)) return fail();
    const char* p = begin;
    while (p != end && points.easting.size() < n) {
      ++lineNumber;
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* lineEnd = nl ? nl : end;
      double e = 0, north = 0, z = 0;
      const char* q = scanDouble(p, lineEnd, e);
      if (q) q = scanDouble(q, lineEnd, north);
      if (q) q = scanDouble(q, lineEnd, z);
      if (!q) return fail();
      if (!std::isfinite(e) || !std::isfinite(north) || !std::isfinite(z))
        return fail("\nline " + std::to_string(lineNumber) + ": not a finite number");
      points.easting.push_back(e);
      points.northing.push_back(north);
      points.elevation.push_back(z);
      p = nl ? nl + 1 : end;
    }
  }
  return points;
}

}  // namespace litho
