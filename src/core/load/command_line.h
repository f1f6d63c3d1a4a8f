#pragma once
#include <string>
#include <vector>

namespace litho {

// What the command line asks of the start-up. The switches may stand anywhere
// among the file names; an argument is a switch only when it is exactly one.
struct CommandLine {
  bool empty = true;               // no arguments (blank ones do not count)
  bool noBanner = false;           // /NOBANNER
  std::string viewFile;            // the last file name when it ends with ".ls3d"
  int fields = 0;                  // file names given, counting at most two
  std::string meshText;            // the first file name
  std::string modelText;           // the second: a model path, "a++b" for a second model, or "NOMODEL"
  std::vector<std::string> extra;  // file names after the second, which nothing reads
  bool log = false;
  bool mod2log = false;
  bool tq5rdata = false;
  bool trnsmt = false;
  bool openglhw = false;
  bool octree = false;
};

// Parses the arguments after the program name. A file name wrapped in one pair
// of double quotes (as some launchers pass them) loses that pair; quotes inside
// a name are part of it.
CommandLine parseArguments(const std::vector<std::string>& args);

}  // namespace litho
