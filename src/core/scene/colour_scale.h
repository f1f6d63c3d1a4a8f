#pragma once

namespace litho {

// The value range spread over the 61 colourmap entries, and how values are
// presented: as stored or negated (conductivity / resistivity), and as log10
// values or as powers of ten.
struct ColourScale {
  double min = 0;  // entry 0, stored units (log10 units for a log model)
  double max = 0;  // entry 60
  bool conductivityView = true;
  bool linearLabels = false;
  bool logScale = false;
};

struct DisplayRange {
  double low = 0;
  double high = 0;
};

// 60 / (max - min), computed once per drawing pass.
double colourFactor(const ColourScale& scale);

// Entry 0..60 for a value, by truncation toward zero and clamping. Values at or
// above max take 60, values below min take 0. Whatever cannot be placed takes
// entry 0: NaN values, and every value when max == min or a bound is not finite.
int colourIndex(double value, double min, double factor);
int colourIndex(double value, const ColourScale& scale);

DisplayRange toDisplayRange(const ColourScale& scale);
// Sets min and max from presented bounds. Never refuses: log10 of a
// non-positive bound gives a non-finite min or max.
void fromDisplayRange(ColourScale& scale, double low, double high);

}  // namespace litho
