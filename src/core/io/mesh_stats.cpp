#include "core/io/mesh_stats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "core/io/coordinate_text.h"

namespace litho {

namespace {

void append(std::string& s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void append(std::string& s, const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  s += buf;
}

struct Widths {
  double smallest = 0;
  double largest = 0;
};

// Widths of cells first..first+count-1 of an axis; descending nodes (Z) give thicknesses.
Widths widths(const std::vector<double>& nodes, int first, int count, bool descending) {
  Widths w;
  for (int i = first; i < first + count; ++i) {
    const double d = descending ? nodes[i] - nodes[i + 1] : nodes[i + 1] - nodes[i];
    if (i == first) {
      w.smallest = w.largest = d;
    } else {
      w.smallest = std::min(w.smallest, d);
      w.largest = std::max(w.largest, d);
    }
  }
  return w;
}

// Coordinates and lengths of an axis are shown to its smallest cell width, each width exactly.
std::string line(const char* label, const char* separator, const std::array<double, 3>& values,
                 const std::array<double, 3>& resolutions) {
  std::string s = label;
  for (std::size_t a = 0; a < 3; ++a) {
    if (a > 0) s += separator;
    s += coordinateText(values[a], resolutions[a]);
  }
  return s + "\n";
}

void appendSection(std::string& s, const RectMesh& m, const CoreRegion& r) {
  append(s, "# of cells:  %i x %i x %i\n", r.nx, r.ny, r.nz);
  append(s, "total # of cells:  %i\n", r.nx * r.ny * r.nz);
  const Widths wx = widths(m.xNodes, r.west, r.nx, false);
  const Widths wy = widths(m.yNodes, r.south, r.ny, false);
  const Widths wz = widths(m.zNodes, r.top, r.nz, true);
  const std::array<double, 3> finest{wx.smallest, wy.smallest, wz.smallest};
  const std::array<double, 3> coarsest{wx.largest, wy.largest, wz.largest};
  s += line("mesh dimensions:  ", " x ",
            {m.xNodes[r.west + r.nx] - m.xNodes[r.west], m.yNodes[r.south + r.ny] - m.yNodes[r.south],
             m.zNodes[r.top] - m.zNodes[r.top + r.nz]},
            finest);
  s += line("smallest cell dimensions:  ", " x ", finest, finest);
  s += line("largest cell dimensions:  ", " x ", coarsest, coarsest);
  s += line("top south-west corner:  ", "  ", {m.xNodes[r.west], m.yNodes[r.south], m.zNodes[r.top]}, finest);
}

}  // namespace

std::string meshStatisticsText(const RectMesh& mesh, const CoreRegion* core) {
  std::string s = "Mesh Statistics:\n\n";
  if (mesh.empty()) return s;
  appendSection(s, mesh, CoreRegion{0, 0, 0, mesh.nx, mesh.ny, mesh.nz});
  if (core && (core->nx != mesh.nx || core->ny != mesh.ny || core->nz != mesh.nz)) {
    s += "\nWith padding cells removed:\n\n";
    appendSection(s, mesh, *core);
  }
  return s;
}

std::string cellPropertiesText(const RectMesh& m, int i, int j, int k, float value) {
  std::string s;
  append(s, "Cell %d, %d, %d\n", i, j, k);
  const auto extent = [&](const char* axis, double from, double to) {
    const double width = std::fabs(to - from);
    s += axis + coordinateText(from, width) + " to " + coordinateText(to, width) + "\n";
  };
  extent("X ", m.xNodes[i], m.xNodes[i + 1]);
  extent("Y ", m.yNodes[j], m.yNodes[j + 1]);
  extent("Z ", m.zNodes[k], m.zNodes[k + 1]);
  append(s, "value %g", static_cast<double>(value));
  return s;
}

}  // namespace litho
