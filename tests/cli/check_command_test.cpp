// velmora-calc check, end to end: the table it prints and its exit status.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "design_run.h"
#include "run_program.h"
#include "velmora/calc/calculation.h"
#include "velmora/design/input_file.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/json_output.h"
#include "velmora/report/text_formats.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/thermal.h"

namespace velmora::cli {
namespace {

using design::testing::ReadBytes;
using design::testing::TempFolder;
using design::testing::WriteBytes;
using testing::ExampleWith;
using testing::k4Pole;
using testing::ProgramRun;
using testing::RunProgram;

constexpr int kEFF = 13, kTM = 17, kG = 23;

struct CheckCase {
  const char* name;
  int field;
  const char* text;
  int status;
  const char* shown;  // on standard output, or on standard error for status 1
};

const CheckCase kCases[] = {
    // Efficiency target 0.855 allows 0.855 − 0.15·0.145 = 0.83325.
    {"example_meets_its_targets", kEFF, "0.855", 0, "0.83325"},
    // Computed EFF 0.8706 is below 0.95 − 0.15·0.05 = 0.9425.
    {"efficiency_target_too_high", kEFF, "0.95", 3, "不合格"},
    // Computed TMAX1 3.09 is below 0.9·3.5 = 3.15.
    {"breakdown_target_too_high", kTM, "3.5", 3, "不合格"},
    {"breakdown_target_missing", kTM, "", 0, "未校核"},
    {"zero_air_gap_faults", kG, "0", 1, "计算中断"},
};

class CheckOutcome : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckOutcome, SetsTheExitStatus) {
  const CheckCase& c = GetParam();
  TempFolder folder;
  ProgramRun run = RunProgram({"check", ExampleWith(folder, c.field, c.text), "--class", "none"});
  EXPECT_EQ(run.status, c.status) << run.out << run.err;
  const std::string& shown = c.status == 1 ? run.err : run.out;
  EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
  if (c.status == 0) {
    EXPECT_EQ(run.out.find("不合格"), std::string::npos) << run.out;
  }
}

INSTANTIATE_TEST_SUITE_P(Designs, CheckOutcome, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A 1 mm stator opening under a 60° shoulder: at starting its saturation
// reduction exceeds the slot's whole leakage permeance, so the starting
// current and torque cannot be trusted; the rated-load efficiency and
// temperature rise still stand.
TEST(CheckCommand, ImpossibleStartingLeakageLeavesTheRatedLoadStanding) {
  TempFolder folder;
  const std::string narrow =
      ExampleWith(folder, {{design::field::B01, "1.0"}, {design::field::ZS1, "60"}});
  ProgramRun run = RunProgram({"check", narrow, "--class", "none"});
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find("起动时定子槽比漏磁导SP1ST="), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("起动电流、起动转矩不能作为设计依据"), std::string::npos) << run.err;
  for (const char* line : {"IST   起动电流倍数", "TST   起动转矩倍数"}) {
    std::size_t at = run.out.find(line);
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_NE(run.out.substr(at, run.out.find('\n', at) - at).find("不可信"), std::string::npos);
  }
  for (const char* line : {"EFF   效率", "TRISE 温升"}) {
    std::size_t at = run.out.find(line);
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_NE(run.out.substr(at, run.out.find('\n', at) - at).find("合格"), std::string::npos);
    EXPECT_EQ(run.out.substr(at, run.out.find('\n', at) - at).find("不"), std::string::npos);
  }
}

// The 4-pole 5.5 kW example reaches 87.06 %: below IE2 (87.7 %), so it
// fails the legal minimum IE3 (89.6 %) and also a chosen IE2.
TEST(CheckCommand, EfficiencyClassAgainstTheLegalMinimumOrAChosenClass) {
  ProgramRun run = RunProgram({"check", k4Pole});
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_NE(run.out.find("能效等级：低于IE2（计算效率87.06%）"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("IE2 87.7%，IE3 89.6%，IE4 91.9%"), std::string::npos);
  EXPECT_NE(run.out.find("要求IE3（法定最低）：未达到，还差2.54个百分点"), std::string::npos);
  EXPECT_NE(run.out.find("合计 680.45 元，每千瓦 123.72 元/kW"), std::string::npos);
  EXPECT_EQ(RunProgram({"check", k4Pole, "--class", "IE2"}).status, 3);
  EXPECT_EQ(RunProgram({"check", k4Pole, "--class", "IE5"}).status, 2);
  // No class asked: the class reached is told, no requirement is.
  ProgramRun none = RunProgram({"check", k4Pole, "--class", "none"});
  EXPECT_NE(none.out.find("能效等级：低于IE2"), std::string::npos) << none.out;
  EXPECT_EQ(none.out.find("要求"), std::string::npos) << none.out;
  // A 90 mm core runs its teeth above the steel curve: the efficiency, and
  // the class with it, cannot be trusted, and the text says so.
  TempFolder folder;
  ProgramRun short_core =
      RunProgram({"check", ExampleWith(folder, design::field::L, "90"), "--class", "IE2"});
  EXPECT_EQ(short_core.status, 3);
  EXPECT_NE(short_core.out.find("能效等级：IE2（计算效率89.04%，不可信）"), std::string::npos)
      << short_core.out;
  EXPECT_NE(short_core.out.find("要求IE2：不可信"), std::string::npos);
  EXPECT_EQ(short_core.out.find("达到，余量"), std::string::npos);
}

// "-" reads the design from standard input; --json writes the check to a
// file beside the table, or alone to standard output.
TEST(CheckCommand, ReadsStandardInputAndWritesJson) {
  ProgramRun table = RunProgram({"check", k4Pole});
  ProgramRun from_stdin = RunProgram({"check", "-"}, k4Pole);
  EXPECT_EQ(from_stdin.status, 3) << from_stdin.err;
  EXPECT_EQ(from_stdin.out, table.out);

  TempFolder folder;
  ProgramRun with_file = RunProgram({"check", k4Pole, "--json", folder.File("check.json")});
  EXPECT_EQ(with_file.status, 3);
  EXPECT_EQ(with_file.out, table.out);
  ProgramRun json = RunProgram({"check", "--json", "-", "--class", "none", "--", "-"}, k4Pole);
  EXPECT_EQ(json.status, 0) << json.err;
  for (const char* part :
       {"{\n  \"rules\": [\n    {\"name\": \"EFF\", \"caption\": ",
        "\"bound\": \"at_least\", "
        "\"target\": 0.85499999999999998, \"limit\": 0.83324999999999994, \"value\": "
        "0.87063060628008238, \"outcome\": \"pass\"}",
        "{\"name\": \"IE\", ", "\"target\": null, \"limit\": null, ",
        "\"outcome\": \"not_checked\"}",
        "\n  \"passed\": true,\n  \"trustworthy\": true,\n  \"warnings\": [],\n  "
        "\"efficiency_class\": {\"classified\": true, \"class\": \"低于IE2\"",
        "\"cost\": {\"prices\": {\"built_in\": false, \"file\": ", "\"total\": 680.44685995003033"})
    EXPECT_NE(json.out.find(part), std::string::npos) << part << "\n" << json.out;
  EXPECT_EQ(ReadBytes(folder.File("check.json")), RunProgram({"check", k4Pole, "--json", "-"}).out);
}

// The winding's average rise against the insulation class: the example runs
// 63.8 K by the built-in thermal data, within class B's 80 K; with one of
// its two wires in hand 0.6 mm instead of 0.85 mm, its copper loss takes it
// to 83.7 K, over class B and within class F's 105 K, its only failure. A frame narrower
// than the core leaves no network: a failure, with its reason.
TEST(CheckCommand, TemperatureRiseAgainstTheInsulationClass) {
  ProgramRun example = RunProgram({"check", k4Pole, "--class", "none"});
  EXPECT_EQ(example.status, 0) << example.err;
  EXPECT_NE(example.out.find("TRISE 温升          80          ≤ 80         63.8476     合格"),
            std::string::npos)
      << example.out;
  EXPECT_NE(example.out.find("温升：绕组平均温升（电阻法）63.8 K"), std::string::npos);
  EXPECT_NE(example.out.find("  B级绝缘限值80 K：合格，裕量16.2 K\n"), std::string::npos);

  TempFolder folder;
  const std::string thin_wire = ExampleWith(folder, design::field::DJJ, "0.6");
  ProgramRun class_b = RunProgram({"check", thin_wire, "--class", "none"});
  EXPECT_EQ(class_b.status, 3);
  EXPECT_NE(class_b.out.find("B级绝缘限值80 K：超过限值3.7 K"), std::string::npos) << class_b.out;
  ProgramRun class_f = RunProgram({"check", thin_wire, "--class", "none", "--insulation", "F"});
  EXPECT_EQ(class_f.status, 0);
  EXPECT_NE(class_f.out.find("F级绝缘限值105 K：合格，裕量21.3 K"), std::string::npos)
      << class_f.out;
  ProgramRun none = RunProgram({"check", thin_wire, "--class", "none", "--insulation", "none"});
  EXPECT_EQ(none.status, 0);
  EXPECT_NE(none.out.find("TRISE 温升          未校核：不要求绝缘等级"), std::string::npos);

  WriteBytes(folder.File("small-frame.dat"), "FRAME_OD=150\n");
  ProgramRun fault =
      RunProgram({"check", k4Pole, "--class", "none", "--thermal", folder.File("small-frame.dat")});
  EXPECT_EQ(fault.status, 3);
  EXPECT_NE(fault.out.find("温升：不能建立热网络：机座外径"), std::string::npos) << fault.out;

  ProgramRun bad_class = RunProgram({"check", k4Pole, "--insulation", "E"});
  EXPECT_EQ(bad_class.status, 2);
  EXPECT_NE(bad_class.err.find("--insulation 应为B、F、H或none，现为“E”"), std::string::npos);
  ProgramRun bad_file = RunProgram({"check", k4Pole, "--thermal", "/nonexistent/热参数.dat"});
  EXPECT_EQ(bad_file.status, 2);
  EXPECT_NE(bad_file.err.find("/nonexistent/热参数.dat"), std::string::npos) << bad_file.err;
}

// The JSON of the check carries the rise rule and the network's figures,
// which read back exactly as the thermal network gives them.
TEST(CheckCommand, JsonCarriesTheTemperatureRise) {
  design::DesignInput input = design::ReadDesignInput(k4Pole);
  calc::CalculationState state;
  calc::CalculationFault fault;
  ASSERT_TRUE(calc::Calculate(input, state, fault));
  const studies::ThermalResult thermal = studies::ThermalOf(state, {});
  ProgramRun json = RunProgram({"check", k4Pole, "--class", "none", "--json", "-"});
  EXPECT_EQ(json.status, 0) << json.err;
  const std::string rise = report::JsonNumber(thermal.winding_rise);
  for (const std::string& part :
       {"{\"name\": \"TRISE\", \"caption\": \"温升\", \"bound\": \"at_most\", \"target\": 80, "
        "\"limit\": 80, \"value\": " +
            rise + ", \"outcome\": \"pass\"}",
        "\n  \"temperature_rise\": {\"insulation\": \"B\", \"ambient\": 40, \"winding_rise\": " +
            rise + ", \"hot_spot\": " + report::JsonNumber(thermal.hot_spot) +
            ", \"limit\": 80, \"margin\": " + report::JsonNumber(80 - thermal.winding_rise) +
            ", \"fault\": null},\n"})
    EXPECT_NE(json.out.find(part), std::string::npos) << part << "\n" << json.out;
  ProgramRun unchecked =
      RunProgram({"check", k4Pole, "--class", "none", "--insulation", "none", "--json", "-"});
  EXPECT_NE(unchecked.out.find("\"temperature_rise\": {\"insulation\": null, \"ambient\": 40, "
                               "\"winding_rise\": " +
                               rise),
            std::string::npos)
      << unchecked.out;
  EXPECT_NE(unchecked.out.find("\"limit\": null, \"margin\": null, \"fault\": null}"),
            std::string::npos);
}

// Prices no price file can give still print no "-0.00" and no infinity;
// the JSON has null for a number that is not finite.
TEST(CheckCommand, NoNegativeZeroAndNoInfinityInTheCost) {
  design::DesignInput input = design::ReadDesignInput(k4Pole);
  calc::CalculationState state;
  calc::CalculationFault fault;
  ASSERT_TRUE(calc::Calculate(input, state, fault));
  DesignToolOptions options;
  options.prices.copper = std::numeric_limits<double>::infinity();
  options.prices.aluminium = -0.0;
  std::string json = report::CheckJson(input, state, options.check, options.prices);
  EXPECT_EQ(json.find("inf"), std::string::npos) << json;
  EXPECT_NE(json.find("\"price\": null, \"cost\": null}"), std::string::npos) << json;
  for (const std::string& line :
       report::CostLines(studies::CostOf(state, options.prices), options.prices)) {
    EXPECT_EQ(line.find("-0.00"), std::string::npos) << line;
    EXPECT_EQ(line.find("inf"), std::string::npos) << line;
  }
}

TEST(CheckCommand, WrongUseExitsWithTwo) {
  EXPECT_EQ(RunProgram({"check"}).status, 2);
  EXPECT_EQ(RunProgram({"check", k4Pole, k4Pole}).status, 2);
  EXPECT_EQ(RunProgram({"check", k4Pole, "--json"}).status, 2);
  EXPECT_EQ(RunProgram({"check", k4Pole, "--table"}).status, 2);
  ProgramRun missing = RunProgram({"check", "/nonexistent/design.txt"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("/nonexistent/design.txt"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace velmora::cli
