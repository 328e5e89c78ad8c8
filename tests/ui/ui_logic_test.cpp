// The window commands driven through a toolkit without a screen.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fake_toolkit.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/hhelp.h"
#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/sjsrck.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
using design::kFieldCount;
using testing::FakeToolkit;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Spill(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every file under `folder` with its bytes, to see that a command touched none.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[entry.path().string()] = entry.is_regular_file() ? Slurp(entry.path()) : "<folder>";
  }
  return files;
}

// A design whose 60 boxes are all filled and all different: the motor model,
// then 1.5, 2.5, ... (no commas, no leading blanks).
std::array<std::string, kFieldCount> FilledBoxes() {
  std::array<std::string, kFieldCount> texts;
  texts[0] = "Y132S-4 试验机";
  for (int i = 1; i < kFieldCount; ++i) texts[i] = std::to_string(i) + ".5";
  return texts;
}

// The program folder is a fresh temporary folder; the calculation is
// recorded instead of run unless a test sets it.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-ui-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    toolkit_ = std::make_unique<FakeToolkit>(folder_.string());
    run_ = [this](const std::string& folder) {
      runs_.push_back(folder);
      report::RunOutcome outcome;
      outcome.ok = true;
      return outcome;
    };
  }
  void TearDown() override { fs::remove_all(folder_); }

  FakeToolkit& tk() { return *toolkit_; }
  // One message: the command's "无效的操作", then the reason naming `what`.
  void ExpectInvalidWithReason(const std::string& what) {
    ASSERT_EQ(tk().messages.size(), 1u);
    EXPECT_EQ(tk().messages[0].rfind(std::string(kInvalidOperation) + "\n", 0), 0u);
    EXPECT_NE(tk().messages[0].find(what), std::string::npos) << tk().messages[0];
  }
  SJSRCK Input() {
    return SJSRCK(tk(), session_, [this](const std::string& folder) { return run_(folder); });
  }
  // The input window as the program starts it.
  SJSRCK StartInput() {
    SJSRCK input = Input();
    input.Show();
    return input;
  }
  void Fill(const std::array<std::string, kFieldCount>& texts) { tk().boxes = texts; }
  fs::path InFolder(const std::string& name) { return folder_ / name; }

  fs::path folder_;
  Session session_;
  std::unique_ptr<FakeToolkit> toolkit_;
  Calculation run_;
  std::vector<std::string> runs_;
};

TEST_F(WindowTest, LoadEmptiesBoxesAndCreatesMissingPanelFiles) {
  tk().boxes.fill("old");
  ShowInputWindow(tk());

  for (const std::string& box : tk().boxes) EXPECT_EQ(box, "");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text1], "");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text3], "");
  EXPECT_TRUE(fs::exists(InFolder(design::kGuideFileName)));
  EXPECT_EQ(fs::file_size(InFolder(design::kReferenceFileName)), 0u);
  EXPECT_TRUE(tk().messages.empty());
}

TEST_F(WindowTest, PanelsShowTheGbkFilesAsChinese) {
  Spill(InFolder(design::kGuideFileName), design::Utf8ToGbk("操作说明\r\n第二行"));
  Spill(InFolder(design::kReferenceFileName), design::Utf8ToGbk("铜 0.0217"));
  StartInput();
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text1], "操作说明\r\n第二行");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text3], "铜 0.0217");
}

TEST_F(WindowTest, NewEmptiesEveryBoxAndTouchesNoFile) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  const auto before = Snapshot(folder_);

  input.SJSRCREAT();

  for (const std::string& box : tk().boxes) EXPECT_EQ(box, "");
  EXPECT_EQ(Snapshot(folder_), before);
  EXPECT_TRUE(tk().messages.empty());
}

TEST_F(WindowTest, SaveThenOpenRestoresAllBoxes) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  const fs::path design_file = folder_ / "SJSRCK" / "motor.txt";

  tk().answers.push_back(design_file.string());
  input.SJSRSAVE();
  input.SJSRCREAT();
  tk().answers.push_back(design_file.string());
  input.SJSROPEN();

  EXPECT_EQ(tk().boxes, FilledBoxes());
  EXPECT_TRUE(tk().messages.empty());
}

TEST_F(WindowTest, SavedFileIsTheInputDataFormatInGbk) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  tk().answers.push_back((folder_ / "motor.txt").string());
  input.SJSRSAVE();

  std::string expected = design::Utf8ToGbk("Y132S-4 试验机,");
  for (int i = 1; i < kFieldCount; ++i) expected += std::to_string(i) + ".5,";
  EXPECT_EQ(Slurp(folder_ / "motor.txt"), expected);
}

TEST_F(WindowTest, SaveAddsTxtToANameWithoutExtension) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  tk().answers.push_back((folder_ / "motor").string());
  input.SJSRSAVE();
  EXPECT_TRUE(fs::exists(folder_ / "motor.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "motor"));
}

TEST_F(WindowTest, OpeningAShortFileFillsWhatItHoldsAndKeepsTheRest) {
  SJSRCK input = StartInput();
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "new" + std::to_string(i) + ",";
  Spill(folder_ / "short.txt", thirty);
  Fill(FilledBoxes());

  tk().answers.push_back((folder_ / "short.txt").string());
  input.SJSROPEN();

  for (int i = 0; i < 30; ++i) EXPECT_EQ(tk().boxes[i], "new" + std::to_string(i));
  for (int i = 30; i < kFieldCount; ++i) EXPECT_EQ(tk().boxes[i], FilledBoxes()[i]);
  ExpectInvalidWithReason("输入文件只有30个字段");

  // The window goes on working: a save writes all 60 boxes.
  tk().answers.push_back((folder_ / "after.txt").string());
  input.SJSRSAVE();
  EXPECT_EQ(tk().messages.size(), 1u);
  EXPECT_EQ(design::ReadInputFile((folder_ / "after.txt").string())[59], FilledBoxes()[59]);
}

TEST_F(WindowTest, OpeningAMissingFileSaysInvalidAndKeepsTheBoxes) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  tk().answers.push_back((folder_ / "nowhere.txt").string());
  input.SJSROPEN();
  EXPECT_EQ(tk().boxes, FilledBoxes());
  ExpectInvalidWithReason("找不到文件");
}

TEST_F(WindowTest, SavingIntoAMissingFolderSaysInvalid) {
  SJSRCK input = StartInput();
  tk().answers.push_back((folder_ / "no-such-folder" / "motor.txt").string());
  input.SJSRSAVE();
  ExpectInvalidWithReason("no-such-folder");
}

// Each file command, with its dialog cancelled.
struct CancelCase {
  const char* command;
  std::function<void(SJSRCK&, FakeToolkit&)> run;
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.command; }

class CancelTest : public WindowTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, CancelledDialogSaysInvalidAndChangesNothing) {
  SJSRCK input = StartInput();
  input.JISUAN();  // the results window, for "存盘"
  Fill(FilledBoxes());
  const auto files_before = Snapshot(folder_);

  GetParam().run(input, tk());

  EXPECT_EQ(tk().messages, std::vector<std::string>{kInvalidOperation});
  EXPECT_EQ(tk().boxes, FilledBoxes());
  auto files_after = Snapshot(folder_);
  files_after.erase((folder_ / "SJSRCK").string());  // made for the dialog, and empty
  EXPECT_EQ(files_after, files_before);
}

INSTANTIATE_TEST_SUITE_P(
    FileCommands, CancelTest,
    ::testing::Values(CancelCase{"SJSROPEN", [](SJSRCK& in, FakeToolkit&) { in.SJSROPEN(); }},
                      CancelCase{"SJSRSAVE", [](SJSRCK& in, FakeToolkit&) { in.SJSRSAVE(); }},
                      CancelCase{"CUNPAN",
                                 [](SJSRCK&, FakeToolkit& tk) { SJSHUCHU(tk).CUNPAN(); }}),
    [](const auto& info) { return std::string(info.param.command); });

// What each dialog is given.
struct DialogCase {
  const char* command;
  std::function<void(SJSRCK&, FakeToolkit&)> run;
  DialogMode mode;
  const char* title;
  const char* file_name;
  std::vector<FileFilter> filters;
  const char* default_extension;
};

const std::vector<FileFilter> kDesignFilters = {
    {"所有文件[*.*]", "*.*"}, {"文本文件[*.txt]", "*.txt"}, {"数据文件[*.dat]", "*.dat"}};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.command; }

class DialogTest : public WindowTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogTest, DialogStartsInTheDesignFolderWithItsTitleAndFilters) {
  SJSRCK input = StartInput();
  GetParam().run(input, tk());

  ASSERT_EQ(tk().dialogs.size(), 1u);
  const FileDialogRequest& request = tk().dialogs[0];
  EXPECT_EQ(request.mode, GetParam().mode);
  EXPECT_EQ(request.title, GetParam().title);
  EXPECT_EQ(request.file_name, GetParam().file_name);
  EXPECT_EQ(request.folder, (folder_ / "SJSRCK").string());
  EXPECT_EQ(request.filters, GetParam().filters);
  EXPECT_EQ(request.default_extension, GetParam().default_extension);
  EXPECT_TRUE(fs::is_directory(folder_ / "SJSRCK"));  // created for the dialog
}

INSTANTIATE_TEST_SUITE_P(
    FileCommands, DialogTest,
    ::testing::Values(DialogCase{"SJSROPEN", [](SJSRCK& in, FakeToolkit&) { in.SJSROPEN(); },
                                 DialogMode::Open, "打开文件", "", kDesignFilters, ""},
                      DialogCase{"SJSRSAVE", [](SJSRCK& in, FakeToolkit&) { in.SJSRSAVE(); },
                                 DialogMode::Save, "保存文件", "未命名.txt", kDesignFilters, "txt"},
                      DialogCase{"CUNPAN",
                                 [](SJSRCK& in, FakeToolkit& tk) {
                                   in.JISUAN();
                                   SJSHUCHU(tk).CUNPAN();
                                 },
                                 DialogMode::Save,
                                 "另存文件",
                                 "未命名.OUT",
                                 {{"*.OUT", "*.OUT"}},
                                 "OUT"}),
    [](const auto& info) { return std::string(info.param.command); });

TEST_F(WindowTest, CalculationWithBox37EmptyStopsOnceAndKeepsTheInputFile) {
  SJSRCK input = StartInput();
  auto texts = FilledBoxes();
  texts[37] = "";
  Fill(texts);

  input.SJSRCACULATE();

  EXPECT_EQ(tk().messages, std::vector<std::string>{kIncompleteInput});
  EXPECT_TRUE(runs_.empty());
  EXPECT_EQ(design::ReadInputFile(InFolder(design::kInputDataFileName).string()), texts);
}

TEST_F(WindowTest, BoxOfBlanksCountsAsEmpty) {
  SJSRCK input = StartInput();
  auto texts = FilledBoxes();
  texts[12] = "   ";
  Fill(texts);

  input.SJSRCACULATE();

  EXPECT_EQ(tk().boxes[12], "");  // the read-back dropped the blanks
  EXPECT_EQ(tk().messages, std::vector<std::string>{kIncompleteInput});
  EXPECT_TRUE(runs_.empty());
}

TEST_F(WindowTest, ReadBackDropsLeadingBlanks) {
  SJSRCK input = StartInput();
  auto texts = FilledBoxes();
  texts[3] = "  50";
  Fill(texts);
  input.SJSRCACULATE();
  EXPECT_EQ(tk().boxes[3], "50");
  EXPECT_EQ(runs_.size(), 1u);
}

TEST_F(WindowTest, CommaInABoxShiftsTheLaterFieldsOnReadBack) {
  SJSRCK input = StartInput();
  auto texts = FilledBoxes();
  texts[4] = "0,95";  // a decimal comma
  Fill(texts);

  input.SJSRCACULATE();

  EXPECT_EQ(tk().boxes[4], "0");
  EXPECT_EQ(tk().boxes[5], "95");
  for (int i = 6; i < kFieldCount; ++i) EXPECT_EQ(tk().boxes[i], texts[i - 1]) << "box " << i;
  EXPECT_EQ(runs_.size(), 1u);  // every box holds text, so the run starts
}

TEST_F(WindowTest, FullDesignRunsOnceInTheProgramFolderWithoutMessage) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  input.SJSRCACULATE();
  EXPECT_EQ(runs_, std::vector<std::string>{folder_.string()});
  EXPECT_TRUE(tk().messages.empty());
  EXPECT_EQ(design::ReadInputFile(InFolder(design::kInputDataFileName).string()), FilledBoxes());
}

TEST_F(WindowTest, FailedRunShowsItsMessageAndKeepsTheBoxes) {
  run_ = [](const std::string&) {
    report::RunOutcome outcome;
    outcome.message = "第16项：除数为零";
    return outcome;
  };
  SJSRCK input = StartInput();
  Fill(FilledBoxes());

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
  ASSERT_TRUE(fs::exists(InFolder(design::kReportFileName)));
  EXPECT_EQ(fs::file_size(InFolder(design::kReportFileName)), 0u);
}

// The report holds GBK Chinese and CR LF line ends; the copy must keep both.
const std::string kReportBytes = design::Utf8ToGbk("  1.额定功率PN=5.5\r\n  2.相电压U1=380\r\n");

TEST_F(WindowTest, SaveCopyIsByteIdenticalAndGetsOutExtension) {
  Spill(InFolder(design::kReportFileName), kReportBytes);
  SJSRCK input = StartInput();
  input.JISUAN();
  EXPECT_EQ(tk().panels[Panel::SJSHUCHU_Text1], "  1.额定功率PN=5.5\r\n  2.相电压U1=380\r\n");

  tk().answers.push_back((folder_ / "SJSRCK" / "motor").string());
  SJSHUCHU(tk()).CUNPAN();

  EXPECT_TRUE(tk().messages.empty());
  EXPECT_EQ(Slurp(folder_ / "SJSRCK" / "motor.OUT"), kReportBytes);
}

TEST_F(WindowTest, SaveCopyTakesTheFileNotTheShownText) {
  SJSRCK input = StartInput();
  input.JISUAN();  // shows the empty report
  Spill(InFolder(design::kReportFileName), kReportBytes);
  tk().answers.push_back((folder_ / "copy.OUT").string());
  SJSHUCHU(tk()).CUNPAN();
  EXPECT_EQ(Slurp(folder_ / "copy.OUT"), kReportBytes);
}

TEST_F(WindowTest, SaveCopyReplacesAnExistingFile) {
  Spill(InFolder(design::kReportFileName), kReportBytes);
  Spill(folder_ / "old.OUT", "a much longer old content that must go entirely");
  SJSRCK input = StartInput();
  input.JISUAN();
  tk().answers.push_back((folder_ / "old.OUT").string());
  SJSHUCHU(tk()).CUNPAN();
  EXPECT_EQ(Slurp(folder_ / "old.OUT"), kReportBytes);
}

// Opening the results or the help window again while it is open.
struct ReopenCase {
  const char* command;
  void (SJSRCK::*open)();
  Window window;
  Panel panel;
  const char* file;
};

void PrintTo(const ReopenCase& c, std::ostream* os) { *os << c.command; }

class ReopenTest : public WindowTest, public ::testing::WithParamInterface<ReopenCase> {};

TEST_P(ReopenTest, KeepsOneWindowAndDoesNotRereadTheFile) {
  const ReopenCase& c = GetParam();
  Spill(InFolder(c.file), design::Utf8ToGbk("第一版"));
  SJSRCK input = StartInput();
  (input.*c.open)();
  Spill(InFolder(c.file), design::Utf8ToGbk("第二版"));
  (input.*c.open)();

  EXPECT_EQ(tk().panels[c.panel], "第一版");
  EXPECT_EQ(tk().shown[c.window], 2);  // brought to the front, not made anew

  // Closed and opened again, the window reads the file afresh.
  tk().CloseWindow(c.window);
  (input.*c.open)();
  EXPECT_EQ(tk().panels[c.panel], "第二版");
}

INSTANTIATE_TEST_SUITE_P(Windows, ReopenTest,
                         ::testing::Values(ReopenCase{"JISUAN", &SJSRCK::JISUAN, Window::SJSHUCHU,
                                                      Panel::SJSHUCHU_Text1,
                                                      design::kReportFileName},
                                           ReopenCase{"HELP", &SJSRCK::HELP, Window::HHELP,
                                                      Panel::HHELP_Text1, design::kHelpFileName}),
                         [](const auto& info) { return std::string(info.param.command); });

TEST_F(WindowTest, HelpShowsTheHelpFileAndCreatesItWhenMissing) {
  SJSRCK input = StartInput();
  input.HELP();
  EXPECT_TRUE(tk().open.count(Window::HHELP));
  EXPECT_EQ(tk().panels[Panel::HHELP_Text1], "");
  EXPECT_TRUE(fs::exists(InFolder(design::kHelpFileName)));
}

TEST_F(WindowTest, ExitClosesOnlyTheInputWindow) {
  SJSRCK input = StartInput();
  input.JISUAN();
  input.HELP();
  input.SJSREXIT();
  EXPECT_EQ(tk().open, (std::set<Window>{Window::SJSHUCHU, Window::HHELP}));
}

TEST_F(WindowTest, ReturnShowsTheOpenInputWindowAsItWas) {
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  input.JISUAN();
  SJSHUCHU(tk()).FANHUI();
  EXPECT_EQ(tk().open, std::set<Window>{Window::SJSRCK});
  EXPECT_EQ(tk().boxes, FilledBoxes());
}

TEST_F(WindowTest, ReturnAfterTheInputWindowClosedLoadsANewOne) {
  Spill(InFolder(design::kGuideFileName), design::Utf8ToGbk("说明"));
  SJSRCK input = StartInput();
  Fill(FilledBoxes());
  input.JISUAN();
  input.SJSREXIT();

  SJSHUCHU(tk()).FANHUI();

  EXPECT_EQ(tk().open, std::set<Window>{Window::SJSRCK});
  for (const std::string& box : tk().boxes) EXPECT_EQ(box, "");
  EXPECT_EQ(tk().panels[Panel::SJSRCK_Text1], "说明");
}

// The filter lists as the dialogs are given them.
struct FilterCase {
  const char* list;
  std::vector<FileFilter> filters;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.list; }

class FilterListTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterListTest, SplitsIntoNamesAndPatterns) {
  EXPECT_EQ(ParseFilterList(GetParam().list), GetParam().filters);
}

INSTANTIATE_TEST_SUITE_P(Lists, FilterListTest,
                         ::testing::Values(FilterCase{kDesignFilter, kDesignFilters},
                                           FilterCase{"*.OUT", {{"*.OUT", "*.OUT"}}},
                                           FilterCase{"报告|*.OUT|其他",
                                                      {{"报告", "*.OUT"}, {"其他", "其他"}}}));

struct ExtensionCase {
  const char* path;
  const char* extension;
  const char* expected;
};

void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.path; }

class DefaultExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtensionTest, IsAddedOnlyToANameWithoutOne) {
  EXPECT_EQ(AddDefaultExtension(GetParam().path, GetParam().extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultExtensionTest,
                         ::testing::Values(ExtensionCase{"/d/motor", "txt", "/d/motor.txt"},
                                           ExtensionCase{"/d/motor.dat", "txt", "/d/motor.dat"},
                                           ExtensionCase{"/d/电机", "OUT", "/d/电机.OUT"},
                                           ExtensionCase{"/d.v2/motor", "OUT", "/d.v2/motor.OUT"},
                                           ExtensionCase{"/d/motor.out", "OUT", "/d/motor.out"},
                                           ExtensionCase{"motor", "txt", "motor.txt"},
                                           ExtensionCase{"/d/motor", "", "/d/motor"}));

}  // namespace
}  // namespace velmora::ui
