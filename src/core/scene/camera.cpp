#include "core/scene/camera.h"

#include <cmath>
#include <numbers>

namespace litho {

Mat4 identityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Mat4 multiply(const Mat4& a, const Mat4& b) {
  Mat4 r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[c * 4 + k];
      r[c * 4 + row] = s;
    }
  return r;
}

std::array<double, 4> transform(const Mat4& m, double x, double y, double z) {
  std::array<double, 4> r{};
  for (int row = 0; row < 4; ++row) r[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
  return r;
}

namespace {

Mat4 translation(double x, double y, double z) {
  Mat4 m = identityMatrix();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

// As glRotate about a unit axis.
Mat4 rotation(double degrees, double ax, double ay, double az) {
  const double a = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(a), s = std::sin(a), t = 1 - c;
  Mat4 m = identityMatrix();
  m[0] = ax * ax * t + c;
  m[1] = ay * ax * t + az * s;
  m[2] = ax * az * t - ay * s;
  m[4] = ax * ay * t - az * s;
  m[5] = ay * ay * t + c;
  m[6] = ay * az * t + ax * s;
  m[8] = ax * az * t + ay * s;
  m[9] = ay * az * t - ax * s;
  m[10] = az * az * t + c;
  return m;
}

}  // namespace

CoreBox coreBox(const RectMesh& mesh, const ViewState& v) {
  CoreBox b;
  if (mesh.empty()) return b;
  const int w = v.hiddenPadding[kSideWest], s = v.hiddenPadding[kSideSouth], t = v.hiddenPadding[kSideTop];
  b.x0 = mesh.xNodes[w];
  b.x1 = mesh.xNodes[w + v.visibleCount[0]];
  b.y0 = mesh.yNodes[s];
  b.y1 = mesh.yNodes[s + v.visibleCount[1]];
  b.z0 = mesh.zNodes[t];
  b.z1 = mesh.zNodes[t + v.visibleCount[2]];
  return b;
}

double sceneExtentOf(const CoreBox& b, const std::array<double, 3>& k) {
  const double dx = (b.x1 - b.x0) * k[0], dy = (b.y1 - b.y0) * k[1], dz = (b.z1 - b.z0) * k[2];
  return 1.05 * std::sqrt(dx * dx + dy * dy + dz * dz);
}

double sceneWidthFraction(const ViewState& v) { return v.showColourbar ? kSceneWidthWithColourbar : 1.0; }

Mat4 projectionMatrix(const ViewState& v) {
  const double n = v.sceneExtent, f = 2 * v.sceneExtent;
  Mat4 m{};
  if (v.perspective) {
    const double cot = 1.0 / std::tan(v.zoomAngle * std::numbers::pi / 360.0);
    m[0] = cot / v.aspect;
    m[5] = cot;
    m[10] = (f + n) / (n - f);
    m[11] = -1;
    m[14] = 2 * f * n / (n - f);
  } else {
    const double w = v.zoomAngle / 30 * v.sceneExtent * 0.5;
    const double l = -w, r = w, b = -w / v.aspect, t = w / v.aspect;
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    m[15] = 1;
  }
  const double part = sceneWidthFraction(v);
  if (part == 1) return m;
  // The picture the whole window would show, scaled into the left part: x from
  // -1..1 to -1..2 part - 1, y by as much, so nothing is cut or stretched.
  Mat4 frame = identityMatrix();
  frame[0] = frame[5] = part;
  frame[12] = part - 1;
  return multiply(frame, m);
}

std::array<double, 4> sceneClipPlane(const ViewState& v) {
  // x_clip <= (2 part - 1) w_clip, with clip = P eye: a plane on P's rows 0 and 3.
  const Mat4 p = projectionMatrix(v);
  const double edge = 2 * sceneWidthFraction(v) - 1;
  std::array<double, 4> plane{};
  for (int c = 0; c < 4; ++c) plane[c] = edge * p[c * 4 + 3] - p[c * 4];
  return plane;
}

Mat4 localModelViewMatrix(const ViewState& v) {
  Mat4 m = translation(v.panX, v.panY, v.cameraDistance);
  m = multiply(m, rotation(v.rotationX, 1, 0, 0));
  m = multiply(m, rotation(v.rotationZ, 0, 0, 1));
  const auto& k = v.axisScale;
  if (k[0] != 1 || k[1] != 1 || k[2] != 1) {
    Mat4 s = identityMatrix();
    s[0] = k[0];
    s[5] = k[1];
    s[10] = k[2];
    m = multiply(m, s);
  }
  return m;
}

Mat4 modelViewMatrix(const ViewState& v) {
  return multiply(localModelViewMatrix(v), translation(-v.sceneCentre[0], -v.sceneCentre[1], -v.sceneCentre[2]));
}

}  // namespace litho
