// Sizing a new motor from its rating: the frames of the examples, a design
// that can be built and trusted, and refusals of ratings outside the tables.
#include "velmora/studies/sizing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace velmora::studies {
namespace {

namespace field = design::field;

Rating RatingOf(double Pn, int P) {
  Rating r;
  r.Pn = Pn;
  r.P = P;
  return r;
}

Rating WithTargets(Rating r, std::vector<std::pair<std::string, double>> targets) {
  r.targets = std::move(targets);
  return r;
}

struct ExampleRating {
  double Pn;
  int P;
  int H;
  double D1;
};

// The four examples: Y132S-4, Y132S2-2, Y132M2-6, Y160M-4.
const ExampleRating kExamples[] = {
    {5.5, 4, 132, 210}, {7.5, 2, 132, 210}, {5.5, 6, 132, 210}, {11, 4, 160, 260}};

TEST(Sizing, ExampleRatingsTakeTheExamplesFrames) {
  for (const ExampleRating& e : kExamples) {
    EXPECT_EQ(StandardFrame(e.Pn, e.P), e.H) << e.Pn << " kW " << e.P;
    Sizing s = SizeDesign(RatingOf(e.Pn, e.P));
    EXPECT_EQ(s.H, e.H);
    EXPECT_EQ(s.design[field::H].number, e.H);
    EXPECT_EQ(s.design[field::D1].number, e.D1) << e.Pn << " kW " << e.P;
  }
}

TEST(Sizing, RatingBetweenTableRatingsTakesTheNextLargerOnesFrame) {
  EXPECT_EQ(StandardFrame(5, 4), 132);
  EXPECT_EQ(StandardFrame(5.6, 4), 132);  // 7.5 kW: 132M
  EXPECT_EQ(StandardFrame(0.5, 4), std::nullopt);
  EXPECT_EQ(StandardFrame(91, 2), std::nullopt);
}

// The winding can be wound, the design runs and its results can be trusted.
TEST(Sizing, SizedDesignsRunAndCanBeTrusted) {
  const Rating ratings[] = {RatingOf(0.75, 4), RatingOf(5.5, 4), RatingOf(15, 2), RatingOf(45, 6)};
  for (const Rating& r : ratings) {
    SCOPED_TRACE(std::to_string(r.Pn) + " kW " + std::to_string(r.P));
    Sizing s = SizeDesign(r);
    const design::DesignInput& d = s.design;
    double Z = d[field::Z].number, A = d[field::A].number;
    EXPECT_EQ(Z, std::floor(Z));
    if (d[field::CZN].number == 2) {
      EXPECT_EQ(std::fmod(Z, 2), 0);
    }
    double groups = d[field::CZN].number == 2 ? r.P : r.P / 2;
    EXPECT_EQ(std::fmod(groups, A), 0);
    CalculationState state;
    CalculationFault fault;
    ASSERT_TRUE(Calculate(d, state, fault)) << fault.message;
    EXPECT_TRUE(CheckDesign(d, state).Trustworthy());
    EXPECT_LE(state.SF, d[field::SF0].number);
    // The correction passes bring the gap density near its aim.
    EXPECT_GT(state.BG, 0.5);
    EXPECT_LT(state.BG, 0.85);
    EXPECT_FALSE(s.steps.empty());
    for (const SizingStep& step : s.steps) EXPECT_FALSE(step.reason.empty()) << step.name;
  }
}

// A large 2-pole rotor takes the two-section slot: a narrow neck over a
// wider lower section, all sections positive, and the design runs and can
// be trusted. The slot begins at 37 kW: 30 kW, in the same 200 mm frame,
// keeps the pear-shaped slot, and so does a 4-pole rotor of 37 kW.
TEST(Sizing, LargeTwoPoleRotorTakesTheTwoSectionSlot) {
  Sizing s = SizeDesign(RatingOf(45, 2));
  const design::DesignInput& d = s.design;
  ASSERT_EQ(d[field::ZC].number, 4);
  double BR1 = d[field::BR1].number, BR2 = d[field::BR2].number, BR3 = d[field::BR3].number,
         BR4 = d[field::BR4].number;
  EXPECT_GT(BR4, 0);
  EXPECT_GT(d[field::HR3].number, 0);
  EXPECT_LT(BR2, BR1);  // the upper section narrows to its neck
  EXPECT_GT(BR3, BR2);  // the lower section is wider than the neck
  EXPECT_GE(BR3, BR4);  // and narrows towards the shaft between parallel teeth
  double HR1 =
      (BR1 - d[field::B02].number) * std::tan(d[field::ZS2].number * std::numbers::pi / 180) / 2;
  EXPECT_GT(d[field::HR12].number, HR1);
  CalculationState state;
  CalculationFault fault;
  ASSERT_TRUE(Calculate(d, state, fault)) << fault.message;
  EXPECT_TRUE(CheckDesign(d, state).Trustworthy());
  struct SlotShape {
    double Pn;
    int P;
    double ZC;
  };
  for (auto [Pn, P, ZC] : {SlotShape{30, 2, 2}, SlotShape{37, 2, 4}, SlotShape{37, 4, 2}})
    EXPECT_EQ(SizeDesign(RatingOf(Pn, P)).design[field::ZC].number, ZC)
        << Pn << " kW " << P << "-pole";
}

TEST(Sizing, TargetsGivenReplaceTheUsualOnes) {
  Sizing s = SizeDesign(WithTargets(RatingOf(5.5, 4), {{"PF", 0.86}, {"IST", 6.5}}));
  EXPECT_EQ(s.design[field::PF].number, 0.86);
  EXPECT_EQ(s.design[field::IST].number, 6.5);
  // The class limit: IE3 at 5.5 kW 4 poles is 89.6 %.
  EXPECT_EQ(s.design[field::EFF].number, 0.896);
  EXPECT_EQ(s.design[field::TYPE].text, "YE3-132S-4");
}

TEST(Sizing, RatingsOutsideTheTablesAreRefusedByName) {
  auto refused = [](const Rating& r, const char* named) {
    try {
      SizeDesign(r);
    } catch (const SizingError& e) {
      return std::string(e.what()).find(named) != std::string::npos;
    }
    return false;
  };
  EXPECT_TRUE(refused(RatingOf(120, 4), "120"));
  EXPECT_TRUE(refused(RatingOf(5.5, 8), "极数"));
  EXPECT_TRUE(refused(RatingOf(NAN, 4), "功率"));
  EXPECT_TRUE(refused(WithTargets(RatingOf(5.5, 4), {{"XX", 1}}), "XX"));
  EXPECT_TRUE(refused(WithTargets(RatingOf(5.5, 4), {{"EFF", 1.2}}), "EFF"));
  EXPECT_THROW(SizeDesign(RatingOf(5.5, 4), 133), SizingError);
}

TEST(Sizing, AnotherFrequencyIsNoted) {
  Rating r = RatingOf(5.5, 4);
  r.f = 60;
  Sizing s = SizeDesign(r);
  ASSERT_EQ(s.notes.size(), 1u);
  EXPECT_NE(s.notes[0].find("50 Hz"), std::string::npos);
}

// The 5.5 kW 4-pole rating at `c`, refined within a small budget.
NewDesign RefinedExampleRating(EfficiencyClass c) {
  NewDesignOptions options;
  options.run.threads = 2;
  options.run.max_evaluations = 20000;
  options.run.max_seconds = kNoTimeLimit;
  Rating r = RatingOf(5.5, 4);
  r.required_class = c;
  return DesignFromRating(r, options);
}

// Refined within a small budget, the IE2 design of the 5.5 kW 4-pole rating
// passes the check in its own frame.
TEST(DesignFromRating, RefinedDesignPassesTheCheck) {
  NewDesign d = RefinedExampleRating(EfficiencyClass::IE2);
  EXPECT_TRUE(d.passed);
  EXPECT_TRUE(d.frames_tried.empty());
  EXPECT_EQ(d.sized.H, 132);
  ASSERT_TRUE(d.refined);
  EXPECT_LE(d.refined->best.cost, d.refined->start.cost * 1.2);
}

// IE3 asks a longer core of the same lamination, not the next frame: the
// 5.5 kW 4-pole design passes in the 132 frame.
TEST(DesignFromRating, IE3DesignPassesInItsOwnFrame) {
  NewDesign d = RefinedExampleRating(EfficiencyClass::IE3);
  EXPECT_TRUE(d.passed);
  EXPECT_TRUE(d.frames_tried.empty());
  EXPECT_EQ(d.sized.H, 132);
  EXPECT_GT(d.design[field::L].number, d.sized.design[field::L].number);
}

}  // namespace
}  // namespace velmora::studies
