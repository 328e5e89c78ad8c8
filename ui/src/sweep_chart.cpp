#include "velmora/ui/sweep_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "velmora/design/files.h"
#include "velmora/report/sweep_csv.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/sweep.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

constexpr FileDialogKind kSaveCsvDialog{DialogMode::Save, "导出CSV", "参数扫描.csv",
                                        "CSV文件[*.csv]|*.csv", "csv"};

// One of the range boxes of the window, read as a number.
double RangeValue(const std::string& text, const char* box) {
  const std::optional<double> value = design::ParseNumber(text);
  if (!value || !std::isfinite(*value)) {
    throw studies::SweepError(ErrorCode::NotANumber, std::string("“") + box + "”框不是数字。");
  }
  return *value;
}

std::vector<std::string> ChosenResults(const std::vector<std::string>& results) {
  std::vector<std::string> chosen;
  for (const std::string& name : results) {
    if (!name.empty()) chosen.push_back(name);
  }
  if (chosen.empty()) throw studies::SweepError(ErrorCode::ResultsChosen, "请至少选择一个结果。");
  if (chosen.size() > 3) throw studies::SweepError(ErrorCode::ResultsChosen, "最多选择三个结果。");
  return chosen;
}

studies::SweepGrid ChartGrid(const design::DesignInput& base, const SweepRequest& request) {
  if (request.field <= design::field::TYPE || request.field >= design::kFieldCount) {
    throw studies::SweepError(ErrorCode::TextInput, "型号不是数值，不能扫描，请选择其他输入。");
  }
  studies::SweepGrid grid({studies::SweepAxis::Range(
      request.field, RangeValue(request.from, "起点"), RangeValue(request.to, "终点"),
      RangeValue(request.step, "步长"))});
  studies::CheckSweepSelectors(base, grid);
  if (grid.size() > kMaxChartPoints) {
    throw studies::SweepError(ErrorCode::TooMany,
                              "点数" + std::to_string(grid.size()) + "过多，最多" +
                                  std::to_string(kMaxChartPoints) + "点，请加大步长。");
  }
  return grid;
}

// The first faulted point of the first `count`, as the status names it.
std::string FirstFault(const std::vector<std::string>& faults, const std::vector<double>& x,
                       int field, std::uint64_t count) {
  for (std::uint64_t k = 0; k < count; ++k) {
    if (faults[k].empty()) continue;
    return std::string(design::kFieldInfo[field].name) + "=" + design::ShortestText(x[k]) + "：" +
           faults[k];
  }
  return "";
}

}  // namespace

SweepChart::~SweepChart() {
  Cancel();
  Wait();
}

void SweepChart::Start(const SweepRequest& request) {
  if (Running()) throw studies::SweepError(ErrorCode::Busy, "扫描正在进行。");
  std::vector<std::string> names = ChosenResults(request.results);
  studies::SweepGrid grid = ChartGrid(base_, request);
  const std::vector<std::string_view> columns(names.begin(), names.end());
  report::SweepCsv csv(grid, columns, prices_);

  total_ = grid.size();
  curves_ = SweepCurves{};
  curves_.names = names;
  curves_.design = DesignName(base_);
  curves_.x.assign(total_, std::numeric_limits<double>::quiet_NaN());
  curves_.y.assign(names.size(), curves_.x);
  curves_.untrusted.assign(total_, 0);
  curves_.csv = csv.Header();
  error_.clear();
  done_ = 0;
  cancel_ = false;
  ended_ = false;
  worker_ = std::thread(&SweepChart::Work, this, base_, std::move(grid), std::move(csv), prices_,
                        request.field);
}

// Each row is a point of its own, so the workers never share an element.
void SweepChart::Work(design::DesignInput base, studies::SweepGrid&& grid, report::SweepCsv&& csv,
                      design::MaterialPrices prices, int field) {
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
  options.progress = [this](std::uint64_t done) { done_ = done; };
  options.cancel = &cancel_;
  std::uint64_t written = 0;
  try {
    written = studies::RunSweep(base, grid, options, format, write);
  } catch (const std::exception& error) {
    error_ = error.what();
  }
  Finish(written, faults, field);
}

void SweepChart::Record(const studies::SweepRow& row, const design::MaterialPrices& prices) {
  for (std::size_t i = 0; i < curves_.names.size(); ++i) {
    if (curves_.names[i] == "COST") {
      curves_.y[i][row.index] = studies::CostOf(row.state, prices).total;
      continue;
    }
    const std::optional<calc::QuantityView> value = calc::FindQuantity(row.state, curves_.names[i]);
    if (value && value->set) curves_.y[i][row.index] = value->value;
  }
}

// The curves cut to the points written, the faults counted.
void SweepChart::Finish(std::uint64_t written, const std::vector<std::string>& faults, int field) {
  curves_.x.resize(written);
  for (std::vector<double>& curve : curves_.y) curve.resize(written);
  curves_.untrusted.resize(written);
  for (std::uint64_t k = 0; k < written; ++k) {
    curves_.faulted += !faults[k].empty();
    curves_.untrusted_count += curves_.untrusted[k];
  }
  curves_.first_fault = FirstFault(faults, curves_.x, field, written);
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
