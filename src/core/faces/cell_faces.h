#pragma once
// The cell-faces overlay of a view: one value per interior face of the mesh
// (the weights an inversion puts between neighbouring cells), drawn as traces
// on the displayed cells or as the faces whose values lie in a cutoff range.
#include <optional>
#include <string>

#include "core/platform/platform.h"
#include "core/scene/colourmap.h"
#include "core/store/arrays.h"

namespace litho {

enum FacesMethod : int { kFacesNone = 0, kFacesLines = 1, kFacesSurface = 2 };

// The data range a read starts from, in single precision.
inline constexpr float kFacesRangeStart = 1e30f;

struct CellFacesOverlay {
  bool loaded = false;
  int method = kFacesLines;
  std::string path;
  float dataMin = kFacesRangeStart, dataMax = -kFacesRangeStart;
  float colourMin = 0, colourMax = 0;
  float cutoffMin = 0, cutoffMax = 0;  // surface: the faces drawn, both ends included
  float lineWidth = 3;
  bool colourbar = false;
  int colourmapKind = 0;
  bool colourmapReversed = false;
  std::optional<Colourmap> colourmap;  // made at the first successful read

  // The mesh the arrays are for.
  int nx = 0, ny = 0, nz = 0;
  // x(i, j, k): the face between cells (i, j, k) and (i + 1, j, k), (nx - 1) x ny x nz;
  // y(i, j, k): between (i, j, k) and (i, j + 1, k), nx x (ny - 1) x nz;
  // z(i, j, k): between (i, j, k) and (i, j, k + 1), nx x ny x (nz - 1).
  ModelSet x, y, z;

  bool arraysPresent() const { return !x.empty(); }
  bool fitsMesh(int meshNx, int meshNy, int meshNz) const { return nx == meshNx && ny == meshNy && nz == meshNz; }
  // Loaded and drawn, with this overlay's scale on the colourbar.
  bool colourbarShown() const { return loaded && method != kFacesNone && colourbar && colourmap.has_value(); }
  void releaseArrays();
  // Takes the size of the document's mesh; arrays of another size are released.
  void adoptMeshSize(int meshNx, int meshNy, int meshNz);
  // The Colourmap from kind and reversed, made when absent.
  void rebuildColourmap();
};

// Entry 0..60 for face value w: the integer part of (w - min) * 60 / (max - min)
// in single precision, clamped. An empty range (min == max) gives 0 everywhere.
int facesColourIndex(float w, float min, float max);

// "Load": reads overlay.path. Messages: "Filename missing.", "Could not
// open\n" + path, "Error reading faces file\n" + path. On success the data
// and colour ranges are those of the file and the overlay is loaded; on
// failure it is not, and the arrays are released.
bool loadCellFaces(CellFacesOverlay& overlay, Platform& platform);

}  // namespace litho
