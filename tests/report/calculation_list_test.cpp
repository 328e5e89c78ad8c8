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
constexpr int kFirstInputLine = 4;
constexpr int kFirstItemLine = 21;

std::vector<std::string> ListLines(const design::DesignInput& input,
                                   const calc::CalculationState& state) {
  return Lines(CalculationListReport(input, state));
}

// The line of the numbered list that starts with `label`.
std::string Item(const std::vector<std::string>& lines, const std::string& label) {
  for (int i = kFirstItemLine; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i].starts_with(label)) return lines[i];
  }
  return "<no line " + label + ">";
}

TEST(CalculationListTest, HasHeaderInputBlockHeadingAndAll223Items) {
  auto lines = ListLines(SampleInput(), FilledState());
  ASSERT_EQ(static_cast<int>(lines.size()), kListLines);
  EXPECT_EQ(lines[0], "        电机型号：Y132S-4");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "        _初始数据_");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(lines[18], "");
  EXPECT_EQ(lines[19], "        ===============计算清单==================");
  EXPECT_EQ(lines[20], "");
  EXPECT_EQ(lines[kFirstItemLine], "一)额定数据及主要尺寸");
  EXPECT_EQ(lines.back(), "118.起动转矩倍数TST1= 1.25 ");
}

TEST(CalculationListTest, NumericMotorModelIsFormattedAsANumber) {
  auto lines = ListLines(SampleInput({{field::TYPE, "0132"}}), FilledState());
  EXPECT_EQ(lines[0], "        电机型号：132");
}

// With short values the "=" of every label of a column stands in one column.
TEST(CalculationListTest, InputBlockLabelsLineUp) {
  auto lines = ListLines(SampleInput(), FilledState());
  const std::vector<int> columns = {12, 32, 53, 75, 91};
  for (int i = kFirstInputLine; i < kFirstInputLine + 13; ++i) {
    std::vector<int> found;
    for (std::size_t c = 0; c < lines[i].size(); ++c) {
      if (lines[i][c] == '=') found.push_back(static_cast<int>(c) + 1);
    }
    std::vector<int> expected(columns.begin(), columns.begin() + found.size());
    EXPECT_EQ(found, expected) << lines[i];
    EXPECT_TRUE(found.size() == 5 || i == 11 || i == 16) << lines[i];
  }
}

TEST(CalculationListTest, InputBlockFormatsEachInputUnderItsPattern) {
  auto lines = ListLines(SampleInput({{field::f, "50"},
                                      {field::G, "0.35"},
                                      {field::DI2, "0"},
                                      {field::Q1, "36"},
                                      {field::SHFA, "1"}}),
                         FilledState());
  EXPECT_TRUE(lines[4].starts_with("          f=50.")) << lines[4];
  EXPECT_TRUE(lines[6].find("Q1=36 ") != std::string::npos) << lines[6];
  // DI2 = 0 under "###" prints nothing: only the Tab to "G=" follows.
  EXPECT_TRUE(lines[7].find("DI2=" + std::string(19, ' ') + "G=.35 ") != std::string::npos)
      << lines[7];
  EXPECT_EQ(lines[16], "        DMM=1.5" + std::string(12, ' ') + "SHFA=1.");
}

TEST(CalculationListTest, WideInputPushesTheRestOfItsLineToTheNextTabColumn) {
  auto lines = ListLines(SampleInput({{field::f, "1e20"}}), FilledState());
  ASSERT_EQ(static_cast<int>(lines.size()), kListLines + 1);
  EXPECT_EQ(lines[4], "          f=100000000000000000000.");
  EXPECT_TRUE(lines[5].starts_with(std::string(29, ' ') + "Un=1.5")) << lines[5];
}

struct ItemCase {
  const char* label;
  std::string expected;
};

class CalculationListItemTest : public ::testing::TestWithParam<ItemCase> {};

// Every quantity 1.25 (single precision 1.5), every input 1.5.
TEST_P(CalculationListItemTest, PrintsItsValueInPlainNumberText) {
  auto lines = ListLines(SampleInput({{field::P, "4"}, {field::PF, "0.85*"}}), FilledState());
  EXPECT_EQ(Item(lines, GetParam().label), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CalculationListItemTest,
    ::testing::Values(ItemCase{"1.输出功率", "1.输出功率Pn= 1.5 "},
                      ItemCase{"6.极对数", "6.极对数p= 2 "},
                      ItemCase{"7.定子槽数", "7.定子槽数Q1= 1.5 转子槽数Q2= 1.5 "},
                      ItemCase{"9.定转子", "9.定转子冲片尺寸略"},
                      ItemCase{"21.每相", "21.每相有效串联导体数= 1.5625 "},
                      ItemCase{"22.1 ", "22.1 满载电势系数KE0= 1.25 "},
                      ItemCase{"32.1.", "32.1.定子齿磁场强度HT1= 1.5 "},
                      ItemCase{"44.1 ", "44.1 SIN ALFA= 1.25 "},
                      ItemCase{"49.1.", "49.1.定子槽漏抗XS11= 1.25 Cx"},
                      ItemCase{"51.定子", "51.定子漏抗X11= 1.25 "},
                      ItemCase{"65.1.满载电抗电流参数", "65.1.满载电抗电流参数Km= 1.25 "},
                      ItemCase{"88.1.", "88.1.杂耗PS= 1.5 "},
                      ItemCase{"117.1.起动电流倍数", "117.1.起动电流倍数IST= 1.25 "},
                      // an input that holds text prints as typed, without spaces
                      ItemCase{"5.功率因数", "5.功率因数PF=0.85*"}));

TEST(CalculationListTest, NegativeValueTakesTheSignPositionAndUnsetPrintsNothing) {
  calc::CalculationState state = FilledState();
  state.HJ21 = -3.5;
  state.HJ11 = calc::Quantity{};
  state.HT1 = 1.59f;
  state.KE0 = 0.922;
  auto lines = ListLines(SampleInput(), state);
  EXPECT_EQ(Item(lines, "24.2."), "24.2.转子轭计算高度HJ21=-3.5 ");
  EXPECT_EQ(Item(lines, "24.1."), "24.1.定子轭计算高度HJ11=");
  EXPECT_EQ(Item(lines, "32.1."), "32.1.定子齿磁场强度HT1= 1.59 ");
  EXPECT_EQ(Item(lines, "22.1 "), "22.1 满载电势系数KE0= .922 ");
}

TEST(CalculationListTest, TwoSectionRotorSlotLeavesTheSingleToothItemsEmpty) {
  auto lines = ListLines(SampleInput({{field::ZC, "4"}}), testing::TwoSectionState());
  for (const char* label : {"23.2.转子齿宽BT2=", "23.4.转子齿部截面积AT2=", "28.转子齿磁密BT2=",
                            "32.2.转子齿磁场强度HT2=", "33.2.转子齿磁路计算长度LT2="}) {
    EXPECT_EQ(Item(lines, label), label);
  }
  EXPECT_EQ(Item(lines, "36.2."), "36.2.转子齿磁压降FT2= 1.25 ");
}

}  // namespace
}  // namespace velmora::report
