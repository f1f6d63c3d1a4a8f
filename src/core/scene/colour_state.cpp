#include "core/scene/colour_state.h"

#include <cstdio>

#include "core/io/rounding.h"

namespace litho {

ColourState::ColourState() {
  buildColourmap(colourmap);
  setColourmapAlpha(colourmap, blendWeight);
}

ScaleDisplay ColourState::initScales(double modelMin, double modelMax, bool logModel, bool secondModelLoaded,
                                     double secondMin, double secondMax, bool logSecondModel) {
  firstScale = {modelMin, modelMax, true, logModel, logModel};
  if (secondModelLoaded) secondScale = {secondMin, secondMax, true, logSecondModel, logSecondModel};
  return selectActiveScale(secondModelLoaded);
}

ScaleDisplay ColourState::selectActiveScale(bool secondModelLoaded) {
  ScaleDisplay display;
  secondActive_ = secondModelLoaded && blendWeight > 0.5;
  if (secondModelLoaded) {
    const int p = roundToInt(static_cast<double>(blendWeight) * 100.0);
    char text[64];
    std::snprintf(text, sizeof text, "first model %i%%,  second model %i%%", 100 - p, p);
    display.statusText = text;
  }
  display.showLogButtons = activeScale().logScale;
  return display;
}

ColourUpdate ColourState::chooseColourmap(int kind, bool reversed) {
  colourmap.kind = kind;
  colourmap.reversed = reversed;
  buildColourmap(colourmap);
  return {Refresh::Rebuild, std::nullopt};
}

ColourUpdate ColourState::flipColours() { return chooseColourmap(colourmap.kind, !colourmap.reversed); }

ScaleOwner ColourState::resetScaleOwner(bool secondModelLoaded) const {
  return !secondModelLoaded || blendWeight <= 0.5 ? ScaleOwner::First : ScaleOwner::Second;
}

ColourUpdate ColourState::resetScale(ScaleOwner owner, double min, double max) {
  ColourScale& scale = owner == ScaleOwner::First ? firstScale : secondScale;
  scale.min = min;
  scale.max = max;
  return {Refresh::Rebuild, std::nullopt};
}

ColourUpdate ColourState::toggleConductivityView() {
  activeScale().conductivityView = !activeScale().conductivityView;
  return {Refresh::Redraw, std::nullopt};
}

ColourUpdate ColourState::toggleLinearLabels() {
  activeScale().linearLabels = !activeScale().linearLabels;
  return {Refresh::Redraw, std::nullopt};
}

// The step is done in double and stored as float; the snaps at either end
// absorb what ten steps of 0.1 leave behind.
ColourUpdate ColourState::decreaseOpacity(bool secondModelLoaded) {
  if (!secondModelLoaded || !(blendWeight > 0)) return {};
  blendWeight = static_cast<float>(blendWeight - 0.1);
  if (blendWeight < 1e-5) blendWeight = 0;
  return opacityChanged(secondModelLoaded);
}

ColourUpdate ColourState::increaseOpacity(bool secondModelLoaded) {
  if (!secondModelLoaded || !(blendWeight < 1)) return {};
  blendWeight = static_cast<float>(blendWeight + 0.1);
  if (blendWeight > 0.99999) blendWeight = 1;
  return opacityChanged(secondModelLoaded);
}

ColourUpdate ColourState::setBlendWeight(float weight, bool secondModelLoaded) {
  blendWeight = weight;
  return opacityChanged(secondModelLoaded);
}

ColourUpdate ColourState::opacityChanged(bool secondModelLoaded) {
  ColourUpdate update{Refresh::Rebuild, selectActiveScale(secondModelLoaded)};
  setColourmapAlpha(colourmap, blendWeight);
  return update;
}

}  // namespace litho
