// The tolerance analysis on screen: the samples and seed with 重新计算; a
// histogram each of EFF, PF, Ist and TMAX1 with the check's limits and the
// nominal value drawn across it; the yield of each rule and the inputs that
// move each result most.
#pragma once

#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>
#include <array>

#include "velmora/ui/session.h"
#include "velmora/ui/tolerance_view.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class ToleranceWindow : public QMainWindow {
 public:
  ToleranceWindow(Toolkit& toolkit, Session& session);

  void Show(const ToleranceView& view);

  QLabel* status() { return status_; }
  QLineEdit* samples() { return samples_; }
  QLineEdit* seed() { return seed_; }
  QPushButton* recalculate() { return recalculate_; }
  QChartView* chart(int i) { return charts_[i]; }
  QTableWidget* yields() { return yields_; }
  QTableWidget* rankings() { return rankings_; }

 private:
  QWidget* AddChoices(QWidget* parent, Toolkit& toolkit, Session& session);
  QWidget* AddSidePanel(QWidget* parent);

  QLabel* status_ = nullptr;
  QLineEdit* samples_ = nullptr;
  QLineEdit* seed_ = nullptr;
  QPushButton* recalculate_ = nullptr;
  std::array<QChartView*, std::size(kToleranceHistograms)> charts_{};
  QTableWidget* yields_ = nullptr;
  QTableWidget* rankings_ = nullptr;
  ToleranceView view_;
};

}  // namespace velmora::ui::qt
