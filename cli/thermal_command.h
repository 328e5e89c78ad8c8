// velmora-calc thermal: the temperature rise of a design at rated load.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// Runs `velmora-calc thermal` with the arguments that follow "thermal";
// returns the exit status: 0 the winding's rise within the class limit, 3
// above it, 1 the calculation or the thermal network stopped with a fault,
// 2 a wrong command or an unreadable design or thermal data file.
int ThermalCommand(std::vector<std::string> args);

}  // namespace velmora::cli
