#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/scene/faces_scene.h"

namespace litho {

// Vertex arrays reused from one compile to the next.
struct VertexStaging {
  std::vector<float> positions, normals, colours;
};

// Cell faces [begin, end) as quadrilaterals relative to origin, in chunks of
// vertex arrays, each in its entry of map.
void sendCellFaceQuads(const std::vector<CellFace>& faces, std::uint32_t begin, std::uint32_t end, const RectMesh& mesh,
                       const std::array<double, 3>& origin, const Colourmap& map, VertexStaging& staging);

// The cell-faces overlay inside the scene's display list, after the model:
// lines unlit in the overlay's width, or lit two-sided quadrilaterals with
// culling off. Every GL state it changes is put back; line widths are
// announced to GL2PS for vector exports.
void drawCellFacesScene(const CellFacesScene& scene, const RectMesh& mesh, const std::array<double, 3>& origin,
                        VertexStaging& staging);

}  // namespace litho
