// The design check on screen: what it is about, the rules with the failures
// in red, the main results, the efficiency class with the class asked for,
// the material cost, and where the results cannot be trusted.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <string>

#include "velmora/ui/design_tools.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class CheckWindow : public QMainWindow {
 public:
  CheckWindow(Toolkit& toolkit, Session& session);

  void Show(const CheckTable& table);

  QLabel* status() { return status_; }
  QTableWidget* rules() { return rules_; }
  QTableWidget* results() { return results_; }
  QComboBox* required_class() { return required_class_; }
  QComboBox* insulation() { return insulation_; }
  QPlainTextEdit* class_and_cost() { return class_and_cost_; }

 private:
  QLabel* status_ = nullptr;
  QTableWidget* rules_ = nullptr;
  QTableWidget* results_ = nullptr;
  QTableWidget* notes_ = nullptr;
  QComboBox* required_class_ = nullptr;
  QComboBox* insulation_ = nullptr;
  QPlainTextEdit* class_and_cost_ = nullptr;
  std::string design_ = "未命名";  // of the calculation shown
};

}  // namespace velmora::ui::qt
