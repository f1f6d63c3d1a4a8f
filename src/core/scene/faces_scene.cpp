#include "core/scene/faces_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/scene/scene.h"

namespace litho {

std::array<std::array<double, 3>, 2> traceEnds(const RectMesh& m, const FaceTrace& t) {
  const double xL = m.xNodes[t.i], xR = m.xNodes[t.i + 1];
  const double yS = m.yNodes[t.j], yN = m.yNodes[t.j + 1];
  const double zT = m.zNodes[t.k], zB = m.zNodes[t.k + 1];
  switch (t.kind) {
    case kTraceTopX:
      return {{{xR, yS, zT}, {xR, yN, zT}}};
    case kTraceTopY:
      return {{{xL, yN, zT}, {xR, yN, zT}}};
    case kTraceBottomX:
      return {{{xR, yS, zB}, {xR, yN, zB}}};
    case kTraceBottomY:
      return {{{xL, yN, zB}, {xR, yN, zB}}};
    case kTraceSouthX:
      return {{{xR, yS, zT}, {xR, yS, zB}}};
    case kTraceSouthZ:
      return {{{xL, yS, zB}, {xR, yS, zB}}};
    case kTraceNorthX:
      return {{{xR, yN, zT}, {xR, yN, zB}}};
    case kTraceNorthZ:
      return {{{xL, yN, zB}, {xR, yN, zB}}};
    case kTraceWestY:
      return {{{xL, yN, zT}, {xL, yN, zB}}};
    case kTraceWestZ:
      return {{{xL, yS, zB}, {xL, yN, zB}}};
    case kTraceEastY:
      return {{{xR, yN, zT}, {xR, yN, zB}}};
    default:
      return {{{xR, yS, zB}, {xR, yN, zB}}};
  }
}

namespace {

// The column's first drawn layer: its first active cell, not above zs, at most ze.
int firstLayer(const Grid2<int>& top, const DrawBox& b, int i, int j) {
  const int a = top.empty() ? 0 : top(i, j);
  return std::clamp(a, b.zs, b.ze);
}

std::uint64_t load8(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

void buildTraces(const CellFacesOverlay& o, const Grid2<int>& top, const HiddenFlags& flags,
                 std::vector<FaceTrace>& out) {
  const DrawBox& b = flags.box();
  const long long dW = flags.rowStride() * flags.columnStride();
  const long long dS = flags.columnStride();
  constexpr std::uint64_t kLow = 0x0101010101010101ULL;
  const float lo = o.colourMin, hi = o.colourMax;
  for (int i = b.xs; i < b.xe; ++i) {
    for (int j = b.ys; j < b.ye; ++j) {
      const std::uint8_t* f = flags.column(i, j);
      // The faces beyond the box's east, north and bottom ends are not traced.
      const float* xc = i != b.xe - 1 ? o.x.column(i, j) : nullptr;
      const float* yc = j != b.ye - 1 ? o.y.column(i, j) : nullptr;
      const float* zc = o.z.column(i, j);
      for (int k0 = firstLayer(top, b, i, j); k0 < b.ze; k0 += 8) {
        const std::uint64_t own = load8(f + k0);
        const std::uint64_t around = load8(f + k0 - 1) | load8(f + k0 + 1) | load8(f + k0 - dW) | load8(f + k0 + dW) |
                                     load8(f + k0 - dS) | load8(f + k0 + dS);
        std::uint64_t exposed = around & ~own & kLow;
        if (b.ze - k0 < 8) exposed &= (1ULL << (8 * (b.ze - k0))) - 1;
        while (exposed) {
          const int k = k0 + (__builtin_ctzll(exposed) >> 3);
          exposed &= exposed - 1;
          // Colour entries, or -1 for a face that is not traced.
          auto entry = [&](const float* column, bool present) {
            if (!present || std::isnan(column[k])) return -1;
            return facesColourIndex(column[k], lo, hi);
          };
          const int cx = entry(xc, xc != nullptr), cy = entry(yc, yc != nullptr), cz = entry(zc, k != b.ze - 1);
          auto add = [&](int colour, FaceTraceKind kind) {
            if (colour >= 0) out.push_back({i, j, k, kind, static_cast<std::uint8_t>(colour)});
          };
          if (f[k - 1]) add(cx, kTraceTopX), add(cy, kTraceTopY);
          if (f[k + 1]) add(cx, kTraceBottomX), add(cy, kTraceBottomY);
          if (f[k - dS]) add(cx, kTraceSouthX), add(cz, kTraceSouthZ);
          if (f[k + dS]) add(cx, kTraceNorthX), add(cz, kTraceNorthZ);
          if (f[k - dW]) add(cy, kTraceWestY), add(cz, kTraceWestZ);
          if (f[k + dW]) add(cy, kTraceEastY), add(cz, kTraceEastZ);
        }
      }
    }
  }
}

// Calls run(values, shift, k0, k1, i, j, side) for every run of candidate
// faces of the surface mode: the face above, west of and south of each cell
// k0..k1 of column (i, j) from its first drawn layer, whose values are
// values[k + shift]. The ends of the box are included, so that the faces on
// its far sides are reached.
template <class Run>
void walkSurface(const CellFacesOverlay& o, const Grid2<int>& top, const DrawBox& b, Run&& run) {
  if (b.empty()) return;
  const int iEnd = std::min(b.xe, o.nx - 1), jEnd = std::min(b.ye, o.ny - 1), kEnd = std::min(b.ze, o.nz - 1);
  const int kSide = std::min(kEnd, b.ze - 1);
  for (int i = b.xs; i <= iEnd; ++i) {
    for (int j = b.ys; j <= jEnd; ++j) {
      const int k0 = firstLayer(top, b, i, j);
      if (i != b.xe && j != b.ye) run(o.z.column(i, j), -1, std::max(k0, 1), kEnd, i, j, kFaceTop);
      if (i != 0 && j != b.ye) run(o.x.column(i - 1, j), 0, k0, kSide, i, j, kFaceWest);
      if (j != 0 && i != b.xe) run(o.y.column(i, j - 1), 0, k0, kSide, i, j, kFaceSouth);
    }
  }
}

// In the closed cutoff range; never NaN. Without branches: the values are as
// good as random, and a mispredicted branch a face would cost more than the test.
inline int kept(float w, float lo, float hi) { return (w >= lo) & (w <= hi); }

long long countKept(const CellFacesOverlay& o, const Grid2<int>& top, const DrawBox& b) {
  const float lo = o.cutoffMin, hi = o.cutoffMax;
  long long n = 0;
  walkSurface(o, top, b, [&](const float* v, int shift, int k0, int k1, int, int, std::uint8_t) {
    int m = 0;
    for (int k = k0; k <= k1; ++k) m += kept(v[k + shift], lo, hi);
    n += m;
  });
  return n;
}

void buildSurface(const CellFacesOverlay& o, const Grid2<int>& top, const DrawBox& b, long long count,
                  std::vector<CellFace>& out) {
  const float lo = o.cutoffMin, hi = o.cutoffMax;
  // Every candidate is written at the next free place, which only a kept one advances: one spare slot.
  out.resize(static_cast<std::size_t>(count) + 1);
  CellFace* f = out.data();
  std::size_t n = 0;
  walkSurface(o, top, b, [&](const float* v, int shift, int k0, int k1, int i, int j, std::uint8_t side) {
    for (int k = k0; k <= k1; ++k) {
      f[n] = {i, j, k, side, 0};
      n += static_cast<std::size_t>(kept(v[k + shift], lo, hi));
    }
  });
  out.resize(n);
  const float cmin = o.colourMin, cmax = o.colourMax;
  for (CellFace& c : out) {
    const float w = c.side == kFaceTop    ? o.z(c.i, c.j, c.k - 1)
                    : c.side == kFaceWest ? o.x(c.i - 1, c.j, c.k)
                                          : o.y(c.i, c.j - 1, c.k);
    c.colour = static_cast<std::uint8_t>(facesColourIndex(w, cmin, cmax));
  }
}

bool drawable(const CellFacesOverlay& o, const RectMesh& mesh) {
  return o.loaded && o.arraysPresent() && o.colourmap && o.fitsMesh(mesh.nx, mesh.ny, mesh.nz);
}

}  // namespace

long long countSurfaceFaces(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& top,
                            const HiddenFlags& flags) {
  if (!drawable(o, mesh) || o.method != kFacesSurface) return 0;
  return countKept(o, top, flags.box());
}

void buildCellFacesScene(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& top,
                         const HiddenFlags& flags, CellFacesScene& out, long long surfaceFaces) {
  out.clear();
  if (!drawable(o, mesh) || flags.box().empty()) return;
  out.method = o.method;
  out.lineWidth = o.lineWidth;
  out.colourmap = *o.colourmap;
  if (o.method == kFacesLines) {
    buildTraces(o, top, flags, out.traces);
  } else if (o.method == kFacesSurface) {
    if (surfaceFaces < 0) surfaceFaces = countKept(o, top, flags.box());
    buildSurface(o, top, flags.box(), surfaceFaces, out.faces);
  }
}

}  // namespace litho
