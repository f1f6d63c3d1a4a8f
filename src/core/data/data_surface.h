#pragma once
// The triangulated surface through a data set's stations.
#include <vector>

#include "core/data/data_set.h"
#include "core/platform/platform.h"

namespace litho {

// Sorts the points by easting, merges points at the same easting and
// northing into one with the mean elevation and value ("%i duplicate points
// removed.\n"), and triangulates easting and northing into set.surface. The
// points stay sorted and merged. On failure ("Not enough points for
// surface.", "Error: Points in the data file are collinear.") the set is
// unchanged.
bool buildDataSurface(DataSet& set, Platform& platform);

// Sets read from a view file: a method outside 0..4 becomes points, and a
// surface set gets its surface built again, or becomes points when that fails.
void restoreDataSets(std::vector<DataSet>& sets, Platform& platform);

}  // namespace litho
