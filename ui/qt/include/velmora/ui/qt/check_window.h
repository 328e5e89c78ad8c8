// The design check on screen: what it is about, the six rules with the
// failures in red, and the main results.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTableWidget>

#include "velmora/ui/design_tools.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class CheckWindow : public QMainWindow {
 public:
  explicit CheckWindow(Toolkit& toolkit);

  void Show(const CheckTable& table);

  QLabel* status() { return status_; }
  QTableWidget* rules() { return rules_; }
  QTableWidget* results() { return results_; }

 private:
  QLabel* status_ = nullptr;
  QTableWidget* rules_ = nullptr;
  QTableWidget* results_ = nullptr;
  QTableWidget* notes_ = nullptr;
};

}  // namespace velmora::ui::qt
