#pragma once
#include <array>
#include <vector>

namespace litho {

// Tensor mesh: node coordinates along easting (west to east), northing (south
// to north) and elevation (top to bottom, decreasing).
struct RectMesh {
  int nx = 0;
  int ny = 0;
  int nz = 0;
  std::vector<double> xNodes;
  std::vector<double> yNodes;
  std::vector<double> zNodes;

  bool empty() const { return xNodes.empty(); }
  std::array<int, 3> counts() const { return {nx, ny, nz}; }
  long long cellCount() const { return static_cast<long long>(nx) * ny * nz; }
  void release() {
    nx = ny = nz = 0;
    xNodes = {};
    yNodes = {};
    zNodes = {};
  }
};

}  // namespace litho
