#include "core/view/view_controller.h"

#include <algorithm>
#include <cstdio>

#include "core/load/document.h"
#include "core/platform/platform.h"
#include "core/scene/camera.h"

namespace litho {

ViewController::ViewController(Document& doc, Platform& platform) : doc_(doc), platform_(platform) {}

void ViewController::status(const std::string& text) {
  if (onStatus) onStatus(text);
}

void ViewController::show(const ScaleDisplay& d) {
  if (d.statusText) status(*d.statusText);
  if (onLogButtons) onLogButtons(d.showLogButtons);
}

void ViewController::apply(const ColourUpdate& u) {
  if (u.display) show(*u.display);
  if (u.refresh == Refresh::Rebuild) state.frame.rebuild();
  if (u.refresh != Refresh::None) state.frame.redraw();
}

// --- camera ------------------------------------------------------------------

bool ViewController::resize(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  applyProjection(static_cast<double>(width) / height);
  applyModelView();
  return true;
}

void ViewController::applyProjection(double aspect) {
  if (aspect > 0) state.aspect = aspect;
  state.frame.redraw();
}

void ViewController::applyModelView() { state.frame.redraw(); }

// Centre, extent, distance and pan step from the visible box and the axis scale.
void ViewController::fitCamera() {
  const CoreBox b = coreBox(doc_.mesh(), state);
  state.sceneCentre = {(b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2, (b.z0 + b.z1) / 2};
  state.sceneExtent = sceneExtentOf(b, state.axisScale);
  state.cameraDistance = -1.5 * state.sceneExtent;
  state.panStep = 0.005 * state.sceneExtent;
  state.frame.redraw();
  state.frame.rebuild();
  applyProjection(-1);
  applyModelView();
}

void ViewController::resetViewExtents() {
  if (!doc_.modelLoaded()) return;
  fitCamera();
  const CoreBox b = coreBox(doc_.mesh(), state);
  state.cuts = {};
  state.diagonalCutOn = false;
  state.diagonalLine = {b.x0, b.y0, b.x1, b.y1};
  state.mouseCutStage = 0;
}

void ViewController::rotateX(int direction) {
  state.rotationX += direction < 0 ? -state.angleStep : state.angleStep;
  applyModelView();
}

void ViewController::rotateZ(int direction) {
  state.rotationZ += direction < 0 ? -state.angleStep : state.angleStep;
  applyModelView();
}

bool ViewController::canZoomIn() const { return state.zoomAngle > 0.5 && doc_.modelLoaded(); }
bool ViewController::canZoomOut() const { return state.zoomAngle < 178 && doc_.modelLoaded(); }

void ViewController::zoomIn() {
  state.zoomAngle -= state.zoomAngle > 10 ? 1 : 0.5;
  applyProjection();
}

void ViewController::zoomOut() {
  state.zoomAngle += state.zoomAngle >= 10 ? 1 : 0.5;
  applyProjection();
}

void ViewController::panHorizontal(int direction) {
  if (direction > 0 && state.panX <= state.sceneExtent) state.panX += state.panStep;
  if (direction < 0 && state.panX >= -state.sceneExtent) state.panX -= state.panStep;
  applyModelView();
}

void ViewController::panVertical(int direction) {
  if (direction > 0 && state.panY <= state.sceneExtent) state.panY += state.panStep;
  if (direction < 0 && state.panY >= -state.sceneExtent) state.panY -= state.panStep;
  applyModelView();
}

void ViewController::setPerspective(bool on) {
  const int p = on ? 1 : 0;
  if (state.perspective == p) return;
  state.perspective = p;
  applyProjection();
}

void ViewController::reset() {
  state.panX = state.panY = 0;
  resetViewExtents();
  state.selectedCutPlane = kNoPlane;
  state.frame.redraw();
}

// --- display toggles ---------------------------------------------------------

void ViewController::toggleLabels() {
  state.showLabels = !state.showLabels;
  state.frame.redraw();
}

void ViewController::toggleColourbar() {
  state.showColourbar = !state.showColourbar;
  state.frame.redraw();
}

void ViewController::toggleCompass() {
  state.showCompass = !state.showCompass;
  state.frame.redraw();
}

void ViewController::toggleFloor() {
  state.showFloor = !state.showFloor;
  state.frame.rebuild();
}

void ViewController::toggleBoundary() {
  state.showBoundary = !state.showBoundary;
  state.frame.rebuild();
}

void ViewController::toggleMesh() {
  state.showMesh = !state.showMesh;
  state.frame.redraw();
  if (doc_.isVectorModel()) state.frame.rebuild();
}

void ViewController::changeLabelScale(int delta) {
  state.labelScale += delta;
  state.frame.rebuild();
}

bool ViewController::canDecreaseFont() const { return state.fontSize > 1 && doc_.modelLoaded(); }
bool ViewController::canIncreaseFont() const { return state.fontSize < 100 && doc_.modelLoaded(); }

void ViewController::changeFontSize(int delta) {
  state.fontSize += delta;
  state.viewFont.height = -state.fontSize;
  state.frame.rebuild();
}

void ViewController::setFont(const FontSpec& font) {
  state.viewFont = font;
  state.fontSize = -font.height;
  state.frame.rebuild();
}

void ViewController::setBackground(unsigned char r, unsigned char g, unsigned char b) {
  state.backgroundColour = {r, g, b};
  state.darkBackground = (r + g + b) / 3 < 127;
  state.frame.redraw();
  if (doc_.isVectorModel()) state.frame.rebuild();
}

void ViewController::setLights(const std::array<bool, 5>& switches) {
  state.lightSwitches = switches;
  state.lightingOn = std::any_of(switches.begin(), switches.end(), [](bool on) { return on; });
  state.frame.redraw();
}

void ViewController::setViewAngles(float x, float z, float step, double zoom) {
  state.rotationX = x;
  state.rotationZ = z;
  state.angleStep = step;
  state.zoomAngle = zoom;
  applyModelView();
  applyProjection();
}

void ViewController::applyAxisScale(const std::array<double, 3>& scale) {
  state.axisScale = scale;
  state.normalizeNormals = scale[0] != 1 || scale[1] != 1 || scale[2] != 1;
  if (doc_.modelLoaded()) fitCamera();
  state.frame.redraw();
}

void ViewController::setAxisScale(const std::array<double, 3>& scale) {
  applyAxisScale(scale);
  resetViewExtents();
}

// --- cut planes --------------------------------------------------------------

void ViewController::selectCutPlane(int plane) {
  state.selectedCutPlane = state.selectedCutPlane == plane ? kNoPlane : plane;
  state.frame.redraw();
  if (doc_.isVectorModel()) {
    state.cuts = {};
    state.frame.rebuild();
  }
}


bool ViewController::slabsDiffer(int axis, int a, int b) const {
  const ModelSet& model = doc_.currentModel();
  int lo[3], hi[3];
  for (int ax = 0; ax < 3; ++ax) {
    lo[ax] = state.hiddenPadding[2 * ax] + state.cuts[2 * ax];
    hi[ax] = state.hiddenPadding[2 * ax] + state.visibleCount[ax] - state.cuts[2 * ax + 1] - 1;
  }
  const int u = axis == 0 ? 1 : 0;  // the two other axes
  const int w = axis == 2 ? 1 : 2;
  for (int p = lo[u]; p <= hi[u]; ++p) {
    for (int q = lo[w]; q <= hi[w]; ++q) {
      int ia[3], ib[3];
      ia[axis] = a;
      ib[axis] = b;
      ia[u] = ib[u] = p;
      ia[w] = ib[w] = q;
      if (model(ia[0], ia[1], ia[2]) != model(ib[0], ib[1], ib[2])) return true;
    }
  }
  return false;
}

int ViewController::cutStep(bool forward) {
  if (!doc_.modelLoaded() || state.selectedCutPlane < kWest || state.selectedCutPlane > kBottom) return 0;
  if (!doc_.octreeMode() && !platform_.keyDown(Key::Space)) return 1;
  const int plane = state.selectedCutPlane - 1;
  const int axis = plane / 2;
  const bool nearSide = plane % 2 == 0;
  const int nearPad = state.hiddenPadding[2 * axis];
  const int nearCut = state.cuts[2 * axis], farCut = state.cuts[2 * axis + 1];
  const int visible = state.visibleCount[axis];
  const int v = nearPad + nearCut;
  const int e = nearPad + visible - farCut - 1;
  if (nearSide) {
    if (forward) {
      for (int i = v + 1; i <= e; ++i)
        if (slabsDiffer(axis, i, v)) return i - v;
      return e - v;
    }
    for (int i = v - 2; i >= nearPad; --i)
      if (slabsDiffer(axis, i, v - 1)) return v - 1 - i;
    return nearCut;
  }
  if (forward) {
    for (int i = e - 1; i >= v; --i)
      if (slabsDiffer(axis, i, e)) return e - i;
    return e - v;
  }
  const int last = nearPad + visible - 1;
  for (int i = e + 2; i <= last; ++i)
    if (slabsDiffer(axis, i, e + 1)) return i - e - 1;
  return farCut;
}

namespace {
bool planeSelected(int plane) { return plane >= kWest && plane <= kBottom; }
}  // namespace

void ViewController::cutForward() {
  if (!planeSelected(state.selectedCutPlane)) return;
  const int n = cutStep(true);
  if (n == 0) return;
  const int side = state.selectedCutPlane - 1;
  const int opposite = side ^ 1;
  if (state.cuts[side] + state.cuts[opposite] < state.visibleCount[side / 2] - 1) state.cuts[side] += n;
  state.frame.rebuild();
  state.frame.redraw();
}

void ViewController::cutBackward() {
  if (!planeSelected(state.selectedCutPlane)) return;
  const int n = cutStep(false);
  if (n == 0) return;
  const int side = state.selectedCutPlane - 1;
  if (state.cuts[side] > 0) state.cuts[side] = std::max(0, state.cuts[side] - n);
  state.frame.rebuild();
  state.frame.redraw();
}

// --- models and colours ------------------------------------------------------

void ViewController::nextModel() { stepModel(+1); }

void ViewController::previousModel() { stepModel(-1); }

void ViewController::stepModel(int delta) {
  const int next = doc_.store().currentModelIndex() + delta;
  if (next < 0 || next > doc_.store().modelCount() - 1) return;
  doc_.selectModel(next);
  char buf[32];
  std::snprintf(buf, sizeof buf, " model %i", next + 1);
  status(buf);
  state.frame.rebuild();
  state.frame.redraw();
}

void ViewController::blend(int direction) {
  apply(direction < 0 ? colours.decreaseOpacity(doc_.store().hasSecondModel())
                      : colours.increaseOpacity(doc_.store().hasSecondModel()));
}

void ViewController::setBlendWeight(float weight) {
  apply(colours.setBlendWeight(weight, doc_.store().hasSecondModel()));
}

void ViewController::flipColours() { apply(colours.flipColours()); }

void ViewController::chooseColourmap(int kind, bool reversed) { apply(colours.chooseColourmap(kind, reversed)); }

void ViewController::resetScale() {
  if (!doc_.modelLoaded()) return;
  const ScaleOwner owner = colours.resetScaleOwner(doc_.store().hasSecondModel());
  if (owner == ScaleOwner::First) {
    doc_.recomputeRange(Which::First);
    apply(colours.resetScale(owner, doc_.store().range().min, doc_.store().range().max));
  } else {
    doc_.recomputeRange(Which::Second);
    apply(colours.resetScale(owner, doc_.store().secondRange().min, doc_.store().secondRange().max));
  }
}

void ViewController::toggleConductivityView() { apply(colours.toggleConductivityView()); }

void ViewController::toggleLinearLabels() { apply(colours.toggleLinearLabels()); }

void ViewController::refresh(ViewRefresh hint) {
  if (!doc_.modelLoaded()) return;
  const RectMesh& mesh = doc_.mesh();
  if (hint == ViewRefresh::Reload) {
    state.frame.rebuild();
    state.frame.redraw();
    return;
  }
  if (hint == ViewRefresh::NewLoad) {
    const FittedPadding fitted = fitPadding(doc_.store().coreOffsets(), mesh.counts());
    state.hiddenPadding = fitted.padding;
    state.visibleCount = fitted.visible;
    if (doc_.modelPath().empty()) state.showMesh = true;
  }
  doc_.selectModel(0);
  state.displayMin = doc_.store().range().min;
  state.displayMax = doc_.store().range().max;
  show(colours.initScales(doc_.store().range().min, doc_.store().range().max, doc_.logModel(), doc_.store().hasSecondModel(), doc_.store().secondRange().min,
                          doc_.store().secondRange().max, doc_.logSecondModel()));
  if (doc_.isVectorModel()) {
    const int i = state.visibleCount[0] / 2, k = state.visibleCount[2] / 2;
    state.vectorLength =
        1.4 * std::min(mesh.xNodes[i + 1] - mesh.xNodes[i], mesh.zNodes[k] - mesh.zNodes[k + 1]);
  } else {
    state.vectorLength = 0;
  }
  cellFaces.loaded = false;
  if (hint == ViewRefresh::NewLoad) {
    state.panX = state.panY = 0;
    resetViewExtents();
  }
  state.frame.rebuild();
  state.frame.redraw();
}

void ViewController::selectActiveScale() { show(colours.selectActiveScale(doc_.store().hasSecondModel())); }

void ViewController::askBeforeRebuild() {
  if (!conesQuestion_.due(doc_, state)) return;
  conesQuestion_.markAsked();
  state.vectorPassDeclined = !platform_.askYesNo(kConesQuestion);
  state.frame.redraw();
}

}  // namespace litho
