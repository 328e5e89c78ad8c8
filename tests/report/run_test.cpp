// The run in the program's folder: the input data file in, the selected
// report out in GBK, the previous report kept whenever the run fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "../design/temp_folder.h"
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
const std::string kGolden = std::string(VELMORA_GOLDEN_DIR) + "/Y132S-4-5.5kW";
const std::string kOldReport = "an earlier report\r\n";

// A program folder whose input data file holds the 5.5 kW example with SHFA
// set, and an earlier report beside it.
struct ProgramFolder {
  explicit ProgramFolder(const char* SHFA) {
    auto texts = design::ReadInputFile(kExample);
    texts[field::SHFA] = SHFA;
    design::WriteInputFile(Input(), texts);
    WriteBytes(Report(), kOldReport);
  }
  std::string Input() const { return folder.File(design::kInputDataFileName); }
  std::string Report() const { return folder.File(design::kReportFileName); }
  TempFolder folder;
};

TEST(Run, WritesTheSelectedLayoutInGbkOverTheEarlierReport) {
  for (const auto& [SHFA, golden] : {std::pair{"1", ".list.dat"}, std::pair{"2", ".sheet.dat"}}) {
    ProgramFolder program(SHFA);
    RunOutcome outcome = RunElectromagneticCalculation(program.folder.path());
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_TRUE(outcome.report_written);
    EXPECT_TRUE(ReadBytes(program.Report()) == ReadBytes(kGolden + golden)) << golden;
    EXPECT_EQ(program.folder.FileCount(), 2);  // no temporary file left behind
  }
}

TEST(Run, EveryOtherOutcomeLeavesTheEarlierReport) {
  struct Case {
    const char* what;
    const char* SHFA;
    std::function<void(const ProgramFolder&)> spoil;
    bool ok;
  };
  const Case cases[] = {
      {"SHFA neither 1 nor 2", "3", [](const ProgramFolder&) {}, true},
      {"no parallel paths: division by zero in item 16", "1",
       [](const ProgramFolder& p) {
         auto texts = design::ReadInputFile(p.Input());
         texts[field::A] = "0";
         design::WriteInputFile(p.Input(), texts);
       },
       false},
      {"short input data file", "1",
       [](const ProgramFolder& p) { WriteBytes(p.Input(), "Y132S-4,132,380,"); }, false},
      {"no input data file", "1",
       [](const ProgramFolder& p) { std::filesystem::remove(p.Input()); }, false},
  };
  for (const Case& c : cases) {
    ProgramFolder program(c.SHFA);
    c.spoil(program);
    RunOutcome outcome = RunElectromagneticCalculation(program.folder.path());
    EXPECT_EQ(outcome.ok, c.ok) << c.what;
    EXPECT_EQ(outcome.message.empty(), c.ok) << c.what;
    EXPECT_FALSE(outcome.report_written) << c.what;
    EXPECT_EQ(ReadBytes(program.Report()), kOldReport) << c.what;
  }
}

TEST(Run, FailedWriteLeavesThingsWholeAndNamesTheFile) {
  ProgramFolder program("1");
  std::filesystem::remove(program.Report());
  std::filesystem::create_directory(program.Report());
  WriteBytes(program.Report() + "/inside", kOldReport);
  RunOutcome outcome = RunElectromagneticCalculation(program.folder.path());
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.report_written);
  EXPECT_NE(outcome.message.find(design::kReportFileName), std::string::npos) << outcome.message;
  EXPECT_EQ(ReadBytes(program.Report() + "/inside"), kOldReport);
  EXPECT_EQ(program.folder.FileCount(), 2);
}

}  // namespace
}  // namespace velmora::report
