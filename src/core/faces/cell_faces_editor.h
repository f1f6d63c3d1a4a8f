#pragma once
// The "Cell Faces" dialog without its widgets: the controls' values, which
// are enabled, and what each control does to the view's overlay. "Load", a
// change of the file name and a Colourmap choice act on the overlay at once;
// everything else is stored by OK.
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/faces/cell_faces.h"
#include "core/platform/platform.h"

namespace litho {

inline constexpr const char* kFacesMinAboveMaxMessage = "min should be less than max.";
inline constexpr const char* kFacesLineWidthMessage = "Line width should be greater than 1.";

// The values OK stores, as typed.
struct CellFacesFields {
  std::string max = "0", min = "0";
  std::string cutoffMax = "0", cutoffMin = "0";
  std::string lineWidth = "3";
  int method = kFacesLines;
};

enum class FacesControl { Max, Min, CutoffMax, CutoffMin, LineWidth };

struct FacesCheckFailure {
  std::string text;
  FacesControl focus;
};

// OK's checks: every enabled number must be a number; Max not below Min
// (equal is accepted); with lines, a width of at least 1.
std::optional<FacesCheckFailure> checkCellFacesFields(const CellFacesFields& fields);

struct CellFacesEnables {
  bool methods = false;    // the three radios, "Max:", "Min:" and "reset": a file is loaded
  bool colourbar = false;  // "colourbar" and "colourmap": loaded, and a method other than none
  bool lineWidth = false;  // lines
  bool cutoff = false;     // surface
  bool operator==(const CellFacesEnables&) const = default;
};

class CellFacesEditor {
 public:
  // The "Colourmap" dialog: the chosen kind and reversed flag, or empty when cancelled.
  using ColourmapChooser = std::function<std::optional<std::pair<int, bool>>(int kind, bool reversed)>;

  // Opens on the overlay's values when it is loaded, else on zeros, width 3,
  // "lines" and the colourbar off. startFolder is where "Browse" opens.
  CellFacesEditor(CellFacesOverlay& overlay, Platform& platform, std::string startFolder = {});

  std::string filename;
  CellFacesFields fields;
  bool colourbar = false;

  CellFacesEnables enables() const;
  std::optional<FacesControl> takeFocus();
  // Whether the overlay's drawing may have changed since the dialog opened.
  bool overlayChanged() const { return changed_; }

  // Typing in the file name unloads the overlay.
  void editFilename(const std::string& text);
  // The open-file dialog "Load cell faces file".
  void browse();
  bool load();
  void chooseMethod(int method);
  void reset();
  void setColourbar(bool on);
  void chooseColourmap(const ColourmapChooser& chooser);
  // OK: checks and stores; false keeps the dialog open.
  bool accept();

 private:
  void applyEnables();

  CellFacesOverlay& o_;
  Platform& platform_;
  std::string startFolder_;
  std::optional<FacesControl> focus_;
  bool changed_ = false;
};

}  // namespace litho
