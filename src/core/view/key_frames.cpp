#include "core/view/key_frames.h"

#include <algorithm>

#include "core/io/rounding.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"

namespace litho {

KeyFrame keyFrameOf(const ViewController& view) {
  const ViewState& s = view.state;
  KeyFrame k;
  k.rotationX = s.rotationX;
  k.rotationZ = s.rotationZ;
  k.zoomAngle = s.zoomAngle;
  k.displayMin = s.displayMin;
  k.displayMax = s.displayMax;
  k.cuts = s.cuts;
  k.panX = s.panX;
  k.panY = s.panY;
  k.modelIndex = view.doc().store().currentModelIndex();
  k.blendWeight = view.colours.blendWeight;
  return k;
}

TransitionStep transitionStep(const KeyFrame& k, const KeyFrame& c, int i, int n) {
  const int d = n - 1;
  TransitionStep t;
  KeyFrame& f = t.frame;
  f = c;
  const float fd = static_cast<float>(d), fi = static_cast<float>(i);
  f.rotationX = k.rotationX + (c.rotationX - k.rotationX) / fd * fi;
  f.rotationZ = k.rotationZ + (c.rotationZ - k.rotationZ) / fd * fi;
  f.panX = k.panX + (c.panX - k.panX) / d * i;
  f.panY = k.panY + (c.panY - k.panY) / d * i;
  f.zoomAngle = k.zoomAngle + (c.zoomAngle - k.zoomAngle) / d * i;
  const auto count = [&](int from, int to) { return from + roundToInt(static_cast<double>(i) * (to - from) / d); };
  t.cutsOrRange = k.cuts != c.cuts || k.displayMin != c.displayMin || k.displayMax != c.displayMax;
  if (t.cutsOrRange) {
    for (std::size_t s = 0; s < f.cuts.size(); ++s) f.cuts[s] = count(k.cuts[s], c.cuts[s]);
    f.displayMin = k.displayMin + i * (c.displayMin - k.displayMin) / d;
    f.displayMax = k.displayMax + i * (c.displayMax - k.displayMax) / d;
  }
  t.model = k.modelIndex != c.modelIndex;
  if (t.model) f.modelIndex = count(k.modelIndex, c.modelIndex);
  t.blend = k.blendWeight != c.blendWeight;
  if (t.blend) f.blendWeight = k.blendWeight + fi * (c.blendWeight - k.blendWeight) / fd;
  // The steps need not add up to the end exactly in floating point; the last frame is the view itself.
  if (i == d) f = c;
  return t;
}

void showTransitionStep(ViewController& view, const TransitionStep& step) {
  ViewState& s = view.state;
  const KeyFrame& f = step.frame;
  s.rotationX = f.rotationX;
  s.rotationZ = f.rotationZ;
  s.panX = f.panX;
  s.panY = f.panY;
  view.applyModelView();
  s.zoomAngle = f.zoomAngle;
  view.applyProjection();
  if (step.cutsOrRange) {
    // A model loaded since the key frame may have fewer cells: at least one layer stays.
    for (int axis = 0; axis < 3; ++axis) {
      const int room = std::max(0, s.visibleCount[axis] - 1);
      int& near = s.cuts[2 * axis];
      int& far = s.cuts[2 * axis + 1];
      near = std::clamp(f.cuts[2 * axis], 0, room);
      far = std::clamp(f.cuts[2 * axis + 1], 0, room - near);
    }
    s.displayMin = f.displayMin;
    s.displayMax = f.displayMax;
    s.frame.rebuild();
  }
  if (step.model) {
    Document& doc = view.doc();
    doc.selectModel(std::clamp(f.modelIndex, 0, std::max(0, doc.store().modelCount() - 1)));
    s.frame.rebuild();
  }
  if (step.blend) view.setBlendWeight(f.blendWeight);
}

}  // namespace litho
