// The studies speak the engine's language: a run, its state and its notes
// under the engine's own names.
#pragma once

#include "velmora/calc/calculation.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/calc/decimal_steps.h"
#include "velmora/calc/validity.h"
#include "velmora/design/error.h"

namespace velmora::studies {

using calc::AssessValidity;
using calc::Calculate;
using calc::CalculationFault;
using calc::CalculationState;
using calc::CurveLookup;
using calc::DecimalSteps;
using calc::FindQuantityEntry;
using calc::kCurveLastB;
using calc::Quantity;
using calc::QuantityEntry;
using calc::Validity;
using calc::ValidityNote;

}  // namespace velmora::studies
