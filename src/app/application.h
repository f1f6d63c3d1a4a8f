#pragma once
#include <string>

namespace litho {

// The application: the document's start-up, then the main window.
class Application {
 public:
  // Runs the program on the raw command line; returns the exit status.
  int run(const std::string& rawCommandLine);
};

// The default surface format: compatibility profile, double buffer, RGBA, depth.
void setDefaultSurfaceFormat();

}  // namespace litho
