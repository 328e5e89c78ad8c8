// velmora-calc curves: the load curve and the torque–speed curve of one
// design, as CSV and JSON, with a short summary on the terminal.
#pragma once

#include <string>
#include <vector>

#include "velmora/calc/characteristics.h"

namespace velmora::cli {

// Runs `velmora-calc curves` with the arguments that follow "curves"; returns
// the exit status: 0 done, 1 the rated run faulted or an output could not be
// written, 2 a refused command or an unreadable design.
int CurvesCommand(std::vector<std::string> args);

}  // namespace velmora::cli
