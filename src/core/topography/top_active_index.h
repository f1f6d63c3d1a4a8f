#pragma once
// Active cells from the ground surface: each column's ground level is the
// lowest of nine samples over its footprint (corners, edge midpoints,
// centre), so a column counts as buried only where its whole footprint is
// below ground; cells whose top lies above that level are inactive.
#include <span>

#include "core/geometry/planar_triangulation.h"
#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"

namespace litho {

// The first active cell of a column whose ground level is ground: 0 when the
// ground is at or above the mesh top, nz when it is at or below the top of
// the bottom cell, else the first cell whose top is at or below the ground.
int topIndexForGround(double ground, const RectMesh& mesh);

// Samples the surface (z per node of the triangulation) over the mesh and
// returns the top index of every column, nx by ny. Throws std::bad_alloc.
Grid2<int> computeTopActiveIndex(const PlanarTriangulation& surface, std::span<const double> z, const RectMesh& mesh);

}  // namespace litho
