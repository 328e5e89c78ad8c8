// velmora-calc new: a complete design from a rating, sized and refined.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// Runs `velmora-calc new` with the arguments that follow "new"; returns the
// exit status: 0 the design passes the check, 3 it does not, 1 a write
// failed, 2 a wrong command or a rating outside the tables, 130 interrupted.
int NewCommand(std::vector<std::string> args);

}  // namespace velmora::cli
