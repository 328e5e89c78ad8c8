#include "velmora/ui/qt/optimise_window.h"

#include <QChart>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart_axis.h"
#include "tool_window.h"
#include "velmora/design/material_prices.h"
#include "velmora/report/tolerance_output.h"
#include "velmora/studies/design_freedom.h"
#include "velmora/ui/sweep_chart.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui::qt {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

constexpr int kPollMilliseconds = 100;

QTableWidget* AddTable(QWidget* parent, const char* name, const QStringList& headings) {
  auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels(headings);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  return table;
}

}  // namespace

OptimiseWindow::OptimiseWindow(Toolkit& toolkit) : toolkit_(toolkit) {
  auto* client = new QWidget(this);
  auto* layout = new QHBoxLayout(client);
  inputs_ = AddTable(client, "Inputs",
                     {Text("输入（勾选者参与优化）"), Text("当前值"), Text("下限"), Text("上限"),
                      Text("取值表（空格分隔）")});
  inputs_->horizontalHeader()->setSectionResizeMode(kInput, QHeaderView::ResizeToContents);
  FillInputs();
  connect(inputs_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() == kInput) Ticked(item);
  });
  layout->addWidget(inputs_, 1);
  layout->addWidget(AddControls(), 1);
  SetUpToolWindow(this, Window::OPTIMISE, client, QSize(1300, 820));
  AddExportPicture(this, toolkit, Window::OPTIMISE,
                   [this] { return DesignName(logic_.Problem().base); });
  connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

QWidget* OptimiseWindow::AddControls() {
  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);
  auto* form = new QFormLayout();
  objective_ = new QComboBox(panel);
  objective_->setObjectName("Objective");
  objective_->addItems({Text("有效材料成本最低"), Text("效率最高"), Text("成本—效率前沿")});
  class_ = new QComboBox(panel);
  class_->setObjectName("RequiredClass");
  class_->addItems({Text("法定最低等级"), "IE2", "IE3", "IE4", Text("不要求")});
  budget_ = new QLineEdit("20000", panel);
  budget_->setObjectName("Budget");
  form->addRow(Text("优化目标"), objective_);
  front_points_ = new QLineEdit(Text(OptimiseRequest{}.front_points), panel);
  front_points_->setObjectName("FrontPoints");
  front_points_->setToolTip(Text("前沿上的效率水平数，每个水平搜索一次"));
  front_points_->setEnabled(false);
  connect(objective_, &QComboBox::currentIndexChanged, this,
          [this](int index) { front_points_->setEnabled(index == kFront); });
  form->addRow(Text("前沿点数"), front_points_);
  form->addRow(Text("要求能效等级"), class_);
  insulation_ = new QComboBox(panel);
  insulation_->setObjectName("Insulation");
  insulation_->addItems({"B", "F", "H", Text("不要求")});
  insulation_->setToolTip(Text("额定负载下绕组平均温升（电阻法）不超过该绝缘等级的限值"));
  form->addRow(Text("绝缘等级"), insulation_);
  targets_ = new QComboBox(panel);
  targets_->setObjectName("Targets");
  targets_->addItems({Text("目标值本身（不计容差）"), Text("校核的允许限值（保证值容差）")});
  targets_->setToolTip(
      Text("设计校核按保证值容差判定（如起动电流倍数 ≤ 1.2·IST）；搜索默认按目标值本身"));
  form->addRow(Text("目标值按"), targets_);
  form->addRow(Text("最多计算次数"), budget_);
  column->addLayout(form);
  start_ = AddButton(panel, "Start", "开始");
  cancel_ = AddButton(panel, "Cancel", "取消");
  load_ = AddButton(panel, "Load", "载入设计");
  restore_ = AddButton(panel, "Restore", "恢复原设计");
  cancel_->setEnabled(false);
  load_->setEnabled(false);
  restore_->setEnabled(false);
  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { logic_.Cancel(); });
  connect(load_, &QPushButton::clicked, this, [this] { Load(); });
  connect(restore_, &QPushButton::clicked, this, [this] { Restore(); });
  auto* buttons = new QHBoxLayout();
  for (QPushButton* button : {start_, cancel_, load_, restore_}) buttons->addWidget(button);
  column->addLayout(buttons);
  status_ = new QLabel(panel);
  status_->setObjectName("Status");
  status_->setWordWrap(true);
  column->addWidget(status_);
  chart_ = new QChartView(new QChart(), panel);
  chart_->setObjectName("Picture");
  chart_->setRenderHint(QPainter::Antialiasing);
  chart_->setMinimumHeight(340);
  column->addWidget(chart_, 1);
  result_ = AddTable(panel, "Result", {Text("项目"), Text("原设计 / 限值"), Text("优化后")});
  column->addWidget(result_, 1);
  yield_ = new QLabel(panel);
  yield_->setObjectName("Yield");
  column->addWidget(yield_);
  return panel;
}

// Each input with its caption, a tick and the box's current text.
void OptimiseWindow::FillInputs() {
  QSignalBlocker quiet(inputs_);
  inputs_->setRowCount(design::kFieldCount);
  for (int i = 0; i < design::kFieldCount; ++i) {
    if (!inputs_->item(i, kInput)) {
      auto* tick = FixedItem(Text(design::InputLabel(i)));
      const studies::InputRole role = studies::RoleOf(i);
      if (role == studies::InputRole::Freedom) {
        tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        for (int c : {kFrom, kTo, kValues}) inputs_->setItem(i, c, new QTableWidgetItem());
      } else {
        // Not a design freedom: shown, greyed, with the reason.
        tick->setFlags(tick->flags() & ~Qt::ItemIsEnabled);
        tick->setToolTip(Text(std::string(studies::WhyNotFree(role)) + "，不能作为优化变量"));
        for (int c : {kFrom, kTo, kValues}) inputs_->setItem(i, c, FixedItem(QString()));
      }
      inputs_->setItem(i, kInput, tick);
    }
    inputs_->setItem(i, kValue, FixedItem(Text(toolkit_.BoxText(i))));
  }
}

// A tick on an input without bounds or values offers ±20 % round its value.
void OptimiseWindow::Ticked(QTableWidgetItem* item) {
  const int row = item->row();
  if (item->checkState() != Qt::Checked || !inputs_->item(row, kFrom)->text().isEmpty() ||
      !inputs_->item(row, kValues)->text().isEmpty())
    return;
  const std::optional<SweepRange> range = DefaultRange(toolkit_.BoxText(row));
  if (!range) return;
  inputs_->item(row, kFrom)->setText(Text(range->from));
  inputs_->item(row, kTo)->setText(Text(range->to));
}

OptimiseRequest OptimiseWindow::Request() {
  OptimiseRequest request;
  for (int i = 0; i < design::kFieldCount; ++i) {
    if (inputs_->item(i, kInput)->checkState() != Qt::Checked) continue;
    request.inputs.push_back({i, inputs_->item(i, kFrom)->text().toStdString(),
                              inputs_->item(i, kTo)->text().toStdString(),
                              inputs_->item(i, kValues)->text().toStdString()});
  }
  request.objective = objective_->currentIndex() == kMostEfficient
                          ? studies::OptimiseObjective::Efficiency
                          : studies::OptimiseObjective::Cost;
  request.front = objective_->currentIndex() == kFront;
  request.front_points = front_points_->text().toStdString();
  request.targets = targets_->currentIndex() == 0
                        ? studies::OptimiseProblem::Targets::AsGiven
                        : studies::OptimiseProblem::Targets::WithTolerance;
  request.required_class = studies::ParseClassName(class_->currentText().toStdString());
  request.check_class = class_->currentIndex() != class_->count() - 1;
  request.insulation = studies::ParseInsulationClass(insulation_->currentText().toStdString());
  request.max_evaluations = std::max(1ull, budget_->text().toULongLong());
  return request;
}

void OptimiseWindow::Start() {
  FillInputs();
  try {
    const design::MaterialPrices prices = design::ReadPricesOrShipped(toolkit_.ProgramFolder());
    std::string thermal_file;
    const studies::ThermalData thermal =
        studies::ReadThermalDataOrDefault(toolkit_.ProgramFolder(), thermal_file);
    logic_.Start(BoxDesign(toolkit_), Request(), prices, thermal);
  } catch (const Error& error) {  // a price or thermal data file, or a search that cannot start
    status_->setText(Text(error.what()));
    return;
  }
  setWindowTitle(ToolWindowTitle(Window::OPTIMISE, DesignName(logic_.Problem().base)));
  status_->setText(Text("正在优化……"));
  result_->setRowCount(0);
  yield_->clear();
  SetChart(new QChart());
  start_->setEnabled(false);
  cancel_->setEnabled(true);
  load_->setEnabled(false);
  poll_.start(kPollMilliseconds);
}

void OptimiseWindow::Poll() {
  if (logic_.FrontPoints() > 0)
    status_->setText(Text(FrontProgress(logic_.FrontSearchesDone(), logic_.FrontPoints())));
  else
    Plot();
  if (!logic_.Finished()) return;
  poll_.stop();
  start_->setEnabled(true);
  cancel_->setEnabled(false);
  ShowResult();
}

// The best objective at each improvement, as steps: grey while no design
// meets the constraints, blue after.
void OptimiseWindow::Plot() {
  const std::vector<BestPoint> history = logic_.History();
  auto* chart = new QChart();
  chart->setTitle(Text("最优目标值随计算次数的变化"));
  QLineSeries* lines[] = {new QLineSeries(chart), new QLineSeries(chart)};
  lines[0]->setName(Text("尚无满足约束的设计（最接近者）"));
  lines[0]->setColor(Qt::gray);
  lines[1]->setName(Text("满足约束的设计"));
  lines[1]->setColor(Qt::blue);
  double low = NAN, high = NAN;
  for (std::size_t i = 0; i < history.size(); ++i) {
    QLineSeries* line = lines[history[i].feasible];
    if (i > 0 && history[i - 1].feasible == history[i].feasible)
      line->append(static_cast<double>(history[i].evaluations), history[i - 1].best);
    line->append(static_cast<double>(history[i].evaluations), history[i].best);
    low = std::isnan(low) ? history[i].best : std::min(low, history[i].best);
    high = std::isnan(high) ? history[i].best : std::max(high, history[i].best);
  }
  const double last = history.empty() ? 1 : static_cast<double>(history.back().evaluations);
  for (QLineSeries* line : lines) chart->addSeries(line);
  const bool cost = logic_.Problem().objective == studies::OptimiseObjective::Cost;
  QValueAxis* x = AddValueAxis(chart, 0, last, Text("计算次数 (次)"), Qt::AlignBottom);
  QValueAxis* y = AddValueAxis(chart, low, high,
                               Text(cost ? "成本 COST (元)" : "效率 EFF (标幺值)"), Qt::AlignLeft);
  x->setLabelFormat("%.0f");
  for (QLineSeries* line : lines) {
    line->attachAxis(x);
    line->attachAxis(y);
  }
  SetChart(chart);
}

// The front joined by a line, each design a dot to click, the chosen one
// red, and the class limits of the rating as dashed vertical lines.
void OptimiseWindow::PlotFront() {
  front_chart_ = MakeFrontChart(logic_.Problem(), *logic_.ParetoFront(), logic_.SelectedPoint());
  const FrontChart& view = front_chart_;
  auto* chart = new QChart();
  chart->setTitle(Text(view.title));
  QValueAxis* x = AddValueAxis(chart, view.x, Text(view.x_title), Qt::AlignBottom);
  QValueAxis* y = AddValueAxis(chart, view.y, Text(view.y_title), Qt::AlignLeft);
  auto add = [&](QXYSeries* series, const QString& name) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
    series->setName(name);
    chart->legend()->markers(series).first()->setVisible(!name.isEmpty());
  };
  for (std::size_t i = 0; i < view.limits.size(); ++i) {
    const FrontLimit& limit = view.limits[i];
    auto* line = new QLineSeries(chart);
    line->setPen(QPen(Qt::darkGreen, 1.5, Qt::DashLine));
    line->append(limit.x, view.y.min);
    line->append(limit.x, view.y.max);
    add(line, i == 0 ? Text("能效等级限值") : QString());
    // The caption over the top end of its line, clear of the line; inside
    // the plot when another is close.
    auto* caption = new QScatterSeries(chart);
    caption->setMarkerSize(0);
    caption->setPen(Qt::NoPen);
    caption->append(limit.x, view.y.max - (view.y.max - view.y.min) * 0.08 * limit.level);
    caption->setPointLabelsFormat(Text(limit.caption));
    caption->setPointLabelsColor(Qt::darkGreen);
    caption->setPointLabelsVisible(true);
    caption->setPointLabelsClipping(false);
    add(caption, QString());
  }
  auto* line = new QLineSeries(chart);
  line->setColor(Qt::blue);
  auto* dots = new QScatterSeries(chart);
  dots->setColor(Qt::blue);
  dots->setMarkerSize(11);
  for (const ChartPoint& p : view.points) {
    line->append(p.x, p.y);
    dots->append(p.x, p.y);
  }
  add(line, QString());
  add(dots, Text("前沿上的设计"));
  // The chart is replaced on a click: the choice waits for the signal to end.
  connect(
      dots, &QScatterSeries::clicked, this, [this](const QPointF& p) { Choose(p); },
      Qt::QueuedConnection);
  if (view.selected) {
    const ChartPoint& p = view.points[*view.selected];
    auto* chosen = new QScatterSeries(chart);
    chosen->setColor(Qt::red);
    chosen->setMarkerSize(15);
    chosen->append(p.x, p.y);
    chosen->setPointLabelsFormat(Text("第" + std::to_string(*view.selected + 1) + "点"));
    chosen->setPointLabelsVisible(true);
    chosen->setPointLabelsClipping(false);
    add(chosen, Text("选中的设计"));
  }
  SetChart(chart);
}

void OptimiseWindow::SetChart(QChart* chart) {
  QChart* old = chart_->chart();
  chart_->setChart(chart);
  delete old;
}

void OptimiseWindow::ShowResult() {
  result_->setRowCount(0);
  const auto& tolerance = logic_.Tolerance();
  yield_->setText(tolerance ? Text(report::ToleranceYieldLine(*tolerance)) : QString());
  if (logic_.ParetoFront()) return ShowFront();
  if (!logic_.Result()) {
    status_->setText(Text("优化中断：") + Text(logic_.Error()));
    return;
  }
  const OptimiseTable table = MakeOptimiseTable(*logic_.Result(), logic_.Problem());
  const bool cancelled = logic_.Result()->stop == studies::OptimiseResult::Stop::Cancelled;
  status_->setText(Text(table.status) + (cancelled ? Text("已取消。") : QString()));
  ShowTable(table);
}

// The front's extent, or the chosen point's design; the front drawn again.
void OptimiseWindow::ShowFront() {
  const studies::Front& front = *logic_.ParetoFront();
  const OptimiseTable table = MakeFrontTable(logic_.Problem(), front, logic_.SelectedPoint());
  const bool cancelled = front.stop == studies::OptimiseResult::Stop::Cancelled;
  status_->setText(Text(table.status) + (cancelled ? Text("已取消。") : QString()));
  result_->setRowCount(0);
  ShowTable(table);
  PlotFront();
}

void OptimiseWindow::ShowTable(const OptimiseTable& table) {
  if (!table.inputs.empty()) {
    AddSection(result_, "优化变量", table.inputs);
    AddSection(result_, "主要结果", table.results);
    AddSection(result_, "起作用的约束", table.constraints);
  }
  if (!table.optima.empty()) AddSection(result_, "其他局部最优解", table.optima);
  load_->setEnabled(logic_.Answer().has_value());
}

void OptimiseWindow::Choose(const QPointF& point) {
  if (!logic_.ParetoFront()) return;
  logic_.SelectPoint(NearestPoint(front_chart_, point.x(), point.y()));
  ShowFront();
}

void OptimiseWindow::Load() {
  const std::optional<design::DesignInput> answer = logic_.Answer();
  if (!answer) return;
  const BoxTextArray before = LoadIntoBoxes(toolkit_, *answer);
  if (!replaced_) replaced_ = before;  // the design before the first load
  restore_->setEnabled(true);
  FillInputs();
}

void OptimiseWindow::Restore() {
  if (!replaced_) return;
  RestoreBoxes(toolkit_, *replaced_);
  replaced_.reset();
  restore_->setEnabled(false);
  FillInputs();
}

}  // namespace velmora::ui::qt
