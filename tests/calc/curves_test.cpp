// Steel curves, curve functions and yoke correction coefficients.
//
// Expected figures with a tolerance were worked by hand from the formulas as
// written, in exact decimal arithmetic with pi = 3.1415926 (the steel catalogue
// sums, the yoke rows and the extra curve-function points below); figures
// compared exactly are decimal values that a single-precision result must hit.
#include "velmora/calc/curves.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <string>

namespace velmora::calc {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Below(double x) { return std::nextafter(x, -kInf); }
double Above(double x) { return std::nextafter(x, kInf); }

// Gives test cases readable names in the test list.
template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// ---------------------------------------------------------------- steel tables

TEST(SteelTables, FluxDensityGridIsTheTwoDecimalLiterals) {
  for (int k = 0; k < kCurvePoints; ++k) {
    char literal[16];
    std::snprintf(literal, sizeof literal, "%d.%02d", (50 + k) / 100, (50 + k) % 100);
    EXPECT_EQ(BTAB[k], std::strtod(literal, nullptr)) << literal;
  }
}

// Rising curves whose sums match the printed catalogue: a mistyped or
// transposed entry shows here.
TEST(SteelTables, CurvesRiseAndSumToTheCatalogue) {
  for (int k = 1; k < kCurvePoints; ++k) {
    EXPECT_LT(HTAB[k - 1], HTAB[k]) << "HTAB at " << k;
    EXPECT_LE(PTAB[k - 1], PTAB[k]) << "PTAB at " << k;
  }
  EXPECT_NEAR(std::accumulate(HTAB.begin(), HTAB.end(), 0.0), 3767.49, 1e-9);
  EXPECT_NEAR(std::accumulate(PTAB.begin(), PTAB.end(), 0.0), 498.407, 1e-9);
}

// --------------------------------------------------------------- curve lookup

struct LookupCase {
  std::string name;
  double x;
  const CurveTable* curve;
  std::optional<float> expected;
};

class LookupCurveTest : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupCurveTest, InterpolatesInsideTheGridOnly) {
  const auto& c = GetParam();
  EXPECT_EQ(LookupCurve(c.x, *c.curve), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SteelCurves, LookupCurveTest,
    testing::Values(
        // The grid's first point belongs to no interval: intervals are open below.
        LookupCase{"H_at_0_50", 0.50, &HTAB, std::nullopt},
        LookupCase{"H_just_above_0_50", Above(0.50), &HTAB, 1.58f},
        LookupCase{"H_at_0_505", 0.505, &HTAB, 1.59f}, LookupCase{"P_at_1_89", 1.89, &PTAB, 8.02f},
        LookupCase{"H_above_1_89", 1.8900001, &HTAB, std::nullopt},
        // PTAB is flat at 4.45 W/kg between 1.40 and 1.41 T.
        LookupCase{"P_just_above_1_40", Above(1.40), &PTAB, 4.45f},
        LookupCase{"P_at_1_403", 1.403, &PTAB, 4.45f}, LookupCase{"P_at_1_41", 1.41, &PTAB, 4.45f},
        LookupCase{"H_below_grid", 0.3, &HTAB, std::nullopt},
        LookupCase{"H_far_above", 25.0, &HTAB, std::nullopt},
        LookupCase{"H_not_a_number", kNaN, &HTAB, std::nullopt}),
    CaseName<LookupCase>);

TEST(LookupCurve, EveryGridPointAboveTheFirstGivesItsTableValue) {
  for (const CurveTable* curve : {&HTAB, &PTAB}) {
    for (int k = 1; k < kCurvePoints; ++k) {
      EXPECT_EQ(LookupCurve(BTAB[k], *curve), static_cast<float>((*curve)[k])) << "k = " << k;
    }
  }
}

TEST(LookupCurve, TargetIsAssignedOnlyOnAMatch) {
  SingleQuantity unset;
  LookupCurve(0.50, HTAB, unset);
  EXPECT_FALSE(unset.set);
  EXPECT_EQ(unset.value, 0.f);

  SingleQuantity earlierPass;
  earlierPass = 7.5f;
  LookupCurve(1.95, HTAB, earlierPass);
  EXPECT_TRUE(earlierPass.set);
  EXPECT_EQ(earlierPass.value, 7.5f);

  LookupCurve(0.505, HTAB, earlierPass);
  EXPECT_EQ(earlierPass.value, 1.59f);
}

// ------------------------------------------------------------ single precision

struct NarrowCase {
  std::string name;
  double x;
  float expected;
  bool overflows;
};

class NarrowToSingleTest : public testing::TestWithParam<NarrowCase> {};

TEST_P(NarrowToSingleTest, RoundsToNearestAndSignalsOnlyAValueBeyondSinglePrecision) {
  const auto& c = GetParam();
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(NarrowToSingle(c.x), c.expected);
  EXPECT_EQ(std::fetestexcept(FE_OVERFLOW) != 0, c.overflows);
}

constexpr float kInfF = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(SinglePrecision, NarrowToSingleTest,
                         testing::Values(NarrowCase{"Tenth", 0.1, 0.1f, false},
                                         NarrowCase{"TieToEven", 1.0 + 0x1p-24, 1.0f, false},
                                         NarrowCase{"AboveTheTie", 1.0 + 0x1p-24 + 0x1p-40,
                                                    std::nextafter(1.0f, 2.0f), false},
                                         NarrowCase{"Largest", FLT_MAX, FLT_MAX, false},
                                         NarrowCase{"TooLarge", 1e39, kInfF, true},
                                         NarrowCase{"TooLargeNegative", -1e39, -kInfF, true},
                                         NarrowCase{"Infinite", kInf, kInfF, false},
                                         NarrowCase{"NegativeInfinite", -kInf, -kInfF, false}),
                         CaseName<NarrowCase>);

TEST(NarrowToSingle, KeepsNotANumber) { EXPECT_TRUE(std::isnan(NarrowToSingle(kNaN))); }

// ------------------------------------------------------------- curve functions

struct CurveFunctionCase {
  std::string name;
  std::function<float()> call;
  double expected;
  double tolerance;  // 0: the result must be the single-precision value of expected
};

class CurveFunctionTest : public testing::TestWithParam<CurveFunctionCase> {};

TEST_P(CurveFunctionTest, GivesTheDesignCurveValue) {
  const auto& c = GetParam();
  float result = c.call();
  if (c.tolerance == 0) {
    EXPECT_EQ(result, static_cast<float>(c.expected));
  } else {
    EXPECT_NEAR(result, c.expected, c.tolerance);
  }
}

// Exact figures: the float nearest the decimal; "to five decimals": 5e-6;
// six-decimal figures: 5e-7 (a float near 1 is good to about 6e-8).
INSTANTIATE_TEST_SUITE_P(
    Curves, CurveFunctionTest,
    testing::Values(
        CurveFunctionCase{"Interpolate",
                          [] { return InterpolateLinear(0.505, 0.5, 1.58, 0.51, 1.6); }, 1.59, 0},
        CurveFunctionCase{"Interpolate_at_right_end",
                          [] { return InterpolateLinear(2, 1, 10, 2, 30); }, 30, 0},
        CurveFunctionCase{"KZ_0", [] { return LeakageSaturationFactor(0); }, 1, 0},
        CurveFunctionCase{"KZ_1_75", [] { return LeakageSaturationFactor(1.75); }, 0.95083, 5e-6},
        CurveFunctionCase{"KZ_above_1_75", [] { return LeakageSaturationFactor(Above(1.75)); },
                          0.91031, 5e-6},
        CurveFunctionCase{"KZ_2", [] { return LeakageSaturationFactor(2); }, 0.85595, 5e-6},
        CurveFunctionCase{"KZ_6", [] { return LeakageSaturationFactor(6); }, 0.36059, 5e-6},
        CurveFunctionCase{"KZ_8", [] { return LeakageSaturationFactor(8); }, 0.282384, 5e-7},
        CurveFunctionCase{"KZ_10", [] { return LeakageSaturationFactor(10); }, 0.22806, 5e-6},
        CurveFunctionCase{"KZ_above_10", [] { return LeakageSaturationFactor(Above(10)); }, 1.23220,
                          5e-6},
        CurveFunctionCase{"KZ_12", [] { return LeakageSaturationFactor(12); }, 1.629236, 5e-7},
        CurveFunctionCase{"KZ_15", [] { return LeakageSaturationFactor(15); }, 2.38325, 5e-6},
        CurveFunctionCase{"KZ_15_0001", [] { return LeakageSaturationFactor(15.0001); }, 0, 0},
        CurveFunctionCase{"KZ_negative", [] { return LeakageSaturationFactor(-1); }, 1.001906,
                          5e-7},
        CurveFunctionCase{"KZ_not_a_number", [] { return LeakageSaturationFactor(kNaN); }, 0, 0},
        CurveFunctionCase{"Penetration_1", [] { return PenetrationDepthCorrection(1); }, 0.974704,
                          0},
        CurveFunctionCase{"Penetration_2", [] { return PenetrationDepthCorrection(2); }, 0.851716,
                          0},
        CurveFunctionCase{"Sinh_0", [] { return HyperbolicSine(0); }, 0, 0},
        CurveFunctionCase{"Cosh_0", [] { return HyperbolicCosine(0); }, 1, 0},
        CurveFunctionCase{"Sinh_1", [] { return HyperbolicSine(1); }, 1.1752011936, 2e-7},
        CurveFunctionCase{"Sinh_minus_1", [] { return HyperbolicSine(-1); }, -1.1752011936, 2e-7},
        CurveFunctionCase{"Cosh_minus_1", [] { return HyperbolicCosine(-1); }, 1.5430806348, 2e-7},
        CurveFunctionCase{"Sinh_3", [] { return HyperbolicSine(3); }, 10.017874927, 2e-6},
        CurveFunctionCase{"Cosh_3", [] { return HyperbolicCosine(3); }, 10.067661996, 2e-6},
        CurveFunctionCase{"Trapezoid_0_5", [] { return TrapezoidSlotCoefficient(0.5); }, 0.355044,
                          5e-7},
        CurveFunctionCase{"Trapezoid_0_9", [] { return TrapezoidSlotCoefficient(0.9); }, 0.333879,
                          5e-7},
        CurveFunctionCase{"Trapezoid_0_999", [] { return TrapezoidSlotCoefficient(0.999); },
                          0.333333, 5e-7},
        CurveFunctionCase{"Trapezoid_0_3", [] { return TrapezoidSlotCoefficient(0.3); },
                          0.3950056883, 2e-7},
        CurveFunctionCase{"Trapezoid_wider_bottom",
                          [] { return TrapezoidSlotCoefficient(1 / 0.3); }, 0.4271797369, 2e-7},
        CurveFunctionCase{"RoundBottom_0_5_2", [] { return RoundBottomSlotCoefficient(0.5, 2); },
                          0.306064, 5e-7},
        CurveFunctionCase{"RoundBottom_0_999_2",
                          [] { return RoundBottomSlotCoefficient(0.999, 2); }, 0.237733, 5e-7},
        CurveFunctionCase{"RoundBottom_0_6_1_5",
                          [] { return RoundBottomSlotCoefficient(0.6, 1.5); }, 0.4062744228, 2e-7},
        CurveFunctionCase{"Harmonic_full_pitch_q1", [] { return HarmonicLeakageFactor(0, 1, 1); },
                          0.096623, 5e-7},
        CurveFunctionCase{"Harmonic_full_pitch_q2", [] { return HarmonicLeakageFactor(0, 2, 0.9); },
                          0.1495448396, 2e-7},
        CurveFunctionCase{"Harmonic_five_sixths_pitch_q2",
                          [] { return HarmonicLeakageFactor(1, 2, 0.9); }, 0.0810059225, 2e-7}),
    CaseName<CurveFunctionCase>);

struct FaultCase {
  std::string name;
  std::function<float()> call;
  int flags;  // each of these must be raised
};

class CurveFunctionFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(CurveFunctionFaultTest, RaisesTheFloatingPointFlag) {
  const auto& c = GetParam();
  std::feclearexcept(FE_ALL_EXCEPT);
  volatile float result = c.call();
  (void)result;
  EXPECT_EQ(std::fetestexcept(c.flags), c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Curves, CurveFunctionFaultTest,
    testing::Values(
        // sinh 100 is about 1.3e43: fine in double, too large for single precision.
        FaultCase{"Sinh_100", [] { return HyperbolicSine(100); }, FE_OVERFLOW},
        FaultCase{"Cosh_100", [] { return HyperbolicCosine(100); }, FE_OVERFLOW},
        FaultCase{"Cosh_minus_100", [] { return HyperbolicCosine(-100); }, FE_OVERFLOW},
        FaultCase{"Interpolate_equal_abscissas", [] { return InterpolateLinear(1, 1, 2, 1, 3); },
                  FE_DIVBYZERO},
        FaultCase{"Trapezoid_zero", [] { return TrapezoidSlotCoefficient(0); }, FE_DIVBYZERO},
        FaultCase{"Trapezoid_negative", [] { return TrapezoidSlotCoefficient(-0.5); }, FE_INVALID},
        FaultCase{"Trapezoid_equal_widths", [] { return TrapezoidSlotCoefficient(1); },
                  FE_DIVBYZERO},
        FaultCase{"RoundBottom_zero_width", [] { return RoundBottomSlotCoefficient(0, 2); },
                  FE_DIVBYZERO},
        FaultCase{"RoundBottom_negative", [] { return RoundBottomSlotCoefficient(-0.5, 2); },
                  FE_INVALID},
        FaultCase{"RoundBottom_equal_widths", [] { return RoundBottomSlotCoefficient(1, 2); },
                  FE_DIVBYZERO},
        FaultCase{"RoundBottom_zero_depth", [] { return RoundBottomSlotCoefficient(0.5, 0); },
                  FE_DIVBYZERO},
        FaultCase{"Harmonic_zero_slots", [] { return HarmonicLeakageFactor(0, 0, 1); },
                  FE_DIVBYZERO}),
    CaseName<FaultCase>);

// --------------------------------------------------------- yoke coefficients

struct YokeCase {
  std::string name;
  double P;
  double B;
  double x;  // HJ/TP
  double CJs;
  double CJr;
  double tolerance;
};

class YokeCorrectionTest : public testing::TestWithParam<YokeCase> {};

// Stator and rotor see the same B and x, so one call checks a stator row and a
// rotor row of the same pole class and range.
TEST_P(YokeCorrectionTest, FollowsTheFitOfPoleClassAndRange) {
  const auto& c = GetParam();
  const double TP = 100;
  Quantity CJs, CJr;
  YokeCorrectionCoefficients(c.P, c.B, c.B, c.x * TP, c.x * TP, TP, CJs, CJr);
  EXPECT_TRUE(CJs.set);
  EXPECT_TRUE(CJr.set);
  EXPECT_NEAR(CJs, c.CJs, c.tolerance);
  EXPECT_NEAR(CJr, c.CJr, c.tolerance);
}

// The 18 rows, one point inside each, worked exactly from the printed
// coefficients with HJ/TP = 0.25.
INSTANTIATE_TEST_SUITE_P(
    EveryRow, YokeCorrectionTest,
    testing::Values(YokeCase{"P2_low", 2, 1.3, 0.25, 0.6844173387, 0.3389491935, 1e-9},
                    YokeCase{"P2_middle", 2, 1.45, 0.25, 0.5873467742, 0.2635887097, 1e-9},
                    YokeCase{"P2_high", 2, 1.62, 0.25, 0.472609375, 0.1740859375, 1e-9},
                    YokeCase{"P4_low", 4, 1.3, 0.25, 0.5908562661, 0.4187387097, 1e-9},
                    YokeCase{"P4_middle", 4, 1.45, 0.25, 0.4967016129, 0.2900967742, 1e-9},
                    YokeCase{"P4_high", 4, 1.62, 0.25, 0.39496484375, 0.2465015625, 1e-9},
                    YokeCase{"P6_low", 6, 1.3, 0.25, 0.5832560484, 0.5820302419, 1e-9},
                    YokeCase{"P6_middle", 6, 1.45, 0.25, 0.4017320565, 0.4117620968, 1e-9},
                    YokeCase{"P6_high", 6, 1.62, 0.25, 0.3295796875, 0.36026171875, 1e-9},
                    YokeCase{"P7_middle", 7, 1.45, 0.25, 0.4017320565, 0.4117620968, 1e-9},
                    YokeCase{"P12_high", 12, 1.62, 0.25, 0.3295796875, 0.36026171875, 1e-9}),
    CaseName<YokeCase>);

struct StatorYokeCase {
  std::string name;
  double P;
  double B;
  double x;  // HJ/TP
  double CJs;
  double tolerance;
};

class StatorYokeTest : public testing::TestWithParam<StatorYokeCase> {};

TEST_P(StatorYokeTest, GivesTheHandCalculation) {
  const auto& c = GetParam();
  const double TP = 250;
  Quantity CJs, CJr;
  YokeCorrectionCoefficients(c.P, c.B, 1.0, c.x * TP, 0.1 * TP, TP, CJs, CJr);
  EXPECT_NEAR(CJs, c.CJs, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, StatorYokeTest,
    testing::Values(
        // 0.304 + 0.335*0.2 + 0.64*0.04 + (1.55 - 1.5)*(0.057 + 0.5283*0.2 - 1.3152*0.04)/0.155
        StatorYokeCase{"P4_1_5", 4, 1.5, 0.2, 0.43210, 5e-6},
        // 0.37 + 0.453 - 0.16983 + (0.395/0.155)*(0.085 + 0.0114 - 0.0072) = 0.88049, capped.
        StatorYokeCase{"P2_1_0_capped", 2, 1.0, 0.3, 0.7, 0},
        // The bounds 1.395 and 1.55 belong to the range above them; the rows on
        // either side differ in the fourth decimal there (P = 2, HJ/TP = 0.3).
        StatorYokeCase{"P2_below_1_395", 2, Below(1.395), 0.3, 0.65317, 1e-6},
        StatorYokeCase{"P2_at_1_395", 2, 1.395, 0.3, 0.65257, 1e-6},
        StatorYokeCase{"P2_below_1_55", 2, Below(1.55), 0.3, 0.57096, 1e-6},
        StatorYokeCase{"P2_at_1_55", 2, 1.55, 0.3, 0.57087, 1e-6},
        // Far above its span the top row extrapolates below zero; no lower bound.
        StatorYokeCase{"P2_3_0_negative", 2, 3.0, 0.3, -0.323055, 1e-9}),
    CaseName<StatorYokeCase>);

TEST(YokeCorrection, RotorIsCappedToo) {
  Quantity CJs, CJr;
  // P = 4, B = 1.0, HJr/TP = 0.5: 0.20405 + (0.395/0.155)*0.674 = 1.92, capped.
  YokeCorrectionCoefficients(4, 1.5, 1.0, 20, 50, 100, CJs, CJr);
  EXPECT_EQ(CJr, 0.7);
  EXPECT_NEAR(CJs, 0.43210, 5e-6);
}

TEST(YokeCorrection, PoleNumberWithoutAFitLeavesBothUntouched) {
  for (double P : {3.0, 5.0, 1.0, 0.0, -4.0, 5.5, 2.5, kNaN}) {
    Quantity CJs, CJr;
    CJs = 0.41;
    YokeCorrectionCoefficients(P, 1.2, 1.2, 20, 20, 100, CJs, CJr);
    EXPECT_EQ(CJs, 0.41) << P;
    EXPECT_TRUE(CJs.set) << P;
    EXPECT_FALSE(CJr.set) << P;
    EXPECT_EQ(CJr, 0.0) << P;
  }
}

TEST(YokeCorrection, ZeroPolePitchIsADivisionByZero) {
  Quantity CJs, CJr;
  std::feclearexcept(FE_ALL_EXCEPT);
  YokeCorrectionCoefficients(4, 1.2, 1.2, 20, 20, 0, CJs, CJr);
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
}

}  // namespace
}  // namespace velmora::calc
