// The texts shipped beside the program: readable GBK, and the help names every input.
#include <gtest/gtest.h>

#include <string>

#include "velmora/design/design_input.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/design_tools.h"

namespace velmora::design {
namespace {

std::string Supplied(const char* name) {
  return GbkToUtf8(ReadWholeFile(JoinPath(VELMORA_PROGRAM_DIR, name)));
}

class SuppliedFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SuppliedFileTest, IsNonEmptyGbkChinese) {
  const std::string text = Supplied(GetParam());
  EXPECT_GT(text.size(), 100u);
  EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "a byte that is not GBK";
}

INSTANTIATE_TEST_SUITE_P(Program, SuppliedFileTest,
                         ::testing::Values(kGuideFileName, kReferenceFileName, kHelpFileName));

TEST(HelpFileTest, NamesEveryInputByNumberAndCaption) {
  const std::string help = Supplied(kHelpFileName);
  for (int i = 0; i < kFieldCount; ++i) {
    const std::string entry = (i < 10 ? "   " : "  ") + std::to_string(i) + "  " +
                              kFieldInfo[i].caption + "（" + kFieldInfo[i].name + "）";
    EXPECT_NE(help.find(entry), std::string::npos) << entry;
  }
}

// Every window of the 设计工具 menu is explained in the help and named in
// the guide.
TEST(HelpFileTest, CoversEveryDesignTool) {
  const std::string help = Supplied(kHelpFileName), guide = Supplied(kGuideFileName);
  using ui::Window;
  for (Window tool : {Window::SLOTS, Window::CHECK, Window::SWEEP, Window::CURVES, Window::OPTIMISE,
                      Window::THERMAL, Window::TOLERANCE, Window::SCHEME}) {
    const std::string title = ui::ToolTitle(tool);
    EXPECT_NE(help.find("\n  " + title + "\n"), std::string::npos) << title;
    EXPECT_NE(guide.find(title.substr(0, 6)), std::string::npos) << title;
  }
  EXPECT_NE(help.find("八个窗口"), std::string::npos);
}

}  // namespace
}  // namespace velmora::design
