#pragma once
// The outline drawn with the model: the floor under a scalar model, the edges
// of the core box, the cut-plane outlines and the diagonal cut line, as scene
// primitives that the GL layer compiles with the faces.
#include "core/scene/scene.h"

namespace litho {

// Appends OverlayOffsetOn, the primitives, and PolygonOffsetOff to out.
void emitBoundary(const RectMesh& mesh, const ViewState& v, bool withFloor, SceneGeometry& out);

}  // namespace litho
