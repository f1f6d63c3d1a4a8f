#pragma once
#include <array>
#include <string>

#include "core/store/cell_box.h"
#include "core/store/sides.h"

namespace litho {

enum CutPlane { kNoPlane = 0, kWest = 1, kEast = 2, kSouth = 3, kNorth = 4, kTop = 5, kBottom = 6 };
// Side arrays (hiddenPadding, cuts) follow the order of core/store/sides.h.

struct FontSpec {
  int height = -12;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  int outPrecision = 0;
  int clipPrecision = 0;
  int quality = 0;
  int pitchAndFamily = 0x26;  // variable pitch, sans-serif
  std::string faceName;
  bool operator==(const FontSpec&) const = default;
};

// What the next paint must do: a redraw when only the camera or an overlay
// changed, a rebuild when which cells are drawn, or their colours, changed.
// Commands ask; only the paint clears.
class FrameRequests {
 public:
  void redraw() { redraw_ = true; }
  void rebuild() { rebuild_ = true; }
  // The values of these cells changed: a redraw that rebuilds only what they cover.
  void valuesChanged(const CellRegion& cells) {
    if (cells.empty()) return;
    patch_.add(cells);
    redraw_ = true;
  }
  bool redrawPending() const { return redraw_; }
  bool rebuildPending() const { return rebuild_; }
  const CellRegion& patchPending() const { return patch_; }
  bool anyPending() const { return redraw_ || rebuild_; }
  void rebuilt() {
    rebuild_ = false;
    patch_ = {};
  }
  void patched() { patch_ = {}; }
  void drawn() { redraw_ = false; }
  void clear() {
    redraw_ = rebuild_ = false;
    patch_ = {};
  }

 private:
  bool redraw_ = true;
  bool rebuild_ = true;
  CellRegion patch_;
};

// What a key-frame transition moves between: the camera, the cuts, the value
// range, the model shown and the second model's weight.
struct KeyFrame {
  float rotationX = 0;
  float rotationZ = 0;
  double zoomAngle = 0;
  double displayMin = 0;
  double displayMax = 0;
  std::array<int, 6> cuts{};
  double panX = 0;
  double panY = 0;
  int modelIndex = 0;
  float blendWeight = 0;
  bool operator==(const KeyFrame&) const = default;
};

// How movie frames are taken (animationMethod).
inline constexpr int kRecordEveryRedraw = 0;
inline constexpr int kRecordKeyFrames = 1;
inline constexpr int kRecordingTransition = -1;

// How the loaded model is looked at: camera, padding, cut planes, display flags.
struct ViewState {
  float rotationX = -65;
  float rotationZ = 0;
  float angleStep = 5;
  double zoomAngle = 30;
  int perspective = 1;
  double panX = 0;
  double panY = 0;
  double panStep = 0;
  double sceneExtent = 0;
  double cameraDistance = 0;
  std::array<double, 3> sceneCentre{};
  std::array<double, 3> axisScale{1, 1, 1};
  double aspect = 1;

  std::array<int, 6> hiddenPadding{};
  std::array<int, 3> visibleCount{};
  std::array<int, 6> cuts{};  // CutPlanes, by Side
  int selectedCutPlane = kNoPlane;

  bool showLabels = false;
  bool showColourbar = true;
  bool showMesh = false;
  bool showFloor = true;
  bool showBoundary = true;
  bool showCompass = false;
  bool readoutMode = false;

  std::array<unsigned char, 3> backgroundColour{0, 0, 0};
  bool darkBackground = true;
  std::array<bool, 5> lightSwitches{true, false, false, false, false};  // centre, west, east, north, south
  bool lightingOn = true;
  bool normalizeNormals = false;

  int labelScale = 5;
  int fontSize = 12;
  FontSpec viewFont;

  double displayMin = 0;  // the cutoff range
  double displayMax = 0;
  bool ignoreCutPlanes = false;

  bool diagonalCutOn = false;
  std::array<double, 4> diagonalLine{};
  int diagonalSide = 0;
  int mouseCutStage = 0;
  // The points of a mouse cut in progress; they become diagonalLine only when
  // the cut is placed, so an abandoned one leaves the cut in force alone.
  std::array<double, 4> mouseCutLine{};

  bool vectorsAsCones = false;
  double vectorLength = 0;
  std::array<int, 3> vectorIncrement{1, 1, 1};  // X, Y, Z
  bool exportInProgress = false;  // a vector export is drawing the frame
  bool vectorPassDeclined = false;  // the cones question was answered No: the next rebuild draws no arrows

  int animationMethod = kRecordEveryRedraw;
  KeyFrame keyFrame;

  FrameRequests frame;
};

// Extent of the visible (unpadded) box in model coordinates; z0 is the top.
struct CoreBox {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
};

}  // namespace litho
