// The characteristic curves on screen: the load curve and the torque–speed
// curve side by side, the marked points and the part-load efficiency below,
// and the exports.
#pragma once

#include <QChartView>
#include <QLabel>
#include <QMainWindow>
#include <QTableWidget>

#include "velmora/ui/characteristic_curves.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class CurvesWindow : public QMainWindow {
 public:
  explicit CurvesWindow(Toolkit& toolkit);

  void Show(const CurvesView& view);

  QLabel* status() { return status_; }
  QChartView* load_chart() { return load_chart_; }
  QChartView* speed_chart() { return speed_chart_; }
  QTableWidget* marks() { return marks_; }
  QTableWidget* loads() { return loads_; }

 private:
  QLabel* status_ = nullptr;
  QChartView* load_chart_ = nullptr;
  QChartView* speed_chart_ = nullptr;
  QTableWidget* marks_ = nullptr;
  QTableWidget* loads_ = nullptr;
  CurvesView view_;
};

}  // namespace velmora::ui::qt
