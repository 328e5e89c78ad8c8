// velmora-calc check: a design's computed performance against its own targets.
#pragma once

#include <string>
#include <vector>

namespace velmora::cli {

// Runs `velmora-calc check` with the arguments that follow "check"; returns
// the exit status: 0 every rule passed, 3 a rule failed, 1 the calculation
// stopped with a fault, 2 a wrong command or an unreadable design.
int CheckCommand(std::vector<std::string> args);

}  // namespace velmora::cli
