// velmora-calc sweep: the base design recomputed over a grid of varied inputs, as CSV.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// Runs `velmora-calc sweep` with the arguments that follow "sweep"; returns
// the exit status: 0 done, 1 the output could not be written, 2 a refused
// command or an unreadable base design, 130 interrupted.
int SweepCommand(std::vector<std::string> args);

}  // namespace velmora::cli
