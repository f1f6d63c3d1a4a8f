#pragma once
#include <string>

#include "core/store/rect_mesh.h"

namespace litho {

// The part of the mesh left when padding cells are hidden.
struct CoreRegion {
  int west = 0;   // first core cell along X
  int south = 0;  // first core cell along Y
  int top = 0;    // first core cell along Z
  int nx = 0;
  int ny = 0;
  int nz = 0;
};

// The "Mesh statistics" text; the padding section is added when core differs
// from the whole mesh in any axis.
std::string meshStatisticsText(const RectMesh& mesh, const CoreRegion* core = nullptr);

// The "Cell Properties" text of cell (i, j, k): its index, its extent along each
// axis (to the cell's own width) and its value.
std::string cellPropertiesText(const RectMesh& mesh, int i, int j, int k, float value);

}  // namespace litho
