#pragma once
// The topography file: leading "!" lines, a count line read with "%i", then
// that many point lines of easting, northing and elevation ("%lf %lf %lf");
// anything after the last point line is ignored.
#include <optional>
#include <string>
#include <vector>

#include "core/io/line_source.h"
#include "core/platform/platform.h"

namespace litho {

struct TopographyPoints {
  // Room for the file's points and the up to four mesh corners added later.
  std::vector<double> easting;
  std::vector<double> northing;
  std::vector<double> elevation;
  int size() const { return static_cast<int>(easting.size()); }
};

// "Error reading topography file " and the path.
std::string topographyReadError(const std::string& path);

// Reads the points. On failure shows the read error and returns nothing. A
// count the file cannot hold is refused before anything is allocated.
std::optional<TopographyPoints> readTopographyPoints(LineSource& in, const std::string& path, Platform& platform);

}  // namespace litho
