// The optimisation on screen: the 60 inputs with a tick and bounds or values
// for each one searched, the objective (or the cost–efficiency front) and the
// class, "开始" and "取消", the best objective against evaluations or the
// front with its points to click, the result or the point clicked, and the
// buttons that put it into the input boxes and the former texts back.
#pragma once

#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <optional>

#include "velmora/ui/design_optimiser.h"
#include "velmora/ui/front_view.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class OptimiseWindow : public QMainWindow {
 public:
  explicit OptimiseWindow(Toolkit& toolkit);

  // Columns of the input table.
  enum Column { kInput, kValue, kFrom, kTo, kValues };
  // Entries of the objective list.
  enum Objective { kCheapest, kMostEfficient, kFront };

  QTableWidget* inputs() { return inputs_; }
  QComboBox* objective() { return objective_; }
  QComboBox* required_class() { return class_; }
  QComboBox* insulation() { return insulation_; }
  QLineEdit* budget() { return budget_; }
  QLineEdit* front_points() { return front_points_; }
  QPushButton* start() { return start_; }
  QPushButton* cancel() { return cancel_; }
  QPushButton* load() { return load_; }
  QPushButton* restore() { return restore_; }
  QLabel* status() { return status_; }
  QChartView* chart() { return chart_; }
  QTableWidget* result() { return result_; }
  QLabel* yield() { return yield_; }
  DesignOptimiser& logic() { return logic_; }

 private:
  QWidget* AddControls();
  void FillInputs();
  void Ticked(QTableWidgetItem* item);
  OptimiseRequest Request();
  void Start();
  void Poll();
  void Plot();
  void PlotFront();
  void SetChart(QChart* chart);
  void ShowResult();
  void ShowFront();
  void ShowTable(const OptimiseTable& table);
  void Choose(const QPointF& point);
  void Load();
  void Restore();

  Toolkit& toolkit_;
  DesignOptimiser logic_;
  QTableWidget* inputs_ = nullptr;
  QComboBox* objective_ = nullptr;
  QComboBox* class_ = nullptr;
  QComboBox* insulation_ = nullptr;
  QComboBox* targets_ = nullptr;
  QLineEdit* budget_ = nullptr;
  QLineEdit* front_points_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* restore_ = nullptr;
  QLabel* status_ = nullptr;
  QChartView* chart_ = nullptr;
  QTableWidget* result_ = nullptr;
  QLabel* yield_ = nullptr;  // the best design's tolerance yield
  QTimer poll_;
  std::optional<BoxTextArray> replaced_;  // the texts 载入设计 replaced
  FrontChart front_chart_;                // the front drawn, to find the point clicked
};

}  // namespace velmora::ui::qt
