#include "velmora/studies/design_check.h"

#include <algorithm>
#include <limits>

namespace velmora::studies {

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
  std::string_view computed_name;
  Bound bound;
  double (*limit)(double target);
  bool rests_on_magnetizing;  // efficiency and power factor rest on the steel curve
  bool rests_on_starting;     // starting current and torque on the starting leakage
};

constexpr Rule kRules[DesignCheck::kTargetRuleCount] = {
    {"EFF", "效率", field::EFF, &CalculationState::EFF, "EFF", Bound::AtLeast, EfficiencyLimit,
     true, false},
    {"PF", "功率因数", field::PF, &CalculationState::PF, "PF", Bound::AtLeast, PowerFactorLimit,
     true, false},
    {"IST", "起动电流倍数", field::IST, &CalculationState::Ist, "Ist", Bound::AtMost,
     StartingCurrentLimit, false, true},
    {"TST", "起动转矩倍数", field::TST, &CalculationState::TST1, "TST1", Bound::AtLeast,
     StartingTorqueLimit, false, true},
    {"TM", "最大转矩倍数", field::TM, &CalculationState::TMAX1, "TMAX1", Bound::AtLeast,
     BreakdownTorqueLimit, false, false},
    {"SF", "槽满率", field::SF0, &CalculationState::SF, "SF", Bound::AtMost, SlotFillLimit, false,
     false},
};

// A value that cannot be taken at face value is never a pass.
void Distrust(const Rule& rule, const Validity& validity, CheckLine& line) {
  bool untrusted = validity.ImplausibleResult(rule.computed_name) ||
                   (rule.rests_on_magnetizing && validity.AnyAboveCurve()) ||
                   (rule.rests_on_starting && validity.ImplausibleStarting()) ||
                   validity.AnyUnbuildable();
  if (untrusted && line.outcome != CheckLine::Outcome::NotChecked)
    line.outcome = CheckLine::Outcome::Untrusted;
}

// A rule on the validity record: passes when no note of the kind counts.
CheckLine CountRule(std::string_view name, std::string_view caption, int count) {
  CheckLine line;
  line.name = name;
  line.caption = caption;
  line.bound = Bound::AtMost;
  line.value = count;
  line.outcome = count == 0 ? CheckLine::Outcome::Pass : CheckLine::Outcome::Fail;
  return line;
}

bool EfficiencyTrusted(const Validity& validity) {
  return !validity.AnyAboveCurve() && !validity.ImplausibleResult("EFF") &&
         !validity.AnyUnbuildable();
}

// The efficiency class reached against the one required.
CheckLine ClassRule(const ClassResult& result, const Validity& validity) {
  CheckLine line;
  line.name = "IE";
  line.caption = "能效等级";
  line.bound = Bound::AtLeast;
  line.value = result.percent;
  if (!result.limits.classified()) return line;
  line.target = line.limit = result.limits.Of(result.required);
  line.outcome = result.Meets() ? CheckLine::Outcome::Pass : CheckLine::Outcome::Fail;
  if (!EfficiencyTrusted(validity)) line.outcome = CheckLine::Outcome::Untrusted;
  return line;
}

// The winding's average rise against the limit of the insulation class. A
// network that cannot be built or does not settle fails (its fault says
// why); a rise built on rated-load results that cannot be trusted is not a pass.
CheckLine RiseRule(const ThermalResult& thermal, const CalculationState& state,
                   const Validity& validity, const CheckOptions& options) {
  CheckLine line;
  line.name = "TRISE";
  line.caption = "温升";
  line.bound = Bound::AtMost;
  line.value = thermal.ok() ? thermal.winding_rise : std::numeric_limits<double>::quiet_NaN();
  if (!options.insulation) return line;
  line.target = line.limit =
      RiseLimit(*options.insulation, state.in.Pn.value, options.thermal.AMBIENT);
  if (!thermal.ok()) {
    line.outcome = CheckLine::Outcome::Fail;
    return line;
  }
  line.outcome = line.value <= line.limit ? CheckLine::Outcome::Pass : CheckLine::Outcome::Fail;
  if (!validity.TrustworthyAtRatedLoad()) line.outcome = CheckLine::Outcome::Untrusted;
  return line;
}

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
    return line.outcome == CheckLine::Outcome::Fail ||
           line.outcome == CheckLine::Outcome::Untrusted;
  });
}

bool DesignCheck::Trustworthy() const {
  return std::all_of(
      lines.begin() + kTargetRuleCount, lines.begin() + kClassRule,
      [](const CheckLine& line) { return line.outcome == CheckLine::Outcome::Pass; });
}

DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state,
                        const CheckOptions& options) {
  return CheckDesign(input, state, AssessValidity(state), options);
}

DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state,
                        const Validity& validity, const CheckOptions& options) {
  DesignCheck check;
  for (int i = 0; i < DesignCheck::kTargetRuleCount; ++i) {
    check.lines[i] = Apply(kRules[i], input, state);
    Distrust(kRules[i], validity, check.lines[i]);
  }
  using Kind = ValidityNote::Kind;
  check.lines[DesignCheck::kTargetRuleCount] =
      CountRule("BH", "磁密不超曲线", validity.Count(Kind::AboveCurve));
  check.lines[DesignCheck::kTargetRuleCount + 1] = CountRule(
      "VALID", "输入结果合理",
      validity.Count(Kind::Input) + validity.Count(Kind::Result) + validity.Count(Kind::Geometry));
  check.lines[DesignCheck::kTargetRuleCount + 2] =
      CountRule("WIND", "绕组可绕制", validity.Count(Kind::Winding));
  check.efficiency_class = ClassifyEfficiency(state.EFF, state.in.Pn.value, state.in.P.value,
                                              state.in.f.value, options.required_class);
  check.lines[DesignCheck::kClassRule] = ClassRule(check.efficiency_class, validity);
  check.efficiency_trusted = EfficiencyTrusted(validity);
  if (!options.check_class)
    check.lines[DesignCheck::kClassRule].outcome = CheckLine::Outcome::NotChecked;
  check.thermal =
      ThermalOf(state, options.thermal, {options.insulation.value_or(InsulationClass::B)});
  check.lines[DesignCheck::kRiseRule] = RiseRule(check.thermal, state, validity, options);
  return check;
}

}  // namespace velmora::studies
