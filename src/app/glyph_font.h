#pragma once
#include "render/glyphs.h"
#include "view/view_state.h"

namespace litho {

// Characters 0..126 of the view font as bitmaps, rendered with Qt without antialiasing.
GlyphSet renderGlyphs(const FontDescription& font);

}  // namespace litho
