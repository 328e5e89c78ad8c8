// The cost–efficiency front: non-dominated with cost rising with efficiency,
// its cheap end the cheapest design, and the refused numbers of points.
#include "velmora/studies/pareto_front.h"

#include <gtest/gtest.h>

#include <vector>

#include "example_designs.h"

namespace velmora::studies {
namespace {

namespace field = design::field;

// The 4-pole 5.5 kW example over its core length and air gap, with small
// budgets: a longer core costs more and loses less. No class, no rise limit.
OptimiseProblem LengthAndGap() {
  OptimiseProblem problem;
  problem.base = examples::Example(examples::k4Pole);
  problem.variables = {RangeVariable(field::L, 100, 200), RangeVariable(field::G, 0.30, 0.40)};
  problem.check.check_class = false;
  problem.check.insulation = std::nullopt;
  return problem;
}

FrontOptions SmallFront() {
  FrontOptions options;
  options.points = 4;
  options.run.threads = 1;
  options.run.max_evaluations = 300;
  options.run.max_seconds = kNoTimeLimit;
  return options;
}

Optimum Point(double cost, double EFF) {
  Optimum point;
  point.values = {cost};
  point.assessment.cost = cost;
  point.assessment.EFF = EFF;
  return point;
}

TEST(ParetoFront, IsNonDominatedWithCostRisingWithEfficiency) {
  OptimiseProblem problem = LengthAndGap();
  Front front = FindFront(problem, SmallFront());
  ASSERT_GE(front.points.size(), 2u);
  for (std::size_t k = 1; k < front.points.size(); ++k) {
    const Assessment &a = front.points[k - 1].assessment, &b = front.points[k].assessment;
    EXPECT_TRUE(b.Feasible());
    EXPECT_GT(b.cost, a.cost) << k;
    EXPECT_GT(b.EFF, a.EFF) << k;
  }
}

TEST(ParetoFront, EndsAreTheSingleObjectiveAnswers) {
  OptimiseProblem problem = LengthAndGap();
  FrontOptions options = SmallFront();
  Front front = FindFront(problem, options);
  OptimiseResult cheapest = Optimise(problem, options.run);
  problem.objective = OptimiseObjective::Efficiency;
  OptimiseResult efficient = Optimise(problem, options.run);
  ASSERT_TRUE(cheapest.Feasible());
  ASSERT_TRUE(efficient.Feasible());
  ASSERT_FALSE(front.points.empty());
  EXPECT_EQ(front.points.front().assessment.cost, cheapest.best.cost);
  EXPECT_EQ(front.points.front().values, cheapest.values);
  EXPECT_EQ(front.points.back().assessment.EFF, efficient.best.EFF);
}

// Every design of a small space, computed one by one: none may be cheaper
// than a point of the front and at least as efficient, or that point is no
// optimum of its efficiency level.
TEST(ParetoFront, NoDesignOfTheSpaceDominatesAPoint) {
  OptimiseProblem problem;
  problem.base = examples::Example(examples::k4Pole);
  problem.variables = {RangeVariable(field::L, 110, 170), RangeVariable(field::Z, 40, 56)};
  problem.check.check_class = false;
  problem.check.insulation = std::nullopt;
  FitToWinding(problem);
  Front front = FindFront(problem, SmallFront());
  ASSERT_GE(front.points.size(), 3u);
  const OptimiseVariable &L = problem.variables[0], &Z = problem.variables[1];
  int feasible = 0;
  for (std::uint64_t i = 0; i < L.Count(); ++i)
    for (std::uint64_t j = 0; j < Z.Count(); ++j) {
      std::vector<double> values = {L.At(i), Z.At(j)};
      Assessment a = Evaluate(problem, values);
      if (!a.Feasible()) continue;
      ++feasible;
      for (const Optimum& point : front.points)
        EXPECT_FALSE(a.cost < point.assessment.cost && a.EFF >= point.assessment.EFF)
            << "L " << values[0] << " Z " << values[1] << " dominates the point at EFF "
            << point.assessment.EFF;
    }
  EXPECT_GT(feasible, 20);
}

TEST(ParetoFront, DominatedPointsAreDropped) {
  const struct {
    std::vector<Optimum> candidates;
    std::vector<double> kept;  // the costs kept, in order
  } kCases[] = {
      {{Point(10, 0.90), Point(12, 0.91), Point(11, 0.89)}, {10, 12}},
      {{Point(12, 0.92), Point(10, 0.90), Point(10, 0.91)}, {10, 12}},
      {{Point(10, 0.90), Point(10, 0.90)}, {10}},
      {{}, {}},
  };
  for (const auto& c : kCases) {
    std::vector<double> kept;
    for (const Optimum& point : NonDominated(c.candidates)) kept.push_back(point.assessment.cost);
    EXPECT_EQ(kept, c.kept);
  }
}

TEST(ParetoFront, RefusesPointsOutsideTheRange) {
  FrontOptions options = SmallFront();
  for (int points : {1, 0, -3, 51}) {
    options.points = points;
    EXPECT_THROW(FindFront(LengthAndGap(), options), OptimiseError) << points;
  }
}

TEST(ParetoFront, EfficiencyFloorIsAConstraint) {
  OptimiseProblem problem = LengthAndGap();
  int without = ConstraintCount(problem);
  problem.efficiency_floor = 0.99;
  EXPECT_EQ(ConstraintCount(problem), without + 1);
  Assessment a = Evaluate(problem, std::vector<double>{130, 0.35});
  ASSERT_TRUE(a.ran);
  EXPECT_FALSE(a.Feasible());
  problem.efficiency_floor = 1.5;
  EXPECT_THROW(CheckProblem(problem), OptimiseError);
}

}  // namespace
}  // namespace velmora::studies
