// The operating characteristics against the plain run: the load curve at
// k = 1 and the torque–speed model at standstill and at its maximum.
#include "velmora/calc/characteristics.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <set>
#include <string>

#include "example_designs.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {
namespace {

using namespace examples;

const char* const kExamples[] = {k4Pole, k2Pole, k6PoleSingleLayer, kTwoSection};

CalculationState Plain(const design::DesignInput& input, bool& ok) {
  CalculationState state;
  CalculationFault fault;
  ok = Calculate(input, state, fault);
  return state;
}

std::set<std::string> StartingQuantities() {
  std::set<std::string> names;
#define VELMORA_NAME(name) names.insert(#name);
  VELMORA_STARTING_QUANTITIES(VELMORA_NAME, VELMORA_NAME)
#undef VELMORA_NAME
  return names;
}

// Every quantity up to item 97 and the pass counts of the full-load loops.
void ExpectSameThroughFullLoad(const CalculationState& plain, const CalculationState& at_load) {
  static const std::set<std::string> starting = StartingQuantities();
  for (const QuantityEntry& entry : QuantityTable()) {
    if (starting.count(std::string(entry.name))) continue;
    QuantityView a = entry.get(plain), b = entry.get(at_load);
    EXPECT_EQ(a.set, b.set) << entry.name;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.value), std::bit_cast<std::uint64_t>(b.value))
        << entry.name;
  }
  EXPECT_EQ(plain.passes.KE0, at_load.passes.KE0);
  EXPECT_EQ(plain.passes.FT0, at_load.passes.FT0);
  EXPECT_EQ(plain.passes.EFF0, at_load.passes.EFF0);
}

design::DesignInput Scaled(design::DesignInput input, std::mt19937_64& rng) {
  const int fields[] = {design::field::L, design::field::Z, design::field::G, design::field::DI1,
                        design::field::EFF};
  for (int field : fields)
    if (rng() % 2) {
      double u = static_cast<double>(rng() >> 11) * 0x1p-53;
      design::SetNumber(input, field, input[field].number * (0.9 + 0.2 * u));
    }
  return input;
}

TEST(LoadCurve, RatedLoadIsThePlainRunOnExamplesAndVariants) {
  std::mt19937_64 rng(7);
  int compared = 0;
  for (const char* name : kExamples)
    for (int variant = 0; variant < 40; ++variant) {
      design::DesignInput input = Example(name);
      if (variant > 0) input = Scaled(input, rng);
      bool ok;
      CalculationState plain = Plain(input, ok);
      if (!ok) continue;
      CalculationState at_load;
      CalculationFault fault;
      ASSERT_TRUE(CalculateAtLoad(input, 1, std::nullopt, at_load, fault)) << fault.message;
      ExpectSameThroughFullLoad(plain, at_load);
      // The grid's own k = 1 point, reached by the same path.
      LoadPoint p = PartLoadPerformance(input, plain, {0.9, 1.1, 0.1})[1];
      ASSERT_EQ(p.k, 1);
      for (auto [a, b] : {std::pair{p.EFF, plain.EFF.value},
                          {p.PF, plain.PF.value},
                          {p.I1, plain.I1.value},
                          {p.SN, plain.SN.value},
                          {p.N, plain.N.value},
                          {p.PS, plain.PSW.value},
                          {p.T, 1.0}})
        EXPECT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b));
      ++compared;
    }
  EXPECT_GT(compared, 120);
}

// Restarting the efficiency loop from an input EFF far from the result makes
// the KE0 loop cycle at 1.25; from the neighbour's efficiency it converges.
TEST(LoadCurve, PointsStartFromTheirNeighbour) {
  design::DesignInput input = Example(k6PoleSingleLayer);
  design::SetNumber(input, design::field::EFF, 0.9);
  bool ok;
  CalculationState plain = Plain(input, ok);
  ASSERT_TRUE(ok);
  CalculationState state;
  CalculationFault fault;
  EXPECT_FALSE(CalculateAtLoad(input, 1.25, std::nullopt, state, fault));
  std::vector<LoadPoint> points = PartLoadPerformance(input, plain, {});
  ASSERT_EQ(points.size(), 29u);
  EXPECT_EQ(points[23].k, 1.25);
  EXPECT_FALSE(points[23].fault);
  EXPECT_LT(points[23].EFF, plain.EFF.value);
}

TEST(LoadCurve, AFaultingPointLeavesTheOthers) {
  design::DesignInput input = Example(k4Pole);
  bool ok;
  CalculationState plain = Plain(input, ok);
  std::vector<LoadPoint> points = PartLoadPerformance(input, plain, {0.5, 3, 0.5});
  ASSERT_EQ(points.size(), 6u);
  ASSERT_TRUE(points[5].fault);
  EXPECT_NE(points[5].fault->message.find("KE"), std::string::npos);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(points[i].fault) << points[i].k;
  EXPECT_GT(points[2].I1, points[1].I1);
}

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }
double sq(double x) { return x * x; }

// At standstill without the magnetizing branch the circuit is the one of
// items 113 to 118, started where the procedure starts.
TEST(SpeedCurve, StandstillWithoutTheBranchIsThePlainRun) {
  std::mt19937_64 rng(11);
  for (const char* name : kExamples)
    for (int variant = 0; variant < 10; ++variant) {
      design::DesignInput input = Example(name);
      if (variant > 0) input = Scaled(input, rng);
      bool ok;
      CalculationState plain = Plain(input, ok);
      if (!ok) continue;
      SpeedModel model;
      model.magnetizing_branch = false;
      SpeedPoint p = SpeedPointAt(plain, 1, 2.5 * plain.TMAX1 * plain.IKW, model);
      ASSERT_FALSE(p.fault) << name;
      EXPECT_EQ(Bits(p.I1), Bits(plain.IST));
      EXPECT_EQ(Bits(p.I_ratio), Bits(plain.Ist));
      EXPECT_EQ(Bits(p.T), Bits(plain.TST1));
      EXPECT_EQ(p.passes, plain.passes.IST1);
    }
}

// Without the branch, skin effect and saturation the curve is the circuit
// of item 97, whose maximum is TMAX1 at s = R21/√(R11² + X1²).
TEST(SpeedCurve, BreakdownOfTheBareCircuitIsTMAX1) {
  for (const char* name : kExamples) {
    bool ok;
    CalculationState plain = Plain(Example(name), ok);
    ASSERT_TRUE(ok);
    SpeedCurve curve = TorqueSpeedCurve(plain, 200, {false, false, false});
    ASSERT_EQ(curve.points.size(), 200u);
    ASSERT_TRUE(curve.breakdown);
    EXPECT_NEAR(curve.breakdown->T, plain.TMAX1, 1e-9) << name;
    double s_max = plain.R21 / std::sqrt(sq(plain.R11) + sq(plain.X1));
    EXPECT_NEAR(curve.breakdown->s, s_max, 1e-4 * s_max) << name;
  }
}

// KZ differs at every two slips; a step is BL crossing the end of a range of
// the factor between the grid slips either side of the maximum. The
// examples' maxima lie clear of the steps; a 200 mm core of the 4-pole
// example puts one there.
TEST(SpeedCurve, BreakdownOnAStepOnlyWhereBLCrossesOne) {
  EXPECT_TRUE(LeakageSaturationStepBetween(1.8, 1.7));
  EXPECT_TRUE(LeakageSaturationStepBetween(1.75, 1.76));  // 1.75 ends the first range
  EXPECT_FALSE(LeakageSaturationStepBetween(1.74, 1.75));
  EXPECT_FALSE(LeakageSaturationStepBetween(1.76, 5.9));
  EXPECT_TRUE(LeakageSaturationStepBetween(14, 16));
  for (const char* name : kExamples) {
    bool ok;
    CalculationState plain = Plain(Example(name), ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(TorqueSpeedCurve(plain, 200).breakdown_on_step) << name;
  }
  design::DesignInput long_core = Example(k4Pole);
  design::SetNumber(long_core, design::field::L, 200);
  bool ok;
  CalculationState plain = Plain(long_core, ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(TorqueSpeedCurve(plain, 200).breakdown_on_step);
}

// One continuation from s = 1 down over every slip: the marked maximum is
// the curve's own (never below its highest point, and above it by no more
// than the starting loop's tolerance allows), and no slip dips between its
// neighbours by more than that, except across a step of KZ.
TEST(SpeedCurve, BreakdownIsTheCurvesOwnMaximum) {
  for (const char* name : kExamples) {
    bool ok;
    CalculationState plain = Plain(Example(name), ok);
    ASSERT_TRUE(ok);
    SpeedCurve curve = TorqueSpeedCurve(plain, 200);
    ASSERT_TRUE(curve.breakdown);
    double highest = 0;
    for (const SpeedPoint& p : curve.points) highest = std::max(highest, p.T);
    EXPECT_GE(curve.breakdown->T, highest) << name;
    EXPECT_LE(curve.breakdown->T, highest * (1 + 1e-4)) << name;
    for (std::size_t i = 1; i + 1 < curve.points.size(); ++i) {
      const SpeedPoint &a = curve.points[i - 1], &p = curve.points[i], &b = curve.points[i + 1];
      EXPECT_GT(a.s, p.s);
      // Across a step of KZ the torque may jump; elsewhere it is smooth.
      if (LeakageSaturationStepBetween(a.BL, b.BL)) continue;
      EXPECT_GE(p.T, std::min(a.T, b.T) * (1 - 1e-4)) << name << " s=" << p.s;
    }
  }
}

// Each point carries the trust verdict of its own run: the example's curves
// can be trusted; a 90 mm core's teeth run above the steel curve at every load.
TEST(LoadCurve, EachPointCarriesItsOwnTrust) {
  bool ok;
  CalculationState plain = Plain(Example(k4Pole), ok);
  ASSERT_TRUE(ok);
  for (const LoadPoint& p : PartLoadPerformance(Example(k4Pole), plain, {}))
    EXPECT_TRUE(p.trustworthy) << p.k;
  EXPECT_TRUE(TorqueSpeedCurve(plain, 40).points[0].trustworthy);
  design::DesignInput short_core = Example(k4Pole);
  design::SetNumber(short_core, design::field::L, 90);
  CalculationState hot = Plain(short_core, ok);
  ASSERT_TRUE(ok);
  std::vector<LoadPoint> points = PartLoadPerformance(short_core, hot, {1, 1, 0.1});
  ASSERT_EQ(points.size(), 1u);
  EXPECT_FALSE(points[0].trustworthy);
}

// Either side of the switch from the closed forms to their series.
TEST(SpeedCurve, SmoothAcrossTheSmallSlipSeries) {
  bool ok;
  CalculationState plain = Plain(Example(k4Pole), ok);
  double threshold = sq(0.3 / plain.KSAI);
  SpeedPoint above = SpeedPointAt(plain, threshold * (1 + 1e-9), plain.I1);
  SpeedPoint below = SpeedPointAt(plain, threshold * (1 - 1e-9), plain.I1);
  ASSERT_FALSE(above.fault);
  ASSERT_FALSE(below.fault);
  EXPECT_NEAR(below.R2 / above.R2, 1, 1e-6);
  EXPECT_NEAR(below.T / above.T, 1, 1e-6);
  EXPECT_FALSE(SpeedPointAt(plain, 1e-12, plain.I1).fault);
}

}  // namespace
}  // namespace velmora::calc
