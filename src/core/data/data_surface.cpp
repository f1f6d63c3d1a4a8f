#include "core/data/data_surface.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace litho {

namespace {

constexpr const char* kTooFew = "Not enough points for surface.";
constexpr const char* kCollinear = "Error: Points in the data file are collinear.";

void sortByEasting(std::vector<DataPoint>& points) {
  std::vector<double> easting(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) easting[i] = points[i].x;
  const std::vector<int> index = sortIndex(easting);
  applyPermutation<DataPoint>(index, points);
}

// Within each run of equal easting, a point joins the first earlier point
// with an equal northing. Runs are sorted by northing rather than compared
// pairwise: a survey line along a meridian is one run. Returns the points merged.
std::size_t mergeDuplicates(std::vector<DataPoint>& points) {
  const std::size_t n = points.size();
  std::vector<int> count(n, 1);
  std::vector<char> removed(n, 0);
  std::vector<std::size_t> order;
  std::size_t merged = 0;
  for (std::size_t start = 0; start < n;) {
    std::size_t stop = start + 1;
    while (stop < n && points[stop].x == points[start].x) ++stop;
    if (stop - start > 1) {
      order.resize(stop - start);
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = start + i;
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t a, std::size_t b) { return points[a].y < points[b].y; });
      std::size_t keeper = order[0];
      for (std::size_t i = 1; i < order.size(); ++i) {
        const std::size_t p = order[i];
        if (points[p].y != points[keeper].y) {
          keeper = p;
          continue;
        }
        ++count[keeper];
        points[keeper].z += points[p].z;
        points[keeper].value += points[p].value;
        removed[p] = 1;
        ++merged;
      }
    }
    start = stop;
  }
  if (merged == 0) return 0;
  std::size_t out = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (removed[i]) continue;
    if (count[i] > 1) {
      points[i].z /= count[i];
      points[i].value /= count[i];
    }
    if (out != i) points[out] = std::move(points[i]);
    ++out;
  }
  points.resize(out);
  return merged;
}

}  // namespace

bool buildDataSurface(DataSet& set, Platform& platform) {
  const std::vector<DataPoint>& original = set.points;
  if (original.size() <= 2) {
    platform.message(kTooFew, MessageKind::Warning);
    return false;
  }
  for (const DataPoint& p : original)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
      platform.message("Error: The data file has points whose easting or northing is not a number.",
                       MessageKind::Warning);
      return false;
    }
  if (std::all_of(original.begin(), original.end(), [&](const DataPoint& p) { return p.x == original[0].x; })) {
    platform.message(kCollinear, MessageKind::Warning);
    return false;
  }
  WaitCursor wait(platform);
  std::vector<DataPoint> points = original;
  sortByEasting(points);
  if (const std::size_t merged = mergeDuplicates(points)) {
    if (points.size() < 3) {
      platform.message(kTooFew, MessageKind::Warning);
      return false;
    }
    platform.message(std::to_string(merged) + " duplicate points removed.\n", MessageKind::Info);
    sortByEasting(points);
  }
  std::vector<double> x(points.size()), y(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    x[i] = points[i].x;
    y[i] = points[i].y;
  }
  PlanarTriangulation surface;
  if (surface.triangulate(x, y) != PlanarTriangulation::kTriangulated) {
    platform.message(kCollinear, MessageKind::Warning);
    return false;
  }
  set.points = std::move(points);
  set.surface = std::move(surface);
  return true;
}

void restoreDataSets(std::vector<DataSet>& sets, Platform& platform) {
  for (DataSet& s : sets) {
    if (s.plottingMethod < 0 || s.plottingMethod >= kPlotMethodCount) s.plottingMethod = kPlotPoints;
    if (s.plottingMethod == kPlotSurface && !buildDataSurface(s, platform)) {
      s.plottingMethod = kPlotPoints;
      s.name = dataDisplayName(s);
    }
  }
}

}  // namespace litho
