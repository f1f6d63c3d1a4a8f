#pragma once
#include <istream>
#include <string>
#include <vector>

#include "core/store/rect_mesh.h"
#include "core/platform/platform.h"

namespace litho {

// Largest mesh the program holds: cell counts are 32-bit throughout.
constexpr long long kMaxCells = 2147483647LL;

struct MeshLimits {
  long long maxCells = kMaxCells;
  // Nodes, one model and the active-cell counts must fit in this many bytes.
  unsigned long long maxBytes = 0;  // 0: the machine's physical memory
};

// Parses mesh-file text. On failure shows the message (path appended) and
// leaves mesh empty.
bool readMeshText(const std::string& text, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits = {});

// Reads n widths into nodes[1..n] (nodes[0] holds the origin) and turns them
// into cumulative coordinates with the round-off snap.
bool readWidthList(std::istream& in, int n, std::vector<double>& nodes, const std::string& path,
                   Platform& platform);

// Snaps a node that round-off left a hair away from zero.
inline double snapNode(double node, double previous) {
  return (node < 1e-9 && node > -1e-9 && (previous > 0.1 || previous < -0.1)) ? 0.0 : node;
}

}  // namespace litho
