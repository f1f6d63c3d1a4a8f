#pragma once
// The "Data properties" dialog without its widgets: the controls' values,
// which controls are enabled, and what each control does to the document's
// data sets. Changes go into the document at once; closing without OK
// undoes nothing.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/data/data_set.h"
#include "core/platform/platform.h"
#include "core/scene/display_filters.h"  // kMinAboveMaxMessage

namespace litho {

class Document;

// Where a failed check or a failed surface build puts the focus.
enum class DataControl { Filename, PointsMethod, Value, Max, Min };

struct DataDialogEnables {
  bool display = false;     // "display" and "Unload"
  bool properties = false;  // method radios, plotting value, "select", colour-scale radios
  bool range = false;       // "Max:", "Min:" and "colourbar"
  bool operator==(const DataDialogEnables&) const = default;
};

inline constexpr const char* kValuePositiveMessage = "Value should be positive.";
inline constexpr const char* kTransparencyMessage = "Transparency should be between 0 and 1.";

class DataPropertiesEditor {
 public:
  // The "Colourmap" dialog: the chosen kind and reversed flag, or empty when cancelled.
  using ColourmapChooser = std::function<std::optional<std::pair<int, bool>>(int kind, bool reversed)>;

  // Opens on the set selected when the dialog last closed, if it is still there.
  DataPropertiesEditor(Document& doc, Platform& platform);

  // The controls as the dialog shows them.
  std::string filename;
  bool display = false;
  int method = kPlotPoints;
  std::string value;
  bool solid = false;
  std::string max;
  std::string min;
  bool colourbar = false;

  int selection() const { return selection_; }
  std::vector<std::string> listNames() const;
  // "transparency level", "width (pixels)", "size (pixels)", "radius"; "_" while not displayed.
  std::string valueLabel() const;
  DataDialogEnables enables() const;
  // The control that should take the focus after the last action, once.
  std::optional<DataControl> takeFocus();

  // Typing in the file name: the current settings go into the selected set, which is then deselected.
  void editFilename(const std::string& text);
  // "Browse": checks and stores, then the open-file dialog "Data file".
  void browse();
  // "Load": checks and stores, then reads the file named into a new set, which becomes the selection.
  bool load();
  // An entry of the list: checks and stores first; a failed check keeps the old selection.
  bool choose(int index);
  void setDisplay(bool on);
  // "Unload": the next set (the previous one after the last) becomes the selection.
  void unload();
  // A method radio; "surface" builds the surface first and falls back to "points".
  void chooseMethod(int m);
  // The "solid" and "colourmap" radios.
  void chooseSolid(bool on);
  // "select": the colour chooser, or the "Colourmap" dialog through chooser.
  void selectColour(const ColourmapChooser& chooser);
  // "OK": checks and stores; false keeps the dialog open.
  bool accept();
  // After the dialog closed, by OK or otherwise: remembers the selection,
  // sets the colourbar's data set and redraws the views.
  void finish();

  // The list position the next dialog opens on (-1: none).
  static int rememberedPosition();

 private:
  DataSet* selected();
  bool storeCurrent(bool report);
  bool fail(const char* text, DataControl focus, bool report);
  void show(int index);
  void deselect();
  void applyEnables();

  Document& doc_;
  Platform& platform_;
  int selection_ = -1;
  std::optional<DataControl> focus_;
};

}  // namespace litho
