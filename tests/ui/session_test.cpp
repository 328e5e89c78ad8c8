// A whole session with the real calculation, on the shipped example designs:
// open, calculate, view the report, keep a copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../design/temp_folder.h"
#include "fake_toolkit.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/sjsrck.h"

namespace velmora::ui {
namespace {

TEST(Session, OpenCalculateViewAndKeepACopy) {
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".txt") continue;
    SCOPED_TRACE(entry.path().string());
    design::testing::TempFolder folder;
    testing::FakeToolkit tk(folder.path());
    Session session;
    SJSRCK input(tk, session);
    input.Show();

    tk.answers.push_back(entry.path().string());
    input.SJSROPEN();
    input.SJSRCACULATE();
    ASSERT_TRUE(tk.messages.empty()) << tk.messages.front();

    const std::string report = design::ReadWholeFile(folder.File(design::kReportFileName));
    ASSERT_FALSE(report.empty());
    input.JISUAN();
    EXPECT_EQ(tk.panels[Panel::SJSHUCHU_Text1], design::GbkToUtf8(report));
    EXPECT_NE(tk.panels[Panel::SJSHUCHU_Text1].find(tk.boxes[0]), std::string::npos)
        << "the report names the motor model";

    tk.answers.push_back(folder.File("copy"));
    SJSHUCHU(tk).CUNPAN();
    EXPECT_EQ(design::ReadWholeFile(folder.File("copy.OUT")), report);
    EXPECT_TRUE(tk.messages.empty());
  }
}

}  // namespace
}  // namespace velmora::ui
