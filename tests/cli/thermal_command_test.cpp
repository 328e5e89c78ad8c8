// velmora-calc thermal end to end: the summary of an example and its exit
// status, a bad class and a bad line of the thermal data file.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace velmora::cli::testing {
namespace {

using design::testing::ReadBytes;
using design::testing::TempFolder;
using design::testing::WriteBytes;

TEST(ThermalCommand, SummarisesAClassBDesign) {
  TempFolder folder;
  std::string json = folder.File("thermal.json");
  ProgramRun run = RunProgram({"thermal", k4Pole, "--json", json});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* shown : {"端部绕组", "绕组平均温升（电阻法）", "B级限值80 K", "合格",
                            "EFF       0.8706", "堵转时间"})
    EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
  std::string written = ReadBytes(json);
  EXPECT_NE(written.find("\"within_limit\": true"), std::string::npos) << written;
  EXPECT_NE(written.find("\"name\": \"slot_winding\""), std::string::npos);
  // Class H in air at 60 °C still passes; a tiny frame does not.
  EXPECT_EQ(RunProgram({"thermal", k4Pole, "--class", "H", "--ambient", "60"}).status, 0);
  std::string data = folder.File("small.dat");
  WriteBytes(data, "# a frame two sizes down\nFRAME_OD=232\nFAN_AIR=0.3\n");
  ProgramRun hot = RunProgram({"thermal", k4Pole, "--thermal", data});
  EXPECT_EQ(hot.status, 3) << hot.out << hot.err;
  EXPECT_NE(hot.out.find("超过限值"), std::string::npos) << hot.out;
}

TEST(ThermalCommand, RefusesABadClass) {
  ProgramRun run = RunProgram({"thermal", k4Pole, "--class", "E"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--class 应为B、F或H，现为“E”"), std::string::npos) << run.err;
  EXPECT_EQ(RunProgram({"thermal", k4Pole, "--ambient", "70"}).status, 2);
}

TEST(ThermalCommand, NamesTheBadLineOfTheDataFile) {
  TempFolder folder;
  std::string data = folder.File("热参数.dat");
  WriteBytes(data, "FAN_AIR=0.5\nFIN_HIGHT=20\n");
  ProgramRun run = RunProgram({"thermal", k4Pole, "--thermal", data});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("第2行：不认识的参数名“FIN_HIGHT”"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace velmora::cli::testing
