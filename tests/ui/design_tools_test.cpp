// The design-tool windows through a toolkit without a screen: the slot
// drawing's note, the design check's three states and the sweep chart's
// worker thread.
#include "velmora/ui/design_tools.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "fake_toolkit.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/studies/sweep.h"
#include "velmora/studies/tolerance.h"
#include "velmora/ui/characteristic_curves.h"
#include "velmora/ui/design_optimiser.h"
#include "velmora/ui/front_view.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/scheme_view.h"
#include "velmora/ui/sjsrck.h"
#include "velmora/ui/sweep_chart.h"
#include "velmora/ui/thermal_view.h"
#include "velmora/ui/tolerance_view.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
namespace field = design::field;

const std::string kExample = std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt";

// Threads of this process, the test's own included.
int ThreadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : fs::directory_iterator("/proc/self/task")) ++count;
  return count;
}

class DesignToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora-tools-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    tk_ = std::make_unique<testing::FakeToolkit>(folder_.string());
    input_ = std::make_unique<SJSRCK>(*tk_, session_);
    input_->Show();
    tk_->boxes = design::ReadInputFile(kExample);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  std::unique_ptr<testing::FakeToolkit> tk_;
  Session session_;
  std::unique_ptr<SJSRCK> input_;
};

TEST_F(DesignToolsTest, SlotDrawingOfTheBoxesNeedsNoCalculation) {
  input_->SLOTS();
  ASSERT_TRUE(tk_->slots.has_value());
  EXPECT_EQ(tk_->slot_note, "");
  EXPECT_FALSE(tk_->slots->stator.outline.empty());
  EXPECT_FALSE(tk_->slots->rotor.outline.empty());
  EXPECT_TRUE(tk_->messages.empty());
}

struct BadBox {
  int index;
  const char* text;
  const char* note;
};

TEST_F(DesignToolsTest, SlotDrawingNamesAnEmptyOrNonNumericBox) {
  const BadBox kBad[] = {{field::B01, "", "“B01”框为空"},
                         {field::DI1, "abc", "“定子内径DI1”框不是数字"},
                         {field::G, "70", "“气隙G”框的值不小于定子内径的一半"}};
  for (const BadBox& bad : kBad) {
    tk_->boxes = design::ReadInputFile(kExample);
    tk_->boxes[bad.index] = bad.text;
    input_->SLOTS();  // again: the open window is refreshed from the boxes
    ASSERT_TRUE(tk_->slots.has_value());
    EXPECT_NE(tk_->slot_note.find(bad.note), std::string::npos) << tk_->slot_note;
    EXPECT_TRUE(tk_->slots->stator.outline.empty());
  }
  EXPECT_EQ(tk_->shown[Window::SLOTS], 3);
}

// A box changed after 打开 or by typing: the slots and the sweep follow it,
// the check says its calculation is older than the boxes.
TEST_F(DesignToolsTest, OpenToolWindowsFollowAChangedBox) {
  input_->SJSRCACULATE();
  input_->SLOTS();
  input_->CHECK();
  input_->SWEEP();
  EXPECT_EQ(tk_->slot_design, "Y132S-4");
  tk_->boxes[field::B01] = "";
  tk_->boxes[field::TYPE] = "Y132S-4 改";
  input_->BoxesChanged();
  EXPECT_NE(tk_->slot_note.find("“B01”框为空"), std::string::npos) << tk_->slot_note;
  EXPECT_EQ(tk_->slot_design, "Y132S-4 改");
  ASSERT_TRUE(tk_->sweep_base.has_value());
  EXPECT_TRUE((*tk_->sweep_base)[field::B01].IsEmpty());
  EXPECT_NE(tk_->check->status.find("输入数据已改动"), std::string::npos) << tk_->check->status;
  EXPECT_EQ(tk_->check->design, "Y132S-4");

  tk_->boxes = design::ReadInputFile(kExample);
  input_->BoxesChanged();
  EXPECT_EQ(tk_->slot_note, "");
  EXPECT_EQ(tk_->check->status.find("输入数据已改动"), std::string::npos);
  EXPECT_EQ(tk_->shown[Window::SLOTS], 1) << "following never brings a window up";
}

// Every quantity a window offers has a name; each but the cost and the
// winding's rise is one the calculation computes.
TEST(QuantityNamesTest, CoverEveryQuantityTheWindowsOffer) {
  std::vector<std::string_view> offered(studies::kKeyResults.begin(), studies::kKeyResults.end());
  offered.insert(offered.end(), std::begin(kCheckResults), std::end(kCheckResults));
  for (std::string_view key : offered) {
    const QuantityName* name = FindQuantityName(key);
    ASSERT_NE(name, nullptr) << key;
    EXPECT_FALSE(name->caption.empty()) << key;
    EXPECT_NE(calc::FindQuantityEntry(key), nullptr) << key;
  }
  ASSERT_NE(FindQuantityName("COST"), nullptr);
  EXPECT_EQ(QuantityTitle("TRISE"), "绕组温升 TRISE (K)");
  EXPECT_EQ(QuantityLabel("EFF"), "效率 EFF");
  EXPECT_EQ(QuantityTitle("J1"), "定子电流密度 J1 (A/mm²)");
  EXPECT_EQ(QuantityTitle("NOPE"), "NOPE");
}

TEST(SweepRangeTest, RoundRangesAndAxes) {
  const auto range = [](const char* box) {
    const std::optional<SweepRange> r = DefaultRange(box);
    return r ? r->from + ":" + r->to + ":" + r->step : "none";
  };
  EXPECT_EQ(range("0.4"), "0.32:0.48:0.01");
  EXPECT_EQ(range("115"), "92:138:2");
  EXPECT_EQ(range("36"), "28:44:1");  // slot counts stay whole
  EXPECT_EQ(range("-2.5"), "-3:-2:0.05");
  EXPECT_EQ(range("0"), "0:1:0.05");
  EXPECT_EQ(range("8.5"), "6.8:10.2:0.2");
  EXPECT_EQ(range(""), "none");

  const AxisScale eff = NiceScale(0.8629, 0.8739);
  EXPECT_DOUBLE_EQ(eff.step, 0.005);
  EXPECT_NEAR(eff.min, 0.860, 1e-12);
  EXPECT_NEAR(eff.max, 0.875, 1e-12);
  EXPECT_EQ(eff.decimals, 3);
  const AxisScale flat = NiceScale(1453.4, 1453.4);
  EXPECT_LT(flat.min, 1453.4);
  EXPECT_GT(flat.max, 1453.4);
  EXPECT_EQ(NiceScale(NAN, NAN).max, 1);
}

TEST_F(DesignToolsTest, CheckBeforeAnyCalculationSaysSo) {
  input_->CHECK();
  ASSERT_TRUE(tk_->check.has_value());
  EXPECT_NE(tk_->check->status.find("尚未进行电磁计算"), std::string::npos);
  EXPECT_TRUE(tk_->check->rules.empty());
  EXPECT_TRUE(tk_->check->results.empty());
}

TEST_F(DesignToolsTest, CheckAfterASuccessfulCalculationShowsRulesAndResults) {
  input_->SJSRCACULATE();
  ASSERT_TRUE(tk_->messages.empty()) << tk_->messages.front();
  input_->CHECK();
  ASSERT_TRUE(tk_->check.has_value());
  ASSERT_EQ(tk_->check->rules.size(), 11u);
  EXPECT_EQ(tk_->check->rules[0].caption, "效率");
  for (const CheckTable::Rule& rule : tk_->check->rules) {
    EXPECT_EQ(rule.failed, rule.verdict == "不合格") << rule.caption;
    EXPECT_FALSE(rule.computed.empty()) << rule.caption;
  }
  ASSERT_EQ(tk_->check->results.size(), std::size(kCheckResults));
  for (const CheckTable::Result& result : tk_->check->results) {
    EXPECT_FALSE(result.value.empty()) << result.name;
  }
  // 不要求: the class is shown but not checked, and no class is asked for.
  studies::CheckOptions none;
  none.check_class = false;
  const CheckTable unclassed = MakeCheckTable(session_.last_calculation, none);
  EXPECT_EQ(unclassed.rules[studies::DesignCheck::kClassRule].verdict, "未校核");
  for (const std::string& line : unclassed.class_and_cost)
    EXPECT_EQ(line.find("要求"), std::string::npos) << line;
  EXPECT_EQ(unclassed.class_and_cost[0].rfind("能效等级：", 0), 0u);
  // The last rule is the winding's rise against class B, also in words;
  // without a class it is shown, not checked.
  const CheckTable::Rule& rise = tk_->check->rules[studies::DesignCheck::kRiseRule];
  EXPECT_EQ(rise.caption, "温升");
  EXPECT_EQ(rise.unit, "K");
  EXPECT_EQ(rise.limit, "≤ 80");
  EXPECT_EQ(rise.verdict, "合格");
  EXPECT_NE(std::find(unclassed.class_and_cost.begin(), unclassed.class_and_cost.end(),
                      "  B级绝缘限值80 K：合格，裕量16.2 K"),
            unclassed.class_and_cost.end());
  none.insulation = std::nullopt;
  EXPECT_EQ(MakeCheckTable(session_.last_calculation, none)
                .rules[studies::DesignCheck::kRiseRule]
                .verdict,
            "未校核");
}

// A target set out of reach fails its rule; the open window follows each run.
TEST_F(DesignToolsTest, CheckFollowsEachRunAndMarksFailures) {
  input_->CHECK();
  tk_->boxes[field::TM] = "9";  // breakdown torque nine times the rated
  input_->SJSRCACULATE();
  ASSERT_EQ(tk_->check->rules.size(), 11u) << tk_->check->status;
  EXPECT_TRUE(tk_->check->rules[4].failed);
  EXPECT_EQ(tk_->check->rules[4].verdict, "不合格");

  tk_->boxes[field::ZC] = "7";
  input_->SJSRCACULATE();
  ASSERT_EQ(tk_->messages.size(), 1u);
  EXPECT_NE(tk_->check->status.find("上次电磁计算未成功"), std::string::npos);
  EXPECT_NE(tk_->check->status.find(tk_->messages[0]), std::string::npos);
  EXPECT_TRUE(tk_->check->rules.empty());
}

// Teeth far above the steel curve: the report is written, then one warning
// box names the misses; the check window lists them and fails the design.
TEST_F(DesignToolsTest, RunOffTheSteelCurveWarnsAndTheCheckListsTheMisses) {
  tk_->boxes[field::L] = "115";
  tk_->boxes[field::Z] = "36";
  tk_->boxes[field::G] = "0.3";
  tk_->boxes[field::BS2] = "8.5";
  input_->SJSRCACULATE();
  ASSERT_EQ(tk_->messages.size(), 1u);
  EXPECT_NE(tk_->messages[0].find("定子齿磁密BT1="), std::string::npos) << tk_->messages[0];
  EXPECT_NE(tk_->messages[0].find("不可信"), std::string::npos);
  input_->CHECK();
  ASSERT_EQ(tk_->check->rules.size(), 11u);
  EXPECT_EQ(tk_->check->rules[0].verdict, "不可信");
  EXPECT_EQ(tk_->check->rules[6].verdict, "不合格");
  ASSERT_FALSE(tk_->check->notes.empty());
  EXPECT_TRUE(tk_->check->notes[0].untrustworthy);
  // The same verdict on the class text and on every result shown.
  ASSERT_FALSE(tk_->check->class_and_cost.empty());
  EXPECT_NE(tk_->check->class_and_cost[0].find("不可信"), std::string::npos);
  for (const auto& result : tk_->check->results)
    EXPECT_TRUE(result.value.ends_with("（不可信）")) << result.name;
}

SweepRequest GapSweep(const char* step) {
  return {{field::G, "0.3", "0.6", step}, {"EFF", "PF", ""}};
}

TEST_F(DesignToolsTest, SweepPlotsEachResultOverTheRange) {
  SweepChart chart;
  chart.SetBase(design::ToDesignInput(tk_->boxes));
  chart.Start(GapSweep("0.1"));
  chart.Wait();
  ASSERT_TRUE(chart.Finished());
  const SweepCurves& curves = chart.Curves();
  EXPECT_EQ(curves.x, (std::vector<double>{0.3, 0.4, 0.5, 0.6}));
  ASSERT_EQ(curves.y.size(), 2u);
  for (const std::vector<double>& curve : curves.y) {
    ASSERT_EQ(curve.size(), 4u);
    for (double y : curve) EXPECT_TRUE(y > 0 && y < 1);
  }
  EXPECT_GT(curves.y[1][0], curves.y[1][3]) << "a wider gap lowers the power factor";
  EXPECT_EQ(curves.faulted, 0u);
  EXPECT_FALSE(curves.cancelled);
  EXPECT_EQ(curves.csv.substr(0, curves.csv.find("\r\n")), "G,EFF,PF,check,fault");
  EXPECT_EQ(std::count(curves.csv.begin(), curves.csv.end(), '\n'), 5);
}

// The winding's rise as a result, as the sweep's CSV gives it (60.98 K at a
// 0.3 mm gap, 70.71 K at 0.6 mm); a slower fan's air runs it hotter.
TEST_F(DesignToolsTest, SweepPlotsTheWindingRise) {
  SweepChart chart;
  chart.SetBase(design::ToDesignInput(tk_->boxes));
  chart.Start({{field::G, "0.3", "0.6", "0.3"}, {"TRISE"}});
  chart.Wait();
  ASSERT_TRUE(chart.Finished());
  ASSERT_EQ(chart.Curves().y.size(), 1u);
  const std::vector<double> rise = chart.Curves().y[0];
  ASSERT_EQ(rise.size(), 2u);
  EXPECT_DOUBLE_EQ(rise[0], 60.98356741332856);
  EXPECT_DOUBLE_EQ(rise[1], 70.71165950099484);
  studies::ThermalData slower_fan;
  slower_fan.FAN_AIR /= 2;
  chart.SetThermalData(slower_fan);
  chart.Start({{field::G, "0.3", "0.6", "0.3"}, {"TRISE"}});
  chart.Wait();
  ASSERT_TRUE(chart.Finished());
  EXPECT_GT(chart.Curves().y[0][0], rise[0]);
}

TEST_F(DesignToolsTest, SweepLeavesFaultedPointsOutAndCountsThem) {
  SweepChart chart;
  chart.SetBase(design::ToDesignInput(tk_->boxes));
  // Past half the bore there is no rotor left.
  chart.Start({{field::G, "0.5", "200", "50"}, {"EFF"}});
  chart.Wait();
  ASSERT_TRUE(chart.Finished());
  EXPECT_EQ(chart.Curves().x.size(), 4u);
  EXPECT_GE(chart.Curves().faulted, 2u);
  int plotted = 0;
  for (double y : chart.Curves().y[0]) plotted += !std::isnan(y);
  EXPECT_EQ(plotted + chart.Curves().faulted, 4u);
  EXPECT_EQ(chart.Curves().first_fault.rfind("G=", 0), 0u) << chart.Curves().first_fault;
  EXPECT_GT(chart.Curves().first_fault.size(), std::string("G=100：").size());
}

const SweepInputText kGap{field::G, "0.3", "0.5", "0.1"};

// Over G and L, one curve of EFF per core length, named by its length, with
// a point at every gap.
TEST_F(DesignToolsTest, TwoInputSweepDrawsACurvePerValueOfTheSecond) {
  SweepChart chart;
  chart.SetBase(design::ToDesignInput(tk_->boxes));
  chart.Start({{field::G, "0.4", "0.6", "0.1"},
               {"EFF", "", ""},
               SweepInputText{field::L, "100", "130", "15"}});
  chart.Wait();
  ASSERT_TRUE(chart.Finished());
  const SweepCurves& curves = chart.Curves();
  EXPECT_EQ(curves.levels, (std::vector<double>{100, 115, 130}));
  EXPECT_EQ(curves.csv.substr(0, curves.csv.find("\r\n")), "G,L,EFF,check,fault");
  const std::vector<SweepSeries> series = ChartSeries(curves);
  ASSERT_EQ(series.size(), 3u);
  const char* kLabels[] = {"L=100", "L=115", "L=130"};
  for (std::size_t j = 0; j < series.size(); ++j) {
    EXPECT_EQ(series[j].label, kLabels[j]);
    std::vector<ChartPoint> points = series[j].trusted;
    points.insert(points.end(), series[j].hollow.begin(), series[j].hollow.end());
    ASSERT_EQ(points.size(), 3u) << kLabels[j];
    std::sort(points.begin(), points.end(), [](auto a, auto b) { return a.x < b.x; });
    for (std::size_t i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(points[i].x, 0.4 + 0.1 * i);
  }
  EXPECT_NE(series[0].trusted.front().y, series[2].trusted.front().y) << "L changes EFF";
}

// Twenty curves, the most a chart takes: no two share both marker shape and
// colour, the first six differ in each; labels carry six digits at most.
TEST(SweepSeriesTest, MarkersTellEveryCurveApart) {
  SweepCurves curves;
  curves.names = {"EFF"};
  curves.input = design::field::G;
  curves.second = design::field::L;
  for (std::size_t j = 0; j < kMaxChartCurves; ++j) {
    curves.levels.push_back(100 + j / 3.0);
    curves.x.push_back(0.4);
    curves.level.push_back(j);
    curves.untrusted.push_back(j % 2);
  }
  curves.y = {curves.levels};
  const std::vector<SweepSeries> series = ChartSeries(curves);
  ASSERT_EQ(series.size(), kMaxChartCurves);
  EXPECT_EQ(series[1].label, "L=100.333");
  std::set<std::pair<MarkerShape, std::uint32_t>> looks;
  std::set<MarkerShape> first_shapes;
  std::set<std::uint32_t> first_colours;
  for (std::size_t j = 0; j < series.size(); ++j) {
    looks.insert({series[j].shape, series[j].colour});
    if (j < kMarkerShapes) first_shapes.insert(series[j].shape);
    if (j < kMarkerShapes) first_colours.insert(series[j].colour);
    EXPECT_EQ(series[j].hollow.size(), j % 2) << "an untrusted point stays in its own series";
  }
  EXPECT_EQ(looks.size(), kMaxChartCurves);
  EXPECT_EQ(first_shapes.size(), std::size_t{kMarkerShapes});
  EXPECT_EQ(first_colours.size(), std::size_t{kMarkerShapes});
}

TEST_F(DesignToolsTest, SweepRefusesWhatItCannotRunNamingTheBox) {
  const struct {
    SweepRequest request;
    ErrorCode code;
    const char* named;  // what the message names
  } kRefused[] = {
      {{{field::G, "abc", "0.6", "0.1"}, {"EFF"}}, ErrorCode::NotANumber, "“起点”"},
      {{{field::G, "0.3", "", "0.1"}, {"EFF"}}, ErrorCode::NotANumber, "“终点”"},
      {{{field::G, "0.3", "0.6", "0"}, {"EFF"}}, ErrorCode::StepBackwards, "G"},
      {{{field::G, "0.3", "0.6", "0.1"}, {"", "", ""}}, ErrorCode::ResultsChosen, ""},
      {{{field::G, "0.3", "0.6", "0.1"}, {"NOPE"}}, ErrorCode::UnknownInput, "NOPE"},
      {{{field::TYPE, "1", "2", "1"}, {"EFF"}}, ErrorCode::TextInput, ""},
      {{{field::G, "0", "1", "0.00001"}, {"EFF"}}, ErrorCode::TooMany, ""},
      // A second input: one result, twenty curves at most, not the first input again.
      {{kGap, {"EFF"}, SweepInputText{field::L, "100", "x", "5"}},
       ErrorCode::NotANumber,
       "第二输入的“终点”"},
      {{kGap, {"EFF", "PF"}, SweepInputText{field::L, "100", "130", "15"}},
       ErrorCode::ResultsChosen,
       "只能选择一个结果"},
      {{kGap, {"EFF"}, SweepInputText{field::L, "100", "130", "1"}},
       ErrorCode::TooMany,
       "第二输入取值31个"},
      {{kGap, {"EFF"}, kGap}, ErrorCode::InputTwice, "第二输入不能与扫描输入相同"},
  };
  SweepChart chart;
  chart.SetBase(design::ToDesignInput(tk_->boxes));
  for (const auto& refused : kRefused) {
    try {
      chart.Start(refused.request);
      ADD_FAILURE() << "started " << refused.named;
    } catch (const Error& error) {
      EXPECT_EQ(error.code(), refused.code) << error.what();
      EXPECT_NE(std::string(error.what()).find(refused.named), std::string::npos) << error.what();
    }
    EXPECT_FALSE(chart.Running());
  }
}

TEST_F(DesignToolsTest, CancelledSweepLeavesNoThreadRunning) {
  const int before = ThreadCount();
  {
    SweepChart chart;
    chart.SetBase(design::ToDesignInput(tk_->boxes));
    chart.Start(GapSweep("0.00005"));
    EXPECT_TRUE(chart.Running());
    chart.Cancel();
    chart.Wait();
    EXPECT_FALSE(chart.Running());
    EXPECT_TRUE(chart.Finished());
    EXPECT_TRUE(chart.Curves().cancelled);
    EXPECT_LT(chart.Curves().x.size(), 6001u);
    EXPECT_EQ(ThreadCount(), before);
  }
  // A sweep still running when its window goes is cancelled and joined.
  {
    SweepChart chart;
    chart.SetBase(design::ToDesignInput(tk_->boxes));
    chart.Start(GapSweep("0.00005"));
  }
  EXPECT_EQ(ThreadCount(), before);
}

TEST_F(DesignToolsTest, ExportPictureAsksForAFileAndSavesTheOpenWindow) {
  input_->SLOTS();
  tk_->answers.push_back((folder_ / "slots").string());
  ExportPicture(*tk_, Window::SLOTS, tk_->slot_design);
  EXPECT_EQ(design::ReadWholeFile((folder_ / "slots.png").string()), "PNG of window 3");
  EXPECT_EQ(tk_->dialogs.back().title, "导出PNG");
  EXPECT_EQ(tk_->dialogs.back().file_name, "Y132S-4-槽形图.png");
  EXPECT_EQ(ExportFileName("Y/1:2*", Window::SWEEP, "csv"), "Y_1_2_-参数扫描.csv");
  EXPECT_TRUE(tk_->messages.empty());

  ExportPicture(*tk_, Window::SLOTS, "");  // dialog cancelled
  EXPECT_TRUE(tk_->messages.empty());      // an optional export cancelled: nothing to say
}

// The curves follow the last calculation: nothing to draw before it, the
// marked points, the part-load efficiency and the CSV of velmora-calc after.
TEST_F(DesignToolsTest, CurvesTableBeforeAndAfterACalculation) {
  input_->CURVES();
  ASSERT_TRUE(tk_->curves.has_value());
  EXPECT_NE(tk_->curves->status.find("尚未进行电磁计算"), std::string::npos);
  EXPECT_FALSE(tk_->curves->drawn);
  EXPECT_TRUE(tk_->curves->marks.empty());
  EXPECT_TRUE(tk_->curves->loads.empty());
  ExportCurvesCsv(*tk_, *tk_->curves);
  ASSERT_EQ(tk_->messages.size(), 1u);
  EXPECT_TRUE(tk_->dialogs.empty());

  input_->SJSRCACULATE();  // the open window follows the run
  ASSERT_EQ(tk_->messages.size(), 1u) << tk_->messages.back();
  const CurvesView& view = *tk_->curves;
  EXPECT_TRUE(view.drawn);
  EXPECT_EQ(view.design, "Y132S-4");
  ASSERT_EQ(view.marks.size(), 4u);
  for (const CurvesView::Row& row : {view.marks[0], view.marks[2], view.marks[3]})
    EXPECT_EQ(row.values.size(), std::size(kMarkHeadings)) << row.caption;
  EXPECT_EQ(view.marks[0].caption, "起动");
  EXPECT_EQ(view.marks[2].caption, "最大转矩");
  ASSERT_EQ(view.loads.size(), 3u);
  EXPECT_EQ(view.loads[0].caption, "50%");
  EXPECT_EQ(view.loads[2].caption, "100%");
  ASSERT_EQ(view.loads[2].values.size(), std::size(kLoadHeadings));
  for (const calc::LoadPoint& p : view.curves.load) {
    if (p.k != 1) continue;
    EXPECT_EQ(std::stod(view.loads[2].values[0]), std::round(10000 * p.EFF) / 10000);
  }
  EXPECT_EQ(view.csv.rfind("curve,k,P2,EFF,", 0), 0u);
  // The curve's breakdown beside the procedure's TMAX1, and why they differ.
  EXPECT_EQ(view.breakdown_note.rfind("曲线最大转矩倍数3.6142，电磁计算TMAX1 = 3.0939：", 0), 0u)
      << view.breakdown_note;
  EXPECT_NE(view.csv.find("\r\nmark,"), std::string::npos);

  tk_->answers.push_back((folder_ / "curves").string());
  ExportCurvesCsv(*tk_, view);
  EXPECT_EQ(tk_->dialogs.back().file_name, "Y132S-4-特性曲线.csv");
  EXPECT_EQ(design::ReadWholeFile((folder_ / "curves.csv").string()), view.csv);

  EXPECT_EQ(view.status.find("不可信"), std::string::npos);

  tk_->boxes[field::L] = "120";
  input_->BoxesChanged();
  EXPECT_NE(tk_->curves->status.find("输入数据已改动"), std::string::npos);

  // A run the engine cannot vouch for: the curves say so.
  tk_->boxes[field::L] = "90";
  input_->SJSRCACULATE();
  EXPECT_NE(tk_->curves->status.find("结果不可信"), std::string::npos) << tk_->curves->status;
}

// A tiny search on the core length: its design into the boxes, and the
// texts it replaced back.
TEST_F(DesignToolsTest, OptimisedDesignLoadsIntoTheBoxesAndRestores) {
  DesignOptimiser optimiser;
  OptimiseRequest request;
  request.inputs = {{field::L, "x", "130", ""}};
  try {
    optimiser.Start(BoxDesign(*tk_), request, {});
    ADD_FAILURE() << "started on a bound that is no number";
  } catch (const Error& error) {
    EXPECT_EQ(error.code(), ErrorCode::NotANumber);
  }
  request.inputs = {{field::L, "100", "130", ""}};
  request.max_evaluations = 60;
  optimiser.Start(BoxDesign(*tk_), request, {});
  optimiser.Wait();
  ASSERT_TRUE(optimiser.Result() && optimiser.Result()->found) << optimiser.Error();
  const OptimiseTable table = MakeOptimiseTable(*optimiser.Result(), optimiser.Problem());
  ASSERT_EQ(table.inputs.size(), 1u);
  EXPECT_EQ(table.inputs[0].before, tk_->boxes[field::L]);
  ASSERT_FALSE(table.results.empty());
  EXPECT_EQ(table.results.back().caption, "结果可信性");
  EXPECT_EQ(table.results.back().before, "可信");
  // The winding's rise is limited by class B unless the window says otherwise.
  EXPECT_EQ(optimiser.Problem().check.insulation, studies::InsulationClass::B);
  EXPECT_EQ(table.results[table.results.size() - 2].caption, "绕组温升 TRISE (K)");
  EXPECT_EQ(table.results[table.results.size() - 2].before, "63.85");
  const std::vector<BestPoint> history = optimiser.History();
  ASSERT_FALSE(history.empty());
  // The chart runs on to the last evaluation, at the result's cost.
  EXPECT_EQ(history.back().evaluations, optimiser.Result()->evaluations);
  EXPECT_EQ(history.back().best, optimiser.Result()->best.cost);
  // The best design built many times over.
  ASSERT_TRUE(optimiser.Tolerance());
  EXPECT_EQ(optimiser.Tolerance()->samples.size(), studies::kAnswerToleranceSamples);

  const auto original = tk_->boxes;
  const BoxTextArray replaced = LoadIntoBoxes(*tk_, optimiser.Result()->design);
  EXPECT_EQ(replaced, original);
  EXPECT_EQ(tk_->boxes[field::L], table.inputs[0].after);
  EXPECT_EQ(tk_->boxes[field::TYPE], original[field::TYPE]);
  RestoreBoxes(*tk_, replaced);
  EXPECT_EQ(tk_->boxes, original);
}

// A front of the core length and the air gap, without class or rise limit.
OptimiseRequest FrontRequest(const char* points, std::uint64_t budget) {
  OptimiseRequest request;
  request.inputs = {{field::L, "130", "200", ""}, {field::G, "0.30", "0.35", ""}};
  request.check_class = false;
  request.insulation = std::nullopt;
  request.max_evaluations = budget;
  request.front = true;
  request.front_points = points;
  return request;
}

// A small front: cost rises with efficiency, the point clicked is chosen and
// its design, as the table lists it, goes into the boxes.
TEST_F(DesignToolsTest, FrontPointChosenLoadsIntoTheBoxes) {
  DesignOptimiser optimiser;
  optimiser.Start(BoxDesign(*tk_), FrontRequest("3", 150), {});
  optimiser.Wait();
  ASSERT_TRUE(optimiser.ParetoFront()) << optimiser.Error();
  const studies::Front& front = *optimiser.ParetoFront();
  EXPECT_EQ(optimiser.FrontSearchesDone(), 3);
  ASSERT_GE(front.points.size(), 2u);
  EXPECT_FALSE(optimiser.Answer());  // nothing chosen yet
  const FrontChart chart = MakeFrontChart(optimiser.Problem(), front, std::nullopt);
  ASSERT_EQ(chart.points.size(), front.points.size());
  for (std::size_t k = 1; k < chart.points.size(); ++k) {
    EXPECT_GT(chart.points[k].x, chart.points[k - 1].x) << k;
    EXPECT_GT(chart.points[k].y, chart.points[k - 1].y) << k;
  }
  EXPECT_EQ(chart.y_title, "有效材料成本 COST (元)");

  // A click a little off the second point chooses it.
  const ChartPoint near{chart.points[1].x + 0.01 * (chart.x.max - chart.x.min), chart.points[1].y};
  optimiser.SelectPoint(NearestPoint(chart, near.x, near.y));
  ASSERT_EQ(optimiser.SelectedPoint(), 1u);
  const OptimiseTable table = MakeFrontTable(optimiser.Problem(), front, 1);
  EXPECT_NE(table.status.find("前沿第2点"), std::string::npos) << table.status;
  ASSERT_EQ(table.inputs.size(), 2u);
  EXPECT_EQ(table.inputs[0].before, tk_->boxes[field::L]);
  EXPECT_EQ(table.results[0].before,
            MakeFrontTable(optimiser.Problem(), front, 0).results[0].before);

  const auto original = tk_->boxes;
  const BoxTextArray replaced = LoadIntoBoxes(*tk_, *optimiser.Answer());
  EXPECT_EQ(replaced, original);
  EXPECT_EQ(tk_->boxes,
            design::FieldTexts(studies::DesignWith(optimiser.Problem(), front.points[1].values)));
  EXPECT_EQ(tk_->boxes[field::L], table.inputs[0].after);
  EXPECT_EQ(tk_->boxes[field::G], table.inputs[1].after);
  optimiser.SelectPoint(front.points.size());  // off the front: none
  EXPECT_FALSE(optimiser.Answer());
}

TEST_F(DesignToolsTest, FrontRefusesABadNumberOfPointsAndCancels) {
  DesignOptimiser optimiser;
  for (const char* points : {"1", "51", "abc", "2.5", ""}) {
    try {
      optimiser.Start(BoxDesign(*tk_), FrontRequest(points, 150), {});
      ADD_FAILURE() << "started a front of " << points << " points";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find("前沿点数"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(optimiser.Running());
  }
  optimiser.Start(BoxDesign(*tk_), FrontRequest("50", 200000), {});
  optimiser.Cancel();
  optimiser.Wait();
  ASSERT_TRUE(optimiser.ParetoFront()) << optimiser.Error();
  EXPECT_EQ(optimiser.ParetoFront()->stop, studies::OptimiseResult::Stop::Cancelled);
  EXPECT_LT(optimiser.FrontSearchesDone(), 50);
}

// The limits of the rating either side of the front are drawn; a rating at
// 60 Hz has no classes and none.
TEST_F(DesignToolsTest, FrontChartDrawsTheClassLimitsOfTheRating) {
  studies::OptimiseProblem problem;
  problem.base = BoxDesign(*tk_);
  studies::Front front;
  for (double EFF : {0.897, 0.903, 0.908}) {
    front.points.push_back({{EFF}, {}});
    front.points.back().assessment.EFF = EFF;
    front.points.back().assessment.cost = 1000 * EFF;
  }
  FrontChart chart = MakeFrontChart(problem, front, 2);
  std::vector<std::string> captions;
  for (const FrontLimit& limit : chart.limits) {
    captions.push_back(limit.caption);
    EXPECT_TRUE(limit.x >= chart.x.min && limit.x <= chart.x.max) << limit.caption;
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"IE3 89.6%", "IE4 91.9%"}));
  EXPECT_EQ(chart.selected, 2u);
  EXPECT_EQ(chart.x_title, "效率 EFF (%)");

  tk_->boxes[field::f] = "60";
  problem.base = BoxDesign(*tk_);
  chart = MakeFrontChart(problem, front, std::nullopt);
  EXPECT_TRUE(chart.limits.empty());
  EXPECT_LE(chart.x.min, 89.7);
  EXPECT_GE(chart.x.max, 90.8);
}

// The temperature rise follows the last calculation: nothing before it, the
// network of each run after it, the user's class and cooling air, and the
// node and path tables as CSV.
TEST_F(DesignToolsTest, ThermalFollowsEachCalculation) {
  input_->THERMAL();
  ASSERT_TRUE(tk_->thermal.has_value());
  EXPECT_NE(tk_->thermal->status.find("尚未进行电磁计算"), std::string::npos);
  EXPECT_FALSE(tk_->thermal->drawn);
  ExportThermalCsv(*tk_, *tk_->thermal);
  ASSERT_EQ(tk_->messages.size(), 1u);
  EXPECT_TRUE(tk_->dialogs.empty());

  input_->SJSRCACULATE();
  const ThermalView first = *tk_->thermal;
  ASSERT_TRUE(first.drawn) << first.status;
  EXPECT_TRUE(first.trusted);
  EXPECT_EQ(first.design, "Y132S-4");
  EXPECT_EQ(first.section.D1, std::stod(tk_->boxes[field::D1]));  // drawn from the design
  EXPECT_EQ(first.section.frame.FRAME_OD, 270) << "the frame of centre height 132";
  EXPECT_EQ(first.nodes.size(), std::size_t(studies::kThermalNodes));
  EXPECT_EQ(first.paths.size(), std::size_t(studies::kThermalPaths));
  ASSERT_EQ(first.hot.size(), 4u);
  EXPECT_EQ(first.hot[0].values.size(), std::size(kHotHeadings));
  EXPECT_NE(first.limit.find("B级限值80 K"), std::string::npos) << first.limit;
  EXPECT_EQ(
      first.csv.rfind("table,name,caption,temperature,rise,loss,heat_flow,conductance\r\n", 0), 0u);
  EXPECT_EQ(std::count(first.csv.begin(), first.csv.end(), '\n'),
            1 + studies::kThermalNodes + studies::kThermalPaths);

  tk_->boxes[field::L] = "130";
  input_->BoxesChanged();
  EXPECT_NE(tk_->thermal->status.find("输入数据已改动"), std::string::npos);
  input_->SJSRCACULATE();  // a longer core: more surface for the same rating
  EXPECT_EQ(tk_->thermal->status.find("输入数据已改动"), std::string::npos);
  EXPECT_LT(tk_->thermal->thermal.winding_rise, first.thermal.winding_rise);

  session_.thermal = {studies::InsulationClass::F, 50.0};
  DesignTools(*tk_, session_).RefreshThermal();
  EXPECT_EQ(tk_->thermal->ambient, 50);
  EXPECT_EQ(tk_->thermal->thermal.rise_limit, 95) << "105 K less the air's 10 K above 40 °C";

  tk_->answers.push_back((folder_ / "rise").string());
  ExportThermalCsv(*tk_, *tk_->thermal);
  EXPECT_EQ(tk_->dialogs.back().file_name, "Y132S-4-温升计算.csv");
  EXPECT_EQ(design::ReadWholeFile((folder_ / "rise.csv").string()), tk_->thermal->csv);

  tk_->boxes[field::L] = "90";  // teeth off the steel curve
  input_->SJSRCACULATE();
  EXPECT_FALSE(tk_->thermal->trusted);
  EXPECT_NE(tk_->thermal->status.find("结果不可信"), std::string::npos) << tk_->thermal->status;
}

// Why there is no network: it cannot be built from the design, the thermal
// data file beside the program is wrong (named with its line), or the
// calculation failed.
TEST_F(DesignToolsTest, ThermalSaysWhyItHasNoNetwork) {
  input_->THERMAL();
  tk_->boxes[field::QMHW] = "-1";  // the report prints it; the slot's conduction needs it
  input_->SJSRCACULATE();
  ASSERT_TRUE(tk_->messages.empty()) << tk_->messages.front();
  EXPECT_FALSE(tk_->thermal->drawn);
  EXPECT_EQ(tk_->thermal->status.rfind("温升计算中断：不能建立热网络：", 0), 0u)
      << tk_->thermal->status;
  EXPECT_NE(tk_->thermal->status.find("QMHW"), std::string::npos);
  EXPECT_TRUE(tk_->thermal->csv.empty());

  tk_->boxes[field::QMHW] = "0.07";
  design::WriteFileAtomically((folder_ / studies::kThermalFileName).string(),
                              "AMBIENT=40\nK_CU=x\n");
  input_->SJSRCACULATE();
  EXPECT_FALSE(tk_->thermal->drawn);
  EXPECT_NE(tk_->thermal->status.find("热参数.dat第2行"), std::string::npos)
      << tk_->thermal->status;

  tk_->boxes[field::ZC] = "7";
  input_->SJSRCACULATE();
  EXPECT_NE(tk_->thermal->status.find("上次电磁计算未成功"), std::string::npos);
  EXPECT_FALSE(tk_->thermal->drawn);
}

// Whether `value` lies on the histogram's axis.
bool OnAxis(const ToleranceView::Histogram& h, double value) {
  return h.axis_low <= value && value <= h.axis_high;
}

// The tolerance analysis follows the last calculation: nothing before it;
// after it each histogram holds every sample the engine trusts, on an axis
// that shows the bins, the limits and the nominal value.
TEST_F(DesignToolsTest, ToleranceHistogramsHoldTheTrustedSamples) {
  session_.tolerance = {200, 1};
  input_->TOLERANCE();
  ASSERT_TRUE(tk_->tolerance.has_value());
  EXPECT_NE(tk_->tolerance->status.find("尚未进行电磁计算"), std::string::npos);
  EXPECT_FALSE(tk_->tolerance->drawn);
  EXPECT_TRUE(tk_->tolerance->histograms.empty());

  input_->SJSRCACULATE();
  const ToleranceView& view = *tk_->tolerance;
  ASSERT_TRUE(view.drawn) << view.status;
  EXPECT_NE(view.status.find("Y132S-4，200个样本（种子1）"), std::string::npos) << view.status;
  studies::ToleranceOptions options;
  options.samples = 200;
  const studies::ToleranceResult engine =
      studies::AnalyseTolerances(design::ToDesignInput(tk_->boxes), options);
  ASSERT_EQ(view.histograms.size(), std::size(kToleranceHistograms));
  for (const ToleranceView::Histogram& h : view.histograms) {
    const auto q =
        std::find(studies::kToleranceResults.begin(), studies::kToleranceResults.end(), h.name) -
        studies::kToleranceResults.begin();
    std::uint64_t binned = 0;
    for (std::uint64_t count : h.counts) binned += count;
    EXPECT_EQ(binned, engine.results[q].count) << h.name;
    EXPECT_GT(binned, 150u) << h.name;
    EXPECT_EQ(h.counts.size(), std::size_t(kHistogramBins));
    EXPECT_TRUE(OnAxis(h, h.low) && OnAxis(h, h.low + kHistogramBins * h.width)) << h.name;
    EXPECT_TRUE(OnAxis(h, h.nominal.value)) << h.name;
    ASSERT_FALSE(h.limits.empty()) << h.name << ": the example sets every target";
    for (const ToleranceView::Mark& limit : h.limits) EXPECT_TRUE(OnAxis(h, limit.value)) << h.name;
  }
  ASSERT_EQ(view.histograms[0].limits.size(), 2u) << "the guarantee and the class";
  EXPECT_EQ(view.histograms[0].limits[1].label.rfind("IE3 ≥ 0.", 0), 0u);
  EXPECT_EQ(view.yields.size(), std::size_t(studies::DesignCheck::kRuleCount + 3));
  EXPECT_EQ(view.rankings.size(), studies::kToleranceResultCount);
  EXPECT_EQ(
      view.rankings[0].values[0].rfind(
          std::string(studies::ToleranceInputs()[engine.results[0].ranking[0].input].name) + " ",
          0),
      0u);

  tk_->boxes[field::L] = "130";
  input_->BoxesChanged();
  EXPECT_NE(tk_->status[Window::TOLERANCE].find("输入数据已改动"), std::string::npos);
  EXPECT_EQ(tk_->tolerance->histograms[0].counts, view.histograms[0].counts) << "not analysed";
}

// A starting-current target no motor of the design keeps: the rule's yield
// is nought, its limit on the axis left of every bin.
TEST_F(DesignToolsTest, ToleranceOfADesignBeyondALimit) {
  session_.tolerance = {100, 1};
  input_->TOLERANCE();
  tk_->boxes[field::IST] = "3";  // a limit of 3.6 against about 7
  input_->SJSRCACULATE();
  const ToleranceView& view = *tk_->tolerance;
  ASSERT_TRUE(view.drawn) << view.status;
  const auto row =
      std::find_if(view.yields.begin(), view.yields.end(),
                   [](const ToleranceView::Row& r) { return r.caption.ends_with(" IST"); });
  ASSERT_NE(row, view.yields.end());
  EXPECT_EQ(row->values, (std::vector<std::string>{"是", "0/100", "0.0%"}));
  EXPECT_EQ(view.yields[studies::DesignCheck::kRuleCount].values[2], "0.0%") << "all together";
  const ToleranceView::Histogram& ist = view.histograms[2];
  ASSERT_EQ(ist.name, "Ist");
  ASSERT_EQ(ist.limits.size(), 1u);
  EXPECT_DOUBLE_EQ(ist.limits[0].value, 3.6);
  EXPECT_LT(ist.limits[0].value, ist.low);
  EXPECT_TRUE(OnAxis(ist, ist.limits[0].value));
}

// Motors all alike still fill one bin; the greatest value falls in the last.
TEST(ToleranceBinsTest, EveryValueInABin) {
  const std::vector<double> alike(5, 0.9);
  const ToleranceView::Histogram one = BinHistogram(alike, {0.9, ""}, {{0.95, ""}});
  EXPECT_EQ(one.Highest(), 5u);
  EXPECT_TRUE(OnAxis(one, 0.95) && OnAxis(one, 0.9));
  const std::vector<double> spread = {1, 2, 3, 4};
  const ToleranceView::Histogram four = BinHistogram(spread, {2.5, ""}, {});
  EXPECT_EQ(four.counts.front(), 1u);
  EXPECT_EQ(four.counts.back(), 1u);
  EXPECT_EQ(four.Highest(), 1u);
}

// 重新计算 takes the boxes of the window: a box without a whole number in
// its range is named and changes nothing.
TEST_F(DesignToolsTest, ToleranceRecalculationNamesAWrongBox) {
  session_.tolerance = {100, 1};
  input_->SJSRCACULATE();
  input_->TOLERANCE();
  DesignTools tools(*tk_, session_);
  tools.RecalculateTolerance("50", "1");
  tools.RecalculateTolerance("200", "-1");
  tools.RecalculateTolerance("2千", "1");
  ASSERT_EQ(tk_->messages.size(), 3u);
  EXPECT_EQ(tk_->messages[0], "“样本数”框应为100到100000的整数，现为“50”。");
  EXPECT_EQ(tk_->messages[1].rfind("“种子”框应为0到", 0), 0u) << tk_->messages[1];
  EXPECT_NE(tk_->messages[2].find("“样本数”框"), std::string::npos);
  EXPECT_EQ(session_.tolerance.samples, 100u);

  tools.RecalculateTolerance(" 150 ", "7");
  EXPECT_EQ(tk_->messages.size(), 3u);
  EXPECT_EQ(tk_->tolerance->choice.samples, 150u);
  EXPECT_NE(tk_->tolerance->status.find("150个样本（种子7）"), std::string::npos);
}

// Each box of the rating that holds no number, or a value the sizing
// refuses, is named; the budget only when the design is to be refined.
TEST(SchemeRequestTest, NamesTheBoxAtFault) {
  struct Case {
    std::string SchemeRequest::*box;
    const char* text;
    const char* named;
  };
  const Case kCases[] = {{&SchemeRequest::power, "abc", "“功率”框应为数，现为“abc”。"},
                         {&SchemeRequest::power, "500", "“功率”框：功率Pn应在0.55到90 kW"},
                         {&SchemeRequest::voltage, "", "“电压”框应为数"},
                         {&SchemeRequest::frequency, "0", "“频率”框：频率f应在"},
                         {&SchemeRequest::max_evaluations, "0", "“最多计算次数”框应为1到"}};
  for (const Case& c : kCases) {
    SchemeRequest request;
    request.power = "5.5";
    request.*c.box = c.text;
    studies::Rating rating;
    std::uint64_t budget = 0;
    const std::optional<std::string> wrong = ReadSchemeRequest(request, rating, budget);
    ASSERT_TRUE(wrong.has_value()) << c.text;
    EXPECT_EQ(wrong->rfind(c.named, 0), 0u) << *wrong;
  }
  SchemeRequest request;
  request.power = " 5.5 ";
  request.poles = 6;
  request.optimise = false;
  request.max_evaluations = "many";
  studies::Rating rating;
  std::uint64_t budget = 1;
  EXPECT_EQ(ReadSchemeRequest(request, rating, budget), std::nullopt);
  EXPECT_EQ(rating.Pn, 5.5);
  EXPECT_EQ(rating.P, 6);
  EXPECT_EQ(rating.Un, 380);
  EXPECT_EQ(budget, 0u);
}

// A new 5.5 kW four-pole motor: the steps, both designs side by side with
// every rule of the check; the refined design into the boxes and back.
TEST_F(DesignToolsTest, SchemeFillsBothColumnsAndLoadsIntoTheBoxes) {
  SchemeDesigner designer;
  SchemeRequest request;
  request.power = "5.5";
  request.max_evaluations = "60";
  ASSERT_EQ(designer.Start(request, folder_.string()), std::nullopt);
  EXPECT_EQ(designer.Start(request, folder_.string()), "正在设计，请等它结束或取消。");
  designer.Wait();
  ASSERT_TRUE(designer.Finished());
  ASSERT_TRUE(designer.Result().has_value()) << designer.Error();
  const SchemeView view = designer.View();
  EXPECT_FALSE(view.steps.empty());
  ASSERT_FALSE(view.inputs.empty());
  for (const SchemeView::Row& row : view.inputs) {
    EXPECT_FALSE(row.before.empty()) << row.caption;
    EXPECT_NE(row.after, "—") << row.caption;
  }
  ASSERT_EQ(view.rules.size(), static_cast<std::size_t>(studies::DesignCheck::kRuleCount));
  EXPECT_EQ(view.rules[0].caption.rfind("效率", 0), 0u) << view.rules[0].caption;
  EXPECT_EQ(view.results.back().caption, "结果可信性");
  EXPECT_EQ(view.results.front().caption, QuantityTitle("COST"));

  const auto original = tk_->boxes;
  designer.Load(*tk_);
  EXPECT_EQ(tk_->boxes, design::FieldTexts(designer.Result()->design));
  EXPECT_TRUE(designer.CanRestore());
  designer.Load(*tk_);  // a second load keeps the texts of the first
  designer.Restore(*tk_);
  EXPECT_EQ(tk_->boxes, original);
  EXPECT_FALSE(designer.CanRestore());
}

// Not refined: the second column is empty and 载入设计 loads the sized design.
TEST_F(DesignToolsTest, SchemeWithoutRefinementLoadsTheSizedDesign) {
  SchemeDesigner designer;
  SchemeRequest request;
  request.power = "5.5";
  request.optimise = false;
  ASSERT_EQ(designer.Start(request, folder_.string()), std::nullopt);
  designer.Wait();
  ASSERT_TRUE(designer.Finished() && designer.Result()) << designer.Error();
  EXPECT_FALSE(designer.Result()->refined.has_value());
  const SchemeView view = designer.View();
  for (const auto* rows : {&view.inputs, &view.results, &view.rules})
    for (const SchemeView::Row& row : *rows) EXPECT_EQ(row.after, "—") << row.caption;
  designer.Load(*tk_);
  EXPECT_EQ(tk_->boxes, design::FieldTexts(designer.Result()->sized.design));
}

}  // namespace
}  // namespace velmora::ui
