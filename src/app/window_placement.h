#pragma once
#include "core/view/view_parameters.h"

class QWidget;

namespace litho {

// A top-level window's frame (title bar and borders included) in screen coordinates.
WindowRect frameRectOf(const QWidget& window);
// Gives the window's frame the rectangle, fitted to the available area of the
// screen the rectangle is on (or the window's own screen); nothing for a
// rectangle without area.
void placeWindow(QWidget& window, const WindowRect& frame);

}  // namespace litho
