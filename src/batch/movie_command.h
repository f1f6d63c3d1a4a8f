#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace litho {

// lithoscan3d-batch movie MESH MODEL -o FILE.avi|.mp4 [--size WxH] [--fps N] [--turn DEGREES] [--frames N]
//                         [--log] [--yes] [--memory-limit MB]
// lithoscan3d-batch movie --view FILE.ls3d -o FILE ...
// args include "movie". Returns 0 on success, 1 on failure, 2 for bad usage.
int runMovieCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace litho
