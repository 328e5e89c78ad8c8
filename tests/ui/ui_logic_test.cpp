// The window commands driven through a toolkit without a screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "../design/temp_folder.h"
#include "fake_toolkit.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/hhelp.h"
#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/sjsrck.h"
#include "velmora/ui/window_placement.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
using design::kFieldCount;
using design::testing::ReadBytes;
using design::testing::WriteBytes;
using testing::FakeToolkit;
using Texts = std::array<std::string, kFieldCount>;

// Every file under `folder` with its bytes, to see that a command touched none.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files[entry.path().string()] = entry.is_regular_file() ? ReadBytes(entry.path()) : "<folder>";
  return files;
}

// A design whose 60 boxes are all filled and all different: the motor model,
// then 1.5, 2.5, ... (no commas, no leading blanks).
Texts FilledBoxes() {
  Texts texts;
  texts[0] = "Y132S-4 试验机";
  for (int i = 1; i < kFieldCount; ++i) texts[i] = std::to_string(i) + ".5";
  return texts;
}

// The report holds GBK Chinese and CR LF line ends; a copy must keep both.
const std::string kReport = "  1.额定功率PN=5.5\r\n  2.相电压U1=380\r\n";

// The program folder is a fresh temporary folder; the calculation is
// recorded instead of run unless a test sets it.
class WindowTest : public ::testing::Test {
 protected:
  FakeToolkit& tk() { return toolkit_; }
  // One message: the command's "无效的操作", then the reason naming `what`.
  void ExpectInvalidWithReason(const std::string& what) {
    ASSERT_EQ(tk().messages.size(), 1u);
    EXPECT_EQ(tk().messages[0].rfind(std::string(kInvalidOperation) + "\n", 0), 0u);
    EXPECT_NE(tk().messages[0].find(what), std::string::npos) << tk().messages[0];
  }
  // The input window as the program starts it.
  SJSRCK StartInput() {
    SJSRCK input(tk(), session_, [this](const std::string& folder) { return run_(folder); });
    input.Show();
    return input;
  }
  std::string InFolder(const std::string& name) { return folder_.File(name); }

  design::testing::TempFolder folder_;
  Session session_;
  FakeToolkit toolkit_{folder_.path()};
  std::vector<std::string> runs_;
  Calculation run_ = [this](const std::string& folder) {
    runs_.push_back(folder);
    report::RunOutcome outcome;
    outcome.ok = true;
    return outcome;
  };
};

TEST_F(WindowTest, InputWindowShowsThePanelFilesAndCreatesMissingOnes) {
  WriteBytes(InFolder(design::kGuideFileName), design::Utf8ToGbk("操作说明\r\n第二行"));
  tk().boxes.fill("old");
  StartInput();
  for (const std::string& box : tk().boxes) EXPECT_EQ(box, "");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text1], "操作说明\r\n第二行");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text3], "");
  EXPECT_EQ(fs::file_size(InFolder(design::kReferenceFileName)), 0u);
  EXPECT_TRUE(tk().messages.empty());
}

TEST_F(WindowTest, SaveAsInputDataFileThenOpenRestoresAllBoxes) {
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  tk().answers.push_back(InFolder("motor"));
  input.SJSRSAVE();
  EXPECT_EQ(ReadBytes(InFolder("motor.txt")), design::FormatInputFile(FilledBoxes()));
  input.SJSRCREAT();
  tk().answers.push_back(InFolder("motor.txt"));
  input.SJSROPEN();
  EXPECT_EQ(tk().boxes, FilledBoxes());
  EXPECT_TRUE(tk().messages.empty());
}

// 新建 asks only when the boxes hold typing no file has; 否 keeps them.
TEST_F(WindowTest, NewAsksBeforeEmptyingTypingThatNoFileHolds) {
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  tk().answers.push_back(InFolder("motor.txt"));
  input.SJSRSAVE();
  input.SJSRCREAT();  // just saved: nothing to lose
  EXPECT_TRUE(tk().questions.empty());
  tk().answers.push_back(InFolder("motor.txt"));
  input.SJSROPEN();
  tk().boxes[23] = "0.45";
  tk().answer_yes = false;
  input.SJSRCREAT();
  ASSERT_EQ(tk().questions.size(), 1u);
  EXPECT_EQ(tk().boxes[23], "0.45");
  input.SJSRCACULATE();  // the input data file is the program's, not the user's
  input.SJSRCREAT();
  EXPECT_EQ(tk().questions.size(), 2u);
  EXPECT_EQ(tk().boxes[0], FilledBoxes()[0]);
}

// Beside the input window when the screen has room, else at the screen's
// right edge below the input window's menu bar; never past the screen.
TEST(WindowPlacement, BesideTheInputWindowAndNeverOverItsMenu) {
  const ScreenRect wide{0, 0, 2560, 1400}, laptop{0, 0, 1366, 740};
  const ScreenRect main{0, 0, 995, 640};
  EXPECT_EQ(PlaceBesideMain(wide, main, 52, {0, 0, 1000, 600}), (ScreenRect{995, 0, 1000, 600}));
  EXPECT_EQ(PlaceBesideMain(laptop, main, 52, {0, 0, 1000, 900}), (ScreenRect{366, 52, 1000, 688}));
  EXPECT_EQ(PlaceBesideMain(laptop, {0, 500, 995, 640}, 552, {0, 0, 1400, 600}),
            (ScreenRect{0, 0, 1366, 600}));
}

TEST_F(WindowTest, OpeningAShortFileFillsWhatItHoldsAndKeepsTheRest) {
  SJSRCK input = StartInput();
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "new" + std::to_string(i) + ",";
  WriteBytes(InFolder("short.txt"), thirty);
  tk().boxes = FilledBoxes();

  tk().answers.push_back(InFolder("short.txt"));
  input.SJSROPEN();
  for (int i = 0; i < 30; ++i) EXPECT_EQ(tk().boxes[i], "new" + std::to_string(i));
  for (int i = 30; i < kFieldCount; ++i) EXPECT_EQ(tk().boxes[i], FilledBoxes()[i]);
  ExpectInvalidWithReason("输入文件只有30个字段");

  // The window goes on working: a save writes all 60 boxes.
  tk().answers.push_back(InFolder("after.txt"));
  input.SJSRSAVE();
  EXPECT_EQ(tk().messages.size(), 1u);
  EXPECT_EQ(design::ReadInputFile(InFolder("after.txt"))[59], FilledBoxes()[59]);
}

TEST_F(WindowTest, FailedOpenOrSaveSaysWhyAndKeepsTheBoxes) {
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  tk().answers.push_back(InFolder("nowhere.txt"));
  input.SJSROPEN();
  EXPECT_EQ(tk().boxes, FilledBoxes());
  ExpectInvalidWithReason("找不到文件");
  tk().messages.clear();
  tk().answers.push_back(InFolder("no-such-folder/motor.txt"));
  input.SJSRSAVE();
  ExpectInvalidWithReason("no-such-folder");
}

// Each file command's dialog starts in the design folder, made for it; cancelled,
// the command says so and changes nothing.
TEST_F(WindowTest, CancelledDialogSaysInvalidAndChangesNothing) {
  struct Case {
    const char* command;
    DialogMode mode;
    std::function<void(SJSRCK&)> run;
  };
  const Case cases[] = {
      {"SJSROPEN", DialogMode::Open, [](SJSRCK& in) { in.SJSROPEN(); }},
      {"SJSRSAVE", DialogMode::Save, [](SJSRCK& in) { in.SJSRSAVE(); }},
      {"CUNPAN", DialogMode::Save, [this](SJSRCK&) { SJSHUCHU(tk()).CUNPAN(); }},
  };
  SJSRCK input = StartInput();
  input.JISUAN();  // the results window, for "存盘"
  tk().boxes = FilledBoxes();
  const auto files_before = Snapshot(folder_.path());
  for (const Case& c : cases) {
    tk().dialogs.clear();
    tk().messages.clear();
    c.run(input);
    ASSERT_EQ(tk().dialogs.size(), 1u) << c.command;
    EXPECT_EQ(tk().dialogs[0].mode, c.mode) << c.command;
    EXPECT_EQ(tk().dialogs[0].folder, InFolder("SJSRCK")) << c.command;
    EXPECT_EQ(tk().messages, std::vector<std::string>{kInvalidOperation}) << c.command;
    EXPECT_EQ(tk().boxes, FilledBoxes()) << c.command;
    auto files_after = Snapshot(folder_.path());
    EXPECT_EQ(files_after.erase(InFolder("SJSRCK")), 1u) << c.command;  // empty
    EXPECT_EQ(files_after, files_before) << c.command;
  }
}

TEST_F(WindowTest, EmptyBoxesStopTheCalculationOnceAndTheInputFileIsKept) {
  for (const char* empty : {"", "   "}) {
    SJSRCK input = StartInput();
    tk().messages.clear();
    Texts texts = FilledBoxes();
    texts[37] = empty;
    tk().boxes = texts;
    input.SJSRCACULATE();
    EXPECT_EQ(tk().boxes[37], "");  // read back from the input data file
    EXPECT_EQ(tk().messages, std::vector<std::string>{std::string(kIncompleteInput) +
                                                      "\n第一个空框：“BS1”（BS1）"});
    EXPECT_EQ(tk().focused, 37);  // the cursor waits in the empty box
    texts[37] = "";
    EXPECT_EQ(design::ReadInputFile(InFolder(design::kInputDataFileName)), texts);
  }
  EXPECT_TRUE(runs_.empty());
}

TEST_F(WindowTest, FullDesignRunsOnceInTheProgramFolderOnTheReadBackBoxes) {
  SJSRCK input = StartInput();
  Texts texts = FilledBoxes();
  texts[3] = "  50";
  tk().boxes = texts;
  input.SJSRCACULATE();
  EXPECT_EQ(tk().boxes[3], "50");
  EXPECT_EQ(runs_, std::vector<std::string>{folder_.path()});
  EXPECT_TRUE(tk().messages.empty());
}

// An open results window follows each successful calculation: it never
// shows the report of the design before; a failed run leaves it as it was.
TEST_F(WindowTest, OpenResultsFollowEachSuccessfulCalculation) {
  const std::string report = InFolder(design::kReportFileName);
  run_ = [&](const std::string&) {
    WriteBytes(report, design::Utf8ToGbk("第" + std::to_string(runs_.size() + 1) + "次"));
    runs_.push_back("");
    report::RunOutcome outcome;
    outcome.ok = runs_.size() < 3;
    return outcome;
  };
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  input.SJSRCACULATE();
  input.JISUAN();
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "第1次");
  EXPECT_EQ(tk().status[Window::SJSHUCHU], "上次电磁计算的报告：" + FilledBoxes()[0]);
  input.SJSRCACULATE();
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "第2次");
  tk().boxes[23] = "0.45";
  input.BoxesChanged();
  EXPECT_NE(tk().status[Window::SJSHUCHU].find("输入数据已改动"), std::string::npos);
  input.SJSRCACULATE();  // fails
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "第2次");
  EXPECT_NE(tk().status[Window::SJSHUCHU].find("更早一次"), std::string::npos);
  // Closed, or left open behind other windows, it shows the file as it is now.
  WriteBytes(report, design::Utf8ToGbk("另一台电机"));
  input.JISUAN();
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "另一台电机");
}

TEST_F(WindowTest, FailedRunShowsItsMessageAndKeepsTheBoxes) {
  run_ = [](const std::string&) {
    report::RunOutcome outcome;
    outcome.message = "第16项：除数为零";
    return outcome;
  };
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  input.SJSRCACULATE();
  EXPECT_EQ(tk().messages, std::vector<std::string>{"第16项：除数为零"});
  EXPECT_EQ(tk().boxes, FilledBoxes());
  EXPECT_TRUE(tk().open.count(Window::SJSRCK));
}

TEST_F(WindowTest, ResultsBeforeAnyCalculationShowNothingAndLeaveAnEmptyReport) {
  SJSRCK input = StartInput();
  input.JISUAN();
  EXPECT_TRUE(tk().open.count(Window::SJSHUCHU));
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "");
  EXPECT_EQ(ReadBytes(InFolder(design::kReportFileName)), "");
  EXPECT_TRUE(fs::exists(InFolder(design::kReportFileName)));
}

// The copy is the report file as it is now, not the text shown, byte for
// byte over a longer file, with .OUT added to a name without extension.
TEST_F(WindowTest, SaveCopyIsTheReportFileByteForByte) {
  SJSRCK input = StartInput();
  input.JISUAN();  // shows the empty report
  WriteBytes(InFolder(design::kReportFileName), design::Utf8ToGbk(kReport));
  WriteBytes(InFolder("copy.OUT"), "a much longer old content that must go entirely");
  tk().answers.push_back(InFolder("copy"));
  SJSHUCHU(tk()).CUNPAN();
  EXPECT_TRUE(tk().messages.empty());
  EXPECT_EQ(ReadBytes(InFolder("copy.OUT")), design::Utf8ToGbk(kReport));
}

// Opening the help window again while it is open brings it to the front
// without reading its file; closed and opened, it reads afresh.
TEST_F(WindowTest, ReopeningHelpKeepsOneWindowAndDoesNotRereadTheFile) {
  SJSRCK input = StartInput();
  input.HELP();
  EXPECT_TRUE(fs::exists(InFolder(design::kHelpFileName)));  // created empty
  WriteBytes(InFolder(design::kHelpFileName), design::Utf8ToGbk("第二版"));
  input.HELP();
  EXPECT_EQ(tk().panels[Panel::HHELP_Text1], "");
  EXPECT_EQ(tk().shown[Window::HHELP], 2);
  tk().CloseWindow(Window::HHELP);
  input.HELP();
  EXPECT_EQ(tk().panels[Panel::HHELP_Text1], "第二版");
}

TEST_F(WindowTest, ExitClosesOnlyTheInputWindowAndReturnShowsItAsItWas) {
  SJSRCK input = StartInput();
  tk().boxes = FilledBoxes();
  input.JISUAN();
  SJSHUCHU(tk()).FANHUI();
  EXPECT_EQ(tk().open, std::set<Window>{Window::SJSRCK});
  EXPECT_EQ(tk().boxes, FilledBoxes());
  input.JISUAN();
  input.HELP();
  input.SJSREXIT();
  EXPECT_EQ(tk().open, (std::set<Window>{Window::SJSHUCHU, Window::HHELP}));
}

TEST(WindowSupport, FilterListsAndDefaultExtensions) {
  EXPECT_EQ(ParseFilterList("*.OUT"), (std::vector<FileFilter>{{"*.OUT", "*.OUT"}}));
  EXPECT_EQ(ParseFilterList("报告|*.OUT|其他"),
            (std::vector<FileFilter>{{"报告", "*.OUT"}, {"其他", "其他"}}));
  struct Case {
    const char* path;
    const char* extension;
    const char* expected;
  };
  const Case cases[] = {{"/d/motor", "txt", "/d/motor.txt"},
                        {"/d/motor.dat", "txt", "/d/motor.dat"},
                        {"/d/电机", "OUT", "/d/电机.OUT"},
                        {"/d.v2/motor", "OUT", "/d.v2/motor.OUT"},
                        {"/d/motor.out", "OUT", "/d/motor.out"},
                        {"motor", "txt", "motor.txt"},
                        {"/d/motor", "", "/d/motor"}};
  for (const Case& c : cases) EXPECT_EQ(AddDefaultExtension(c.path, c.extension), c.expected);
}

}  // namespace
}  // namespace velmora::ui
