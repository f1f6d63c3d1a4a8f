#pragma once
// The sequence of "Magnetics ..." and "Gravity ...": checks, the dialog, the
// program's run and the return of its data file as the only data set, with
// the data viewer started on it.
#include <functional>
#include <string>

#include "core/forward/forward_setup.h"
#include "core/load/document.h"
#include "core/platform/platform.h"

namespace litho::forward {

struct ForwardEnvironment {
  // Shows the dialog with the settings (its OK runs checkForwardSettings); false when cancelled.
  std::function<bool(Survey, ForwardSettings&)> runDialog;
  // The executable of a program, or empty (findProgram beside the application, then on PATH).
  std::function<std::string(const std::string&)> locate;
  std::function<void()> beep;
  // Called once the run is over, whatever its end (for tests and the window's status).
  std::function<void()> done;
};

inline const char* kViewerName = "quendelplot";

// Runs the command. The program runs through platform.startProgramWatched;
// the rest of the sequence follows when it ends.
void runForwardCommand(Document& doc, Survey survey, ForwardMemory& memory, Platform& platform,
                       const ForwardEnvironment& env);

}  // namespace litho::forward
