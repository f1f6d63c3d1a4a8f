#include "core/edit/undo_history.h"

#include <algorithm>
#include <utility>

namespace litho {

namespace {
constexpr std::size_t kMaxSteps = 1000;
}

ValueSnapshot snapshotOf(const ModelSet& m, const CellBox& box) {
  ValueSnapshot s{box, {}};
  if (box.empty()) return s;
  const int depth = box.k1 - box.k0;
  s.values.allocate(box.i1 - box.i0, box.j1 - box.j0, depth);
  for (int i = box.i0; i < box.i1; ++i)
    for (int j = box.j0; j < box.j1; ++j)
      std::copy_n(m.column(i, j) + box.k0, depth, s.values.column(i - box.i0, j - box.j0));
  return s;
}

void swapValues(ModelSet& m, ValueSnapshot& s) {
  const CellBox& b = s.box;
  if (b.empty()) return;
  if (b == CellBox::whole(m.nx(), m.ny(), m.nz())) {
    std::swap(m, s.values);
    return;
  }
  const int depth = b.k1 - b.k0;
  for (int i = b.i0; i < b.i1; ++i)
    for (int j = b.j0; j < b.j1; ++j) {
      float* a = m.column(i, j) + b.k0;
      std::swap_ranges(a, a + depth, s.values.column(i - b.i0, j - b.j0));
    }
}

std::size_t UndoStep::bytes() const {
  std::size_t n = sizeof(UndoStep);
  for (const ValueSnapshot& s : boxes) n += s.values.size() * sizeof(float) + sizeof(ValueSnapshot);
  if (elements) n += elements->size() * (sizeof(Element) + 16);
  return n;
}

CellBox UndoStep::changedBox() const {
  CellBox b;
  for (const ValueSnapshot& s : boxes) b.unite(s.box);
  return b;
}

void UndoHistory::push(UndoStep step) {
  while (steps_.size() > cursor_) {
    bytes_ -= steps_.back().charged;
    steps_.pop_back();
  }
  const std::size_t size = step.bytes();
  if (size > budget_) {
    clear();
    return;
  }
  step.charged = size;
  steps_.push_back(std::move(step));
  bytes_ += size;
  while (bytes_ > budget_ || steps_.size() > kMaxSteps) {
    bytes_ -= steps_.front().charged;
    steps_.pop_front();
  }
  cursor_ = steps_.size();
}

void UndoHistory::clear() {
  steps_.clear();
  cursor_ = 0;
  bytes_ = 0;
}

UndoStep* UndoHistory::undoStep() {
  if (!canUndo()) return nullptr;
  return &steps_[--cursor_];
}

UndoStep* UndoHistory::redoStep() {
  if (!canRedo()) return nullptr;
  return &steps_[cursor_++];
}

}  // namespace litho
