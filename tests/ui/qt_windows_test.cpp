// The real windows, off screen: their controls, captions, menus and titles,
// and a few commands through the Qt toolkit.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <string>

#include "velmora/design/design_input.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/qt/input_window.h"
#include "velmora/ui/qt/qt_toolkit.h"
#include "velmora/ui/sjsrck.h"

namespace velmora::ui::qt {
namespace {

namespace fs = std::filesystem;
using design::kFieldCount;

// Pixels of a twip position, 15 twips to the pixel.
int Px(int twips) { return (twips + 7) / 15; }

class QtWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-qt-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    std::ofstream(folder_ / design::kGuideFileName, std::ios::binary)
        << design::Utf8ToGbk("操作说明\r\n第二行");
    toolkit_ = std::make_unique<QtToolkit>(folder_.string(), session_);
    ShowInputWindow(*toolkit_);
  }
  void TearDown() override {
    toolkit_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fs::remove_all(folder_);
  }

  InputWindow* input() { return static_cast<InputWindow*>(toolkit_->window(Window::SJSRCK)); }

  // The menu bar's captions, a submenu as "caption[item,item]".
  static QStringList MenuCaptions(QMainWindow* window) {
    QStringList captions;
    for (QAction* action : window->menuBar()->actions()) {
      QString caption = action->text();
      if (QMenu* menu = action->menu()) {
        QStringList items;
        for (QAction* item : menu->actions()) items << item->text();
        caption += "[" + items.join(",") + "]";
      }
      captions << caption;
    }
    return captions;
  }

  fs::path folder_;
  Session session_;
  std::unique_ptr<QtToolkit> toolkit_;
};

TEST_F(QtWindowsTest, InputWindowHasItsTitleMenuAndPanels) {
  ASSERT_NE(input(), nullptr);
  EXPECT_EQ(input()->windowTitle(), QString("实验室---Velmora  "));
  EXPECT_EQ(MenuCaptions(input()),
            QStringList({"数据输入[新建,打开,保存,退出]", "电磁计算", "计算结果", "帮助",
                         "设计工具[槽形图,设计校核,参数扫描]"}));
  EXPECT_EQ(input()->Text1()->toPlainText(), QString("操作说明\n第二行"));
  EXPECT_EQ(input()->Text1()->geometry(), QRect(Px(10680), 0, Px(4095), Px(2415)));
  EXPECT_EQ(input()->Text3()->geometry(), QRect(Px(10680), Px(2520), Px(4095), Px(2295)));
}

TEST_F(QtWindowsTest, SixtyBoxesInTheirGridWithCaptionsOnTheLeft) {
  const auto labels = input()->centralWidget()->findChildren<QLabel*>();
  EXPECT_EQ(input()->centralWidget()->findChildren<QLineEdit*>().size(), kFieldCount);
  EXPECT_EQ(labels.size(), kFieldCount);

  // Spot checks from the grid: first box of a row, last box, the wide model box.
  struct Place {
    int index, left, top, width;
  };
  const Place places[] = {{0, 1920, 120, 9015},   {1, 1920, 720, 1000},   {4, 9480, 720, 1000},
                          {10, 4440, 1680, 1000}, {36, 4440, 5160, 1000}, {37, 1920, 5760, 1000},
                          {59, 6960, 8160, 1000}};
  for (const Place& p : places) {
    EXPECT_EQ(input()->Text2(p.index)->geometry(),
              QRect(Px(p.left), Px(p.top), Px(p.width), Px(400)))
        << "box " << p.index;
  }
  for (int i = 0; i < kFieldCount; ++i) {
    auto* label = input()->findChild<QLabel*>(QString("Label1_%1").arg(i));
    ASSERT_NE(label, nullptr) << i;
    EXPECT_EQ(label->text(), QString::fromUtf8(design::kFieldInfo[i].caption)) << i;
    EXPECT_LE(label->geometry().right(), input()->Text2(i)->geometry().left()) << i;
    EXPECT_EQ(label->geometry().top(), input()->Text2(i)->geometry().top()) << i;
  }
}

TEST_F(QtWindowsTest, ChineseHasASongStyleFont) {
  const QString family = QFontInfo(input()->Text2(0)->font()).family();
  EXPECT_TRUE(family == "SimSun" || family == "宋体" || family == "Noto Serif CJK SC")
      << family.toStdString();
}

TEST_F(QtWindowsTest, BoxesAreTheToolkitsBoxes) {
  toolkit_->SetBoxText(59, "1");
  EXPECT_EQ(input()->Text2(59)->text(), QString("1"));
  input()->Text2(0)->setText("Y132S-4 电机");
  EXPECT_EQ(toolkit_->BoxText(0), "Y132S-4 电机");

  input()->findChild<QAction*>("SJSRCREAT")->trigger();
  for (int i = 0; i < kFieldCount; ++i) EXPECT_EQ(input()->Text2(i)->text(), QString()) << i;
}

TEST_F(QtWindowsTest, ResultsAndHelpWindowsOpenFromTheMenu) {
  input()->findChild<QAction*>("JISUAN")->trigger();
  input()->findChild<QAction*>("HELP")->trigger();

  QMainWindow* results = toolkit_->window(Window::SJSHUCHU);
  QMainWindow* help = toolkit_->window(Window::HHELP);
  ASSERT_NE(results, nullptr);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(results->windowTitle(), QString("运算结果"));
  EXPECT_EQ(MenuCaptions(results), QStringList({"存盘", "返回"}));
  EXPECT_EQ(results->findChild<QPlainTextEdit*>("Text1")->geometry(),
            QRect(Px(120), Px(120), Px(9495), Px(8415)));
  EXPECT_EQ(help->windowTitle(), QString("帮助"));
  EXPECT_TRUE(help->menuBar()->actions().isEmpty());
  EXPECT_EQ(help->findChild<QPlainTextEdit*>("Text1")->geometry(),
            QRect(Px(120), Px(120), Px(10935), Px(6255)));
  EXPECT_TRUE(fs::exists(folder_ / design::kReportFileName));

  // "返回" with the input window closed brings up a new, empty one.
  input()->Text2(5)->setText("2");
  input()->findChild<QAction*>("SJSREXIT")->trigger();
  EXPECT_EQ(toolkit_->window(Window::SJSRCK), nullptr);
  results->findChild<QAction*>("FANHUI")->trigger();
  ASSERT_NE(input(), nullptr);
  EXPECT_EQ(input()->Text2(5)->text(), QString());
  EXPECT_EQ(toolkit_->window(Window::SJSHUCHU), nullptr);
  EXPECT_NE(toolkit_->window(Window::HHELP), nullptr);
}

}  // namespace
}  // namespace velmora::ui::qt
