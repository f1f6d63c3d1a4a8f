#include <iostream>

#include "core/forward/forward_program.h"

int main(int argc, char** argv) {
  return litho::forward::runForwardProgram(litho::forward::Survey::Magnetics, {argv + 1, argv + argc}, std::cout, std::cerr);
}
