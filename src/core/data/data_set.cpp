#include "core/data/data_set.h"

#include "core/scene/colour_scale.h"

namespace litho {

Colourmap defaultDataColourmap() {
  Colourmap m;
  buildColourmap(m);
  setColourmapAlpha(m, 1);
  return m;
}

std::string dataDisplayName(const DataSet& set) {
  static constexpr const char* kSuffix[kPlotMethodCount] = {"_surface", "_lines", "_points", "_spheres", "_cylinders"};
  const auto slash = set.path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? set.path : set.path.substr(slash + 1);
  const bool known = set.plottingMethod >= 0 && set.plottingMethod < kPlotMethodCount;
  name += set.displayed && known ? kSuffix[set.plottingMethod] : "_?????";
  return name;
}

int dataColourIndex(const DataSet& set, double value) {
  return colourIndex(value, set.rangeMin, 60.0 / (set.rangeMax - set.rangeMin));
}

Rgba dataPointColour(const DataSet& set, double value, float alpha) {
  if (set.solidColour) return {set.colour[0], set.colour[1], set.colour[2], alpha};
  Rgba c = set.colourmap.entries[static_cast<std::size_t>(dataColourIndex(set, value))];
  c[3] = alpha;
  return c;
}

}  // namespace litho
