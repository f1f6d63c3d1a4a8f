#include <iostream>

#include "batch/batch.h"
#include "batch/render_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "render") return litho::runRenderCommand(argc, argv, args, std::cout, std::cerr);
  return litho::runBatch(args, std::cout, std::cerr);
}
