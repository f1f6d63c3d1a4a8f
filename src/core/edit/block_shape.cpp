#include "core/edit/block_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace litho {

int nearestNode(const std::vector<double>& n, double x) {
  if (n.empty()) return 0;
  const int last = static_cast<int>(n.size()) - 1;
  const bool ascending = n.front() <= n.back();
  // The first node at or beyond x in the nodes' direction.
  int lo = 0, hi = last + 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (ascending ? n[mid] >= x : n[mid] <= x)
      hi = mid;
    else
      lo = mid + 1;
  }
  if (lo == 0) return 0;
  if (lo > last) return last;
  return std::fabs(x - n[lo - 1]) <= std::fabs(n[lo] - x) ? lo - 1 : lo;
}

namespace {

struct Ranges {
  int i0, i1, j0, j1, k0, k1;  // half-open, inside the mesh
};

// Element indices and sizes clamped to the mesh whatever they hold.
Ranges rangesOf(const RectMesh& m, const Element& e) {
  const auto clamp = [](long long v, long long lo, long long hi) { return static_cast<int>(std::clamp(v, lo, hi)); };
  Ranges r{};
  r.i0 = clamp(e.xIndex, 0, m.nx);
  r.i1 = clamp(static_cast<long long>(e.xIndex) + e.xSize, r.i0, m.nx);
  r.j1 = clamp(static_cast<long long>(e.yIndex) + 1, 0, m.ny);
  r.j0 = clamp(static_cast<long long>(e.yIndex) - e.ySize + 1, 0, r.j1);
  r.k0 = clamp(e.zIndex, 0, m.nz);
  r.k1 = clamp(static_cast<long long>(e.zIndex) + e.zSize, r.k0, m.nz);
  return r;
}

double centre(const std::vector<double>& n, int i) { return 0.5 * (n[i] + n[i + 1]); }

double tanOfSlope(int position) { return std::tan(3.0 * std::clamp(position, -20, 20) * std::numbers::pi / 180.0); }

class Painter {
 public:
  Painter(const RectMesh& m, const Grid2<int>& top, BlockShape& out) : m_(m), top_(top), out_(out) {}

  int firstActive(int i, int j) const { return top_.empty() ? 0 : std::clamp(top_(i, j), 0, m_.nz); }

  // Cells from..to-1 of column (i, j) that are active.
  void run(int i, int j, int from, int to) {
    from = std::max(from, firstActive(i, j));
    if (from >= to) return;
    out_.runs.push_back({i, j, from, to});
    out_.box.unite({i, i + 1, j, j + 1, from, to});
  }

 private:
  const RectMesh& m_;
  const Grid2<int>& top_;
  BlockShape& out_;
};

void paintEllipsoid(const RectMesh& m, const Ranges& r, Painter& p) {
  const auto& x = m.xNodes;
  const auto& y = m.yNodes;
  const auto& z = m.zNodes;
  const double cx = 0.5 * (x[r.i0] + x[r.i1]), hx = 0.5 * (x[r.i1] - x[r.i0]);
  const double cy = 0.5 * (y[r.j0] + y[r.j1]), hy = 0.5 * (y[r.j1] - y[r.j0]);
  const double cz = 0.5 * (z[r.k0] + z[r.k1]), hz = 0.5 * (z[r.k1] - z[r.k0]);
  for (int i = r.i0; i < r.i1; ++i) {
    const double u = (centre(x, i) - cx) / hx;
    for (int j = r.j0; j < r.j1; ++j) {
      const double v = (centre(y, j) - cy) / hy;
      int start = -1;
      for (int k = r.k0; k <= r.k1; ++k) {
        const double w = k < r.k1 ? (centre(z, k) - cz) / hz : 0;
        const bool inside = k < r.k1 && u * u + v * v + w * w <= 1;
        if (inside && start < 0) start = k;
        if (!inside && start >= 0) {
          p.run(i, j, start, k);
          start = -1;
        }
      }
    }
  }
}

// Returns false when no cell row or depth range was processed.
bool paintCuboid(const RectMesh& m, const Element& e, const Ranges& r, Painter& p, BlockExtents& ext) {
  const auto& x = m.xNodes;
  const auto& y = m.yNodes;
  const auto& z = m.zNodes;
  const bool rowsSloped = e.slopeXY != 0, depthsSloped = e.slopeX != 0 || e.slopeY != 0;
  const double tx = tanOfSlope(e.slopeX), ty = tanOfSlope(e.slopeY), txy = tanOfSlope(e.slopeXY);
  const double xr = centre(x, std::clamp(e.xIndex, 0, m.nx - 1));
  const double yr = centre(y, std::clamp(e.yIndex, 0, m.ny - 1));
  int rowLo = m.ny, rowHi = 0, depthLo = m.nz, depthHi = 0;
  for (int i = r.i0; i < r.i1; ++i) {
    const double dx = centre(x, i) - xr;
    int r0 = r.j0, r1 = r.j1;
    if (rowsSloped) {
      const double s = -dx * txy;
      r0 = nearestNode(y, y[r.j0] + s);
      r1 = nearestNode(y, y[r.j1] + s);
    }
    if (r0 >= r1) continue;
    rowLo = std::min(rowLo, r0);
    rowHi = std::max(rowHi, r1);
    for (int j = r0; j < r1; ++j) {
      int t0 = r.k0, t1 = r.k1;
      if (depthsSloped) {
        const double t = (centre(y, j) - yr) * ty - dx * tx;
        t0 = nearestNode(z, z[r.k0] + t);
        t1 = nearestNode(z, z[r.k1] + t);
      }
      if (t0 >= t1) continue;
      depthLo = std::min(depthLo, t0);
      depthHi = std::max(depthHi, t1);
      p.run(i, j, t0, t1);
    }
  }
  if (rowLo >= rowHi || depthLo >= depthHi) return false;
  ext = {x[r.i0], x[r.i1], y[rowLo], y[rowHi], z[depthLo], z[depthHi]};
  return true;
}

}  // namespace

BlockShape blockShape(const RectMesh& mesh, const Grid2<int>& top, const Element& e) {
  BlockShape out;
  if (mesh.nx <= 0 || mesh.ny <= 0 || mesh.nz <= 0) return out;
  const Ranges r = rangesOf(mesh, e);
  out.extents = {mesh.xNodes[r.i0], mesh.xNodes[r.i1], mesh.yNodes[r.j0],
                 mesh.yNodes[r.j1], mesh.zNodes[r.k0], mesh.zNodes[r.k1]};
  if (r.i0 >= r.i1 || r.j0 >= r.j1 || r.k0 >= r.k1) return out;
  Painter p(mesh, top, out);
  if (e.cuboid) {
    BlockExtents ext;
    if (paintCuboid(mesh, e, r, p, ext)) out.extents = ext;
  } else {
    paintEllipsoid(mesh, r, p);
  }
  return out;
}

}  // namespace litho
