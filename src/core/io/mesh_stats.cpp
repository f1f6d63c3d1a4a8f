#include "core/io/mesh_stats.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

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

void appendSection(std::string& s, const RectMesh& m, const CoreRegion& r) {
  append(s, "# of cells:  %i x %i x %i\n", r.nx, r.ny, r.nz);
  append(s, "total # of cells:  %i\n", r.nx * r.ny * r.nz);
  append(s, "mesh dimensions:  %g x %g x %g\n", m.xNodes[r.west + r.nx] - m.xNodes[r.west],
         m.yNodes[r.south + r.ny] - m.yNodes[r.south], m.zNodes[r.top] - m.zNodes[r.top + r.nz]);
  const Widths wx = widths(m.xNodes, r.west, r.nx, false);
  const Widths wy = widths(m.yNodes, r.south, r.ny, false);
  const Widths wz = widths(m.zNodes, r.top, r.nz, true);
  append(s, "smallest cell dimensions:  %g x %g x %g\n", wx.smallest, wy.smallest, wz.smallest);
  append(s, "largest cell dimensions:  %g x %g x %g\n", wx.largest, wy.largest, wz.largest);
  append(s, "top south-west corner:  %g  %g  %g\n", m.xNodes[r.west], m.yNodes[r.south], m.zNodes[r.top]);
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

}  // namespace litho
