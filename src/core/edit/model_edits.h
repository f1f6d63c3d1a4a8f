#pragma once
// Changes of model values other than block painting: smoothing, the
// difference of the two models and one-cell edits; and undo and redo of
// every change of values.
#include <optional>
#include <vector>

#include "core/edit/element.h"
#include "core/edit/undo_history.h"
#include "core/store/arrays.h"
#include "core/store/cell_box.h"
#include "core/store/model_store.h"
#include "core/store/rect_mesh.h"

namespace litho {

class Document;
class Platform;

// Gathers one change for undo: the range and element list before it, and the
// values of each box before it is written. finish() files the step when
// something was recorded; a snapshot that finds no memory empties the history
// instead, since this change could not be undone.
class UndoRecorder {
 public:
  UndoRecorder(Document& doc, int model, bool resetScales = false);
  void before(const ModelSet& values, const CellBox& box);
  // A whole model set taken over as it is (the values being replaced).
  void beforeWhole(ModelSet&& values);
  void finish();

 private:
  Document& doc_;
  int model_;
  bool resetScales_;
  bool failed_ = false;
  ValueRange range_;
  std::vector<Element> elements_;
  std::vector<ValueSnapshot> boxes_;
};

// One pass of volume-weighted smoothing of in into out (allocated here):
// every active cell becomes the mean of the active cells of its 3 x 3 x 3
// neighbourhood weighted by their volumes; inactive cells are copied. An out
// of the model's shape is written over, else allocated. Throws std::bad_alloc.
void smoothValues(const RectMesh& mesh, const Grid2<int>& top, const ModelSet& in, ModelSet& out);

// "Smooth": refused while the block editor is open; asks; smooths the current
// model, recomputes its range and marks the document modified. True when the
// values changed (the views then take new scales).
bool smoothModel(Document& doc, Platform& platform);

// "Difference": the second model becomes the first minus the second, or, when
// the difference is shown, the second model as it was loaded again. True when
// it changed; false (told) when there is no memory to keep the second model.
bool toggleDifference(Document& doc, Platform& platform);

// The "Cell Properties" dialog's fields for cell (i, j, k).
struct CellProperties {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
  float value = 0;
  std::optional<float> secondValue;  // empty without a second model
};
CellProperties cellProperties(const Document& doc, int i, int j, int k);
// "Cell Properties" on OK: writes value into the cell when it differs from the
// stored one, marks the document modified and recomputes the range. True when
// the value changed.
bool setCellValue(Document& doc, int i, int j, int k, float value);

struct UndoOutcome {
  bool done = false;
  bool resetScales = false;  // the views take new scales, as after the change itself
};
UndoOutcome undoChange(Document& doc, Platform& platform);
UndoOutcome redoChange(Document& doc, Platform& platform);

}  // namespace litho
