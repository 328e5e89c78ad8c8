// velmora-calc check: a design's computed performance against its own targets.
#pragma once

#include <string>
#include <vector>

#include "design_run.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/studies/design_check.h"

namespace velmora::cli {

// Runs `velmora-calc check` with the arguments that follow "check"; returns
// the exit status: 0 every rule passed, 3 a rule failed, 1 the calculation
// stopped with a fault, 2 a wrong command or an unreadable design.
int CheckCommand(std::vector<std::string> args);

// What `velmora-calc check` prints of a checked run: the table of rules and
// the verdict, the efficiency class, the temperature rise and the material cost.
std::string CheckText(const studies::DesignCheck& check, const calc::CalculationState& state,
                      const DesignToolOptions& options);

}  // namespace velmora::cli
