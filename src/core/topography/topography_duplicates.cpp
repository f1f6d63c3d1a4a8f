#include "core/topography/topography_duplicates.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace litho {

DuplicateReport findDuplicates(std::span<const double> northing, std::span<const double> easting) {
  DuplicateReport report;
  const std::size_t n = std::min(northing.size(), easting.size());
  // Gridded files have runs as long as a grid row: sort each run by easting
  // instead of comparing every pair.
  std::vector<std::size_t> order;
  std::vector<int> earlierEqual;  // per point of the run: earlier points at the same place
  for (std::size_t start = 0; start < n;) {
    std::size_t stop = start + 1;
    while (stop < n && northing[stop] == northing[start]) ++stop;
    if (stop - start > 1) {
      order.resize(stop - start);
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = start + i;
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t a, std::size_t b) { return easting[a] < easting[b]; });
      bool any = false;
      for (std::size_t i = 1; i < order.size() && !any; ++i) any = easting[order[i]] == easting[order[i - 1]];
      if (any) {
        earlierEqual.assign(order.size(), 0);
        for (std::size_t i = 1; i < order.size(); ++i)
          if (easting[order[i]] == easting[order[i - 1]])
            earlierEqual[order[i] - start] = earlierEqual[order[i - 1] - start] + 1;
        // The list follows the walk: later points in file order, each once per earlier twin.
        char item[64];
        for (std::size_t i = start; i < stop; ++i)
          for (int twin = 0; twin < earlierEqual[i - start]; ++twin) {
            ++report.count;
            if (report.count > kMaxListedDuplicates) {
              if (report.count == kMaxListedDuplicates + 1) report.list += "...";
              continue;
            }
            std::snprintf(item, sizeof item, "(%g, %g) ", easting[i], northing[i]);
            report.list += item;
            if (report.count % 5 == 0) report.list += '\n';
          }
      }
    }
    start = stop;
  }
  return report;
}

std::string duplicateMessage(const DuplicateReport& report) {
  char head[96];
  std::snprintf(head, sizeof head, "Error: %lld duplicate topography points found:\n", report.count);
  return head + report.list;
}

}  // namespace litho
