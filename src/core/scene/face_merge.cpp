#include "core/scene/face_merge.h"

#include <algorithm>
#include <climits>

namespace litho {

namespace {

// A face's plane, the row it lies in (u) and its place along the row (v): rows
// follow the order in which the scene emits faces, so that runs grow in place.
struct Place {
  std::int32_t plane, u, v;
};

inline Place placeOf(const CellFace& f) {
  switch (f.side) {
    case kFaceTop:
    case kFaceBottom: return {f.k, f.i, f.j};
    case kFaceWest:
    case kFaceEast: return {f.i, f.j, f.k};
    default: return {f.j, f.i, f.k};
  }
}

MergedFace rectOf(int side, std::uint8_t colour, std::int32_t plane, std::int32_t u, std::int32_t v0,
                  std::int32_t v1) {
  const auto s = static_cast<std::uint8_t>(side);
  switch (side) {
    case kFaceTop:
    case kFaceBottom: return {u, v0, plane, 1, v1 - v0, 1, s, colour};
    case kFaceWest:
    case kFaceEast: return {plane, u, v0, 1, 1, v1 - v0, s, colour};
    default: return {u, plane, v0, 1, 1, v1 - v0, s, colour};
  }
}

inline std::int32_t extentAcross(const MergedFace& f) { return f.side == kFaceWest || f.side == kFaceEast ? f.dj : f.di; }

// One more row across u.
inline void growAcross(MergedFace& f) {
  if (f.side == kFaceWest || f.side == kFaceEast)
    ++f.dj;
  else
    ++f.di;
}

}  // namespace

std::array<std::array<double, 3>, 4> mergedCorners(const RectMesh& m, const MergedFace& f) {
  const double x0 = m.xNodes[f.i], x1 = m.xNodes[f.i + f.di];
  const double y0 = m.yNodes[f.j], y1 = m.yNodes[f.j + f.dj];
  const double zt = m.zNodes[f.k], zb = m.zNodes[f.k + f.dk];
  switch (f.side) {
    case kFaceTop: return {{{x0, y0, zt}, {x1, y0, zt}, {x1, y1, zt}, {x0, y1, zt}}};
    case kFaceBottom: return {{{x0, y0, zb}, {x0, y1, zb}, {x1, y1, zb}, {x1, y0, zb}}};
    case kFaceWest: return {{{x0, y0, zt}, {x0, y1, zt}, {x0, y1, zb}, {x0, y0, zb}}};
    case kFaceEast: return {{{x1, y0, zt}, {x1, y0, zb}, {x1, y1, zb}, {x1, y1, zt}}};
    case kFaceSouth: return {{{x0, y0, zt}, {x0, y0, zb}, {x1, y0, zb}, {x1, y0, zt}}};
    default: return {{{x0, y1, zt}, {x1, y1, zt}, {x1, y1, zb}, {x0, y1, zb}}};
  }
}

void FaceMerger::merge(const std::vector<CellFace>& faces, std::uint32_t begin, std::uint32_t end,
                       std::vector<MergedFace>& out, std::array<std::size_t, 6>& sideEnd,
                       const std::array<int, 3>& maxCells) {
  sideEnd.fill(out.size());
  if (begin >= end) return;
  std::int32_t lo = INT_MAX, hi = INT_MIN;
  for (std::uint32_t f = begin; f < end; ++f) {
    const std::int32_t p = placeOf(faces[f]).plane;
    lo = std::min(lo, p);
    hi = std::max(hi, p);
  }
  // A stable counting sort by side and plane keeps each plane's faces in emission order.
  const std::size_t planes = static_cast<std::size_t>(hi - lo) + 1;
  starts_.assign(6 * planes + 1, 0);
  auto key = [&](const CellFace& c) { return (c.side % 6) * planes + static_cast<std::size_t>(placeOf(c).plane - lo); };
  for (std::uint32_t f = begin; f < end; ++f) ++starts_[key(faces[f]) + 1];
  for (std::size_t b = 1; b < starts_.size(); ++b) starts_[b] += starts_[b - 1];
  order_.resize(end - begin);
  for (std::uint32_t f = begin; f < end; ++f) order_[starts_[key(faces[f])]++] = f;
  // starts_[b] is now the end of bucket b.

  std::int32_t previousRow = INT_MIN, row = INT_MIN;
  int maxU = 1, maxV = 1;
  auto closeRow = [&](int side, std::int32_t plane) {
    const bool adjacent = previousRow != INT_MIN && row == previousRow + 1;
    std::size_t p = 0;
    for (Run& r : current_) {
      while (adjacent && p < previous_.size() && previous_[p].v0 < r.v0) ++p;
      if (adjacent && p < previous_.size() && previous_[p].v0 == r.v0 && previous_[p].v1 == r.v1 &&
          previous_[p].colour == r.colour && extentAcross(out[previous_[p].rect]) < maxU) {
        r.rect = previous_[p++].rect;
        growAcross(out[r.rect]);
      } else {
        r.rect = static_cast<std::uint32_t>(out.size());
        out.push_back(rectOf(side, r.colour, plane, row, r.v0, r.v1));
      }
    }
    previous_.swap(current_);
    current_.clear();
    previousRow = row;
  };

  std::uint32_t first = 0;
  for (int side = 0; side < 6; ++side) {
    // Rows run along x, except on the west and east sides; places along a row are y on the top and bottom, else z.
    maxU = side == kFaceWest || side == kFaceEast ? maxCells[1] : maxCells[0];
    maxV = side == kFaceTop || side == kFaceBottom ? maxCells[1] : maxCells[2];
    for (std::size_t q = 0; q < planes; ++q) {
      const std::size_t b = side * planes + q;
      const std::uint32_t last = starts_[b];
      if (first == last) continue;
      const auto plane = static_cast<std::int32_t>(q) + lo;
      previous_.clear();
      current_.clear();
      previousRow = row = INT_MIN;
      for (std::uint32_t o = first; o < last; ++o) {
        const CellFace& f = faces[order_[o]];
        const Place at = placeOf(f);
        if (at.u != row) {
          if (row != INT_MIN) closeRow(side, plane);
          row = at.u;
        } else if (!current_.empty() && current_.back().v1 == at.v && current_.back().colour == f.colour &&
                   current_.back().v1 - current_.back().v0 < maxV) {
          ++current_.back().v1;
          continue;
        }
        current_.push_back({at.v, at.v + 1, f.colour, 0});
      }
      closeRow(side, plane);
      first = last;
    }
    sideEnd[side] = out.size();
  }
}

}  // namespace litho
