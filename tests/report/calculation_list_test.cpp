// The calculation list where the example reports (golden files) do not
// reach: model numbers, wide and text inputs, negative and unset values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_fixture.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace field = design::field;
using testing::FilledState;
using testing::Lines;
using testing::SampleInput;

// Header (4 lines), 13 input lines, 2 empty lines, heading, empty line, 223 items.
constexpr int kListLines = 4 + 13 + 2 + 1 + 1 + 223;

std::vector<std::string> ListLines(const design::DesignInput& input,
                                   const calc::CalculationState& state = FilledState()) {
  return Lines(CalculationListReport(input, state));
}

// The line of the numbered list that starts with `label`.
std::string Item(const std::vector<std::string>& lines, const std::string& label) {
  for (std::size_t i = 21; i < lines.size(); ++i)
    if (lines[i].starts_with(label)) return lines[i];
  return "<no line " + label + ">";
}

TEST(CalculationList, NumericMotorModelIsFormattedAsANumber) {
  EXPECT_EQ(ListLines(SampleInput({{field::TYPE, "0132"}}))[0], "        电机型号：132");
}

TEST(CalculationList, WideInputPushesTheRestOfItsLineToTheNextTabColumn) {
  auto lines = ListLines(SampleInput({{field::f, "1e20"}}));
  ASSERT_EQ(static_cast<int>(lines.size()), kListLines + 1);
  EXPECT_EQ(lines[4], "          f=100000000000000000000.");
  EXPECT_TRUE(lines[5].starts_with(std::string(29, ' ') + "Un=1.5")) << lines[5];
}

TEST(CalculationList, SignPositionUnsetValuesAndTextInputs) {
  calc::CalculationState state = FilledState();
  state.HJ21 = -3.5;
  state.HJ11 = calc::Quantity{};
  auto lines = ListLines(SampleInput({{field::PF, "0.85*"}}), state);
  ASSERT_EQ(static_cast<int>(lines.size()), kListLines);
  EXPECT_EQ(Item(lines, "24.2."), "24.2.转子轭计算高度HJ21=-3.5 ");
  EXPECT_EQ(Item(lines, "24.1."), "24.1.定子轭计算高度HJ11=");
  // An input that holds text prints as typed, without spaces.
  EXPECT_EQ(Item(lines, "5.功率因数"), "5.功率因数PF=0.85*");
}

}  // namespace
}  // namespace velmora::report
