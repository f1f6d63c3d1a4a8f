#pragma once
#include <string>

namespace litho {

// One block of the block editor: a cuboid or an ellipsoid of constant value.
struct Element {
  Element() = default;
  Element(const Element&) = default;
  Element& operator=(const Element&) = default;
  virtual ~Element() = default;

  int xIndex = 0;   // first (west) column
  int yIndex = 0;   // last (north) row
  int zIndex = 0;   // top cell, 0 = top layer
  int xSize = 1;
  int ySize = 1;    // counted southwards from yIndex
  int zSize = 1;    // counted downwards from zIndex
  int slopeX = 0;   // slider positions -20..20, 3 degrees a step
  int slopeY = 0;
  int slopeXY = 0;
  float value = 0;
  bool cuboid = true;
  std::string name;

  bool operator==(const Element&) const = default;
};

}  // namespace litho
