#include "velmora/ui/qt/sweep_window.h"

#include <QChart>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "chart_axis.h"
#include "tool_window.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/sweep.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/input_titles.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui::qt {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

constexpr int kPollMilliseconds = 50;
// The chart's marker shapes as Qt names them, in the order of MarkerShape.
constexpr QScatterSeries::MarkerShape kShapes[kMarkerShapes] = {
    QScatterSeries::MarkerShapeCircle,   QScatterSeries::MarkerShapeRectangle,
    QScatterSeries::MarkerShapeTriangle, QScatterSeries::MarkerShapeStar,
    QScatterSeries::MarkerShapePentagon, QScatterSeries::MarkerShapeRotatedRectangle};

// The smallest and largest of the values that are not NaN.
std::pair<double, double> Extent(const std::vector<double>& values) {
  double low = NAN, high = NAN;
  for (double v : values) {
    if (std::isnan(v)) continue;
    low = std::isnan(low) ? v : std::min(low, v);
    high = std::isnan(high) ? v : std::max(high, v);
  }
  return {low, high};
}

// Points marked with `shape` in `colour`, filled or hollow.
QScatterSeries* Markers(QChart* chart, MarkerShape shape, const QColor& colour, bool filled) {
  auto* markers = new QScatterSeries(chart);
  markers->setMarkerShape(kShapes[static_cast<int>(shape)]);
  markers->setMarkerSize(shape == MarkerShape::Star || shape == MarkerShape::Pentagon ? 10 : 8);
  markers->setBrush(filled ? QBrush(colour) : QBrush(Qt::NoBrush));
  QPen pen(colour);  // a rim of its own colour: a white one would wipe out the neighbours
  pen.setWidthF(1.5);
  markers->setPen(pen);
  return markers;
}

void Attach(QChart* chart, QXYSeries* series, QValueAxis* x_axis, QValueAxis* y_axis) {
  chart->addSeries(series);
  series->attachAxis(x_axis);
  series->attachAxis(y_axis);
}

void HideFromLegend(QChart* chart, QXYSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

// One series: a line through its trusted points with its marker on each
// while they are few, the untrusted points as the same marker hollow. The
// filled marker stands for the series in the legend.
void AddSeries(QChart* chart, const SweepSeries& series, QValueAxis* x_axis, QValueAxis* y_axis) {
  const QColor colour = QColor::fromRgb(series.colour);
  const bool marked = series.trusted.size() + series.hollow.size() <= kMaxMarkedPoints;
  auto* line = new QLineSeries(chart);
  line->setColor(colour);
  QScatterSeries* dots = Markers(chart, series.shape, colour, true);
  dots->setName(Text(series.label));
  QScatterSeries* hollow = Markers(chart, series.shape, colour, false);
  if (!marked) hollow->setMarkerSize(hollow->markerSize() - 3);
  for (const ChartPoint& point : series.trusted) {
    line->append(point.x, point.y);
    if (marked) dots->append(point.x, point.y);
  }
  for (const ChartPoint& point : series.hollow) hollow->append(point.x, point.y);
  for (QXYSeries* part : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(dots),
                          static_cast<QXYSeries*>(hollow)}) {
    Attach(chart, part, x_axis, y_axis);
  }
  HideFromLegend(chart, line);
  HideFromLegend(chart, hollow);
}

// The legend's word for every hollow marker, whatever its shape.
void AddHollowKey(QChart* chart, QValueAxis* x_axis, QValueAxis* y_axis) {
  QScatterSeries* key = Markers(chart, MarkerShape::Circle, Qt::black, false);
  key->setName(Text("空心：不可信"));
  Attach(chart, key, x_axis, y_axis);
}

// The y axis of each result, the first on the left with the grid; each
// in its curve's colour while the curves are the results.
std::vector<QValueAxis*> ResultAxes(QChart* chart, const SweepCurves& curves,
                                    const std::vector<SweepSeries>& series) {
  std::vector<QValueAxis*> axes;
  for (std::size_t i = 0; i < curves.names.size(); ++i) {
    const auto [low, high] = Extent(curves.y[i]);
    QValueAxis* axis = AddValueAxis(chart, low, high, Text(QuantityTitle(curves.names[i])),
                                    i == 0 ? Qt::AlignLeft : Qt::AlignRight);
    if (!curves.second) axis->setLinePenColor(QColor::fromRgb(series[i].colour));
    axis->setGridLineVisible(i == 0);
    axes.push_back(axis);
  }
  return axes;
}

// The results' long names fit in a row below the chart; the short ones of
// up to twenty values of a second input stand in a column beside it.
void PlaceLegend(QChart* chart, const SweepCurves& curves) {
  QLegend* legend = chart->legend();
  legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
  legend->setAlignment(curves.second ? Qt::AlignRight : Qt::AlignBottom);
}

QString ChartTitle(const SweepCurves& curves) {
  QString title = Text(curves.design);
  if (curves.second) title += Text("　曲线：") + Text(InputTitle(*curves.second));
  return title;
}

QString StatusOf(const SweepCurves& curves, const std::string& error) {
  QString status = Text("共") + QString::number(curves.x.size()) + Text("点，故障点") +
                   QString::number(curves.faulted) + Text("个（未画出），不可信点") +
                   QString::number(curves.untrusted_count) + Text("个（空心，不连线）。");
  if (!curves.first_fault.empty()) status += Text("第一个故障点 ") + Text(curves.first_fault);
  if (curves.cancelled) status += Text("已取消。");
  if (!error.empty()) status += Text(error);
  return status;
}

}  // namespace

SweepWindow::SweepWindow(Toolkit& toolkit, Session& session)
    : toolkit_(toolkit), session_(session) {
  auto* client = new QWidget(this);
  auto* layout = new QHBoxLayout(client);
  chart_ = new QChartView(new QChart(), client);
  chart_->setObjectName("Picture");
  chart_->setRenderHint(QPainter::Antialiasing);
  chart_->setMinimumSize(520, 400);
  layout->addWidget(AddControls());
  layout->addWidget(chart_, 1);
  SetUpToolWindow(this, Window::SWEEP, client, QSize(1000, 600));
  AddExportPicture(this, toolkit, Window::SWEEP, [this] {
    return logic_.Curves().names.empty() ? DesignName(logic_.base()) : logic_.Curves().design;
  });
  QAction* csv = menuBar()->addAction(Text("导出CSV"));
  csv->setObjectName("EXPORTCSV");
  connect(csv, &QAction::triggered, this, [this] { logic_.ExportCsv(toolkit_); });
  connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
  if (session_.sweep) Restore(*session_.sweep);
}

QWidget* SweepWindow::AddControls() {
  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);
  auto* form = new QFormLayout();
  column->addLayout(form);
  design_ = new QLabel(panel);
  design_->setObjectName("Design");
  design_->setWordWrap(true);
  form->addRow(design_);
  first_ = AddRange(panel, form, "扫描输入", "", false);
  first_.input->setCurrentIndex(design::field::G);
  second_ = AddRange(panel, form, "第二输入", "Second", true);
  AddResultBoxes(panel, form);
  results_[0]->setCurrentIndex(results_[0]->findData(QString("EFF")));  // what most sweeps ask
  for (const RangeControls* range : {&first_, &second_}) {
    connect(range->input, &QComboBox::currentIndexChanged, this, [this, range] {
      FillRange(*range);
      FollowSecond();
    });
  }
  FollowSecond();
  run_ = AddButton(panel, "Calculate", "计算");
  cancel_ = AddButton(panel, "Cancel", "取消");
  cancel_->setEnabled(false);
  connect(run_, &QPushButton::clicked, this, [this] { Calculate(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(run_);
  buttons->addWidget(cancel_);
  form->addRow(buttons);
  progress_ = new QProgressBar(panel);
  progress_->setObjectName("Progress");
  form->addRow(progress_);
  column->addWidget(AddStatus(panel), 1);
  panel->setFixedWidth(300);
  return panel;
}

// The status below the controls takes the rest of the height; a long one
// (a fault message, a note on the inputs swept) scrolls.
QWidget* SweepWindow::AddStatus(QWidget* panel) {
  status_ = new QLabel(panel);
  status_->setObjectName("Status");
  status_->setWordWrap(true);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* scroll = new QScrollArea(panel);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidget(status_);
  return scroll;
}

// An input chooser over the 60 inputs, "无" first when the input is
// optional, and a row "范围 [起点] 至 [终点] 步长 [步长]" below it. The
// chooser is named `name` ("Input" when empty), the boxes `name` followed
// by From, To and Step.
RangeControls SweepWindow::AddRange(QWidget* panel, QFormLayout* form, const char* caption,
                                    const QString& name, bool optional) {
  RangeControls range;
  range.input = new QComboBox(panel);
  range.input->setObjectName(name.isEmpty() ? QString("Input") : name);
  if (optional) range.input->addItem(Text("无"), -1);
  for (int i = 0; i < design::kFieldCount; ++i) {
    range.input->addItem(Text(design::kFieldInfo[i].caption), i);
  }
  form->addRow(Text(caption), range.input);
  auto* row = new QHBoxLayout();
  const struct {
    QLineEdit** box;
    const char* name;
    const char* before;  // the word in front of the box
  } kBoxes[] = {{&range.from, "From", ""}, {&range.to, "To", "至"}, {&range.step, "Step", "步长"}};
  for (const auto& box : kBoxes) {
    if (*box.before) row->addWidget(new QLabel(Text(box.before), panel));
    *box.box = new QLineEdit(panel);
    (*box.box)->setObjectName(name + box.name);
    row->addWidget(*box.box);
  }
  form->addRow(Text("范围"), row);
  return range;
}

// Each result box lists the quantities by name, the report name as its data.
void SweepWindow::AddResultBoxes(QWidget* panel, QFormLayout* form) {
  for (int i = 0; i < 3; ++i) {
    results_[i] = new QComboBox(panel);
    results_[i]->setObjectName(QString("Result%1").arg(i + 1));
    results_[i]->addItem(QString(), QString());
    for (std::string_view name : studies::kKeyResults) {
      results_[i]->addItem(Text(QuantityLabel(name)), Text(std::string(name)));
    }
    results_[i]->addItem(Text(QuantityLabel("COST")), QString("COST"));
    results_[i]->addItem(Text(QuantityLabel("TRISE")), QString("TRISE"));
    form->addRow(Text("结果") + QString::number(i + 1), results_[i]);
  }
}

void SweepWindow::SetBase(const design::DesignInput& base) {
  logic_.SetBase(base);
  if (!filled_) FillRange(first_);
  filled_ = true;
  ShowDesign();
}

// The range round the chosen input's value in the boxes, or empty boxes
// when it holds no number or no input is chosen.
void SweepWindow::FillRange(const RangeControls& range) {
  const int field = range.input->currentData().toInt();
  const std::optional<SweepRange> filled =
      field < 0 ? std::nullopt : DefaultRange(logic_.base()[field].text);
  range.from->setText(filled ? Text(filled->from) : QString());
  range.to->setText(filled ? Text(filled->to) : QString());
  range.step->setText(filled ? Text(filled->step) : QString());
}

// With a second input each curve is one of its values, so one result only.
void SweepWindow::FollowSecond() {
  const bool two = second_.input->currentData().toInt() >= 0;
  for (QLineEdit* box : {second_.from, second_.to, second_.step}) box->setEnabled(two);
  for (int i = 1; i < 3; ++i) results_[i]->setEnabled(!two);
}

namespace {

SweepInputText RangeText(const RangeControls& range) {
  return {range.input->currentData().toInt(), range.from->text().toStdString(),
          range.to->text().toStdString(), range.step->text().toStdString()};
}

void ShowRange(const RangeControls& range, const SweepInputText& text) {
  range.input->setCurrentIndex(std::max(0, range.input->findData(text.field)));
  range.from->setText(Text(text.from));
  range.to->setText(Text(text.to));
  range.step->setText(Text(text.step));
}

}  // namespace

SweepRequest SweepWindow::Request() const {
  SweepRequest request;
  request.input = RangeText(first_);
  if (second_.input->currentData().toInt() >= 0) request.second = RangeText(second_);
  for (QComboBox* result : results_) {
    request.results.push_back(result->isEnabled() ? result->currentData().toString().toStdString()
                                                  : std::string());
  }
  return request;
}

void SweepWindow::Restore(const SweepRequest& request) {
  ShowRange(first_, request.input);
  second_.input->setCurrentIndex(0);
  if (request.second) ShowRange(second_, *request.second);
  for (std::size_t i = 0; i < results_.size(); ++i) {
    const std::string name = i < request.results.size() ? request.results[i] : std::string();
    results_[i]->setCurrentIndex(std::max(0, results_[i]->findData(Text(name))));
  }
  FollowSecond();
  filled_ = true;
}

void SweepWindow::closeEvent(QCloseEvent* event) {
  session_.sweep = Request();
  QMainWindow::closeEvent(event);
}

void SweepWindow::ShowDesign() {
  const std::string name = DesignName(logic_.base());
  setWindowTitle(ToolWindowTitle(Window::SWEEP, name));
  QString text = Text("设计：") + Text(name);
  if (plotted_ && *plotted_ != design::FieldTexts(logic_.base())) {
    text += Text("\n输入数据已改动，曲线仍是改动前的设计，请重新计算。");
  }
  design_->setText(text);
}

void SweepWindow::Calculate() {
  const SweepRequest request = Request();
  progress_->reset();
  try {
    logic_.SetPrices(design::ReadPricesOrShipped(toolkit_.ProgramFolder()));
    std::string thermal_file;
    logic_.SetThermalData(
        studies::ReadThermalDataOrDefault(toolkit_.ProgramFolder(), thermal_file));
    logic_.Start(request);
  } catch (const Error& error) {  // a price or thermal data file, or a sweep that cannot start
    status_->setText(QString::fromUtf8(error.what()));
    return;
  }
  running_ = design::FieldTexts(logic_.base());
  status_->setText(Text("正在计算……"));
  progress_->setRange(0, static_cast<int>(logic_.Total()));
  progress_->setValue(0);
  run_->setEnabled(false);
  cancel_->setEnabled(true);
  poll_.start(kPollMilliseconds);
}

void SweepWindow::Cancel() { logic_.Cancel(); }

void SweepWindow::Poll() {
  progress_->setValue(static_cast<int>(logic_.Done()));
  if (!logic_.Finished()) return;
  poll_.stop();
  run_->setEnabled(true);
  cancel_->setEnabled(false);
  plotted_ = running_;
  const SweepCurves& curves = logic_.Curves();
  Plot(curves);
  QString status = StatusOf(curves, logic_.Error());
  for (std::optional<int> field : {std::optional<int>(curves.input), curves.second}) {
    const std::string note = field ? report::SweepStudyNote(*field) : std::string();
    if (!note.empty()) status += Text("\n") + Text(note);
  }
  status_->setText(status);
  ShowDesign();
}

void SweepWindow::Plot(const SweepCurves& curves) {
  auto* chart = new QChart();
  chart->setTitle(ChartTitle(curves));
  const auto [x_low, x_high] = Extent(curves.x);
  QValueAxis* x_axis =
      AddValueAxis(chart, x_low, x_high, Text(InputTitle(curves.input)), Qt::AlignBottom);
  const std::vector<SweepSeries> series = ChartSeries(curves);
  const std::vector<QValueAxis*> y_axes = ResultAxes(chart, curves, series);
  for (const SweepSeries& one : series) AddSeries(chart, one, x_axis, y_axes[one.result]);
  const bool hollow = std::any_of(series.begin(), series.end(),
                                  [](const SweepSeries& one) { return !one.hollow.empty(); });
  if (hollow) AddHollowKey(chart, x_axis, y_axes[0]);
  PlaceLegend(chart, curves);
  QChart* old = chart_->chart();
  chart_->setChart(chart);
  delete old;
}

}  // namespace velmora::ui::qt
