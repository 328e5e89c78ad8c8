// The inputs and every computed quantity of a run, or its design check, as
// one JSON object. A number that is not finite is null.
#pragma once

#include <string>

#include "design_run.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::cli {

// Also the efficiency class and the material cost under `options`.
std::string CalculationJson(const design::DesignInput& input, const calc::CalculationState& state,
                            const DesignToolOptions& options);

// The design check of a run as one JSON object: every rule (name, target,
// limit, value, outcome), whether any failed, the validity warnings, the
// efficiency class and the material cost under `options`.
std::string CheckJson(const design::DesignInput& input, const calc::CalculationState& state,
                      const DesignToolOptions& options);

}  // namespace velmora::cli
