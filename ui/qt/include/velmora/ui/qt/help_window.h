// The help window on screen: the help text, no menu.
#pragma once

#include <QMainWindow>
#include <QPlainTextEdit>

namespace velmora::ui::qt {

class HelpWindow : public QMainWindow {
 public:
  HelpWindow();

  QPlainTextEdit* Text1() { return Text1_; }

 private:
  QPlainTextEdit* Text1_ = nullptr;
};

}  // namespace velmora::ui::qt
