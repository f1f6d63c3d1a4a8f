#pragma once
#include <optional>

namespace litho {

// Whether the space bar is down at this moment, asked of the window system;
// empty where it cannot be asked (then the key events are all there is).
std::optional<bool> spaceBarDownNow();

}  // namespace litho
