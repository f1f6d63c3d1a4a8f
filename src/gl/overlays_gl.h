#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/colour_state.h"
#include "core/scene/glyphs.h"
#include "core/view/view_state.h"

namespace litho {

// Display lists 10..136 from the glyph bitmaps.
void buildGlyphLists(const GlyphSet& glyphs);
// Draws a string at the current raster position.
void drawText(const std::string& text);

// Every frame, after display list 1.
void drawCutReadout(const Document& doc, const ViewState& v);
void drawColourbar(const ViewState& v, const ColourState& colours);
void drawCompass(const ViewState& v);
void drawAxisLabels(const Document& doc, const ViewState& v, const CoreBox& box);

}  // namespace litho
