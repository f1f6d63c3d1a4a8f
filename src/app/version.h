#pragma once

namespace litho {
inline constexpr const char* kVersionText = "Version 20120627";
inline constexpr const char* kIdleStatusText = "Ready";
}  // namespace litho
