#include "velmora/calc/design_check.h"

#include <algorithm>

namespace velmora::calc {

namespace {

namespace field = design::field;
using Bound = CheckLine::Bound;

// Efficiency may fall short of its target by 15 % of the losses, 1 − EFF.
double EfficiencyLimit(double EFF) { return EFF - 0.15 * (1 - EFF); }

// Power factor may fall short by a sixth of 1 − PF, but by no less than 0.02
// and no more than 0.07.
double PowerFactorLimit(double PF) {
  double allowance = std::clamp((1 - PF) / 6, 0.02, 0.07);
  return PF - allowance;
}

double StartingCurrentLimit(double IST) { return 1.2 * IST; }
double StartingTorqueLimit(double TST) { return 0.85 * TST; }
double BreakdownTorqueLimit(double TM) { return 0.9 * TM; }
double SlotFillLimit(double SF0) { return SF0; }

struct Rule {
  std::string_view name;
  std::string_view caption;
  int target;  // input field of the target
  Quantity CalculationState::*computed;
  Bound bound;
  double (*limit)(double target);
};

constexpr Rule kRules[DesignCheck::kRuleCount] = {
    {"EFF", "效率", field::EFF, &CalculationState::EFF, Bound::AtLeast, EfficiencyLimit},
    {"PF", "功率因数", field::PF, &CalculationState::PF, Bound::AtLeast, PowerFactorLimit},
    {"IST", "起动电流倍数", field::IST, &CalculationState::Ist, Bound::AtMost,
     StartingCurrentLimit},
    {"TST", "起动转矩倍数", field::TST, &CalculationState::TST1, Bound::AtLeast,
     StartingTorqueLimit},
    {"TM", "最大转矩倍数", field::TM, &CalculationState::TMAX1, Bound::AtLeast,
     BreakdownTorqueLimit},
    {"SF", "槽满率", field::SF0, &CalculationState::SF, Bound::AtMost, SlotFillLimit},
};

CheckLine Apply(const Rule& rule, const design::DesignInput& input, const CalculationState& state) {
  CheckLine line;
  line.name = rule.name;
  line.caption = rule.caption;
  line.bound = rule.bound;
  line.value = (state.*rule.computed).value;
  const design::FieldValue& target = input[rule.target];
  if (!target.IsNumber()) return line;
  line.target = target.number;
  line.limit = rule.limit(line.target);
  bool within = rule.bound == Bound::AtLeast ? line.value >= line.limit : line.value <= line.limit;
  line.outcome = within ? CheckLine::Outcome::Pass : CheckLine::Outcome::Fail;
  return line;
}

}  // namespace

bool DesignCheck::AnyFailed() const {
  return std::any_of(lines.begin(), lines.end(), [](const CheckLine& line) {
    return line.outcome == CheckLine::Outcome::Fail;
  });
}

DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state) {
  DesignCheck check;
  for (int i = 0; i < DesignCheck::kRuleCount; ++i) check.lines[i] = Apply(kRules[i], input, state);
  return check;
}

}  // namespace velmora::calc
