#pragma once
#include <string>
#include <vector>

namespace litho {

// The application: the document's start-up, then the main window.
class Application {
 public:
  // Runs the program on the arguments after its name; returns the exit status.
  int run(const std::vector<std::string>& args);
};

// The default surface format: compatibility profile, double buffer, RGBA, depth.
void setDefaultSurfaceFormat();

}  // namespace litho
