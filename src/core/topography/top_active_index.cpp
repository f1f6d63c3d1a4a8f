#include "core/topography/top_active_index.h"

#include <algorithm>
#include <vector>

namespace litho {

namespace {

constexpr double kNoGround = 1e20;

double sampleAt(const std::vector<double>& nodes, int s) {
  return s % 2 == 0 ? nodes[s / 2] : (nodes[s / 2] + nodes[s / 2 + 1]) / 2;
}

}  // namespace

int topIndexForGround(double ground, const RectMesh& mesh) {
  const std::vector<double>& z = mesh.zNodes;
  const int nz = mesh.nz;
  if (!(ground < z[0])) return 0;  // NaN too: no ground known
  if (ground <= z[nz - 1]) return nz;
  // Cells 1..nz-1: the first whose top is at or below the ground.
  const auto first = std::partition_point(z.begin() + 1, z.begin() + nz, [&](double top) { return top > ground; });
  return static_cast<int>(first - z.begin());
}

Grid2<int> computeTopActiveIndex(const PlanarTriangulation& surface, std::span<const double> z, const RectMesh& mesh) {
  const int nx = mesh.nx, ny = mesh.ny;
  const int samplesY = 2 * ny + 1;
  std::vector<double> northing(static_cast<std::size_t>(samplesY));
  for (int b = 0; b < samplesY; ++b) northing[b] = sampleAt(mesh.yNodes, b);
  std::vector<double> line(static_cast<std::size_t>(samplesY));
  std::vector<double> ground(static_cast<std::size_t>(ny));
  Grid2<int> index;
  index.allocate(nx, ny);

  // Easting samples outermost, northing fastest, each query starting where
  // the last one ended. Sample line a closes column row a/2 - 1 (a even) and
  // opens row a/2; an odd line is the middle of row a/2.
  const auto fold = [&] {
    for (int j = 0; j < ny; ++j)
      for (int s = 2 * j; s <= 2 * j + 2; ++s)
        if (line[s] < ground[j]) ground[j] = line[s];  // NaN never wins
  };
  int start = 1;
  for (int a = 0; a <= 2 * nx; ++a) {
    const double easting = sampleAt(mesh.xNodes, a);
    for (int b = 0; b < samplesY; ++b) {
      const PlanarTriangulation::Interpolated v = surface.interpolateLinear(northing[b], easting, z, start);
      line[b] = v.status >= 0 ? v.value : kNoGround;
    }
    if (a % 2 == 1) {
      fold();
      continue;
    }
    if (a > 0) {
      fold();
      const int i = a / 2 - 1;
      for (int j = 0; j < ny; ++j) index(i, j) = topIndexForGround(ground[j], mesh);
    }
    if (a < 2 * nx) {
      std::fill(ground.begin(), ground.end(), kNoGround);
      fold();
    }
  }
  return index;
}

}  // namespace litho
