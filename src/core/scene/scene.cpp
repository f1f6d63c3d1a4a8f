#include "core/scene/scene.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <thread>

#include "core/load/document.h"
#include "core/load/memory.h"
#include "core/scene/boundary.h"
#include "core/scene/colour_scale.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace litho {

DrawBox drawBoxOf(const RectMesh& mesh, const ViewState& v) {
  DrawBox b;
  if (mesh.empty()) return b;
  std::array<int, 6> c = v.ignoreCutPlanes ? std::array<int, 6>{} : v.cuts;
  const auto& p = v.hiddenPadding;
  b.xs = p[kSideWest] + c[kSideWest];
  b.xe = p[kSideWest] + v.visibleCount[0] - c[kSideEast];
  b.ys = p[kSideSouth] + c[kSideSouth];
  b.ye = p[kSideSouth] + v.visibleCount[1] - c[kSideNorth];
  b.zs = p[kSideTop] + c[kSideTop];
  b.ze = p[kSideTop] + v.visibleCount[2] - c[kSideBottom];
  b.xs = std::clamp(b.xs, 0, mesh.nx);
  b.xe = std::clamp(b.xe, b.xs, mesh.nx);
  b.ys = std::clamp(b.ys, 0, mesh.ny);
  b.ye = std::clamp(b.ye, b.ys, mesh.ny);
  b.zs = std::clamp(b.zs, 0, mesh.nz);
  b.ze = std::clamp(b.ze, b.zs, mesh.nz);
  return b;
}

unsigned long long HiddenFlags::bytesFor(const DrawBox& box) {
  if (box.empty()) return 0;
  return bytesOf(box.xe - box.xs + 2, box.ye - box.ys + 2, box.ze - box.zs + 2) + 16;
}

void HiddenFlags::reset(const DrawBox& box) {
  box_ = box;
  if (box.empty()) {
    strideZ_ = strideY_ = 0;
    return;
  }
  strideZ_ = box.ze - box.zs + 2;
  strideY_ = box.ye - box.ys + 2;
  const std::size_t n = static_cast<std::size_t>(box.xe - box.xs + 2) * strideY_ * strideZ_;
  // Word-wide reads near the end run a little past the last cell.
  data_.resize(n + 16);
  std::memset(data_.data(), 1, data_.size());
}

void SceneGeometry::clear() {
  ops.clear();
  faces.clear();
  slabs.clear();
  slabbedOp = -1;
  polygons.clear();
  polygonVertices.clear();
  overlays.clear();
  overlayVertices.clear();
  vectors.clear();
  data.clear();
  cellFaces.clear();
  title.reset();
}

std::array<float, 3> faceNormal(std::uint8_t side) {
  switch (side) {
    case kFaceTop: return {0, 0, 1};
    case kFaceBottom: return {0, 0, -1};
    case kFaceWest: return {-1, 0, 0};
    case kFaceEast: return {1, 0, 0};
    case kFaceSouth: return {0, -1, 0};
    default: return {0, 1, 0};
  }
}

std::array<std::array<double, 3>, 4> faceCorners(const RectMesh& m, const CellFace& f) {
  const double x0 = m.xNodes[f.i], x1 = m.xNodes[f.i + 1];
  const double y0 = m.yNodes[f.j], y1 = m.yNodes[f.j + 1];
  const double zt = m.zNodes[f.k], zb = m.zNodes[f.k + 1];
  switch (f.side) {
    case kFaceTop: return {{{x0, y0, zt}, {x1, y0, zt}, {x1, y1, zt}, {x0, y1, zt}}};
    case kFaceBottom: return {{{x0, y0, zb}, {x0, y1, zb}, {x1, y1, zb}, {x1, y0, zb}}};
    case kFaceWest: return {{{x0, y0, zt}, {x0, y1, zt}, {x0, y1, zb}, {x0, y0, zb}}};
    case kFaceEast: return {{{x1, y0, zt}, {x1, y0, zb}, {x1, y1, zb}, {x1, y1, zt}}};
    case kFaceSouth: return {{{x0, y0, zt}, {x0, y0, zb}, {x1, y0, zb}, {x1, y0, zt}}};
    default: return {{{x0, y1, zt}, {x1, y1, zt}, {x1, y1, zb}, {x0, y1, zb}}};
  }
}

namespace {

bool hiddenByCutoff(double v, double lo, double hi) {
  if (std::isnan(v)) return true;
  if (hi >= lo) return v < lo || v > hi;
  return v < lo && v > hi;
}

int columnTop(const Document& doc, const DrawBox& b, int i, int j) {
  const int a = doc.store().topActiveIndex().empty() ? 0 : doc.store().topActiveIndex()(i, j);
  return std::clamp(a, b.zs, b.ze);
}

std::uint64_t load8(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// The float bounds that take exactly the floats x with lo <= x <= hi.
float floatAtLeast(double lo) {
  if (std::isnan(lo) || lo == -HUGE_VAL) return static_cast<float>(lo);
  if (lo > FLT_MAX) return HUGE_VALF;
  if (lo < -FLT_MAX) return -FLT_MAX;
  float f = static_cast<float>(lo);
  if (f < lo) f = std::nextafter(f, HUGE_VALF);
  return f;
}

float floatAtMost(double hi) {
  if (std::isnan(hi) || hi == HUGE_VAL) return static_cast<float>(hi);
  if (hi < -FLT_MAX) return -HUGE_VALF;
  if (hi > FLT_MAX) return FLT_MAX;
  float f = static_cast<float>(hi);
  if (f > hi) f = std::nextafter(f, -HUGE_VALF);
  return f;
}

// f[k] = 1 where col[k] lies outside [lo, hi] or is NaN, for k in [a, e); 16 cells at a time.
void flagOutside(const float* col, std::uint8_t* f, int a, int e, float lo, float hi) {
  int k = a;
#if defined(__SSE2__)
  const __m128 l = _mm_set1_ps(lo), h = _mm_set1_ps(hi);
  const __m128i one = _mm_set1_epi8(1);
  for (; k + 16 <= e; k += 16) {
    __m128i inside[4];
    for (int q = 0; q < 4; ++q) {
      const __m128 x = _mm_loadu_ps(col + k + 4 * q);
      inside[q] = _mm_castps_si128(_mm_and_ps(_mm_cmpge_ps(x, l), _mm_cmple_ps(x, h)));
    }
    const __m128i bytes =
        _mm_packs_epi16(_mm_packs_epi32(inside[0], inside[1]), _mm_packs_epi32(inside[2], inside[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(f + k), _mm_andnot_si128(bytes, one));
  }
#endif
  for (; k < e; ++k) f[k] = !(col[k] >= lo && col[k] <= hi);
}

// work(begin, mid) here and work(mid, end) on a second thread when there are
// enough cells to share (cells counted per unit of the range).
template <class Work>
void inTwoHalves(int begin, int end, long long cellsPerUnit, Work&& work) {
  const int mid = begin + (end - begin) / 2;
  if (static_cast<long long>(end - begin) * cellsPerUnit < (1LL << 19)) {
    work(begin, end);
    return;
  }
  std::exception_ptr error;
  std::thread second;
  try {
    second = std::thread([&] {
      try {
        work(mid, end);
      } catch (...) {
        error = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    work(begin, end);
    return;
  }
  try {
    work(begin, mid);
  } catch (...) {
    second.join();
    throw;
  }
  second.join();
  if (error) std::rethrow_exception(error);
}

// --- diagonal cut ---------------------------------------------------------------

struct Point2 {
  double x, y;
};

enum Edge { kSouthEdge, kEastEdge, kNorthEdge, kWestEdge };

struct Crossing {
  Point2 p, q;
  Edge pe, qe;
};

enum class ColumnCut { Whole, Removed, Crossed };

// Where the diagonal line leaves column (x0..x1, y0..y1), and which side is kept.
ColumnCut classifyColumn(const ViewState& v, double x0, double x1, double y0, double y1, Crossing& c) {
  const double xa = v.diagonalLine[0], ya = v.diagonalLine[1], xb = v.diagonalLine[2], yb = v.diagonalLine[3];
  const double s = (yb - ya) / (xb - xa);
  double yL0 = (x0 - xa) * s + ya, yL1 = (x1 - xa) * s + ya;
  const double cx = (x1 - x0) * 1e-4, cy = (y1 - y0) * 1e-4;
  double xS = (y0 - ya) / s + xa, xN = (y1 - ya) / s + xa;
  auto snapX = [&](double& x) {
    if (std::fabs(x - x0) <= cx)
      x = x0;
    else if (std::fabs(x - x1) <= cx)
      x = x1;
  };
  auto snapY = [&](double& y) {
    if (std::fabs(y - y0) <= cy)
      y = y0;
    else if (std::fabs(y - y1) <= cy)
      y = y1;
  };
  snapX(xS);
  snapX(xN);
  snapY(yL0);
  snapY(yL1);
  if (v.diagonalSide == 0) {
    if (xS <= x0 && xN <= x0) return ColumnCut::Removed;
  } else if (xS >= x1 && xN >= x1) {
    return ColumnCut::Removed;
  }
  Point2 pts[4];
  Edge edges[4];
  int n = 0;
  auto add = [&](double x, double y, Edge e) {
    if (n < 4) {
      pts[n] = {x, y};
      edges[n] = e;
    }
    ++n;
  };
  if (x0 - cx <= xS && xS <= x1 + cx) add(xS, y0, kSouthEdge);
  if (x0 - cx <= xN && xN <= x1 + cx) add(xN, y1, kNorthEdge);
  if (y0 + cy < yL0 && yL0 < y1 - cy) add(x0, yL0, kWestEdge);
  if (y0 + cy < yL1 && yL1 < y1 - cy) add(x1, yL1, kEastEdge);
  if (n != 2) return ColumnCut::Whole;
  c.p = pts[0];
  c.q = pts[1];
  c.pe = edges[0];
  c.qe = edges[1];
  // n = (qy - py, -(qx - px)) must point away from the kept side: east when the west side stays.
  const double nx = c.q.y - c.p.y;
  if ((v.diagonalSide == 0 && nx < 0) || (v.diagonalSide != 0 && nx > 0)) {
    std::swap(c.p, c.q);
    std::swap(c.pe, c.qe);
  }
  return ColumnCut::Crossed;
}

class CutCellEmitter {
 public:
  CutCellEmitter(SceneGeometry& out, const Crossing& c, double x0, double x1, double y0, double y1)
      : out_(out), c_(c) {
    corner_[0] = {x0, y0};  // SW
    corner_[1] = {x1, y0};  // SE
    corner_[2] = {x1, y1};  // NE
    corner_[3] = {x0, y1};  // NW
    const double dx = c.q.x - c.p.x, dy = c.q.y - c.p.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    nx_ = dy / len;
    ny_ = -dx / len;
    tolerance_ = 1e-9 * (std::fabs(x1 - x0) + std::fabs(y1 - y0));
  }

  // Signed distance from the line; positive on the removed side.
  double side(Point2 a) const { return (a.x - c_.p.x) * nx_ + (a.y - c_.p.y) * ny_; }

  void cell(double zt, double zb, std::uint8_t colour, bool top, bool bottom, bool west, bool east, bool south,
            bool north) {
    const float n[3] = {static_cast<float>(nx_), static_cast<float>(ny_), 0};
    begin();
    vertex(c_.p, zt);
    vertex(c_.p, zb);
    vertex(c_.q, zb);
    vertex(c_.q, zt);
    end({n[0], n[1], n[2]}, colour);
    if (top) {
      begin();
      vertex(c_.p, zt);
      vertex(c_.q, zt);
      // Corners met walking counter-clockwise (seen from above) from q to p's edge.
      for (int e = c_.qe; e != c_.pe; e = (e + 1) % 4) vertex(corner_[(e + 1) % 4], zt);
      end({0, 0, 1}, colour);
    }
    if (bottom) {
      begin();
      vertex(c_.q, zb);
      vertex(c_.p, zb);
      // Corners met walking clockwise from p to q's edge.
      for (int e = c_.pe; e != c_.qe; e = (e + 3) % 4) vertex(corner_[e], zb);
      end({0, 0, -1}, colour);
    }
    // Side faces: from the kept end of the face to the crossing on it.
    if (west) sideFace(corner_[0], corner_[3], kWestEdge, zt, zb, {-1, 0, 0}, colour);
    if (east) sideFace(corner_[1], corner_[2], kEastEdge, zt, zb, {1, 0, 0}, colour);
    if (south) sideFace(corner_[0], corner_[1], kSouthEdge, zt, zb, {0, -1, 0}, colour);
    if (north) sideFace(corner_[3], corner_[2], kNorthEdge, zt, zb, {0, 1, 0}, colour);
  }

 private:
  void begin() {
    first_ = static_cast<std::uint32_t>(out_.polygonVertices.size());
  }
  void vertex(Point2 a, double z) {
    const auto& pv = out_.polygonVertices;
    if (pv.size() > first_) {
      const auto& last = pv.back();
      if (last[0] == a.x && last[1] == a.y && last[2] == z) return;
    }
    out_.polygonVertices.push_back({a.x, a.y, z});
  }
  void end(std::array<float, 3> normal, std::uint8_t colour) {
    auto& pv = out_.polygonVertices;
    if (pv.size() > first_ + 1 && pv.back() == pv[first_]) pv.pop_back();
    const auto count = static_cast<std::uint32_t>(out_.polygonVertices.size()) - first_;
    if (count < 3) {
      out_.polygonVertices.resize(first_);
      return;
    }
    out_.polygons.push_back({first_, count, normal, colour});
  }

  // The face spans a..b (west-to-east or south-to-north) and is drawn in the
  // winding of the whole face; the removed end is moved to the crossing.
  void sideFace(Point2 a, Point2 b, Edge edge, double zt, double zb, std::array<float, 3> normal,
                std::uint8_t colour) {
    const double sa = side(a), sb = side(b);
    const bool keepA = sa <= tolerance_, keepB = sb <= tolerance_;
    if (!keepA && !keepB) return;
    if (!(keepA && keepB)) {
      const Point2 x = c_.pe == edge ? c_.p : c_.qe == edge ? c_.q : crossing(a, b, sa, sb);
      if (keepA)
        b = x;
      else
        a = x;
    }
    begin();
    switch (edge) {
      case kWestEdge:  // (x0,y0,zt) (x0,y1,zt) (x0,y1,zb) (x0,y0,zb)
        vertex(a, zt), vertex(b, zt), vertex(b, zb), vertex(a, zb);
        break;
      case kEastEdge:  // (x1,y0,zt) (x1,y0,zb) (x1,y1,zb) (x1,y1,zt)
        vertex(a, zt), vertex(a, zb), vertex(b, zb), vertex(b, zt);
        break;
      case kSouthEdge:  // (x0,y0,zt) (x0,y0,zb) (x1,y0,zb) (x1,y0,zt)
        vertex(a, zt), vertex(a, zb), vertex(b, zb), vertex(b, zt);
        break;
      case kNorthEdge:  // (x0,y1,zt) (x1,y1,zt) (x1,y1,zb) (x0,y1,zb)
        vertex(a, zt), vertex(b, zt), vertex(b, zb), vertex(a, zb);
        break;
    }
    end(normal, colour);
  }

  static Point2 crossing(Point2 a, Point2 b, double sa, double sb) {
    const double t = sa / (sa - sb);
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
  }

  SceneGeometry& out_;
  const Crossing& c_;
  Point2 corner_[4];
  double nx_ = 0, ny_ = 0, tolerance_ = 0;
  std::uint32_t first_ = 0;
};

}  // namespace

void SceneBuilder::computeFlags(const Document& doc, const ViewState& v) {
  const DrawBox b = drawBoxOf(doc.mesh(), v);
  flags_.reset(b);
  if (b.empty()) return;
  const ModelSet& model = doc.currentModel();
  const double lo = v.displayMin, hi = v.displayMax;
  const float loF = floatAtLeast(lo), hiF = floatAtMost(hi);
  const long long columnCells = static_cast<long long>(b.ye - b.ys) * (b.ze - b.zs);
  inTwoHalves(b.xs, b.xe, columnCells, [&](int i0, int i1) {
    for (int i = i0; i < i1; ++i) {
      for (int j = b.ys; j < b.ye; ++j) {
        std::uint8_t* f = flags_.column(i, j);
        const float* col = model.column(i, j);
        const int a = columnTop(doc, b, i, j);
        if (hi >= lo) {
          // NaN fails both tests and is hidden too.
          flagOutside(col, f, a, b.ze, loF, hiF);
        } else {
          for (int k = a; k < b.ze; ++k) f[k] = hiddenByCutoff(col[k], lo, hi);
        }
      }
    }
  });
  if (!v.ignoreCutPlanes) return;
  const auto& c = v.cuts;
  auto showSlice = [&](int axis, int index) {
    for (int i = b.xs; i < b.xe; ++i) {
      if (axis == 0 && i != index) continue;
      for (int j = b.ys; j < b.ye; ++j) {
        if (axis == 1 && j != index) continue;
        std::uint8_t* f = flags_.column(i, j);
        const int a = columnTop(doc, b, i, j);
        if (axis == 2) {
          if (index >= a && index < b.ze) f[index] = 0;
        } else {
          for (int k = a; k < b.ze; ++k) f[k] = 0;
        }
      }
    }
  };
  if (c[kSideWest] >= 1) showSlice(0, b.xs + c[kSideWest]);
  if (c[kSideEast] >= 1) showSlice(0, b.xe - c[kSideEast] - 1);
  if (c[kSideSouth] >= 1) showSlice(1, b.ys + c[kSideSouth]);
  if (c[kSideNorth] >= 1) showSlice(1, b.ye - c[kSideNorth] - 1);
  if (c[kSideTop] >= 1) showSlice(2, b.zs + c[kSideTop]);
  if (c[kSideBottom] >= 1) showSlice(2, b.ze - c[kSideBottom] - 1);
}

namespace {

// The exposed faces of the shown cells of column (i, j), from its first drawn cell t.
inline void emitColumn(const std::uint8_t* f, const float* col, int i, int j, int t, int ze, long long dW,
                       long long dS, double min, double factor, std::vector<CellFace>& faces) {
  constexpr std::uint64_t kLow = 0x0101010101010101ULL;
  for (int k0 = t; k0 < ze; k0 += 8) {
    const std::uint64_t own = load8(f + k0);
    if (own == kLow) continue;  // eight hidden cells
    const std::uint64_t around = load8(f + k0 - 1) | load8(f + k0 + 1) | load8(f + k0 - dW) | load8(f + k0 + dW) |
                                 load8(f + k0 - dS) | load8(f + k0 + dS);
    std::uint64_t exposed = around & ~own & kLow;
    if (ze - k0 < 8) exposed &= (1ULL << (8 * (ze - k0))) - 1;
    while (exposed) {
      const int k = k0 + (__builtin_ctzll(exposed) >> 3);
      exposed &= exposed - 1;
      const auto colour = static_cast<std::uint8_t>(colourIndex(col[k], min, factor));
      if (f[k - 1]) faces.push_back({i, j, k, kFaceTop, colour});
      if (f[k + 1]) faces.push_back({i, j, k, kFaceBottom, colour});
      if (f[k - dW]) faces.push_back({i, j, k, kFaceWest, colour});
      if (f[k + dW]) faces.push_back({i, j, k, kFaceEast, colour});
      if (f[k - dS]) faces.push_back({i, j, k, kFaceSouth, colour});
      if (f[k + dS]) faces.push_back({i, j, k, kFaceNorth, colour});
    }
  }
}

// Columns per slab: slabs of about 64 k cells, at most 1024 of them.
int slabWidth(const DrawBox& b) {
  const long long columnCells = static_cast<long long>(b.ye - b.ys) * (b.ze - b.zs);
  const long long byCells = std::max(1LL, 65536 / std::max(1LL, columnCells));
  const long long byCount = (b.xe - b.xs + 1023) / 1024;
  return static_cast<int>(std::max(byCells, byCount));
}

}  // namespace

void SceneBuilder::emitColumns(const Document& doc, const ModelSet& values, const ColourScale& scale, int i0, int i1,
                               std::vector<CellFace>& faces) const {
  const DrawBox& b = flags_.box();
  const double min = scale.min;
  const double factor = colourFactor(scale);
  const long long dW = flags_.rowStride() * flags_.columnStride();
  const long long dS = flags_.columnStride();
  for (int i = i0; i < i1; ++i)
    for (int j = b.ys; j < b.ye; ++j)
      emitColumn(flags_.column(i, j), values.column(i, j), i, j, columnTop(doc, b, i, j), b.ze, dW, dS, min, factor,
                 faces);
}

void SceneBuilder::scalarPass(const Document& doc, const ViewState& v, const ModelSet& values,
                              const ColourScale& scale, SceneGeometry& out, bool slabbed) {
  const DrawBox& b = flags_.box();
  const auto firstFace = static_cast<std::uint32_t>(out.faces.size());
  const auto firstPolygon = static_cast<std::uint32_t>(out.polygons.size());
  if (!b.empty() && !values.empty()) {
    const double min = scale.min;
    const double factor = colourFactor(scale);
    const RectMesh& m = doc.mesh();
    const long long dW = flags_.rowStride() * flags_.columnStride();
    const long long dS = flags_.columnStride();
    if (!v.diagonalCutOn && slabbed) {
      // The second half of the slabs is emitted on another thread, then appended.
      const int width = slabWidth(b);
      const int slabs = (b.xe - b.xs + width - 1) / width;
      const long long slabCells = static_cast<long long>(width) * (b.ye - b.ys) * (b.ze - b.zs);
      otherFaces_.clear();
      otherSlabs_.clear();
      inTwoHalves(0, slabs, slabCells, [&](int s0, int s1) {
        const bool first = s0 == 0;
        std::vector<CellFace>& faces = first ? out.faces : otherFaces_;
        std::vector<FaceSlab>& ranges = first ? out.slabs : otherSlabs_;
        for (int s = s0; s < s1; ++s) {
          const int i0 = b.xs + s * width, i1 = std::min(i0 + width, b.xe);
          const auto begin = static_cast<std::uint32_t>(faces.size());
          emitColumns(doc, values, scale, i0, i1, faces);
          ranges.push_back({i0, i1, begin, static_cast<std::uint32_t>(faces.size())});
        }
      });
      if (!otherSlabs_.empty()) {
        const auto offset = static_cast<std::uint32_t>(out.faces.size());
        out.faces.insert(out.faces.end(), otherFaces_.begin(), otherFaces_.end());
        for (FaceSlab slab : otherSlabs_) {
          slab.begin += offset;
          slab.end += offset;
          out.slabs.push_back(slab);
        }
      }
      out.slabbedOp = static_cast<int>(out.ops.size());
    } else if (!v.diagonalCutOn) {
      emitColumns(doc, values, scale, b.xs, b.xe, out.faces);
    } else {
      for (int i = b.xs; i < b.xe; ++i) {
        for (int j = b.ys; j < b.ye; ++j) {
          const std::uint8_t* f = flags_.column(i, j);
          const float* col = values.column(i, j);
          const int t = columnTop(doc, b, i, j);
          Crossing c;
          const ColumnCut cut = classifyColumn(v, m.xNodes[i], m.xNodes[i + 1], m.yNodes[j], m.yNodes[j + 1], c);
          if (cut == ColumnCut::Removed) continue;
          if (cut == ColumnCut::Crossed) {
            CutCellEmitter e(out, c, m.xNodes[i], m.xNodes[i + 1], m.yNodes[j], m.yNodes[j + 1]);
            for (int k = t; k < b.ze; ++k) {
              if (f[k]) continue;
              e.cell(m.zNodes[k], m.zNodes[k + 1], static_cast<std::uint8_t>(colourIndex(col[k], min, factor)),
                     f[k - 1], f[k + 1], f[k - dW], f[k + dW], f[k - dS], f[k + dS]);
            }
            continue;
          }
          emitColumn(f, col, i, j, t, b.ze, dW, dS, min, factor, out.faces);
        }
      }
    }
  }
  out.ops.push_back({SceneOpKind::Faces, firstFace, static_cast<std::uint32_t>(out.faces.size())});
  if (out.polygons.size() > firstPolygon)
    out.ops.push_back({SceneOpKind::Polygons, firstPolygon, static_cast<std::uint32_t>(out.polygons.size())});
}

bool SceneBuilder::patch(const Document& doc, const ViewState& v, const ColourState& colours,
                         const CellRegion& changed, SceneGeometry& out, std::vector<int>& changedSlabs) {
  changedSlabs.clear();
  if (out.slabbedOp < 0 || out.slabs.empty() || v.diagonalCutOn || v.ignoreCutPlanes || !doc.modelLoaded() ||
      doc.isVectorModel() || doc.store().empty())
    return false;
  if (doc.store().hasSecondModel() && !doc.store().secondModel().empty() && colours.blendWeight > 0) return false;
  const DrawBox& b = flags_.box();
  if (!(drawBoxOf(doc.mesh(), v) == b) || b.empty()) return false;

  const ModelSet& model = doc.currentModel();
  const double lo = v.displayMin, hi = v.displayMax;
  auto& slabs = out.slabs;
  std::vector<char> touched(slabs.size(), 0);
  for (const CellBox& c : changed.boxes()) {
    const CellBox r = c.intersected({b.xs, b.xe, b.ys, b.ye, b.zs, b.ze});
    if (r.empty()) continue;
    for (int i = r.i0; i < r.i1; ++i)
      for (int j = r.j0; j < r.j1; ++j) {
        std::uint8_t* f = flags_.column(i, j);
        const float* col = model.column(i, j);
        for (int k = std::max(r.k0, columnTop(doc, b, i, j)); k < r.k1; ++k) f[k] = hiddenByCutoff(col[k], lo, hi);
      }
    // A cell's faces follow its own flag and its neighbours'.
    const int from = std::max(r.i0 - 1, b.xs), to = std::min(r.i1 + 1, b.xe);
    for (std::size_t s = 0; s < slabs.size(); ++s)
      if (slabs[s].i1 > from && slabs[s].i0 < to) touched[s] = 1;
  }
  for (std::size_t s = 0; s < slabs.size();) {
    if (!touched[s]) {
      ++s;
      continue;
    }
    std::size_t e = s;
    while (e < slabs.size() && touched[e]) changedSlabs.push_back(static_cast<int>(e++));
    replaceSlabs(doc, model, colours.firstScale, static_cast<int>(s), static_cast<int>(e), out);
    s = e;
  }
  return true;
}

// The faces of slabs [first, end) emitted again in place of the old ones; the
// faces after them move and the ranges that point at them follow.
void SceneBuilder::replaceSlabs(const Document& doc, const ModelSet& values, const ColourScale& scale, int first,
                                int end, SceneGeometry& out) {
  auto& slabs = out.slabs;
  slabFaces_.clear();
  std::vector<std::uint32_t> counts;
  for (int s = first; s < end; ++s) {
    const std::size_t before = slabFaces_.size();
    emitColumns(doc, values, scale, slabs[s].i0, slabs[s].i1, slabFaces_);
    counts.push_back(static_cast<std::uint32_t>(slabFaces_.size() - before));
  }
  const std::uint32_t oldBegin = slabs[first].begin, oldEnd = slabs[end - 1].end;
  const long long delta = static_cast<long long>(slabFaces_.size()) - (oldEnd - oldBegin);
  auto& faces = out.faces;
  if (delta > 0) {
    const std::size_t tail = faces.size() - oldEnd;
    faces.resize(faces.size() + static_cast<std::size_t>(delta));
    std::move_backward(faces.begin() + oldEnd, faces.begin() + oldEnd + tail, faces.end());
  } else if (delta < 0) {
    std::move(faces.begin() + oldEnd, faces.end(), faces.begin() + (oldEnd + delta));
    faces.resize(faces.size() - static_cast<std::size_t>(-delta));
  }
  std::copy(slabFaces_.begin(), slabFaces_.end(), faces.begin() + oldBegin);
  std::uint32_t at = oldBegin;
  for (int s = first; s < end; ++s) {
    slabs[s].begin = at;
    at += counts[s - first];
    slabs[s].end = at;
  }
  const auto shift = [delta](std::uint32_t& x) { x = static_cast<std::uint32_t>(x + delta); };
  for (std::size_t s = end; s < slabs.size(); ++s) {
    shift(slabs[s].begin);
    shift(slabs[s].end);
  }
  for (std::size_t o = 0; o < out.ops.size(); ++o) {
    SceneOp& op = out.ops[o];
    if (op.kind != SceneOpKind::Faces) continue;
    if (static_cast<int>(o) == out.slabbedOp) {
      shift(op.end);
    } else if (op.begin >= oldEnd) {
      shift(op.begin);
      shift(op.end);
    }
  }
}

std::string sceneMemoryMessage(const std::string& why) {
  return "Not enough memory to draw the model: " + why +
         ".\nCut planes, hidden padding or a cutoff that leave fewer cells make it drawable.";
}

void SceneBuilder::releaseMemory() {
  flags_.release();
  std::vector<CellFace>().swap(otherFaces_);
  std::vector<FaceSlab>().swap(otherSlabs_);
}

bool SceneBuilder::build(const Document& doc, const ViewState& v, const ColourState& colours, SceneGeometry& out,
                         const CellFacesOverlay* cellFaces) {
  out.clear();
  out.colourmap = colours.colourmap;
  failure_.clear();
  if (!doc.modelLoaded() || doc.store().empty()) {
    flags_.reset(DrawBox{});
    return true;
  }
  // The flags and, at least, the faces of the box's surface; more faces (a
  // cutoff that leaves holes) are caught when they are added.
  const DrawBox box = drawBoxOf(doc.mesh(), v);
  const auto have = static_cast<unsigned long long>(flags_.capacityBytes()) +
                    static_cast<unsigned long long>(out.faces.capacity()) * sizeof(CellFace);
  unsigned long long surface = 0;
  if (!box.empty()) {
    const unsigned long long a = box.xe - box.xs, b = box.ye - box.ys, c = box.ze - box.zs;
    surface = bytesOf(2, a * b + b * c + c * a, sizeof(CellFace));
  }
  const unsigned long long need = HiddenFlags::bytesFor(box) + surface;
  if (need > have) {
    if (const auto why = memoryShortfall(need - have)) {
      failure_ = sceneMemoryMessage(*why);
      return false;
    }
  }
  try {
    buildScene(doc, v, colours, out, cellFaces);
  } catch (const std::bad_alloc&) {
    out = SceneGeometry{};
    out.colourmap = colours.colourmap;
    releaseMemory();
    failure_ = sceneMemoryMessage("the memory ran out while it was built");
    return false;
  }
  return true;
}

void SceneBuilder::buildCellFaces(const Document& doc, const CellFacesOverlay& o, SceneGeometry& out) {
  const Grid2<int>& top = doc.store().topActiveIndex();
  long long faces = -1;
  if (o.method == kFacesSurface) {
    faces = countSurfaceFaces(o, doc.mesh(), top, flags_);
    const auto need = static_cast<unsigned long long>(faces) + 1;
    const auto have = static_cast<unsigned long long>(out.cellFaces.faces.capacity());
    if (need > have) {
      if (const auto why = memoryShortfall(bytesOf(need - have, sizeof(CellFace)))) {
        failure_ = "Not enough memory to draw the cell faces: " + *why +
                   ".\nA narrower cutoff range (Cell faces ...) leaves fewer faces to draw.";
        return;
      }
    }
  }
  buildCellFacesScene(o, doc.mesh(), top, flags_, out.cellFaces, faces);
  if (out.cellFaces.method != kFacesNone) out.ops.push_back({SceneOpKind::CellFacesOverlay});
}

void SceneBuilder::buildScene(const Document& doc, const ViewState& v, const ColourState& colours, SceneGeometry& out,
                              const CellFacesOverlay* cellFaces) {
  computeFlags(doc, v);

  const float opacity = colours.blendWeight;
  const bool secondActive = doc.store().hasSecondModel() && !doc.store().secondModel().empty() && opacity > 0;
  if (!(secondActive && opacity >= 1)) {
    out.ops.push_back({SceneOpKind::PolygonOffsetOn});
    if (doc.isVectorModel() && !v.vectorPassDeclined) {
      buildVectorScene(doc, v, colours.firstScale, flags_, out.vectors);
      out.ops.push_back({SceneOpKind::Vectors, 0, static_cast<std::uint32_t>(out.vectors.arrows.size())});
    }
    // Vector models show their cells only as outlines in mesh mode.
    if (!doc.isVectorModel() || v.showMesh)
      scalarPass(doc, v, doc.currentModel(), colours.firstScale, out,
                 !doc.isVectorModel() && !v.ignoreCutPlanes && !secondActive);
    out.ops.push_back({SceneOpKind::PolygonOffsetOff});
  }
  out.ops.push_back({SceneOpKind::LightingOff});
  // The labels of a vector export lie over the floor, which would hide them once sorted.
  const bool floor = !doc.isVectorModel() && v.showFloor && !(v.exportInProgress && v.showLabels);
  if (v.showBoundary) emitBoundary(doc.mesh(), v, floor, out);
  if (secondActive) {
    if (opacity < 1) out.ops.push_back({SceneOpKind::BlendOn});
    if (opacity < 0.85f) out.ops.push_back({SceneOpKind::DepthWriteOff});
    if (v.lightingOn) out.ops.push_back({SceneOpKind::LightingOn});
    scalarPass(doc, v, doc.store().secondModel(), colours.secondScale, out, false);
    out.ops.push_back({SceneOpKind::LightingOff});
    out.ops.push_back({SceneOpKind::BlendOff});
    out.ops.push_back({SceneOpKind::DepthWriteOn});
  }
  if (cellFaces && cellFaces->loaded) buildCellFaces(doc, *cellFaces, out);
  if (doc.store().hasSecondModel()) {
    if (opacity <= 0.5f)
      out.title = doc.modelPath();
    else
      out.title = doc.differenceShown() ? std::string("difference") : doc.secondModelPath();
  }
  buildDataScene(doc.dataSets(), out.data);
  if (!out.data.draws.empty()) out.ops.push_back({SceneOpKind::DataSets});
}

const char* sceneOpName(SceneOpKind kind) {
  switch (kind) {
    case SceneOpKind::Faces: return "faces";
    case SceneOpKind::Polygons: return "polygons";
    case SceneOpKind::PolygonOffsetOn: return "polygon offset on";
    case SceneOpKind::PolygonOffsetOff: return "polygon offset off";
    case SceneOpKind::LightingOn: return "lighting on";
    case SceneOpKind::LightingOff: return "lighting off";
    case SceneOpKind::BlendOn: return "blend on";
    case SceneOpKind::BlendOff: return "blend off";
    case SceneOpKind::DepthWriteOff: return "depth writes off";
    case SceneOpKind::DepthWriteOn: return "depth writes on";
    case SceneOpKind::OverlayOffsetOn: return "overlay offset on";
    case SceneOpKind::Overlays: return "overlays";
    case SceneOpKind::Vectors: return "vectors";
    case SceneOpKind::CellFacesOverlay: return "cell faces";
    case SceneOpKind::DataSets: return "data sets";
  }
  return "?";
}

}  // namespace litho
