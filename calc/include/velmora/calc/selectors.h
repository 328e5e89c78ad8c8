// The selector inputs and the values the calculation accepts: the run
// refuses any other value at once, and a sweep refuses to give one.
#pragma once

#include <span>

#include "velmora/calc/calculation_state.h"

namespace velmora::calc {

struct SelectorRule {
  int field;
  InputNumber Inputs::*input;
  bool (*accepts)(double value);
  const char* allowed;  // what the value should be, for messages
};

// Winding type CZN, rotor slot shape ZC and pole number P, in this order.
std::span<const SelectorRule> SelectorRules();

// A single-layer winding (CZN = 1) takes 2, 4, 6 or 8 poles only.
bool IsSingleLayerPoleNumber(double P);
inline constexpr const char* kSingleLayerPoles = "在单层绕组（CZN=1）时应为2、4、6或8";

}  // namespace velmora::calc
