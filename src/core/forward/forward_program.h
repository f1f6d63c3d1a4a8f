#pragma once
// The forward-modelling programs: PROGRAM MESH LOCATIONS MODEL [TOPOGRAPHY].
// They read the files, compute the response at every location and write the
// data file into the current folder (whole or not at all); progress goes to
// out, every problem to err with a non-zero exit status.
#include <ostream>
#include <string>
#include <vector>

#include "core/forward/forward_model.h"

namespace litho::forward {

// "oskrine.grv" or "trelvane.mag".
std::string dataFileName(Survey survey);
std::string programName(Survey survey);

// args without the program name; threads 0: every core.
int runForwardProgram(Survey survey, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      int threads = 0);

}  // namespace litho::forward
