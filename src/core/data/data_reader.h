#pragma once
// The observation data file, in one of three layouts told apart by its first
// lines:
//   counted   - a first line holding exactly one number ("%i %lg" converts
//               one field): the point count, then the point lines;
//   header    - two lines of 3 or 4 numbers, then a line of one number, the
//               count ("%i"), then the point lines;
//   plain     - the leading lines of 3 or 4 numbers are the points.
// A point line is read with "%lg %lg %lg %lg %s": easting, northing,
// elevation, value (0 when missing) and, in the plain layout only, a name.
// Blank lines are skipped wherever they are. A count larger than the point
// lines that follow keeps the points read and warns.
#include <optional>
#include <string>
#include <vector>

#include "core/data/data_set.h"
#include "core/io/line_source.h"
#include "core/platform/platform.h"

namespace litho {

enum class DataLayout { Counted, HeaderAndCount, Plain };

struct DataFileContents {
  std::vector<DataPoint> points;
  // Over the finite values, each bound rounded to single precision.
  double rangeMin = kDataRangeStart;
  double rangeMax = -kDataRangeStart;
  DataLayout layout = DataLayout::Plain;
  long long declaredCount = -1;  // the count line's number, in the counted layouts
};

// Reads every point the text holds; the only message is the short-count warning.
DataFileContents readDataPoints(LineSource& in, const std::string& path, Platform& platform);

// Reads the file at set.path into set.points and set's colour range, replacing
// them; on failure set is unchanged. Messages: "Filename missing.", "Could
// not open\n" + path, and a file without points.
bool readDataFile(DataSet& set, Platform& platform);

// "/trnsmt": the file "trns_coord.txt" of the current folder as a set drawn
// as red lines 3 pixels wide; the file is deleted afterwards.
std::optional<DataSet> readTransmitterData(Platform& platform);

}  // namespace litho
