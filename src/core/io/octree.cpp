#include "core/io/octree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/io/model_reader.h"
#include "core/io/scanf_number.h"
#include "core/load/memory.h"
#include "core/load/progress.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

constexpr long long kProgressEvery = 4096;

int digitValue(char c, int base) {
  int d;
  if (c >= '0' && c <= '9')
    d = c - '0';
  else if (c >= 'a' && c <= 'f')
    d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    d = c - 'A' + 10;
  else
    return -1;
  return d < base ? d : -1;
}

// scanf's "%i" on [p, end): blanks skipped, a sign, then "0x" hexadecimal, a
// leading 0 octal, otherwise decimal. A value outside int converts nothing.
const char* scanInt(const char* p, const char* end, int& value) {
  while (p != end && scan_detail::isBlank(*p)) ++p;
  if (p == end) return nullptr;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (p != end && *p >= '1' && *p <= '9') {
    // Plain decimals: up to nine digits cannot overflow.
    const char* first = p;
    unsigned m = 0;
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10 && p - first < 9; ++p)
      m = m * 10 + static_cast<unsigned>(*p - '0');
    if (p == end || static_cast<unsigned char>(*p - '0') >= 10) {
      value = negative ? -static_cast<int>(m) : static_cast<int>(m);
      return p;
    }
    p = first;
  }
  int base = 10;
  if (p != end && *p == '0') {
    if (end - p > 2 && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2], 16) >= 0) {
      base = 16;
      p += 2;
    } else {
      base = 8;
    }
  }
  const char* first = p;
  unsigned long long m = 0;
  bool tooBig = false;
  for (int d; p != end && (d = digitValue(*p, base)) >= 0; ++p) {
    m = m * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (m > 2147483648ULL) {
      tooBig = true;
      m = 2147483648ULL;
    }
  }
  if (p == first || tooBig || m > (negative ? 2147483648ULL : 2147483647ULL)) return nullptr;
  value = negative ? static_cast<int>(-static_cast<long long>(m)) : static_cast<int>(m);
  return p;
}

// Blanks and up to nine decimal digits inline; everything else through scanInt.
inline const char* scanIntFast(const char* p, const char* end, int& value) {
  while (p != end && (*p == ' ' || *p == '\t')) ++p;
  const char* first = p;
  if (p != end && *p >= '1' && *p <= '9') {
    unsigned m = 0;
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
    if (p - first <= 9) {
      value = static_cast<int>(m);
      return p;
    }
  }
  return scanInt(first, end, value);
}

// Where the numbers end, or nullptr. Never reads past a '\n'.
const char* scanIntsUpTo(const char* p, const char* end, int* v, int count) {
  for (int q = 0; q < count && p; ++q) p = scanIntFast(p, end, v[q]);
  return p;
}

bool scanInts(const char* p, const char* end, int* v, int count) { return scanIntsUpTo(p, end, v, count) != nullptr; }

bool scanInts(std::string_view line, int* v, int count) {
  return scanInts(line.data(), line.data() + line.size(), v, count);
}

bool scanDoubles(std::string_view line, double* v, int count) {
  const char* p = line.data();
  const char* end = p + line.size();
  for (int q = 0; q < count; ++q)
    if (!(p = scanDouble(p, end, v[q]))) return false;
  return true;
}

// The lines of a LineSource taken a block at a time.
class Lines {
 public:
  explicit Lines(LineSource& in) : in_(in) {}
  // The next line [b, e) without its '\n'.
  bool next(const char*& b, const char*& e) {
    while (p_ >= end_) {
      if (!in_.nextBlock(p_, end_)) return false;
      readable_ = in_.readableEnd();
    }
    b = p_;
    const auto* nl = static_cast<const char*>(std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_)));
    e = nl ? nl : end_;
    p_ = nl ? nl + 1 : end_;
    return true;
  }
  // Runs parse(begin, end of the block) on the next line, then moves past the
  // line; parse must not read beyond a '\n'. The line is [b, e); ok tells
  // whether parse succeeded.
  template <class Parse>
  bool parseNext(Parse parse, bool& ok, const char*& b, const char*& e) {
    while (p_ >= end_) {
      if (!in_.nextBlock(p_, end_)) return false;
      readable_ = in_.readableEnd();
    }
    b = p_;
    const char* stop = parse(p_, end_);
    ok = stop != nullptr;
    const char* from = stop ? stop : p_;
    const auto* nl = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end_ - from)));
    e = nl ? nl : end_;
    p_ = nl ? nl + 1 : end_;
    return true;
  }
  // Reading up to here is safe while the current line is.
  const char* readable() const { return readable_; }

 private:
  LineSource& in_;
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  const char* readable_ = nullptr;
};

template <class Fill>
void forEachColumn(const OctreeCell& c, Fill fill) {
  for (int i = c.i - 1; i < c.i - 1 + c.size; ++i)
    for (int j = c.j - 1; j < c.j - 1 + c.size; ++j) fill(i, j);
}

void fillCube(ModelSet& set, const OctreeCell& c, float v) {
  if (c.size == 1) {
    set(c.i - 1, c.j - 1, c.k - 1) = v;
    return;
  }
  forEachColumn(c, [&](int i, int j) {
    float* col = set.column(i, j) + c.k - 1;
    std::fill(col, col + c.size, v);
  });
}

// The reason a value line is missing: the end of the file or a failed read.
std::string missingLine(const LineSource& in) {
  const std::string stopped = sourceFailure(in);
  return stopped.empty() ? "The file ends before the last octree cell.\n" : stopped;
}

}  // namespace

bool readOctreeMesh(LineSource& in, const std::string& path, OctreeMesh& out, Platform& platform, DocumentUi& ui,
                    const MeshLimits& limits) {
  out = OctreeMesh{};
  const std::string prefix = "Error reading octree mesh:\n" + printable(path) + "\n";
  const auto fail = [&](const std::string& why, std::string_view line) {
    platform.message(prefix + why + printable(line, 200), MessageKind::Error);
    out = OctreeMesh{};
    return false;
  };
  if (!in.problem().empty()) return fail(in.problem() + "\n", "");
  std::string_view view;
  const auto next = [&] { return in.nextLine(view) ? std::string(view) : std::string(); };

  const std::string line1 = next();
  if (!sourceFailure(in).empty()) return fail(sourceFailure(in), "");
  if (crOnlyLineEnds(line1)) return fail(kCrOnlyLineEnds, "");
  int n3[3] = {};
  if (!scanInts(line1, n3, 3)) return fail("Expecting: nx ny nz of the underlying mesh.\n", line1);
  if (n3[0] < 1 || n3[1] < 1 || n3[2] < 1)
    return fail("# of cells in the underlying mesh should be positive.\n", line1);
  // Each factor is below 2^31, so the second product is formed only below 2^62.
  if (static_cast<long long>(n3[0]) * n3[1] > limits.maxCells ||
      static_cast<long long>(n3[0]) * n3[1] * n3[2] > limits.maxCells)
    return fail("The underlying mesh has too many cells.\n", line1);
  const long long cells = static_cast<long long>(n3[0]) * n3[1] * n3[2];
  const unsigned long long bytes = (3ULL + n3[0] + n3[1] + n3[2]) * sizeof(double) +
                                   static_cast<unsigned long long>(cells) * sizeof(float) +
                                   static_cast<unsigned long long>(n3[0]) * n3[1] * sizeof(int);
  if (const auto why = memoryShortfall(bytes, limits.maxBytes)) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "Not enough memory for a model of %i x %i x %i cells: ", n3[0], n3[1], n3[2]);
    return fail(buf + *why + ".\n", line1);
  }

  const std::string line2 = next();
  double corner[3] = {};
  if (!scanDoubles(line2, corner, 3) || !std::isfinite(corner[0]) || !std::isfinite(corner[1]) ||
      !std::isfinite(corner[2]))
    return fail("Expecting: x0 y0 z0 of the top south-west corner.\n", line2);

  const std::string line3 = next();
  double size[3] = {};
  scanDoubles(line3, size, 3);
  if (!(size[0] > 0) || !(size[1] > 0) || !(size[2] > 0)) return fail("Cell width should be positive.\n", line3);
  if (!std::isfinite(corner[0] + n3[0] * size[0]) || !std::isfinite(corner[1] + n3[1] * size[1]) ||
      !std::isfinite(corner[2] - n3[2] * size[2]))
    return fail("Mesh coordinates out of range.\n", line3);

  const std::string line4 = next();
  int count = 0;
  scanInts(line4, &count, 1);
  if (count <= 0) return fail("Need more than 1 cell in the octree mesh file.\n", line4);

  OctreeMesh m;
  m.nx = n3[0];
  m.ny = n3[1];
  m.nz = n3[2];
  m.x0 = corner[0];
  m.y0 = corner[1];
  m.z0 = corner[2];
  m.dx = size[0];
  m.dy = size[1];
  m.dz = size[2];
  // Widths lost in the round-off of large coordinates would give cells of no size.
  const RectMesh nodes = octreeRectMesh(m);
  const auto grows = [](const std::vector<double>& v, bool down) {
    for (std::size_t q = 1; q < v.size(); ++q)
      if (down ? !(v[q] < v[q - 1]) : !(v[q] > v[q - 1])) return false;
    return true;
  };
  if (!grows(nodes.xNodes, false) || !grows(nodes.yNodes, false) || !grows(nodes.zNodes, true))
    return fail("Cell width is too small for the coordinates of the corner.\n", line3);
  // A cell line takes at least 8 bytes: the count alone does not size the list.
  const long long remaining = in.remainingBytes();
  const long long room = std::min<long long>(count, remaining >= 0 ? remaining / 8 + 1 : 1024);
  if (const auto why = memoryShortfall(bytesOf(room, sizeof(OctreeCell)), limits.maxBytes))
    return fail("Not enough memory for the octree cells: " + *why + ".\n", line4);
  m.cells.reserve(static_cast<std::size_t>(room));

  ProgressReporter progress(ui, path);
  progress.setTotal(count);
  progress.report(0);
  Lines lines(in);
  for (long long c = 0; c < count; ++c) {
    const char *b, *e;
    int v[4];
    bool ok;
    if (!lines.parseNext([&](const char* p, const char* end) { return scanIntsUpTo(p, end, v, 4); }, ok, b, e))
      return fail(missingLine(in), "");
    if (!ok) return fail("", std::string_view(b, static_cast<std::size_t>(e - b)));
    m.cells.push_back({v[0], v[1], v[2], v[3]});
    if ((c + 1) % kProgressEvery == 0) progress.report(static_cast<double>(c + 1));
  }
  progress.report(count);
  out = std::move(m);
  return true;
}

RectMesh octreeRectMesh(const OctreeMesh& o) {
  RectMesh m;
  m.nx = o.nx;
  m.ny = o.ny;
  m.nz = o.nz;
  m.xNodes.resize(static_cast<std::size_t>(o.nx) + 1);
  m.yNodes.resize(static_cast<std::size_t>(o.ny) + 1);
  m.zNodes.resize(static_cast<std::size_t>(o.nz) + 1);
  m.xNodes[0] = o.x0;
  m.yNodes[0] = o.y0;
  m.zNodes[0] = o.z0;
  for (int i = 1; i <= o.nx; ++i) m.xNodes[i] = m.xNodes[i - 1] + o.dx;
  for (int j = 1; j <= o.ny; ++j) m.yNodes[j] = m.yNodes[j - 1] + o.dy;
  for (int k = 1; k <= o.nz; ++k) m.zNodes[k] = m.zNodes[k - 1] - o.dz;
  return m;
}

bool checkOctreeTiling(const OctreeMesh& o, ModelSet& scratch, Platform& platform) {
  const auto fail = [&] {
    platform.message("Octree mesh error.", MessageKind::Error);
    return false;
  };
  std::fill(scratch.data(), scratch.data() + scratch.size(), -1.0f);
  for (const OctreeCell& c : o.cells) {
    if (c.i < 1 || c.j < 1 || c.k < 1 || c.size < 1 || static_cast<long long>(c.i) - 1 + c.size > o.nx ||
        static_cast<long long>(c.j) - 1 + c.size > o.ny || static_cast<long long>(c.k) - 1 + c.size > o.nz)
      return fail();
    bool twice = false;
    forEachColumn(c, [&](int i, int j) {
      float* col = scratch.column(i, j) + c.k - 1;
      for (int k = 0; k < c.size; ++k) {
        twice |= col[k] > 0;
        col[k] = 1;
      }
    });
    if (twice) return fail();
  }
  if (std::any_of(scratch.data(), scratch.data() + scratch.size(), [](float v) { return v < 0; })) return fail();
  return true;
}

bool readOctreeScalarModel(LineSource& in, const std::string& path, const OctreeMesh& o, ModelSet& target,
                           bool log, OctreeRange& range, Grid2<int>& topActive, Platform& platform,
                           DocumentUi& ui) {
  const std::string readError = "Error reading model file " + printable(path);
  const float t = octreeAirThreshold(log);
  double lo = OctreeRange{}.minimum, hi = OctreeRange{}.maximum;
  const auto n = static_cast<long long>(o.cells.size());
  ProgressReporter progress(ui, path);
  progress.setTotal(static_cast<double>(n));
  progress.report(0);
  Lines lines(in);
  for (long long c = 0; c < n; ++c) {
    const char *b, *e;
    if (!lines.next(b, e)) {
      platform.message((in.failed() ? missingLine(in) : std::string()) + readError, MessageKind::Error);
      return false;
    }
    float v;
    if (!scanFloatFast(b, e, lines.readable(), v)) {
      platform.message(readError, MessageKind::Error);
      return false;
    }
    if (log) {
      if (v > 0) {
        v = std::log10(v);
      } else if (v <= 0) {
        platform.message(logRefusal(b, e) + readError, MessageKind::Error);
        return false;
      }
    }
    if (v > t && std::isfinite(v)) {
      lo = std::min(lo, static_cast<double>(v));
      hi = std::max(hi, static_cast<double>(v));
    }
    fillCube(target, o.cells[static_cast<std::size_t>(c)], v);
    if ((c + 1) % kProgressEvery == 0) progress.report(static_cast<double>(c + 1));
  }
  progress.report(static_cast<double>(n));
  // Lines after the last cell are not read, as in a model file of a rectilinear mesh.
  topActive.allocate(o.nx, o.ny);
  for (int i = 0; i < o.nx; ++i)
    for (int j = 0; j < o.ny; ++j) {
      const float* col = target.column(i, j);
      int k = 0;
      while (k < o.nz && !(col[k] > t)) ++k;
      topActive(i, j) = k;
    }
  range = {lo, hi};
  return true;
}

bool readOctreeVectorModel(LineSource& in, const std::string& path, const OctreeMesh& o, ModelSet& amplitude,
                           ModelSet& x, ModelSet& y, ModelSet& z, bool log, OctreeRange& range, Platform& platform,
                           DocumentUi& ui) {
  const std::string readError = "Error reading vector file " + printable(path);
  double lo = OctreeRange{}.minimum, hi = OctreeRange{}.maximum;
  const auto n = static_cast<long long>(o.cells.size());
  ProgressReporter progress(ui, path);
  progress.setTotal(static_cast<double>(n));
  progress.report(0);
  Lines lines(in);
  for (long long c = 0; c < n; ++c) {
    const char *b, *e;
    if (!lines.next(b, e)) {
      platform.message((in.failed() ? missingLine(in) : std::string()) + readError, MessageKind::Error);
      return false;
    }
    double v[3];
    if (!scanDoubles(std::string_view(b, static_cast<std::size_t>(e - b)), v, 3)) {
      platform.message(readError, MessageKind::Error);
      return false;
    }
    float a = 0, ux = 0, uy = 0, uz = 0;
    if (v[0] != 0 || v[1] != 0 || v[2] != 0) {
      double amp = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
      if (amp == 0 || std::isinf(amp)) amp = std::hypot(v[0], v[1], v[2]);
      ux = static_cast<float>(v[0] / amp);
      uy = static_cast<float>(v[1] / amp);
      uz = static_cast<float>(v[2] / amp);
      if (!log) amp = std::log10(amp);
      a = static_cast<float>(amp);
      if (std::isfinite(a)) {
        lo = std::min(lo, static_cast<double>(a));
        hi = std::max(hi, static_cast<double>(a));
      }
    }
    const OctreeCell& cell = o.cells[static_cast<std::size_t>(c)];
    fillCube(amplitude, cell, a);
    fillCube(x, cell, ux);
    fillCube(y, cell, uy);
    fillCube(z, cell, uz);
    if ((c + 1) % kProgressEvery == 0) progress.report(static_cast<double>(c + 1));
  }
  progress.report(static_cast<double>(n));
  range = {lo, hi};
  return true;
}

void syntheticOctreeModel(const OctreeMesh& o, ModelSet& target, OctreeRange& range) {
  double lo = OctreeRange{}.minimum, hi = OctreeRange{}.maximum;
  for (const OctreeCell& c : o.cells) {
    // Fifteen bits of each draw: u runs from 0 to 1 whatever the generator's range.
    const float u = static_cast<float>(std::rand() & 0x7fff) / 32767.0f;
    const float v = std::log10(static_cast<float>(c.size) * (1.0f + 0.9f * u));
    lo = std::min(lo, static_cast<double>(v));
    hi = std::max(hi, static_cast<double>(v));
    fillCube(target, c, v);
  }
  range = {lo, hi};
}

}  // namespace litho
