#pragma once
// Coinciding topography points, found after the points were sorted by
// northing: within each run of equal northing, every earlier point with an
// equal easting is one duplicate, so m coinciding points count m(m-1)/2.
#include <span>
#include <string>

namespace litho {

struct DuplicateReport {
  long long count = 0;
  // "(%g, %g) " with the later point's easting and northing for each
  // duplicate, a line break after every fifth; cut short after kMaxListed.
  std::string list;
};

inline constexpr long long kMaxListedDuplicates = 100;

// northing must be sorted ascending.
DuplicateReport findDuplicates(std::span<const double> northing, std::span<const double> easting);

// "Error: %i duplicate topography points found:\n" and the list.
std::string duplicateMessage(const DuplicateReport& report);

}  // namespace litho
