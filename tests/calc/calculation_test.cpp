// The whole calculation run on the example designs and on designs that must fail.
#include "velmora/calc/calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "example_designs.h"

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

void ExpectRelative(double actual, double expected, const char* name) {
  EXPECT_NEAR(actual, expected, 1e-12 * std::fabs(expected)) << name;
}

// Hand calculation of items 1 to 21 for the 4-pole 5.5 kW example
// (36/32 slots, bore 136 mm, 46 conductors per slot, pitch 8 of 9).
TEST(RatedDataAndWinding, MatchHandCalculation) {
  Outcome run = Calc(Example(k4Pole));
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  ExpectRelative(s.IKW, 5500.0 / 1140, "IKW");
  ExpectRelative(s.Qp1, 3, "Qp1");
  ExpectRelative(s.TP, 3.1415926 * 136 / 4, "TP");
  ExpectRelative(s.T1, 11.868238711111111, "T1");
  ExpectRelative(s.T2, 13.273228735, "T2");
  ExpectRelative(s.S, 1.2036226648750001, "S");
  ExpectRelative(s.ASS, 126.608625075, "ASS");
  ExpectRelative(s.AI, 17.38115001, "AI");
  ExpectRelative(s.AE, 109.22747506500001, "AE");
  ExpectRelative(s.SF, 0.7368677153079258, "SF");
  ExpectRelative(s.ZF, 552, "ZF");
  ExpectRelative(s.KD1, 0.9597950818816267, "KD1");
  ExpectRelative(s.KP1, 0.9848077488763101, "KP1");
  ExpectRelative(s.KDP1, 0.9452136339703985, "KDP1");
  ExpectRelative(s.HS1, 0.9526279245132916, "HS1");
  ExpectRelative(s.HS2, 13.047372075486708, "HS2");
  ExpectRelative(s.HR1, 1.3856406174738787, "HR1");
  ExpectRelative(s.HR2, 18.61435938252612, "HR2");
  EXPECT_EQ(s.B25.value, 17600);
  EXPECT_EQ(s.P10.value, 5.1);
}

// Every example converges to plausible performance, and every iteration
// ends within its tolerance.
class ExampleDesign : public testing::TestWithParam<const char*> {};

TEST_P(ExampleDesign, ConvergesToPlausiblePerformance) {
  Outcome run = Calc(Example(GetParam()));
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  EXPECT_LE(std::fabs(s.FT - s.FT0), 0.01);
  EXPECT_LE(std::fabs(s.KE - s.KE0), 0.005);
  EXPECT_LE(std::fabs(s.EFF - s.EFF0), 0.002);
  EXPECT_LE(std::fabs(s.IST - s.IST1), 0.03);
  EXPECT_GT(s.EFF, 0.75);
  EXPECT_LT(s.EFF, 0.95);
  EXPECT_GT(s.PF, 0.7);
  EXPECT_LT(s.PF, 0.92);
  EXPECT_GT(s.TMAX1, 1.8);
  EXPECT_LT(s.TMAX1, 3.5);
  EXPECT_GT(s.Ist, 4);
  EXPECT_LT(s.Ist, 9);
  EXPECT_GE(s.passes.FT0, s.passes.KE0);
  EXPECT_GE(s.passes.EFF0, s.passes.KE0);
}

TEST_P(ExampleDesign, TwoRunsGiveIdenticalStates) {
  Outcome first = Calc(Example(GetParam()));
  Outcome second = Calc(Example(GetParam()));
  ASSERT_TRUE(first.ok && second.ok);
  for (const QuantityEntry& entry : QuantityTable()) {
    QuantityView a = entry.get(first.state), b = entry.get(second.state);
    EXPECT_EQ(a.set, b.set) << entry.name;
    EXPECT_EQ(std::memcmp(&a.value, &b.value, sizeof a.value), 0) << entry.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleDesign,
                         testing::Values(k4Pole, k2Pole, k6PoleSingleLayer, kTwoSection));

TEST(Iterations, FirstPassesKeepTheirStartValues) {
  // The 4-pole example accepts KE0 = 0.922 at once.
  Outcome run = Calc(Example(k4Pole));
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.state.passes.KE0, 1);
  EXPECT_EQ(run.state.KE0.value, 0.922);
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
  EXPECT_FALSE(s.HT1.set);
  EXPECT_FALSE(s.HJ1.set);
  EXPECT_FALSE(s.HT10.set);
  EXPECT_FALSE(s.pt1.set);
  EXPECT_FALSE(s.B25.set);
  EXPECT_FALSE(s.P10.set);
  EXPECT_EQ(s.FT.value, 1);
  EXPECT_EQ(s.FT1.value, 0);
  EXPECT_EQ(s.FJ1.value, 0);
  EXPECT_EQ(s.PFE.value, 0);
  EXPECT_EQ(s.PXZFE1.value, 0);
}

TEST(SteelGrade, DensityOffTheCurveKeepsTheFieldStrengthOfTheLastPass) {
  // A thin stator yoke drives BJ1 past the end of the curve (1.89 T).
  Outcome run = CalcWith(k4Pole, field::D1, "192");
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_GT(run.state.BJ1, 1.89);
  EXPECT_FALSE(run.state.HJ1.set);
  EXPECT_EQ(run.state.FJ1.value, 0);
}

TEST(RotorSlot, TwoSectionSlotLeavesSingleToothQuantitiesUnset) {
  Outcome run = Calc(Example(kTwoSection));
  ASSERT_TRUE(run.ok) << run.fault.message;
  const CalculationState& s = run.state;
  for (auto unset : {s.BT2W.set, s.AT2.set, s.BT2.set, s.LT2.set, s.HT2.set}) EXPECT_FALSE(unset);
  EXPECT_EQ(s.FT2.value, s.FT2L + s.FT2U);
  EXPECT_EQ(s.BT20.value, 0);
  EXPECT_EQ(s.Ft20.value, 0);
  EXPECT_EQ(s.SBN.value, s.SB.value);
  EXPECT_TRUE(s.HPR.set && s.HPX.set && s.KHP.set);
}

TEST(RotorSlot, EqualWidthsUseTheSubstituteRatio) {
  DesignInput input = Example(k4Pole);
  input[field::BR2] = design::ConvertField(field::BR2, "5.8");
  Outcome run = Calc(input);
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_EQ(run.state.BAta.value, 1.05);
  EXPECT_NEAR(run.state.ba, -0.05, 1e-15);
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

struct FaultCase {
  const char* name;
  const char* example;
  int index;
  const char* text;
  CalculationFault::Kind kind;
  const char* message_part;
};

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, EndTheRunWithAMessage) {
  const FaultCase& c = GetParam();
  Outcome run = CalcWith(c.example, c.index, c.text);
  ASSERT_FALSE(run.ok);
  EXPECT_EQ(run.fault.kind, c.kind) << run.fault.message;
  EXPECT_NE(run.fault.message.find(c.message_part), std::string::npos) << run.fault.message;
}

using K = CalculationFault::Kind;
INSTANTIATE_TEST_SUITE_P(
    Designs, Faults,
    testing::Values(FaultCase{"ZeroPathsDivideInItem16", k4Pole, field::A, "0", K::DivideByZero,
                              "第16项 每相串联导体数ZF 除数为零"},
                    FaultCase{"WindingLayers", k4Pole, field::CZN, "3", K::Selector, "CZN"},
                    FaultCase{"RotorSlotShape", k4Pole, field::ZC, "5", K::Selector, "ZC"},
                    FaultCase{"OddPoles", k4Pole, field::P, "3", K::Selector, "（P）"},
                    FaultCase{"FractionalPoles", k4Pole, field::P, "4.5", K::Selector, "（P）"},
                    FaultCase{"SingleLayerTenPoles", k6PoleSingleLayer, field::P, "10", K::Selector,
                              "单层绕组"},
                    FaultCase{"TextInArithmetic", k4Pole, field::Un, "380V", K::TypeMismatch,
                              "第3项"},
                    FaultCase{"TextSelector", k4Pole, field::ZC, "two", K::TypeMismatch, "ZC"},
                    FaultCase{"TextLayoutSelectorAtTheReport", k4Pole, field::SHFA, "x",
                              K::TypeMismatch, "SHFA"},
                    FaultCase{"NegativeFrequencyUnderSquareRoot", k4Pole, field::f, "-50",
                              K::Invalid, "无效运算"},
                    FaultCase{"ZeroOutputLogarithm", k4Pole, field::Pn, "0", K::DivideByZero,
                              "第26.1项 饱和系数初值FT0"}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(Faults, TextThatIsOnlyPrintedIsCarriedThrough) {
  Outcome run = CalcWith(k4Pole, field::PF, "约0.84");
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_TRUE(run.state.in.PF.is_text);
}

}  // namespace
}  // namespace velmora::calc
