// The optimisation on screen: the 60 inputs with a tick and bounds or values
// for each one searched, the objective and the class, "开始" and "取消", the
// best objective against evaluations, the result, and the buttons that put
// the result into the input boxes and the former texts back.
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
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class OptimiseWindow : public QMainWindow {
 public:
  explicit OptimiseWindow(Toolkit& toolkit);

  // Columns of the input table.
  enum Column { kInput, kValue, kFrom, kTo, kValues };

  QTableWidget* inputs() { return inputs_; }
  QComboBox* objective() { return objective_; }
  QComboBox* required_class() { return class_; }
  QComboBox* insulation() { return insulation_; }
  QLineEdit* budget() { return budget_; }
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
  void ShowResult();
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
};

}  // namespace velmora::ui::qt
