#pragma once
#include <array>
#include <cstdint>

#include "core/store/rect_mesh.h"

namespace litho {

enum FaceSide : std::uint8_t { kFaceTop, kFaceBottom, kFaceWest, kFaceEast, kFaceSouth, kFaceNorth };

// One axis-aligned cell face; its corners follow from the node arrays.
struct CellFace {
  std::int32_t i, j, k;
  std::uint8_t side;
  std::uint8_t colour;  // entry of the colourmap it is drawn with
};

// Corners of a cell face in drawing order (counter-clockwise from outside) and its normal.
std::array<std::array<double, 3>, 4> faceCorners(const RectMesh& mesh, const CellFace& f);
std::array<float, 3> faceNormal(std::uint8_t side);

}  // namespace litho
