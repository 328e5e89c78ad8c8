// What a run records about its own trustworthiness: steel-curve look-ups off
// the curve on either side, impossible inputs and results, and the two loops
// faults that say why they cannot converge.
#include "velmora/calc/validity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "example_designs.h"
#include "velmora/calc/calculation.h"
#include "velmora/studies/design_check.h"

namespace velmora::calc {
namespace {

namespace field = design::field;
using namespace examples;
using studies::CheckDesign;
using studies::CheckLine;
using studies::DesignCheck;
using Kind = ValidityNote::Kind;
using Problem = ValidityNote::Problem;
using Outcome = CheckLine::Outcome;

struct Variant {
  design::DesignInput input;
  bool ok = false;
  CalculationState state;
  CalculationFault fault;
  Validity validity;

  Variant(const char* example, const std::vector<std::pair<int, const char*>>& changes)
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
  // The problem of that note, None when there is none.
  Problem ProblemOf(Kind kind, std::string_view quantity) const {
    const ValidityNote* note = Find(kind, quantity);
    return note ? note->problem : Problem::None;
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
  EXPECT_EQ(negative.ProblemOf(Kind::Input, "Z"), Problem::NotPositive);
  EXPECT_EQ(negative.ProblemOf(Kind::Result, "EFF"), Problem::NotBelowOne);
  EXPECT_EQ(negative.ProblemOf(Kind::Result, "R1"), Problem::Negative);
  ASSERT_NE(negative.Find(Kind::Result, "PCU1"), nullptr);

  Variant tiny(k6PoleSingleLayer, {{field::Z, "0.01"}, {field::PFW, "46"}});
  ASSERT_TRUE(tiny.ok) << tiny.fault.message;
  EXPECT_GT(tiny.state.PF, 1);
  EXPECT_EQ(tiny.ProblemOf(Kind::Result, "PF"), Problem::AboveOne);
  EXPECT_EQ(tiny.ProblemOf(Kind::Input, "Z"), Problem::NotWhole);
  DesignCheck check = CheckDesign(tiny.input, tiny.state, tiny.validity);
  EXPECT_EQ(check.lines[1].outcome, Outcome::Untrusted);  // PF
  EXPECT_EQ(check.lines[7].outcome, Outcome::Fail);

  // A stacking factor above 1 packs more iron than the stack holds; 1 itself is allowed.
  Variant packed(k4Pole, {{field::Kfe, "1.5"}});
  ASSERT_TRUE(packed.ok) << packed.fault.message;
  EXPECT_EQ(packed.ProblemOf(Kind::Input, "Kfe"), Problem::AboveOne);
  Variant solid(k4Pole, {{field::Kfe, "1"}});
  ASSERT_TRUE(solid.ok) << solid.fault.message;
  EXPECT_EQ(solid.Find(Kind::Input, "Kfe"), nullptr);
}

// A stator outer diameter just around the bore: the yoke height is negative,
// the yoke density with it, and the yoke iron loss counts as 0 — the
// efficiency rises to IE3. A motor that cannot be built is never a pass.
TEST(Validity, NegativeYokeIsImpossibleGeometryAndFailsTheCheck) {
  Variant run(k2Pole, {{field::D1, "116.7"}});
  ASSERT_TRUE(run.ok) << run.fault.message;
  const ValidityNote* HJ11 = run.Find(Kind::Geometry, "HJ11");
  ASSERT_NE(HJ11, nullptr);
  EXPECT_LT(HJ11->value, 0);
  const ValidityNote* BJ1 = run.Find(Kind::Geometry, "BJ1");
  ASSERT_NE(BJ1, nullptr);
  EXPECT_EQ(BJ1->problem, Problem::DensityNotPositive);
  EXPECT_EQ(run.Find(Kind::BelowCurve, "BJ1"), nullptr);
  EXPECT_FALSE(run.validity.Trustworthy());
  EXPECT_TRUE(run.validity.AnyUnbuildable());

  DesignCheck check = CheckDesign(run.input, run.state, run.validity);
  for (int i = 0; i < DesignCheck::kTargetRuleCount; ++i)
    EXPECT_EQ(check.lines[i].outcome, Outcome::Untrusted) << check.lines[i].name;
  EXPECT_EQ(check.lines[7].name, "VALID");
  EXPECT_EQ(check.lines[7].outcome, Outcome::Fail);
  EXPECT_EQ(check.lines[DesignCheck::kClassRule].outcome, Outcome::Untrusted);
  EXPECT_FALSE(check.Trustworthy());
}

// One impossible design a row: the change, and the note it must bring.
struct Unbuildable {
  const char* example;
  std::vector<std::pair<int, const char*>> changes;
  Kind kind;
  const char* quantity;
  Problem problem;
};

class UnbuildableDesigns : public ::testing::TestWithParam<Unbuildable> {};

TEST_P(UnbuildableDesigns, AreNamedAndFailTheirRule) {
  const Unbuildable& c = GetParam();
  Variant run(c.example, c.changes);
  ASSERT_TRUE(run.ok) << run.fault.message;
  const ValidityNote* note = run.Find(c.kind, c.quantity);
  ASSERT_NE(note, nullptr) << c.quantity;
  EXPECT_EQ(note->problem, c.problem);
  DesignCheck check = CheckDesign(run.input, run.state, run.validity);
  const int rule = c.kind == Kind::Winding ? 8 : 7;  // WIND, VALID
  EXPECT_EQ(check.lines[rule].outcome, Outcome::Fail);
  EXPECT_EQ(check.lines[15 - rule].outcome, Outcome::Pass);  // the other of the two
  // A motor that cannot be built has no trustworthy result; an impossible
  // starting result leaves the rated-load ones standing.
  const bool starting = c.kind == Kind::Result;
  EXPECT_EQ(check.lines[0].outcome == Outcome::Untrusted, !starting);  // EFF
  EXPECT_EQ(check.lines[2].outcome, Outcome::Untrusted);               // IST
  EXPECT_EQ(check.lines[3].outcome, Outcome::Untrusted);               // TST
}

INSTANTIATE_TEST_SUITE_P(
    Validity, UnbuildableDesigns,
    ::testing::Values(
        // Conductors that do not fit the slot: SF 1.025.
        Unbuildable{k4Pole, {{field::Z, "64"}}, Kind::Geometry, "SF", Problem::Overfull},
        // A rotor slot wider at the bottom than the tooth pitch there.
        Unbuildable{k4Pole, {{field::BR2, "12"}}, Kind::Geometry, "BT2W", Problem::NotPositive},
        // Two-section slot: a lower section wider than its tooth pitch.
        Unbuildable{kTwoSection,
                    {{field::BR3, "18"}, {field::BR4, "16"}},
                    Kind::Geometry,
                    "BT2LW",
                    Problem::NotPositive},
        // A bore so large that the stator slots reach through the yoke.
        Unbuildable{k4Pole,
                    {{field::DI1, "171.28"}, {field::HS12, "18"}},
                    Kind::Geometry,
                    "HJ11",
                    Problem::NotPositive},
        // A rotor slot deeper than the rotor: the yoke under it is negative.
        Unbuildable{k4Pole, {{field::DI2, "120"}}, Kind::Geometry, "HJ21", Problem::NotPositive},
        // A stator opening as wide as the slot pitch.
        Unbuildable{k6PoleSingleLayer,
                    {{field::B01, "13"}, {field::BS1, "13"}},
                    Kind::Geometry,
                    "B01",
                    Problem::OpeningTooWide},
        // Double layer: Z/2 conductors a layer.
        Unbuildable{k4Pole, {{field::Z, "45"}}, Kind::Winding, "Z", Problem::OddConductors},
        // 4 coil groups a phase (double layer, 4 poles) cannot form 3 paths,
        Unbuildable{k4Pole, {{field::A, "3"}}, Kind::Winding, "A", Problem::PathsDoNotDivide},
        // nor 3 groups (single layer, 6 poles) 2 paths.
        Unbuildable{k6PoleSingleLayer,
                    {{field::A, "2"}, {field::Z, "88"}, {field::JJ, "1"}},
                    Kind::Winding,
                    "A",
                    Problem::PathsDoNotDivide},
        // 35 slots cannot be shared among three phases.
        Unbuildable{k4Pole, {{field::Q1, "35"}}, Kind::Winding, "Q1", Problem::Asymmetric},
        // A double-layer coil spans whole slots.
        Unbuildable{k4Pole, {{field::Y1, "7.5"}}, Kind::Winding, "Y1", Problem::NotWhole},
        // A single layer needs whole slots per pole and phase: 45/18 is not.
        Unbuildable{
            k6PoleSingleLayer, {{field::Q1, "45"}}, Kind::Winding, "Q1", Problem::FractionalSlots},
        // A 0.2 mm gap puts the starting leakage density at 10.42 T, in the
        // curve's range that gives KZ 1.31: the tooth-tip reductions and the
        // stator slot leakage at starting come out negative.
        Unbuildable{k6PoleSingleLayer,
                    {{field::G, "0.20032602350330703"},
                     {field::B01, "2.0085807629089714"},
                     {field::BS2, "10.342753082066297"}},
                    Kind::Result,
                    "KZ",
                    Problem::LeakageFactorAboveOne},
        // A 1 mm stator opening under a 50° shoulder: its saturation
        // reduction at starting exceeds the slot's whole permeance.
        Unbuildable{k6PoleSingleLayer,
                    {{field::B01, "1.0"}, {field::ZS1, "50"}},
                    Kind::Result,
                    "SP1ST",
                    Problem::NotPositive},
        // An opening narrower than the 0.85 mm wire with its enamel (0.91 mm).
        Unbuildable{k6PoleSingleLayer,
                    {{field::B01, "0.9"}},
                    Kind::Geometry,
                    "B01",
                    Problem::OpeningTooNarrow}),
    [](const ::testing::TestParamInfo<Unbuildable>& info) {
      return std::string(info.param.quantity) + "_" + std::to_string(info.index);
    });

// The edges of the new rules: a full pitch, paths equal to the coil groups,
// a fractional-slot double layer and slot fill just below 1 are all buildable.
TEST(Validity, WindingsAtTheEdgeOfTheRulesAreBuildable) {
  for (const Variant& run :
       {Variant(k4Pole, {{field::Y1, "9"}}), Variant(k4Pole, {{field::A, "4"}}),
        Variant(k4Pole, {{field::A, "2"}, {field::Q1, "42"}, {field::Y1, "10"}}),
        Variant(k6PoleSingleLayer, {{field::A, "3"}})}) {
    ASSERT_TRUE(run.ok) << run.fault.message;
    EXPECT_EQ(run.validity.Count(Kind::Winding), 0) << run.input[field::Y1].text;
  }
  Variant full(k4Pole, {{field::Z, "62"}});  // SF 0.993
  ASSERT_TRUE(full.ok);
  EXPECT_EQ(full.validity.Count(Kind::Geometry), 0);
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
  // A double layer's pitch of 0 makes the winding factor 0; a single layer
  // does not read its pitch there.
  Variant pitch(k4Pole, {{field::Y1, "0"}});
  ASSERT_FALSE(pitch.ok);
  EXPECT_TRUE(pitch.fault.message.ends_with("（输入数据“节距Y1”（Y1）为0）"))
      << pitch.fault.message;
  EXPECT_TRUE(Variant(k6PoleSingleLayer, {{field::Y1, "0"}}).ok);
  // The root of a negative gap.
  Variant gap(k4Pole, {{field::G, "-0.4"}});
  ASSERT_FALSE(gap.ok);
  EXPECT_EQ(gap.fault.kind, CalculationFault::Kind::Invalid);
  EXPECT_TRUE(gap.fault.message.ends_with("（输入数据“气隙G”（G）为-0.4）")) << gap.fault.message;
}

// A narrow gap: the starting current swings between two values whose leakage
// flux densities lie either side of steps of KZ; the fault says so, with
// numbers of six digits.
TEST(Iterations, ACycleAcrossAKZStepSaysWhy) {
  Variant run(k4Pole, {{field::G, "0.2"}});
  ASSERT_FALSE(run.ok);
  EXPECT_EQ(run.fault.item, "117.1");
  EXPECT_NE(run.fault.message.find("（IST1=47.7687，计算值=25.7667）"), std::string::npos)
      << run.fault.message;
  EXPECT_NE(run.fault.message.find("跨过漏抗饱和系数KZ的分段点"), std::string::npos);
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
