#pragma once
// The observation locations file: for magnetics two lines "inclination
// declination strength" and "inclination declination 1", then a count line
// "N   !! grid nx ny" (only the leading count matters), then N lines "x y z".
#include <optional>
#include <string>
#include <vector>

#include "core/forward/forward_model.h"
#include "core/io/line_source.h"

namespace litho::forward {

struct Locations {
  InducingField field;  // magnetics only
  std::vector<Station> stations;
};

// Nothing and a reason naming the line when the text does not hold what it should.
std::optional<Locations> readLocations(LineSource& in, bool magnetic, std::string& error);

// The data file the forward programs write: the count, then "x y z value" per station.
std::string dataFileText(const std::vector<Station>& stations, const std::vector<double>& values);

}  // namespace litho::forward
