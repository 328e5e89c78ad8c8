// The sweep chart on screen: the design swept, the input and its range, a
// second input and its range (one curve per value) or none, up to three
// results, "计算" and "取消" with a progress bar, the plot, and the exports.
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

#include "velmora/ui/session.h"
#include "velmora/ui/sweep_chart.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

// Above this many points a curve is a plain line: markers that close would
// only smear it.
constexpr std::size_t kMaxMarkedPoints = 200;

// An input chooser and the boxes of its range.
struct RangeControls {
  QComboBox* input = nullptr;  // each input's box index as its data; -1 for "无"
  QLineEdit* from = nullptr;
  QLineEdit* to = nullptr;
  QLineEdit* step = nullptr;
};

class SweepWindow : public QMainWindow {
 public:
  // Starts from the settings `session` kept when the window last closed.
  SweepWindow(Toolkit& toolkit, Session& session);

  SweepChart& logic() { return logic_; }
  QLabel* design() { return design_; }
  QComboBox* input() { return first_.input; }
  QLineEdit* from() { return first_.from; }
  QLineEdit* to() { return first_.to; }
  QLineEdit* step() { return first_.step; }
  RangeControls& second() { return second_; }
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
  // Draws `curves`: each result on its own axis, or the one result once
  // per value of the second input.
  void Plot(const SweepCurves& curves);
  // The controls as they stand.
  SweepRequest Request() const;

 protected:
  // Keeps the settings in the session.
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* AddControls();
  RangeControls AddRange(QWidget* panel, QFormLayout* form, const char* caption,
                         const QString& name, bool optional);
  void AddResultBoxes(QWidget* panel, QFormLayout* form);
  QWidget* AddStatus(QWidget* panel);
  void FillRange(const RangeControls& range);
  void Restore(const SweepRequest& request);
  void FollowSecond();
  void ShowDesign();
  void Poll();

  Toolkit& toolkit_;
  Session& session_;
  SweepChart logic_;
  bool filled_ = false;  // the range boxes hold a range, filled round the base or restored
  // The boxes of the design the chart shows; none before the first plot.
  std::optional<std::array<std::string, design::kFieldCount>> plotted_;
  std::array<std::string, design::kFieldCount> running_;  // of the sweep under way
  QLabel* design_ = nullptr;
  RangeControls first_;
  RangeControls second_;
  std::array<QComboBox*, 3> results_{};
  QPushButton* run_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QChartView* chart_ = nullptr;
  QTimer poll_;
};

}  // namespace velmora::ui::qt
