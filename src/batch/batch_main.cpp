#include <iostream>
#include <new>

#include "batch/batch.h"
#include "batch/movie_command.h"
#include "batch/render_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "render") return litho::runRenderCommand(argc, argv, args, std::cout, std::cerr);
    if (!args.empty() && args[0] == "movie") return litho::runMovieCommand(argc, argv, args, std::cout, std::cerr);
    return litho::runBatch(args, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "error: Not enough memory.\n";
    return 1;
  }
}
