#include "core/scene/colour_scale.h"

#include <cmath>
#include <utility>

namespace litho {

double colourFactor(const ColourScale& scale) { return 60.0 / (scale.max - scale.min); }

int colourIndex(double value, double min, double factor) {
  // An infinite factor means max == min.
  if (!std::isfinite(factor) || !std::isfinite(min)) return 0;
  const double index = (value - min) * factor;
  // Checked before the conversion: NaN and out-of-range doubles have no int value.
  if (!(index > 0)) return 0;
  if (index >= 60) return 60;
  return static_cast<int>(index);
}

int colourIndex(double value, const ColourScale& scale) { return colourIndex(value, scale.min, colourFactor(scale)); }

DisplayRange toDisplayRange(const ColourScale& scale) {
  DisplayRange r = scale.conductivityView ? DisplayRange{scale.min, scale.max} : DisplayRange{-scale.max, -scale.min};
  if (scale.linearLabels) {
    r.low = std::pow(10.0, r.low);
    r.high = std::pow(10.0, r.high);
  }
  return r;
}

void fromDisplayRange(ColourScale& scale, double low, double high) {
  if (scale.linearLabels) {
    low = std::log10(low);
    high = std::log10(high);
  }
  if (scale.conductivityView) {
    scale.min = low;
    scale.max = high;
  } else {
    scale.min = -high;
    scale.max = -low;
  }
}

}  // namespace litho
