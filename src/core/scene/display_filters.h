#pragma once
// The display filters: the value cutoff, the colour range of the two models,
// the hidden padding and the diagonal cut, with every check and conversion of
// their four dialogs. Values typed by the user are presented values: negated
// when a scale's conductivityView is off, powers of ten when its linearLabels
// is on. The cutoff always presents through the first model's scale.
#include <array>
#include <optional>
#include <string>
#include <variant>

#include "core/platform/platform.h"
#include "core/scene/colour_scale.h"
#include "core/scene/colour_state.h"
#include "core/view/view_state.h"

namespace litho {

inline constexpr const char* kMinAboveMaxMessage = "Min should be less than max.";
inline constexpr const char* kLogOfNonPositiveMessage = "Warning: taking log of a non-positive number.";
inline constexpr const char* kParallelLineMessage = "Line cannot be parallel to the axis.";

// A refused dialog input: the message to show; the dialog stays open.
struct FieldError {
  std::string text;
  MessageKind kind = MessageKind::Plain;
  bool operator==(const FieldError&) const = default;
};

// Model values as the dialogs show them.
std::string formatModelValue(double value);
// Coordinates as the dialogs show them: the shortest text that reads back as the same double.
std::string formatCoordinate(double value);

// A presented value typed into a box; refused when it is not a number.
std::variant<double, FieldError> readPresentedValue(const std::string& text);
// A presented value in the scale's own units: log10 taken under powers of ten,
// where a value at or below zero becomes minus infinity (no lower limit).
double toLogUnits(double presented, const ColourScale& scale);

// --- cutoff ------------------------------------------------------------------

// Changes the cutoff from presented values through firstScale. A limit within a
// relative 1e-5 of its present value keeps that value; a limit that is not a
// number keeps its value too. Under powers of ten a value at or below 0 lies
// below every cell (a min of 0 is no lower limit). New limits are rounded to
// float, the precision of the cells they are compared with. Asks for a
// rebuild and a redraw.
void applyCutoff(ViewState& v, const ColourScale& firstScale, double low, double high);

inline constexpr int kCutoffSliderMax = 200;

// The "Model Cutoff" sliders: position p (0..200) stands for the log-units
// value low + p * step over the presented model range.
struct CutoffSlider {
  double low = 0;
  double step = 0;  // (presented max - presented min) * 0.005
  bool linearLabels = false;

  // Nearest position (halves away from zero), held to 0..200; 0 when the model range is empty.
  int position(double logUnitsValue) const;
  // The value an edit box shows for position p.
  double shownValue(int position) const;
};

// One opening of "Model Cutoff", from opening to OK or Cancel.
class CutoffSession {
 public:
  CutoffSession(const ViewState& v, const ColourScale& firstScale, double modelMin, double modelMax);

  const CutoffSlider& slider() const { return slider_; }
  int openingMinPosition() const { return minPosition_; }
  int openingMaxPosition() const { return maxPosition_; }
  const std::string& openingMinText() const { return minText_; }
  const std::string& openingMaxText() const { return maxText_; }

  // A slider moved: the text its edit box shows.
  std::string textAt(int position) const;
  // An edit box lost the focus: where its slider goes; nothing for text that cannot be read.
  std::optional<int> positionFor(const std::string& text) const;

  // "Preview" and the end of slider tracking: reads both boxes and applies them.
  std::optional<FieldError> preview(ViewState& v, const std::string& minText, const std::string& maxText);
  // "OK": reads both boxes, takes the check box and applies them.
  std::optional<FieldError> accept(ViewState& v, const std::string& minText, const std::string& maxText,
                                   bool ignoreCutPlanes);
  // "Cancel": puts back the cutoff in force at opening if anything was applied
  // since or either box no longer shows its opening value.
  void cancel(ViewState& v, const std::string& minText, const std::string& maxText);

 private:
  std::optional<FieldError> read(const std::string& minText, const std::string& maxText, double& low,
                                 double& high) const;

  ColourScale scale_;
  CutoffSlider slider_;
  int minPosition_ = 0;
  int maxPosition_ = 0;
  std::string minText_;
  std::string maxText_;
  double openingMin_ = 0;  // displayMin, displayMax at opening
  double openingMax_ = 0;
  bool applied_ = false;
};

// --- colour range ------------------------------------------------------------

// The four boxes of "Set range of model values".
struct RangeFields {
  std::string firstMin, firstMax;
  std::string secondMin, secondMax;
  bool operator==(const RangeFields&) const = default;
};

// Stored ranges chosen in the dialog; second only with a second model.
struct RangeChoice {
  DisplayRange first;  // low = min, high = max, stored units
  std::optional<DisplayRange> second;
};

// What the dialog shows at opening.
RangeFields rangeFields(const ColourState& c);
// OK: Max >= Min in each group in use, positive values under powers of ten.
// A box still holding its opening text keeps the stored bound it came from exactly.
std::variant<RangeChoice, FieldError> checkRange(const RangeFields& typed, const RangeFields& shown,
                                                 const ColourState& c, bool secondModelLoaded);
// Stores the ranges; asks for a rebuild and a redraw.
void applyRange(ColourState& c, ViewState& v, const RangeChoice& choice);

// --- padding -----------------------------------------------------------------

// The six boxes of "Padding Cells", in hiddenPadding order: west, east, south, north, top, bottom.
using PaddingFields = std::array<std::string, 6>;

PaddingFields paddingFields(const ViewState& v);
// Every box must hold a count (digits only).
std::variant<std::array<int, 6>, FieldError> readPadding(const PaddingFields& fields);
// Takes each axis's pair only when it leaves at least one cell of that axis;
// recomputes visibleCount and centres the pan. The caller then runs
// resetViewExtents. Returns which axes (X, Y, Z) were taken.
std::array<bool, 3> applyPadding(ViewState& v, const std::array<int, 6>& padding, int nx, int ny, int nz);

// --- diagonal cut -------------------------------------------------------------

struct DiagonalCut {
  std::array<double, 4> line{};  // start easting, start northing, end easting, end northing
  bool flip = false;
  bool operator==(const DiagonalCut&) const = default;
};

// The four coordinate boxes of "Diagonal cut", in line order.
using DiagonalFields = std::array<std::string, 4>;

// "Diagonal ..." while the cut is on: switches it off and returns true; the
// dialog is not opened. Returns false (nothing changed) when the cut is off.
bool switchDiagonalCutOff(ViewState& v);
DiagonalFields diagonalFields(const ViewState& v);
std::variant<DiagonalCut, FieldError> checkDiagonal(const DiagonalFields& fields, bool flip);
void applyDiagonal(ViewState& v, const DiagonalCut& cut);

}  // namespace litho
