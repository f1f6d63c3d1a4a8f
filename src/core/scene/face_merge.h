#pragma once
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "core/scene/cell_face.h"

namespace litho {

// Neighbouring coplanar cell faces of one side and colour as one rectangle:
// the faces of cells i .. i + di - 1, j .. j + dj - 1, k .. k + dk - 1, the
// extent across the face's plane being 1.
struct MergedFace {
  std::int32_t i, j, k;
  std::int32_t di, dj, dk;
  std::uint8_t side;
  std::uint8_t colour;
};

// Corners in the winding of faceCorners.
std::array<std::array<double, 3>, 4> mergedCorners(const RectMesh& mesh, const MergedFace& f);

// Merges runs of faces along one axis of their plane, then runs of equal
// extent along the other. Faces come out grouped by side (top, bottom, west,
// east, south, north); each input face lies in exactly one output rectangle.
// Faces in the order the scene emits them (by columns, down each column) merge
// best; any order gives a correct result.
class FaceMerger {
 public:
  // Appends the merged faces of faces[begin, end) to out; sideEnd[s] is then
  // out.size() after the faces of side s. A rectangle spans at most
  // maxCells[axis] cells along x, y and z; all 1: every face stays a
  // rectangle of its own, only grouped by side.
  void merge(const std::vector<CellFace>& faces, std::uint32_t begin, std::uint32_t end,
             std::vector<MergedFace>& out, std::array<std::size_t, 6>& sideEnd,
             const std::array<int, 3>& maxCells = {INT_MAX, INT_MAX, INT_MAX});

 private:
  struct Run {
    std::int32_t v0, v1;
    std::uint8_t colour;
    std::uint32_t rect;
  };
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint32_t> order_;
  std::vector<Run> previous_, current_;
};

}  // namespace litho
