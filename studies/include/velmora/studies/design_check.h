// The design check: computed performance against the design's own targets,
// with the tolerances allowed on guaranteed values of induction motors up to
// 150 kW.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "velmora/calc/calculation_state.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/engine.h"
#include "velmora/studies/thermal.h"

namespace velmora::studies {

// One rule of the check.
struct CheckLine {
  enum class Bound { AtLeast, AtMost };  // computed >= limit, or computed <= limit
  // Untrusted: the value itself cannot be taken at face value (a flux
  // density off the steel curve behind it, or an impossible value); it
  // counts as a failure.
  enum class Outcome { Pass, Fail, NotChecked, Untrusted };

  std::string_view name;     // short name, for a sweep's check column ("EFF")
  std::string_view caption;  // caption for display (UTF-8)
  Bound bound = Bound::AtLeast;
  Outcome outcome = Outcome::NotChecked;
  double target = 0;  // the design's input
  double limit = 0;   // the allowed limit derived from the target
  double value = 0;   // the computed quantity
};

// The eleven rules, in the order: efficiency, power factor, starting-current
// ratio, starting-torque ratio, breakdown-torque ratio, slot fill; then flux
// densities within the steel curve (the value is the number of look-ups above
// its last point), plausible inputs, results and geometry (the number of
// impossible ones) and a winding that can be wound (the number of reasons it
// cannot), all three always checked with a limit of 0; then the efficiency
// class (value EFF·100 against the limit of the required class, in per cent;
// not checked for a rating without class limits); last the temperature rise
// (value the winding's average rise in K against the limit of the insulation
// class; not a number when the thermal network fails).
struct DesignCheck {
  static constexpr int kTargetRuleCount = 6;
  static constexpr int kClassRule = 9;
  static constexpr int kRiseRule = 10;
  static constexpr int kRuleCount = 11;
  std::array<CheckLine, kRuleCount> lines;
  ClassResult efficiency_class;
  // The thermal network behind the rise rule, at rated load; computed
  // whether or not the rise is checked.
  ThermalResult thermal;
  // Whether the computed efficiency, and so the class, can be taken at face
  // value: no flux density above the curve, the efficiency possible, the
  // motor buildable. Whether or not the class is checked.
  bool efficiency_trusted = true;

  bool AnyFailed() const;
  // Whether the results can be taken at face value: flux densities within
  // the steel curve, inputs, results and geometry plausible, the winding windable.
  bool Trustworthy() const;
};

// What a check asks beyond the design's own targets.
struct CheckOptions {
  std::optional<EfficiencyClass> required_class;  // empty: the legal minimum of the rating
  bool check_class = true;                        // false: the class rule is not checked
  // The insulation class whose limit the winding's rise must keep within;
  // empty: the rise is computed but not checked.
  std::optional<InsulationClass> insulation = InsulationClass::B;
  ThermalData thermal;  // the thermal network's data
};

// Compares the results of a finished run (`state`) with the targets of
// `input` (inputs EFF, PF, IST, TST, TM, SF0). A target that is empty or text
// is not a target: its rule is NotChecked and never fails. The rise comes
// from one thermal solve with the resistance iteration, no hot re-run. No
// allocation unless the thermal network fails.
DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state,
                        const CheckOptions& options = {});
// The same, with the run's validity already assessed.
DesignCheck CheckDesign(const design::DesignInput& input, const CalculationState& state,
                        const Validity& validity, const CheckOptions& options = {});

}  // namespace velmora::studies
