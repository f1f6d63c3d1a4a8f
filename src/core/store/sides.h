#pragma once
#include <array>

namespace litho {

// The six sides of the mesh, in the one order every side array uses:
// west, east, south, north, top, bottom (axis 0, 1, 2; low side first, top before bottom).
enum Side { kSideWest = 0, kSideEast, kSideSouth, kSideNorth, kSideTop, kSideBottom };
using SideCounts = std::array<int, 6>;

// Padding that leaves at least one cell along every axis. An axis whose two
// counts are negative or would hide every cell gets no padding.
struct FittedPadding {
  SideCounts padding{};
  std::array<int, 3> visible{};  // cells left along X, Y, Z
};

inline bool paddingFits(long long low, long long high, int cells) {
  return low >= 0 && high >= 0 && low + high < cells;
}

inline FittedPadding fitPadding(const SideCounts& wanted, const std::array<int, 3>& cells) {
  FittedPadding f;
  for (int axis = 0; axis < 3; ++axis) {
    const int a = wanted[2 * axis], b = wanted[2 * axis + 1];
    const bool fits = paddingFits(a, b, cells[axis]);
    f.padding[2 * axis] = fits ? a : 0;
    f.padding[2 * axis + 1] = fits ? b : 0;
    f.visible[axis] = cells[axis] - f.padding[2 * axis] - f.padding[2 * axis + 1];
  }
  return f;
}

}  // namespace litho
