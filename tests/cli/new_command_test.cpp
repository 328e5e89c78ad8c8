// velmora-calc new, end to end: the steps it prints, the design file it
// writes and that velmora-calc check passes, and its refusals.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace velmora::cli {
namespace {

using design::testing::TempFolder;
using testing::ProgramRun;
using testing::RunProgram;

TEST(NewCommand, WritesADesignTheCheckPasses) {
  TempFolder folder;
  std::string design = folder.File("new.txt");
  ProgramRun run = RunProgram({"new", "--power", "5.5", "--poles", "4", "--class", "IE2",
                               "--threads", "2", "--max-evaluations", "20000", "-o", design});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  for (const char* shown : {"H = 132S", "D1 = 210 mm", "Q1/Q2 = 36/32", "TYPE = YE2-132S-4",
                            "设计校核合格", "能效等级", "温升", "合计"})
    EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
  ProgramRun check = RunProgram({"check", design, "--class", "IE2"});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
}

TEST(NewCommand, RefusesWhatItCannotSize) {
  struct Case {
    std::vector<std::string> args;
    const char* said;
  };
  const Case cases[] = {
      {{"new", "--poles", "4"}, "--power"},
      {{"new", "--power", "5.5", "--poles", "4", "--class", "none"}, "none"},
      {{"new", "--power", "500", "--poles", "4"}, "500"},
      {{"new", "--power", "x", "--poles", "4"}, "--power"},
      {{"new", "--power", "5.5", "--poles", "4", "--target", "QQ=1"}, "QQ"},
      {{"new", "--power", "5.5", "--poles", "4", "extra"}, "extra"},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunProgram(c.args);
    EXPECT_EQ(run.status, 2) << c.said;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
}

TEST(NewCommand, AnotherFrequencyIsNotedAndGoesOn) {
  ProgramRun run =
      RunProgram({"new", "--power", "5.5", "--poles", "4", "--frequency", "60", "--no-optimise"});
  EXPECT_TRUE(run.status == 0 || run.status == 3) << run.err;
  EXPECT_NE(run.out.find("50 Hz"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace velmora::cli
