// velmora-calc tolerance end to end: the same bytes on any number of
// threads, the default tolerances in the help, and a bad --tol refused by
// name before anything is read.
#include "tolerance_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "run_program.h"

namespace velmora::cli::testing {
namespace {

using design::testing::ReadBytes;
using design::testing::TempFolder;

TEST(ToleranceCommand, SameSeedSameBytesOnOneAndTwoThreads) {
  TempFolder folder;
  std::string one = folder.File("one.csv"), two = folder.File("two.csv");
  ProgramRun run = RunProgram(
      {"tolerance", k4Pole, "--samples", "300", "--seed", "7", "--threads", "1", "-o", one});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("合格率"), std::string::npos) << run.out;
  ASSERT_EQ(RunProgram({"tolerance", k4Pole, "--samples", "300", "--seed", "7", "--threads", "2",
                        "-o", two})
                .status,
            0);
  EXPECT_EQ(ReadBytes(one), ReadBytes(two));
  EXPECT_EQ(ReadBytes(one).substr(0, 11), "sample,G,L,");
}

TEST(ToleranceCommand, HelpListsTheDefaultTolerances) {
  ProgramRun run = RunProgram({"tolerance", "--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* shown : {"G      ±0.02", "Kfe    ±1%", "HTAB   ±10%", "截断于±3σ"})
    EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
}

struct BadTolerance {
  const char* text;
  ErrorCode code;
};

class RefusedTolerance : public ::testing::TestWithParam<BadTolerance> {};

TEST_P(RefusedTolerance, NamesTheOption) {
  try {
    ParseToleranceOption(GetParam().text);
    FAIL() << GetParam().text;
  } catch (const studies::ToleranceError& error) {
    EXPECT_EQ(error.code(), GetParam().code) << GetParam().text;
    EXPECT_NE(std::string(error.what()).find("--tol"), std::string::npos) << error.what();
  }
  // The program refuses it before it reads the (missing) design.
  ProgramRun run = RunProgram({"tolerance", "no-such-design.txt", "--tol", GetParam().text});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--tol"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("no-such-design"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedTolerance,
                         ::testing::Values(BadTolerance{"G=0.02", ErrorCode::BadForm},
                                           BadTolerance{"G", ErrorCode::BadForm},
                                           BadTolerance{"Gap=±0.02", ErrorCode::UnknownInput},
                                           BadTolerance{"G=±-0.02", ErrorCode::NotANumber},
                                           BadTolerance{"Kfe=±1%%", ErrorCode::NotANumber},
                                           BadTolerance{"L=+-", ErrorCode::NotANumber}));

TEST(ToleranceOption, ReadsAbsoluteAndPercent) {
  auto [g, absolute] = ParseToleranceOption("G=±0.03");
  EXPECT_EQ(studies::ToleranceInputs()[g].name, "G");
  EXPECT_EQ(absolute.kind, studies::SpreadKind::Absolute);
  EXPECT_EQ(absolute.value, 0.03);
  auto [kfe, percent] = ParseToleranceOption("Kfe=+-1.5%");
  EXPECT_EQ(studies::ToleranceInputs()[kfe].name, "Kfe");
  EXPECT_EQ(percent.kind, studies::SpreadKind::Percent);
  EXPECT_EQ(percent.value, 1.5);
}

}  // namespace
}  // namespace velmora::cli::testing
