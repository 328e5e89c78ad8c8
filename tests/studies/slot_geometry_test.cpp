// The slot outlines drawn from the inputs, checked against the bar areas of
// the calculation and against areas added up by hand.
#include "velmora/studies/slot_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "example_designs.h"
#include "velmora/design/input_file.h"
#include "velmora/studies/engine.h"

namespace velmora::studies {
namespace {

using design::DesignInput;
namespace field = design::field;

using examples::Example;

double Radius(const Point& point) { return std::hypot(point.x, point.y); }

// The examples hold one rotor slot of each shape.
struct RotorCase {
  const char* example;
  int ZC;
};

class RotorSlotArea : public testing::TestWithParam<RotorCase> {};

// The bar area SB leaves out the opening strip HR0·B02 only for the
// two-section slot.
TEST_P(RotorSlotArea, AgreesWithTheBarAreaOfTheCalculation) {
  const DesignInput input = Example(GetParam().example);
  ASSERT_EQ(input[field::ZC].number, GetParam().ZC);
  CalculationState state;
  CalculationFault fault;
  ASSERT_TRUE(Calculate(input, state, fault)) << fault.message;

  const SlotDrawing drawing = DrawSlots(input);
  ASSERT_TRUE(drawing.Drawn());
  double expected = state.SB.value;
  if (GetParam().ZC == 4) expected += input[field::HR0].number * input[field::B02].number;
  EXPECT_NEAR(std::fabs(PolygonArea(drawing.rotor.outline)), expected, 0.005 * expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, RotorSlotArea,
                         testing::Values(RotorCase{"Y132M2-6-5.5kW", 1},
                                         RotorCase{"Y132S-4-5.5kW", 2},
                                         RotorCase{"Y132S2-2-7.5kW", 3},
                                         RotorCase{"Y160M-4-11kW-ZC4", 4}));

struct StatorCase {
  double B01, HS0, ZS1, BS1, BS2, HS12;
  double area;
};

// Opening HS0·B01 + lip HS1·(B01 + BS1)/2 + body HS2·(BS1 + BS2)/2 + bottom
// π·BS2²/8, with HS1 = (BS1 − B01)·tan(ZS1)/2 and HS2 = HS12 − HS1, by hand:
// 2.8 + 5.30441 + 103.91710 + 31.80863 = 143.83013 for the first row; with a
// flat lip (ZS1 = 0) HS1 = 0: 2.8 + 0 + 112 + 31.80863 = 146.60863.
const StatorCase kStatorCases[] = {
    {3.5, 0.8, 30, 7, 9, 14, 143.83013},
    {3.5, 0.8, 0, 7, 9, 14, 146.60863},
};

TEST(StatorSlotArea, IsOpeningLipBodyAndRoundBottom) {
  for (const StatorCase& c : kStatorCases) {
    DesignInput input = Example("Y132S-4-5.5kW");
    design::SetNumber(input, field::B01, c.B01);
    design::SetNumber(input, field::HS0, c.HS0);
    design::SetNumber(input, field::ZS1, c.ZS1);
    design::SetNumber(input, field::BS1, c.BS1);
    design::SetNumber(input, field::BS2, c.BS2);
    design::SetNumber(input, field::HS12, c.HS12);
    const SlotDrawing drawing = DrawSlots(input);
    ASSERT_TRUE(drawing.Drawn());
    // The 720-piece circle falls short of π·r² by about 1.3e-5 of it.
    EXPECT_NEAR(std::fabs(PolygonArea(drawing.stator.outline)), c.area, 1e-4 * c.area)
        << "ZS1=" << c.ZS1;
  }
}

TEST(SlotPlacement, SlotsOpenOnTheirCirclesAndReachIntoTheIron) {
  const DesignInput input = Example("Y132S-4-5.5kW");
  const SlotDrawing drawing = DrawSlots(input);
  const double DI1 = input[field::DI1].number, G = input[field::G].number;
  EXPECT_DOUBLE_EQ(drawing.stator.radius, DI1 / 2);
  EXPECT_DOUBLE_EQ(drawing.rotor.radius, (DI1 - 2 * G) / 2);
  // The edge starts and ends on the gap circle; the stator slots go outwards
  // and the rotor slots inwards from it.
  for (const SlotOutline* slot : {&drawing.stator, &drawing.rotor}) {
    ASSERT_FALSE(slot->iron_edge.empty());
    EXPECT_NEAR(Radius(slot->iron_edge.front()), slot->radius, 1e-9);
    EXPECT_NEAR(Radius(slot->iron_edge.back()), slot->radius, 1e-9);
  }
  double deepest_stator = 0, deepest_rotor = 1e9;
  for (const Point& p : drawing.stator.iron_edge)
    deepest_stator = std::max(deepest_stator, Radius(p));
  for (const Point& p : drawing.rotor.iron_edge) deepest_rotor = std::min(deepest_rotor, Radius(p));
  const double stator_depth =
      input[field::HS0].number + input[field::HS12].number + input[field::BS2].number / 2;
  EXPECT_NEAR(deepest_stator, DI1 / 2 + stator_depth, 1e-6);
  EXPECT_LT(deepest_rotor, drawing.rotor.radius - input[field::HR12].number);
  EXPECT_FALSE(drawing.stator.dimensions.empty());
  EXPECT_FALSE(drawing.rotor.dimensions.empty());
}

using Why = SlotRefusal::Why;

struct BadBox {
  int index;
  const char* text;
  Why why;
};

// Every box the drawing reads, empty, text, or a value that draws no slot.
const BadBox kBadBoxes[] = {
    {field::B01, "", Why::Empty},          {field::HS0, "abc", Why::NotNumber},
    {field::BS2, "-2", Why::Negative},     {field::DI1, "0", Why::NotPositive},
    {field::Q2, "", Why::Empty},           {field::ZC, "5", Why::NotSlotShape},
    {field::ZC, "2.5", Why::NotSlotShape}, {field::HR12, "1e999", Why::NotNumber},
    {field::G, "70", Why::GapTooWide},
};

TEST(SlotDrawingRefusal, NamesTheBoxInsteadOfDrawing) {
  for (const BadBox& bad : kBadBoxes) {
    DesignInput input = Example("Y132S-4-5.5kW");
    input[bad.index] = design::ConvertField(bad.index, bad.text);
    const SlotDrawing drawing = DrawSlots(input);
    EXPECT_EQ(drawing.refusal.why, bad.why) << bad.text;
    EXPECT_EQ(drawing.refusal.field, bad.index) << bad.text;
    EXPECT_TRUE(drawing.stator.outline.empty() && drawing.rotor.outline.empty()) << bad.text;
    EXPECT_TRUE(drawing.stator.iron_edge.empty() && drawing.rotor.iron_edge.empty());
  }
}

// The lower section is read only for the two-section slot.
TEST(SlotDrawingRefusal, IgnoresTheLowerSectionOfOtherShapes) {
  DesignInput input = Example("Y132S-4-5.5kW");
  input[field::HR3] = design::ConvertField(field::HR3, "");
  EXPECT_TRUE(DrawSlots(input).Drawn());
}

}  // namespace
}  // namespace velmora::studies
