// Steel curves, curve functions and yoke correction coefficients.
//
// Expected figures with a tolerance were worked by hand from the formulas as
// written, in exact decimal arithmetic with pi = 3.1415926 (the steel catalogue
// sums, the yoke rows and the curve-function points below); figures compared
// exactly are decimal values that a single-precision result must hit.
#include "velmora/calc/curves.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace velmora::calc {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kInfF = std::numeric_limits<float>::infinity();

double Below(double x) { return std::nextafter(x, -kInf); }
double Above(double x) { return std::nextafter(x, kInf); }

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

TEST(LookupCurve, InterpolatesInsideTheGridOnly) {
  struct Case {
    double x;
    const CurveTable* curve;
    std::optional<float> expected;
  };
  const Case cases[] = {// The grid's first point belongs to no interval: intervals are open below.
                        {0.50, &HTAB, std::nullopt},
                        {Above(0.50), &HTAB, 1.58f},
                        {0.505, &HTAB, 1.59f},
                        {1.89, &PTAB, 8.02f},
                        {1.8900001, &HTAB, std::nullopt},
                        {0.3, &HTAB, std::nullopt},
                        {25.0, &HTAB, std::nullopt},
                        {kNaN, &HTAB, std::nullopt},
                        // PTAB is flat at 4.45 W/kg between 1.40 and 1.41 T.
                        {Above(1.40), &PTAB, 4.45f},
                        {1.403, &PTAB, 4.45f},
                        {1.41, &PTAB, 4.45f}};
  for (const Case& c : cases) {
    EXPECT_EQ(LookupCurve(c.x, *c.curve), c.expected) << c.x << (c.curve == &HTAB ? " H" : " P");
  }
  // Every grid point above the first gives its table value.
  for (const CurveTable* curve : {&HTAB, &PTAB}) {
    for (int k = 1; k < kCurvePoints; ++k) {
      EXPECT_EQ(LookupCurve(BTAB[k], *curve), static_cast<float>((*curve)[k])) << "k = " << k;
    }
  }
}

// The run's lookup with its slopes worked out beforehand gives the very
// float of the plain interpolation, on the grid, between and beside its points.
TEST(LookupSteelCurve, IsTheInterpolationOfTheCurve) {
  for (auto [curve, table] :
       {std::pair{SteelCurve::FieldStrength, &HTAB}, std::pair{SteelCurve::IronLoss, &PTAB}}) {
    for (int k = 0; k < kCurvePoints; ++k) {
      for (double x : {Below(BTAB[k]), BTAB[k], Above(BTAB[k]), BTAB[k] + 0.004, BTAB[k] - 0.007}) {
        float value = -1;
        std::optional<float> expected = LookupCurve(x, *table);
        EXPECT_EQ(LookupSteelCurve(x, curve, value), expected.has_value()) << x;
        if (expected) {
          EXPECT_EQ(value, *expected) << x;
        }
      }
    }
    float value = -1;
    for (double x : {kNaN, -kInf, kInf, 0.0}) EXPECT_FALSE(LookupSteelCurve(x, curve, value)) << x;
  }
}

TEST(NarrowToSingle, RoundsToNearestAndSignalsOnlyAValueBeyondSinglePrecision) {
  struct Case {
    double x;
    float expected;
    bool overflows;
  };
  const Case cases[] = {{0.1, 0.1f, false},
                        {1.0 + 0x1p-24, 1.0f, false},  // a tie rounds to even
                        {1.0 + 0x1p-24 + 0x1p-40, std::nextafter(1.0f, 2.0f), false},
                        {FLT_MAX, FLT_MAX, false},
                        {1e39, kInfF, true},
                        {-1e39, -kInfF, true},
                        {kInf, kInfF, false},
                        {-kInf, -kInfF, false}};
  for (const Case& c : cases) {
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_EQ(NarrowToSingle(c.x), c.expected) << c.x;
    EXPECT_EQ(std::fetestexcept(FE_OVERFLOW) != 0, c.overflows) << c.x;
  }
  EXPECT_TRUE(std::isnan(NarrowToSingle(kNaN)));
}

// Figures "to five decimals" hold to 5e-6, six-decimal figures to 5e-7 (a
// float near 1 is good to about 6e-8); tolerance 0 asks for the float
// nearest the figure.
TEST(CurveFunctions, GiveTheDesignCurveValues) {
  struct Figure {
    const char* name;
    float value;
    double expected, tolerance;
  };
  const Figure figures[] = {
      {"Interpolate", InterpolateLinear(0.505, 0.5, 1.58, 0.51, 1.6), 1.59, 0},
      {"Interpolate_at_right_end", InterpolateLinear(2, 1, 10, 2, 30), 30, 0},
      {"KZ_0", LeakageSaturationFactor(0), 1, 0},
      {"KZ_1_75", LeakageSaturationFactor(1.75), 0.95083, 5e-6},
      {"KZ_above_1_75", LeakageSaturationFactor(Above(1.75)), 0.91031, 5e-6},
      {"KZ_6", LeakageSaturationFactor(6), 0.36059, 5e-6},
      {"KZ_8", LeakageSaturationFactor(8), 0.282384, 5e-7},
      {"KZ_10", LeakageSaturationFactor(10), 0.22806, 5e-6},
      {"KZ_above_10", LeakageSaturationFactor(Above(10)), 1.23220, 5e-6},
      {"KZ_15", LeakageSaturationFactor(15), 2.38325, 5e-6},
      {"KZ_15_0001", LeakageSaturationFactor(15.0001), 0, 0},
      {"KZ_negative", LeakageSaturationFactor(-1), 1.001906, 5e-7},
      {"KZ_not_a_number", LeakageSaturationFactor(kNaN), 0, 0},
      {"Penetration_1", PenetrationDepthCorrection(1), 0.974704, 0},
      {"Penetration_2", PenetrationDepthCorrection(2), 0.851716, 0},
      {"Sinh_0", HyperbolicSine(0), 0, 0},
      {"Cosh_0", HyperbolicCosine(0), 1, 0},
      {"Sinh_minus_1", HyperbolicSine(-1), -1.1752011936, 2e-7},
      {"Cosh_minus_1", HyperbolicCosine(-1), 1.5430806348, 2e-7},
      {"Sinh_3", HyperbolicSine(3), 10.017874927, 2e-6},
      {"Cosh_3", HyperbolicCosine(3), 10.067661996, 2e-6},
      {"Trapezoid_0_3", TrapezoidSlotCoefficient(0.3), 0.3950056883, 2e-7},
      {"Trapezoid_0_9", TrapezoidSlotCoefficient(0.9), 0.333879, 5e-7},
      {"Trapezoid_0_999", TrapezoidSlotCoefficient(0.999), 0.333333, 5e-7},
      {"Trapezoid_wider_bottom", TrapezoidSlotCoefficient(1 / 0.3), 0.4271797369, 2e-7},
      {"RoundBottom_0_5_2", RoundBottomSlotCoefficient(0.5, 2), 0.306064, 5e-7},
      {"RoundBottom_0_999_2", RoundBottomSlotCoefficient(0.999, 2), 0.237733, 5e-7},
      {"RoundBottom_0_6_1_5", RoundBottomSlotCoefficient(0.6, 1.5), 0.4062744228, 2e-7},
      {"Harmonic_full_pitch_q1", HarmonicLeakageFactor(0, 1, 1), 0.096623, 5e-7},
      {"Harmonic_full_pitch_q2", HarmonicLeakageFactor(0, 2, 0.9), 0.1495448396, 2e-7},
      {"Harmonic_five_sixths_q2", HarmonicLeakageFactor(1, 2, 0.9), 0.0810059225, 2e-7},
  };
  for (const Figure& f : figures) {
    if (f.tolerance == 0) {
      EXPECT_EQ(f.value, static_cast<float>(f.expected)) << f.name;
    } else {
      EXPECT_NEAR(f.value, f.expected, f.tolerance) << f.name;
    }
  }
}

TEST(CurveFunctions, RaiseTheFloatingPointFlag) {
  struct Case {
    const char* name;
    float (*call)();
    int flags;  // each of these must be raised
  };
  const Case cases[] = {
      // sinh 100 is about 1.3e43: fine in double, too large for single precision.
      {"Sinh_100", [] { return HyperbolicSine(100); }, FE_OVERFLOW},
      {"Cosh_minus_100", [] { return HyperbolicCosine(-100); }, FE_OVERFLOW},
      {"Interpolate_equal_abscissas", [] { return InterpolateLinear(1, 1, 2, 1, 3); },
       FE_DIVBYZERO},
      {"Trapezoid_zero", [] { return TrapezoidSlotCoefficient(0); }, FE_DIVBYZERO},
      {"Trapezoid_negative", [] { return TrapezoidSlotCoefficient(-0.5); }, FE_INVALID},
      {"Trapezoid_equal_widths", [] { return TrapezoidSlotCoefficient(1); }, FE_DIVBYZERO},
      {"RoundBottom_zero_width", [] { return RoundBottomSlotCoefficient(0, 2); }, FE_DIVBYZERO},
      {"RoundBottom_negative", [] { return RoundBottomSlotCoefficient(-0.5, 2); }, FE_INVALID},
      {"RoundBottom_equal_widths", [] { return RoundBottomSlotCoefficient(1, 2); }, FE_DIVBYZERO},
      {"RoundBottom_zero_depth", [] { return RoundBottomSlotCoefficient(0.5, 0); }, FE_DIVBYZERO},
      {"Harmonic_zero_slots", [] { return HarmonicLeakageFactor(0, 0, 1); }, FE_DIVBYZERO},
  };
  for (const Case& c : cases) {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile float result = c.call();
    (void)result;
    EXPECT_EQ(std::fetestexcept(c.flags), c.flags) << c.name;
  }
}

// Stator and rotor see the same B and HJ/TP = 0.25, so one call checks a
// stator row and a rotor row of the same pole class and range: the 18 rows,
// one point inside each, worked exactly from the printed coefficients.
TEST(YokeCorrection, FollowsTheFitOfPoleClassAndRange) {
  struct Case {
    double P, B, CJs, CJr;
  };
  const Case cases[] = {
      {2, 1.3, 0.6844173387, 0.3389491935},   {2, 1.45, 0.5873467742, 0.2635887097},
      {2, 1.62, 0.472609375, 0.1740859375},   {4, 1.3, 0.5908562661, 0.4187387097},
      {4, 1.45, 0.4967016129, 0.2900967742},  {4, 1.62, 0.39496484375, 0.2465015625},
      {6, 1.3, 0.5832560484, 0.5820302419},   {6, 1.45, 0.4017320565, 0.4117620968},
      {6, 1.62, 0.3295796875, 0.36026171875}, {7, 1.45, 0.4017320565, 0.4117620968},
      {12, 1.62, 0.3295796875, 0.36026171875}};
  for (const Case& c : cases) {
    Quantity CJs, CJr;
    YokeCorrectionCoefficients(c.P, c.B, c.B, 25, 25, 100, CJs, CJr);
    EXPECT_TRUE(CJs.set && CJr.set);
    EXPECT_NEAR(CJs, c.CJs, 1e-9) << "P = " << c.P << ", B = " << c.B;
    EXPECT_NEAR(CJr, c.CJr, 1e-9) << "P = " << c.P << ", B = " << c.B;
  }
}

TEST(YokeCorrection, StatorGivesTheHandCalculation) {
  struct Case {
    double P, B, x, CJs, tolerance;  // x = HJ/TP
  };
  const Case cases[] = {
      // 0.304 + 0.335*0.2 + 0.64*0.04 + (1.55 - 1.5)*(0.057 + 0.5283*0.2 - 1.3152*0.04)/0.155
      {4, 1.5, 0.2, 0.43210, 5e-6},
      // 0.37 + 0.453 - 0.16983 + (0.395/0.155)*(0.085 + 0.0114 - 0.0072) = 0.88049, capped.
      {2, 1.0, 0.3, 0.7, 0},
      // The bounds 1.395 and 1.55 belong to the range above them; the rows on
      // either side differ in the fourth decimal there.
      {2, Below(1.395), 0.3, 0.65317, 1e-6},
      {2, 1.395, 0.3, 0.65257, 1e-6},
      {2, Below(1.55), 0.3, 0.57096, 1e-6},
      {2, 1.55, 0.3, 0.57087, 1e-6},
      // Far above its span the top row extrapolates below zero; no lower bound.
      {2, 3.0, 0.3, -0.323055, 1e-9}};
  for (const Case& c : cases) {
    Quantity CJs, CJr;
    YokeCorrectionCoefficients(c.P, c.B, 1.0, c.x * 250, 25, 250, CJs, CJr);
    EXPECT_NEAR(CJs, c.CJs, c.tolerance) << "P = " << c.P << ", B = " << c.B;
  }
  // The rotor is capped too: P = 4, B = 1.0, HJr/TP = 0.5 gives
  // 0.20405 + (0.395/0.155)*0.674 = 1.92.
  Quantity CJs, CJr;
  YokeCorrectionCoefficients(4, 1.5, 1.0, 20, 50, 100, CJs, CJr);
  EXPECT_EQ(CJr, 0.7);
}

TEST(YokeCorrection, PoleNumberWithoutAFitLeavesBothUntouched) {
  for (double P : {3.0, 5.0, 1.0, 0.0, -4.0, 5.5, 2.5, kNaN}) {
    Quantity CJs, CJr;
    CJs = 0.41;
    YokeCorrectionCoefficients(P, 1.2, 1.2, 20, 20, 100, CJs, CJr);
    EXPECT_EQ(CJs, 0.41) << P;
    EXPECT_TRUE(CJs.set) << P;
    EXPECT_FALSE(CJr.set) << P;
  }
  Quantity CJs, CJr;
  std::feclearexcept(FE_ALL_EXCEPT);
  YokeCorrectionCoefficients(4, 1.2, 1.2, 20, 20, 0, CJs, CJr);
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO)) << "a zero pole pitch";
}

}  // namespace
}  // namespace velmora::calc
