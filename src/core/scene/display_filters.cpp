#include "core/scene/display_filters.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "core/io/field_parse.h"
#include "core/io/rounding.h"

namespace litho {

std::string formatModelValue(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7g", value);
  return buf;
}

std::string formatCoordinate(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::variant<double, FieldError> readPresentedValue(const std::string& text) {
  const auto v = parseDoubleField(text);
  if (!v) return FieldError{kEnterNumberMessage, MessageKind::Plain};
  return *v;
}

double toLogUnits(double presented, const ColourScale& scale) {
  if (!scale.linearLabels) return presented;
  // Every power of ten lies above zero: a bound at or below it is no bound.
  return presented > 0 ? std::log10(presented) : -HUGE_VAL;
}

// --- cutoff ------------------------------------------------------------------

void applyCutoff(ViewState& v, const ColourScale& firstScale, double low, double high) {
  low = toLogUnits(low, firstScale);
  high = toLogUnits(high, firstScale);
  if (!firstScale.conductivityView) {
    const double l = low;
    low = -high;
    high = -l;
  }
  // Slider steps and the trip through powers of ten leave tiny differences that must not move a limit.
  auto take = [](double& limit, double value) {
    if (std::isnan(value)) return;
    // Cells hold floats: a limit typed as a cell's value must compare equal to that cell.
    if (std::fabs(value) <= FLT_MAX) value = static_cast<float>(value);
    if (std::fabs(limit - value) < 1e-5 * std::fabs(limit)) return;
    limit = value;
  };
  take(v.displayMin, low);
  take(v.displayMax, high);
  v.frame.rebuild();
  v.frame.redraw();
}

int CutoffSlider::position(double logUnitsValue) const {
  const double p = (logUnitsValue - low) / step;
  if (!(step > 0) || std::isnan(p)) return 0;
  if (p <= 0) return 0;
  if (p >= kCutoffSliderMax) return kCutoffSliderMax;
  return roundToInt(p);
}

double CutoffSlider::shownValue(int position) const {
  const double v = position * step + low;
  return linearLabels ? std::pow(10.0, v) : v;
}

CutoffSession::CutoffSession(const ViewState& v, const ColourScale& firstScale, double modelMin, double modelMax)
    : scale_(firstScale), openingMin_(v.displayMin), openingMax_(v.displayMax) {
  const bool asStored = firstScale.conductivityView;
  const double mLow = asStored ? modelMin : -modelMax;
  const double mHigh = asStored ? modelMax : -modelMin;
  const double cLow = asStored ? v.displayMin : -v.displayMax;
  const double cHigh = asStored ? v.displayMax : -v.displayMin;
  slider_ = {mLow, (mHigh - mLow) * 0.005, firstScale.linearLabels};
  minPosition_ = slider_.position(cLow);
  maxPosition_ = slider_.position(cHigh);
  const double shownLow = firstScale.linearLabels ? std::pow(10.0, cLow) : cLow;
  const double shownHigh = firstScale.linearLabels ? std::pow(10.0, cHigh) : cHigh;
  minText_ = formatModelValue(shownLow);
  maxText_ = formatModelValue(shownHigh);
}

std::string CutoffSession::textAt(int position) const { return formatModelValue(slider_.shownValue(position)); }

std::optional<int> CutoffSession::positionFor(const std::string& text) const {
  const auto r = readPresentedValue(text);
  if (const double* v = std::get_if<double>(&r)) return slider_.position(toLogUnits(*v, scale_));
  return std::nullopt;
}

std::optional<FieldError> CutoffSession::read(const std::string& minText, const std::string& maxText, double& low,
                                              double& high) const {
  const auto lo = readPresentedValue(minText);
  if (const auto* e = std::get_if<FieldError>(&lo)) return *e;
  const auto hi = readPresentedValue(maxText);
  if (const auto* e = std::get_if<FieldError>(&hi)) return *e;
  low = std::get<double>(lo);
  high = std::get<double>(hi);
  return std::nullopt;
}

std::optional<FieldError> CutoffSession::preview(ViewState& v, const std::string& minText,
                                                 const std::string& maxText) {
  double low = 0, high = 0;
  if (auto e = read(minText, maxText, low, high)) return e;
  applyCutoff(v, scale_, low, high);
  applied_ = true;
  return std::nullopt;
}

std::optional<FieldError> CutoffSession::accept(ViewState& v, const std::string& minText,
                                                const std::string& maxText, bool ignoreCutPlanes) {
  double low = 0, high = 0;
  if (auto e = read(minText, maxText, low, high)) return e;
  v.ignoreCutPlanes = ignoreCutPlanes;
  applyCutoff(v, scale_, low, high);
  return std::nullopt;
}

void CutoffSession::cancel(ViewState& v, const std::string& minText, const std::string& maxText) {
  auto differs = [](const std::string& typed, const std::string& opening) {
    const auto a = parseDoubleField(typed), b = parseDoubleField(opening);
    return !a || !b || *a != *b;
  };
  if (!applied_ && !differs(minText, minText_) && !differs(maxText, maxText_)) return;
  // Put back exactly what was in force: a trip through the presented values could move a limit by a rounding.
  v.displayMin = openingMin_;
  v.displayMax = openingMax_;
  v.frame.rebuild();
  v.frame.redraw();
}

// --- colour range ------------------------------------------------------------

RangeFields rangeFields(const ColourState& c) {
  const DisplayRange a = toDisplayRange(c.firstScale), b = toDisplayRange(c.secondScale);
  return {formatModelValue(a.low), formatModelValue(a.high), formatModelValue(b.low), formatModelValue(b.high)};
}

namespace {

struct PresentedPair {
  double low = 0, high = 0;
};

std::variant<PresentedPair, FieldError> readPair(const std::string& minText, const std::string& maxText) {
  const auto lo = parseDoubleField(minText), hi = parseDoubleField(maxText);
  if (!lo || !hi) return FieldError{kEnterNumberMessage, MessageKind::Plain};
  if (!(*hi >= *lo)) return FieldError{kMinAboveMaxMessage, MessageKind::Plain};
  return PresentedPair{*lo, *hi};
}

// The stored range for a presented pair; a bound whose box was left as shown keeps its stored value.
DisplayRange storedRange(const ColourScale& scale, const PresentedPair& p, bool lowAsShown, bool highAsShown) {
  ColourScale s = scale;
  fromDisplayRange(s, p.low, p.high);
  // Shown negated, the presented low comes from max and the presented high from min.
  const bool minAsShown = scale.conductivityView ? lowAsShown : highAsShown;
  const bool maxAsShown = scale.conductivityView ? highAsShown : lowAsShown;
  return {minAsShown ? scale.min : s.min, maxAsShown ? scale.max : s.max};
}

}  // namespace

std::variant<RangeChoice, FieldError> checkRange(const RangeFields& typed, const RangeFields& shown,
                                                 const ColourState& c, bool secondModelLoaded) {
  const auto first = readPair(typed.firstMin, typed.firstMax);
  if (const auto* e = std::get_if<FieldError>(&first)) return *e;
  std::optional<PresentedPair> second;
  if (secondModelLoaded) {
    const auto r = readPair(typed.secondMin, typed.secondMax);
    if (const auto* e = std::get_if<FieldError>(&r)) return *e;
    second = std::get<PresentedPair>(r);
  }
  // Max >= Min, so a positive Min makes both positive.
  const PresentedPair& f = std::get<PresentedPair>(first);
  if (c.firstScale.linearLabels && !(f.low > 0)) return FieldError{kLogOfNonPositiveMessage, MessageKind::Warning};
  if (second && c.secondScale.linearLabels && !(second->low > 0))
    return FieldError{kLogOfNonPositiveMessage, MessageKind::Warning};

  RangeChoice choice;
  choice.first = storedRange(c.firstScale, f, typed.firstMin == shown.firstMin, typed.firstMax == shown.firstMax);
  if (second)
    choice.second =
        storedRange(c.secondScale, *second, typed.secondMin == shown.secondMin, typed.secondMax == shown.secondMax);
  // A bound kept from a shown, rounded text can end up beyond a typed one.
  if (!(choice.first.high >= choice.first.low) || (choice.second && !(choice.second->high >= choice.second->low)))
    return FieldError{kMinAboveMaxMessage, MessageKind::Plain};
  return choice;
}

void applyRange(ColourState& c, ViewState& v, const RangeChoice& choice) {
  c.firstScale.min = choice.first.low;
  c.firstScale.max = choice.first.high;
  if (choice.second) {
    c.secondScale.min = choice.second->low;
    c.secondScale.max = choice.second->high;
  }
  v.frame.rebuild();
  v.frame.redraw();
}

// --- padding -----------------------------------------------------------------

PaddingFields paddingFields(const ViewState& v) {
  PaddingFields f;
  for (std::size_t s = 0; s < f.size(); ++s) f[s] = std::to_string(v.hiddenPadding[s]);
  return f;
}

std::variant<std::array<int, 6>, FieldError> readPadding(const PaddingFields& fields) {
  std::array<int, 6> counts{};
  for (std::size_t s = 0; s < fields.size(); ++s) {
    const std::string& t = fields[s];
    const char* end = t.data() + t.size();
    const auto r = std::from_chars(t.data(), end, counts[s]);
    // Digits only: no sign, no blanks, nothing left over, no overflow.
    if (t.empty() || t[0] == '-' || r.ec != std::errc() || r.ptr != end)
      return FieldError{kEnterNumberMessage, MessageKind::Plain};
  }
  return counts;
}

std::array<bool, 3> applyPadding(ViewState& v, const std::array<int, 6>& padding, int nx, int ny, int nz) {
  const std::array<int, 3> counts{nx, ny, nz};
  std::array<bool, 3> taken{};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const int a = padding[2 * axis], b = padding[2 * axis + 1];
    taken[axis] = paddingFits(a, b, counts[axis]);
    if (taken[axis]) {
      v.hiddenPadding[2 * axis] = a;
      v.hiddenPadding[2 * axis + 1] = b;
    }
    v.visibleCount[axis] = counts[axis] - v.hiddenPadding[2 * axis] - v.hiddenPadding[2 * axis + 1];
  }
  v.panX = v.panY = 0;
  v.frame.rebuild();
  v.frame.redraw();
  return taken;
}

// --- diagonal cut -------------------------------------------------------------

bool switchDiagonalCutOff(ViewState& v) {
  if (!v.diagonalCutOn) return false;
  v.diagonalCutOn = false;
  v.mouseCutStage = 0;
  v.frame.rebuild();
  v.frame.redraw();
  return true;
}

DiagonalFields diagonalFields(const ViewState& v) {
  DiagonalFields f;
  for (std::size_t n = 0; n < f.size(); ++n) f[n] = formatCoordinate(v.diagonalLine[n]);
  return f;
}

std::variant<DiagonalCut, FieldError> checkDiagonal(const DiagonalFields& fields, bool flip) {
  DiagonalCut cut;
  cut.flip = flip;
  for (std::size_t n = 0; n < fields.size(); ++n) {
    const auto v = parseDoubleField(fields[n]);
    if (!v) return FieldError{kEnterNumberMessage, MessageKind::Plain};
    cut.line[n] = *v;
  }
  const FieldError parallel{kParallelLineMessage, MessageKind::Warning};
  if (cut.line[2] == cut.line[0] || cut.line[3] == cut.line[1]) return parallel;
  // The scene divides by the slope and by its inverse: both must be finite, so
  // a line that is parallel to an axis within double precision is refused too.
  const double slope = (cut.line[3] - cut.line[1]) / (cut.line[2] - cut.line[0]);
  if (!std::isfinite(slope) || !std::isfinite(1 / slope)) return parallel;
  return cut;
}

void applyDiagonal(ViewState& v, const DiagonalCut& cut) {
  v.diagonalLine = cut.line;
  v.diagonalSide = cut.flip ? 1 : 0;
  v.diagonalCutOn = true;
  v.frame.rebuild();
  v.frame.redraw();
}

}  // namespace litho
