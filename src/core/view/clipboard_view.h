#pragma once
// The one-line text form of the camera and cut state that travels through the
// clipboard, so that two windows on the same mesh can show the same view.
#include <optional>
#include <string>

namespace litho {

class ViewController;
struct ViewState;

inline constexpr const char* kBadClipboardMessage = "Error: Clipboard does not have valid parameter data.";

std::string clipboardViewString(const ViewState& v, int windowWidth, int windowHeight);

struct PastedView {
  // Set when the text carried a window size: the window keeps its corner and takes it.
  std::optional<std::pair<int, int>> windowSize;
};

// Applies the text to the view; empty (and nothing changed) when it is not a view string.
std::optional<PastedView> pasteViewString(const std::string& text, ViewController& view);

}  // namespace litho
