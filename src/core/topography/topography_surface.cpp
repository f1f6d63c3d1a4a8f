#include "core/topography/topography_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/topography/topography_duplicates.h"

namespace litho {

namespace {

struct Nearest {
  double distance = std::numeric_limits<double>::infinity();
  double elevation = 0;
  bool found = false;
};

struct Extent {
  double minEasting = std::numeric_limits<double>::infinity();
  double maxEasting = -std::numeric_limits<double>::infinity();
  double minNorthing = std::numeric_limits<double>::infinity();
  double maxNorthing = -std::numeric_limits<double>::infinity();
  Nearest corner[4];  // south-west, south-east, north-west, north-east
};

Extent measure(const TopographyPoints& points, const double cornerEasting[4], const double cornerNorthing[4]) {
  Extent x;
  for (int p = 0; p < points.size(); ++p) {
    const double e = points.easting[p], n = points.northing[p];
    x.minEasting = std::min(x.minEasting, e);
    x.maxEasting = std::max(x.maxEasting, e);
    x.minNorthing = std::min(x.minNorthing, n);
    x.maxNorthing = std::max(x.maxNorthing, n);
    for (int c = 0; c < 4; ++c) {
      const double de = e - cornerEasting[c], dn = n - cornerNorthing[c];
      const double d = std::sqrt(de * de + dn * dn);
      // Strictly nearer: the first of equally near points wins. The first
      // point always counts, however far, so every corner has an elevation.
      Nearest& best = x.corner[c];
      if (!best.found || d < best.distance) best = {d, points.elevation[p], true};
    }
  }
  return x;
}

}  // namespace

std::optional<TopographySurface> buildTopographySurface(TopographyPoints& points, const RectMesh& mesh,
                                                        Platform& platform) {
  const std::vector<double>& x = mesh.xNodes;
  const std::vector<double>& y = mesh.yNodes;
  const double west = x.front(), east = x.back(), south = y.front(), north = y.back();
  const double cornerEasting[4] = {west, east, west, east};
  const double cornerNorthing[4] = {south, south, north, north};
  const Extent extent = measure(points, cornerEasting, cornerNorthing);

  if (extent.minEasting >= east || extent.maxEasting <= west || extent.minNorthing >= north ||
      extent.maxNorthing <= south) {
    platform.message("Error: Topography is outside the mesh.", MessageKind::Warning);
    return std::nullopt;
  }

  const double overlap = (std::min(extent.maxNorthing, north) - std::max(extent.minNorthing, south)) *
                         (std::min(extent.maxEasting, east) - std::max(extent.minEasting, west));
  if (overlap / ((east - west) * (north - south)) < 0.4)
    platform.message("Warning: Topography region is not large enough.", MessageKind::Warning);

  const double tolerance = 0.25 * std::min(x[1] - x[0], y[1] - y[0]);
  const bool shortOfWest = extent.minEasting > west, shortOfEast = extent.maxEasting < east;
  const bool shortOfSouth = extent.minNorthing > south, shortOfNorth = extent.maxNorthing < north;
  const bool shortOf[4] = {shortOfWest && shortOfSouth, shortOfEast && shortOfSouth, shortOfWest && shortOfNorth,
                           shortOfEast && shortOfNorth};
  TopographySurface surface;
  for (int c = 0; c < 4; ++c) {
    if (!shortOf[c] || !(extent.corner[c].distance > tolerance)) continue;
    points.easting.push_back(cornerEasting[c]);
    points.northing.push_back(cornerNorthing[c]);
    points.elevation.push_back(extent.corner[c].elevation);
    ++surface.cornersAdded;
  }

  const int n = points.size();
  sortNodes(n, points.northing.data(), points.easting.data(), points.elevation.data(), 3);

  const DuplicateReport duplicates = findDuplicates(points.northing, points.easting);
  if (duplicates.count > 0) {
    platform.message(duplicateMessage(duplicates), MessageKind::Error);
    return std::nullopt;
  }

  // Fewer than three points lie on one line too.
  if (surface.triangulation.triangulate(n, points.northing.data(), points.easting.data()) !=
      PlanarTriangulation::kTriangulated) {
    platform.message("Error: Points in the topography file are collinear.", MessageKind::Warning);
    return std::nullopt;
  }
  surface.elevation = std::move(points.elevation);
  return surface;
}

}  // namespace litho
