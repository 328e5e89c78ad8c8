#include "velmora/report/validity_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "velmora/design/design_input.h"
#include "velmora/studies/design_freedom.h"

namespace velmora::report {

namespace {

using Kind = calc::ValidityNote::Kind;
using Problem = calc::ValidityNote::Problem;

// What each steel-curve look-up reads, in words.
std::string_view DensityCaption(std::string_view name) {
  struct Entry {
    std::string_view name, caption;
  };
  static constexpr Entry kCaptions[] = {
      {"BT1", "定子齿磁密BT1"},
      {"BT2", "转子齿磁密BT2"},
      {"BT2U", "转子上段齿磁密BT2U"},
      {"BT2L", "转子下段齿磁密BT2L"},
      {"BJ1", "定子轭磁密BJ1"},
      {"BJ2", "转子轭磁密BJ2"},
      {"BT10", "空载定子齿磁密BT10"},
      {"BT20", "空载转子齿磁密BT20"},
      {"BJ10", "空载定子轭磁密BJ10"},
      {"BJ20", "空载转子轭磁密BJ20"},
      {"pt1", "铁耗计算用空载定子齿磁密BT10"},
      {"pj1", "铁耗计算用空载定子轭磁密BJ10"},
  };
  for (const Entry& entry : kCaptions)
    if (entry.name == name) return entry.caption;
  return name;
}

std::string CurveMissText(const calc::ValidityNote& note) {
  bool loss = note.quantity == "pt1" || note.quantity == "pj1";
  std::string curve = loss ? "铁耗曲线" : "磁化曲线";
  std::string out =
      std::string(DensityCaption(note.quantity)) + "=" + ShortNumber(note.value) + " T，";
  if (note.kind == Kind::AboveCurve)
    out += "高于" + curve + "的最高点" + ShortNumber(calc::kCurveLastB) + " T";
  else
    out += "不高于" + curve + "的最低点" + ShortNumber(calc::kCurveFirstB) + " T";
  out += "（曲线范围0.50~1.89 T）；" + std::string(note.kept_name);
  if (note.kept_set)
    out += "沿用前一轮迭代的值" + ShortNumber(note.kept);
  else
    out += "未赋值，按0计";
  return out;
}

std::string ProblemText(const calc::ValidityNote& note) {
  std::string other = std::string(note.other) + "=" + ShortNumber(note.other_value);
  switch (note.problem) {
    case Problem::NotPositive:
      return "，应为正数";
    case Problem::Negative:
      return "，不应为负数";
    case Problem::NotWhole:
      return "，应为整数";
    case Problem::OpeningTooWide:
      return note.other.starts_with("T") ? "，不小于齿距" + other + "（槽口占满齿距）"
                                         : "，大于槽宽" + other + "（槽口不能宽于槽）";
    case Problem::OpeningTooNarrow:
      return "，不大于导线外径" + ShortNumber(note.other_value) + " mm（连漆膜）：导线下不进槽";
    case Problem::NotInside:
      return "，不小于" + other;
    case Problem::NotBelowOne:
      return "，应小于1";
    case Problem::AboveOne:
      return "，不应大于1";
    case Problem::NoSteelCurve:
      return "，不是1：只有1号硅钢片的磁化曲线和铁耗曲线，齿、轭磁压降和铁耗均按0计";
    case Problem::DensityNotPositive:
      return " T，不是正数：磁路截面不存在（齿或轭的尺寸为负）";
    case Problem::Overfull:
      return "，大于1：导线放不进槽";
    case Problem::OddConductors:
      return "，双层绕组每槽导体数应为偶数（每层Z/2根）";
    case Problem::PathsDoNotDivide:
      return "，不能整除每相线圈组数" + ShortNumber(note.other_value);
    case Problem::Asymmetric:
      return "，不能构成三相对称绕组（Q1/(3·gcd(Q1,p))不是整数）";
    case Problem::PitchOutOfRange:
      return "，双层绕组节距应在1和整距" + ShortNumber(note.other_value) + "之间";
    case Problem::FractionalSlots:
      return "，单层绕组每极每相槽数" + ShortNumber(note.other_value) + "应为整数";
    case Problem::LeakageFactorAboveOne:
      return "，不应大于1：起动漏磁磁密" + other +
             " T落在曲线10~15 T一段，该段给出的系数大于1，齿顶宽度的减少Cs1、Cs2为负，"
             "起动漏抗、起动电流和起动转矩不可信";
    case Problem::None:
      break;
  }
  return "";
}

std::string InputCaption(std::string_view name) {
  for (const design::FieldInfo& info : design::kFieldInfo)
    if (name == info.name)
      return std::string("输入数据“") + info.caption + "”（" + info.name + "）";
  return std::string(name);
}

// A computed quantity a note names, in words and with its unit.
struct Derived {
  std::string_view name, caption, unit;
};

// The derived dimensions of the geometry notes and the results of the
// result notes that need words beside their name.
constexpr Derived kDerived[] = {
    {"D2", "转子外径D2", " mm"},
    {"HS1", "定子槽口斜肩高HS1", " mm"},
    {"HS2", "定子槽身高HS2", " mm"},
    {"BT1W", "定子齿最窄处宽度", " mm"},
    {"B01", "定子槽口宽B01", " mm"},
    {"AE", "定子槽有效面积AE", " mm²"},
    {"SF", "槽满率SF", ""},
    {"HJ11", "定子轭计算高度HJ11", " mm"},
    {"HR1", "转子槽口斜肩高HR1", " mm"},
    {"HR2", "转子槽身高HR2", " mm"},
    {"BT2W", "转子齿最窄处宽度", " mm"},
    {"BT2UW", "转子上段齿最窄处宽度", " mm"},
    {"BT2LW", "转子下段齿最窄处宽度", " mm"},
    {"B02", "转子槽口宽B02", " mm"},
    {"HJ21", "转子轭计算高度HJ21", " mm"},
    {"SBN", "转子导条面积SBN", " mm²"},
    {"Dr", "端环平均直径Dr", " mm"},
    {"KC1", "定子卡氏系数KC1", ""},
    {"KC2", "转子卡氏系数KC2", ""},
    {"SP1", "定子槽比漏磁导SP1", ""},
    {"SP2", "转子槽比漏磁导SP2", ""},
    {"SP1ST", "起动时定子槽比漏磁导SP1ST", ""},
    {"SP2ST", "起动时转子槽比漏磁导SP2ST", ""},
    {"X1ST1", "起动时定子漏抗标幺值X1ST1", ""},
    {"X2ST1", "起动时转子漏抗标幺值X2ST1", ""},
    {"XST1", "起动时总漏抗标幺值XST1", ""},
    {"HPXL", "起动时导条电流透入段高度HPXL", " mm"},
    {"KZ", "漏抗饱和系数KZ", ""},
};

// "定子轭计算高度HJ11=-17.45 mm": the quantity in words, its value and unit.
std::string DerivedText(const calc::ValidityNote& note, std::string_view fallback) {
  std::string caption(fallback), unit;
  for (const Derived& entry : kDerived)
    if (entry.name == note.quantity) caption = entry.caption, unit = entry.unit;
  return caption + "=" + ShortNumber(note.value) + unit;
}

}  // namespace

std::string ShortNumber(double value) { return design::SignificantText(value, 6); }

std::string CheckVerdict(const studies::CheckLine& line) {
  using Outcome = studies::CheckLine::Outcome;
  switch (line.outcome) {
    case Outcome::Pass:
      return "合格";
    case Outcome::Fail:
      return "不合格";
    case Outcome::Untrusted:
      return "不可信";
    case Outcome::NotChecked:
      break;
  }
  return "未校核";
}

std::string CheckLimitText(const studies::CheckLine& line) {
  if (line.outcome == studies::CheckLine::Outcome::NotChecked) return "";
  return (line.bound == studies::CheckLine::Bound::AtLeast ? "≥ " : "≤ ") + ShortNumber(line.limit);
}

std::string CheckValueText(const studies::CheckLine& line) {
  return std::isfinite(line.value) ? ShortNumber(line.value) : "—";
}

std::string CheckUnit(const studies::CheckLine& line) {
  constexpr std::string_view kPerUnit[] = {"EFF", "PF", "SF"};
  constexpr std::string_view kRatios[] = {"IST", "TST", "TM"};
  if (std::ranges::find(kPerUnit, line.name) != std::end(kPerUnit)) return "标幺值";
  if (std::ranges::find(kRatios, line.name) != std::end(kRatios)) return "倍";
  if (line.name == "IE") return "%";
  if (line.name == "TRISE") return "K";
  return "处";
}

std::vector<std::string> CheckRiseLines(const studies::DesignCheck& check) {
  const studies::ThermalResult& r = check.thermal;
  if (!r.ok()) return {"温升：" + r.fault};
  auto kelvin = [](double value) { return design::FixedText(value, 1); };
  std::vector<std::string> lines = {"温升：绕组平均温升（电阻法）" + kelvin(r.winding_rise) +
                                    " K，最热点约" + kelvin(r.hot_spot) + " °C（冷却空气" +
                                    kelvin(r.ambient) + " °C）"};
  const studies::CheckLine& rule = check.lines[studies::DesignCheck::kRiseRule];
  using Outcome = studies::CheckLine::Outcome;
  if (rule.outcome == Outcome::NotChecked) {
    lines.push_back("  不要求绝缘等级");
    return lines;
  }
  std::string limit = "  " + std::string(studies::InsulationClassName(r.insulation)) +
                      "级绝缘限值" + ShortNumber(rule.limit) + " K：";
  if (rule.outcome == Outcome::Untrusted)
    limit += "不可信，电磁计算结果不能作为依据";
  else if (rule.outcome == Outcome::Pass)
    limit += "合格，裕量" + kelvin(rule.limit - rule.value) + " K";
  else
    limit += "超过限值" + kelvin(rule.value - rule.limit) + " K";
  lines.push_back(limit);
  return lines;
}

std::string NoteText(const calc::ValidityNote& note) {
  switch (note.kind) {
    case Kind::AboveCurve:
    case Kind::BelowCurve:
      return CurveMissText(note);
    case Kind::Input:
      return InputCaption(note.quantity) + "=" + ShortNumber(note.value) + ProblemText(note);
    case Kind::Result:
      return "计算结果" + DerivedText(note, note.quantity) + ProblemText(note);
    case Kind::Geometry:
      return "尺寸不可能：" + DerivedText(note, DensityCaption(note.quantity)) + ProblemText(note);
    case Kind::Winding:
      return "绕组不能绕制：" + InputCaption(note.quantity) + "=" + ShortNumber(note.value) +
             ProblemText(note);
  }
  return "";
}

std::string SweepStudyNote(int field) {
  studies::InputRole role = studies::RoleOf(field);
  if (role == studies::InputRole::Freedom || role == studies::InputRole::Selector) return "";
  return "提示：" + design::InputLabel(field) + std::string(studies::WhyNotFree(role)) +
         "；扫描它只是研究计算对它的依赖，结果不是可选的设计方案";
}

std::string UntrustedSummary(const calc::Validity& validity) {
  if (validity.Trustworthy()) return "";
  if (validity.TrustworthyAtRatedLoad())
    return "以上结果不可信（起动电流、起动转矩不能作为设计依据）。";
  return "以上结果不可信（效率、功率因数、磁化电流等不能作为设计依据）。";
}

std::string ValidityWarning(const calc::Validity& validity) {
  if (validity.Trustworthy()) return "";
  std::string out = "计算已完成，但以下结果不可信：\n";
  for (const calc::ValidityNote& note : validity.notes())
    if (note.Untrustworthy()) out += "  " + NoteText(note) + "\n";
  if (validity.AnyAboveCurve())
    out +=
        "磁密超出磁化曲线时，磁压降和铁耗按沿用的值计算，效率、功率因数和磁化电流不可信；"
        "请调整尺寸使磁密回到曲线范围内。\n";
  if (validity.AnyImplausible() && !validity.TrustworthyAtRatedLoad())
    out += "输入数据或计算结果不可能属于一台实际电机，请检查输入。\n";
  if (validity.Count(Kind::Geometry) > 0)
    out += "这样的冲片做不出来：请调整外径、内径或槽形尺寸，使齿、轭和槽都有正的尺寸。\n";
  if (validity.Count(Kind::Winding) > 0)
    out += "这样的绕组绕不成：请调整槽数、每槽导体数、并联路数或节距。\n";
  if (validity.ImplausibleStarting())
    out +=
        "起动时的漏磁计算超出了适用范围（槽口很窄或气隙很小）：起动电流和起动转矩不可信，"
        "额定负载的结果不受影响；请加宽槽口或加大气隙。\n";
  return out;
}

}  // namespace velmora::report
