#include "velmora/ui/qt/sweep_window.h"

#include <QChart>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "tool_window.h"
#include "velmora/calc/sweep.h"

namespace velmora::ui::qt {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kPollMilliseconds = 50;
const Qt::GlobalColor kCurveColours[] = {Qt::blue, Qt::red, Qt::darkGreen};

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(Text(caption), parent);
  button->setObjectName(name);
  return button;
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
  SetUpToolWindow(this, "参数扫描", client, QSize(1000, 600));
  AddExportPicture(this, toolkit, Window::SWEEP);
  QAction* csv = menuBar()->addAction(Text("导出CSV"));
  csv->setObjectName("EXPORTCSV");
  connect(csv, &QAction::triggered, this, [this] { logic_.ExportCsv(toolkit_); });
  connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

QWidget* SweepWindow::AddControls() {
  auto* panel = new QWidget(this);
  auto* form = new QFormLayout(panel);
  input_ = new QComboBox(panel);
  input_->setObjectName("Input");
  for (const design::FieldInfo& info : design::kFieldInfo) input_->addItem(Text(info.caption));
  input_->setCurrentIndex(design::field::G);
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
  for (int i = 0; i < 3; ++i) {
    results_[i] = new QComboBox(panel);
    results_[i]->setObjectName(QString("Result%1").arg(i + 1));
    results_[i]->addItem(QString());
    for (std::string_view name : calc::kKeyResults) {
      results_[i]->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    results_[i]->addItem("COST");
    form->addRow(Text("结果") + QString::number(i + 1), results_[i]);
  }
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

void SweepWindow::Calculate() {
  SweepRequest request;
  request.field = input_->currentIndex();
  request.from = from_->text().toStdString();
  request.to = to_->text().toStdString();
  request.step = step_->text().toStdString();
  for (QComboBox* result : results_) request.results.push_back(result->currentText().toStdString());
  try {
    logic_.SetPrices(design::ReadPricesOrShipped(toolkit_.ProgramFolder()));
  } catch (const design::PriceFileError& error) {
    status_->setText(QString::fromUtf8(error.what()));
    return;
  }
  const std::string refused = logic_.Start(request);
  if (!refused.empty()) {
    status_->setText(QString::fromUtf8(refused));
    return;
  }
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
  Plot();
}

// Each result on its own axis, the first on the left; faulted points are left out.
void SweepWindow::Plot() {
  const SweepCurves& curves = logic_.Curves();
  auto* chart = new QChart();
  auto* x_axis = new QValueAxis(chart);
  x_axis->setTitleText(input_->currentText());
  chart->addAxis(x_axis, Qt::AlignBottom);
  for (std::size_t i = 0; i < curves.names.size(); ++i) {
    auto* line = new QLineSeries(chart);
    auto* dots = new QScatterSeries(chart);
    auto* untrusted = new QScatterSeries(chart);
    line->setName(QString::fromStdString(curves.names[i]));
    line->setColor(kCurveColours[i]);
    dots->setColor(kCurveColours[i]);
    dots->setMarkerSize(6);
    untrusted->setName(line->name() + Text(" 不可信（磁密超出曲线或数值不合理）"));
    untrusted->setColor(Qt::transparent);
    untrusted->setBorderColor(Qt::gray);
    untrusted->setMarkerSize(7);
    for (std::size_t k = 0; k < curves.x.size(); ++k) {
      if (std::isnan(curves.y[i][k])) continue;
      if (curves.untrusted[k]) {
        untrusted->append(curves.x[k], curves.y[i][k]);
        continue;
      }
      line->append(curves.x[k], curves.y[i][k]);
      dots->append(curves.x[k], curves.y[i][k]);
    }
    auto* y_axis = new QValueAxis(chart);
    y_axis->setTitleText(line->name());
    y_axis->setLinePenColor(kCurveColours[i]);
    chart->addAxis(y_axis, i == 0 ? Qt::AlignLeft : Qt::AlignRight);
    for (QXYSeries* series : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(dots),
                              static_cast<QXYSeries*>(untrusted)}) {
      chart->addSeries(series);
      series->attachAxis(x_axis);
      series->attachAxis(y_axis);
    }
    chart->legend()->markers(dots).first()->setVisible(false);
    if (untrusted->count() == 0) chart->legend()->markers(untrusted).first()->setVisible(false);
  }
  QChart* old = chart_->chart();
  chart_->setChart(chart);
  delete old;

  QString status = Text("共") + QString::number(curves.x.size()) + Text("点，故障点") +
                   QString::number(curves.faulted) + Text("个（未画出），不可信点") +
                   QString::number(curves.untrusted_count) + Text("个（灰色空心，不连线）。");
  if (curves.cancelled) status += Text("已取消。");
  if (!logic_.Error().empty()) status += QString::fromUtf8(logic_.Error());
  status_->setText(status);
}

}  // namespace velmora::ui::qt
