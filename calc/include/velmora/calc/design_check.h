// The design check: computed performance against the design's own targets,
// with the tolerances allowed on guaranteed values of induction motors up to
// 150 kW.
#pragma once

#include <array>
#include <string_view>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::calc {

// One rule of the check.
struct CheckLine {
  enum class Bound { AtLeast, AtMost };  // computed >= limit, or computed <= limit
  enum class Outcome { Pass, Fail, NotChecked };

  std::string_view name;     // short name, for a sweep's check column ("EFF")
  std::string_view caption;  // caption for display (UTF-8)
  Bound bound = Bound::AtLeast;
  Outcome outcome = Outcome::NotChecked;
  double target = 0;  // the design's input
  double limit = 0;   // the allowed limit derived from the target
  double value = 0;   // the computed quantity
};

// The six rules, in the order: efficiency, power factor, starting-current
// ratio, starting-torque ratio, breakdown-torque ratio, slot fill.
struct DesignCheck {
  static constexpr int kRuleCount = 6;
  std::array<CheckLine, kRuleCount> lines;

  bool AnyFailed() const;
};

// Compares the results of a finished run (`state`) with the targets of
// `input` (inputs EFF, PF, IST, TST, TM, SF0). A target that is empty or text
// is not a target: its rule is NotChecked and never fails. No allocation.
DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state);

}  // namespace velmora::calc
