#pragma once
// What the overlays show, computed without GL: cut-plane positions, the
// readout text, colourbar entries and labels, tick labels, which box face is
// nearest.
#include <array>
#include <string>
#include <vector>

#include "core/store/rect_mesh.h"
#include "core/data/data_set.h"
#include "core/faces/cell_faces.h"
#include "core/scene/colour_scale.h"
#include "core/scene/colour_state.h"
#include "core/view/view_state.h"

namespace litho {

// Positions of the six cut planes: xW, xE, yS, yN, zT (elevation), zB.
struct CutPositions {
  double xW = 0, xE = 0, yS = 0, yN = 0, zT = 0, zB = 0;
};
CutPositions cutPositions(const RectMesh& mesh, const ViewState& v);

// "Easting =  %.8g" and its kin for the selected plane; empty with none selected.
std::string cutReadoutText(const RectMesh& mesh, const ViewState& v);

// Entry of colourbar rectangle i (0 at the bottom) and the seven labels, bottom to top.
int colourbarEntry(int i, bool conductivityView);
std::array<std::string, 7> colourbarLabels(double min, double max, bool conductivityView, bool linearLabels);

// What the colourbar shows: the selected data set's Colourmap and range,
// presented as stored, while the document is unmodified; else the colour
// range and Colourmap of a cell-faces overlay shown with its colourbar;
// otherwise the active model scale with the model Colourmap.
struct ColourbarSource {
  const Colourmap* colourmap;
  ColourScale scale;
};
ColourbarSource colourbarSource(const std::vector<DataSet>& sets, int selected, bool documentModified,
                                const ColourState& colours, const CellFacesOverlay* cellFaces = nullptr);

// A tick value: "%i" (rounded half away from zero) when the span exceeds 100, else "%.2f".
std::string tickLabel(double value, double span);

enum BoxFace { kBoxTop, kBoxBottom, kBoxWest, kBoxEast, kBoxSouth, kBoxNorth };
// The face whose centre has the smallest window depth; the first wins a tie.
int nearestFace(const std::array<double, 6>& windowDepths);

}  // namespace litho
