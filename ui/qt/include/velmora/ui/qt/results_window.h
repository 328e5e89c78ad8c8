// The results window on screen: the report and the menu "存盘", "返回".
#pragma once

#include <QMainWindow>
#include <QPlainTextEdit>

#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class ResultsWindow : public QMainWindow {
 public:
  explicit ResultsWindow(Toolkit& toolkit);

  QPlainTextEdit* Text1() { return Text1_; }

 private:
  SJSHUCHU logic_;
  QPlainTextEdit* Text1_ = nullptr;
};

}  // namespace velmora::ui::qt
