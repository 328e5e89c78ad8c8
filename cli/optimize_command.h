// velmora-calc optimize: the lowest-cost (or most efficient) design within
// bounds on chosen inputs that meets its targets and an efficiency class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "velmora/studies/optimise.h"

namespace velmora::cli {

// Reads the --vary of optimize: "NAME=FROM:TO" (continuous, or whole
// numbers and nominal wire diameters where those belong), "NAME=FROM:TO:STEP"
// or "NAME=v1,v2,...". Throws studies::OptimiseError or studies::SweepError.
studies::OptimiseVariable ParseOptimiseVariable(std::string_view text);

// Runs `velmora-calc optimize` with the arguments that follow "optimize";
// returns the exit status: 0 a design meets every constraint, 3 none found
// (the least infeasible is shown and written), 2 a refused command or an
// unreadable base design, 1 the design file could not be written.
int OptimizeCommand(std::vector<std::string> args);

}  // namespace velmora::cli
