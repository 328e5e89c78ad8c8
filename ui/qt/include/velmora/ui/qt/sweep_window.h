// The sweep chart on screen: the input and its range, up to three results,
// "计算" and "取消" with a progress bar, the plot, and the exports.
#pragma once

#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <array>

#include "velmora/ui/sweep_chart.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class SweepWindow : public QMainWindow {
 public:
  explicit SweepWindow(Toolkit& toolkit);

  SweepChart& logic() { return logic_; }
  QComboBox* input() { return input_; }
  QLineEdit* from() { return from_; }
  QLineEdit* to() { return to_; }
  QLineEdit* step() { return step_; }
  QComboBox* result(int i) { return results_[i]; }
  QPushButton* run() { return run_; }
  QPushButton* cancel() { return cancel_; }
  QLabel* status() { return status_; }
  QChartView* chart() { return chart_; }

  void Calculate();  // 计算
  void Cancel();     // 取消

 private:
  QWidget* AddControls();
  void Poll();
  void Plot();

  Toolkit& toolkit_;
  SweepChart logic_;
  QComboBox* input_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QLineEdit* step_ = nullptr;
  std::array<QComboBox*, 3> results_{};
  QPushButton* run_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QChartView* chart_ = nullptr;
  QTimer poll_;
};

}  // namespace velmora::ui::qt
