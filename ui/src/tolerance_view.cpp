#include "velmora/ui/tolerance_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "velmora/calc/calculation.h"
#include "velmora/design/design_input.h"
#include "velmora/report/tolerance_output.h"
#include "velmora/report/validity_text.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

using Status = LastCalculation::Status;
using Mark = ToleranceView::Mark;
using Rows = std::vector<ToleranceView::Row>;
using report::ShortNumber;
using studies::ToleranceResult;

// The lines stand this share of the axis in from its ends.
constexpr double kAxisMargin = 0.04;

// A value in a chart's legend: short enough for four charts beside the tables.
std::string LegendNumber(double value) { return design::SignificantText(value, 4); }

// ---- The histograms --------------------------------------------------------

std::size_t ResultIndex(std::string_view name) {
  const auto& names = studies::kToleranceResults;
  return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// The result of every sample that ran, can be trusted and has it: the
// samples behind the result's spread.
std::vector<double> TrustedValues(const ToleranceResult& r, std::size_t q) {
  std::vector<double> values;
  for (const studies::ToleranceSample& s : r.samples)
    if (s.trustworthy && std::isfinite(s.results[q])) values.push_back(s.results[q]);
  return values;
}

// The rule's limit as the check judges the nominal design, when it is checked.
std::vector<Mark> RuleLimits(const ToleranceResult& r, int rule) {
  const studies::CheckLine& line = r.nominal_check.lines[rule];
  if (line.outcome == studies::CheckLine::Outcome::NotChecked) return {};
  const char* bound = line.bound == studies::CheckLine::Bound::AtLeast ? " ≥ " : " ≤ ";
  return {{line.limit, "限值" + (bound + LegendNumber(line.limit))}};
}

// The efficiency's class limit, per unit like the efficiency.
void AddClassLimit(const ToleranceResult& r, std::vector<Mark>& limits) {
  const studies::CheckLine& line = r.nominal_check.lines[studies::DesignCheck::kClassRule];
  if (line.outcome == studies::CheckLine::Outcome::NotChecked) return;
  const std::string_view name = studies::ClassName(r.nominal_check.efficiency_class.required);
  limits.push_back({line.limit / 100, std::string(name) + " ≥ " + LegendNumber(line.limit / 100)});
}

std::vector<ToleranceView::Histogram> Histograms(const ToleranceResult& r) {
  std::vector<ToleranceView::Histogram> out;
  for (const HistogramRule& shown : kToleranceHistograms) {
    const std::size_t q = ResultIndex(shown.result);
    std::vector<Mark> limits = RuleLimits(r, shown.rule);
    if (std::string_view(shown.result) == "EFF") AddClassLimit(r, limits);
    const Mark nominal{r.nominal[q], "名义值 " + LegendNumber(r.nominal[q])};
    ToleranceView::Histogram h = BinHistogram(TrustedValues(r, q), nominal, limits);
    h.name = shown.result;
    h.title = QuantityTitle(shown.result);
    out.push_back(std::move(h));
  }
  return out;
}

// ---- The tables ------------------------------------------------------------

std::string Count(std::uint64_t met, std::uint64_t n) {
  return std::to_string(met) + "/" + std::to_string(n);
}

ToleranceView::Row YieldRow(std::string caption, const char* checked, std::uint64_t met,
                            std::uint64_t n) {
  return {std::move(caption), {checked, Count(met, n), report::SharePercent(met, n)}};
}

// The class the nameplate would declare, and the motors that reach it.
ToleranceView::Row DeclaredClassRow(const studies::TestTolerance& t, std::uint64_t n) {
  if (!t.declared_class.limits.classified())
    return {"标称能效等级：该额定值不分等级", {"", "", ""}};
  if (!t.ClassDeclared()) return {"标称能效等级：名义设计低于IE2", {"", "", ""}};
  return YieldRow("效率达到标称等级" + std::string(studies::ClassName(t.declared_class.reached)),
                  "", t.reach_class, n);
}

Rows YieldRows(const ToleranceResult& r) {
  const std::uint64_t n = r.samples.size();
  Rows rows;
  for (const studies::RuleYield& rule : r.rules) {
    const std::string caption = std::string(rule.caption) + " " + std::string(rule.name);
    if (!rule.checked) {
      rows.push_back({caption, {"未校核", "", ""}});
      continue;
    }
    rows.push_back(YieldRow(caption, "是", rule.met, n));
  }
  rows.push_back(YieldRow("全部校核项", "是", r.passed, n));
  rows.push_back(
      YieldRow("IEC试验容差：效率 ≥ " + ShortNumber(r.test.lowest), "", r.test.within, n));
  rows.push_back(DeclaredClassRow(r.test, n));
  return rows;
}

std::string Rho(double rho) { return (rho >= 0 ? "+" : "") + design::FixedText(rho, 2); }

// Each result with the three inputs that move it most: "G +0.85".
Rows RankingRows(const ToleranceResult& r) {
  Rows rows;
  for (const studies::ResultSpread& q : r.results) {
    ToleranceView::Row row{QuantityLabel(q.name), {}};
    for (std::size_t k = 0; k < std::size(kRankingHeadings); ++k) {
      row.values.push_back(k < q.ranking.size()
                               ? std::string(studies::ToleranceInputs()[q.ranking[k].input].name) +
                                     " " + Rho(q.ranking[k].rho)
                               : "");
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string AnalysedStatus(const ToleranceView& view, const ToleranceResult& r) {
  return "上次电磁计算的公差分析：" + view.design + "，" + std::to_string(r.samples.size()) +
         "个样本（种子" + std::to_string(r.seed) + "），计算中断" + std::to_string(r.faulted) +
         "个，结果不可信" + std::to_string(r.untrusted) + "个（都计为不合格）。车间常用公差；" +
         std::string(report::DistributionText()) + "。";
}

}  // namespace

std::uint64_t ToleranceView::Histogram::Highest() const {
  return counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
}

ToleranceView::Histogram BinHistogram(std::span<const double> values, const Mark& nominal,
                                      const std::vector<Mark>& limits) {
  ToleranceView::Histogram h;
  h.nominal = nominal;
  h.limits = limits;
  double low = nominal.value, high = nominal.value;
  for (const Mark& limit : limits) {
    low = std::min(low, limit.value);
    high = std::max(high, limit.value);
  }
  if (!values.empty()) {
    const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
    h.low = *least;
    h.width = (*greatest - *least) / kHistogramBins;
    // Motors all alike: one narrow bin about their value.
    if (!(h.width > 0)) {
      h.width = (std::fabs(h.low) + 1) * 1e-4;
      h.low -= h.width * (kHistogramBins / 2);
    }
    h.counts.assign(kHistogramBins, 0);
    for (double v : values) {
      const auto bin = static_cast<std::size_t>((v - h.low) / h.width);
      ++h.counts[std::min<std::size_t>(bin, kHistogramBins - 1)];
    }
    low = std::min(low, h.low);
    high = std::max(high, h.low + h.width * kHistogramBins);
  }
  const double margin = high > low ? kAxisMargin * (high - low) : (std::fabs(low) + 1) * 1e-2;
  h.axis_low = low - margin;
  h.axis_high = high + margin;
  return h;
}

ToleranceView MakeToleranceView(const LastCalculation& last, const ToleranceChoice& choice,
                                const studies::CheckOptions& asked, const std::string& folder) {
  ToleranceView view;
  view.choice = choice;
  if (last.status != Status::NeverRun) view.design = DesignName(last.input);
  calc::CalculationState run;
  if (std::optional<std::string> none = RepeatLastRun(last, "公差分析", "公差分析结果", run)) {
    view.status = *none;
    return view;
  }
  studies::ToleranceOptions options;
  options.samples = choice.samples;
  options.seed = choice.seed;
  std::string thermal_error;
  options.check = WithThermalData(asked, folder, thermal_error);
  ToleranceResult r;
  try {
    r = studies::AnalyseTolerances(last.input, options);
  } catch (const studies::ToleranceError& error) {
    view.status = std::string("没有进行公差分析：") + error.what();
    return view;
  }
  if (r.nominal_fault) {
    view.status = "公差分析中断：" + r.nominal_fault->message;
    return view;
  }
  view.drawn = true;
  view.status = AnalysedStatus(view, r) + thermal_error;
  view.histograms = Histograms(r);
  view.yields = YieldRows(r);
  view.rankings = RankingRows(r);
  return view;
}

std::optional<std::string> ReadToleranceChoice(const std::string& samples, const std::string& seed,
                                               ToleranceChoice& choice) {
  constexpr std::uint64_t kMostSeed = std::numeric_limits<std::uint64_t>::max();
  const std::optional<std::uint64_t> n =
      WholeNumber(samples, kMinWindowSamples, studies::kMaxToleranceSamples);
  if (!n) return NotWhole("样本数", kMinWindowSamples, studies::kMaxToleranceSamples, samples);
  const std::optional<std::uint64_t> s = WholeNumber(seed, 0, kMostSeed);
  if (!s) return NotWhole("种子", 0, kMostSeed, seed);
  choice = {*n, *s};
  return std::nullopt;
}

}  // namespace velmora::ui
