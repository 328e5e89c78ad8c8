#include "velmora/ui/sweep_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iterator>
#include <limits>
#include <numeric>
#include <optional>
#include <string_view>
#include <utility>

#include "velmora/design/files.h"
#include "velmora/report/sweep_csv.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/sweep.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

constexpr FileDialogKind kSaveCsvDialog{DialogMode::Save, "导出CSV", "参数扫描.csv",
                                        "CSV文件[*.csv]|*.csv", "csv"};

// The series' colours, told apart on white; with the six marker shapes no
// two of the first 30 series look alike.
constexpr std::uint32_t kPalette[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                      0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x7f7f7f};
static_assert(std::lcm(std::size(kPalette), std::size_t{kMarkerShapes}) >= kMaxChartCurves);

// One of the range boxes of the window, read as a number; `which` names the
// input the box belongs to, "" for the first.
double RangeValue(const std::string& text, const char* which, const char* box) {
  const std::optional<double> value = design::ParseNumber(text);
  if (!value || !std::isfinite(*value)) {
    throw studies::SweepError(ErrorCode::NotANumber,
                              std::string(which) + "“" + box + "”框不是数字。");
  }
  return *value;
}

std::vector<std::string> ChosenResults(const SweepRequest& request) {
  std::vector<std::string> chosen;
  for (const std::string& name : request.results) {
    if (!name.empty()) chosen.push_back(name);
  }
  if (chosen.empty()) throw studies::SweepError(ErrorCode::ResultsChosen, "请至少选择一个结果。");
  if (chosen.size() > 3) throw studies::SweepError(ErrorCode::ResultsChosen, "最多选择三个结果。");
  if (request.second && chosen.size() > 1) {
    throw studies::SweepError(ErrorCode::ResultsChosen,
                              "有第二输入时每条曲线是它的一个取值，只能选择一个结果。");
  }
  return chosen;
}

studies::SweepAxis ChartAxis(const SweepInputText& input, const char* which) {
  if (input.field <= design::field::TYPE || input.field >= design::kFieldCount) {
    throw studies::SweepError(ErrorCode::TextInput,
                              std::string(which) + "型号不是数值，不能扫描，请选择其他输入。");
  }
  return studies::SweepAxis::Range(input.field, RangeValue(input.from, which, "起点"),
                                   RangeValue(input.to, which, "终点"),
                                   RangeValue(input.step, which, "步长"));
}

// The second input's values, one curve each.
studies::SweepAxis CurveAxis(const SweepRequest& request) {
  if (request.second->field == request.input.field) {
    throw studies::SweepError(ErrorCode::InputTwice, "第二输入不能与扫描输入相同，请另选。");
  }
  studies::SweepAxis axis = ChartAxis(*request.second, "第二输入的");
  if (axis.size() > kMaxChartCurves) {
    throw studies::SweepError(ErrorCode::TooMany, "第二输入取值" + std::to_string(axis.size()) +
                                                      "个过多，最多" +
                                                      std::to_string(kMaxChartCurves) +
                                                      "个（每个值一条曲线），请加大它的步长。");
  }
  return axis;
}

// The first input along x, then the second, varied fastest, so the points
// of one x value lie together in the CSV.
studies::SweepGrid ChartGrid(const design::DesignInput& base, const SweepRequest& request) {
  std::vector<studies::SweepAxis> axes = {ChartAxis(request.input, "")};
  if (request.second) axes.push_back(CurveAxis(request));
  studies::SweepGrid grid(std::move(axes));
  studies::CheckSweepSelectors(base, grid);
  if (grid.size() > kMaxChartPoints) {
    throw studies::SweepError(ErrorCode::TooMany,
                              "点数" + std::to_string(grid.size()) + "过多，最多" +
                                  std::to_string(kMaxChartPoints) + "点，请加大步长。");
  }
  return grid;
}

// "L=115": an input at one value, to six digits.
std::string Assignment(int field, double value) {
  return std::string(design::kFieldInfo[field].name) + "=" + design::SignificantText(value);
}

// "G=0.3，L=115": the inputs of point `k`.
std::string PointName(const SweepCurves& curves, std::uint64_t k) {
  std::string name = Assignment(curves.input, curves.x[k]);
  if (curves.second) name += "，" + Assignment(*curves.second, curves.levels[curves.level[k]]);
  return name;
}

// The first faulted point of the first `count`, as the status names it.
std::string FirstFault(const std::vector<std::string>& faults, const SweepCurves& curves,
                       std::uint64_t count) {
  for (std::uint64_t k = 0; k < count; ++k) {
    if (!faults[k].empty()) return PointName(curves, k) + "：" + faults[k];
  }
  return "";
}

// Result `result` at the points `belongs` picks, trusted and untrusted apart.
template <class Picks>
SweepSeries SeriesOf(const SweepCurves& curves, std::size_t result, std::string label,
                     Picks belongs) {
  SweepSeries series;
  series.label = std::move(label);
  series.result = result;
  for (std::size_t k = 0; k < curves.x.size(); ++k) {
    const double y = curves.y[result][k];
    if (std::isnan(y) || !belongs(k)) continue;
    (curves.untrusted[k] ? series.hollow : series.trusted).push_back({curves.x[k], y});
  }
  return series;
}

}  // namespace

std::vector<SweepSeries> ChartSeries(const SweepCurves& curves) {
  std::vector<SweepSeries> series;
  if (!curves.second) {
    for (std::size_t i = 0; i < curves.names.size(); ++i) {
      series.push_back(
          SeriesOf(curves, i, QuantityLabel(curves.names[i]), [](std::size_t) { return true; }));
    }
  }
  for (std::size_t j = 0; curves.second && j < curves.levels.size(); ++j) {
    series.push_back(SeriesOf(curves, 0, Assignment(*curves.second, curves.levels[j]),
                              [&](std::size_t k) { return curves.level[k] == j; }));
  }
  for (std::size_t k = 0; k < series.size(); ++k) {
    series[k].shape = static_cast<MarkerShape>(k % kMarkerShapes);
    series[k].colour = kPalette[k % std::size(kPalette)];
  }
  return series;
}

SweepChart::~SweepChart() {
  Cancel();
  Wait();
}

void SweepChart::Start(const SweepRequest& request) {
  if (Running()) throw studies::SweepError(ErrorCode::Busy, "扫描正在进行。");
  std::vector<std::string> names = ChosenResults(request);
  studies::SweepGrid grid = ChartGrid(base_, request);
  const std::vector<std::string_view> columns(names.begin(), names.end());
  report::SweepCsv csv(grid, columns, prices_);

  Prepare(grid, std::move(names));
  curves_.csv = csv.Header();
  error_.clear();
  done_ = 0;
  cancel_ = false;
  ended_ = false;
  worker_ = std::thread(&SweepChart::Work, this, base_, std::move(grid), std::move(csv), prices_,
                        thermal_);
}

// Every point known but its x and results: the second input's value of a
// point follows from its place in the grid.
void SweepChart::Prepare(const studies::SweepGrid& grid, std::vector<std::string> names) {
  total_ = grid.size();
  curves_ = SweepCurves{};
  curves_.names = std::move(names);
  curves_.design = DesignName(base_);
  curves_.input = grid.axes()[0].field();
  curves_.x.assign(total_, std::numeric_limits<double>::quiet_NaN());
  curves_.y.assign(curves_.names.size(), curves_.x);
  curves_.untrusted.assign(total_, 0);
  if (grid.axes().size() < 2) return;
  const studies::SweepAxis& second = grid.axes()[1];
  curves_.second = second.field();
  for (std::uint64_t j = 0; j < second.size(); ++j) curves_.levels.push_back(second[j]);
  curves_.level.resize(total_);
  for (std::uint64_t k = 0; k < total_; ++k) curves_.level[k] = k % second.size();
}

// Each row is a point of its own, so the workers never share an element.
void SweepChart::Work(design::DesignInput base, studies::SweepGrid&& grid, report::SweepCsv&& csv,
                      design::MaterialPrices prices, studies::ThermalData thermal) {
  std::vector<std::string> faults(total_);
  const studies::SweepFormatter format = [&](const studies::SweepRow& row, std::string& block) {
    csv.AppendRow(row, block);
    curves_.x[row.index] = row.varied[0];
    if (!row.ok) faults[row.index] = row.fault.message.empty() ? "故障" : row.fault.message;
    curves_.untrusted[row.index] = row.ok && !row.check.Trustworthy();
    if (row.ok) Record(row, prices);
  };
  const studies::SweepWriter write = [&](std::string_view block) { curves_.csv += block; };
  studies::SweepOptions options;
  options.check.thermal = thermal;
  options.progress = [this](std::uint64_t done) { done_ = done; };
  options.cancel = &cancel_;
  std::uint64_t written = 0;
  try {
    written = studies::RunSweep(base, grid, options, format, write);
  } catch (const std::exception& error) {
    error_ = error.what();
  }
  Finish(written, faults);
}

void SweepChart::Record(const studies::SweepRow& row, const design::MaterialPrices& prices) {
  for (std::size_t i = 0; i < curves_.names.size(); ++i) {
    if (curves_.names[i] == "COST") {
      curves_.y[i][row.index] = studies::CostOf(row.state, prices).total;
      continue;
    }
    if (curves_.names[i] == "TRISE") {  // not a number where the network fails
      curves_.y[i][row.index] = row.check.lines[studies::DesignCheck::kRiseRule].value;
      continue;
    }
    const std::optional<calc::QuantityView> value = calc::FindQuantity(row.state, curves_.names[i]);
    if (value && value->set) curves_.y[i][row.index] = value->value;
  }
}

// The curves cut to the points written, the faults counted.
void SweepChart::Finish(std::uint64_t written, const std::vector<std::string>& faults) {
  curves_.x.resize(written);
  if (!curves_.level.empty()) curves_.level.resize(written);
  for (std::vector<double>& curve : curves_.y) curve.resize(written);
  curves_.untrusted.resize(written);
  for (std::uint64_t k = 0; k < written; ++k) {
    curves_.faulted += !faults[k].empty();
    curves_.untrusted_count += curves_.untrusted[k];
  }
  curves_.first_fault = FirstFault(faults, curves_, written);
  curves_.cancelled = written < total_;
  done_ = written;
  ended_ = true;
}

void SweepChart::Cancel() { cancel_ = true; }

void SweepChart::Wait() {
  if (worker_.joinable()) worker_.join();
}

bool SweepChart::Finished() {
  if (ended_) Wait();
  return !Running();
}

void SweepChart::ExportCsv(Toolkit& toolkit) const {
  if (curves_.csv.empty()) {
    toolkit.ShowMessage("还没有扫描结果，请先计算。");
    return;
  }
  RunFileCommand(
      toolkit,
      ChooseFile(toolkit, kSaveCsvDialog, ExportFileName(curves_.design, Window::SWEEP, "csv")),
      [this](const std::string& path) { design::WriteFileAtomically(path, curves_.csv); }, true);
}

}  // namespace velmora::ui
