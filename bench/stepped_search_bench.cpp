// The optimiser against a plain sweep on a stepped space: the 4-pole 5.5 kW
// example with every input on the steps a workshop would give (core length
// L 80–200 mm by 1 mm, bore DI1 130–175 mm by 0.5 mm, conductors per slot Z
// 36–56 by 2, slot width BS2 8–11 mm and height HS12 14–18 mm by 0.1 mm, air
// gap G 0.30–0.50 mm by 0.01 mm), reaching IE2, on 2 threads, with the
// default budget. The sweep takes as many evaluations as the search used,
// spread evenly over the same steps (the levels of each input as even as the
// count allows). Fails unless the search is at least as good as the sweep's
// best, for the lowest cost and for the highest efficiency.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

#include "velmora/design/input_file.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/sweep.h"

namespace {

using namespace velmora;
using studies::OptimiseObjective;
namespace field = design::field;

struct Steps {
  int field;
  double from, to, step;
};
constexpr Steps kSpace[] = {{field::L, 80, 200, 1},     {field::DI1, 130, 175, 0.5},
                            {field::Z, 36, 56, 2},      {field::BS2, 8, 11, 0.1},
                            {field::HS12, 14, 18, 0.1}, {field::G, 0.30, 0.50, 0.01}};

studies::OptimiseProblem Problem(OptimiseObjective objective) {
  studies::OptimiseProblem problem;
  problem.base = design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
  for (const Steps& s : kSpace)
    problem.variables.push_back(studies::SteppedVariable(s.field, s.from, s.to, s.step));
  problem.objective = objective;
  problem.check.required_class = studies::EfficiencyClass::IE2;
  return problem;
}

// A sweep of at most `points` points over the variables' own values: one
// more level at a time to the input with the fewest, each level set evenly
// across the values from first to last.
studies::SweepGrid EvenGrid(const studies::OptimiseProblem& problem, std::uint64_t points) {
  std::vector<std::uint64_t> levels(problem.variables.size(), 1);
  for (std::uint64_t size = 1;;) {
    std::size_t pick = levels.size();
    for (std::size_t i = 0; i < levels.size(); ++i)
      if (levels[i] < problem.variables[i].Count() &&
          (pick == levels.size() || levels[i] < levels[pick]))
        pick = i;
    if (pick == levels.size() || size / levels[pick] * (levels[pick] + 1) > points) break;
    size = size / levels[pick] * (levels[pick] + 1);
    ++levels[pick];
  }
  std::vector<studies::SweepAxis> axes;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const studies::OptimiseVariable& v = problem.variables[i];
    std::vector<double> values;
    for (std::uint64_t k = 0; k < levels[i]; ++k) {
      double at = levels[i] == 1 ? 0.5 : double(k) / double(levels[i] - 1);
      values.push_back(v.At(static_cast<std::uint64_t>(std::lround(at * double(v.Count() - 1)))));
    }
    axes.push_back(studies::SweepAxis::List(v.field, values));
  }
  return studies::SweepGrid(std::move(axes));
}

// The sweep's best design for the objective of `problem`.
double SweepBest(const studies::OptimiseProblem& problem, const studies::SweepGrid& grid) {
  std::mutex mutex;
  studies::Assessment best;
  studies::SweepOptions options;
  options.threads = 2;
  studies::RunSweep(
      problem.base, grid, options,
      [&](const studies::SweepRow& row, std::string&) {
        if (!row.ok) return;
        studies::Assessment a = studies::Assess(problem, row.state, false);
        std::lock_guard lock(mutex);
        if (a.Feasible() && (!best.Feasible() || studies::Better(a, best, problem.objective)))
          best = a;
      },
      [](std::string_view) {});
  if (!best.Feasible()) return std::nan("");
  return problem.objective == OptimiseObjective::Cost ? best.cost : best.EFF;
}

void BM_SteppedSearchAgainstSweep(benchmark::State& bench, OptimiseObjective objective) {
  studies::OptimiseProblem problem = Problem(objective);
  studies::OptimiseOptions options;
  options.threads = 2;
  studies::OptimiseResult result;
  for (auto _ : bench) result = studies::Optimise(problem, options);
  studies::SweepGrid grid = EvenGrid(problem, result.evaluations);
  double sweep = SweepBest(problem, grid);
  bool cost = objective == OptimiseObjective::Cost;
  double search = cost ? result.best.cost : result.best.EFF;
  bench.counters["evaluations"] = double(result.evaluations);
  bench.counters["sweep_points"] = double(grid.size());
  bench.counters["search"] = search;
  bench.counters["sweep"] = sweep;
  for (std::size_t i = 0; i < result.values.size(); ++i)
    bench.counters[design::kFieldInfo[problem.variables[i].field].name] = result.values[i];
  bool worse = cost ? search > sweep : search < sweep;
  if (!result.Feasible() || worse) bench.SkipWithError("the search is worse than the sweep's best");
}

BENCHMARK_CAPTURE(BM_SteppedSearchAgainstSweep, cost, OptimiseObjective::Cost)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SteppedSearchAgainstSweep, efficiency, OptimiseObjective::Efficiency)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
