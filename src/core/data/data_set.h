#pragma once
#include <array>
#include <string>
#include <vector>

namespace litho {

struct DataPoint {
  double x = 0, y = 0, z = 0, value = 0;
  std::string name;
};

// One observation data set: its points and how it is drawn.
struct DataSet {
  std::string path;
  std::string name;
  int plottingMethod = 0;  // 0 = surface
  float plottingValue = 0;
  bool displayed = true;
  bool solidColour = false;
  std::array<float, 3> colour{1, 0, 0};
  std::vector<DataPoint> points;
  double rangeMin = 0;
  double rangeMax = 0;
};

}  // namespace litho
