// Design optimisation of the 4-pole 5.5 kW example over six inputs: core
// length L 130–200 mm, bore DI1 130–148 mm, conductors per slot Z 36–56
// (whole numbers), slot width BS2 8–11 mm, slot height HS12 14–18 mm and air
// gap G 0.30–0.35 mm, with the design's own targets, on 2 threads:
//   efficiency  the highest efficiency, no class asked;
//   cost_IE2    the lowest material cost reaching IE2;
//   cost_IE3    the same for IE3 (its counters say whether it was reached).
// Each run's counters give the objective and the inputs found. Front finds
// the cost–efficiency front of 12 levels reaching IE2 on the same space.
// RobustCost asks the IE2 design for a yield of 95 % of 64 motors within the
// workshop's tolerances; its counters give the cost and yield of the robust
// answer beside those of cost_IE2's answer on the same motors.
// DenseSweep computes the same space on a grid of 10 million points (L every
// 2 mm, DI1 every 1 mm, every Z, BS2 every 0.25 mm, HS12 every 0.5 mm, G every
// 0.01 mm) and fails unless both searches are at least as good as its best.
#include <benchmark/benchmark.h>

#include <mutex>
#include <string>

#include "velmora/design/input_file.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/pareto_front.h"
#include "velmora/studies/sweep.h"

namespace {

using namespace velmora;
using studies::OptimiseObjective;
namespace field = design::field;

struct Bounds {
  int field;
  double from, to, dense_step;
};
constexpr Bounds kSpace[] = {{field::L, 130, 200, 2},    {field::DI1, 130, 148, 1},
                             {field::Z, 36, 56, 1},      {field::BS2, 8, 11, 0.25},
                             {field::HS12, 14, 18, 0.5}, {field::G, 0.30, 0.35, 0.01}};

studies::OptimiseProblem Problem(OptimiseObjective objective,
                                 std::optional<studies::EfficiencyClass> c) {
  studies::OptimiseProblem problem;
  problem.base = design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
  for (const Bounds& b : kSpace)
    problem.variables.push_back(studies::RangeVariable(b.field, b.from, b.to));
  problem.objective = objective;
  problem.check.required_class = c;
  problem.check.check_class = c.has_value();
  return problem;
}

studies::OptimiseResult Run(const studies::OptimiseProblem& problem) {
  studies::OptimiseOptions options;
  options.threads = 2;
  return studies::Optimise(problem, options);
}

void Report(benchmark::State& bench, const studies::OptimiseProblem& problem,
            const studies::OptimiseResult& result) {
  bench.counters["feasible"] = result.Feasible();
  bench.counters["cost"] = result.best.cost;
  bench.counters["EFF"] = result.best.EFF;
  bench.counters["violation"] = result.best.Violation();
  bench.counters["evaluations"] = double(result.evaluations);
  for (std::size_t i = 0; i < result.values.size(); ++i)
    bench.counters[design::kFieldInfo[problem.variables[i].field].name] = result.values[i];
}

void BM_Optimise(benchmark::State& bench, OptimiseObjective objective,
                 std::optional<studies::EfficiencyClass> c) {
  studies::OptimiseProblem problem = Problem(objective, c);
  studies::OptimiseResult result;
  for (auto _ : bench) result = Run(problem);
  Report(bench, problem, result);
}

BENCHMARK_CAPTURE(BM_Optimise, efficiency, OptimiseObjective::Efficiency, std::nullopt)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Optimise, cost_IE2, OptimiseObjective::Cost, studies::EfficiencyClass::IE2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Optimise, cost_IE3, OptimiseObjective::Cost, studies::EfficiencyClass::IE3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The cost–efficiency front of 12 levels on the same space, reaching IE2.
void BM_Front(benchmark::State& bench) {
  studies::FrontOptions options;
  options.run.threads = 2;
  studies::OptimiseProblem problem =
      Problem(OptimiseObjective::Cost, studies::EfficiencyClass::IE2);
  studies::Front front;
  for (auto _ : bench) front = studies::FindFront(problem, options);
  bench.counters["points"] = double(front.points.size());
  bench.counters["evaluations"] = double(front.evaluations);
  if (front.points.empty()) return bench.SkipWithError("no design reaches IE2");
  bench.counters["cost_low"] = front.points.front().assessment.cost;
  bench.counters["EFF_low"] = front.points.front().assessment.EFF;
  bench.counters["cost_high"] = front.points.back().assessment.cost;
  bench.counters["EFF_high"] = front.points.back().assessment.EFF;
}

BENCHMARK(BM_Front)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_RobustCost(benchmark::State& bench) {
  studies::OptimiseProblem nominal =
      Problem(OptimiseObjective::Cost, studies::EfficiencyClass::IE2);
  studies::OptimiseProblem robust = nominal;
  robust.robust = studies::RobustRequirement{0.95, {}, 64, 1};
  studies::OptimiseResult result;
  for (auto _ : bench) result = Run(robust);
  Report(bench, robust, result);
  bench.counters["yield"] = result.best.Yield();
  studies::OptimiseResult cheapest = Run(nominal);
  bench.counters["nominal_cost"] = cheapest.best.cost;
  bench.counters["nominal_yield"] = studies::Evaluate(robust, cheapest.values).Yield();
}

BENCHMARK(BM_RobustCost)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The best of the dense grid for both objectives, in one pass.
struct DenseBest {
  std::mutex mutex;
  double cost_IE2 = 1e300;  // the lowest cost reaching IE2
  double EFF = 0;           // the highest efficiency meeting the targets
};

void Offer(DenseBest& best, const studies::Assessment& a) {
  bool targets_met = a.ran;
  for (const studies::ConstraintLine& line : a.constraints())
    if (line.name != "IE") targets_met = targets_met && line.Met();
  std::lock_guard lock(best.mutex);
  if (targets_met) best.EFF = std::max(best.EFF, a.EFF);
  if (a.Feasible()) best.cost_IE2 = std::min(best.cost_IE2, a.cost);
}

void BM_DenseSweep(benchmark::State& bench) {
  studies::OptimiseProblem cost = Problem(OptimiseObjective::Cost, studies::EfficiencyClass::IE2);
  std::vector<studies::SweepAxis> axes;
  for (const Bounds& b : kSpace)
    axes.push_back(studies::SweepAxis::Range(b.field, b.from, b.to, b.dense_step));
  studies::SweepGrid grid(std::move(axes));
  studies::SweepOptions options;
  options.threads = 2;
  DenseBest best;
  for (auto _ : bench) {
    studies::RunSweep(
        cost.base, grid, options,
        [&](const studies::SweepRow& row, std::string&) {
          if (row.ok) Offer(best, studies::Assess(cost, row.state, false));
        },
        [](std::string_view) {});
  }
  studies::OptimiseResult cheapest = Run(cost);
  studies::OptimiseResult efficient = Run(Problem(OptimiseObjective::Efficiency, std::nullopt));
  bench.counters["points"] = double(grid.size());
  bench.counters["sweep_cost_IE2"] = best.cost_IE2;
  bench.counters["search_cost_IE2"] = cheapest.best.cost;
  bench.counters["sweep_EFF"] = best.EFF;
  bench.counters["search_EFF"] = efficient.best.EFF;
  if (!cheapest.Feasible() || cheapest.best.cost > best.cost_IE2)
    bench.SkipWithError("the search costs more than the dense sweep's best");
  if (!efficient.Feasible() || efficient.best.EFF < best.EFF)
    bench.SkipWithError("the search is less efficient than the dense sweep's best");
}

BENCHMARK(BM_DenseSweep)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
