// The inputs and every computed quantity of a run as one JSON object.
#pragma once

#include <string>

#include "design_run.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::cli {

// Also the efficiency class and the material cost under `options`.
std::string CalculationJson(const design::DesignInput& input, const calc::CalculationState& state,
                            const DesignToolOptions& options);

}  // namespace velmora::cli
