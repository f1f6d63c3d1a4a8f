#include "core/scene/overlays.h"

#include <cmath>
#include <cstdio>

#include "core/io/coordinate_text.h"

namespace litho {

CutPositions cutPositions(const RectMesh& m, const ViewState& v) {
  CutPositions p;
  if (m.empty()) return p;
  const auto& pad = v.hiddenPadding;
  const auto& c = v.cuts;
  p.xW = m.xNodes[pad[kSideWest] + c[kSideWest]];
  p.xE = m.xNodes[pad[kSideWest] + v.visibleCount[0] - c[kSideEast]];
  p.yS = m.yNodes[pad[kSideSouth] + c[kSideSouth]];
  p.yN = m.yNodes[pad[kSideSouth] + v.visibleCount[1] - c[kSideNorth]];
  p.zT = m.zNodes[pad[kSideTop] + c[kSideTop]];
  p.zB = m.zNodes[pad[kSideTop] + v.visibleCount[2] - c[kSideBottom]];
  return p;
}

std::string cutReadoutText(const RectMesh& m, const ViewState& v) {
  if (v.selectedCutPlane == kNoPlane || m.empty()) return {};
  const CutPositions p = cutPositions(m, v);
  const char* label = "Easting";
  double value = p.xW;
  switch (v.selectedCutPlane) {
    case kWest: break;
    case kEast: value = p.xE; break;
    case kSouth: label = "Northing", value = p.yS; break;
    case kNorth: label = "Northing", value = p.yN; break;
    case kTop: label = "Depth", value = p.zT; break;
    default: label = "Depth", value = p.zB; break;
  }
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s =  %.8g", label, value);
  return buf;
}

int colourbarEntry(int i, bool conductivityView) { return conductivityView ? i : 60 - i; }

std::array<std::string, 7> colourbarLabels(double min, double max, bool conductivityView, bool linearLabels) {
  std::array<std::string, 7> labels;
  const double g = (max - min) / 6;
  for (int f = 0; f <= 6; ++f) {
    double value = conductivityView ? min + f * g : -(min + (6 - f) * g);
    if (linearLabels) value = std::pow(10.0, value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3g", value);
    labels[static_cast<std::size_t>(f)] = buf;
  }
  return labels;
}

ColourbarSource colourbarSource(const std::vector<DataSet>& sets, int selected, bool documentModified,
                                const ColourState& colours, const CellFacesOverlay* cellFaces) {
  if (!documentModified && selected >= 0 && selected < static_cast<int>(sets.size())) {
    const DataSet& d = sets[static_cast<std::size_t>(selected)];
    return {&d.colourmap, ColourScale{d.rangeMin, d.rangeMax, true, false, false}};
  }
  if (cellFaces && cellFaces->colourbarShown())
    return {&*cellFaces->colourmap, ColourScale{cellFaces->colourMin, cellFaces->colourMax, true, false, false}};
  return {&colours.colourmap, colours.activeScale()};
}

std::string tickLabel(double value, double span) { return fixedText(value, span > 100 ? 0 : 2); }

int nearestFace(const std::array<double, 6>& d) {
  int best = 0;
  for (int f = 1; f < 6; ++f)
    if (d[static_cast<std::size_t>(f)] < d[static_cast<std::size_t>(best)]) best = f;
  return best;
}

}  // namespace litho
