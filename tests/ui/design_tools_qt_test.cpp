// The design-tool windows off screen: each opens from the menu of the input
// window, draws its picture, and saves it as a PNG that is not blank.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScatterSeries>
#include <QSet>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QValueAxis>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/ui/qt/check_window.h"
#include "velmora/ui/qt/curves_window.h"
#include "velmora/ui/qt/input_window.h"
#include "velmora/ui/qt/optimise_window.h"
#include "velmora/ui/qt/qt_toolkit.h"
#include "velmora/ui/qt/scheme_window.h"
#include "velmora/ui/qt/slot_window.h"
#include "velmora/ui/qt/sweep_window.h"
#include "velmora/ui/qt/thermal_window.h"
#include "velmora/ui/qt/tolerance_window.h"
#include "velmora/ui/sjsrck.h"

namespace velmora::ui::qt {
namespace {

namespace fs = std::filesystem;

class DesignToolsQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-tools-qt-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    toolkit_ = std::make_unique<QtToolkit>(folder_.string(), session_);
    ShowInputWindow(*toolkit_);
    const auto texts =
        design::ReadInputFile(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
    for (int i = 0; i < design::kFieldCount; ++i) toolkit_->SetBoxText(i, texts[i]);
  }
  void TearDown() override {
    toolkit_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fs::remove_all(folder_);
  }

  // Chooses a command of the menu "设计工具" of the input window.
  void Choose(const char* name) {
    QAction* action = toolkit_->window(Window::SJSRCK)->findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
    QApplication::processEvents();
  }

  // Starts the search of the optimisation window and lets the events run
  // until its worker ends and the window has shown the result.
  static void RunToTheEnd(OptimiseWindow* window) {
    window->start()->click();
    for (int i = 0; i < 4000 && window->logic().Running(); ++i) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
    QThread::msleep(150);
    QApplication::processEvents();
  }

  // Saves the window's picture and checks the PNG has a drawing on it: a
  // good share of pixels that are not the background, in several colours.
  void ExpectPicture(Window which, const char* file) {
    const fs::path path = folder_ / file;
    const std::optional<std::string> png = toolkit_->PictureBytes(which);
    ASSERT_TRUE(png.has_value());
    design::WriteFileAtomically(path.string(), *png);
    if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
      design::WriteFileAtomically((fs::path(keep) / file).string(), *png);
    }
    QImage image(QString::fromStdString(path.string()));
    ASSERT_FALSE(image.isNull());
    const QRgb background = image.pixel(0, 0);
    QSet<QRgb> colours;
    int marked = 0;
    for (int y = 0; y < image.height(); y += 2) {
      for (int x = 0; x < image.width(); x += 2) {
        colours.insert(image.pixel(x, y));
        marked += image.pixel(x, y) != background;
      }
    }
    EXPECT_GT(colours.size(), 8) << file;
    EXPECT_GT(marked, image.width() * image.height() / 4 / 50) << file;
  }

  fs::path folder_;
  Session session_;
  std::unique_ptr<QtToolkit> toolkit_;
};

TEST_F(DesignToolsQtTest, SlotDrawingShowsBothSlots) {
  Choose("SLOTS");
  auto* window = static_cast<SlotWindow*>(toolkit_->window(Window::SLOTS));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QString("槽形图 — Y132S-4"));
  EXPECT_EQ(window->view()->note(), "");
  ExpectPicture(Window::SLOTS, "slots.png");

  // Chosen from the menu again, a minimised window comes back, the same one,
  // showing the boxes as they are now.
  window->showMinimized();
  toolkit_->SetBoxText(design::field::B01, "");
  Choose("SLOTS");
  EXPECT_EQ(toolkit_->window(Window::SLOTS), window);
  EXPECT_FALSE(window->isMinimized());
  EXPECT_NE(window->view()->note().find("B01"), std::string::npos);
}

// Every rotor slot shape: no label covers another or the fixed texts, and
// none leaves the picture.
TEST_F(DesignToolsQtTest, SlotLabelsNeverOverlap) {
  const struct {
    const char* example;
    const char* zc;
  } kShapes[] = {{"Y132S-4-5.5kW.txt", "1"},
                 {"Y132S-4-5.5kW.txt", "2"},
                 {"Y132S-4-5.5kW.txt", "3"},
                 {"Y160M-4-11kW-ZC4.txt", "4"}};
  for (const auto& shape : kShapes) {
    const auto texts =
        design::ReadInputFile(std::string(VELMORA_EXAMPLES_DIR) + "/" + shape.example);
    for (int i = 0; i < design::kFieldCount; ++i) toolkit_->SetBoxText(i, texts[i]);
    toolkit_->SetBoxText(design::field::ZC, shape.zc);
    Choose("SLOTS");
    SlotView* view = static_cast<SlotWindow*>(toolkit_->window(Window::SLOTS))->view();
    ASSERT_EQ(view->note(), "") << shape.zc;
    std::vector<QRectF> boxes = view->FixedTexts();
    const std::size_t fixed = boxes.size();
    for (const LabelPlace& label : view->Labels()) boxes.push_back(label.box);
    for (std::size_t i = fixed; i < boxes.size(); ++i) {
      EXPECT_TRUE(QRectF(view->rect()).contains(boxes[i])) << "ZC " << shape.zc << " label " << i;
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(boxes[i].intersects(boxes[j])) << "ZC " << shape.zc << ": " << i << ", " << j;
      }
    }
    ExpectPicture(Window::SLOTS, (std::string("slots-zc") + shape.zc + ".png").c_str());
  }
}

// Teeth far above the steel curve: after 电磁计算 one warning box says the
// results cannot be trusted; the check window lists the misses in red.
TEST_F(DesignToolsQtTest, RunOffTheSteelCurveShowsAWarningBox) {
  for (auto [index, text] : {std::pair{design::field::L, "115"},
                             {design::field::Z, "36"},
                             {design::field::G, "0.3"},
                             {design::field::BS2, "8.5"}})
    toolkit_->SetBoxText(index, text);
  QStringList shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown << box->text();
      box->accept();
    }
  });
  closer.start(10);
  Choose("SJSRCACULATE");
  closer.stop();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].contains("定子齿磁密BT1=")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("不可信"));
  EXPECT_TRUE(fs::exists(folder_ / "SCdat.dat"));  // the report is written all the same

  Choose("CHECK");
  auto* window = static_cast<CheckWindow*>(toolkit_->window(Window::CHECK));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->rules()->item(0, 4)->text(), QString("标幺值"));
  EXPECT_EQ(window->rules()->item(0, 5)->text(), QString("不可信"));
  EXPECT_EQ(window->rules()->item(9, 4)->text(), QString("%"));
  ExpectPicture(Window::CHECK, "check-off-curve.png");
}

TEST_F(DesignToolsQtTest, DesignCheckShowsTheLastCalculation) {
  Choose("CHECK");
  auto* window = static_cast<CheckWindow*>(toolkit_->window(Window::CHECK));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->status()->text().contains("尚未进行电磁计算"));
  EXPECT_EQ(window->rules()->rowCount(), 0);

  Choose("SJSRCACULATE");
  EXPECT_EQ(window->rules()->rowCount(), 11);
  EXPECT_EQ(window->results()->rowCount(), 13);
  // The insulation class beside the efficiency class holds the last rule.
  const int rise = studies::DesignCheck::kRiseRule;
  EXPECT_EQ(window->rules()->item(rise, 2)->text(), QString("≤ 80"));
  window->insulation()->setCurrentIndex(1);
  EXPECT_EQ(session_.check.insulation, studies::InsulationClass::F);
  EXPECT_EQ(window->rules()->item(rise, 2)->text(), QString("≤ 105"));
  window->insulation()->setCurrentIndex(window->insulation()->count() - 1);
  EXPECT_FALSE(session_.check.insulation.has_value());
  EXPECT_EQ(window->rules()->item(rise, 5)->text(), QString::fromUtf8("未校核"));
  window->insulation()->setCurrentIndex(0);
  ExpectPicture(Window::CHECK, "check.png");
}

TEST_F(DesignToolsQtTest, SweepChartPlotsEfficiencyAndPowerFactorOverTheGap) {
  Choose("SWEEP");
  auto* window = static_cast<SweepWindow*>(toolkit_->window(Window::SWEEP));
  ASSERT_NE(window, nullptr);
  window->input()->setCurrentIndex(design::field::G);
  window->from()->setText("0.3");
  window->to()->setText("0.6");
  window->step()->setText("0.02");
  EXPECT_EQ(window->result(0)->itemText(window->result(0)->findData("EFF")), QString("效率 EFF"));
  window->result(0)->setCurrentIndex(window->result(0)->findData("EFF"));
  window->result(1)->setCurrentIndex(window->result(1)->findData("PF"));
  window->run()->click();
  for (int i = 0; i < 2000 && window->logic().Running(); ++i) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
  QApplication::processEvents();
  QThread::msleep(100);
  QApplication::processEvents();
  ASSERT_FALSE(window->logic().Running());
  EXPECT_TRUE(window->run()->isEnabled());
  EXPECT_TRUE(window->status()->text().contains("共16点，故障点0个"))
      << window->status()->text().toStdString();
  // A line, its dots and the untrusted points per result, and the legend's
  // hollow marker when there are untrusted points.
  EXPECT_EQ(window->chart()->chart()->series().size(),
            6 + (window->logic().Curves().untrusted_count > 0));
  ExpectPicture(Window::SWEEP, "sweep.png");

  // A new run starts its progress from nothing.
  EXPECT_EQ(window->progress()->value(), 16);
  window->run()->click();
  EXPECT_EQ(window->progress()->value(), 0);
  window->logic().Wait();
}

// The range boxes start round the chosen input's value; a curve of ten
// thousand points is a plain line on axes with round ticks.
TEST_F(DesignToolsQtTest, SweepChartDrawsTenThousandPointsAsALine) {
  Choose("SWEEP");
  auto* window = static_cast<SweepWindow*>(toolkit_->window(Window::SWEEP));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->from()->text(), QString("0.32"));  // G = 0.4
  window->input()->setCurrentIndex(design::field::L);
  EXPECT_EQ(window->from()->text() + ":" + window->to()->text() + ":" + window->step()->text(),
            QString("92:138:2"));

  SweepCurves curves;
  curves.names = {"EFF", "J1", "TMAX1"};  // the longest names the legend takes
  curves.input = design::field::G;
  curves.design = "Y132S-4";
  curves.y.resize(3);
  for (int k = 0; k < 10000; ++k) {
    curves.x.push_back(0.3 + k * 0.00003);
    curves.y[0].push_back(0.8739 - k * 0.0000011);
    curves.y[1].push_back(5.1 + k * 0.0001);
    curves.y[2].push_back(2.3 + k * 0.00002);
    curves.untrusted.push_back(k % 1000 == 999);
  }
  window->Plot(curves);
  QChart* chart = window->chart()->chart();
  EXPECT_EQ(chart->series().size(), 10) << "a line, its legend marker and the untrusted points "
                                           "per result, and the hollow marker's legend";
  for (QAbstractAxis* axis : chart->axes()) {
    auto* values = static_cast<QValueAxis*>(axis);
    const double step = (values->max() - values->min()) / (values->tickCount() - 1);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 ||
                std::fabs(mantissa - 5) < 1e-6)
        << values->titleText().toStdString() << " step " << step;
    EXPECT_NEAR(std::remainder(values->min(), step), 0, step * 1e-6);
  }
  EXPECT_EQ(chart->axes(Qt::Vertical)[1]->titleText(), QString("定子电流密度 J1 (A/mm²)"));
  EXPECT_EQ(chart->axes(Qt::Horizontal)[0]->titleText(), QString("气隙G (mm)"));
  ExpectPicture(Window::SWEEP, "sweep-10000.png");
}

// EFF over the gap, one curve per core length, each with a marker of its
// own; closed and opened again, the window shows the same settings.
TEST_F(DesignToolsQtTest, TwoInputSweepMarksEachCurveAndKeepsItsSettings) {
  Choose("SWEEP");
  auto* window = static_cast<SweepWindow*>(toolkit_->window(Window::SWEEP));
  ASSERT_NE(window, nullptr);
  window->input()->setCurrentIndex(design::field::G);
  window->from()->setText("0.25");
  window->to()->setText("0.6");
  window->step()->setText("0.05");
  RangeControls& second = window->second();
  EXPECT_EQ(second.input->currentText(), QString("无"));
  second.input->setCurrentIndex(second.input->findData(design::field::L));
  EXPECT_EQ(second.from->text(), QString("92")) << "filled round L = 115";
  EXPECT_FALSE(window->result(1)->isEnabled()) << "one result over two inputs";
  second.from->setText("80");  // the teeth of the shorter cores lie off the steel curve
  second.to->setText("130");
  second.step->setText("10");
  window->result(0)->setCurrentIndex(window->result(0)->findData("EFF"));
  window->run()->click();
  window->logic().Wait();
  for (int i = 0; i < 20 && !window->run()->isEnabled(); ++i) {
    QThread::msleep(60);
    QApplication::processEvents();
  }
  ASSERT_TRUE(window->run()->isEnabled()) << window->status()->text().toStdString();
  EXPECT_TRUE(window->status()->text().startsWith("共48点"))
      << window->status()->text().toStdString();

  QChart* chart = window->chart()->chart();
  QStringList named;
  QSet<int> shapes;
  for (QAbstractSeries* series : chart->series()) {
    auto* dots = qobject_cast<QScatterSeries*>(series);
    if (!dots || dots->name().isEmpty()) continue;
    named << dots->name();
    shapes.insert(dots->markerShape());
  }
  EXPECT_EQ(named,
            QStringList({"L=80", "L=90", "L=100", "L=110", "L=120", "L=130", "空心：不可信"}));
  EXPECT_EQ(shapes.size(), 6) << "the hollow key is a circle, as L=80 is";
  EXPECT_EQ(chart->axes(Qt::Vertical).size(), 1);
  EXPECT_EQ(chart->axes(Qt::Vertical)[0]->titleText(), QString("效率 EFF (标幺值)"));
  EXPECT_EQ(chart->axes(Qt::Horizontal)[0]->titleText(), QString("气隙G (mm)"));
  ExpectPicture(Window::SWEEP, "sweep-two-inputs.png");
  if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
    for (QSize size : {QSize(1000, 600), QSize(1366, 768), QSize(1600, 1000)}) {
      window->resize(size);
      QApplication::processEvents();
      window->grab().save(
          QString("%1/sweep-window-%2x%3.png").arg(keep).arg(size.width()).arg(size.height()));
    }
  }

  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(toolkit_->IsWindowOpen(Window::SWEEP));
  Choose("SWEEP");
  window = static_cast<SweepWindow*>(toolkit_->window(Window::SWEEP));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->input()->currentIndex(), design::field::G);
  EXPECT_EQ(window->from()->text() + ":" + window->to()->text() + ":" + window->step()->text(),
            QString("0.25:0.6:0.05"));
  EXPECT_EQ(window->second().input->currentData().toInt(), design::field::L);
  EXPECT_EQ(window->second().from->text() + ":" + window->second().to->text() + ":" +
                window->second().step->text(),
            QString("80:130:10"));
  EXPECT_EQ(window->result(0)->currentData().toString(), QString("EFF"));
  EXPECT_FALSE(window->result(1)->isEnabled());
}

TEST_F(DesignToolsQtTest, CurvesShowBothChartsAfterACalculation) {
  Choose("CURVES");
  auto* window = static_cast<CurvesWindow*>(toolkit_->window(Window::CURVES));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->status()->text().contains("尚未进行电磁计算"));
  EXPECT_TRUE(window->load_chart()->chart()->series().empty());

  Choose("SJSRCACULATE");
  EXPECT_EQ(window->windowTitle(), QString("特性曲线 — Y132S-4"));
  EXPECT_EQ(window->loads()->rowCount(), 3);
  EXPECT_EQ(window->marks()->rowCount(), 4);
  EXPECT_EQ(window->load_chart()->chart()->series().size(), 4);
  // Torque and current, and a labelled dot per marked point found.
  EXPECT_GE(window->speed_chart()->chart()->series().size(), 5);
  EXPECT_EQ(window->speed_chart()->chart()->axes(Qt::Horizontal)[0]->titleText(),
            QString("转速 N (r/min)"));
  ExpectPicture(Window::CURVES, "curves.png");
}

TEST_F(DesignToolsQtTest, OptimisationRunsPlotsAndLoadsItsDesign) {
  Choose("OPTIMISE");
  auto* window = static_cast<OptimiseWindow*>(toolkit_->window(Window::OPTIMISE));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->inputs()->rowCount(), design::kFieldCount);
  window->inputs()->item(design::field::L, OptimiseWindow::kInput)->setCheckState(Qt::Checked);
  EXPECT_EQ(window->inputs()->item(design::field::L, OptimiseWindow::kFrom)->text(), "92");
  window->budget()->setText("80");
  RunToTheEnd(window);
  ASSERT_FALSE(window->logic().Running()) << window->status()->text().toStdString();
  ASSERT_TRUE(window->load()->isEnabled()) << window->status()->text().toStdString();
  EXPECT_GT(window->result()->rowCount(), 8);
  EXPECT_TRUE(window->yield()->text().startsWith("公差分析（300个样本）：全部校核项合格 "))
      << window->yield()->text().toStdString();
  EXPECT_EQ(window->insulation()->currentText(), "B");  // the rise limited by class B
  EXPECT_EQ(window->logic().Problem().check.insulation, studies::InsulationClass::B);
  ExpectPicture(Window::OPTIMISE, "optimise.png");

  const QString before = toolkit_->window(Window::SJSRCK)
                             ->findChild<QLineEdit*>(QString("Text2_%1").arg(design::field::L))
                             ->text();
  window->load()->click();
  EXPECT_EQ(QString::fromStdString(toolkit_->BoxText(design::field::L)),
            window->result()->item(1, 2)->text());
  window->restore()->click();
  EXPECT_EQ(QString::fromStdString(toolkit_->BoxText(design::field::L)), before);
  if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
    window->grab().save(QString::fromStdString((fs::path(keep) / "optimise-window.png").string()));
  }
}

// The front chosen in the list: drawn with its class limits, a point clicked
// shows its design and loads it.
TEST_F(DesignToolsQtTest, FrontIsDrawnAndTheClickedPointLoads) {
  Choose("OPTIMISE");
  auto* window = static_cast<OptimiseWindow*>(toolkit_->window(Window::OPTIMISE));
  ASSERT_NE(window, nullptr);
  const struct {
    int field;
    const char *from, *to;
  } kRanges[] = {{design::field::L, "130", "200"}, {design::field::G, "0.30", "0.35"}};
  for (const auto& range : kRanges) {
    window->inputs()->item(range.field, OptimiseWindow::kInput)->setCheckState(Qt::Checked);
    window->inputs()->item(range.field, OptimiseWindow::kFrom)->setText(range.from);
    window->inputs()->item(range.field, OptimiseWindow::kTo)->setText(range.to);
  }
  window->required_class()->setCurrentIndex(window->required_class()->count() - 1);
  window->insulation()->setCurrentIndex(window->insulation()->count() - 1);
  EXPECT_FALSE(window->front_points()->isEnabled());
  window->objective()->setCurrentIndex(OptimiseWindow::kFront);
  ASSERT_TRUE(window->front_points()->isEnabled());
  window->front_points()->setText("3");
  window->budget()->setText("150");
  RunToTheEnd(window);
  ASSERT_TRUE(window->logic().ParetoFront()) << window->status()->text().toStdString();
  EXPECT_FALSE(window->load()->isEnabled());  // no point chosen yet

  QScatterSeries* dots = nullptr;
  int limits = 0;
  for (QAbstractSeries* series : window->chart()->chart()->series()) {
    if (series->name() == QString("前沿上的设计")) dots = static_cast<QScatterSeries*>(series);
    limits += series->name() == QString("能效等级限值");
  }
  ASSERT_NE(dots, nullptr);
  EXPECT_EQ(limits, 1);
  ASSERT_GE(dots->count(), 2);
  emit dots->clicked(dots->at(1));
  QApplication::processEvents();
  EXPECT_EQ(window->logic().SelectedPoint(), 1u);
  EXPECT_TRUE(window->status()->text().contains("前沿第2点"))
      << window->status()->text().toStdString();
  ASSERT_TRUE(window->load()->isEnabled());
  window->load()->click();
  // The variables in the order of the boxes: G, then L.
  EXPECT_EQ(QString::fromStdString(toolkit_->BoxText(design::field::G)),
            window->result()->item(1, 2)->text());
  EXPECT_EQ(QString::fromStdString(toolkit_->BoxText(design::field::L)),
            window->result()->item(2, 2)->text());
  ExpectPicture(Window::OPTIMISE, "front.png");
  if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
    window->grab().save(QString::fromStdString((fs::path(keep) / "front-window.png").string()));
  }
}

// The temperature rise of the last calculation: both sections drawn with a
// label per node, none over another or off the picture; the class and the
// cooling air chosen in the window change the limit at once.
TEST_F(DesignToolsQtTest, ThermalDrawsTheLastCalculation) {
  Choose("THERMAL");
  auto* window = static_cast<ThermalWindow*>(toolkit_->window(Window::THERMAL));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->status()->text().contains("尚未进行电磁计算"));
  EXPECT_EQ(window->nodes()->rowCount(), 0);
  EXPECT_TRUE(window->picture()->Labels().empty());

  Choose("SJSRCACULATE");
  EXPECT_EQ(window->windowTitle(), QString("温升计算 — Y132S-4"));
  EXPECT_EQ(window->nodes()->rowCount(), 8);
  EXPECT_EQ(window->paths()->rowCount(), 13);
  EXPECT_EQ(window->hot()->rowCount(), 4);
  EXPECT_TRUE(window->limit()->text().contains("B级限值80 K"))
      << window->limit()->text().toStdString();
  for (QSize size : {QSize(1100, 640), QSize(1366, 768), QSize(1600, 1000)}) {
    window->resize(size);
    QApplication::processEvents();
    const std::vector<ThermalPicture::Label> labels = window->picture()->Labels();
    ASSERT_EQ(labels.size(), 8u);
    for (std::size_t i = 0; i < labels.size(); ++i) {
      EXPECT_TRUE(QRectF(window->picture()->rect()).contains(labels[i].box)) << i;
      for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(labels[i].box.intersects(labels[j].box));
    }
    if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
      window->grab().save(
          QString("%1/thermal-window-%2x%3.png").arg(keep).arg(size.width()).arg(size.height()));
    }
  }
  ExpectPicture(Window::THERMAL, "thermal.png");

  window->insulation()->setCurrentIndex(1);
  EXPECT_TRUE(window->limit()->text().contains("F级限值105 K"));
  window->ambient()->setValue(50);
  EXPECT_TRUE(window->limit()->text().contains("F级限值95 K"));
  EXPECT_EQ(session_.thermal.ambient, 50);
  EXPECT_FALSE(window->limit()->styleSheet().contains("red"));

  window->insulation()->setCurrentIndex(0);
  window->ambient()->setValue(60);  // class B in air at 60 °C: a limit of 60 K, which it passes
  EXPECT_TRUE(window->limit()->text().contains("超过限值"))
      << window->limit()->text().toStdString();
  EXPECT_TRUE(window->limit()->styleSheet().contains("red"));
  ExpectPicture(Window::THERMAL, "thermal-over-limit.png");
}

// The tolerance analysis of the example: four histograms, each with its
// bars and a line for the nominal value and every limit; the yields and the
// ranking filled; a wrong box named.
TEST_F(DesignToolsQtTest, ToleranceDrawsTheHistograms) {
  session_.tolerance = {200, 1};
  Choose("SJSRCACULATE");
  Choose("TOLERANCE");
  auto* window = static_cast<ToleranceWindow*>(toolkit_->window(Window::TOLERANCE));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QString("公差分析 — Y132S-4"));
  EXPECT_EQ(window->samples()->text(), "200");
  EXPECT_EQ(window->yields()->rowCount(), studies::DesignCheck::kRuleCount + 3);
  EXPECT_EQ(window->rankings()->rowCount(), static_cast<int>(studies::kToleranceResultCount));
  for (int i = 0; i < 4; ++i) {
    const QList<QAbstractSeries*> series = window->chart(i)->chart()->series();
    ASSERT_GE(series.size(), 3) << i << ": the bars, a limit and the nominal value";
    EXPECT_EQ(series.front()->type(), QAbstractSeries::SeriesTypeArea);
  }
  window->resize(1280, 800);
  QApplication::processEvents();
  if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
    window->grab().save(QString("%1/tolerance-window.png").arg(keep));
  }
  ExpectPicture(Window::TOLERANCE, "tolerance.png");

  QString shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  closer.start(10);
  window->samples()->setText("10");
  window->recalculate()->click();
  closer.stop();
  EXPECT_TRUE(shown.contains("“样本数”框")) << shown.toStdString();
  EXPECT_EQ(session_.tolerance.samples, 200u);
}

// A new motor from its rating: a bad power named, then a run that fills the
// steps and both columns, its design into the boxes and back.
TEST_F(DesignToolsQtTest, SchemeDesignsFromTheRatingAndLoads) {
  Choose("SCHEME");
  auto* window = static_cast<SchemeWindow*>(toolkit_->window(Window::SCHEME));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->poles()->currentText(), "4");
  EXPECT_EQ(window->voltage()->text(), "380");
  window->power()->setText("abc");
  window->start()->click();
  EXPECT_TRUE(window->status()->text().startsWith("“功率”框"))
      << window->status()->text().toStdString();

  window->power()->setText("5.5");
  window->budget()->setText("40");
  window->start()->click();
  for (int i = 0; i < 4000 && !window->load()->isEnabled(); ++i) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
  ASSERT_TRUE(window->load()->isEnabled()) << window->status()->text().toStdString();
  EXPECT_GT(window->steps()->rowCount(), 0);
  EXPECT_GT(window->compared()->rowCount(), studies::DesignCheck::kRuleCount + 10);
  if (const char* keep = getenv("VELMORA_SCREENSHOTS")) {
    window->grab().save(QString::fromStdString((fs::path(keep) / "scheme-window.png").string()));
  }
  ExpectPicture(Window::SCHEME, "scheme.png");

  const std::string before = toolkit_->BoxText(design::field::L);
  window->load()->click();
  EXPECT_EQ(toolkit_->BoxText(design::field::L),
            window->logic().Result()->design[design::field::L].text);
  EXPECT_TRUE(window->restore()->isEnabled());
  window->restore()->click();
  EXPECT_EQ(toolkit_->BoxText(design::field::L), before);
  EXPECT_FALSE(window->restore()->isEnabled());
}

}  // namespace
}  // namespace velmora::ui::qt
