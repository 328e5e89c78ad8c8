// The summary sheet where the example reports (golden files) do not reach:
// another steel grade and a motor model too long for its column.
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

constexpr std::size_t kSheetLines = 70;

TEST(SummarySheet, SteelDataOfAnotherGradeIsBlank) {
  calc::CalculationState state = FilledState();
  state.B25 = calc::Quantity{};
  state.P10 = calc::Quantity{};
  auto lines = Lines(SummarySheetReport(SampleInput({{field::GGPph, "2"}}), state));
  ASSERT_EQ(lines.size(), kSheetLines);
  EXPECT_EQ(lines[2], "*  TYPE：Y132S-4" + std::string(9, ' ') + "B25：" + std::string(17, ' ') +
                          "P10：" + std::string(15, ' ') + "Insulate：" + std::string(11, ' ') +
                          "*");
}

TEST(SummarySheet, LongMotorModelPushesB25ToItsColumnOnANewLine) {
  std::string model = "YX3-132S-4-EXTRA-LONG-MODEL";
  auto lines = Lines(SummarySheetReport(SampleInput({{field::TYPE, model}}), FilledState()));
  ASSERT_EQ(lines.size(), kSheetLines + 1);
  EXPECT_EQ(lines[2], "*  TYPE：" + model);
  EXPECT_TRUE(lines[3].starts_with(std::string(24, ' ') + "B25：1.25")) << lines[3];
}

}  // namespace
}  // namespace velmora::report
