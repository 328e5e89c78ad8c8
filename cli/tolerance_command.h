// velmora-calc tolerance: the design built many times over within the
// workshop's tolerances, and the share of motors that meet their targets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "velmora/studies/tolerance.h"

namespace velmora::cli {

// Reads a --tol (studies::ParseToleranceOption).
using studies::ParseToleranceOption;

// Runs `velmora-calc tolerance` with the arguments that follow "tolerance";
// returns the exit status: 0 the analysis ran, 1 the nominal design's run
// stopped with a fault or a file could not be written, 2 a wrong command or
// an unreadable design file.
int ToleranceCommand(std::vector<std::string> args);

}  // namespace velmora::cli
