// The electromagnetic calculation of one design: a pure function of the inputs.
#pragma once

#include <string>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::calc {

// Pass limit of each iteration, per time the iteration is entered.
constexpr long kPassLimit = 10000;

// Why a run stopped.
struct CalculationFault {
  enum class Kind {
    Selector,      // a selector input outside what the procedure defines
    TypeMismatch,  // a text input used as a number
    DivideByZero,
    Overflow,
    Invalid,       // square root or logarithm of an invalid argument, NaN
    NoConvergence  // an iteration reached its pass limit
  };
  Kind kind = Kind::Invalid;
  std::string item;     // procedure item, for example "16"
  std::string title;    // its title, for example "每相串联导体数ZF"
  std::string message;  // whole message for the user, in Chinese
};

// Runs items 1 to 118 on `input`. Fills `state` (which is reset first) and
// returns true, or returns false with `fault` describing the first fault.
// No file I/O, no global state; safe to call from several threads at once.
bool Calculate(const design::DesignInput& input, CalculationState& state, CalculationFault& fault);
// The same with the steel's field strength HTAB_factor times the curve's
// (CalculationState::HTAB_factor); at 1 the very run above.
bool Calculate(const design::DesignInput& input, CalculationState& state, CalculationFault& fault,
               double HTAB_factor);

}  // namespace velmora::calc
