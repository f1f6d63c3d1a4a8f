#pragma once
#include <optional>
#include <string>

#include "core/store/rect_mesh.h"

namespace litho {

// The "Set Background" dialog's check. With belowZeroOnly, the result is the
// number of top cells above z = 0 (the first node index at or below 0), or the
// message "Z does not equal to 0 inside the mesh." when the mesh does not span
// z = 0. Without it the index is 0.
struct BackgroundIndex {
  int topIndex = 0;
  std::optional<std::string> error;
};
BackgroundIndex backgroundTopIndex(const RectMesh& mesh, bool belowZeroOnly);

}  // namespace litho
