#pragma once

namespace litho {
inline constexpr const char* kVersionText = "Version " LITHO_VERSION;
inline constexpr const char* kIdleStatusText = "Ready";
}  // namespace litho
