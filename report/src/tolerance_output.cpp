// A tolerance analysis as text, CSV and JSON.
#include "velmora/report/tolerance_output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/report/text_formats.h"
#include "velmora/report/validity_text.h"

namespace velmora::report {

namespace {

using studies::ToleranceInputs;
using studies::ToleranceResult;

struct InputWords {
  std::string_view name, caption;
};
constexpr InputWords kInputWords[] = {
    {"G", "气隙G（mm）"},
    {"L", "铁芯长L（mm）"},
    {"B01", "定子槽口宽B01（mm）"},
    {"HS0", "定子槽口高HS0（mm）"},
    {"BS1", "定子槽上宽BS1（mm）"},
    {"BS2", "定子槽底宽BS2（mm）"},
    {"HS12", "定子槽身高HS12（mm）"},
    {"B02", "转子槽口宽B02（mm）"},
    {"HR0", "转子槽口高HR0（mm）"},
    {"BR1", "转子槽上宽BR1（mm）"},
    {"BR2", "转子槽下宽BR2（mm）"},
    {"BR3", "转子下部槽上宽BR3（mm）"},
    {"BR4", "转子下部槽下宽BR4（mm）"},
    {"HR12", "转子槽身高HR12（mm）"},
    {"HR3", "转子下部槽高HR3（mm）"},
    {"Kfe", "叠压系数Kfe"},
    {"Lo1", "定子导线电阻率Lo1"},
    {"Lo2", "转子导条电阻率Lo2"},
    {"HTAB", "磁化曲线场强HTAB（整条曲线的系数）"},
    {"EFF", "效率迭代初值EFF（非制造公差）"},
};

// "1998/2000（99.9%）"
std::string Share(std::uint64_t count, std::uint64_t total) {
  return std::to_string(count) + "/" + std::to_string(total) + "（" + SharePercent(count, total) +
         "）";
}

// `text` followed by spaces up to `width` columns (ASCII only).
std::string Cell(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + " ";
}

std::string Number(double value) { return std::isfinite(value) ? ShortNumber(value) : "—"; }

// The name the CSV gives an input: the efficiency the iteration started
// from is no result column.
std::string CsvInputName(std::size_t input) {
  std::string_view name = ToleranceInputs()[input].name;
  bool shared = std::find(studies::kToleranceResults.begin(), studies::kToleranceResults.end(),
                          name) != studies::kToleranceResults.end();
  return (shared ? "input " : "") + std::string(name);
}

}  // namespace

std::string SharePercent(std::uint64_t count, std::uint64_t total) {
  return design::FixedText(100 * static_cast<double>(count) / static_cast<double>(total), 1) + "%";
}

std::string_view ToleranceInputCaption(std::size_t input) {
  std::string_view name = ToleranceInputs()[input].name;
  for (const InputWords& words : kInputWords)
    if (words.name == name) return words.caption;
  return name;
}

std::string SpreadText(const studies::Spread& spread) {
  switch (spread.kind) {
    case studies::SpreadKind::Absolute:
      return "±" + design::ShortestText(spread.value);
    case studies::SpreadKind::Percent:
      return "±" + design::ShortestText(spread.value) + "%";
    case studies::SpreadKind::GeneralFine:
      return "ISO 2768-1 f级";
  }
  return "";
}

std::string_view DistributionText() {
  return "各输入按正态分布抽样，公差取3σ，截断于±3σ（超出者重抽），各输入相互独立";
}

std::string WorkshopToleranceLines() {
  std::string out;
  for (std::size_t i = 0; i < ToleranceInputs().size(); ++i)
    out += "    " + Cell(std::string(ToleranceInputs()[i].name), 6) +
           Cell(SpreadText(ToleranceInputs()[i].workshop), 16) +
           std::string(ToleranceInputCaption(i)) + "\n";
  auto fine = [](double size) { return design::ShortestText(studies::GeneralFineTolerance(size)); };
  return out + "    ISO 2768-1 f级：尺寸不大于6 mm时±" + fine(6) + " mm，6~30 mm时±" + fine(30) +
         " mm，30~120 mm时±" + fine(120) + " mm；为0的尺寸（槽没有的部分）不变\n";
}

// ---- The summary -----------------------------------------------------------

namespace {

std::string SpreadLines(const ToleranceResult& r) {
  std::string out = "各输入的公差（名义值 ± 公差）：\n", fixed;
  for (std::size_t i = 0; i < r.spreads.size(); ++i) {
    const studies::AppliedSpread& s = r.spreads[i];
    std::string name(ToleranceInputs()[i].name);
    if (!s.varied()) {
      fixed += " " + name;
      continue;
    }
    out += "  " + Cell(name, 6) +
           Cell(ShortNumber(s.nominal) + " ± " + ShortNumber(s.tolerance), 22) +
           std::string(ToleranceInputCaption(i)) + "\n";
  }
  if (!fixed.empty()) out += "  不变（为0或公差为0）：" + fixed.substr(1) + "\n";
  return out;
}

// A rule's row: its name, the samples that met it, the share, its caption.
std::string YieldRow(std::string_view name, std::uint64_t met, std::uint64_t n, bool checked,
                     std::string_view caption) {
  std::string out = "  " + Cell(std::string(name), 6);
  if (!checked) return out + Cell("-", 11) + Cell("", 7) + std::string(caption) + "（未校核）\n";
  return out + Cell(std::to_string(met) + "/" + std::to_string(n), 11) +
         Cell(SharePercent(met, n), 7) + std::string(caption) + "\n";
}

std::string YieldLines(const ToleranceResult& r) {
  const std::uint64_t n = r.samples.size();
  std::string out = "合格率（合格样本数/样本数）：\n";
  for (const studies::RuleYield& rule : r.rules)
    out += YieldRow(rule.name, rule.met, n, rule.checked, rule.caption);
  return out + YieldRow("ALL", r.passed, n, true, "全部校核项合格");
}

std::string Rho(double rho) { return (rho >= 0 ? "+" : "") + design::FixedText(rho, 2); }

std::string ResultLine(const studies::ResultSpread& q) {
  std::string out = "  " + Cell(std::string(q.name), 6) + Cell(Number(q.nominal), 10) +
                    Cell(std::to_string(q.count), 6) + Cell(Number(q.mean), 10) +
                    Cell(Number(q.sd), 11) + Cell(Number(q.p05), 10) + Cell(Number(q.p95), 10);
  for (std::size_t k = 0; k < std::min<std::size_t>(q.ranking.size(), 3); ++k)
    out +=
        " " + std::string(ToleranceInputs()[q.ranking[k].input].name) + " " + Rho(q.ranking[k].rho);
  return out + "\n";
}

std::string ResultLines(const ToleranceResult& r) {
  std::string out =
      "结果分布（计算完成且可信的样本）：\n"
      "  量     名义值     样本数 平均值     标准差      5%         95%         "
      "影响最大的输入（秩相关系数）\n";
  for (const studies::ResultSpread& q : r.results) out += ResultLine(q);
  return out;
}

std::string TestLines(const ToleranceResult& r) {
  const studies::TestTolerance& t = r.test;
  const std::uint64_t n = r.samples.size();
  auto percent = [](double x) { return design::FixedText(100 * x, 2) + "%"; };
  std::string out = "IEC 60034-1 试验容差：标称效率取名义设计的计算效率" + percent(t.declared) +
                    "，试验效率可低于标称值" + design::ShortestText(100 * t.share_of_losses) +
                    "%·(1−η)，即不低于" + percent(t.lowest) + "：" + Share(t.within, n) + "\n";
  if (!t.declared_class.limits.classified()) return out + "标称能效等级：该额定值不分能效等级\n";
  if (!t.ClassDeclared()) return out + "标称能效等级：名义设计低于IE2，没有可标称的等级\n";
  std::string name(studies::ClassName(t.declared_class.reached));
  return out + "标称能效等级" + name + "（名义设计达到的等级）：效率达到" + name + "的 " +
         Share(t.reach_class, n) + "\n";
}

}  // namespace

namespace {

std::string HeadLine(const ToleranceResult& r) {
  return "公差分析：" + std::to_string(r.samples.size()) + "个样本，种子" + std::to_string(r.seed) +
         "；" + std::string(DistributionText()) + "\n";
}

std::string FaultLine(const ToleranceResult& r) {
  return "计算中断 " + std::to_string(r.faulted) + " 个，结果不可信 " +
         std::to_string(r.untrusted) + " 个（都计为不合格）\n";
}

}  // namespace

std::string ToleranceText(const ToleranceResult& r) {
  return HeadLine(r) + SpreadLines(r) + FaultLine(r) + YieldLines(r) + ResultLines(r) +
         TestLines(r);
}

std::string ToleranceYieldText(const ToleranceResult& r) {
  return HeadLine(r) + FaultLine(r) + YieldLines(r);
}

std::string ToleranceYieldLine(const ToleranceResult& r) {
  const std::uint64_t n = r.samples.size();
  return "公差分析（" + std::to_string(n) + "个样本）：全部校核项合格 " + Share(r.passed, n);
}

// ---- CSV -------------------------------------------------------------------

namespace {

void AppendFailedRules(const ToleranceResult& r, const studies::ToleranceSample& s,
                       std::string& out) {
  bool any = false;
  for (std::size_t j = 0; j < r.rules.size(); ++j) {
    if (s.outcomes[j] != studies::CheckLine::Outcome::Fail &&
        s.outcomes[j] != studies::CheckLine::Outcome::Untrusted)
      continue;
    if (any) out += ';';
    out += r.rules[j].name;
    any = true;
  }
  if (!any) out += "ok";
}

void AppendSample(const ToleranceResult& r, std::size_t k, std::string& out) {
  const studies::ToleranceSample& s = r.samples[k];
  out += std::to_string(k + 1);
  for (std::size_t i = 0; i < r.spreads.size(); ++i) {
    if (!r.spreads[i].varied()) continue;
    out += ',';
    AppendRoundTrip(out, r.Drawn(k, i));
  }
  for (double value : s.results) {
    out += ',';
    if (s.ran && std::isfinite(value)) AppendRoundTrip(out, value);
  }
  out += ',';
  if (s.ran && r.test.declared_class.limits.classified())
    AppendCsvField(out, studies::ClassName(s.reached));
  out += s.ran ? (s.within_test_tolerance ? ",ok," : ",fail,") : ",,";
  if (s.ran) AppendFailedRules(r, s, out);
  out += ',';
  AppendCsvField(out, s.fault);
  out += "\r\n";
}

}  // namespace

std::string ToleranceCsv(const ToleranceResult& r) {
  std::string out = "sample";
  for (std::size_t i = 0; i < r.spreads.size(); ++i)
    if (r.spreads[i].varied()) out += "," + CsvField(CsvInputName(i));
  for (std::string_view name : studies::kToleranceResults) out += "," + std::string(name);
  out += ",IE,IEC,check,fault\r\n";
  for (std::size_t k = 0; k < r.samples.size(); ++k) AppendSample(r, k, out);
  return out;
}

// ---- JSON ------------------------------------------------------------------

namespace {

std::string Yield(std::uint64_t count, std::uint64_t total) {
  return JsonNumber(static_cast<double>(count) / static_cast<double>(total));
}

std::string TolerancesJson(const ToleranceResult& r) {
  std::string out = "  \"tolerances\": [";
  for (std::size_t i = 0; i < r.spreads.size(); ++i)
    out += std::string(i ? ",\n    " : "\n    ") +
           "{\"name\": " + JsonString(ToleranceInputs()[i].name) +
           ", \"nominal\": " + JsonNumber(r.spreads[i].nominal) +
           ", \"tolerance\": " + JsonNumber(r.spreads[i].tolerance) + "}";
  return out + "\n  ]";
}

std::string RulesJson(const ToleranceResult& r) {
  const std::uint64_t n = r.samples.size();
  std::string out = "  \"rules\": [";
  for (std::size_t j = 0; j < r.rules.size(); ++j) {
    const studies::RuleYield& rule = r.rules[j];
    out += std::string(j ? ",\n    " : "\n    ") + "{\"name\": " + JsonString(rule.name) +
           ", \"caption\": " + JsonString(rule.caption) +
           ", \"checked\": " + (rule.checked ? "true" : "false") +
           ", \"met\": " + std::to_string(rule.met) +
           ", \"yield\": " + (rule.checked ? Yield(rule.met, n) : "null") + "}";
  }
  return out + "\n  ]";
}

std::string RankingJson(const studies::ResultSpread& q) {
  std::string out = "[";
  for (std::size_t k = 0; k < q.ranking.size(); ++k)
    out += std::string(k ? ", " : "") +
           "{\"input\": " + JsonString(ToleranceInputs()[q.ranking[k].input].name) +
           ", \"rho\": " + JsonNumber(q.ranking[k].rho) + "}";
  return out + "]";
}

std::string ResultsJson(const ToleranceResult& r) {
  std::string out = "  \"results\": [";
  for (std::size_t j = 0; j < r.results.size(); ++j) {
    const studies::ResultSpread& q = r.results[j];
    out += std::string(j ? ",\n    " : "\n    ") + "{\"name\": " + JsonString(q.name) +
           ", \"nominal\": " + JsonNumber(q.nominal) + ", \"count\": " + std::to_string(q.count) +
           ", \"mean\": " + JsonNumber(q.mean) + ", \"sd\": " + JsonNumber(q.sd) +
           ", \"p05\": " + JsonNumber(q.p05) + ", \"p95\": " + JsonNumber(q.p95) +
           ", \"sensitivity\": " + RankingJson(q) + "}";
  }
  return out + "\n  ]";
}

std::string TestJson(const ToleranceResult& r) {
  const studies::TestTolerance& t = r.test;
  const std::uint64_t n = r.samples.size();
  bool declared = t.ClassDeclared();
  return "  \"iec_test\": {\"declared\": " + JsonNumber(t.declared) +
         ", \"share_of_losses\": " + JsonNumber(t.share_of_losses) +
         ", \"lowest\": " + JsonNumber(t.lowest) + ", \"within\": " + std::to_string(t.within) +
         ", \"yield\": " + Yield(t.within, n) + ", \"declared_class\": " +
         (declared ? JsonString(studies::ClassName(t.declared_class.reached)) : "null") +
         ", \"reach_class\": " + (declared ? std::to_string(t.reach_class) : "null") +
         ", \"class_yield\": " + (declared ? Yield(t.reach_class, n) : "null") + "}";
}

}  // namespace

std::string ToleranceJson(const ToleranceResult& r) {
  const std::uint64_t n = r.samples.size();
  return "{\n  \"samples\": " + std::to_string(n) + ",\n  \"seed\": " + std::to_string(r.seed) +
         ",\n  \"distribution\": \"normal, tolerance = 3 sigma, truncated at 3 sigma\",\n" +
         TolerancesJson(r) + ",\n  \"faulted\": " + std::to_string(r.faulted) +
         ",\n  \"untrusted\": " + std::to_string(r.untrusted) +
         ",\n  \"passed\": " + std::to_string(r.passed) + ",\n  \"yield\": " + Yield(r.passed, n) +
         ",\n" + RulesJson(r) + ",\n" + ResultsJson(r) + ",\n" + TestJson(r) + "\n}\n";
}

}  // namespace velmora::report
