#pragma once
#include <array>
#include <optional>

namespace litho {

// What the enable and check rules read. Defaults are those of a program without a model.
struct CommandContext {
  // document
  bool modelLoaded = false;
  bool isVectorModel = false;
  bool logModel = false;
  int modelCount = 0;
  bool secondModelLoaded = false;
  bool tq5rMode = false;
  bool blockEditorOpen = false;
  bool differenceShown = false;

  // view
  bool showLabels = false;
  bool showColourbar = true;
  bool showMesh = false;
  bool showFloor = true;
  bool showBoundary = true;
  bool showCompass = false;
  int perspective = 1;
  int selectedCutPlane = 0;           // 0 none, 1 west ... 6 bottom
  std::array<int, 6> cutPlanes{};     // west, east, south, north, top, bottom
  std::array<int, 3> visibleCount{};  // X, Y, Z
  double zoomAngle = 30;
  int fontSize = 12;
  bool lightingOn = true;
  int mouseCutStage = 0;
  bool diagonalCutOn = false;
  bool activeScaleLinearLabels = false;  // `linearLabels` of `activeScale`
  bool colourmapReversed = false;
  bool recording = false;  // a movie file is open

  // frame
  bool toolbarShown = true;
  bool statusBarShown = true;
};

struct CommandStatus {
  bool enabled = true;
  std::optional<bool> checked;  // empty: the command has no check state
  bool operator==(const CommandStatus&) const = default;
};

// The update rule of a command; a command without one is enabled and unchecked.
CommandStatus commandStatus(int command, const CommandContext& c);

}  // namespace litho
