#include "velmora/ui/qt/sweep_window.h"

#include <QChart>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "tool_window.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/sweep.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui::qt {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

constexpr int kPollMilliseconds = 50;
const Qt::GlobalColor kCurveColours[] = {Qt::blue, Qt::red, Qt::darkGreen};

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(Text(caption), parent);
  button->setObjectName(name);
  return button;
}

// An axis with ticks at round values over `low` to `high`.
QValueAxis* NiceAxis(QChart* chart, double low, double high, const QString& title) {
  const AxisScale scale = NiceScale(low, high);
  auto* axis = new QValueAxis(chart);
  axis->setRange(scale.min, scale.max);
  axis->setTickCount(static_cast<int>(std::lround((scale.max - scale.min) / scale.step)) + 1);
  axis->setLabelFormat(QString("%.%1f").arg(scale.decimals));
  axis->setTitleText(title);
  return axis;
}

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

// One result over the sweep: the trusted points as a line (with a marker
// each while they are few), the untrusted ones apart as grey rings.
struct Curve {
  QLineSeries* line;
  QScatterSeries* dots;  // null when the points are too many to mark
  QScatterSeries* untrusted;
};

Curve MakeCurve(QChart* chart, const SweepCurves& curves, std::size_t i) {
  const bool marked = curves.x.size() <= kMaxMarkedPoints;
  Curve curve{new QLineSeries(chart), marked ? new QScatterSeries(chart) : nullptr,
              new QScatterSeries(chart)};
  curve.line->setName(Text(QuantityLabel(curves.names[i])));
  curve.line->setColor(kCurveColours[i]);
  if (curve.dots) {
    curve.dots->setColor(kCurveColours[i]);
    curve.dots->setBorderColor(kCurveColours[i]);  // a white rim would wipe out its neighbours
    curve.dots->setMarkerSize(6);
  }
  curve.untrusted->setName(curve.line->name() + Text(" 不可信点"));
  curve.untrusted->setColor(Qt::transparent);
  curve.untrusted->setBorderColor(Qt::gray);
  curve.untrusted->setMarkerSize(marked ? 7 : 4);
  for (std::size_t k = 0; k < curves.x.size(); ++k) {
    const double y = curves.y[i][k];
    if (std::isnan(y)) continue;
    if (curves.untrusted[k]) {
      curve.untrusted->append(curves.x[k], y);
      continue;
    }
    curve.line->append(curves.x[k], y);
    if (curve.dots) curve.dots->append(curves.x[k], y);
  }
  return curve;
}

void Attach(QChart* chart, const Curve& curve, QValueAxis* x_axis, QValueAxis* y_axis) {
  for (QXYSeries* series :
       {static_cast<QXYSeries*>(curve.line), static_cast<QXYSeries*>(curve.dots),
        static_cast<QXYSeries*>(curve.untrusted)}) {
    if (!series) continue;
    chart->addSeries(series);
    series->attachAxis(x_axis);
    series->attachAxis(y_axis);
  }
  if (curve.dots) chart->legend()->markers(curve.dots).first()->setVisible(false);
  if (curve.untrusted->count() == 0) {
    chart->legend()->markers(curve.untrusted).first()->setVisible(false);
  }
}

QString StatusOf(const SweepCurves& curves, const std::string& error) {
  QString status = Text("共") + QString::number(curves.x.size()) + Text("点，故障点") +
                   QString::number(curves.faulted) + Text("个（未画出），不可信点") +
                   QString::number(curves.untrusted_count) + Text("个（灰色空心，不连线）。");
  if (!curves.first_fault.empty()) status += Text("第一个故障点 ") + Text(curves.first_fault);
  if (curves.cancelled) status += Text("已取消。");
  if (!error.empty()) status += Text(error);
  return status;
}

}  // namespace

SweepWindow::SweepWindow(Toolkit& toolkit) : toolkit_(toolkit) {
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
}

QWidget* SweepWindow::AddControls() {
  auto* panel = new QWidget(this);
  auto* form = new QFormLayout(panel);
  design_ = new QLabel(panel);
  design_->setObjectName("Design");
  design_->setWordWrap(true);
  form->addRow(design_);
  input_ = new QComboBox(panel);
  input_->setObjectName("Input");
  for (const design::FieldInfo& info : design::kFieldInfo) input_->addItem(Text(info.caption));
  input_->setCurrentIndex(design::field::G);
  connect(input_, &QComboBox::currentIndexChanged, this, [this] { FillRange(); });
  form->addRow(Text("扫描输入"), input_);
  const struct {
    QLineEdit** box;
    const char* name;
    const char* caption;
  } kRange[] = {{&from_, "From", "起点"}, {&to_, "To", "终点"}, {&step_, "Step", "步长"}};
  for (const auto& range : kRange) {
    *range.box = new QLineEdit(panel);
    (*range.box)->setObjectName(range.name);
    form->addRow(Text(range.caption), *range.box);
  }
  AddResultBoxes(panel, form);
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
  status_ = new QLabel(panel);
  status_->setObjectName("Status");
  status_->setWordWrap(true);
  form->addRow(status_);
  panel->setFixedWidth(300);
  return panel;
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
    form->addRow(Text("结果") + QString::number(i + 1), results_[i]);
  }
}

void SweepWindow::SetBase(const design::DesignInput& base) {
  logic_.SetBase(base);
  if (!has_base_) FillRange();
  has_base_ = true;
  ShowDesign();
}

// The range round the chosen input's value in the boxes, or empty boxes
// when it holds no number.
void SweepWindow::FillRange() {
  const std::optional<SweepRange> range = DefaultRange(logic_.base()[input_->currentIndex()].text);
  from_->setText(range ? Text(range->from) : QString());
  to_->setText(range ? Text(range->to) : QString());
  step_->setText(range ? Text(range->step) : QString());
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
  SweepRequest request;
  request.field = input_->currentIndex();
  request.from = from_->text().toStdString();
  request.to = to_->text().toStdString();
  request.step = step_->text().toStdString();
  for (QComboBox* result : results_)
    request.results.push_back(result->currentData().toString().toStdString());
  progress_->reset();
  try {
    logic_.SetPrices(design::ReadPricesOrShipped(toolkit_.ProgramFolder()));
    logic_.Start(request);
  } catch (const Error& error) {  // a price file, or a sweep that cannot start
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
  Plot(logic_.Curves());
  QString status = StatusOf(logic_.Curves(), logic_.Error());
  const std::string note = report::SweepStudyNote(input_->currentIndex());
  if (!note.empty()) status += Text("\n") + Text(note);
  status_->setText(status);
  ShowDesign();
}

// Each result on its own axis, the first on the left; faulted points are left out.
void SweepWindow::Plot(const SweepCurves& curves) {
  auto* chart = new QChart();
  chart->setTitle(Text(curves.design));
  const auto [x_low, x_high] = Extent(curves.x);
  QValueAxis* x_axis = NiceAxis(chart, x_low, x_high, input_->currentText());
  chart->addAxis(x_axis, Qt::AlignBottom);
  for (std::size_t i = 0; i < curves.names.size(); ++i) {
    const auto [low, high] = Extent(curves.y[i]);
    QValueAxis* y_axis = NiceAxis(chart, low, high, Text(QuantityTitle(curves.names[i])));
    y_axis->setLinePenColor(kCurveColours[i]);
    y_axis->setGridLineVisible(i == 0);  // one grid, the first result's
    chart->addAxis(y_axis, i == 0 ? Qt::AlignLeft : Qt::AlignRight);
    Attach(chart, MakeCurve(chart, curves, i), x_axis, y_axis);
  }
  QChart* old = chart_->chart();
  chart_->setChart(chart);
  delete old;
}

}  // namespace velmora::ui::qt
