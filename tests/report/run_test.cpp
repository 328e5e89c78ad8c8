#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../design/temp_folder.h"
#include "velmora/calc/calculation.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace field = design::field;
using design::testing::ReadBytes;
using design::testing::TempFolder;
using design::testing::WriteBytes;

const std::string kExample = std::string(VELMORA_SOURCE_DIR) + "/examples/Y132S-4-5.5kW.txt";
const std::string kOldReport = "an earlier report\r\n";

// A program folder whose input data file holds the 5.5 kW example, changed
// where asked.
class RunTest : public ::testing::Test {
 protected:
  void WriteInput(const std::map<int, std::string>& changes = {}) {
    auto texts = design::ReadInputFile(kExample);
    for (const auto& [index, text] : changes) texts[index] = text;
    design::WriteInputFile(InputPath(), texts);
  }
  std::string InputPath() const { return folder_.File(design::kInputDataFileName); }
  std::string ReportPath() const { return folder_.File(design::kReportFileName); }

  // The report that the design in the folder should give, in GBK.
  std::string ExpectedReport() const {
    design::DesignInput input = design::ReadDesignInput(InputPath());
    calc::CalculationState state;
    calc::CalculationFault fault;
    EXPECT_TRUE(calc::Calculate(input, state, fault)) << fault.message;
    return design::Utf8ToGbk(SelectedReport(input, state).value_or("<no report>"));
  }

  TempFolder folder_;
};

struct LayoutCase {
  const char* SHFA;
  std::string first_line;  // UTF-8
};

class RunLayoutTest : public RunTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RunLayoutTest, WritesTheSelectedLayoutInGbk) {
  WriteInput({{field::SHFA, GetParam().SHFA}});
  WriteBytes(ReportPath(), kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_TRUE(outcome.report_written);
  std::string report = ReadBytes(ReportPath());
  EXPECT_EQ(report, ExpectedReport());
  EXPECT_TRUE(report.starts_with(design::Utf8ToGbk(GetParam().first_line + "\r\n")));
  EXPECT_EQ(folder_.FileCount(), 2);  // no temporary file left behind
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RunLayoutTest,
    ::testing::Values(LayoutCase{"1", "        电机型号：Y132S-4"},
                      LayoutCase{"2",
                                 "******************三相异步电动机电磁计算(手算版)*************"
                                 "****************************"}));

TEST_F(RunTest, TwoRunsWriteTheSameBytes) {
  WriteInput({{field::SHFA, "2"}});
  ASSERT_TRUE(RunElectromagneticCalculation(folder_.path()).ok);
  std::string first = ReadBytes(ReportPath());
  ASSERT_TRUE(RunElectromagneticCalculation(folder_.path()).ok);
  EXPECT_EQ(ReadBytes(ReportPath()), first);
}

TEST_F(RunTest, OtherSelectorLeavesTheReportUntouched) {
  WriteInput({{field::SHFA, "3"}});
  WriteBytes(ReportPath(), kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  EXPECT_TRUE(outcome.ok) << outcome.message;
  EXPECT_FALSE(outcome.report_written);
  EXPECT_EQ(ReadBytes(ReportPath()), kOldReport);
}

TEST_F(RunTest, FailedRunLeavesThePreviousReport) {
  WriteInput({{field::A, "0"}});  // no parallel paths: division by zero in item 16
  WriteBytes(ReportPath(), kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.report_written);
  EXPECT_FALSE(outcome.message.empty());
  EXPECT_EQ(ReadBytes(ReportPath()), kOldReport);
}

TEST_F(RunTest, FailedWriteLeavesThingsWholeAndNamesTheFile) {
  WriteInput();
  std::filesystem::create_directory(ReportPath());
  WriteBytes(ReportPath() + "/inside", kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.report_written);
  EXPECT_NE(outcome.message.find(design::kReportFileName), std::string::npos) << outcome.message;
  EXPECT_EQ(ReadBytes(ReportPath() + "/inside"), kOldReport);
  EXPECT_EQ(folder_.FileCount(), 2);
}

TEST_F(RunTest, MissingInputFileIsReportedAndWritesNothing) {
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.message.empty());
  EXPECT_EQ(folder_.FileCount(), 0);
}

TEST_F(RunTest, ShortInputFileIsReportedAndLeavesThePreviousReport) {
  WriteBytes(InputPath(), "Y132S-4,132,380,");
  WriteBytes(ReportPath(), kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(folder_.path());
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.message.empty());
  EXPECT_EQ(ReadBytes(ReportPath()), kOldReport);
}

}  // namespace
}  // namespace velmora::report
