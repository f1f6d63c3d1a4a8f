#pragma once
#include <string>

#include "core/faces/cell_faces.h"
#include "core/load/document.h"
#include "core/scene/colour_state.h"
#include "gl/gl_resources.h"
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
// a rebuild is pending or not built in this context yet) with the view's
// cell-faces overlay. Returns false when there was nothing to do (neither flag set).
bool drawFrame(ViewState& v, const Document& doc, const ColourState& colours, const CellFacesOverlay& cellFaces,
               GlResources& gl);

// The viewport over the whole window of width x height pixels.
void setViewport(int width, int height);
// The depth-buffer value at pixel (x, y), rows counted from the bottom; 1 where nothing was drawn.
float readDepth(int x, int y);
// The frame as RGBA bytes, rows bottom to top, into width * height * 4 bytes.
void readFrame(int width, int height, unsigned char* rgba);
// A part of the frame: width x height pixels from (x, y), counted from the bottom left.
void readPixels(int x, int y, int width, int height, unsigned char* rgba);
// GL_RENDERER of the current context, or empty.
std::string rendererName();

// Text of the last GL error, or empty.
std::string glErrorString();

}  // namespace litho
