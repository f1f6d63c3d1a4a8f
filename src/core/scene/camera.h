#pragma once
#include <array>

#include "core/store/rect_mesh.h"
#include "core/view/view_state.h"

namespace litho {

// 4x4 matrix in OpenGL's column-major order.
using Mat4 = std::array<double, 16>;

Mat4 identityMatrix();
Mat4 multiply(const Mat4& a, const Mat4& b);
// Transforms (x, y, z, 1); returns x, y, z, w.
std::array<double, 4> transform(const Mat4& m, double x, double y, double z);

CoreBox coreBox(const RectMesh& mesh, const ViewState& v);
double sceneExtentOf(const CoreBox& box, const std::array<double, 3>& axisScale);

// The part of the window's width the scene is drawn in, from its left edge: all
// of it, or with the colourbar shown the part left of the bar (which starts at
// x = 0.77 of the unit square), so that the bar and its labels never cover the model.
inline constexpr double kSceneWidthWithColourbar = 0.875;
double sceneWidthFraction(const ViewState& v);

// The camera's projection, scaled into the scene's part of the window.
Mat4 projectionMatrix(const ViewState& v);
// In eye coordinates, the plane (a, b, c, d) at the right edge of the scene's
// part; a x + b y + c z + d >= 0 on the scene's side.
std::array<double, 4> sceneClipPlane(const ViewState& v);
// The camera with geometry sent relative to sceneCentre: translate (pan, distance),
// rotate about X, rotate about Z, scale when any factor differs from 1.
Mat4 localModelViewMatrix(const ViewState& v);
// The same followed by the translation by -sceneCentre: model coordinates in.
Mat4 modelViewMatrix(const ViewState& v);

}  // namespace litho
