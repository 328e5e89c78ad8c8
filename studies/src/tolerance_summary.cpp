// The sums of a tolerance analysis.
#include "tolerance_summary.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

#include "parallel_tasks.h"

namespace velmora::studies {

namespace {

constexpr std::size_t kEFF = 0;  // the efficiency's column of the results
static_assert(kToleranceResults[kEFF] == "EFF");

// IEC 60034-1, tolerances on declared values, efficiency η: a tested motor
// may fall short of the declared η by this share of its losses (1 − η), by
// rated output.
struct EfficiencyTolerance {
  double up_to_kW, share_of_losses;
};
constexpr EfficiencyTolerance kEfficiencyTolerance[] = {
    {150, 0.15},
    {std::numeric_limits<double>::infinity(), 0.10},
};

double ShareOfLosses(double Pn) {
  for (const EfficiencyTolerance& row : kEfficiencyTolerance)
    if (Pn <= row.up_to_kW) return row.share_of_losses;
  return std::end(kEfficiencyTolerance)[-1].share_of_losses;
}

// ---- Statistics ------------------------------------------------------------

// The q-quantile of sorted values, interpolated linearly between the order
// statistics (Hyndman and Fan's definition 7, R's default).
double Quantile(const std::vector<double>& sorted, double q) {
  double position = q * static_cast<double>(sorted.size() - 1);
  auto below = static_cast<std::size_t>(position);
  if (below + 1 >= sorted.size()) return sorted.back();
  double fraction = position - static_cast<double>(below);
  double step = sorted[below + 1] - sorted[below];
  return sorted[below] + fraction * step;
}

void Describe(std::vector<double> values, ResultSpread& out) {
  out.count = values.size();
  if (values.empty()) {
    out.mean = out.sd = out.p05 = out.p95 = std::nan("");
    return;
  }
  const auto n = static_cast<double>(values.size());
  // Summed about the first value: equal values give their value and no
  // spread exactly, and near values lose no digits.
  const double first = values.front();
  double sum = 0;
  for (double v : values) sum += v - first;
  out.mean = first + sum / n;
  double squares = 0;
  for (double v : values) {
    double deviation = v - out.mean;
    squares += deviation * deviation;
  }
  out.sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0;
  std::sort(values.begin(), values.end());
  out.p05 = Quantile(values, 0.05);
  out.p95 = Quantile(values, 0.95);
}

// Ranks from 1; tied values share their mean rank.
std::vector<double> Ranks(const std::vector<double>& values) {
  std::vector<std::pair<double, std::size_t>> order(values.size());
  for (std::size_t k = 0; k < values.size(); ++k) order[k] = {values[k], k};
  std::sort(order.begin(), order.end());
  std::vector<double> ranks(values.size());
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i;
    while (j + 1 < order.size() && order[j + 1].first == order[i].first) ++j;
    double rank = static_cast<double>(i + j) / 2 + 1;
    for (std::size_t m = i; m <= j; ++m) ranks[order[m].second] = rank;
    i = j + 1;
  }
  return ranks;
}

// Pearson's correlation; of two rank lists, Spearman's ρ. NaN when either
// list is constant.
double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const auto n = static_cast<double>(a.size());
  double mean_a = std::accumulate(a.begin(), a.end(), 0.0) / n;
  double mean_b = std::accumulate(b.begin(), b.end(), 0.0) / n;
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    double da = a[i] - mean_a, db = b[i] - mean_b;
    ab += da * db;
    aa += da * da;
    bb += db * db;
  }
  if (aa == 0 || bb == 0) return std::nan("");
  return ab / std::sqrt(aa * bb);
}

// ---- Sums ------------------------------------------------------------------

void CountSamples(ToleranceResult& r) {
  for (const CheckLine& line : r.nominal_check.lines)
    r.rules.push_back({line.name, line.caption, line.outcome != CheckLine::Outcome::NotChecked, 0});
  for (const ToleranceSample& s : r.samples) {
    if (!s.ran) {
      ++r.faulted;
      continue;
    }
    if (!s.trustworthy) ++r.untrusted;
    if (s.passed) ++r.passed;
    for (std::size_t j = 0; j < r.rules.size(); ++j)
      if (s.outcomes[j] == CheckLine::Outcome::Pass) ++r.rules[j].met;
  }
}

// The ranks of every varied input over the samples `behind`, an input a task.
std::vector<std::vector<double>> InputRanks(const ToleranceResult& r,
                                            const std::vector<std::size_t>& behind,
                                            unsigned threads) {
  std::vector<std::vector<double>> ranks(r.spreads.size());
  RunParallel(r.spreads.size(), threads, [&](std::size_t i) {
    if (!r.spreads[i].varied()) return;
    std::vector<double> x;
    x.reserve(behind.size());
    for (std::size_t k : behind) x.push_back(r.Drawn(k, i));
    ranks[i] = Ranks(x);
  });
  return ranks;
}

std::vector<Sensitivity> Ranking(const std::vector<std::vector<double>>& input_ranks,
                                 const std::vector<double>& result_ranks) {
  std::vector<Sensitivity> ranking;
  for (std::size_t i = 0; i < input_ranks.size(); ++i) {
    if (input_ranks[i].empty()) continue;
    double rho = Correlation(input_ranks[i], result_ranks);
    if (!std::isnan(rho)) ranking.push_back({i, rho});
  }
  std::stable_sort(ranking.begin(), ranking.end(), [](const Sensitivity& a, const Sensitivity& b) {
    return std::fabs(a.rho) > std::fabs(b.rho);
  });
  return ranking;
}

// Each result over the samples that ran, can be trusted and have it.
void DescribeResults(ToleranceResult& r, unsigned threads) {
  std::vector<std::size_t> trusted;
  for (std::size_t k = 0; k < r.samples.size(); ++k)
    if (r.samples[k].trustworthy) trusted.push_back(k);
  const std::vector<std::vector<double>> trusted_ranks = InputRanks(r, trusted, threads);
  for (std::size_t q = 0; q < kToleranceResultCount; ++q) {
    ResultSpread& out = r.results[q];
    out.name = kToleranceResults[q];
    out.nominal = r.nominal[q];
    std::vector<std::size_t> behind;
    std::vector<double> values;
    for (std::size_t k : trusted) {
      if (!std::isfinite(r.samples[k].results[q])) continue;
      behind.push_back(k);
      values.push_back(r.samples[k].results[q]);
    }
    // A result every trusted sample has shares the inputs' ranks.
    if (values.size() > 2)
      out.ranking =
          Ranking(behind.size() == trusted.size() ? trusted_ranks : InputRanks(r, behind, threads),
                  Ranks(values));
    Describe(std::move(values), out);
  }
}

// The test against the declared efficiency and class.
void JudgeTest(const CalculationState& nominal, ToleranceResult& r) {
  TestTolerance& t = r.test;
  t.declared = r.nominal[kEFF];
  t.share_of_losses = ShareOfLosses(nominal.in.Pn.value);
  double losses = 1 - t.declared;
  double allowance = t.share_of_losses * losses;
  t.lowest = t.declared - allowance;
  t.declared_class =
      ClassifyEfficiency(t.declared, nominal.in.Pn.value, nominal.in.P.value, nominal.in.f.value);
  for (ToleranceSample& s : r.samples) {
    bool judged = s.ran && s.efficiency_trusted;
    s.within_test_tolerance = judged && s.results[kEFF] >= t.lowest;
    if (s.within_test_tolerance) ++t.within;
    if (judged && t.ClassDeclared() && s.reached >= t.declared_class.reached) ++t.reach_class;
  }
}

}  // namespace

void Summarise(const CalculationState& nominal, unsigned threads, ToleranceResult& result) {
  CountSamples(result);
  DescribeResults(result, threads);
  JudgeTest(nominal, result);
}

}  // namespace velmora::studies
