#pragma once
// The view parameter file (".ls3d"): the files loaded, optionally every mesh
// and model value, the data sets and the whole view, in little-endian
// fixed-width fields.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace litho {

class Document;
class ViewController;
class Platform;
class DocumentUi;

struct WindowRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const WindowRect&) const = default;
};

// A restored main-window rectangle (frame included) fitted to the screen's
// available area: no larger than that area and moved onto it, so that the
// title bar can be reached. Empty when the saved rectangle has no area; kept
// as saved when the available area has none.
std::optional<WindowRect> fitWindowToScreen(const WindowRect& saved, const WindowRect& available);

inline constexpr const char* kFullDataQuestion =
    "Do you want all of the mesh and model values saved?\nThis will create a lot larger file.";
inline constexpr const char* kPastEndMessage = "Attempted to access an unnamed file past its end.";

// The file's bytes; fullData writes every mesh and model value.
std::string encodeViewParameters(const Document& doc, const ViewController& view, bool fullData,
                                 const WindowRect& window, DocumentUi* progress = nullptr);

// "Save parameters ...": the question, then the file (replaced whole or not at all).
bool saveViewParameters(const std::string& path, const Document& doc, const ViewController& view,
                        const WindowRect& window, Platform& platform, DocumentUi& ui);

struct ViewFileLoad {
  bool ok = false;                    // every field was read
  std::optional<WindowRect> window;  // where the main window goes
};

// "Load parameters ..." and opening a ".ls3d" file: reads the file into the
// document and the view. The document changes only once its new data are
// complete: a cancelled Load Model dialog or a failed load leaves it as it was.
ViewFileLoad loadViewParameters(const std::string& path, Document& doc, ViewController& view, Platform& platform,
                                DocumentUi& ui);
// The same from the file's bytes; path names the document after a full-data load.
ViewFileLoad loadViewParameterBytes(const std::string& bytes, const std::string& path, Document& doc,
                                    ViewController& view, Platform& platform, DocumentUi& ui);

}  // namespace litho
