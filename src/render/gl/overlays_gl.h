#pragma once
#include <string>

#include "model/opengl_doc.h"
#include "render/colour_state.h"
#include "render/glyphs.h"
#include "view/view_state.h"

namespace litho {

// Display lists 10..136 from the glyph bitmaps.
void buildGlyphLists(const GlyphSet& glyphs);
// Draws a string at the current raster position.
void drawText(const std::string& text);

// Inside display list 1: the floor, the box outline, the cut-plane outlines and the diagonal line.
void drawBoundaryAndFloor(const COpenGLDoc& doc, const ViewState& v, const CoreBox& box);

// Every frame, after display list 1.
void drawCutReadout(const COpenGLDoc& doc, const ViewState& v);
void drawColourbar(const ViewState& v, const ColourState& colours);
void drawCompass(const ViewState& v);
void drawAxisLabels(const COpenGLDoc& doc, const ViewState& v, const CoreBox& box);

}  // namespace litho
