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

// Calls keep(i, j, k, side, value) for every face of the surface mode in the
// cutoff range: the face above, west of and south of each cell from the
// column's first drawn layer, the ends of the box included so that the faces
// on its far sides are reached.
template <class Keep>
void walkSurface(const CellFacesOverlay& o, const Grid2<int>& top, const DrawBox& b, Keep&& keep) {
  if (b.empty()) return;
  const float lo = o.cutoffMin, hi = o.cutoffMax;
  const int iEnd = std::min(b.xe, o.nx - 1), jEnd = std::min(b.ye, o.ny - 1), kEnd = std::min(b.ze, o.nz - 1);
  for (int i = b.xs; i <= iEnd; ++i) {
    for (int j = b.ys; j <= jEnd; ++j) {
      const int k0 = firstLayer(top, b, i, j);
      if (i != b.xe && j != b.ye) {
        const float* zc = o.z.column(i, j);
        for (int k = std::max(k0, 1); k <= kEnd; ++k)
          if (zc[k - 1] >= lo && zc[k - 1] <= hi) keep(i, j, k, kFaceTop, zc[k - 1]);
      }
      const int kSide = std::min(kEnd, b.ze - 1);
      if (i != 0 && j != b.ye) {
        const float* xc = o.x.column(i - 1, j);
        for (int k = k0; k <= kSide; ++k)
          if (xc[k] >= lo && xc[k] <= hi) keep(i, j, k, kFaceWest, xc[k]);
      }
      if (j != 0 && i != b.xe) {
        const float* yc = o.y.column(i, j - 1);
        for (int k = k0; k <= kSide; ++k)
          if (yc[k] >= lo && yc[k] <= hi) keep(i, j, k, kFaceSouth, yc[k]);
      }
    }
  }
}

bool drawable(const CellFacesOverlay& o, const RectMesh& mesh) {
  return o.loaded && o.arraysPresent() && o.colourmap && o.fitsMesh(mesh.nx, mesh.ny, mesh.nz);
}

}  // namespace

long long countSurfaceFaces(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& top,
                            const HiddenFlags& flags) {
  if (!drawable(o, mesh) || o.method != kFacesSurface) return 0;
  long long n = 0;
  walkSurface(o, top, flags.box(), [&](int, int, int, std::uint8_t, float) { ++n; });
  return n;
}

void buildCellFacesScene(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& top,
                         const HiddenFlags& flags, CellFacesScene& out) {
  out.clear();
  if (!drawable(o, mesh) || flags.box().empty()) return;
  out.method = o.method;
  out.lineWidth = o.lineWidth;
  out.colourmap = *o.colourmap;
  if (o.method == kFacesLines) {
    buildTraces(o, top, flags, out.traces);
  } else if (o.method == kFacesSurface) {
    const float lo = o.colourMin, hi = o.colourMax;
    walkSurface(o, top, flags.box(), [&](int i, int j, int k, std::uint8_t side, float w) {
      out.faces.push_back({i, j, k, side, static_cast<std::uint8_t>(facesColourIndex(w, lo, hi))});
    });
  }
}

}  // namespace litho
