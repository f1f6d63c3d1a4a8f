#pragma once
#include <string>

#include "core/platform/platform.h"

namespace litho {

inline constexpr const char* kManualFile = "lithoscan.pdf";
// The HTML manual beside the program in the build tree, and where it is installed.
inline constexpr const char* kBuiltManual = "docs/manual.html";
inline constexpr const char* kInstalledManual = "../share/doc/lithoscan3d/manual.html";
inline constexpr const char* kManualPage = "https://lithoscan3d.org/manual";

// "Manual": the HTML manual beside the program or where it is installed, else a
// PDF manual in the program's folder, else its web page, else a message.
void openManual(Platform& platform, const std::string& programFolder);

}  // namespace litho
