#pragma once
#include <string>

#include "core/load/document.h"
#include "core/scene/colour_state.h"
#include "gl/scene_gl.h"
#include "core/view/view_state.h"

namespace litho {

// The fixed state of a fresh context: depth test, back-face culling, flat
// shading, five white lights with light 0 at the eye.
void applyFixedState();

// Loads the projection and the camera; geometry is sent relative to sceneCentre.
void loadCamera(const ViewState& v);

// Lighting for one frame: local viewer, colour material, the enabled side
// lights placed around the core box (positions relative to sceneCentre).
void applyLighting(const ViewState& v, const CoreBox& box);

// The whole frame: clear, and with a model the scene (rebuilt first when
// rebuildNeeded). Returns false when there was nothing to do (neither flag set).
bool drawFrame(ViewState& v, const Document& doc, const ColourState& colours, SceneRenderer& scene);

// Text of the last GL error, or empty.
std::string glErrorString();

}  // namespace litho
