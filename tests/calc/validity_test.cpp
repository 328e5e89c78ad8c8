// What a run records about its own trustworthiness: steel-curve look-ups off
// the curve on either side, impossible inputs and results, and the two loops
// faults that say why they cannot converge.
#include "velmora/calc/validity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "example_designs.h"
#include "velmora/calc/calculation.h"
#include "velmora/calc/design_check.h"

namespace velmora::calc {
namespace {

namespace field = design::field;
using namespace examples;
using Kind = ValidityNote::Kind;
using Problem = ValidityNote::Problem;
using Outcome = CheckLine::Outcome;

struct Variant {
  design::DesignInput input;
  bool ok = false;
  CalculationState state;
  CalculationFault fault;
  Validity validity;

  Variant(const char* example, std::initializer_list<std::pair<int, const char*>> changes)
      : input(Example(example)) {
    for (const auto& [index, text] : changes) input[index] = design::ConvertField(index, text);
    ok = Calculate(input, state, fault);
    if (ok) validity = AssessValidity(state);
  }

  const ValidityNote* Find(Kind kind, std::string_view quantity) const {
    for (const ValidityNote& note : validity.notes())
      if (note.kind == kind && note.quantity == quantity) return &note;
    return nullptr;
  }
};

TEST(Validity, ExamplesAreTrustworthyWithoutNotes) {
  for (const char* example : {k4Pole, k2Pole, k6PoleSingleLayer, kTwoSection}) {
    Variant run(example, {});
    ASSERT_TRUE(run.ok) << run.fault.message;
    EXPECT_TRUE(run.validity.notes().empty()) << example;
  }
}

// Short core, few conductors, narrow gap: the teeth sit at 2.1 to 2.3 T, far
// above the curve's last point, so HT1 is never found and counts as 0; the
// efficiency comes out 0.90 and must not pass the check.
TEST(Validity, TeethAboveTheCurveMakeTheResultsUntrustworthy) {
  Variant run(k4Pole,
              {{field::L, "115"}, {field::Z, "36"}, {field::G, "0.3"}, {field::BS2, "8.5"}});
  ASSERT_TRUE(run.ok) << run.fault.message;
  const ValidityNote* BT1 = run.Find(Kind::AboveCurve, "BT1");
  ASSERT_NE(BT1, nullptr);
  EXPECT_EQ(BT1->value, run.state.BT1.value);
  EXPECT_EQ(BT1->kept_name, "HT1");
  EXPECT_FALSE(BT1->kept_set);
  EXPECT_FALSE(run.state.HT1.set);
  ASSERT_NE(run.Find(Kind::AboveCurve, "pt1"), nullptr);
  EXPECT_FALSE(run.validity.Trustworthy());

  DesignCheck check = CheckDesign(run.input, run.state, run.validity);
  EXPECT_EQ(check.lines[0].outcome, Outcome::Untrusted);  // EFF
  EXPECT_EQ(check.lines[6].outcome, Outcome::Fail);       // BH
  EXPECT_EQ(check.lines[7].outcome, Outcome::Pass);       // inputs and results possible
  EXPECT_TRUE(check.AnyFailed());
  EXPECT_FALSE(check.Trustworthy());
}

// A slot opening wider than the slot: the stator tooth density climbs past
// the curve in a later pass, so HT1 keeps the value an earlier pass found.
TEST(Validity, ValueFoundInAnEarlierPassThenLostIsNamed) {
  Variant run(k6PoleSingleLayer, {{field::B01, "13"}});
  ASSERT_TRUE(run.ok) << run.fault.message;
  const ValidityNote* BT1 = run.Find(Kind::AboveCurve, "BT1");
  ASSERT_NE(BT1, nullptr);
  EXPECT_TRUE(BT1->kept_set);
  EXPECT_EQ(BT1->kept, run.state.HT1.value);
  EXPECT_GT(BT1->kept, 100);

  const ValidityNote* B01 = run.Find(Kind::Input, "B01");
  ASSERT_NE(B01, nullptr);
  EXPECT_EQ(B01->problem, Problem::OpeningTooWide);
  EXPECT_EQ(B01->other, "BS1");
  ASSERT_NE(run.Find(Kind::Result, "IM"), nullptr);  // a negative magnetizing current
}

// A large stator: the stator yoke runs below 0.50 T. A note, not a warning.
TEST(Validity, YokeBelowTheCurveIsANoteOnly) {
  Variant run(k6PoleSingleLayer, {{field::D1, "266.74"}});
  ASSERT_TRUE(run.ok) << run.fault.message;
  ASSERT_NE(run.Find(Kind::BelowCurve, "BJ1"), nullptr);
  EXPECT_TRUE(run.validity.Trustworthy());
  EXPECT_TRUE(CheckDesign(run.input, run.state, run.validity).Trustworthy());
}

TEST(Validity, ImpossibleInputsAndResultsAreNeverAPass) {
  Variant negative(k6PoleSingleLayer, {{field::Z, "-44"}});
  ASSERT_TRUE(negative.ok) << negative.fault.message;
  EXPECT_EQ(negative.Find(Kind::Input, "Z")->problem, Problem::NotPositive);
  EXPECT_EQ(negative.Find(Kind::Result, "EFF")->problem, Problem::NotBelowOne);
  EXPECT_EQ(negative.Find(Kind::Result, "R1")->problem, Problem::Negative);
  ASSERT_NE(negative.Find(Kind::Result, "PCU1"), nullptr);

  Variant tiny(k6PoleSingleLayer, {{field::Z, "0.01"}, {field::PFW, "46"}});
  ASSERT_TRUE(tiny.ok) << tiny.fault.message;
  EXPECT_GT(tiny.state.PF, 1);
  EXPECT_EQ(tiny.Find(Kind::Result, "PF")->problem, Problem::AboveOne);
  EXPECT_EQ(tiny.Find(Kind::Input, "Z")->problem, Problem::NotWhole);
  DesignCheck check = CheckDesign(tiny.input, tiny.state, tiny.validity);
  EXPECT_EQ(check.lines[1].outcome, Outcome::Untrusted);  // PF
  EXPECT_EQ(check.lines[7].outcome, Outcome::Fail);
}

// The input EFF is also the start of the efficiency loop: far from what the
// design reaches, the loops chase each other; the fault says what to enter.
TEST(Validity, EfficiencyFarFromTheComputedOneIsNamedInTheFault) {
  Variant run(k4Pole, {{field::EFF, "0.97"}});
  ASSERT_FALSE(run.ok);
  EXPECT_EQ(run.fault.kind, CalculationFault::Kind::NoConvergence);
  EXPECT_NE(run.fault.message.find("输入效率EFF=0.97与计算所得效率约0.883相差较大"),
            std::string::npos)
      << run.fault.message;
  EXPECT_NE(run.fault.message.find("请改为接近0.883的值再算"), std::string::npos);
}

// A zero input behind an arithmetic fault is named beside the item.
TEST(Validity, AFaultNamesTheInputsThatAreZero) {
  Variant run(k4Pole, {{field::A, "0"}});
  ASSERT_FALSE(run.ok);
  EXPECT_EQ(run.fault.item, "16");
  EXPECT_TRUE(run.fault.message.ends_with("除数为零（输入数据“并联路数A”（A）为0）"))
      << run.fault.message;
}

// On a 20 mm core the starting-current iteration swings between two values
// for ever; the run ends as soon as the state repeats.
TEST(Iterations, ACycleEndsTheRunAtOnce) {
  Variant run(k4Pole, {{field::L, "20"}});
  ASSERT_FALSE(run.ok);
  EXPECT_EQ(run.fault.kind, CalculationFault::Kind::NoConvergence);
  EXPECT_EQ(run.fault.item, "117.1");
  EXPECT_NE(run.fault.message.find("迭代每2次重复一次"), std::string::npos) << run.fault.message;
  EXPECT_NE(run.fault.message.find("IST1="), std::string::npos);
  EXPECT_LT(run.state.passes.IST1, 100);
}

// A narrow gap and a narrow rotor slot opening: the starting current creeps
// to its value over 379 passes without repeating. The same passes and the
// same result as a build without repeat detection gave.
TEST(Iterations, ASlowLoopThatConvergesIsLeftAlone) {
  Variant run(k4Pole, {{field::B02, "0.5014"}, {field::G, "0.1687"}});
  ASSERT_TRUE(run.ok) << run.fault.message;
  EXPECT_EQ(run.state.passes.IST1, 379);
}

}  // namespace
}  // namespace velmora::calc
