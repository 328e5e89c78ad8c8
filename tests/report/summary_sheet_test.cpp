#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_fixture.h"
#include "velmora/design/text_codec.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace field = design::field;
using testing::FilledState;
using testing::Lines;
using testing::SampleInput;

constexpr int kSheetLines = 70;
const std::string kRule(89, '*');

std::vector<std::string> SheetLines(const design::DesignInput& input,
                                    const calc::CalculationState& state) {
  return Lines(SummarySheetReport(input, state));
}

TEST(SummarySheetTest, HasSeventyLinesFramedByBannersAndRules) {
  auto lines = SheetLines(SampleInput(), FilledState());
  ASSERT_EQ(static_cast<int>(lines.size()), kSheetLines);
  EXPECT_EQ(
      lines[0],
      "******************三相异步电动机电磁计算(手算版)*****************************************");
  EXPECT_EQ(
      lines[1],
      "**********************参照上课所电磁计算输出*********************************************");
  for (int rule : {5, 23, 30, 40, 44, 49, 55, 70}) EXPECT_EQ(lines[rule - 1], kRule) << rule;
  for (int i = 2; i < kSheetLines; ++i) {
    if (lines[i] != kRule) {
      EXPECT_TRUE(lines[i].starts_with("*  ")) << i + 1;
    }
  }
}

// In GBK a fullwidth character takes two bytes and two screen columns, so
// with values of ordinary width every line, banners included, is 89 bytes
// and its closing "*" stands in column 89.
TEST(SummarySheetTest, EveryLineIs89BytesInGbk) {
  auto lines = SheetLines(SampleInput(), FilledState());
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    EXPECT_EQ(design::Utf8ToGbk(lines[i]).size(), 89u) << "line " << i + 1 << ": " << lines[i];
    EXPECT_TRUE(lines[i].ends_with("*")) << i + 1;
  }
}

TEST(SummarySheetTest, FirstLinesShowModelSteelDataAndRatedData) {
  calc::CalculationState state = FilledState();
  state.B25 = 17600;
  state.P10 = 2.5;
  auto lines =
      SheetLines(SampleInput({{field::P, "4"}, {field::Un, "380"}, {field::f, "50"}}), state);
  EXPECT_EQ(lines[2], "*  TYPE：Y132S-4" + std::string(9, ' ') + "B25：17600." +
                          std::string(11, ' ') + "P10：2.50" + std::string(11, ' ') + "Insulate：" +
                          std::string(11, ' ') + "*");
  // P, U and f in plain number text, a space on each side.
  EXPECT_TRUE(lines[3].starts_with("*  Power：1.5kW" + std::string(10, ' ') + "P： 4   U： 380 " +
                                   std::string(6, ' ') + "f： 50 "))
      << lines[3];
}

TEST(SummarySheetTest, SteelDataOfAnotherGradeIsBlank) {
  calc::CalculationState state = FilledState();
  state.B25 = calc::Quantity{};
  state.P10 = calc::Quantity{};
  auto lines = SheetLines(SampleInput({{field::GGPph, "2"}}), state);
  EXPECT_EQ(lines[2], "*  TYPE：Y132S-4" + std::string(9, ' ') + "B25：" + std::string(17, ' ') +
                          "P10：" + std::string(15, ' ') + "Insulate：" + std::string(11, ' ') +
                          "*");
}

TEST(SummarySheetTest, LongMotorModelPushesB25ToItsColumnOnANewLine) {
  std::string model = "YX3-132S-4-EXTRA-LONG-MODEL";
  auto lines = SheetLines(SampleInput({{field::TYPE, model}}), FilledState());
  ASSERT_EQ(static_cast<int>(lines.size()), kSheetLines + 1);
  EXPECT_EQ(lines[2], "*  TYPE：" + model);
  EXPECT_TRUE(lines[3].starts_with(std::string(24, ' ') + "B25：1.25")) << lines[3];
}

TEST(SummarySheetTest, JoinedTextsAndCurrentWithoutLeadingZero) {
  calc::CalculationState state = FilledState();
  state.JB = 5.5;
  state.JR = 0.25;
  state.IKW = 0.5;
  auto lines = SheetLines(
      SampleInput({{field::JJ, "2"}, {field::DJJ, "0.85"}, {field::MM, "1"}, {field::DMM, "1"}}),
      state);
  EXPECT_TRUE(lines[11].find("N1*d1：2.0*0.85 ") != std::string::npos) << lines[11];
  EXPECT_TRUE(lines[12].find("N2*d2：1.0*1.00 ") != std::string::npos) << lines[12];
  EXPECT_TRUE(lines[18].find("5.5/.25 ") != std::string::npos) << lines[18];
  EXPECT_TRUE(lines[37].starts_with("*  Ikw=  .5a")) << lines[37];
}

TEST(SummarySheetTest, SingleSectionRotorSlotShowsZeroForTheLowerSection) {
  auto lines = SheetLines(SampleInput({{field::ZC, "3"}}), FilledState());
  EXPECT_TRUE(lines[17].starts_with("*  BT3=0.00 ")) << lines[17];
  EXPECT_EQ(lines[34].substr(0, 55), "*" + std::string(9, ' ') + "0.0" + std::string(8, ' ') +
                                         "0.0" + std::string(10, ' ') + "0.0" +
                                         std::string(6, ' ') + "0.0" + std::string(6, ' ') + "0.0");
  // The upper line shows the single tooth: 10⁴·BT2 = 12500 gauss.
  EXPECT_TRUE(lines[33].starts_with("*  rt：   1.25       12500.       1.25     1.5      1.25"))
      << lines[33];
}

TEST(SummarySheetTest, TwoSectionRotorSlotShowsBothSections) {
  calc::CalculationState state = testing::TwoSectionState();
  state.BT2UW = 7.5;
  state.BT2LW = 2.25;
  state.AT2U = 11;
  state.AT2L = 22;
  state.BT2U = 1.1;
  state.BT2L = 1.2;
  state.LT2U = 3;
  state.LT2L = 4;
  state.HT2U = 5.5f;
  state.HT2L = 6.5f;
  state.FT2U = 7;
  state.FT2L = 8;
  auto lines = SheetLines(SampleInput({{field::ZC, "4"}}), state);
  EXPECT_TRUE(lines[16].starts_with("*  BT2=7.50 ")) << lines[16];
  EXPECT_TRUE(lines[17].starts_with("*  BT3=2.25 ")) << lines[17];
  EXPECT_TRUE(lines[33].starts_with("*  rt：   11.        11000.       3.       5.5      7. "))
      << lines[33];
  EXPECT_TRUE(lines[34].starts_with("*" + std::string(9, ' ') + "22.0" + std::string(7, ' ') +
                                    "12000.0" + std::string(6, ' ') + "4.0" + std::string(6, ' ') +
                                    "6.5" + std::string(6, ' ') + "8.0 "))
      << lines[34];
}

TEST(SummarySheetTest, WorksOutTheSheetOnlyFigures) {
  calc::CalculationState state = FilledState();
  state.FA = 0.0078;
  state.KZ = 0.625f;
  state.P1 = 0.2;
  state.P11 = 1.2;
  auto lines = SheetLines(SampleInput({{field::Pn, "5.5"}}), state);
  EXPECT_TRUE(lines[28].starts_with("*  Fa =780000.00 ")) << lines[28];  // 10⁸·FA in maxwell
  EXPECT_TRUE(lines[36].find("  pg=0.2" + std::string(8, ' ') + "1100.0 ") != std::string::npos)
      << lines[36];  // 1000·Pn·P1 in W
  EXPECT_TRUE(lines[37].find("  p1=1.2" + std::string(8, ' ') + "6600.0 ") != std::string::npos)
      << lines[37];
  EXPECT_TRUE(lines[61].find("1-KZ=0.375 ") != std::string::npos) << lines[61];
  EXPECT_TRUE(lines[24].find(" 1.56 ") != std::string::npos) << lines[24];  // KDP1·ZF
}

}  // namespace
}  // namespace velmora::report
