#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace litho {

// The raw command line: the text after the program name, e.g.
//   "mesh.msh" "model.den++second.den" /log
struct CommandLine {
  std::string raw;
  bool empty = true;
  bool noBanner = false;
  bool viewFile = false;  // ends with ".ls3d" (optionally followed by a quote)
  int fields = 0;         // quoted fields converted: 0, 1 or 2
  std::string meshText;
  std::string modelText;
  bool log = false;
  bool mod2log = false;
  bool tq5rdata = false;
  bool trnsmt = false;
  bool openglhw = false;
  bool octree = false;
};

// A switch counts only outside double-quoted text and as a whole word, so
// paths such as "/data/logs/m.msh" never switch anything on.
bool hasSwitch(std::string_view raw, std::string_view sw);

CommandLine parseCommandLine(const std::string& raw);

// Builds the raw command line from argv (without the program name): the known
// switches stay as they are, every other argument is put in double quotes.
std::string rawCommandLine(const std::vector<std::string>& args);

}  // namespace litho
