#pragma once
// The mouse in the view, without the window system: picking maths, the cell
// readout, Shift+click cut moves, drags, the wheel and the mouse cut.
#include <array>
#include <optional>
#include <string>

#include "core/scene/camera.h"

namespace litho {

class ViewController;

using Point3 = std::array<double, 3>;

// Window point (x right, y down, in framebuffer pixels) and depth back to
// model coordinates through the view's camera; the scene centre is added back
// in double precision.
Point3 unProject(const ViewState& v, double x, double y, double depth, int viewportWidth, int viewportHeight);
// The pixel whose depth a pick reads: column round(x), row round(h - y) from the bottom.
std::array<int, 2> pickPixel(double x, double y, int viewportHeight);

struct Readout {
  enum class Kind {
    Idle,       // background: the idle prompt
    Text,       // show text (may be empty: outside the visible box)
    Untouched,  // outside the mesh: leave the status bar alone
  };
  Kind kind = Kind::Idle;
  std::string text;
  std::array<int, 3> cell{-1, -1, -1};  // the cell read, for the cell property dialog
};

// pick: empty for the background.
Readout cellReadout(const ViewController& view, const std::optional<Point3>& pick);

// Shift + left click with a selected cut plane: moves the plane to the clicked cell. True when it moved.
bool moveCutToPoint(ViewController& view, const std::optional<Point3>& pick);

// A right drag step of (dx, dy) pixels: pan with Ctrl, otherwise rotate.
void dragStep(ViewController& view, int dx, int dy, bool ctrl);

// The wheel: zoom with the middle button held, else move the selected cut plane.
void wheelStep(ViewController& view, int delta, bool middleButton);

// The mouse cut button; returns the status text to show (the idle prompt when empty).
std::string mouseCutCommand(ViewController& view);
// A right click while the mouse cut waits for a point; returns the status text, or
// nothing when the click changes nothing (background).
std::optional<std::string> mouseCutClick(ViewController& view, const std::optional<Point3>& pick);
// Right button released.
void mouseCutRelease(ViewController& view);
bool mouseCutWaiting(const ViewController& view);

inline constexpr const char* kFirstPointPrompt = "  Right-click:  First point on the surface.";
inline constexpr const char* kSecondPointPrompt = "  Right-click:  Second point on the surface.";
inline constexpr const char* kAreaPrompt = "  Right-click:  Area to keep.";

}  // namespace litho
