// The inputs and every computed quantity of a run as one JSON object.
#pragma once

#include <string>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::cli {

std::string CalculationJson(const design::DesignInput& input, const calc::CalculationState& state);

}  // namespace velmora::cli
