#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace litho {

// lithoscan3d-batch render MESH MODEL -o FILE.png [--size WxH] [--cutoff LO HI] [--topo FILE] [--stats]
//                          [--data FILE[:METHOD[:VALUE]]] [--log] [--yes]
// args include "render". Returns 0 on success, 1 on failure, 2 for bad usage.
int runRenderCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err);

}  // namespace litho
