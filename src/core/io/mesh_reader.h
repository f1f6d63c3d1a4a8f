#pragma once
#include <string>
#include <string_view>

#include "core/io/line_source.h"
#include "core/platform/platform.h"
#include "core/store/rect_mesh.h"

namespace litho {

// Largest mesh the program holds: cell counts are 32-bit throughout.
constexpr long long kMaxCells = 2147483647LL;

struct MeshLimits {
  long long maxCells = kMaxCells;
  // Nodes, one model and the active-cell counts must fit in this many bytes.
  unsigned long long maxBytes = 0;  // 0: the memory available now
};

// Reads a mesh file line by line (no line longer than LineSource::kMaxLine).
// On failure shows the message (path appended) and leaves mesh empty.
bool readMeshFile(LineSource& in, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits = {});

// The same for mesh-file text held in memory.
bool readMeshText(const std::string& text, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits = {});

// Snaps a node that round-off left a hair away from zero.
inline double snapNode(double node, double previous) {
  return (node < 1e-9 && node > -1e-9 && (previous > 0.1 || previous < -0.1)) ? 0.0 : node;
}

}  // namespace litho
