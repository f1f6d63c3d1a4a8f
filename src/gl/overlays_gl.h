#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/colour_state.h"
#include "core/scene/overlays.h"
#include "core/view/view_state.h"
#include "gl/text_renderer.h"

namespace litho {

// Every frame: the cut-plane readout before the scene; the others after it.
void drawCutReadout(const Document& doc, const ViewState& v, TextRenderer& text);
void drawColourbar(const ViewState& v, const ColourbarSource& source, TextRenderer& text);
void drawCompass(const ViewState& v);
void drawAxisLabels(const Document& doc, const ViewState& v, const CoreBox& box, TextRenderer& text);

}  // namespace litho
