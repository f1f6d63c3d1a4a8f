#pragma once
#include <optional>
#include <string>

#include "core/scene/colour_scale.h"
#include "core/scene/colourmap.h"

namespace litho {

enum class ScaleOwner { First, Second };

// What the view does after a colour command; Rebuild implies a redraw.
enum class Refresh { None, Redraw, Rebuild };

// What the view shows for the active scale.
struct ScaleDisplay {
  // "first model ..%,  second model ..%" for the status bar's first pane; only with a second model.
  std::optional<std::string> statusText;
  bool showLogButtons = false;  // "Cond / Res" and "Log10"
};

struct ColourUpdate {
  Refresh refresh = Refresh::None;
  std::optional<ScaleDisplay> display;  // set when the active scale was chosen again
};

// The view's colour state: the model colourmap, the two scales, which one is
// active, and the second-model opacity.
class ColourState {
 public:
  ColourState();

  Colourmap colourmap;
  ColourScale firstScale;
  ColourScale secondScale;
  float blendWeight = 0.3f;

  bool secondScaleActive() const { return secondActive_; }
  ColourScale& activeScale() { return secondActive_ ? secondScale : firstScale; }
  const ColourScale& activeScale() const { return secondActive_ ? secondScale : firstScale; }
  // "Log10" is shown pressed while the active scale's labels are log10 values.
  bool log10Pressed() const { return !activeScale().linearLabels; }

  // After every load. The cutoff range is the caller's to reset.
  ScaleDisplay initScales(double modelMin, double modelMax, bool logModel, bool secondModelLoaded, double secondMin,
                          double secondMax, bool logSecondModel);
  ScaleDisplay selectActiveScale(bool secondModelLoaded);

  // "Colourmap ..." on OK.
  ColourUpdate chooseColourmap(int kind, bool reversed);
  ColourUpdate flipColours();
  // "Reset scale": the caller runs recomputeRange for resetScaleOwner() and passes the new range.
  ScaleOwner resetScaleOwner(bool secondModelLoaded) const;
  ColourUpdate resetScale(ScaleOwner owner, double min, double max);
  ColourUpdate toggleConductivityView();
  ColourUpdate toggleLinearLabels();
  // Alt+Left and Alt+Right
  ColourUpdate decreaseOpacity(bool secondModelLoaded);
  ColourUpdate increaseOpacity(bool secondModelLoaded);
  // A movie transition's weight, between two that the steps above reached.
  ColourUpdate setBlendWeight(float weight, bool secondModelLoaded);

 private:
  ColourUpdate opacityChanged(bool secondModelLoaded);
  bool secondActive_ = false;
};

}  // namespace litho
