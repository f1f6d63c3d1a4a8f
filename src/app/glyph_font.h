#pragma once
#include "core/scene/glyphs.h"
#include "core/view/view_state.h"

namespace litho {

// Characters of the view font as bitmaps, rendered with Qt without antialiasing.
GlyphSource glyphSource(const FontSpec& font);

}  // namespace litho
