#include "velmora/ui/qt/curves_window.h"

#include <QChart>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "chart_axis.h"
#include "tool_window.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/sweep_chart.h"

namespace velmora::ui::qt {

namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }
QString Label(const char* key) { return Text(QuantityLabel(key)); }

const Qt::GlobalColor kColours[] = {Qt::blue, Qt::red, Qt::darkGreen, Qt::darkMagenta};

QChartView* AddChart(QWidget* parent, const char* name) {
  auto* view = new QChartView(new QChart(), parent);
  view->setObjectName(name);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(480, 380);
  return view;
}

// A row whose only value is a message spans the value columns.
void Fill(QTableWidget* table, const std::vector<CurvesView::Row>& rows) {
  table->clearSpans();
  table->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    table->setItem(r, 0, new QTableWidgetItem(Text(rows[r].caption)));
    for (int c = 0; c < static_cast<int>(rows[r].values.size()); ++c)
      table->setItem(r, c + 1, new QTableWidgetItem(Text(rows[r].values[c])));
    if (rows[r].values.size() == 1) table->setSpan(r, 1, 1, table->columnCount() - 1);
  }
}

void Attach(QChart* chart, QXYSeries* series, QValueAxis* x, QValueAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// One quantity of the points over x, as a line named `name`.
template <class Point>
QLineSeries* Line(QChart* chart, const std::vector<Point>& points, const QString& name, int colour,
                  const std::function<double(const Point&)>& x,
                  const std::function<double(const Point&)>& y) {
  auto* line = new QLineSeries(chart);
  line->setName(name);
  line->setColor(kColours[colour]);
  for (const Point& p : points)
    if (!p.fault) line->append(x(p), y(p));
  return line;
}

double Highest(const QLineSeries* line) {
  double high = 0;
  for (const QPointF& p : line->points()) high = std::max(high, p.y());
  return high;
}

void Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

QChart* NewChart(const char* title, const std::string& design) {
  auto* chart = new QChart();
  chart->setTitle(QString::fromUtf8(title) + (design.empty() ? "" : " — " + Text(design)));
  return chart;
}

// EFF, PF and I1/I1N on the left axis, SN on the right, over P2/Pn.
QChart* LoadChart(const CurvesView& view) {
  QChart* chart = NewChart("工作特性", view.design);
  const std::vector<calc::LoadPoint>& points = view.curves.load;
  const double rated = view.rated_current > 0 ? view.rated_current : 1;
  using P = calc::LoadPoint;
  const auto k = [](const P& p) { return p.k; };
  QLineSeries* left[] = {
      Line<P>(chart, points, Label("EFF"), 0, k, [](const P& p) { return p.EFF; }),
      Line<P>(chart, points, Label("PF"), 1, k, [](const P& p) { return p.PF; }),
      Line<P>(chart, points, Text("电流倍数 I1/I1N"), 2, k,
              [rated](const P& p) { return p.I1 / rated; })};
  QLineSeries* slip = Line<P>(chart, points, Label("SN"), 3, k, [](const P& p) { return p.SN; });
  const double high = std::max({Highest(left[0]), Highest(left[1]), Highest(left[2])});
  QValueAxis* x = AddValueAxis(chart, points.empty() ? 0 : points.front().k,
                               points.empty() ? 1 : points.back().k,
                               Text("输出功率 P2/Pn (标幺值)"), Qt::AlignBottom);
  QValueAxis* y = AddValueAxis(chart, 0, high, Text("EFF、PF、I1/I1N (标幺值)"), Qt::AlignLeft);
  QValueAxis* y_slip = AddValueAxis(chart, 0, Highest(slip),
                                    Text(QuantityLabel("SN") + " (标幺值)"), Qt::AlignRight);
  y_slip->setGridLineVisible(false);
  y_slip->setLinePenColor(kColours[3]);
  for (QLineSeries* line : left) Attach(chart, line, x, y);
  Attach(chart, slip, x, y_slip);
  return chart;
}

// A marked point of the torque curve, labelled with its name and torque.
void Mark(QChart* chart, const CurvesView::Row& row, const std::optional<calc::SpeedPoint>& p,
          QValueAxis* x, QValueAxis* y) {
  if (!p || p->fault) return;
  auto* dot = new QScatterSeries(chart);
  dot->setColor(Qt::black);
  dot->setMarkerSize(9);
  dot->append(p->N, p->T);
  dot->setPointLabelsFormat(Text(row.caption + " " + row.values[2]));
  dot->setPointLabelsVisible(true);
  dot->setPointLabelsClipping(false);
  Attach(chart, dot, x, y);
  chart->legend()->markers(dot).first()->setVisible(false);
}

// Torque and current per unit of their rated values over the speed.
QChart* SpeedChart(const CurvesView& view) {
  QChart* chart = NewChart("机械特性", view.design);
  const calc::SpeedCurve& speed = view.curves.speed;
  using P = calc::SpeedPoint;
  const auto n = [](const P& p) { return p.N; };
  QLineSeries* torque =
      Line<P>(chart, speed.points, Text("转矩倍数 T/TN"), 0, n, [](const P& p) { return p.T; });
  QLineSeries* current = Line<P>(chart, speed.points, Text("电流倍数 I1/I1N"), 2, n,
                                 [](const P& p) { return p.I_ratio; });
  double fastest = 0;
  for (const QPointF& p : torque->points()) fastest = std::max(fastest, p.x());
  QValueAxis* x = AddValueAxis(chart, 0, fastest, Text(QuantityTitle("N")), Qt::AlignBottom);
  QValueAxis* y = AddValueAxis(chart, 0, std::max(Highest(torque), Highest(current)),
                               Text("T/TN、I1/I1N (倍)"), Qt::AlignLeft);
  Attach(chart, torque, x, y);
  Attach(chart, current, x, y);
  const std::optional<P>* marks[] = {&speed.starting, &speed.pull_up, &speed.breakdown,
                                     &speed.rated};
  for (std::size_t i = 0; i < view.marks.size() && i < std::size(marks); ++i)
    Mark(chart, view.marks[i], *marks[i], x, y);
  return chart;
}

}  // namespace

CurvesWindow::CurvesWindow(Toolkit& toolkit) {
  auto* client = new QWidget(this);
  client->setObjectName("Picture");
  auto* layout = new QVBoxLayout(client);
  status_ = new QLabel(client);
  status_->setObjectName("Status");
  status_->setWordWrap(true);
  load_chart_ = AddChart(client, "LoadChart");
  speed_chart_ = AddChart(client, "SpeedChart");
  marks_ = AddResultTable(client, "Marks", "标记点", kMarkHeadings);
  loads_ = AddResultTable(client, "Loads", "负载", kLoadHeadings);
  auto* charts = new QHBoxLayout();
  charts->addWidget(load_chart_);
  charts->addWidget(speed_chart_);
  auto* tables = new QHBoxLayout();
  tables->addWidget(marks_, 3);
  tables->addWidget(loads_, 2);
  layout->addWidget(status_);
  layout->addLayout(charts, 1);
  layout->addLayout(tables);
  marks_->setFixedHeight(160);
  loads_->setFixedHeight(160);
  SetUpToolWindow(this, Window::CURVES, client, QSize(1200, 760));
  AddExportPicture(this, toolkit, Window::CURVES,
                   [this] { return view_.design.empty() ? "未命名" : view_.design; });
  QAction* csv = menuBar()->addAction(QString::fromUtf8("导出CSV"));
  csv->setObjectName("EXPORTCSV");
  connect(csv, &QAction::triggered, this, [this, &toolkit] { ExportCurvesCsv(toolkit, view_); });
}

void CurvesWindow::Show(const CurvesView& view) {
  view_ = view;
  if (!view.design.empty()) setWindowTitle(ToolWindowTitle(Window::CURVES, view.design));
  status_->setText(
      Text(view.breakdown_note.empty() ? view.status : view.status + "\n" + view.breakdown_note));
  Replace(load_chart_, view.drawn ? LoadChart(view) : NewChart("工作特性", ""));
  Replace(speed_chart_, view.drawn ? SpeedChart(view) : NewChart("机械特性", ""));
  Fill(marks_, view.marks);
  Fill(loads_, view.loads);
}

}  // namespace velmora::ui::qt
