#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace litho {

// lithoscan3d-batch: args without the program name. Returns the exit status:
// 0 when the load succeeded, 1 when it failed, 2 for bad usage.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether the stream is standard error on a terminal (where progress lines go).
bool isTerminal(const std::ostream& err);

}  // namespace litho
