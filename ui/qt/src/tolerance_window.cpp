#include "velmora/ui/qt/tolerance_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QVBoxLayout>
#include <QValueAxis>
#include <string>

#include "chart_axis.h"
#include "tool_window.h"

namespace velmora::ui::qt {

namespace {

using Histogram = ToleranceView::Histogram;

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

// The limits in red, the nominal value in green, both dashed over the bars.
const QColor kBars(0x1f, 0x77, 0xb4);
const QColor kLimits[] = {Qt::red, QColor(0xff, 0x7f, 0x0e)};
const QColor kNominal(Qt::darkGreen);

QChartView* AddChart(QWidget* parent, int i) {
  auto* view = new QChartView(new QChart(), parent);
  view->setObjectName(QString("Histogram%1").arg(i));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(360, 270);
  return view;
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart();
  chart->setTitle(title);
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->legend()->setAlignment(Qt::AlignBottom);
  return chart;
}

void Attach(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// The bins as one outline of steps, filled down to the axis.
QAreaSeries* Bars(QChart* chart, const Histogram& h) {
  auto* steps = new QLineSeries(chart);
  steps->append(h.low, 0);
  for (std::size_t i = 0; i < h.counts.size(); ++i) {
    const double left = h.low + static_cast<double>(i) * h.width;
    const auto count = static_cast<double>(h.counts[i]);
    steps->append(left, count);
    steps->append(left + h.width, count);
  }
  steps->append(h.low + static_cast<double>(h.counts.size()) * h.width, 0);
  auto* bars = new QAreaSeries(steps);
  bars->setColor(kBars.lighter(150));
  bars->setBorderColor(kBars);
  return bars;
}

// A mark across the whole height of the chart, named in the legend.
QLineSeries* Across(QChart* chart, const ToleranceView::Mark& mark, double top,
                    const QColor& colour, Qt::PenStyle style) {
  auto* line = new QLineSeries(chart);
  line->setName(Text(mark.label));
  QPen pen(colour, 2, style);
  line->setPen(pen);
  line->append(mark.value, 0);
  line->append(mark.value, top);
  return line;
}

QChart* HistogramChart(const Histogram& h) {
  QChart* chart = NewChart(Text(h.title));
  QValueAxis* x = AddValueAxis(chart, h.axis_low, h.axis_high, "", Qt::AlignBottom);
  QValueAxis* y = AddValueAxis(chart, 0, std::max<double>(static_cast<double>(h.Highest()), 1),
                               QString::fromUtf8("样本数"), Qt::AlignLeft);
  y->setLabelFormat("%.0f");
  if (!h.counts.empty()) {
    QAreaSeries* bars = Bars(chart, h);
    Attach(chart, bars, x, y);
    chart->legend()->markers(bars).first()->setVisible(false);
  }
  for (std::size_t i = 0; i < h.limits.size(); ++i)
    Attach(chart,
           Across(chart, h.limits[i], y->max(), kLimits[i % std::size(kLimits)], Qt::DashLine), x,
           y);
  Attach(chart, Across(chart, h.nominal, y->max(), kNominal, Qt::DashDotLine), x, y);
  return chart;
}

void Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

QLineEdit* AddBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setFixedWidth(110);
  return box;
}

}  // namespace

ToleranceWindow::ToleranceWindow(Toolkit& toolkit, Session& session) {
  auto* client = new QWidget(this);
  client->setObjectName("Picture");
  auto* layout = new QVBoxLayout(client);
  status_ = AddTextLabel(client, "Status");
  auto* charts = new QGridLayout();
  for (int i = 0; i < static_cast<int>(charts_.size()); ++i) {
    charts_[i] = AddChart(client, i);
    charts->addWidget(charts_[i], i / 2, i % 2);
  }
  auto* main = new QHBoxLayout();
  main->addLayout(charts, 1);
  main->addWidget(AddSidePanel(client));
  layout->addWidget(status_);
  layout->addWidget(AddChoices(client, toolkit, session));
  layout->addLayout(main, 1);
  SetUpToolWindow(this, Window::TOLERANCE, client, QSize(1240, 760));
  AddExportPicture(this, toolkit, Window::TOLERANCE,
                   [this] { return view_.design.empty() ? "未命名" : view_.design; });
  Show(view_);
}

// The samples and the seed; 重新计算 (or Enter in a box) analyses again.
QWidget* ToleranceWindow::AddChoices(QWidget* parent, Toolkit& toolkit, Session& session) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  samples_ = AddBox(row, "Samples");
  seed_ = AddBox(row, "Seed");
  recalculate_ = new QPushButton(QString::fromUtf8("重新计算"), row);
  recalculate_->setObjectName("Recalculate");
  const auto again = [this, &toolkit, &session] {
    DesignTools(toolkit, session)
        .RecalculateTolerance(samples_->text().toStdString(), seed_->text().toStdString());
  };
  connect(recalculate_, &QPushButton::clicked, this, again);
  connect(samples_, &QLineEdit::returnPressed, this, again);
  connect(seed_, &QLineEdit::returnPressed, this, again);
  layout->addWidget(new QLabel(QString::fromUtf8("样本数（%1~%2）：")
                                   .arg(kMinWindowSamples)
                                   .arg(studies::kMaxToleranceSamples),
                               row));
  layout->addWidget(samples_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QString::fromUtf8("随机数种子："), row));
  layout->addWidget(seed_);
  layout->addSpacing(12);
  layout->addWidget(recalculate_);
  layout->addStretch(1);
  return row;
}

// The yields and the sensitivity ranking.
QWidget* ToleranceWindow::AddSidePanel(QWidget* parent) {
  auto* panel = new QWidget(parent);
  panel->setFixedWidth(450);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  yields_ = AddCompactTable(panel, "Yields", "校核项", kYieldHeadings);
  FitRows(yields_, studies::DesignCheck::kRuleCount + 3);
  rankings_ = AddCompactTable(panel, "Rankings", "影响最大的输入", kRankingHeadings);
  FitRows(rankings_, static_cast<int>(studies::kToleranceResultCount));
  layout->addWidget(yields_);
  layout->addWidget(
      new QLabel(QString::fromUtf8("灵敏度（Spearman秩相关系数，可信样本）："), panel));
  layout->addWidget(rankings_);
  layout->addStretch(1);
  return panel;
}

void ToleranceWindow::Show(const ToleranceView& view) {
  view_ = view;
  if (!view.design.empty()) setWindowTitle(ToolWindowTitle(Window::TOLERANCE, view.design));
  status_->setText(Text(view.status));
  samples_->setText(QString::number(view.choice.samples));
  seed_->setText(QString::number(view.choice.seed));
  for (std::size_t i = 0; i < charts_.size(); ++i) {
    Replace(charts_[i], view.drawn ? HistogramChart(view.histograms[i])
                                   : NewChart(Text(kToleranceHistograms[i].result)));
  }
  FillRows(yields_, view.yields);
  FillRows(rankings_, view.rankings);
}

}  // namespace velmora::ui::qt
