// Design optimisation: the values a variable may take, an optimum on a known
// constraint, the least infeasible design, the same result on any number of
// threads, and a cancelled search that leaves no thread behind.
#include "velmora/studies/optimise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <vector>

#include "example_designs.h"

namespace velmora::studies {
namespace {

namespace field = design::field;
using examples::Example;

// The 4-pole 5.5 kW example over its core length L, 100 to 200 mm: the cost
// rises with L while the starting current falls, so the cheapest design
// meeting Ist ≤ IST lies on that constraint. No class, no rise limit.
OptimiseProblem CoreLength() {
  OptimiseProblem problem;
  problem.base = Example(examples::k4Pole);
  problem.variables = {RangeVariable(field::L, 100, 200)};
  problem.check.check_class = false;
  problem.check.insulation = std::nullopt;
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
  // A dimension without a step: on the workshop's steps, each value the
  // double nearest its decimal.
  OptimiseVariable gap = RangeVariable(field::G, 0.30, 0.35);
  EXPECT_FALSE(gap.Discrete());
  EXPECT_EQ(gap.resolution, 0.01);
  EXPECT_EQ(gap.Snap(0.3163456), 0.32);
  EXPECT_EQ(gap.Snap(0.9), 0.35);
  EXPECT_EQ(gap.Count(), 6u);
  EXPECT_EQ(gap.At(3), 0.33);
  EXPECT_EQ(gap.IndexOf(0.334), 3u);
  OptimiseVariable bore = RangeVariable(field::DI1, 130.2, 132);
  EXPECT_EQ(bore.At(0), 130.5);  // the first multiple of 0.5 mm within the range
  EXPECT_EQ(bore.Count(), 4u);
  EXPECT_THROW(RangeVariable(field::DJJ, 1.7, 2.0), OptimiseError);
}

// Ranges of values are bounded: at most a million values, and whole numbers
// only while a double still holds each of them.
TEST(OptimiseVariables, RangesOfValuesAreBounded) {
  const struct {
    int field;
    double from, to, step;  // step 0: FROM:TO
    std::size_t count;      // 0: refused, too many
  } kRanges[] = {
      {field::Z, 1, 1e6, 0, 1'000'000},
      {field::Z, 1, 1e6 + 1, 0, 0},
      {field::Z, 1, 1e8, 0, 0},
      {field::A, 1, 1e9, 0, 0},
      {field::JJ, 1, 2e6, 1, 0},
      {field::Y1, 9007199254740990.0, 9007199254740991.0, 0, 2},
      {field::MM, 9007199254740991.0, 9007199254740992.0, 0, 0},
      {field::Z, 1e300, 1e300, 0, 0},
      {field::Z, -1e300, 1, 0, 0},
  };
  for (const auto& r : kRanges) {
    std::string range = std::to_string(r.from) + ":" + std::to_string(r.to);
    try {
      OptimiseVariable v = r.step ? SteppedVariable(r.field, r.from, r.to, r.step)
                                  : RangeVariable(r.field, r.from, r.to);
      EXPECT_EQ(v.values.size(), r.count) << range;
    } catch (const OptimiseError& error) {
      EXPECT_EQ(r.count, 0u) << range << ": " << error.what();
      EXPECT_EQ(error.code(), ErrorCode::TooMany) << error.what();
      std::string message = error.what();
      EXPECT_TRUE(message.starts_with("改变" + design::InputLabel(r.field))) << message;
    }
  }
}

TEST(OptimiseProblems, InputsThatAreNoDesignFreedomAndUnknownLimitsAreRefused) {
  for (int f : {field::P, field::Q1, field::EFF, field::Pn, field::Un, field::PS, field::PFW,
                field::Lo1, field::Kfe, field::H, field::LS, field::SF0}) {
    OptimiseProblem problem = CoreLength();
    problem.variables.push_back(RangeVariable(f, 1, 2));
    EXPECT_THROW(CheckProblem(problem), OptimiseError) << design::kFieldInfo[f].name;
  }
  OptimiseProblem problem = CoreLength();
  problem.limits = {{"EFF", 1}};
  EXPECT_THROW(CheckProblem(problem), OptimiseError);
}

// Only values the base design's winding can take: even conductors per slot
// in a double layer, parallel paths that divide the coil groups.
TEST(OptimiseProblems, WindingVariablesKeepOnlyBuildableValues) {
  OptimiseProblem problem = CoreLength();  // 4 poles, double layer
  problem.variables = {RangeVariable(field::Z, 37, 42), RangeVariable(field::A, 1, 4),
                       SteppedVariable(field::JJ, 1, 2, 0.5)};
  FitToWinding(problem);
  EXPECT_EQ(problem.variables[0].values, (std::vector<double>{38, 40, 42}));
  EXPECT_EQ(problem.variables[0].lower, 38);
  EXPECT_EQ(problem.variables[1].values, (std::vector<double>{1, 2, 4}));
  EXPECT_EQ(problem.variables[2].values, (std::vector<double>{1, 2}));

  problem.base = Example(examples::k6PoleSingleLayer);  // 3 coil groups a phase
  problem.variables = {RangeVariable(field::A, 1, 4), RangeVariable(field::Z, 37, 38)};
  FitToWinding(problem);
  EXPECT_EQ(problem.variables[0].values, (std::vector<double>{1, 3}));
  EXPECT_EQ(problem.variables[1].values, (std::vector<double>{37, 38}));

  problem.base = Example(examples::k4Pole);
  problem.variables = {RangeVariable(field::Z, 45, 45)};
  EXPECT_THROW(FitToWinding(problem), OptimiseError);
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
  EXPECT_EQ(step, 1);
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

// A rise of at most 60 K asks for more core than the starting current does
// (the winding runs some 61 K at the core where Ist reaches IST): the
// cheapest design now lies on the rise.
TEST(Optimise, CheapestDesignLiesOnARiseLimit) {
  OptimiseProblem problem = CoreLength();
  problem.limits = {{"TRISE", 60}};
  EXPECT_GT(ExpectOnlyBinding(problem, "TRISE"), ExpectOnlyBinding(CoreLength(), "IST"));
}

// An insulation class limits the winding's rise, class B to 80 K, which a
// 100 mm core exceeds (80.3 K); an upper limit on TRISE takes the class's
// place. Every design has the constraints ConstraintCount counts.
TEST(OptimiseProblems, TheInsulationClassLimitsTheRiseUnlessALimitReplacesIt) {
  auto rise_lines = [](const Assessment& a) {
    return std::count_if(a.constraints().begin(), a.constraints().end(),
                         [](const ConstraintLine& line) { return line.name == "TRISE"; });
  };
  OptimiseProblem problem = CoreLength();
  problem.check.insulation = InsulationClass::B;
  Assessment a = Evaluate(problem, std::vector{100.0});
  EXPECT_EQ(a.line_count, ConstraintCount(problem));
  EXPECT_EQ(rise_lines(a), 1);
  EXPECT_EQ(Constraint(a, "TRISE").limit, 80);
  EXPECT_EQ(Constraint(a, "TRISE").value, a.TRISE);
  EXPECT_GT(a.TRISE, 80);
  EXPECT_FALSE(Constraint(a, "TRISE").Met());
  EXPECT_TRUE(Constraint(Evaluate(problem, std::vector{130.0}), "TRISE").Met());  // 59.6 K
  problem.limits = {{"TRISE", 90}};
  a = Evaluate(problem, std::vector{100.0});
  EXPECT_EQ(a.line_count, ConstraintCount(problem));
  EXPECT_EQ(rise_lines(a), 1);
  EXPECT_EQ(Constraint(a, "TRISE").limit, 90);
  EXPECT_TRUE(Constraint(a, "TRISE").Met());
  problem = CoreLength();
  a = Evaluate(problem, std::vector{100.0});
  EXPECT_EQ(a.line_count, ConstraintCount(problem));
  EXPECT_EQ(rise_lines(a), 0);
}

// With the check's guarantee tolerances the starting current may reach
// 1.2·IST: the cheapest core is shorter and sits on that limit instead.
TEST(Optimise, GuaranteeTolerancesMoveTheTargets) {
  OptimiseProblem plain = CoreLength(), guarantee = CoreLength();
  guarantee.targets = OptimiseProblem::Targets::WithTolerance;
  OptimiseOptions options;
  options.max_evaluations = 5000;
  OptimiseResult a = Optimise(plain, options), b = Optimise(guarantee, options);
  ASSERT_TRUE(a.Feasible() && b.Feasible());
  EXPECT_EQ(Constraint(b.best, "IST").limit, 1.2 * 7);
  EXPECT_GT(b.best.Ist, 7);
  EXPECT_LT(b.values[0], a.values[0]);
  EXPECT_LT(b.best.cost, a.best.cost);
}

// A margin keeps the design that distance inside each limit, above a lower
// one (PF, TST, TM) and below an upper one (IST, SF, TRISE). The 130 mm core
// meets each of these with some room: a margin of half that room leaves it
// met, one of twice the room makes the same design miss the constraint.
TEST(OptimiseProblems, AMarginMovesEachLimitTowardsTheDesign) {
  OptimiseProblem problem = CoreLength();
  problem.check.insulation = InsulationClass::B;
  const Assessment plain = Evaluate(problem, std::vector{130.0});
  for (std::string_view name : {"PF", "TST", "TM", "IST", "SF", "TRISE"}) {
    const ConstraintLine& own = Constraint(plain, name);
    ASSERT_TRUE(own.Met()) << name;
    const double room = std::fabs(own.value - own.limit);
    for (double share : {0.5, 2.0}) {
      OptimiseProblem kept = problem;
      kept.margins = {{std::string(name), share * room}};
      const Assessment a = Evaluate(kept, std::vector{130.0});
      const ConstraintLine& line = Constraint(a, name);
      EXPECT_EQ(line.Met(), share < 1) << name << " with a margin of " << share * room;
      EXPECT_EQ(line.margin, share * room) << name;
    }
  }
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
  problem.check.required_class = EfficiencyClass::IE3;  // beyond every core length
  problem.check.check_class = true;
  OptimiseOptions options;
  options.max_evaluations = 5000;
  OptimiseResult result = Optimise(problem, options);
  ASSERT_TRUE(result.found);
  EXPECT_FALSE(result.Feasible());
  EXPECT_FALSE(Constraint(result.best, "IE").Met());
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Evaluations);  // no design is left to chance
  EXPECT_TRUE(result.optima.empty());  // local optima are designs that meet the constraints
  EXPECT_GT(result.evaluations, options.max_evaluations * 9 / 10);
  EXPECT_EQ(result.design[field::L].number, result.values[0]);
  for (double step : {-2.0, -1.0, 1.0, 2.0}) {
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

// On a clock that moves a millisecond at every reading, a 0.05 s budget
// ends the search after some fifty readings, whatever the machine's load.
TEST(Optimise, StopsOnItsBudgets) {
  OptimiseOptions options;
  options.max_evaluations = 300;
  OptimiseResult result = Optimise(ThreeVariables(), options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Evaluations);
  EXPECT_LE(result.evaluations, 300u);
  std::atomic<long> readings{0};
  options.clock = [&] { return 0.001 * double(readings.fetch_add(1)); };
  options.max_evaluations = 100'000'000;
  options.max_seconds = 0.05;
  result = Optimise(ThreeVariables(), options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Time);
  EXPECT_LT(result.evaluations, 100'000u);
  EXPECT_GT(readings.load(), 50);  // the deadline passed on the fake clock
  EXPECT_LT(readings.load(), 1000);
}

// A time limit beyond what the clock can count is no limit.
TEST(Optimise, AnEndlessTimeLimitIsNone) {
  OptimiseOptions options;
  options.max_evaluations = 3000;
  options.max_seconds = 9.3e9;
  OptimiseResult result = Optimise(ThreeVariables(), options);
  EXPECT_NE(result.stop, OptimiseResult::Stop::Time);
  EXPECT_GT(result.evaluations, 1000u);
}

// A bore range whose top leaves no stator yoke: the cheapest design the
// search returns can be built, meets every rule, and is a local optimum of
// the workshop's steps; the other optima it reports are distinct and no better.
TEST(Optimise, AnswersCanBeBuiltAndAreLocalOptimaOfTheSteps) {
  OptimiseProblem problem = CoreLength();
  problem.variables = {RangeVariable(field::L, 80, 200),   RangeVariable(field::DI1, 130, 175),
                       RangeVariable(field::Z, 30, 56),    RangeVariable(field::BS2, 8, 11),
                       RangeVariable(field::HS12, 14, 18), RangeVariable(field::G, 0.3, 0.5)};
  problem.check.required_class = EfficiencyClass::IE2;
  problem.check.check_class = true;
  OptimiseOptions options;
  options.max_evaluations = 60000;
  OptimiseResult result = Optimise(problem, options);
  ASSERT_TRUE(result.Feasible());
  CalculationState state;
  CalculationFault fault;
  ASSERT_TRUE(Calculate(result.design, state, fault));
  EXPECT_GT(state.HJ11, 0);
  EXPECT_GT(state.narrowest.BT1W, 0);
  EXPECT_GT(state.narrowest.BT2W, 0);
  Validity validity = AssessValidity(state);
  EXPECT_TRUE(validity.Trustworthy());
  DesignCheck check = CheckDesign(result.design, state, validity, problem.check);
  EXPECT_FALSE(check.AnyFailed());
  EXPECT_EQ(std::fmod(result.values[2], 2), 0);  // Z even: a double layer
  // No step of one input, nor of two together, is cheaper and feasible.
  auto step = [&](std::vector<double>& values, std::size_t i, int direction) {
    const OptimiseVariable& v = problem.variables[i];
    std::uint64_t k = v.IndexOf(values[i]);
    if ((direction < 0 && k == 0) || (direction > 0 && k + 1 == v.Count())) return false;
    values[i] = v.At(k + direction);
    return true;
  };
  for (std::size_t i = 0; i < problem.variables.size(); ++i)
    for (std::size_t j = i; j < problem.variables.size(); ++j)
      for (int di : {-1, 1})
        for (int dj : {-1, 0, 1}) {
          std::vector<double> moved = result.values;
          if (!step(moved, i, di) || (j > i && dj != 0 && !step(moved, j, dj))) continue;
          Assessment a = Evaluate(problem, moved);
          EXPECT_FALSE(a.Feasible() && a.cost < result.best.cost) << i << " " << j;
        }
  ASSERT_FALSE(result.optima.empty());
  EXPECT_EQ(result.optima[0].values, result.values);
  for (const Optimum& other : result.optima) {
    EXPECT_TRUE(other.assessment.Feasible());
    EXPECT_GE(other.assessment.cost, result.best.cost);
  }
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
    if (p.evaluations > 0) cancel = true;
  };
  OptimiseResult result = Optimise(problem, options);
  EXPECT_EQ(result.stop, OptimiseResult::Stop::Cancelled);
  EXPECT_LT(result.evaluations, options.max_evaluations / 2 + 1000);
  EXPECT_EQ(ThreadsOfThisProcess(), before);
}

}  // namespace
}  // namespace velmora::studies
