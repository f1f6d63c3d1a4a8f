#include "core/view/mouse.h"

#include <cmath>
#include <cstdio>

#include "core/load/document.h"
#include "core/io/rounding.h"
#include "core/view/view_controller.h"

namespace litho {

namespace {

// Inverse of a 4x4 column-major matrix; false when singular.
bool invert(const Mat4& m, Mat4& out) {
  Mat4 inv{};
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (det == 0 || !std::isfinite(det)) return false;
  for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
  return true;
}

// The visible box grown by 0.4 % of its height on every side.
bool insideGrownBox(const Document& doc, const ViewState& v, const Point3& p) {
  const RectMesh& m = doc.mesh();
  const auto& pad = v.hiddenPadding;
  const auto& c = v.cuts;
  const double t = (m.zNodes[pad[kSideTop]] - m.zNodes[pad[kSideTop] + v.visibleCount[2]]) * 0.004;
  return p[0] > m.xNodes[pad[kSideWest] + c[kSideWest]] - t &&
         p[0] < m.xNodes[pad[kSideWest] + v.visibleCount[0] - c[kSideEast]] + t &&
         p[1] > m.yNodes[pad[kSideSouth] + c[kSideSouth]] - t &&
         p[1] < m.yNodes[pad[kSideSouth] + v.visibleCount[1] - c[kSideNorth]] + t &&
         p[2] < m.zNodes[pad[kSideTop] + c[kSideTop]] + t &&
         p[2] > m.zNodes[pad[kSideTop] + v.visibleCount[2] - c[kSideBottom]] - t;
}

// First index i from `start` that is not below `end` or whose node is not below value.
int searchUp(const std::vector<double>& nodes, int start, int end, double value) {
  int i = start;
  while (i < end && value > nodes[static_cast<std::size_t>(i)]) ++i;
  return i;
}

}  // namespace

std::array<int, 2> pickPixel(double x, double y, int h) { return {roundToInt(x), roundToInt(h - y)}; }

Point3 unProject(const ViewState& v, double x, double y, double depth, int w, int h) {
  const Mat4 pm = multiply(projectionMatrix(v), localModelViewMatrix(v));
  Mat4 inv;
  if (!invert(pm, inv)) return {NAN, NAN, NAN};
  const double nx = 2 * x / w - 1, ny = 2 * (h - y) / h - 1, nz = 2 * depth - 1;
  const auto r = transform(inv, nx, ny, nz);
  return {r[0] / r[3] + v.sceneCentre[0], r[1] / r[3] + v.sceneCentre[1], r[2] / r[3] + v.sceneCentre[2]};
}

Readout cellReadout(const ViewController& view, const std::optional<Point3>& pick) {
  Readout r;
  const Document& doc = view.doc();
  const ViewState& v = view.state;
  if (!doc.modelLoaded()) {
    r.kind = Readout::Kind::Untouched;
    return r;
  }
  if (!pick) return r;  // idle prompt
  r.kind = Readout::Kind::Text;
  const Point3& p = *pick;
  if (!insideGrownBox(doc, v, p)) return r;
  const RectMesh& m = doc.mesh();
  const auto& pad = v.hiddenPadding;
  const auto& c = v.cuts;
  const int i = searchUp(m.xNodes, pad[kSideWest] + c[kSideWest] + 1,
                         pad[kSideWest] + v.visibleCount[0] - c[kSideEast], p[0]) - 1;
  const int j = searchUp(m.yNodes, pad[kSideSouth] + c[kSideSouth] + 1,
                         pad[kSideSouth] + v.visibleCount[1] - c[kSideNorth], p[1]) - 1;
  if (i < 0 || i >= m.nx || j < 0 || j >= m.ny) {
    r.kind = Readout::Kind::Untouched;
    return r;
  }
  const int top = doc.store().topActiveIndex()(i, j);
  int k = std::max(top + 1, pad[kSideTop] + c[kSideTop] + 1);
  const int kEnd = pad[kSideTop] + v.visibleCount[2] - c[kSideBottom];
  while (k < kEnd && p[2] < m.zNodes[static_cast<std::size_t>(k)]) ++k;
  --k;
  if (k < top || k >= m.nz) {
    r.kind = Readout::Kind::Untouched;
    return r;
  }
  const bool second = doc.store().hasSecondModel() && !doc.store().secondModel().empty() && view.colours.blendWeight > 0.5f;
  float value = second ? doc.store().secondModel()(i, j, k) : doc.currentModel()(i, j, k);
  const ColourScale& s = view.colours.activeScale();
  if (!s.conductivityView) value = -value;
  if (s.linearLabels) value = std::pow(10.0f, value);
  char buf[256];
  std::snprintf(buf, sizeof buf, " ( Easting, Northing, Depth ) = ( %.2f, %.2f, %.2f ),  value = %.3g",
                roundDecimals(p[0], 2), roundDecimals(p[1], 2), roundDecimals(p[2], 2), static_cast<double>(value));
  r.text = buf;
  r.cell = {i, j, k};
  return r;
}

bool moveCutToPoint(ViewController& view, const std::optional<Point3>& pick) {
  Document& doc = view.doc();
  ViewState& v = view.state;
  if (!doc.modelLoaded() || !pick || v.selectedCutPlane == kNoPlane) return false;
  const Point3& p = *pick;
  if (!insideGrownBox(doc, v, p)) return false;
  const RectMesh& m = doc.mesh();
  const auto& pad = v.hiddenPadding;
  auto& c = v.cuts;
  switch (v.selectedCutPlane) {
    case kWest:
    case kEast: {
      const int i = searchUp(m.xNodes, pad[kSideWest] + c[kSideWest] + 1,
                             pad[kSideWest] + v.visibleCount[0] - c[kSideEast], p[0]);
      if (v.selectedCutPlane == kWest)
        c[kSideWest] = i - pad[kSideWest] - 1;
      else
        c[kSideEast] = pad[kSideWest] + v.visibleCount[0] - i;
      break;
    }
    case kSouth:
    case kNorth: {
      const int j = searchUp(m.yNodes, pad[kSideSouth] + c[kSideSouth] + 1,
                             pad[kSideSouth] + v.visibleCount[1] - c[kSideNorth], p[1]);
      if (v.selectedCutPlane == kSouth)
        c[kSideSouth] = j - pad[kSideSouth] - 1;
      else
        c[kSideNorth] = pad[kSideSouth] + v.visibleCount[1] - j;
      break;
    }
    default: {
      int k = pad[kSideTop] + c[kSideTop] + 1;
      const int kEnd = pad[kSideTop] + v.visibleCount[2] - c[kSideBottom];
      while (k < kEnd && p[2] < m.zNodes[static_cast<std::size_t>(k)]) ++k;
      if (v.selectedCutPlane == kTop)
        c[kSideTop] = k - pad[kSideTop] - 1;
      else
        c[kSideBottom] = pad[kSideTop] + v.visibleCount[2] - k;
      break;
    }
  }
  v.frame.rebuild();
  v.frame.redraw();
  return true;
}

void dragStep(ViewController& view, int dx, int dy, bool ctrl) {
  ViewState& v = view.state;
  if (dx == 0 && dy == 0) return;
  if (ctrl) {
    const double f = v.cameraDistance * -0.0007;
    v.panX += dx * f;
    v.panY -= dy * f;
  } else {
    v.rotationZ += 0.2f * static_cast<float>(dx);
    v.rotationX += 0.2f * static_cast<float>(dy);
  }
  view.applyModelView();
}

void wheelStep(ViewController& view, int delta, bool middleButton) {
  if (delta == 0) return;
  if (middleButton) {
    if (delta > 0 && view.canZoomIn()) view.zoomIn();
    if (delta < 0 && view.canZoomOut()) view.zoomOut();
    return;
  }
  if (view.state.selectedCutPlane == kNoPlane) return;
  if (delta > 0)
    view.cutForward();
  else
    view.cutBackward();
}

std::string mouseCutCommand(ViewController& view) {
  ViewState& v = view.state;
  if (v.mouseCutStage != 0) {
    v.mouseCutStage = 0;
    v.diagonalCutOn = false;
    v.frame.rebuild();
    v.frame.redraw();
    return {};
  }
  v.mouseCutStage = 1;
  return kFirstPointPrompt;
}

std::optional<std::string> mouseCutClick(ViewController& view, const std::optional<Point3>& pick) {
  ViewState& v = view.state;
  if (!pick) return std::nullopt;
  auto& line = v.mouseCutLine;
  switch (v.mouseCutStage) {
    case 1:
      line[0] = (*pick)[0];
      line[1] = (*pick)[1];
      v.mouseCutStage = 2;
      return std::string(kSecondPointPrompt);
    case 2:
      line[2] = (*pick)[0];
      line[3] = (*pick)[1];
      v.mouseCutStage = (line[2] == line[0] || line[3] == line[1]) ? 0 : 3;
      return std::string(kAreaPrompt);
    case 3: {
      const double x = (*pick)[0], y = (*pick)[1];
      v.diagonalSide = x > (line[2] - line[0]) / (line[3] - line[1]) * (y - line[1]) + line[0] ? 1 : 0;
      v.mouseCutStage = 4;
      v.diagonalLine = line;
      v.diagonalCutOn = true;
      v.frame.rebuild();
      v.frame.redraw();
      return std::string();
    }
    default: return std::nullopt;
  }
}

void mouseCutRelease(ViewController& view) {
  if (view.state.mouseCutStage == 4) view.state.mouseCutStage = 5;
}

bool mouseCutWaiting(const ViewController& view) {
  const int s = view.state.mouseCutStage;
  return s >= 1 && s <= 3;
}

}  // namespace litho
