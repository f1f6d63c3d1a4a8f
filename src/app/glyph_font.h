#pragma once
#include "core/scene/glyphs.h"
#include "core/view/view_state.h"

namespace litho {

// Characters 0..126 of the view font as bitmaps, rendered with Qt without antialiasing.
GlyphSet renderGlyphs(const FontSpec& font);

}  // namespace litho
