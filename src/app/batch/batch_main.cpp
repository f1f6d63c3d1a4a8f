#include <iostream>

#include "app/batch/batch.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return litho::runBatch(args, std::cout, std::cerr);
}
