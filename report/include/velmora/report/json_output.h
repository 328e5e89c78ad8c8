// The inputs and every computed quantity of a run, or its design check, as
// one JSON object. A number that is not finite is null.
#pragma once

#include <string>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"

namespace velmora::report {

// Also the efficiency class required by `asked` and the material cost at `prices`.
std::string CalculationJson(const design::DesignInput& input, const calc::CalculationState& state,
                            const studies::CheckOptions& asked,
                            const design::MaterialPrices& prices);

// The design check of a run as one JSON object: every rule (name, target,
// limit, value, outcome), whether any failed, the validity warnings, the
// efficiency class required by `asked`, the temperature rise against the
// insulation class of `asked` and the material cost at `prices`.
std::string CheckJson(const design::DesignInput& input, const calc::CalculationState& state,
                      const studies::CheckOptions& asked, const design::MaterialPrices& prices);

}  // namespace velmora::report
