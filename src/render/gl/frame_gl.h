#pragma once
#include <string>

#include "model/opengl_doc.h"
#include "view/view_state.h"

namespace litho {

// The fixed state of a fresh context: depth test, back-face culling, flat
// shading, five white lights with light 0 at the eye.
void applyFixedState();

// Loads the projection and the camera; geometry is sent relative to sceneCentre.
void loadCamera(const ViewState& v);

// Lighting for one frame: local viewer, colour material, the enabled side
// lights placed around the core box (positions relative to sceneCentre).
void applyLighting(const ViewState& v, const CoreBox& box);

// Compiles display list 1. Until the cell scene exists it holds the outline of the core box.
void buildSceneList(const ViewState& v, const CoreBox& box);

// The whole frame: clear, and with a model the scene. Returns false when
// there was nothing to do (neither flag set).
bool drawFrame(ViewState& v, const COpenGLDoc& doc);

// Text of the last GL error, or empty.
std::string glErrorString();

}  // namespace litho
