// velmora-calc curves end to end: the CSV of the 4-pole example against a
// golden file, and a fault of one point that leaves the command's status.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace velmora::cli::testing {
namespace {

using design::testing::ReadBytes;
using design::testing::TempFolder;

// Made by this program; its k = 1 row carries the plain run's EFF, PF, I1, SN
// and N digit for digit.
TEST(CurvesCommand, LoadCurveMatchesGoldenFile) {
  TempFolder folder;
  std::string csv = folder.File("curves.csv");
  ProgramRun run = RunProgram({"curves", k4Pole, "-o", csv});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("100%    0.8706    0.8462"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("最大转矩  0.32160"), std::string::npos) << run.out;
  EXPECT_EQ(ReadBytes(csv),
            ReadBytes(std::string(VELMORA_GOLDEN_DIR) + "/Y132S-4-5.5kW-curves.csv"));
}

TEST(CurvesCommand, AFaultingPointIsARowNotAFailure) {
  ProgramRun run = RunProgram({"curves", k4Pole, "--load", "1:3:1", "-o", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\r\nload,3,,"), std::string::npos);
  EXPECT_NE(run.out.find("计算中断"), std::string::npos);
  // Its loop started from the neighbour's efficiency: the advice is a finer
  // step, not a new input EFF.
  EXPECT_NE(run.out.find("请减小负载步长"), std::string::npos);
  EXPECT_EQ(run.out.find("输入效率EFF="), std::string::npos);
}

TEST(CurvesCommand, BadRangeIsAUsageError) {
  EXPECT_EQ(RunProgram({"curves", k4Pole, "--load", "1:0.5:0.1"}).status, 2);
  EXPECT_EQ(RunProgram({"curves", k4Pole, "--slips", "2"}).status, 2);
}

}  // namespace
}  // namespace velmora::cli::testing
