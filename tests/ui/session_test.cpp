// A whole session with the real calculation, on the shipped example designs:
// open, calculate, view the report, keep a copy.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fake_toolkit.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/sjsrck.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Examples() {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(VELMORA_EXAMPLES_DIR)) {
    if (entry.path().extension() == ".txt") found.push_back(entry.path());
  }
  return found;
}

class SessionTest : public ::testing::TestWithParam<fs::path> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-session-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_P(SessionTest, OpenCalculateViewAndKeepACopy) {
  testing::FakeToolkit tk(folder_.string());
  Session session;
  SJSRCK input(tk, session);
  input.Show();

  tk.answers.push_back(GetParam().string());
  input.SJSROPEN();
  input.SJSRCACULATE();
  ASSERT_TRUE(tk.messages.empty()) << tk.messages.front();

  const std::string report = design::ReadWholeFile((folder_ / design::kReportFileName).string());
  ASSERT_FALSE(report.empty());
  input.JISUAN();
  EXPECT_EQ(tk.panels[Panel::SJSHUCHU_Text1], design::GbkToUtf8(report));
  EXPECT_NE(tk.panels[Panel::SJSHUCHU_Text1].find(tk.boxes[0]), std::string::npos)
      << "the report names the motor model";

  tk.answers.push_back((folder_ / "copy").string());
  SJSHUCHU(tk).CUNPAN();
  EXPECT_EQ(design::ReadWholeFile((folder_ / "copy.OUT").string()), report);
  EXPECT_TRUE(tk.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Examples, SessionTest, ::testing::ValuesIn(Examples()),
                         [](const auto& info) {
                           std::string name = info.param.stem().string();
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SessionTest);

}  // namespace
}  // namespace velmora::ui
