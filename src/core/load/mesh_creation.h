#pragma once
// "Create mesh": a mesh designed from a corner, two horizontal cell widths and
// two lengths. Fine layers of half the smaller width reach a quarter of the
// larger length down, then half as many layers twice as thick, then three
// layers of a sixth of the larger length.
#include <optional>
#include <string>

#include "core/platform/platform.h"

namespace litho {

struct MeshDesign {
  double x0 = 0, y0 = 0, z0 = 0;  // top south-west corner
  double dx = 20, dy = 20;        // horizontal cell widths
  double lengthX = 200, lengthY = 200;
  bool operator==(const MeshDesign&) const = default;
};

// Counts are wide: designs far too large for a mesh still compare correctly.
struct DerivedMesh {
  long long nx = 0, ny = 0, nz = 0;
  long long fineLayers = 0;  // h; h / 2 coarse layers follow
  double dz = 0;             // fine layer thickness
  double bottom = 0;         // thickness of the three bottom layers
  long long cellCount() const;  // saturates instead of overflowing
};

inline constexpr long long kLotOfCells = 500000;

// The dialog's checks in order; the message to show, or nothing.
std::optional<std::string> checkMeshDesign(const MeshDesign& d);
// Only for a design that passed the checks.
DerivedMesh deriveMesh(const MeshDesign& d);
// A design whose mesh the program could not hold: the message to show.
std::optional<std::string> meshSizeProblem(const DerivedMesh& m);
std::string designedMeshText(const MeshDesign& d, const DerivedMesh& m);

// The values of the dialog, kept after each successful Save while the program runs.
MeshDesign& keptMeshDesign();

// The dialog's Save button: checks, the "lot of cells" question, the file
// name ("Save mesh file") and the write. The path written, or nothing when
// the dialog stays open.
std::optional<std::string> createMeshSave(const MeshDesign& d, Platform& platform);

}  // namespace litho
