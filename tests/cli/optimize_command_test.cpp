// velmora-calc optimize, end to end: the design it writes passes the check
// with the results it printed, an infeasible search exits 3 with the least
// infeasible design, and the --vary forms and refused commands.
#include "optimize_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "design_run.h"
#include "run_program.h"
#include "vary_option.h"
#include "velmora/design/input_file.h"
#include "velmora/report/text_formats.h"

namespace velmora::cli {
namespace {

namespace field = design::field;
using design::testing::TempFolder;
using testing::k4Pole;
using testing::ProgramRun;
using testing::RunProgram;

// The text after `label` up to the end of its line.
std::string After(const std::string& text, const std::string& label) {
  std::size_t at = text.find(label);
  if (at == std::string::npos) return "<no " + label + ">";
  at += label.size();
  return text.substr(at, text.find('\n', at) - at);
}

TEST(OptimizeCommand, WrittenDesignPassesTheCheckWithThePrintedResults) {
  TempFolder folder;
  std::string best = folder.File("best.txt");
  ProgramRun run = RunProgram({"optimize", k4Pole, "--vary", "L=130:200", "--vary", "Z=38:46",
                               "--vary", "BS2=8:10", "--vary", "G=0.3:0.35", "--class", "IE2",
                               "--max-evaluations", "20000", "-o", best});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("起作用的约束"), std::string::npos) << run.out;
  ProgramRun check = RunProgram({"check", best, "--class", "IE2"});
  EXPECT_EQ(check.status, 0) << check.out;
  std::string printed = After(run.out, "效率EFF  0.870631 → ");
  EXPECT_EQ(After(check.out, "≥ 0.83325    ").substr(0, printed.size()), printed) << check.out;
  // Only the varied inputs differ from the base design.
  std::array<std::string, design::kFieldCount> base = design::ReadInputFile(k4Pole),
                                               written = design::ReadInputFile(best);
  for (int i = 0; i < design::kFieldCount; ++i) {
    if (i == field::L || i == field::Z || i == field::BS2 || i == field::G) continue;
    EXPECT_EQ(written[i], base[i]) << i;
  }
}

TEST(OptimizeCommand, NothingFeasibleExitsThreeWithTheLeastInfeasibleDesign) {
  TempFolder folder;
  std::string best = folder.File("best.txt");
  ProgramRun run = RunProgram({"optimize", k4Pole, "--vary", "L=100:200", "--class", "IE3",
                               "--max-evaluations", "5000", "-o", best});
  EXPECT_EQ(run.status, kExitCheckFailed) << run.err;
  EXPECT_TRUE(run.out.starts_with("没有找到满足全部约束的设计。最接近的设计：\n")) << run.out;
  EXPECT_NE(After(run.out, "未满足的约束：\n").find("能效等级（效率%） ≥ 89.6，计算值87.1"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("，差2.4"), std::string::npos) << run.out;
  EXPECT_EQ(RunProgram({"check", best}).status, kExitCheckFailed);
}

TEST(OptimizeCommand, VaryTakesRangesStepsAndLists) {
  EXPECT_EQ(ParseOptimiseVariable("Z=36:39").values, (std::vector<double>{36, 37, 38, 39}));
  EXPECT_EQ(ParseOptimiseVariable("DMM=0.9:1.1").values, (std::vector<double>{0.9, 0.95, 1, 1.06}));
  EXPECT_EQ(ParseOptimiseVariable("L=130:160:10").values,
            (std::vector<double>{130, 140, 150, 160}));
  EXPECT_EQ(ParseOptimiseVariable("DJJ=0.71,0.63").values, (std::vector<double>{0.63, 0.71}));
  studies::OptimiseVariable L = ParseOptimiseVariable("L=130:200");
  EXPECT_EQ(L.field, field::L);
  EXPECT_EQ(L.resolution, 1);  // stacks are pressed to whole millimetres
  EXPECT_THROW(ParseOptimiseVariable("X=1:2"), studies::OptimiseError);
  EXPECT_THROW(ParseOptimiseVariable("L=1:2:3:4"), studies::OptimiseError);
}

// More threads than processors are cut, as in a sweep; a time limit is at
// most 1e9 seconds, which is none.
TEST(OptimizeCommand, ThreadsAreCutToTheProcessorsAndTheTimeLimitIsBounded) {
  std::vector<std::string> args = {
      "optimize",          k4Pole, "--vary",    "L=130:140", "--class", "none",
      "--max-evaluations", "200",  "--threads", "1024"};
  ProgramRun many = RunProgram(args);
  EXPECT_EQ(many.status, 0) << many.err;
  EXPECT_NE(many.err.find("--threads 1024 多于处理器数"), std::string::npos) << many.err;
  args.insert(args.end(), {"--max-seconds", "1e9"});
  EXPECT_EQ(RunProgram(args).status, 0);
  args.back() = "1.5e9";
  ProgramRun endless = RunProgram(args);
  EXPECT_EQ(endless.status, kExitUsage);
  EXPECT_NE(endless.err.find("--max-seconds 应为不大于1e9的正数"), std::string::npos)
      << endless.err;
}

// Over the core length alone, the cheapest core whose winding keeps within
// 60 K lies on that limit, which takes the place of class B's 80 K.
TEST(OptimizeCommand, LimitOnTheRiseIsAConstraint) {
  ProgramRun run = RunProgram({"optimize", k4Pole, "--vary", "L=100:200", "--class", "none",
                               "--limit", "TRISE=60", "--max-evaluations", "5000"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(After(run.out, "起作用的约束：\n  ").rfind("绕组温升TRISE（K） ≤ 60，计算值59.", 0), 0u)
      << run.out;
  EXPECT_EQ(After(run.out, "绕组温升TRISE（K）  ").rfind("63.8476 → 59.", 0), 0u) << run.out;
  EXPECT_EQ(run.out.find("≤ 80"), std::string::npos);
}

// Each command that checks the rise says how to choose its class.
TEST(OptimizeCommand, HelpOfTheDesignToolsNamesTheRiseOptions) {
  for (const char* command : {"check", "sweep", "optimize"}) {
    ProgramRun help = RunProgram({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    for (const char* named : {"--insulation B|F|H|none", "--thermal", "温升"})
      EXPECT_NE(help.out.find(named), std::string::npos) << command << " " << named;
  }
}

// The starting current keeps its margin below the design's own target IST;
// without the margin the answer has Ist at 6.97, on its limit of 7.
TEST(OptimizeCommand, MarginKeepsTheStartingCurrentFromItsLimit) {
  ProgramRun run =
      RunProgram({"optimize", k4Pole, "--vary", "L=100:200", "--vary", "G=0.3:0.5", "--class",
                  "none", "--margin", "Ist=0.3", "--max-evaluations", "2000", "--no-tolerance"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  std::string row = After(run.out, "起动电流倍数Ist  ");
  double Ist = std::stod(row.substr(row.find("→ ") + std::string("→ ").size()));
  double IST = std::stod(design::ReadInputFile(k4Pole)[field::IST]);
  EXPECT_LE(Ist, IST - 0.3) << run.out;
  EXPECT_EQ(run.out.find("合格率"), std::string::npos) << run.out;
}

TEST(OptimizeCommand, AnswerIsFollowedByItsYield) {
  ProgramRun run = RunProgram({"optimize", k4Pole, "--vary", "L=130:140", "--class", "none",
                               "--max-evaluations", "200", "--threads", "2"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("公差分析：300个样本，种子1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("合格率（合格样本数/样本数）：\n"), std::string::npos);
  EXPECT_NE(After(run.out, "  ALL    ").find("/300"), std::string::npos) << run.out;
}

// A robust search shows its yield among the constraints and, beside the
// search without it, what the yield costs.
TEST(OptimizeCommand, MinYieldShowsTheYieldAndItsCost) {
  ProgramRun run =
      RunProgram({"optimize", k4Pole, "--vary", "L=100:200", "--class", "none", "--insulation",
                  "none", "--min-yield", "0.9", "--yield-samples", "16", "--tol", "G=±0.03",
                  "--max-evaluations", "300", "--no-tolerance"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("  合格率（公差样本中满足全部约束的比例） ≥ 0.9，计算值"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("稳健代价（合格率为同一组16个公差样本中满足全部约束的比例）：\n"
                         "  名义最优  成本 "),
            std::string::npos)
      << run.out;
  EXPECT_NE(After(run.out, "  稳健最优  成本 ").find("合格率 "), std::string::npos);
  EXPECT_NE(After(run.out, "  稳健代价  ").find("元（"), std::string::npos) << run.out;
}

TEST(OptimizeCommand, RefusedYieldsNameTheOption) {
  const std::vector<std::vector<std::string>> refused = {
      {"--min-yield", "0"},
      {"--min-yield", "1.5"},
      {"--min-yield", "-0.1"},
      {"--min-yield", "abc"},
      {"--min-yield", "nan"},
      {"--min-yield", "0.9", "--yield-samples", "0"},
      {"--min-yield", "0.9", "--yield-samples", "5000"},
      {"--min-yield", "0.9", "--tol", "X=±1"},
      {"--min-yield", "0.9", "--tol", "G=±-1"},
      {"--tol", "G=±0.01"},
      {"--min-yield", "0.9", "--objective", "pareto"},
  };
  for (const std::vector<std::string>& args : refused) {
    std::vector<std::string> all = {"optimize", k4Pole, "--vary", "L=130:200"};
    all.insert(all.end(), args.begin(), args.end());
    ProgramRun run = RunProgram(all);
    EXPECT_EQ(run.status, kExitUsage) << args[1];
    EXPECT_NE(run.err.find(args[args.size() - 2]), std::string::npos) << args[1] << run.err;
  }
}

TEST(OptimizeCommand, RefusedMarginsNameTheOption) {
  for (const char* margin : {"X=0.1", "Ist=-0.1", "Ist=abc", "Ist", "EFF=nan"}) {
    ProgramRun run = RunProgram({"optimize", k4Pole, "--vary", "L=130:200", "--margin", margin});
    EXPECT_EQ(run.status, kExitUsage) << margin;
    EXPECT_NE(run.err.find("--margin"), std::string::npos) << margin << run.err;
  }
  // No class asked for: no class limit to keep a margin from.
  ProgramRun run = RunProgram(
      {"optimize", k4Pole, "--vary", "L=130:200", "--class", "none", "--margin", "EFF=0.3"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_NE(run.err.find("“IE”的裕量：没有这个约束"), std::string::npos) << run.err;
}

TEST(OptimizeCommand, RefusedPointsNameTheOption) {
  for (const char* points : {"1", "51", "x", "2.5"}) {
    ProgramRun run = RunProgram(
        {"optimize", k4Pole, "--vary", "L=130:200", "--objective", "pareto", "--points", points});
    EXPECT_EQ(run.status, kExitUsage) << points;
    EXPECT_NE(run.err.find("--points"), std::string::npos) << points << run.err;
  }
}

// The table on the terminal; the CSV, the JSON and one design file a point,
// the same points in the same order.
TEST(OptimizeCommand, FrontIsATableACsvAJsonAndDesignFiles) {
  TempFolder folder;
  std::string csv = folder.File("front.csv"), json = folder.File("front.json");
  std::string designs = folder.File("front");
  ProgramRun run = RunProgram({"optimize",    k4Pole,        "--vary",
                               "L=100:200",   "--vary",      "G=0.3:0.4",
                               "--class",     "none",        "--insulation",
                               "none",        "--objective", "pareto",
                               "--points",    "3",           "--max-evaluations",
                               "300",         "--threads",   "1",
                               "--front-csv", csv,           "--front-json",
                               json,          "-o",          designs});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("成本—效率前沿"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("本额定值的效率限值：IE2"), std::string::npos) << run.out;
  std::string text = design::testing::ReadBytes(csv);
  std::erase(text, '\r');
  std::vector<std::string_view> rows = SplitText(text, '\n');
  rows.pop_back();  // after the last line end
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0], "EFF,COST,PF,Ist,TRISE,L,G");
  std::string objects = design::testing::ReadBytes(json);
  EXPECT_NE(objects.find("\"class_limits\": {\"IE2\": 87.7"), std::string::npos) << objects;
  for (std::size_t k = 1; k < rows.size(); ++k) {
    // The row's L and G, the point's inputs in the JSON and its design file.
    std::vector<std::string_view> cells = SplitText(rows[k], ',');
    std::string L(cells[5]), G(cells[6]);
    std::string inputs = "{\"L\": " + report::JsonNumber(std::stod(L)) +
                         ", \"G\": " + report::JsonNumber(std::stod(G)) + "}";
    EXPECT_NE(objects.find(inputs), std::string::npos) << inputs;
    design::DesignInput written =
        design::ReadDesignInput(designs + "/front-0" + std::to_string(k) + ".txt");
    EXPECT_EQ(design::ShortestText(written[design::field::L].number), L);
    EXPECT_EQ(design::ShortestText(written[design::field::G].number), G);
  }
  EXPECT_FALSE(
      std::filesystem::exists(designs + "/front-0" + std::to_string(rows.size()) + ".txt"));
}

TEST(OptimizeCommand, RefusedCommandsExitTwoWithTheUsage) {
  const std::vector<std::vector<std::string>> refused = {
      {"--vary", "P=2:4"},
      {"--vary", "L=130:200", "--limit", "EFF=0.9"},
      {"--vary", "L=200:130"},
      {"--vary", "L=130:200", "--objective", "speed"},
      {"--vary", "G=0.3:0.4:0"},
      {"--class", "IE3"},
      {"--vary", "Z=1:1e8"},
      {"--vary", "Z=1e300:1e300"},
      {"--vary", "L=130:200", "--insulation", "E"},
  };
  for (const std::vector<std::string>& args : refused) {
    std::vector<std::string> all = {"optimize", k4Pole};
    all.insert(all.end(), args.begin(), args.end());
    ProgramRun run = RunProgram(all);
    EXPECT_EQ(run.status, kExitUsage) << args[1];
    EXPECT_NE(run.err.find("用法：velmora-calc optimize"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace velmora::cli
