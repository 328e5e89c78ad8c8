// The real windows, off screen: the boxes and their captions, the panels, and
// the menu commands through the Qt toolkit.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <filesystem>
#include <string>

#include "../design/temp_folder.h"
#include "velmora/design/design_input.h"
#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"
#include "velmora/ui/qt/input_window.h"
#include "velmora/ui/qt/qt_toolkit.h"
#include "velmora/ui/sjsrck.h"

namespace velmora::ui::qt {
namespace {

using design::kFieldCount;

class QtWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    design::testing::WriteBytes(folder_.File(design::kGuideFileName),
                                design::Utf8ToGbk("操作说明\r\n第二行"));
    toolkit_ = std::make_unique<QtToolkit>(folder_.path(), session_);
    ShowInputWindow(*toolkit_);
  }
  void TearDown() override {
    toolkit_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  InputWindow* input() { return static_cast<InputWindow*>(toolkit_->window(Window::SJSRCK)); }
  void Trigger(QMainWindow* window, const char* action) {
    ASSERT_NE(window, nullptr);
    QAction* found = window->findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
  }

  // The next question box gets `button`, and its text goes to asked_.
  void AnswerNextQuestion(QMessageBox::StandardButton button) {
    QTimer::singleShot(10, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      asked_ << box->text();
      box->button(button)->click();
    });
  }

  design::testing::TempFolder folder_;
  Session session_;
  QStringList asked_;
  std::unique_ptr<QtToolkit> toolkit_;
};

TEST_F(QtWindowsTest, SixtyBoxesEachWithItsCaptionOnTheLeftAndTheGuideBeside) {
  ASSERT_NE(input(), nullptr);
  EXPECT_EQ(input()->Text1()->toPlainText(), QString("操作说明\n第二行"));
  EXPECT_EQ(input()->centralWidget()->findChildren<QLineEdit*>().size(), kFieldCount);
  EXPECT_EQ(input()->centralWidget()->findChildren<QLabel*>().size(), kFieldCount);
  for (int i = 0; i < kFieldCount; ++i) {
    auto* label = input()->findChild<QLabel*>(QString("Label1_%1").arg(i));
    ASSERT_NE(label, nullptr) << i;
    EXPECT_EQ(label->text(), QString::fromUtf8(design::kFieldInfo[i].caption)) << i;
    EXPECT_LE(label->geometry().right(), input()->Text2(i)->geometry().left()) << i;
    EXPECT_EQ(label->geometry().top(), input()->Text2(i)->geometry().top()) << i;
  }
  const QString family = QFontInfo(input()->Text2(0)->font()).family();
  EXPECT_TRUE(family == "SimSun" || family == "宋体" || family == "Noto Serif CJK SC")
      << family.toStdString();
}

TEST_F(QtWindowsTest, BoxesAreTheToolkitsBoxes) {
  toolkit_->SetBoxText(59, "1");
  EXPECT_EQ(input()->Text2(59)->text(), QString("1"));
  input()->Text2(0)->setText("Y132S-4 电机");
  EXPECT_EQ(toolkit_->BoxText(0), "Y132S-4 电机");

  // Typing no file holds: 新建 asks, and 否 keeps the boxes.
  AnswerNextQuestion(QMessageBox::No);
  Trigger(input(), "SJSRCREAT");
  EXPECT_EQ(toolkit_->BoxText(59), "1");
  AnswerNextQuestion(QMessageBox::Yes);
  Trigger(input(), "SJSRCREAT");
  for (int i = 0; i < kFieldCount; ++i) EXPECT_EQ(input()->Text2(i)->text(), QString()) << i;
  ASSERT_EQ(asked_.size(), 2);
  EXPECT_TRUE(asked_[0].contains("确定清空全部60个输入框")) << asked_[0].toStdString();
}

// The window opens at the size of its layout, may be stretched (the guide
// and the reference data take the room) and shrunk (the boxes scroll), and
// every box tells its meaning, unit and usual values.
TEST_F(QtWindowsTest, InputWindowStretchesAndShrinksAndExplainsItsBoxes) {
  const QRect guide = input()->Text1()->geometry();
  const QRect box = input()->Text2(23)->geometry();
  auto* scroll = static_cast<QScrollArea*>(input()->centralWidget());
  QCoreApplication::processEvents();
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
  input()->resize(input()->size() + QSize(300, 200));
  QCoreApplication::processEvents();
  EXPECT_EQ(input()->Text1()->width(), guide.width() + 300);
  EXPECT_EQ(input()->Text3()->height(), 153 + 200);
  EXPECT_EQ(input()->Text2(23)->geometry(), box);
  input()->resize(600, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(input()->size(), QSize(600, 400));
  EXPECT_EQ(input()->Text1()->geometry(), guide);
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
  EXPECT_EQ(input()->Text2(23)->toolTip(), QString("气隙长度 G\n单位：mm\n常用范围：0.25～1.0"));
  EXPECT_TRUE(input()->Text2(34)->toolTip().contains("取值：1：单层；2：双层"));
}

TEST_F(QtWindowsTest, ResultsAndHelpWindowsOpenFromTheMenu) {
  Trigger(input(), "JISUAN");
  Trigger(input(), "HELP");
  QMainWindow* results = toolkit_->window(Window::SJSHUCHU);
  ASSERT_NE(results, nullptr);
  ASSERT_NE(toolkit_->window(Window::HHELP), nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder_.File(design::kReportFileName)));

  // "返回" with the input window closed brings up a new, empty one.
  input()->Text2(5)->setText("2");
  AnswerNextQuestion(QMessageBox::No);
  Trigger(input(), "SJSREXIT");
  EXPECT_NE(toolkit_->window(Window::SJSRCK), nullptr);  // typing no file holds stays
  AnswerNextQuestion(QMessageBox::Yes);
  Trigger(input(), "SJSREXIT");
  EXPECT_EQ(toolkit_->window(Window::SJSRCK), nullptr);
  ASSERT_EQ(asked_.size(), 2);
  EXPECT_TRUE(asked_[0].contains("确定关闭输入窗口")) << asked_[0].toStdString();
  Trigger(results, "FANHUI");
  ASSERT_NE(input(), nullptr);
  EXPECT_EQ(input()->Text2(5)->text(), QString());
  EXPECT_EQ(toolkit_->window(Window::SJSHUCHU), nullptr);
  EXPECT_NE(toolkit_->window(Window::HHELP), nullptr);
}

// The standard buttons and dialogs speak Chinese, as the program starts them.
TEST(QtTranslationTest, StandardButtonsAreChinese) {
  ASSERT_TRUE(InstallChineseTranslation(*QCoreApplication::instance()));
  QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QString("确定"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString("取消"));
}

}  // namespace
}  // namespace velmora::ui::qt
