#include "core/edit/block_editor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "core/edit/model_edits.h"
#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "core/load/memory.h"
#include "core/platform/platform.h"
#include "core/scene/colour_scale.h"
#include "core/view/view_state.h"

namespace litho {

namespace {

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t n = 0; n < prefix.size(); ++n)
    if (std::tolower(static_cast<unsigned char>(text[n])) != std::tolower(static_cast<unsigned char>(prefix[n])))
      return false;
  return true;
}

void copyBox(const ModelSet& from, ModelSet& to, const CellBox& b) {
  if (b.empty()) return;
  for (int i = b.i0; i < b.i1; ++i)
    for (int j = b.j0; j < b.j1; ++j)
      std::copy(from.column(i, j) + b.k0, from.column(i, j) + b.k1, to.column(i, j) + b.k0);
}

}  // namespace

// One list operation is one undo step, also when it runs another (selecting adds first).
class BlockEditorStep {
 public:
  BlockEditorStep(Document& doc, int model, UndoRecorder*& slot) : slot_(slot) {
    if (slot_) return;
    own_.emplace(doc, model);
    slot_ = &*own_;
  }
  ~BlockEditorStep() {
    if (!own_) return;
    slot_ = nullptr;
    own_->finish();
  }
  BlockEditorStep(const BlockEditorStep&) = delete;
  BlockEditorStep& operator=(const BlockEditorStep&) = delete;

 private:
  UndoRecorder*& slot_;
  std::optional<UndoRecorder> own_;
};

BlockEditor::BlockEditor(Document& doc) : doc_(doc) {
  ModelStore& store = doc.editStore();
  model_ = store.currentModelIndex();
  const ModelSet& values = store.model(model_);
  committed_.allocate(values.nx(), values.ny(), values.nz());
  std::copy_n(values.data(), values.size(), committed_.data());
  const float background = store.bottomMean();
  block_.value = doc.logModel() ? std::ceil(background + 2.0f) : 0.1f;
  for (const Element& e : doc.elements()) names_.push_back(e.name);
  chooseDefaultName();
  defaultPositionAndSize();
  block_.cuboid = true;
  doc.setBlockEditor(this);
  recompute();
}

BlockEditor::~BlockEditor() {
  onClosed = nullptr;
  close();
}

ModelSet& BlockEditor::working() { return doc_.editStore().modelData(model_); }

std::array<int, 3> BlockEditor::sliderPositions() const {
  if (sizeMode_) return {block_.xSize - 1, block_.ySize - 1, block_.zSize - 1};
  return {block_.xIndex, doc_.mesh().ny - 1 - block_.yIndex, block_.zIndex};
}

std::array<int, 3> BlockEditor::sliderMaxima() const {
  const RectMesh& m = doc_.mesh();
  return {m.nx - 1, m.ny - 1, m.nz - 1};
}

std::string BlockEditor::statusText() const {
  char buf[256];
  const auto& e = extents_;
  std::snprintf(buf, sizeof buf, " X(%g, %g)   Y(%g, %g)   Z(%g, %g)", e[0], e[1], e[2], e[3], e[4], e[5]);
  return buf;
}

void BlockEditor::moveSlider(int axis, int position) {
  const auto max = sliderMaxima();
  if (axis < 0 || axis > 2) return;
  position = std::clamp(position, 0, std::max(max[static_cast<std::size_t>(axis)], 0));
  if (sizeMode_) {
    (axis == 0 ? block_.xSize : axis == 1 ? block_.ySize : block_.zSize) = position + 1;
  } else if (axis == 0) {
    block_.xIndex = position;
  } else if (axis == 1) {
    block_.yIndex = doc_.mesh().ny - 1 - position;
  } else {
    block_.zIndex = position;
  }
  recompute();
}

void BlockEditor::setSizeMode(bool on) {
  sizeMode_ = on;
  recompute();
}

void BlockEditor::setSlope(int which, int position) {
  position = std::clamp(position, -20, 20);
  if (which == 0) block_.slopeX = position;
  if (which == 1) block_.slopeY = position;
  if (which == 2) block_.slopeXY = position;
  recompute();
}

void BlockEditor::resetSlopes() {
  block_.slopeX = block_.slopeY = block_.slopeXY = 0;
  recompute();
}

void BlockEditor::setCuboid(bool cuboid) {
  block_.cuboid = cuboid;
  recompute();
}

void BlockEditor::setCoordinates(const std::array<double, 6>& c) {
  const RectMesh& m = doc_.mesh();
  const auto pair = [](const std::vector<double>& nodes, double a, double b) {
    const int p = nearestNode(nodes, a), q = nearestNode(nodes, b);
    return std::pair<int, int>(std::min(p, q), std::max(p, q));
  };
  const auto [x0, x1] = pair(m.xNodes, c[0], c[1]);
  const auto [y0, y1] = pair(m.yNodes, c[2], c[3]);
  const auto [z0, z1] = pair(m.zNodes, c[4], c[5]);
  block_.xIndex = x0;
  block_.xSize = x1 - x0;
  block_.yIndex = y1 - 1;
  block_.ySize = y1 - y0;
  block_.zIndex = z0;
  block_.zSize = z1 - z0;
  recompute();
}

void BlockEditor::recompute() {
  if (!open_) return;
  const BlockShape shape = blockShape(doc_.mesh(), doc_.store().topActiveIndex(), block_);
  ModelSet& w = working();
  CellBox around = dirty_;
  around.unite(shape.box);
  // The values before, so that only cells whose value really changed are redrawn:
  // a block moved by one column changes two columns, not its whole width.
  const int depth = around.k1 - around.k0;
  before_.resize(around.cellCount());
  float* saved = before_.data();
  for (int i = around.i0; i < around.i1; ++i)
    for (int j = around.j0; j < around.j1; ++j, saved += depth) std::copy_n(w.column(i, j) + around.k0, depth, saved);

  copyBox(committed_, w, dirty_);
  for (const CellRun& r : shape.runs) std::fill(w.column(r.i, r.j) + r.k0, w.column(r.i, r.j) + r.k1, block_.value);
  dirty_ = shape.box;
  extents_ = shape.extents;

  // One box per run of planes of easting with changes.
  CellRegion changed;
  CellBox run;
  saved = before_.data();
  for (int i = around.i0; i < around.i1; ++i) {
    CellBox plane;
    for (int j = around.j0; j < around.j1; ++j, saved += depth) {
      const float* now = w.column(i, j) + around.k0;
      int first = -1, last = -1;
      for (int k = 0; k < depth; ++k)
        if (std::memcmp(now + k, saved + k, sizeof(float)) != 0) {
          if (first < 0) first = k;
          last = k;
        }
      if (first >= 0) plane.unite({i, i + 1, j, j + 1, around.k0 + first, around.k0 + last + 1});
    }
    if (plane.empty()) {
      changed.add(std::exchange(run, CellBox{}));
    } else {
      run.unite(plane);
    }
  }
  changed.add(run);
  doc_.noteValuesChanged(changed);
}

void BlockEditor::commitWorking() {
  if (recorder_) recorder_->before(committed_, dirty_);
  copyBox(working(), committed_, dirty_);
  dirty_ = {};
}

int BlockEditor::findElement(const std::string& name) const {
  const auto& list = doc_.elements();
  for (std::size_t n = 0; n < list.size(); ++n)
    if (list[n].name == name) return static_cast<int>(n);
  return -1;
}

void BlockEditor::chooseDefaultName() {
  int number = static_cast<int>(doc_.elements().size()) + 1;
  const auto taken = [&](const std::string& text) {
    return std::any_of(names_.begin(), names_.end(),
                       [&](const std::string& n) { return startsWithIgnoringCase(n, text); });
  };
  std::string name = "block " + std::to_string(number);
  while (taken(name)) name = "block " + std::to_string(++number);
  block_.name = name;
}

void BlockEditor::defaultPositionAndSize() {
  const RectMesh& m = doc_.mesh();
  const Grid2<int>& top = doc_.store().topActiveIndex();
  block_.xIndex = m.nx / 2;
  block_.yIndex = m.ny / 2;
  block_.zIndex = top.empty() || m.nx == 0 || m.ny == 0 ? 0 : top(m.nx / 2, m.ny / 2);
  block_.xSize = block_.ySize = block_.zSize = 1;
  block_.slopeX = block_.slopeY = block_.slopeXY = 0;
}

bool BlockEditor::untouched() const {
  const RectMesh& m = doc_.mesh();
  const Grid2<int>& top = doc_.store().topActiveIndex();
  const int defaultZ = top.empty() || m.nx == 0 || m.ny == 0 ? 0 : top(m.nx / 2, m.ny / 2);
  return std::find(names_.begin(), names_.end(), block_.name) == names_.end() && block_.xSize == 1 &&
         block_.ySize == 1 && block_.zSize == 1 && block_.xIndex == m.nx / 2 && block_.yIndex == m.ny / 2 &&
         block_.zIndex == defaultZ;
}

void BlockEditor::add() {
  if (!open_) return;
  BlockEditorStep step(doc_, model_, recorder_);
  recompute();
  commitWorking();
  ModelStore& store = doc_.editStore();
  const ValueRange r = store.range();
  store.setRange(std::min<double>(r.min, block_.value), std::max<double>(r.max, block_.value));
  const int n = findElement(block_.name);
  auto& list = doc_.editElements();
  if (n < 0) {
    list.push_back(block_);
    names_.push_back(block_.name);
  } else {
    list[static_cast<std::size_t>(n)] = block_;
  }
  chooseDefaultName();
  defaultPositionAndSize();
  doc_.markModified();
}

void BlockEditor::eraseCurrentRegion() {
  const float value = block_.value;
  block_.value = doc_.store().bottomMean();
  recompute();
  commitWorking();
  block_.value = value;
}

void BlockEditor::select(int index) {
  if (!open_ || index < 0 || index >= static_cast<int>(names_.size())) return;
  BlockEditorStep step(doc_, model_, recorder_);
  const std::string name = names_[static_cast<std::size_t>(index)];
  if (std::find(names_.begin(), names_.end(), block_.name) != names_.end()) add();
  block_.name = name;
  const int n = findElement(name);
  if (n < 0) return;
  const Element e = doc_.elements()[static_cast<std::size_t>(n)];
  block_ = e;
  eraseCurrentRegion();
  recompute();
}

void BlockEditor::remove() {
  if (!open_) return;
  BlockEditorStep step(doc_, model_, recorder_);
  const int n = findElement(block_.name);
  if (n >= 0) {
    auto& list = doc_.editElements();
    list.erase(list.begin() + n);
    const auto entry = std::find_if(names_.begin(), names_.end(),
                                    [&](const std::string& s) { return startsWithIgnoringCase(s, block_.name); });
    if (entry != names_.end()) names_.erase(entry);
  }
  eraseCurrentRegion();
  defaultPositionAndSize();
  doc_.markModified();
}

void BlockEditor::clear() {
  if (!open_) return;
  BlockEditorStep step(doc_, model_, recorder_);
  const RectMesh& m = doc_.mesh();
  const Grid2<int>& top = doc_.store().topActiveIndex();
  const float background = doc_.store().bottomMean();
  const CellBox whole = CellBox::whole(m.nx, m.ny, m.nz);
  recorder_->before(committed_, whole);
  for (int i = 0; i < m.nx; ++i)
    for (int j = 0; j < m.ny; ++j) {
      float* col = committed_.column(i, j);
      std::fill(col + (top.empty() ? 0 : std::clamp(top(i, j), 0, m.nz)), col + m.nz, background);
    }
  dirty_ = whole;
  defaultPositionAndSize();
  recompute();
  doc_.editElements().clear();
  names_.clear();
  block_.name = "block 1";
  doc_.markModified();
  ModelStore& store = doc_.editStore();
  store.setRange(store.range().min, background);
}

void BlockEditor::ok() {
  if (!open_) return;
  if (!untouched()) add();
  close();
}

void BlockEditor::close() {
  if (!open_) return;
  open_ = false;
  doc_.noteValuesChanged(dirty_);
  dirty_ = {};
  working() = std::move(committed_);
  doc_.setBlockEditor(nullptr);
  doc_.setBlockEditorOpen(false);
  if (onClosed) onClosed();
}

void BlockEditor::committedChanged(const CellBox& box) {
  dirty_.unite(box);
  recompute();
  if (onChangedOutside) onChangedOutside();
}

void BlockEditor::elementsChanged() {
  names_.clear();
  for (const Element& e : doc_.elements()) names_.push_back(e.name);
  if (onChangedOutside) onChangedOutside();
}

std::unique_ptr<BlockEditor> openBlockEditor(Document& doc, ViewState& v, const ColourScale& firstScale,
                                             Platform& platform) {
  if (!doc.modelLoaded() || doc.isVectorModel() || doc.store().empty() || doc.blockEditorOpen()) return nullptr;
  if (!platform.askYesNo("Are you sure you want to modify the model?")) return nullptr;
  const ModelSet& values = doc.currentModel();
  const auto fail = [&](const std::string& why) {
    platform.message("Not enough memory to edit the model: " + why + ".", MessageKind::Error);
    doc.setBlockEditorOpen(false);
    return nullptr;
  };
  if (const auto why = memoryShortfall(bytesOf(values.size(), sizeof(float)))) return fail(*why);
  doc.setBlockEditorOpen(true);
  std::unique_ptr<BlockEditor> editor;
  try {
    editor = std::make_unique<BlockEditor>(doc);
  } catch (const std::bad_alloc&) {
    return fail("the memory ran out");
  }
  if (v.displayMin == firstScale.min && v.displayMax == firstScale.max) {
    const float background = doc.store().bottomMean();
    v.displayMin = background + 0.0001f;
    v.displayMax = background - 0.0001f;
    v.frame.rebuild();
  }
  v.frame.redraw();
  return editor;
}

std::optional<std::string> parseBlockCoordinates(const std::array<std::string, 6>& texts, std::array<double, 6>& out) {
  for (std::size_t n = 0; n < texts.size(); ++n) {
    const auto v = parseDoubleField(texts[n]);
    if (!v || !std::isfinite(*v)) return std::string(kEnterNumberMessage);
    out[n] = *v;
  }
  return std::nullopt;
}

}  // namespace litho
