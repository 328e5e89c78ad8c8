// A new design on screen: the rating (power, poles, voltage, frequency),
// the class and insulation asked for, whether to refine it and the
// refinement's budget; "开始" and "取消"; the choices of the sizing with
// their reasons, the sized and the refined design side by side, the frames
// tried and the notes; the buttons that put the design into the input boxes
// and the former texts back.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "velmora/ui/scheme_view.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class SchemeWindow : public QMainWindow {
 public:
  explicit SchemeWindow(Toolkit& toolkit);

  QLineEdit* power() { return power_; }
  QComboBox* poles() { return poles_; }
  QLineEdit* voltage() { return voltage_; }
  QLineEdit* frequency() { return frequency_; }
  QComboBox* required_class() { return class_; }
  QComboBox* insulation() { return insulation_; }
  QCheckBox* optimise() { return optimise_; }
  QLineEdit* budget() { return budget_; }
  QPushButton* start() { return start_; }
  QPushButton* cancel() { return cancel_; }
  QPushButton* load() { return load_; }
  QPushButton* restore() { return restore_; }
  QLabel* status() { return status_; }
  QTableWidget* steps() { return steps_; }
  QTableWidget* compared() { return compared_; }
  QLabel* notes() { return notes_; }
  SchemeDesigner& logic() { return logic_; }

 private:
  QWidget* AddRequest(QWidget* parent);
  SchemeRequest Request() const;
  void Start();
  void Poll();
  void Show(const SchemeView& view);
  void EnableButtons();

  Toolkit& toolkit_;
  SchemeDesigner logic_;
  QLineEdit* power_ = nullptr;
  QComboBox* poles_ = nullptr;
  QLineEdit* voltage_ = nullptr;
  QLineEdit* frequency_ = nullptr;
  QComboBox* class_ = nullptr;
  QComboBox* insulation_ = nullptr;
  QCheckBox* optimise_ = nullptr;
  QLineEdit* budget_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* restore_ = nullptr;
  QLabel* status_ = nullptr;
  QTableWidget* steps_ = nullptr;
  QTableWidget* compared_ = nullptr;
  QLabel* notes_ = nullptr;  // the frames tried and the notes
  QTimer poll_;
  std::string design_ = "未命名";  // of the design shown
};

}  // namespace velmora::ui::qt
