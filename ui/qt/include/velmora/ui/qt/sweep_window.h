// The sweep chart on screen: the design swept, the input and its range, up
// to three results, "计算" and "取消" with a progress bar, the plot, and the
// exports.
#pragma once

#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <optional>
#include <string>

#include "velmora/ui/sweep_chart.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

// Above this many points a curve is a plain line: markers that close would
// only smear it.
constexpr std::size_t kMaxMarkedPoints = 200;

class SweepWindow : public QMainWindow {
 public:
  explicit SweepWindow(Toolkit& toolkit);

  SweepChart& logic() { return logic_; }
  QLabel* design() { return design_; }
  QComboBox* input() { return input_; }
  QLineEdit* from() { return from_; }
  QLineEdit* to() { return to_; }
  QLineEdit* step() { return step_; }
  QComboBox* result(int i) { return results_[i]; }
  QPushButton* run() { return run_; }
  QPushButton* cancel() { return cancel_; }
  QProgressBar* progress() { return progress_; }
  QLabel* status() { return status_; }
  QChartView* chart() { return chart_; }

  // The design a sweep starts from, as the input boxes hold it now. The
  // range boxes are filled round the chosen input's value the first time.
  void SetBase(const design::DesignInput& base);
  void Calculate();  // 计算
  void Cancel();     // 取消
  // Draws `curves`, each result on its own axis.
  void Plot(const SweepCurves& curves);

 private:
  QWidget* AddControls();
  void AddResultBoxes(QWidget* panel, QFormLayout* form);
  void FillRange();
  void ShowDesign();
  void Poll();

  Toolkit& toolkit_;
  SweepChart logic_;
  bool has_base_ = false;
  // The boxes of the design the chart shows; none before the first plot.
  std::optional<std::array<std::string, design::kFieldCount>> plotted_;
  std::array<std::string, design::kFieldCount> running_;  // of the sweep under way
  QLabel* design_ = nullptr;
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
