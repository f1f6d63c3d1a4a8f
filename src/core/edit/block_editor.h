#pragma once
// The block editor without its window: the committed values (the model with
// every block added so far), the working values the document shows (the
// committed values with the current block painted over them), the current
// block's fields and the list of block names the window shows.
//
// The working values are the model set itself; only the box the current block
// painted differs from the committed values, so a recompute restores that box
// and paints the new one instead of copying the whole model.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/block_shape.h"
#include "core/edit/element.h"
#include "core/store/arrays.h"
#include "core/store/cell_box.h"

namespace litho {

class Document;
class Platform;
class UndoRecorder;
struct ColourScale;
struct ViewState;

class BlockEditor {
 public:
  // Starts on the document's current model and registers with the document.
  // Throws std::bad_alloc when there is no memory for the committed values.
  explicit BlockEditor(Document& doc);
  ~BlockEditor();
  BlockEditor(const BlockEditor&) = delete;
  BlockEditor& operator=(const BlockEditor&) = delete;

  // --- what the window shows ------------------------------------------------
  bool isOpen() const { return open_; }
  const Element& block() const { return block_; }
  bool sizeMode() const { return sizeMode_; }
  // X, Y, Z slider positions for the current mode; the maxima are n - 1.
  std::array<int, 3> sliderPositions() const;
  std::array<int, 3> sliderMaxima() const;
  // The combo box entries.
  const std::vector<std::string>& names() const { return names_; }
  const BlockExtents& extents() const { return extents_; }
  // " X(%g, %g)   Y(%g, %g)   Z(%g, %g)" of the extents.
  std::string statusText() const;
  const ModelSet& committedValues() const { return committed_; }
  ModelSet& committedValues() { return committed_; }
  int modelIndex() const { return model_; }

  // --- fields read at the next recompute ---------------------------------------
  void setValue(float value) { block_.value = value; }
  void setName(std::string name) { block_.name = std::move(name); }

  // --- controls: each recomputes the working values ------------------------------
  void moveSlider(int axis, int position);  // 0 X, 1 Y, 2 Z
  void setSizeMode(bool on);
  void setSlope(int which, int position);  // 0 X, 1 Y, 2 XY
  void resetSlopes();
  void setCuboid(bool cuboid);
  // "set": each pair of coordinates snapped to nodes gives the index and size.
  void setCoordinates(const std::array<double, 6>& c);
  void recompute();

  // --- list operations ---------------------------------------------------------
  void add();
  // Selects combo entry index.
  void select(int index);
  void remove();
  void clear();
  // "OK": adds the block unless untouched, then closes.
  void ok();
  // The model becomes the committed values; the block not added is lost.
  void close();

  // --- for the document ----------------------------------------------------------
  // The committed values in box changed (undo, a cell edit): the working
  // values follow and the block is painted over them again.
  void committedChanged(const CellBox& box);
  // The element list was replaced (undo): the names follow it.
  void elementsChanged();

  // The window closes when the editor does, and refreshes after changes made from outside.
  std::function<void()> onClosed;
  std::function<void()> onChangedOutside;

 private:
  void commitWorking();
  void chooseDefaultName();
  void defaultPositionAndSize();
  void eraseCurrentRegion();
  bool untouched() const;
  int findElement(const std::string& name) const;
  ModelSet& working();

  Document& doc_;
  int model_ = 0;
  bool open_ = true;
  ModelSet committed_;
  CellBox dirty_;  // working differs from committed only here
  Element block_;
  bool sizeMode_ = false;
  std::vector<std::string> names_;
  BlockExtents extents_{};
  UndoRecorder* recorder_ = nullptr;  // of the list operation in progress
  std::vector<float> before_;         // scratch of a recompute
};

// Starts the "Add blocks ..." command: asks "Are you sure you want to modify
// the model?", sets the editing flag, sets the inverse cutoff around the
// background when no cutoff is in use, and makes the editor with its working
// values recomputed. Null when the answer was No or memory ran out (told).
std::unique_ptr<BlockEditor> openBlockEditor(Document& doc, ViewState& v, const ColourScale& firstScale,
                                             Platform& platform);

// The six typed coordinates of "set": a message for a field that is not a number.
std::optional<std::string> parseBlockCoordinates(const std::array<std::string, 6>& texts, std::array<double, 6>& out);

}  // namespace litho
