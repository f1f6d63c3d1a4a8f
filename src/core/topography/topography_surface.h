#pragma once
// From the file's points to the triangulated ground surface: the outside
// test, the coverage warning, the mesh corners added where the points stop
// short of them, the sort by northing, the duplicate test and the
// triangulation in the (northing, easting) plane.
#include <optional>
#include <vector>

#include "core/geometry/planar_triangulation.h"
#include "core/platform/platform.h"
#include "core/store/rect_mesh.h"
#include "core/topography/topography_reader.h"

namespace litho {

struct TopographySurface {
  PlanarTriangulation triangulation;  // node coordinates: northing, easting
  std::vector<double> elevation;      // per node
  int cornersAdded = 0;
};

// Consumes the points (they are sorted and corners appended in place). On
// failure shows the message and returns nothing; the coverage warning is
// shown and the build goes on.
std::optional<TopographySurface> buildTopographySurface(TopographyPoints& points, const RectMesh& mesh,
                                                        Platform& platform);

}  // namespace litho
