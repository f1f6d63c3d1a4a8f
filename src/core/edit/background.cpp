#include "core/edit/background.h"

namespace litho {

BackgroundIndex backgroundTopIndex(const RectMesh& mesh, bool belowZeroOnly) {
  BackgroundIndex r;
  if (!belowZeroOnly || mesh.zNodes.empty()) return r;
  if (mesh.zNodes.front() < 0 || mesh.zNodes.back() > 0) {
    r.error = "Z does not equal to 0 inside the mesh.";
    return r;
  }
  int k = 0;
  while (k < mesh.nz && mesh.zNodes[k] > 0) ++k;
  r.topIndex = k;
  return r;
}

}  // namespace litho
