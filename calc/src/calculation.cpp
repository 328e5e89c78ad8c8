#include "velmora/calc/calculation.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "procedure.h"
#include "velmora/calc/selectors.h"
#include "velmora/calc/validity.h"

namespace velmora::calc {

namespace {

void RefuseSelector(Procedure& r, int index, double value, const char* allowed) {
  r.Stop(CalculationFault::Kind::Selector,
         "输入数据" + design::InputLabel(index) + allowed + "，现为" + design::ShortestText(value));
}

bool IsWhole(double x) { return std::floor(x) == x; }
bool IsWindingType(double CZN) { return CZN == 1 || CZN == 2; }
bool IsSlotShape(double ZC) { return ZC == 1 || ZC == 2 || ZC == 3 || ZC == 4; }
bool IsPoleNumber(double P) { return P >= 2 && IsWhole(P) && IsWhole(P / 2); }

constexpr SelectorRule kSelectorRules[] = {
    {design::field::CZN, &Inputs::CZN, IsWindingType, "应为1（单层）或2（双层）"},
    {design::field::ZC, &Inputs::ZC, IsSlotShape, "应为1、2、3或4"},
    {design::field::P, &Inputs::P, IsPoleNumber, "应为不小于2的偶数"},
};

void RunAll(Procedure& r) {
  CheckSelectors(r);
  RatedDataAndWinding(r);
  MagneticGeometry(r);
  EndWindingGeometry(r);
  FullLoadPerformance(r);
  StartingPerformance(r);
  // The report step reads the layout selector as a number.
  r.Item("报告", "选择输出方案SHFA");
  static_cast<void>(static_cast<double>(r.s.in.SHFA));
  r.Check();
}

}  // namespace

std::span<const SelectorRule> SelectorRules() { return kSelectorRules; }

bool IsSingleLayerPoleNumber(double P) { return P == 2 || P == 4 || P == 6 || P == 8; }

void CheckSelectors(Procedure& r) {
  const Inputs& in = r.s.in;
  r.Item("0", "选择项检查");
  // Every selector is read as a number before any is judged.
  double values[std::size(kSelectorRules)];
  for (std::size_t i = 0; i < std::size(kSelectorRules); ++i)
    values[i] = in.*kSelectorRules[i].input;
  for (std::size_t i = 0; i < std::size(kSelectorRules); ++i) {
    const SelectorRule& rule = kSelectorRules[i];
    if (!rule.accepts(values[i])) RefuseSelector(r, rule.field, values[i], rule.allowed);
  }
  double CZN = in.CZN, P = in.P;
  if (CZN == 1 && !IsSingleLayerPoleNumber(P))
    RefuseSelector(r, design::field::P, P, kSingleLayerPoles);
}

void Procedure::Stop(CalculationFault::Kind kind, const std::string& what) const {
  CalculationFault fault;
  fault.kind = kind;
  fault.item = item_;
  fault.title = title_;
  if (kind == CalculationFault::Kind::Selector)
    fault.message = "计算中断：" + what;
  else
    fault.message = std::string("计算中断：第") + item_ + "项 " + title_ + " " + what;
  throw RunStopped{fault};
}

void Procedure::StopForFlags(int raised) const {
  if (raised & FE_DIVBYZERO) Stop(CalculationFault::Kind::DivideByZero, "除数为零");
  if (raised & FE_OVERFLOW) Stop(CalculationFault::Kind::Overflow, "数值溢出");
  Stop(CalculationFault::Kind::Invalid, "无效运算（负数开方、非正数取对数或无意义的结果）");
}

void Procedure::StopTypeMismatch(int index) const {
  Stop(CalculationFault::Kind::TypeMismatch,
       "类型不匹配：输入数据" + design::InputLabel(index) + "不是数字");
}

void Procedure::StopNoConvergence(const char* name, double estimate, double value,
                                  long period) const {
  std::string what =
      period == 0 ? "迭代" + design::ShortestText(kPassLimit) + "次仍未收敛"
                  : "迭代每" + design::ShortestText(period) + "次重复一次，陷入循环，不会收敛";
  what += std::string("（") + name + "=" + design::SignificantText(estimate) +
          "，计算值=" + design::SignificantText(value) + "）";
  Stop(CalculationFault::Kind::NoConvergence,
       what + EfficiencyStartAdvice(name) + LeakageStepAdvice(name, estimate, value));
}

// The leakage flux density BL of the starting loop follows the current; where
// the current the loop assumes and the one it computes put BL either side of
// a step of the leakage-saturation factor, KZ jumps between the passes and
// the current swings across the step for ever.
std::string Procedure::LeakageStepAdvice(const char* name, double estimate, double value) const {
  if (std::string_view(name) != "IST1" || !s.BL.set || !(estimate > 0)) return "";
  const double BL_computed = s.BL * (value / estimate);
  if (!LeakageSaturationStepBetween(s.BL, BL_computed)) return "";
  return "。起动漏磁磁密BL在" + design::SignificantText(s.BL) + "与" +
         design::SignificantText(BL_computed) +
         "之间跨过漏抗饱和系数KZ的分段点（BL=1.75、6、10、15），KZ在两轮之间跳变；"
         "请稍改气隙G、槽口宽B01/B02或每槽导体数Z，使BL离开分段点";
}

// The input EFF is both the efficiency target and the value the efficiency
// iteration restarts from on every outer pass; far from the efficiency the
// design reaches, the two loops can chase each other for ever.
std::string Procedure::EfficiencyStartAdvice(const char* name) const {
  if (std::string_view(name) != "KE0" && std::string_view(name) != "EFF0") return "";
  // A load point of the load curve starts from its neighbour's efficiency,
  // not from the input EFF: a closer neighbour is the remedy there.
  if (EFF_start)
    return "。该负载点的效率迭代从相邻负载点的效率起算，请减小负载步长（--load 的步长）再算";
  double input = s.in.EFF.value, computed = s.EFF;
  if (!s.EFF.set || !(std::fabs(input - computed) > kFarFromComputedEfficiency)) return "";
  char rounded[32];
  std::snprintf(rounded, sizeof rounded, "%.3f", computed);
  return std::string("。输入效率EFF=") + design::ShortestText(input) + "与计算所得效率约" +
         rounded + "相差较大；EFF同时是迭代初值，请改为接近" + rounded + "的值再算。";
}

namespace {

// An arithmetic fault mostly comes from an input that is 0 where the
// procedure divides by it, or 0 or negative where it takes a root or a
// logarithm of it: the message names every such input in brackets, e.g.
// "（输入数据“并联路数A”（A）为0）" or "（输入数据“气隙G”（G）为-0.4）".
void NameImpossibleInputs(const CalculationState& state, CalculationFault& fault) {
  using Kind = CalculationFault::Kind;
  if (fault.kind != Kind::DivideByZero && fault.kind != Kind::Invalid &&
      fault.kind != Kind::Overflow)
    return;
  std::string named;
  const Validity validity = AssessValidity(state);
  for (const ValidityNote& note : validity.notes()) {
    const bool impossible = note.value == 0 || note.problem == ValidityNote::Problem::NotPositive ||
                            note.problem == ValidityNote::Problem::Negative;
    if (note.kind != ValidityNote::Kind::Input || !impossible) continue;
    const std::optional<int> field = design::FieldIndex(note.quantity);
    if (!field || named.find(design::InputLabel(*field)) != std::string::npos) continue;
    named += std::string(named.empty() ? "" : "，") + "输入数据" + design::InputLabel(*field) +
             "为" + design::SignificantText(note.value);
  }
  if (!named.empty()) fault.message += "（" + named + "）";
}

}  // namespace

bool Calculate(const design::DesignInput& input, CalculationState& state, CalculationFault& fault) {
  return Calculate(input, state, fault, 1);
}

bool Calculate(const design::DesignInput& input, CalculationState& state, CalculationFault& fault,
               double HTAB_factor) {
  auto fresh = [&input, HTAB_factor](CalculationState& s) {
    s = CalculationState{};
    ReadInputs(input, s.in);
    s.HTAB_factor = HTAB_factor;
  };
  if (RunStages(state, fault, fresh, RunAll)) return true;
  NameImpossibleInputs(state, fault);
  return false;
}

}  // namespace velmora::calc
