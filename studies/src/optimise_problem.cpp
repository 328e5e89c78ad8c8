// The optimisation problem: its variables, the refusals, and a computed
// design assessed against the constraints.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "velmora/studies/design_freedom.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/sweep.h"

namespace velmora::studies {

namespace {

namespace field = design::field;
using design::InputLabel;
using design::ShortestText;
using Bound = CheckLine::Bound;

[[noreturn]] void Refuse(ErrorCode code, int field, const std::string& why) {
  throw OptimiseError(code, "改变" + InputLabel(field) + "：" + why);
}

// ---- Variables -------------------------------------------------------------

bool WholeNumbers(int f) {
  return f == field::A || f == field::Z || f == field::JJ || f == field::MM || f == field::Y1;
}

bool WireDiameter(int f) { return f == field::DJJ || f == field::DMM; }

// A variable takes at most this many values: a longer list only costs time
// and memory, and no search visits that many of them.
constexpr std::uint64_t kMaxValues = 1'000'000;

void CheckValueCount(int field, double count) {
  if (!(count <= static_cast<double>(kMaxValues)))
    Refuse(ErrorCode::TooMany, field, "可取的值超过" + std::to_string(kMaxValues) + "个");
}

// From 2^53 on, a double no longer holds every whole number: k + 1 == k.
constexpr double kMaxWholeNumber = 9007199254740992.0;  // 2^53

// The whole numbers FROM..TO, counted before any is made.
std::vector<double> WholeNumbersIn(int field, double from, double to) {
  if (!(std::fabs(from) < kMaxWholeNumber) || !(std::fabs(to) < kMaxWholeNumber))
    Refuse(ErrorCode::TooMany, field, "范围超出±9007199254740992（2^53），不能逐一取整数");
  double first = std::ceil(from);
  CheckValueCount(field, std::floor(to) - first + 1);
  std::vector<double> values;
  for (double k = first; k <= to; ++k) values.push_back(k);
  return values;
}

void CheckBounds(int field, double from, double to) {
  if (!std::isfinite(from) || !std::isfinite(to))
    Refuse(ErrorCode::BoundsReversed, field, "范围不是有限的数");
  if (from > to)
    Refuse(ErrorCode::BoundsReversed, field,
           "起点" + ShortestText(from) + "大于终点" + ShortestText(to));
}

OptimiseVariable FromValues(int field, std::vector<double> values) {
  if (values.empty()) Refuse(ErrorCode::NoValue, field, "范围内没有可取的值");
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  OptimiseVariable v;
  v.field = field;
  v.lower = values.front();
  v.upper = values.back();
  v.values = std::move(values);
  return v;
}

// Whole multiples of the resolution: k / scale when it is a fraction, so
// that each value is the double nearest its decimal.
double Multiple(double k, double resolution) {
  return resolution < 1 ? k / std::round(1 / resolution) : k * resolution;
}

double Multiples(double x, double resolution) {
  return resolution < 1 ? x * std::round(1 / resolution) : x / resolution;
}

// ---- Refusals --------------------------------------------------------------

void CheckVariable(const OptimiseVariable& v) {
  if (v.field <= field::TYPE || v.field >= design::kFieldCount)
    throw OptimiseError(ErrorCode::TextInput, "电机型号TYPE是文字，不能作为优化变量");
  InputRole role = RoleOf(v.field);
  if (role != InputRole::Freedom)
    Refuse(ErrorCode::NotAFreedom, v.field, std::string(WhyNotFree(role)) + "，不能作为优化变量");
  CheckBounds(v.field, v.lower, v.upper);
  if (!v.Discrete() && !(v.resolution > 0)) Refuse(ErrorCode::NoValue, v.field, "连续变量没有步长");
}

// The entry of kLimitableQuantities called `name`, or its end.
const std::string_view* Limitable(std::string_view name) {
  return std::find(kLimitableQuantities.begin(), kLimitableQuantities.end(), name);
}

// " J1 AJ ... TRISE".
std::string LimitableNames() {
  std::string names;
  for (std::string_view name : kLimitableQuantities) names += " " + std::string(name);
  return names;
}

void CheckLimits(const std::vector<UpperLimit>& limits) {
  for (std::size_t i = 0; i < limits.size(); ++i) {
    const std::string& name = limits[i].quantity;
    if (Limitable(name) == kLimitableQuantities.end())
      throw OptimiseError(ErrorCode::LimitRefused,
                          "不能给“" + name + "”设上限（可设" + LimitableNames() + "）");
    for (std::size_t j = 0; j < i; ++j)
      if (limits[j].quantity == limits[i].quantity)
        throw OptimiseError(ErrorCode::LimitRefused, "“" + name + "”的上限给了两次");
    if (!std::isfinite(limits[i].value))
      throw OptimiseError(ErrorCode::LimitRefused, "“" + name + "”的上限不是有限的数");
  }
}

struct MarginAlias {
  std::string_view name, constraint;
};
// The quantities' report names beside the constraints' own.
constexpr MarginAlias kMarginAliases[] = {
    {"EFF", "IE"}, {"Ist", "IST"}, {"TST1", "TST"}, {"TMAX1", "TM"}};

void CheckMargins(const std::vector<Margin>& margins) {
  for (std::size_t i = 0; i < margins.size(); ++i) {
    const std::string& name = margins[i].constraint;
    if (std::find(kMarginConstraints.begin(), kMarginConstraints.end(), name) ==
        kMarginConstraints.end())
      throw OptimiseError(ErrorCode::LimitRefused, "不能给“" + name + "”设裕量");
    for (std::size_t j = 0; j < i; ++j)
      if (margins[j].constraint == name)
        throw OptimiseError(ErrorCode::LimitRefused, "裕量“" + name + "”给了两次");
    if (!(margins[i].value >= 0) || !std::isfinite(margins[i].value))
      throw OptimiseError(ErrorCode::LimitRefused, "“" + name + "”的裕量应为不小于0的有限数");
  }
}

void CheckRobust(const OptimiseProblem& problem) {
  if (!problem.robust) return;
  const RobustRequirement& robust = *problem.robust;
  if (!YieldInRange(robust.min_yield))
    throw OptimiseError(ErrorCode::LimitRefused,
                        "合格率下限应大于0且不大于1，现为" + ShortestText(robust.min_yield));
  if (robust.samples < 1 || robust.samples > kMaxYieldSamples)
    throw OptimiseError(ErrorCode::TooMany, "稳健要求的样本数应为1到" +
                                                std::to_string(kMaxYieldSamples) + "，现为" +
                                                std::to_string(robust.samples));
  try {
    SpreadsOf(problem.base, robust.tolerances);
  } catch (const ToleranceError& error) {
    throw OptimiseError(error.code(), error.what());
  }
}

// ---- Constraints -----------------------------------------------------------

// A value that is not a number never meets its limit.
constexpr double kNotANumberExcess = 1e9;

ConstraintLine Line(std::string_view name, Bound bound, double limit, double value) {
  ConstraintLine line{name, bound, limit, value, 0};
  double over = bound == Bound::AtLeast ? limit - value : value - limit;
  line.excess = over / (limit != 0 ? std::fabs(limit) : 1);
  if (std::isnan(line.excess)) line.excess = kNotANumberExcess;
  return line;
}

// A count of notes that must be none.
ConstraintLine CountLine(std::string_view name, int count) {
  return {name, Bound::AtMost, 0, double(count), count - 0.5};
}

// `line` with its limit moved inward by the problem's margin on it.
ConstraintLine WithMargin(const OptimiseProblem& problem, const ConstraintLine& line) {
  for (const Margin& margin : problem.margins) {
    if (margin.constraint != line.name || margin.value == 0) continue;
    double limit =
        line.bound == Bound::AtLeast ? line.limit + margin.value : line.limit - margin.value;
    ConstraintLine tightened = Line(line.name, line.bound, limit, line.value);
    tightened.margin = margin.value;
    return tightened;
  }
  return line;
}

struct Lines {
  const OptimiseProblem& problem;
  Assessment& a;
  void Add(const ConstraintLine& line) { a.lines[a.line_count++] = WithMargin(problem, line); }
};

bool LimitsRise(const OptimiseProblem& problem) {
  return std::any_of(problem.limits.begin(), problem.limits.end(),
                     [](const UpperLimit& limit) { return limit.quantity == "TRISE"; });
}

// Whether the insulation class limits the winding's rise: asked for, and
// not replaced by an upper limit on TRISE.
bool ClassLimitsRise(const OptimiseProblem& problem) {
  return problem.check.insulation && !LimitsRise(problem);
}

bool ChecksClass(const OptimiseProblem& problem) {
  return problem.check.check_class && RatingLimits(problem).classified();
}

// Whether every design of the problem that runs has the constraint `name`
// of kMarginConstraints: the class asked for, the rise limited, a target that
// is a number.
bool HasConstraint(const OptimiseProblem& problem, std::string_view name) {
  if (name == "IE") return ChecksClass(problem);
  if (name == "TRISE") return ClassLimitsRise(problem) || LimitsRise(problem);
  constexpr std::pair<std::string_view, int> kTargets[] = {{"PF", field::PF},
                                                           {"IST", field::IST},
                                                           {"TST", field::TST},
                                                           {"TM", field::TM},
                                                           {"SF", field::SF0}};
  for (const auto& [target, f] : kTargets)
    if (target == name) return problem.base[f].IsNumber();
  return false;
}

// A margin on a constraint the problem does not have would change nothing.
void CheckMarginsApply(const OptimiseProblem& problem) {
  for (const Margin& margin : problem.margins)
    if (!HasConstraint(problem, margin.constraint))
      throw OptimiseError(
          ErrorCode::LimitRefused,
          "“" + margin.constraint + "”的裕量：没有这个约束（未要求或目标值不是数）");
}

// The design's own targets, without the tolerances of the check; the class
// and the rise limit of the insulation class.
void AddTargets(const OptimiseProblem& problem, const DesignCheck& check, Lines& out) {
  for (int i = 0; i < DesignCheck::kTargetRuleCount; ++i) {
    const CheckLine& rule = check.lines[i];
    if (rule.outcome == CheckLine::Outcome::NotChecked) continue;
    bool plain = problem.targets == OptimiseProblem::Targets::AsGiven;
    out.Add(Line(rule.name, rule.bound, plain ? rule.target : rule.limit, rule.value));
  }
  const CheckLine& ie = check.lines[DesignCheck::kClassRule];
  if (ie.outcome != CheckLine::Outcome::NotChecked)
    out.Add(Line(ie.name, Bound::AtLeast, ie.limit, ie.value));
  const CheckLine& rise = check.lines[DesignCheck::kRiseRule];
  if (ClassLimitsRise(problem)) out.Add(Line(rise.name, Bound::AtMost, rise.limit, rise.value));
}

// The highest flux density above the curve, or the highest looked up on it.
double HighestDensity(const CalculationState& state, const Validity& validity) {
  double above = 0;
  for (const ValidityNote& note : validity.notes())
    if (note.kind == ValidityNote::Kind::AboveCurve) above = std::max(above, note.value);
  if (above > 0) return above;
  double on = 0;
  for (const CurveLookup& lookup : state.lookups)
    if (lookup.done && lookup.found) on = std::max(on, lookup.B);
  return on;
}

// The notes of the kinds counted that a design of the problem cannot have;
// a whole-number variable is forgiven its fractions while it is relaxed.
int ImpossibleCount(const OptimiseProblem& problem, const Validity& validity, bool relaxed,
                    std::initializer_list<ValidityNote::Kind> kinds) {
  int count = 0;
  for (const ValidityNote& note : validity.notes()) {
    if (std::find(kinds.begin(), kinds.end(), note.kind) == kinds.end()) continue;
    bool forgiven = relaxed && note.problem == ValidityNote::Problem::NotWhole &&
                    std::any_of(problem.variables.begin(), problem.variables.end(),
                                [&](const OptimiseVariable& v) {
                                  return note.quantity == design::kFieldInfo[v.field].name;
                                });
    if (!forgiven) ++count;
  }
  return count;
}

// The rise from the check's thermal network, the rest from the run.
double LimitedValue(std::string_view name, const CalculationState& state,
                    const DesignCheck& check) {
  if (name == "TRISE") return check.lines[DesignCheck::kRiseRule].value;
  return FindQuantityEntry(name)->get(state).value;
}

void AddLimits(const OptimiseProblem& problem, const CalculationState& state,
               const DesignCheck& check, Lines& out) {
  for (const UpperLimit& limit : problem.limits) {
    out.Add(Line(*Limitable(limit.quantity), Bound::AtMost, limit.value,
                 LimitedValue(limit.quantity, state, check)));
  }
  if (problem.efficiency_floor)
    out.Add(Line("EFFMIN", Bound::AtLeast, *problem.efficiency_floor, state.EFF));
}

// A run and its check against the problem's constraints.
Assessment AssessChecked(const OptimiseProblem& problem, const CalculationState& state,
                         const Validity& validity, const DesignCheck& check, bool relaxed) {
  Assessment a;
  a.ran = true;
  a.cost = CostOf(state, problem.prices).total;
  a.EFF = state.EFF;
  a.PF = state.PF;
  a.Ist = state.Ist;
  a.TST1 = state.TST1;
  a.TMAX1 = state.TMAX1;
  a.SF = state.SF;
  a.TRISE = check.lines[DesignCheck::kRiseRule].value;
  a.reached = check.efficiency_class.reached;
  Lines out{problem, a};
  AddTargets(problem, check, out);
  out.Add(Line("BH", Bound::AtMost, kCurveLastB, HighestDensity(state, validity)));
  using Kind = ValidityNote::Kind;
  out.Add(CountLine("VALID", ImpossibleCount(problem, validity, relaxed,
                                             {Kind::Input, Kind::Result, Kind::Geometry})));
  out.Add(CountLine("WIND", ImpossibleCount(problem, validity, relaxed, {Kind::Winding})));
  AddLimits(problem, state, check, out);
  return a;
}

}  // namespace

double OptimiseVariable::Snap(double x) const {
  if (Discrete()) {
    auto above = std::lower_bound(values.begin(), values.end(), x);
    if (above == values.end()) return values.back();
    if (above == values.begin() || *above - x < x - *(above - 1)) return *above;
    return *(above - 1);
  }
  Grid grid = GridPoints();
  if (!grid.any) return lower;  // the range holds no multiple
  return Multiple(std::clamp(std::round(Multiples(x, resolution)), grid.first, grid.last),
                  resolution);
}

OptimiseVariable::Grid OptimiseVariable::GridPoints() const {
  double first = std::ceil(Multiples(lower, resolution) - 1e-9);
  double last = std::floor(Multiples(upper, resolution) + 1e-9);
  return {first, last, first <= last};
}

std::uint64_t OptimiseVariable::Count() const {
  if (Discrete()) return values.size();
  Grid grid = GridPoints();
  return grid.any ? static_cast<std::uint64_t>(grid.last - grid.first) + 1 : 1;
}

double OptimiseVariable::At(std::uint64_t k) const {
  if (Discrete()) return values[std::min<std::uint64_t>(k, values.size() - 1)];
  Grid grid = GridPoints();
  if (!grid.any) return lower;
  return Multiple(std::min(grid.first + double(k), grid.last), resolution);
}

std::uint64_t OptimiseVariable::IndexOf(double x) const {
  x = Snap(x);
  if (Discrete())
    return static_cast<std::uint64_t>(std::lower_bound(values.begin(), values.end(), x) -
                                      values.begin());
  Grid grid = GridPoints();
  if (!grid.any) return 0;
  double k = std::round(Multiples(x, resolution)) - grid.first;
  return static_cast<std::uint64_t>(std::clamp(k, 0.0, grid.last - grid.first));
}

OptimiseVariable RangeVariable(int field, double from, double to) {
  CheckBounds(field, from, to);
  std::vector<double> values;
  if (WholeNumbers(field)) {
    values = WholeNumbersIn(field, from, to);
  } else if (WireDiameter(field)) {
    for (double d : kWireDiameters)
      if (d >= from - 1e-9 && d <= to + 1e-9) values.push_back(d);
  } else if (from == to) {
    values.push_back(from);
  } else {
    OptimiseVariable v;
    v.field = field;
    v.lower = from;
    v.upper = to;
    v.resolution = WorkshopStep(field);  // 0 for an input that is no freedom: refused
    return v;
  }
  return FromValues(field, std::move(values));
}

OptimiseVariable SteppedVariable(int field, double from, double to, double step) {
  // A range refused as a sweep axis is refused as a variable, with its code.
  SweepAxis axis = SweepAxis::List(field, {from});
  try {
    axis = SweepAxis::Range(field, from, to, step);
  } catch (const SweepError& error) {
    throw OptimiseError(error.code(), error.what());
  }
  CheckValueCount(field, static_cast<double>(axis.size()));
  std::vector<double> values;
  for (std::uint64_t k = 0; k < axis.size(); ++k) values.push_back(axis[k]);
  return FromValues(field, std::move(values));
}

OptimiseVariable ListVariable(int field, std::vector<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) Refuse(ErrorCode::BoundsReversed, field, "取值不是有限的数");
  return FromValues(field, std::move(values));
}

void CheckProblem(const OptimiseProblem& problem) {
  if (problem.variables.empty())
    throw OptimiseError(ErrorCode::NoVariables, "没有给出要改变的输入");
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    CheckVariable(problem.variables[i]);
    for (std::size_t j = 0; j < i; ++j)
      if (problem.variables[j].field == problem.variables[i].field)
        Refuse(ErrorCode::InputTwice, problem.variables[i].field, "同一输入给了两次");
  }
  CheckLimits(problem.limits);
  CheckMargins(problem.margins);
  CheckMarginsApply(problem);
  const std::optional<double>& floor = problem.efficiency_floor;
  if (floor && !(*floor > 0 && *floor < 1))
    throw OptimiseError(ErrorCode::LimitRefused, "效率下限应在0与1之间");
  CheckRobust(problem);
}

std::optional<std::string_view> MarginConstraint(std::string_view name) {
  for (std::string_view constraint : kMarginConstraints)
    if (constraint == name) return constraint;
  for (const MarginAlias& alias : kMarginAliases)
    if (alias.name == name) return alias.constraint;
  return std::nullopt;
}

void FitToWinding(OptimiseProblem& problem) {
  const design::FieldValue &CZN = problem.base[field::CZN], &P = problem.base[field::P];
  const bool double_layer = CZN.IsNumber() && CZN.number == 2;
  // A double layer has P coil groups a phase, a single layer P/2.
  const double groups = !P.IsNumber() ? 0 : double_layer ? P.number : P.number / 2;
  for (OptimiseVariable& v : problem.variables) {
    if (!v.Discrete() || !WholeNumbers(v.field)) continue;
    auto unbuildable = [&](double x) {
      if (std::floor(x) != x) return true;
      if (v.field == field::Z && double_layer) return std::fmod(x, 2) != 0;
      if (v.field == field::A && groups >= 1) return x < 1 || std::fmod(groups, x) != 0;
      return false;
    };
    std::erase_if(v.values, unbuildable);
    if (v.values.empty()) {
      if (v.field == field::Z && double_layer)
        Refuse(ErrorCode::NoValue, v.field, "双层绕组每槽导体数应为偶数，范围内没有偶数");
      if (v.field == field::A)
        Refuse(ErrorCode::NoValue, v.field,
               "范围内没有能整除每相线圈组数" + ShortestText(groups) + "的并联路数");
      Refuse(ErrorCode::NoValue, v.field, "范围内没有整数");
    }
    v.lower = v.values.front();
    v.upper = v.values.back();
  }
}

bool Assessment::Feasible() const {
  return ran && std::all_of(constraints().begin(), constraints().end(),
                            [](const ConstraintLine& line) { return line.Met(); });
}

bool Assessment::Trustworthy() const {
  return ran &&
         std::all_of(constraints().begin(), constraints().end(), [](const ConstraintLine& l) {
           bool validity = l.name == "BH" || l.name == "VALID" || l.name == "WIND";
           return !validity || l.Met();
         });
}

double Assessment::Violation() const {
  if (!ran) return std::numeric_limits<double>::infinity();
  double sum = 0;
  for (const ConstraintLine& line : constraints()) sum += std::max(line.excess, 0.0);
  return sum;
}

int ConstraintCount(const OptimiseProblem& problem) {
  // BH, VALID, WIND and the efficiency floor
  int count = 3 + static_cast<int>(problem.limits.size()) + problem.efficiency_floor.has_value();
  for (int target : {field::EFF, field::PF, field::IST, field::TST, field::TM, field::SF0})
    count += problem.base[target].IsNumber();
  return count + ChecksClass(problem) + ClassLimitsRise(problem) + problem.robust.has_value();
}

ClassLimits RatingLimits(const OptimiseProblem& problem) {
  const design::DesignInput& b = problem.base;
  return EfficiencyLimits(b[field::Pn].number, b[field::P].number, b[field::f].number);
}

double ObjectiveKey(const Assessment& a, OptimiseObjective objective) {
  return objective == OptimiseObjective::Cost ? a.cost : 1 - a.EFF;
}

Standing StandingOf(const Assessment& a, OptimiseObjective objective) {
  return {ObjectiveKey(a, objective), a.Violation(), a.ran, a.Feasible()};
}

bool RanksBefore(const Standing& a, const Standing& b) {
  if (a.ran != b.ran) return a.ran;
  if (a.feasible != b.feasible) return a.feasible;
  return a.feasible ? a.key < b.key : a.violation < b.violation;
}

bool Better(const Assessment& a, const Assessment& b, OptimiseObjective objective) {
  return RanksBefore(StandingOf(a, objective), StandingOf(b, objective));
}

Assessment Assess(const OptimiseProblem& problem, const CalculationState& state, bool relaxed) {
  Validity validity = AssessValidity(state);
  return AssessChecked(problem, state, validity,
                       CheckDesign(problem.base, state, validity, problem.check), relaxed);
}

Assessment Assess(const OptimiseProblem& problem, const CalculationState& state,
                  const DesignCheck& check, bool relaxed) {
  return AssessChecked(problem, state, AssessValidity(state), check, relaxed);
}

design::DesignInput DesignWith(const OptimiseProblem& problem, std::span<const double> values) {
  design::DesignInput input = problem.base;
  for (std::size_t i = 0; i < problem.variables.size(); ++i)
    design::SetNumber(input, problem.variables[i].field, values[i]);
  return input;
}

Assessment AssessDesign(const OptimiseProblem& problem, const YieldMotors& motors,
                        const design::DesignInput& design) {
  CalculationState state;
  CalculationFault fault;
  if (!Calculate(design, state, fault)) return {};
  Assessment a = Assess(problem, state, false);
  AddYield(problem, motors, design, false, a);
  return a;
}

Assessment Evaluate(const OptimiseProblem& problem, std::span<const double> values) {
  return AssessDesign(problem, YieldMotors(problem), DesignWith(problem, values));
}

}  // namespace velmora::studies
