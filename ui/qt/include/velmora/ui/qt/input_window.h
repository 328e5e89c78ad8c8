// The input window on screen: 60 boxes under their captions, two side
// panels and the menu. Every command is the window logic's.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>
#include <array>

#include "velmora/design/design_input.h"
#include "velmora/ui/sjsrck.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class InputWindow : public QMainWindow {
 public:
  InputWindow(Toolkit& toolkit, Session& session);

  QLineEdit* Text2(int index) { return Text2_[index]; }
  QPlainTextEdit* Text1() { return Text1_; }
  QPlainTextEdit* Text3() { return Text3_; }

 protected:
  // Closing asks first when the boxes hold typing that no file has.
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddBoxes(QWidget* client);
  void AddMenus();

  SJSRCK logic_;
  std::array<QLineEdit*, design::kFieldCount> Text2_{};
  QPlainTextEdit* Text1_ = nullptr;
  QPlainTextEdit* Text3_ = nullptr;
  // Box changes in quick succession (typing, a file read in) are followed once.
  QTimer follow_;
};

}  // namespace velmora::ui::qt
