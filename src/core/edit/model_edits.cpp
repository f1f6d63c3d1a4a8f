#include "core/edit/model_edits.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "core/edit/block_editor.h"
#include "core/load/document.h"
#include "core/load/memory.h"
#include "core/platform/platform.h"

namespace litho {

// --- undo recording ------------------------------------------------------------

UndoRecorder::UndoRecorder(Document& doc, int model, bool resetScales)
    : doc_(doc), model_(model), resetScales_(resetScales), range_(doc.store().range()), elements_(doc.elements()) {}

void UndoRecorder::before(const ModelSet& values, const CellBox& box) {
  if (failed_ || box.empty()) return;
  if (memoryShortfall(bytesOf(box.cellCount(), sizeof(float)))) {
    failed_ = true;
    return;
  }
  try {
    boxes_.push_back(snapshotOf(values, box));
  } catch (const std::bad_alloc&) {
    failed_ = true;
  }
}

void UndoRecorder::beforeWhole(ModelSet&& values) {
  if (failed_) return;
  const CellBox whole = CellBox::whole(values.nx(), values.ny(), values.nz());
  boxes_.push_back({whole, std::move(values)});
}

void UndoRecorder::finish() {
  UndoHistory& history = doc_.history();
  if (failed_) {
    boxes_.clear();
    history.clear();
    return;
  }
  const bool elementsChanged = doc_.elements() != elements_;
  if (boxes_.empty() && !elementsChanged) return;
  UndoStep step;
  step.model = model_;
  step.boxes = std::move(boxes_);
  if (elementsChanged) step.elements = std::move(elements_);
  step.range = range_;
  step.resetScales = resetScales_;
  // Room for a few changes of the whole model, or many of parts of it.
  const std::size_t modelBytes = doc_.store().empty() ? 0 : doc_.store().model(0).size() * sizeof(float);
  history.setBudget(std::max<std::size_t>(2 * modelBytes, std::size_t{16} << 20));
  try {
    history.push(std::move(step));
  } catch (const std::bad_alloc&) {
    history.clear();
  }
}

// --- smoothing -------------------------------------------------------------------

void smoothValues(const RectMesh& mesh, const Grid2<int>& top, const ModelSet& in, ModelSet& out) {
  const int nx = mesh.nx, ny = mesh.ny, nz = mesh.nz;
  if (out.empty() || out.nx() != nx || out.ny() != ny || out.nz() != nz) out.allocate(nx, ny, nz);
  if (nx <= 0 || ny <= 0 || nz <= 0) return;
  const auto firstActive = [&](int i, int j) { return top.empty() ? 0 : std::clamp(top(i, j), 0, nz); };
  std::vector<double> dx(nx), dy(ny), dz(nz);
  for (int i = 0; i < nx; ++i) dx[i] = mesh.xNodes[i + 1] - mesh.xNodes[i];
  for (int j = 0; j < ny; ++j) dy[j] = mesh.yNodes[j + 1] - mesh.yNodes[j];
  for (int k = 0; k < nz; ++k) dz[k] = mesh.zNodes[k] - mesh.zNodes[k + 1];

  // The weighted sums factor by axis: per column the sums over depth of the
  // active cells, per plane of columns the sums of three rows, per cell the
  // sums of three planes. Rolling planes of row sums for the numerator
  // (values times volumes) and the denominator (volumes).
  const std::size_t plane = static_cast<std::size_t>(ny) * nz;
  std::vector<double> colNum(plane), colDen(plane);
  std::vector<double> rowNum[3], rowDen[3];
  for (int p = 0; p < 3; ++p) {
    rowNum[p].resize(plane);
    rowDen[p].resize(plane);
  }
  std::vector<double> w(static_cast<std::size_t>(nz) + 2), e(static_cast<std::size_t>(nz) + 2);

  const auto sumPlane = [&](int l) {
    for (int m = 0; m < ny; ++m) {
      const float* v = in.column(l, m);
      const int t = firstActive(l, m);
      std::fill(w.begin(), w.end(), 0.0);
      std::fill(e.begin(), e.end(), 0.0);
      for (int n = t; n < nz; ++n) {
        w[n + 1] = dz[n] * v[n];
        e[n + 1] = dz[n];
      }
      double* a = colNum.data() + static_cast<std::size_t>(m) * nz;
      double* b = colDen.data() + static_cast<std::size_t>(m) * nz;
      for (int k = 0; k < nz; ++k) {
        a[k] = w[k] + w[k + 1] + w[k + 2];
        b[k] = e[k] + e[k + 1] + e[k + 2];
      }
    }
    double* rn = rowNum[l % 3].data();
    double* rd = rowDen[l % 3].data();
    for (int m = 0; m < ny; ++m) {
      double* on = rn + static_cast<std::size_t>(m) * nz;
      double* od = rd + static_cast<std::size_t>(m) * nz;
      const double* a = colNum.data() + static_cast<std::size_t>(m) * nz;
      const double* b = colDen.data() + static_cast<std::size_t>(m) * nz;
      for (int k = 0; k < nz; ++k) {
        on[k] = dy[m] * a[k];
        od[k] = dy[m] * b[k];
      }
      if (m > 0) {
        const double* pa = a - nz;
        const double* pb = b - nz;
        for (int k = 0; k < nz; ++k) {
          on[k] += dy[m - 1] * pa[k];
          od[k] += dy[m - 1] * pb[k];
        }
      }
      if (m + 1 < ny) {
        const double* na = a + nz;
        const double* nb = b + nz;
        for (int k = 0; k < nz; ++k) {
          on[k] += dy[m + 1] * na[k];
          od[k] += dy[m + 1] * nb[k];
        }
      }
    }
  };

  sumPlane(0);
  if (nx > 1) sumPlane(1);
  for (int i = 0; i < nx; ++i) {
    if (i > 0 && i + 1 < nx) sumPlane(i + 1);
    const int lo = std::max(i - 1, 0), hi = std::min(i + 1, nx - 1);
    for (int j = 0; j < ny; ++j) {
      const float* src = in.column(i, j);
      float* dst = out.column(i, j);
      const int t = firstActive(i, j);
      std::copy(src, src + t, dst);
      const std::size_t at = static_cast<std::size_t>(j) * nz;
      const double* n0 = rowNum[lo % 3].data() + at;
      const double* d0 = rowDen[lo % 3].data() + at;
      const double* n1 = rowNum[i % 3].data() + at;
      const double* d1 = rowDen[i % 3].data() + at;
      const double* n2 = rowNum[hi % 3].data() + at;
      const double* d2 = rowDen[hi % 3].data() + at;
      const double w0 = lo < i ? dx[lo] : 0, w2 = hi > i ? dx[hi] : 0, w1 = dx[i];
      for (int k = t; k < nz; ++k) {
        const double num = w0 * n0[k] + w1 * n1[k] + w2 * n2[k];
        const double den = w0 * d0[k] + w1 * d1[k] + w2 * d2[k];
        dst[k] = static_cast<float>(num / den);
      }
    }
  }
}

bool smoothModel(Document& doc, Platform& platform) {
  if (doc.blockEditorOpen()) {
    platform.message("Close the \"Add Blocks\" window before smoothing.", MessageKind::Warning);
    return false;
  }
  if (!doc.modelLoaded() || doc.isVectorModel() || doc.store().empty()) return false;
  if (!platform.askYesNo("Are you sure you want to change the model by smoothing it?")) return false;
  WaitCursor wait(platform);
  ModelStore& store = doc.editStore();
  const int m = store.currentModelIndex();
  const auto tell = [&](const std::string& why) {
    platform.message("Not enough memory to smooth the model: " + why + ".", MessageKind::Error);
    return false;
  };
  if (const auto why = memoryShortfall(bytesOf(store.model(m).size(), sizeof(float)))) return tell(*why);
  ModelSet smoothed;
  try {
    smoothValues(doc.mesh(), store.topActiveIndex(), store.model(m), smoothed);
  } catch (const std::bad_alloc&) {
    return tell("the memory ran out");
  }
  UndoRecorder undo(doc, m, true);
  std::swap(store.modelData(m), smoothed);
  undo.beforeWhole(std::move(smoothed));
  store.recomputeRange(Which::First);
  doc.markModified();
  undo.finish();
  return true;
}

// --- difference ------------------------------------------------------------------

namespace {

bool switchDifference(Document& doc, Platform& platform) {
  ModelStore& store = doc.editStore();
  if (!store.hasSecondModel() || store.empty() || store.isVector()) return false;
  ModelSet& second = store.secondModelData();
  ModelSet& kept = store.keptSecondModel();
  if (doc.differenceShown() && !kept.empty()) {
    std::swap(second, kept);
    kept.release();
  } else {
    try {
      if (memoryShortfall(bytesOf(second.size(), sizeof(float)))) throw std::bad_alloc();
      kept.allocate(second.nx(), second.ny(), second.nz());
    } catch (const std::bad_alloc&) {
      kept.release();
      platform.message("Not enough memory to show the difference of the two models.", MessageKind::Error);
      return false;
    }
    std::copy_n(second.data(), second.size(), kept.data());
    // The model without a block not yet added, so that undo and redo give the same difference.
    const ModelSet& first = doc.valuesForEdit(store.currentModelIndex());
    const float* a = first.data();
    float* b = second.data();
    for (std::size_t n = 0; n < second.size(); ++n) b[n] = a[n] - b[n];
  }
  doc.setDifferenceShown(!doc.differenceShown());
  store.recomputeRange(Which::Second);
  return true;
}

}  // namespace

bool toggleDifference(Document& doc, Platform& platform) {
  if (!switchDifference(doc, platform)) return false;
  UndoStep step;
  step.kind = UndoStep::Kind::Difference;
  step.range = doc.store().range();
  step.resetScales = true;
  try {
    doc.history().push(std::move(step));
  } catch (const std::bad_alloc&) {
    doc.history().clear();
  }
  return true;
}

// --- one cell ----------------------------------------------------------------------

CellProperties cellProperties(const Document& doc, int i, int j, int k) {
  CellProperties p;
  const RectMesh& m = doc.mesh();
  if (i < 0 || j < 0 || k < 0 || i >= m.nx || j >= m.ny || k >= m.nz) return p;
  p.x0 = m.xNodes[i], p.x1 = m.xNodes[i + 1];
  p.y0 = m.yNodes[j], p.y1 = m.yNodes[j + 1];
  p.z0 = m.zNodes[k], p.z1 = m.zNodes[k + 1];
  p.value = doc.currentModel()(i, j, k);
  if (doc.store().hasSecondModel()) p.secondValue = doc.store().secondModel()(i, j, k);
  return p;
}

bool setCellValue(Document& doc, int i, int j, int k, float value) {
  const RectMesh& mesh = doc.mesh();
  if (!doc.modelLoaded() || doc.isVectorModel() || i < 0 || j < 0 || k < 0 || i >= mesh.nx || j >= mesh.ny ||
      k >= mesh.nz)
    return false;
  const float stored = doc.currentModel()(i, j, k);
  if (stored == value || (std::isnan(stored) && std::isnan(value))) return false;
  ModelStore& store = doc.editStore();
  const int m = store.currentModelIndex();
  ModelSet& values = doc.valuesForEdit(m);
  const CellBox box{i, i + 1, j, j + 1, k, k + 1};
  UndoRecorder undo(doc, m);
  undo.before(values, box);
  values(i, j, k) = value;
  if (BlockEditor* editor = doc.blockEditor(); editor && editor->modelIndex() == m)
    editor->committedChanged(box);
  else
    doc.noteValuesChanged(box);
  doc.markModified();
  store.recomputeRange(Which::First);
  undo.finish();
  return true;
}

// --- undo and redo -------------------------------------------------------------------

namespace {

UndoOutcome apply(Document& doc, Platform& platform, UndoStep& step, bool undo) {
  if (step.kind == UndoStep::Kind::Difference) {
    if (!switchDifference(doc, platform)) {
      doc.history().clear();
      return {};
    }
    return {true, true};
  }
  ModelStore& store = doc.editStore();
  if (step.model < 0 || step.model >= store.modelCount()) {
    doc.history().clear();
    return {};
  }
  ModelSet& values = doc.valuesForEdit(step.model);
  if (undo)
    for (auto b = step.boxes.rbegin(); b != step.boxes.rend(); ++b) swapValues(values, *b);
  else
    for (ValueSnapshot& b : step.boxes) swapValues(values, b);
  BlockEditor* editor = doc.blockEditor();
  if (step.elements) {
    std::swap(doc.editElements(), *step.elements);
    if (editor) editor->elementsChanged();
  }
  if (step.model == store.currentModelIndex()) {
    const ValueRange r = store.range();
    store.setRange(step.range.min, step.range.max);
    step.range = r;
  }
  const CellBox changed = step.changedBox();
  if (editor && editor->modelIndex() == step.model)
    editor->committedChanged(changed);
  else if (step.model == store.currentModelIndex())
    doc.noteValuesChanged(changed);
  doc.markModified();
  return {true, step.resetScales};
}

}  // namespace

UndoOutcome undoChange(Document& doc, Platform& platform) {
  UndoStep* step = doc.history().undoStep();
  return step ? apply(doc, platform, *step, true) : UndoOutcome{};
}

UndoOutcome redoChange(Document& doc, Platform& platform) {
  UndoStep* step = doc.history().redoStep();
  return step ? apply(doc, platform, *step, false) : UndoOutcome{};
}

}  // namespace litho
