// Design optimisation: the values a variable may take, an optimum on a known
// constraint, the least infeasible design, the same result on any number of
// threads, and a cancelled search that leaves no thread behind.
#include "velmora/calc/optimise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <vector>

#include "example_designs.h"

namespace velmora::calc {
namespace {

namespace field = design::field;
using examples::Example;

// The 4-pole 5.5 kW example over its core length L, 100 to 200 mm: the cost
// rises with L while the starting current falls, so the cheapest design
// meeting Ist ≤ IST lies on that constraint.
OptimiseProblem CoreLength() {
  OptimiseProblem problem;
  problem.base = Example(examples::k4Pole);
  problem.variables = {RangeVariable(field::L, 100, 200)};
  problem.check.check_class = false;
  return problem;
}

const ConstraintLine& Constraint(const Assessment& a, std::string_view name) {
  for (const ConstraintLine& line : a.constraints())
    if (line.name == name) return line;
  ADD_FAILURE() << "no constraint " << name;
  return a.lines[0];
}

TEST(OptimiseVariables, TakeWholeNumbersWireSizesStepsOrDecimals) {
  EXPECT_EQ(RangeVariable(field::Z, 35.5, 38).values, (std::vector<double>{36, 37, 38}));
  EXPECT_EQ(RangeVariable(field::DJJ, 0.6, 0.75).values,
            (std::vector<double>{0.60, 0.63, 0.67, 0.71, 0.75}));
  EXPECT_EQ(SteppedVariable(field::G, 0.3, 0.4, 0.05).values,
            (std::vector<double>{0.3, 0.35, 0.4}));
  OptimiseVariable gap = RangeVariable(field::G, 0.30, 0.35);
  EXPECT_FALSE(gap.Discrete());
  EXPECT_EQ(gap.resolution, 1e-5);
  EXPECT_EQ(gap.Snap(0.3123456), 0.31235);  // the double nearest the decimal
  EXPECT_EQ(gap.Snap(0.9), 0.35);
  EXPECT_THROW(RangeVariable(field::DJJ, 1.7, 2.0), OptimiseError);
}

TEST(OptimiseProblems, SelectorsTargetsAndUnknownLimitsAreRefused) {
  for (int f : {field::P, field::Q1, field::EFF, field::Pn}) {
    OptimiseProblem problem = CoreLength();
    problem.variables.push_back(RangeVariable(f, 1, 2));
    EXPECT_THROW(CheckProblem(problem), OptimiseError) << design::kFieldInfo[f].name;
  }
  OptimiseProblem problem = CoreLength();
  problem.limits = {{"EFF", 1}};
  EXPECT_THROW(CheckProblem(problem), OptimiseError);
}

// The cheapest core length lies on the constraint named `binding`: one step
// shorter misses it, and every other constraint has room. Returns the core length.
double ExpectOnlyBinding(const OptimiseProblem& problem, std::string_view binding) {
  OptimiseOptions options;
  options.max_evaluations = 5000;
  OptimiseResult result = Optimise(problem, options);
  if (!result.Feasible()) ADD_FAILURE() << "no feasible design";
  if (!result.Feasible()) return 0;
  double L = result.values[0], step = problem.variables[0].resolution;
  EXPECT_EQ(step, 0.1);
  EXPECT_FALSE(Constraint(Evaluate(problem, std::vector{L - step}), binding).Met()) << L;
  for (const ConstraintLine& line : result.best.constraints()) {
    if (line.name == binding) continue;
    EXPECT_LT(line.excess, -1e-3) << line.name;
  }
  EXPECT_LT(result.best.cost, Evaluate(problem, std::vector{L + step}).cost);
  return L;
}

TEST(Optimise, CheapestDesignLiesOnTheStartingCurrentTarget) {
  ExpectOnlyBinding(CoreLength(), "IST");
}

// The air-gap density falls as the core grows: capped at its value for a
// 130 mm core, the cheapest design has that core.
TEST(Optimise, CheapestDesignLiesOnAnUpperLimit) {
  OptimiseProblem problem = CoreLength();
  problem.limits = {{"BG", 10}};
  problem.limits[0].value = Constraint(Evaluate(problem, std::vector{130.0}), "BG").value;
  EXPECT_EQ(ExpectOnlyBinding(problem, "BG"), 130);
}

TEST(Optimise, WithoutAFeasibleDesignGivesTheLeastInfeasible) {
  OptimiseProblem problem = CoreLength();
  problem.check = {EfficiencyClass::IE3, true};  // beyond every core length
  OptimiseOptions options;
  options.max_evaluations = 5000;
  OptimiseResult result = Optimise(problem, options);
  ASSERT_TRUE(result.found);
  EXPECT_FALSE(result.Feasible());
  EXPECT_FALSE(Constraint(result.best, "IE").Met());
  EXPECT_EQ(result.design[field::L].number, result.values[0]);
  for (double step : {-1.0, -0.1, 0.1, 1.0}) {
    Assessment near = Evaluate(problem, std::vector{result.values[0] + step});
    EXPECT_GE(near.Violation(), result.best.Violation()) << step;
  }
}

// Wire diameter and conductors per slot alone: every combination can be
// computed, and the search must find the cheapest of them.
TEST(Optimise, DiscreteVariablesReachTheBestCombination) {
  OptimiseProblem problem = CoreLength();
  problem.variables = {RangeVariable(field::DJJ, 0.5, 1.6), RangeVariable(field::Z, 40, 50)};
  Assessment best;
  for (double d : problem.variables[0].values)
    for (double z : problem.variables[1].values) {
      Assessment a = Evaluate(problem, std::vector{d, z});
      if (Better(a, best, problem.objective)) best = a;
    }
  ASSERT_TRUE(best.Feasible());
  OptimiseOptions options;
  options.max_evaluations = 200;  // fewer than the 231 combinations
  OptimiseResult result = Optimise(problem, options);
  EXPECT_EQ(result.best.cost, best.cost);
  EXPECT_LE(result.evaluations, options.max_evaluations);
}

// The window plots the progress: evaluations never go back, the best cost
// never rises once a design meets the constraints, and the last report is
// the result.
TEST(Optimise, ProgressClimbsAndEndsOnTheResult) {
  std::vector<OptimiseProgress> reports;
  OptimiseOptions options;
  options.max_evaluations = 20000;
  options.progress = [&](const OptimiseProgress& p) { reports.push_back(p); };
  OptimiseResult result = Optimise(CoreLength(), options);
  ASSERT_GT(reports.size(), 2u);
  for (std::size_t k = 1; k < reports.size(); ++k) {
    EXPECT_GE(reports[k].evaluations, reports[k - 1].evaluations);
    if (!reports[k - 1].feasible) continue;
    EXPECT_LE(reports[k].best, reports[k - 1].best);
  }
  EXPECT_EQ(reports.back().best, result.best.cost);
  EXPECT_EQ(reports.back().evaluations, result.evaluations);
}

// Core length, conductors per slot and air gap, without a class.
OptimiseProblem ThreeVariables() {
  OptimiseProblem problem = CoreLength();
  problem.variables = {RangeVariable(field::L, 110, 160), RangeVariable(field::Z, 40, 50),
                       RangeVariable(field::G, 0.3, 0.45)};
  return problem;
}

TEST(Optimise, StopsOnItsBudgets) {
  OptimiseOptions options;
  options.max_evaluations = 300;
  OptimiseResult result = Optimise(ThreeVariables(), options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Evaluations);
  EXPECT_LE(result.evaluations, 300u);
  options.max_evaluations = 100'000'000;
  options.max_seconds = 0.05;
  result = Optimise(ThreeVariables(), options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Time);
  EXPECT_LT(result.seconds, 1.0);
}

OptimiseResult ThreeVariablesOn(unsigned threads) {
  OptimiseOptions options;
  options.threads = threads;
  options.max_evaluations = 20000;
  options.seed = 7;
  return Optimise(ThreeVariables(), options);
}

TEST(Optimise, SameResultOnOneAndThreeThreads) {
  OptimiseResult one = ThreeVariablesOn(1), three = ThreeVariablesOn(3);
  ASSERT_TRUE(one.Feasible());
  EXPECT_EQ(three.values, one.values);
  EXPECT_EQ(three.best.cost, one.best.cost);
  EXPECT_EQ(three.evaluations, one.evaluations);
  EXPECT_EQ(one.stop, OptimiseResult::Stop::NoImprovement);
}

long ThreadsOfThisProcess() {
  auto tasks = std::filesystem::directory_iterator("/proc/self/task");
  return std::distance(begin(tasks), end(tasks));
}

TEST(Optimise, CancelStopsEarlyAndLeavesNoThread) {
  long before = ThreadsOfThisProcess();
  OptimiseProblem problem = CoreLength();
  problem.variables.push_back(RangeVariable(field::G, 0.3, 0.5));
  std::atomic<bool> cancel{false};
  OptimiseOptions options;
  options.threads = 4;
  options.max_evaluations = 40000;
  options.cancel = &cancel;
  options.progress = [&](const OptimiseProgress& p) {
    if (p.phase == OptimiseProgress::Phase::Search) cancel = true;
  };
  OptimiseResult result = Optimise(problem, options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Cancelled);
  EXPECT_LT(result.evaluations, options.max_evaluations / 2 + 1000);
  EXPECT_EQ(ThreadsOfThisProcess(), before);
}

}  // namespace
}  // namespace velmora::calc
