// Efficiency-class limits at their published values, the cases without a
// class, the legal minimum at its edges, and the material cost.
#include "velmora/studies/efficiency_class.h"

#include <gtest/gtest.h>

#include <cmath>

#include "velmora/studies/material_cost.h"

namespace velmora::studies {
namespace {

using C = EfficiencyClass;

struct Published {
  double Pn, P;
  C c;
  double limit;  // per cent, as published
};

TEST(EfficiencyLimits, MatchThePublishedValues) {
  const Published kValues[] = {
      {0.75, 4, C::IE3, 82.5},
      {1.1, 4, C::IE3, 84.1},
      {1.5, 4, C::IE3, 85.3},
      {2.2, 4, C::IE3, 86.7},
      {3, 4, C::IE3, 87.7},
      {4, 4, C::IE3, 88.6},
      {5.5, 4, C::IE3, 89.6},
      {7.5, 4, C::IE3, 90.4},
      {5.5, 4, C::IE2, 87.7},
      {200, 2, C::IE2, 95.0},
      {200, 4, C::IE2, 95.1},
      {200, 6, C::IE2, 95.0},
      {200, 8, C::IE2, 93.5},
      {200, 2, C::IE3, 95.8},
      {200, 4, C::IE3, 96.0},
      {200, 6, C::IE3, 95.8},
      {200, 8, C::IE3, 94.6},
      {200, 2, C::IE4, 96.5},
      {200, 4, C::IE4, 96.7},
      {200, 6, C::IE4, 96.3},
      {200, 8, C::IE4, 95.4},
      {0.12, 2, C::IE3, 60.8},
      {0.12, 4, C::IE3, 64.8},
      {0.12, 6, C::IE3, 57.7},
      {0.12, 8, C::IE3, 50.7},
      // Above 200 kW the 200 kW limits hold.
      {1000, 4, C::IE3, 96.0},
  };
  for (const Published& v : kValues)
    EXPECT_EQ(EfficiencyLimits(v.Pn, v.P, 50).Of(v.c), v.limit)
        << v.Pn << " kW " << v.P << " poles " << ClassName(v.c);
}

// Values a hair below a half round down: 6 poles 7.5 kW IE2 is 87.2495...
// (published 87.2), 2 poles 0.25 kW IE2 is 64.8498...
TEST(EfficiencyLimits, RoundHalfAwayOnTheComputedValue) {
  EXPECT_EQ(EfficiencyLimits(7.5, 6, 50).IE2, 87.2);
  EXPECT_EQ(EfficiencyLimits(0.25, 2, 50).IE2, 64.8);
}

// Half-way values that a double holds exactly round away from zero; a
// decimal half stored a hair below or above rounds by what is stored. The
// product by 10 alone would round 87.35 (87.3499...) up to 873.5.
TEST(EfficiencyLimits, RoundToTenthOnTheExactValue) {
  const struct {
    double percent, rounded;
  } kCases[] = {{87.25, 87.3}, {87.75, 87.8}, {-87.25, -87.3}, {87.35, 87.3},
                {87.45, 87.5}, {64.85, 64.8}, {0.05, 0.1},     {89.6, 89.6}};
  for (const auto& c : kCases) EXPECT_EQ(RoundToTenth(c.percent), c.rounded) << c.percent;
}

// The small-motor table holds up to 0.55 kW itself; above it the large one.
TEST(EfficiencyLimits, TablesChangeAbove0_55kW) {
  EXPECT_EQ(EfficiencyLimits(0.55, 4, 50).IE3, 80.8);
  EXPECT_NE(EfficiencyLimits(std::nextafter(0.55, 1.0), 4, 50).IE3, 80.8);
  EXPECT_EQ(EfficiencyLimits(0.12, 4, 50).not_classified, NotClassified::No);
  EXPECT_EQ(EfficiencyLimits(std::nextafter(0.12, 0.0), 4, 50).not_classified,
            NotClassified::Rating);
  EXPECT_EQ(EfficiencyLimits(1000, 4, 50).not_classified, NotClassified::No);
}

// An efficiency exactly on a limit reaches the class; one a step below does not.
TEST(ClassifyEfficiency, ExactlyOnTheLimitReachesTheClass) {
  double EFF = 0.896;  // 4 poles 5.5 kW: IE3 at 89.6
  while (EFF * 100 > 89.6) EFF = std::nextafter(EFF, 0.0);
  while (EFF * 100 < 89.6) EFF = std::nextafter(EFF, 1.0);
  ASSERT_EQ(EFF * 100, 89.6);
  EXPECT_EQ(ClassifyEfficiency(EFF, 5.5, 4, 50).reached, C::IE3);
  EXPECT_EQ(ClassifyEfficiency(std::nextafter(EFF, 0.0), 5.5, 4, 50).reached, C::IE2);
}

TEST(EfficiencyLimits, SayWhyARatingHasNoClass) {
  EXPECT_EQ(EfficiencyLimits(5.5, 4, 60).not_classified, NotClassified::Frequency);
  EXPECT_EQ(EfficiencyLimits(5.5, 10, 50).not_classified, NotClassified::Poles);
  EXPECT_EQ(EfficiencyLimits(0.1, 4, 50).not_classified, NotClassified::Rating);
  EXPECT_EQ(EfficiencyLimits(1001, 4, 50).not_classified, NotClassified::Rating);
  ClassResult none = ClassifyEfficiency(0.9, 5.5, 4, 60);
  EXPECT_FALSE(none.Meets());
  EXPECT_FALSE(none.to_next);
}

TEST(LegalMinimum, ChangesAtItsEdges) {
  EXPECT_EQ(LegalMinimum(0.74, 4), C::IE2);
  EXPECT_EQ(LegalMinimum(0.75, 4), C::IE3);
  EXPECT_EQ(LegalMinimum(74.9, 4), C::IE3);
  EXPECT_EQ(LegalMinimum(75, 4), C::IE4);
  EXPECT_EQ(LegalMinimum(200, 6), C::IE4);
  EXPECT_EQ(LegalMinimum(200.1, 6), C::IE3);
  EXPECT_EQ(LegalMinimum(100, 8), C::IE3);
}

TEST(ClassifyEfficiency, ReachesTheHighestLimitAndMeasuresTheMargins) {
  // 4 poles 5.5 kW: IE2 87.7, IE3 89.6, IE4 91.9.
  ClassResult at_ie3 = ClassifyEfficiency(0.896, 5.5, 4, 50);
  EXPECT_EQ(at_ie3.reached, C::IE3);
  EXPECT_TRUE(at_ie3.Meets());
  EXPECT_NEAR(*at_ie3.to_next, 2.3, 1e-9);
  ClassResult short_of_ie4 = ClassifyEfficiency(0.9, 5.5, 4, 50, C::IE4);
  EXPECT_FALSE(short_of_ie4.Meets());
  EXPECT_NEAR(short_of_ie4.over_required, -1.9, 1e-9);
  EXPECT_FALSE(ClassifyEfficiency(0.93, 5.5, 4, 50).to_next);  // IE4: nothing above
}

TEST(MaterialCost, IsTheSumOfWeightTimesPrice) {
  CalculationState s;
  s.Gcu = 2;
  s.GAL = 1;
  s.Gfe = 10;
  s.in.Pn.value = 4;
  design::MaterialPrices prices;
  prices.copper = 80;
  MaterialCost cost = CostOf(s, prices);
  EXPECT_EQ(cost.lines[0].cost, 160);
  EXPECT_EQ(cost.total, 160 + 22 + 70);
  EXPECT_EQ(cost.per_kW, 252.0 / 4);
}

}  // namespace
}  // namespace velmora::studies
