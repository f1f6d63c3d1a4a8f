#pragma once
// Which cells a block paints: the index ranges clamped to the mesh, the
// ellipsoid and the sloped cuboid, never above a column's first active cell.
#include <array>
#include <vector>

#include "core/edit/element.h"
#include "core/store/arrays.h"
#include "core/store/cell_box.h"
#include "core/store/rect_mesh.h"

namespace litho {

// Cells k0 .. k1 - 1 of column (i, j).
struct CellRun {
  int i, j, k0, k1;
  bool operator==(const CellRun&) const = default;
};

// x from, x to, y from, y to, z from, z to.
using BlockExtents = std::array<double, 6>;

struct BlockShape {
  std::vector<CellRun> runs;
  BlockExtents extents{};
  CellBox box;  // of the runs
};

// The node of nodes (ascending or descending) nearest to x; on a tie the lower index.
int nearestNode(const std::vector<double>& nodes, double x);

// top: the first active cell of each column (empty: all active).
BlockShape blockShape(const RectMesh& mesh, const Grid2<int>& top, const Element& e);

}  // namespace litho
