#pragma once
// Undo and redo of changes of model values. A step keeps, for each box of
// cells it changed, the values on the other side of the change; undoing or
// redoing swaps them with the model's, so a step needs one copy of its boxes.
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "core/edit/element.h"
#include "core/store/arrays.h"
#include "core/store/cell_box.h"
#include "core/store/model_store.h"

namespace litho {

// The values of one box of cells, shaped as the box (columns of the box's depth).
struct ValueSnapshot {
  CellBox box;
  ModelSet values;
};

// Copies the box of m. Throws std::bad_alloc.
ValueSnapshot snapshotOf(const ModelSet& m, const CellBox& box);
// Exchanges the box's values of m with the snapshot's; a snapshot of the whole
// set is exchanged by pointer.
void swapValues(ModelSet& m, ValueSnapshot& s);

struct UndoStep {
  enum class Kind { Values, Difference };
  Kind kind = Kind::Values;
  int model = 0;
  // Boxes in the order they were changed: undone last to first.
  std::vector<ValueSnapshot> boxes;
  std::optional<std::vector<Element>> elements;  // the list on the other side, when it changed
  ValueRange range;                              // the first model's range on the other side
  bool resetScales = false;                      // the change refreshed the views with new scales
  std::size_t charged = 0;                       // bytes counted against the budget

  std::size_t bytes() const;
  CellBox changedBox() const;
};

// Steps in order, the next one to redo at the cursor. Oldest steps go first
// when the budget is exceeded; a step larger than the whole budget empties the
// history, as then nothing before it could be undone either.
class UndoHistory {
 public:
  void setBudget(std::size_t bytes) { budget_ = bytes; }
  std::size_t budget() const { return budget_; }
  std::size_t bytes() const { return bytes_; }
  void push(UndoStep step);
  void clear();
  bool canUndo() const { return cursor_ > 0; }
  bool canRedo() const { return cursor_ < steps_.size(); }
  std::size_t size() const { return steps_.size(); }
  // The step to undo or redo, which the caller applies in place (swapping it
  // to the other side); null when there is none.
  UndoStep* undoStep();
  UndoStep* redoStep();

 private:
  std::deque<UndoStep> steps_;
  std::size_t cursor_ = 0;
  std::size_t bytes_ = 0;
  std::size_t budget_ = std::size_t{64} << 20;
};

}  // namespace litho
