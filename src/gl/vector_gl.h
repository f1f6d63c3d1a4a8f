#pragma once
#include <array>
#include <cstdint>

#include "core/scene/colourmap.h"
#include "core/scene/vector_scene.h"

namespace litho {

// Sends arrows[begin, end) as lines with a contrasting head or as cones, with
// coordinates relative to origin (the scene centre). Used inside display list 1.
void drawVectors(const VectorScene& vectors, std::uint32_t begin, std::uint32_t end, const Colourmap& map,
                 const std::array<double, 3>& origin);

}  // namespace litho
