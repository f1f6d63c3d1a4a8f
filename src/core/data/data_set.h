#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/geometry/planar_triangulation.h"
#include "core/scene/colourmap.h"

namespace litho {

struct DataPoint {
  double x = 0, y = 0, z = 0, value = 0;  // easting, northing, elevation
  std::string name;
};

// How a data set is drawn; the numbers are those stored in view files.
enum PlotMethod : int { kPlotSurface = 0, kPlotLines = 1, kPlotPoints = 2, kPlotSpheres = 3, kPlotCylinders = 4 };
inline constexpr int kPlotMethodCount = 5;

// The value range a read starts from, rounded to single precision as the
// range itself always is.
inline constexpr double kDataRangeStart = static_cast<double>(1e20f);

Colourmap defaultDataColourmap();

// One observation data set: its points and how it is drawn.
struct DataSet {
  std::string path;
  std::string name;  // shown in the dialog's list: the file name and the method
  int plottingMethod = kPlotPoints;
  // Surface: opacity 0..1; lines: width and points: size in pixels;
  // spheres and cylinders: radius in model units.
  float plottingValue = 1;
  bool displayed = true;
  bool solidColour = false;
  std::array<float, 3> colour{1, 1, 1};
  Colourmap colourmap = defaultDataColourmap();
  std::vector<DataPoint> points;
  double rangeMin = kDataRangeStart;
  double rangeMax = -kDataRangeStart;
  // Built by buildDataSurface over easting and northing; node k is points[k - 1].
  PlanarTriangulation surface;
};

// The file name after the last path separator and "_surface", "_lines",
// "_points", "_spheres" or "_cylinders"; "_?????" while the set is not displayed.
std::string dataDisplayName(const DataSet& set);

// Entry of the set's Colourmap for a value: 60 / (max - min) * (value - min)
// of the colour range, truncated and clamped to 0..60.
int dataColourIndex(const DataSet& set, double value);
// The solid colour, or the value's Colourmap entry; alpha as given.
Rgba dataPointColour(const DataSet& set, double value, float alpha = 1);

}  // namespace litho
