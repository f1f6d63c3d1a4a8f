#pragma once
#include <string>

#include "core/platform/platform.h"

namespace litho {

inline constexpr const char* kManualFile = "lithoscan.pdf";
inline constexpr const char* kManualPage = "https://lithoscan3d.org/manual";

// "Manual": the manual beside the program, else its web page, else a message.
void openManual(Platform& platform, const std::string& programFolder);

}  // namespace litho
