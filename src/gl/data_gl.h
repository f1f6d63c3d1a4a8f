#pragma once
#include <array>
#include <vector>

#include "core/scene/data_scene.h"
#include "gl/text_renderer.h"

namespace litho {

// Vertex arrays reused from one compile to the next.
struct DataStaging {
  std::vector<float> positions, normals, colours;
};

// The data sets' geometry, relative to origin (the scene centre); used inside
// the scene's display list. Every GL state it changes is put back.
void drawDataScene(const DataScene& scene, const std::array<double, 3>& origin, DataStaging& staging);

// The point names, every frame after the scene: depth test off, each in its
// set's solid colour, through the overlays' text back end.
void drawDataLabels(const DataScene& scene, const std::array<double, 3>& origin, TextRenderer& text);

}  // namespace litho
