// The whole calculation run on the example designs and on variants of them
// that take the branches no example takes, or must fail. The golden JSON and
// report files pin every figure of the examples themselves.
#include "velmora/calc/calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "example_designs.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {
namespace {

using design::DesignInput;
namespace field = design::field;

using namespace examples;

struct Outcome {
  bool ok;
  CalculationState state;
  CalculationFault fault;
};

Outcome Calc(const DesignInput& input) {
  Outcome run;
  run.ok = Calculate(input, run.state, run.fault);
  return run;
}

Outcome CalcWith(const char* example, int index, const std::string& text) {
  DesignInput input = Example(example);
  input[index] = design::ConvertField(index, text);
  return Calc(input);
}

TEST(Iterations, EfficiencyStartingAtTheResultNeedsOnePass) {
  Outcome first = Calc(Example(k4Pole));
  ASSERT_TRUE(first.ok);
  DesignInput input = Example(k4Pole);
  design::SetNumber(input, field::EFF, first.state.EFF);
  Outcome again = Calc(input);
  ASSERT_TRUE(again.ok);
  EXPECT_EQ(again.state.passes.EFF0, again.state.passes.KE0);
  EXPECT_EQ(again.state.EFF0.value, first.state.EFF.value);
}

TEST(SteelGrade, OtherGradeConvergesWithoutIronDropsOrLosses) {
  Outcome run = CalcWith(k4Pole, field::GGPph, "2");
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  for (bool set : {s.HT1.set, s.HJ1.set, s.HT10.set, s.pt1.set, s.B25.set, s.P10.set})
    EXPECT_FALSE(set);
  EXPECT_EQ(s.FT.value, 1);
  for (double zero : {s.FT1.value, s.FJ1.value, s.PFE.value, s.PXZFE1.value}) EXPECT_EQ(zero, 0);
}

TEST(SteelGrade, DensityOffTheCurveKeepsTheFieldStrengthOfTheLastPass) {
  // A thin stator yoke drives BJ1 past the end of the curve (1.89 T).
  Outcome run = CalcWith(k4Pole, field::D1, "192");
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_GT(run.state.BJ1, 1.89);
  EXPECT_FALSE(run.state.HJ1.set);
  EXPECT_EQ(run.state.FJ1.value, 0);
}

// The pitch factors of the upper and lower slot permeance over the pitch
// ratio β = Y1/9 of the 4-pole example: twelfths and sixteenths, straight
// lines that meet at β = 1/3 and 2/3.
TEST(Winding, PitchFactorsOverEveryPitch) {
  const int twelfths[] = {2, 3, 5, 7, 9, 10, 11, 12}, sixteenths[] = {6, 7, 9, 11, 13, 14, 15, 16};
  for (int Y1 = 2; Y1 <= 9; ++Y1) {
    Outcome run = CalcWith(k4Pole, field::Y1, std::to_string(Y1));
    ASSERT_TRUE(run.ok) << run.fault.message;
    EXPECT_EQ(run.state.BETA, Y1 / 9.0);
    EXPECT_NEAR(run.state.KU1, twelfths[Y1 - 2] / 12.0, 1e-15) << "Y1 = " << Y1;
    EXPECT_NEAR(run.state.KL1, sixteenths[Y1 - 2] / 16.0, 1e-15) << "Y1 = " << Y1;
    // The harmonic leakage factor has a fit only from β = 2/3 on.
    EXPECT_EQ(run.state.SGMS.set, Y1 >= 6) << "Y1 = " << Y1;
  }
}

TEST(Winding, SingleLayerHasFullPitchFactorsWhateverY1) {
  Outcome run = CalcWith(k6PoleSingleLayer, field::Y1, "5");
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  EXPECT_EQ(s.KP1.value, 1);
  EXPECT_EQ(s.KDP1.value, s.KD1.value);
  EXPECT_EQ(s.BETA.value, 1);  // set to 1 before the permeances
  EXPECT_EQ(s.KU1.value, 1);
  EXPECT_EQ(s.KL1.value, 1);
  // The end-winding span still uses the entered pitch 5 of 6.
  Outcome full = Calc(Example(k6PoleSingleLayer));
  EXPECT_NEAR(s.TY / full.state.TY, 5.0 / 6, 1e-12);
}

// Slots of equal top and bottom width take the limits of the tapered-slot
// coefficients at a width ratio of 1: 1/3, and the round-bottom coefficient
// halfway between a ratio just below 1 and its inverse.
TEST(Slots, EqualWidthsTakeTheLimitOfTheTaperedCoefficients) {
  DesignInput input = Example(k4Pole);
  design::SetNumber(input, field::BS1, input[field::BS2].number);
  design::SetNumber(input, field::BR2, input[field::BR1].number);
  Outcome run = Calc(input);
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  auto limit = [](double HW) {
    return (RoundBottomSlotCoefficient(0.999, HW) + RoundBottomSlotCoefficient(1 / 0.999, HW)) / 2;
  };
  EXPECT_EQ(s.KTR1.value, 1.0 / 3);
  EXPECT_NEAR(s.KTC1, limit(s.HWS2), 1e-6);
  EXPECT_EQ(s.KTR2.value, 1.0 / 3);
  EXPECT_NEAR(s.KTC2, limit(s.HWR2), 1e-6);
  // The skin effect's ratio would divide by zero at 1.
  EXPECT_EQ(s.BAta.value, 1.05);
  EXPECT_NEAR(s.ba, -0.05, 1e-15);
}

// Runs of `input` on either side of the bar resistivity Lo2 at which the
// penetration depth `depth` (HPR or HPX) reaches the upper section's depth
// HR12: the first run with the current in the upper section alone.
std::pair<Outcome, Outcome> AcrossTheUpperSection(DesignInput input,
                                                  Quantity CalculationState::*depth) {
  double shallow = 0.005, deep = 0.05;
  for (int i = 0; i < 60; ++i) {
    double middle = (shallow + deep) / 2;
    design::SetNumber(input, field::Lo2, middle);
    (Calc(input).state.*depth > input[field::HR12].number ? deep : shallow) = middle;
  }
  design::SetNumber(input, field::Lo2, shallow);
  Outcome above = Calc(input);
  design::SetNumber(input, field::Lo2, deep);
  return {std::move(above), Calc(input)};
}

// The two-section slot at starting: as the penetration depth passes from the
// upper section into the lower one, the branches meet. The resistance ratio
// rr0 is the bar area over the area down to HPR, whatever the lip; the
// permeance matches where the slot has no lip (ZS2 = 0). The skin-effect
// factors pass through single precision, so both sides agree to about 1e-7.
TEST(TwoSectionSlot, StartingBranchesMeetAtTheSectionBoundary) {
  struct Case {
    const char* ZS2;
    Quantity CalculationState::*depth;
    Quantity CalculationState::*meets;
  };
  const Case cases[] = {{"30", &CalculationState::HPR, &CalculationState::rr0},
                        {"0", &CalculationState::HPR, &CalculationState::rr0},
                        {"0", &CalculationState::HPX, &CalculationState::SPL2ST}};
  for (const Case& c : cases) {
    DesignInput input = Example(kTwoSection);
    input[field::ZS2] = design::ConvertField(field::ZS2, c.ZS2);
    auto [above, below] = AcrossTheUpperSection(input, c.depth);
    ASSERT_TRUE(above.ok && below.ok) << above.fault.message << below.fault.message;
    const double HR12 = input[field::HR12].number;
    EXPECT_LE(above.state.*c.depth, HR12);
    EXPECT_GT(below.state.*c.depth, HR12);
    EXPECT_GT(below.state.*c.meets, 0) << "ZS2 = " << c.ZS2;
    EXPECT_NEAR(above.state.*c.meets, below.state.*c.meets, 1e-6 * below.state.*c.meets)
        << "ZS2 = " << c.ZS2;
  }
}

TEST(Faults, EndTheRunWithAMessage) {
  using K = CalculationFault::Kind;
  struct Case {
    const char* example;
    int index;
    const char* text;
    K kind;
    const char* message_part;
  };
  const Case cases[] = {
      {k4Pole, field::A, "0", K::DivideByZero, "第16项 每相串联导体数ZF 除数为零"},
      {k4Pole, field::CZN, "3", K::Selector, "CZN"},
      {k4Pole, field::ZC, "5", K::Selector, "ZC"},
      {k4Pole, field::P, "3", K::Selector, "（P）"},
      {k4Pole, field::P, "4.5", K::Selector, "（P）"},
      {k6PoleSingleLayer, field::P, "10", K::Selector, "单层绕组"},
      {k4Pole, field::Un, "380V", K::TypeMismatch, "第3项"},
      {k4Pole, field::ZC, "two", K::TypeMismatch, "ZC"},
      {k4Pole, field::SHFA, "x", K::TypeMismatch, "SHFA"},  // only at the report
      {k4Pole, field::f, "-50", K::Invalid, "无效运算"},    // a negative square root
      {k4Pole, field::Pn, "0", K::DivideByZero, "第26.1项 饱和系数初值FT0"},  // log 0
  };
  for (const Case& c : cases) {
    Outcome run = CalcWith(c.example, c.index, c.text);
    ASSERT_FALSE(run.ok) << c.text;
    EXPECT_EQ(run.fault.kind, c.kind) << run.fault.message;
    EXPECT_NE(run.fault.message.find(c.message_part), std::string::npos) << run.fault.message;
  }
}

TEST(Faults, TextThatIsOnlyPrintedIsCarriedThrough) {
  Outcome run = CalcWith(k4Pole, field::PF, "约0.84");
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_TRUE(run.state.in.PF.is_text);
}

}  // namespace
}  // namespace velmora::calc
