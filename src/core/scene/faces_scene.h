#pragma once
// The cell-faces overlay as plain geometry. Lines: the traces of each drawn
// cell's east, north and bottom faces on the cell's exposed sides. Surface:
// the faces whose values lie in the cutoff range, as cell faces of the cell
// east of, north of or below them. Both are kept compact (16 bytes a trace or
// a face); the GL layer turns them into vertices chunk by chunk.
#include <array>
#include <cstdint>
#include <vector>

#include "core/faces/cell_faces.h"
#include "core/scene/cell_face.h"
#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"

namespace litho {

class HiddenFlags;

// Which trace of cell (i, j, k): the exposed side, then the face (X east, Y north, Z bottom).
enum FaceTraceKind : std::uint8_t {
  kTraceTopX,
  kTraceTopY,
  kTraceBottomX,
  kTraceBottomY,
  kTraceSouthX,
  kTraceSouthZ,
  kTraceNorthX,
  kTraceNorthZ,
  kTraceWestY,
  kTraceWestZ,
  kTraceEastY,
  kTraceEastZ,
};

struct FaceTrace {
  std::int32_t i, j, k;
  std::uint8_t kind;
  std::uint8_t colour;  // entry of the overlay's colourmap
};

struct CellFacesScene {
  int method = kFacesNone;
  float lineWidth = 1;
  Colourmap colourmap;
  std::vector<FaceTrace> traces;  // lines
  std::vector<CellFace> faces;    // surface: kFaceTop, kFaceWest and kFaceSouth faces of cells
  void clear() {
    method = kFacesNone;
    traces.clear();
    faces.clear();
  }
};

// The two ends of a trace, in model coordinates.
std::array<std::array<double, 3>, 2> traceEnds(const RectMesh& mesh, const FaceTrace& t);

// Faces of the surface mode that the cutoff keeps in the box of flags; counted
// first so that the caller can check the memory before any is stored.
long long countSurfaceFaces(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& topActive,
                            const HiddenFlags& flags);

// The overlay's geometry for the DrawBox of flags. Draws nothing unless the
// overlay is loaded for this mesh's size. NaN values are never drawn.
// surfaceFaces: countSurfaceFaces of the same state when the caller has it.
void buildCellFacesScene(const CellFacesOverlay& o, const RectMesh& mesh, const Grid2<int>& topActive,
                         const HiddenFlags& flags, CellFacesScene& out, long long surfaceFaces = -1);

}  // namespace litho
