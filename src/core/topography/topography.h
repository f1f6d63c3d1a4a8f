#pragma once
// Loading a topography file against the RectMesh: which cells of each column
// lie above the ground.
//
// The caller sets topographyPath before the load. On success it replaces
// TopActiveIndex with result.topActiveIndex, sets ActiveMaskSet to 1 when it
// was 0 (any other non-zero value stays), and refreshes all views with hint
// 0 as after a load. On failure every message has been shown and nothing
// else changes: no mask, no flag, no redraw.
#include <optional>
#include <string>

#include "core/io/line_source.h"
#include "core/platform/platform.h"
#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"

namespace litho {

struct TopographyResult {
  Grid2<int> topActiveIndex;  // nx by ny: cells k < index of column (i, j) are inactive
  long long pointCount = 0;   // points read from the file
  int cornersAdded = 0;       // mesh corners the points stopped short of
  long long activeCells = 0;
  long long inactiveCells = 0;  // above the ground
};

// Shows the wait cursor for the duration. buffers: read buffers kept by the
// caller from one load to the next (optional).
std::optional<TopographyResult> loadTopography(const std::string& path, const RectMesh& mesh, Platform& platform,
                                               LineSource::Buffers* buffers = nullptr);

// The same on a source already open; path is used in messages.
std::optional<TopographyResult> loadTopography(LineSource& in, const std::string& path, const RectMesh& mesh,
                                               Platform& platform);

}  // namespace litho
