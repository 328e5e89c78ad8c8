// velmora-calc sweep, end to end: the CSV it writes and the commands it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"

namespace velmora::cli {
namespace {

using design::testing::ReadBytes;
using design::testing::TempFolder;
using design::testing::WriteBytes;
using testing::k4Pole;
using testing::k6PoleSingleLayer;
using testing::ProgramRun;
using testing::RunProgram;

std::vector<std::string> Lines(const std::string& csv) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(csv.substr(start, end - start));
  EXPECT_EQ(start, csv.size()) << "text after the last line end";
  return lines;
}

// The first field of each row under the header.
std::vector<std::string> FirstColumn(const std::string& csv) {
  std::vector<std::string> values;
  std::vector<std::string> lines = Lines(csv);
  for (std::size_t i = 1; i < lines.size(); ++i)
    values.push_back(lines[i].substr(0, lines[i].find(',')));
  return values;
}

// The 5.5 kW 4-pole design over the air gap, 0.30 to 0.60 mm: a golden file
// made by this program and checked by eye against single runs (G 0.4 is the
// example's own air gap and gives its report's figures).
TEST(SweepCommand, AirGapSweepMatchesGoldenFile) {
  ProgramRun run = RunProgram({"sweep", k4Pole, "--vary", "G=0.30:0.60:0.05"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, ReadBytes(std::string(VELMORA_GOLDEN_DIR) + "/Y132S-4-5.5kW-G.csv"));
}

TEST(SweepCommand, TenthsIncludeTheEndAndPrintAsTyped) {
  ProgramRun run = RunProgram({"sweep", k4Pole, "--vary", "G=0.3:0.6:0.1", "--columns", "EFF"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FirstColumn(run.out), (std::vector<std::string>{"0.3", "0.4", "0.5", "0.6"}));
}

TEST(SweepCommand, ListKeepsItsOrderAndLastVaryIsFastest) {
  ProgramRun run = RunProgram(
      {"sweep", k4Pole, "--vary", "Z=46,44", "--vary", "L=120,100,110", "--columns", "EFF"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Z,L,EFF,check,fault");
  const char* pairs[] = {"46,120,", "46,100,", "46,110,", "44,120,", "44,100,", "44,110,"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[i + 1].rfind(pairs[i], 0), 0u) << lines[i + 1];
}

TEST(SweepCommand, SameBytesOnOneAndTwoThreads) {
  std::vector<std::string> args = {"sweep",           k4Pole,   "--vary",
                                   "G=0.3:0.6:0.005", "--vary", "Z=40:52:2"};
  args.push_back("--threads");
  args.push_back("1");
  ProgramRun one = RunProgram(args);
  args.back() = "2";
  ProgramRun two = RunProgram(args);
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Lines(one.out).size(), 61u * 7 + 1);
  EXPECT_EQ(two.out, one.out);
}

TEST(SweepCommand, FaultingVariantIsARowAndTheSweepGoesOn) {
  ProgramRun run = RunProgram({"sweep", k4Pole, "--vary", "G=0.4,0,0.45", "--columns", "EFF,PF"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2].rfind("0,,,,计算中断：", 0), 0u) << lines[2];
  EXPECT_TRUE(lines[3].ends_with(",IE,")) << lines[3];
}

// Quiet on standard error when it is not a terminal, however long the sweep.
TEST(SweepCommand, NoProgressWhenStandardErrorIsAFile) {
  ProgramRun run = RunProgram({"sweep", k4Pole, "--vary", "G=0.35:0.548:0.002", "--vary",
                               "L=100:200:1", "--columns", "EFF"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.out).size(), 100u * 101 + 1);
  EXPECT_EQ(run.err, "");
}

TEST(SweepCommand, WritesTheFileWholeAndLeavesNothingElse) {
  TempFolder folder;
  std::string target = folder.File("results.csv");
  WriteBytes(target, "old");
  ProgramRun to_file = RunProgram({"sweep", k4Pole, "--vary", "G=0.3:0.6:0.1", "-o", target});
  ASSERT_EQ(to_file.status, 0) << to_file.err;
  EXPECT_EQ(to_file.out, "");
  ProgramRun to_stdout = RunProgram({"sweep", k4Pole, "--vary", "G=0.3:0.6:0.1"});
  EXPECT_EQ(ReadBytes(target), to_stdout.out);
  EXPECT_EQ(folder.FileCount(), 1);
}

TEST(SweepCommand, UnwritableOutputIsAFailure) {
  TempFolder folder;
  ProgramRun run = RunProgram(
      {"sweep", k4Pole, "--vary", "G=0.3:0.6:0.1", "-o", folder.File("missing/results.csv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("missing/results.csv"), std::string::npos) << run.err;
  EXPECT_EQ(folder.FileCount(), 0);
}

struct Refusal {
  const char* name;
  std::vector<std::string> args;  // after "sweep"
  const char* named;              // what the message must name
};

const Refusal kRefusals[] = {
    {"unknown_name", {k4Pole, "--vary", "XYZ=1:2:1"}, "XYZ"},
    {"zero_step", {k4Pole, "--vary", "G=0.3:0.6:0"}, "G"},
    {"step_of_wrong_sign", {k4Pole, "--vary", "G=0.6:0.3:0.1"}, "G"},
    {"text_in_range", {k4Pole, "--vary", "G=0.3:x:0.1"}, "x"},
    {"text_in_list", {k4Pole, "--vary", "L=100,abc"}, "abc"},
    {"text_input", {k4Pole, "--vary", "TYPE=1,2"}, "TYPE"},
    {"grid_too_large", {k4Pole, "--vary", "G=1:20000:1", "--vary", "L=1:20000:1"}, "100000000"},
    {"winding_type", {k4Pole, "--vary", "CZN=1,3"}, "CZN"},
    {"slot_shape", {k4Pole, "--vary", "ZC=1:5:1"}, "ZC"},
    {"odd_pole_number", {k4Pole, "--vary", "P=3"}, "P"},
    {"single_layer_pole_number", {k6PoleSingleLayer, "--vary", "P=6,10"}, "CZN"},
    {"steel_grade_text", {k4Pole, "--vary", "GGPph=1,x"}, "GGPph"},
    {"layout_text", {k4Pole, "--vary", "SHFA=1,x"}, "SHFA"},
    {"varied_twice", {k4Pole, "--vary", "G=0.3", "--vary", "G=0.4"}, "G"},
    {"unknown_column", {k4Pole, "--vary", "G=0.3", "--columns", "EFF,NOPE"}, "NOPE"},
    {"zero_threads", {k4Pole, "--vary", "G=0.3", "--threads", "0"}, "--threads"},
    {"no_vary", {k4Pole}, "--vary"},
    {"unknown_option", {k4Pole, "--vary", "G=0.3", "--fast"}, "--fast"},
    {"missing_base", {"/nonexistent/base.txt", "--vary", "G=0.3"}, "/nonexistent/base.txt"},
};

class SweepRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SweepRefusal, ExitsWithTwoAndNamesTheFault) {
  std::vector<std::string> args = {"sweep"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  ProgramRun run = RunProgram(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(GetParam().named), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Commands, SweepRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::cli
