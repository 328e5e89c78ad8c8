// velmora-calc DESIGN, end to end: the report to a file (GBK, CR LF) or to
// the terminal (UTF-8, LF), the JSON beside it, and the runs that write none.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_program.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using design::testing::ReadBytes;
using design::testing::TempFolder;
using testing::ExampleWith;
using testing::k4Pole;
using testing::ProgramRun;
using testing::RunProgram;

constexpr int kG = 23, kSHFA = 59;
const std::string kNoLayout = "选择输出方案SHFA不是1或2，不输出报告。\n";

std::vector<std::string> Examples() {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(VELMORA_EXAMPLES_DIR))
    if (entry.path().extension() == ".txt") found.push_back(entry.path().string());
  return found;
}

// The checked-in golden file of an example under `folder` of tests/.
std::string Golden(const std::string& example, const std::string& folder,
                   const std::string& suffix) {
  return ReadBytes(std::string(VELMORA_GOLDEN_DIR) + "/../../" + folder + "/golden/" +
                   fs::path(example).stem().string() + suffix);
}

// The JSON names the price file beside the program; the golden files name
// its folder "<velmora-calc folder>".
std::string WithoutProgramFolder(std::string json) {
  const std::string folder = "\"" + fs::path(VELMORA_CALC_PROGRAM).parent_path().string() + "/";
  for (std::size_t at; (at = json.find(folder)) != std::string::npos;)
    json.replace(at, folder.size(), "\"<velmora-calc folder>/");
  return json;
}

TEST(MainCommand, ReportGoesToItsFileOrToTheTerminal) {
  for (const std::string& example : Examples()) {
    SCOPED_TRACE(example);
    const bool list = design::ReadDesignInput(example)[design::field::SHFA].number == 1;
    const std::string report = Golden(example, "report", list ? ".list.dat" : ".sheet.dat");
    ASSERT_FALSE(report.empty());
    TempFolder folder;
    ProgramRun to_file = RunProgram({example, "-o", folder.File("report.dat")});
    EXPECT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out + to_file.err, "");
    EXPECT_TRUE(ReadBytes(folder.File("report.dat")) == report);

    // The terminal shows the same report in UTF-8 with plain line ends.
    std::string shown = design::GbkToUtf8(report);
    for (std::size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.erase(at, 1);
    ProgramRun to_terminal = RunProgram({example});
    EXPECT_EQ(to_terminal.status, 0);
    EXPECT_TRUE(to_terminal.out == shown);

    // With the JSON on standard output the report goes to its file only.
    ProgramRun with_json = RunProgram({"--json", "-", example, "-o", folder.File("again.dat")});
    EXPECT_EQ(with_json.status, 0);
    EXPECT_TRUE(WithoutProgramFolder(with_json.out) == Golden(example, "json", ".json"));
    EXPECT_TRUE(ReadBytes(folder.File("again.dat")) == report);
  }
}

struct Case {
  const char* name;
  int field;                      // changed in the 4-pole example, -1 for none
  const char* text;               // its new text
  std::vector<std::string> args;  // DESIGN stands for the design file, OUT for a file to write
  int status;
  std::string err;  // what standard error shows, or a part of it for status 1 and 2
};

const Case kCases[] = {
    {"no_arguments", -1, "", {}, 2, "用法："},
    {"two_designs", -1, "", {"DESIGN", "DESIGN"}, 2, "用法："},
    {"unknown_option", -1, "", {"DESIGN", "-x"}, 2, "用法："},
    {"report_file_not_given", -1, "", {"DESIGN", "-o"}, 2, "用法："},
    {"no_design", -1, "", {"-o", "OUT"}, 2, "用法："},
    {"missing_design", -1, "", {"/nonexistent/design.txt"}, 2, "/nonexistent/design.txt"},
    {"calculation_fault", kG, "0", {"DESIGN", "-o", "OUT"}, 1, "计算中断"},
    {"unwritable_report",
     -1,
     "",
     {"DESIGN", "-o", "/nonexistent/report.dat"},
     1,
     "/nonexistent/report.dat"},
    {"layout_3", kSHFA, "3", {"DESIGN"}, 0, kNoLayout},
    {"layout_1_5_to_a_file", kSHFA, "1.5", {"DESIGN", "-o", "OUT"}, 0, kNoLayout},
    {"layout_0_with_json", kSHFA, "0", {"DESIGN", "--json", "OUT"}, 0, ""},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class MainCommandWritesNoReport : public ::testing::TestWithParam<Case> {};

TEST_P(MainCommandWritesNoReport, ExitsWithItsStatusAndSaysWhy) {
  const Case& c = GetParam();
  TempFolder folder;
  std::string design = c.field < 0 ? k4Pole : ExampleWith(folder, c.field, c.text);
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg == "DESIGN") arg = design;
    if (arg == "OUT") arg = folder.File("out");
  }
  ProgramRun run = RunProgram(args);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.out, "");
  if (c.status == 0) {
    EXPECT_EQ(run.err, c.err);
  } else {
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  // Of all the files asked for only the JSON is written.
  const bool json = c.args.size() == 3 && c.args[1] == "--json";
  EXPECT_EQ(fs::exists(folder.File("out")), json);
}

INSTANTIATE_TEST_SUITE_P(Commands, MainCommandWritesNoReport, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Asking for help is not a mistake: usage on standard output, exit 0.
TEST(MainCommand, HelpAndVersionGoToStandardOutput) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"sweep", "--help"}, {"check", "-h"}}) {
    ProgramRun run = RunProgram(args);
    EXPECT_EQ(run.status, 0) << args.back();
    EXPECT_TRUE(run.out.starts_with("用法：velmora-calc")) << run.out;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_TRUE(RunProgram({"--version"}).out.starts_with("velmora-calc "));
}

}  // namespace
}  // namespace velmora::cli
