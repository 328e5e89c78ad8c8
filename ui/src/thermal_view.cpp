#include "velmora/ui/thermal_view.h"

#include <tuple>

#include "velmora/calc/calculation.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"
#include "velmora/report/thermal_output.h"
#include "velmora/studies/thermal_data.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/quantity_names.h"

namespace velmora::ui {

namespace {

using Status = LastCalculation::Status;
using design::FixedText;
using studies::ThermalNode;
using Rows = std::vector<ThermalView::Row>;

Rows NodeRows(const studies::ThermalResult& r) {
  Rows rows;
  for (int n = 0; n < studies::kThermalNodes; ++n) {
    const auto node = ThermalNode(n);
    rows.push_back({std::string(report::ThermalNodeCaption(node)),
                    {FixedText(r.Temperature(node), 1), FixedText(r.Rise(node), 1),
                     FixedText(r.network.loss[n], 1)}});
  }
  return rows;
}

Rows PathRows(const studies::ThermalResult& r) {
  Rows rows;
  for (int p = 0; p < studies::kThermalPaths; ++p) {
    rows.push_back(
        {report::ThermalPathCaption(studies::ThermalPath(p)),
         {FixedText(r.solution.flow[p], 1), design::SignificantText(r.network.G[p], 4)}});
  }
  return rows;
}

// The run's EFF, PF, SN and I1 beside the hot run's; the hot column empty
// when the hot run stopped.
Rows HotRows(const calc::CalculationState& run, const studies::HotPerformance& hot) {
  const std::tuple<const char*, double, double, int> rows[] = {{"EFF", run.EFF, hot.EFF, 4},
                                                               {"PF", run.PF, hot.PF, 4},
                                                               {"SN", run.SN, hot.SN, 4},
                                                               {"I1", run.I1, hot.I1, 2}};
  Rows out;
  for (auto [key, cold, warm, decimals] : rows) {
    out.push_back(
        {QuantityTitle(key), {FixedText(cold, decimals), hot.ok ? FixedText(warm, decimals) : ""}});
  }
  return out;
}

std::string HotNote(const studies::ThermalResult& r, const studies::HotPerformance& hot) {
  if (!hot.ok) return "热态重算中断：" + hot.fault.message;
  return "热态：电阻率Lo1 " + design::SignificantText(hot.Lo1, 5) + "、Lo2 " +
         design::SignificantText(hot.Lo2, 5) + "，即绕组平均" +
         FixedText(r.ambient + r.winding_rise, 1) + " °C、转子" +
         FixedText(r.Temperature(ThermalNode::Rotor), 1) + " °C时的值";
}

std::string WithoutLastNewline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The tables and texts of a solved network.
void Fill(ThermalView& view, const calc::CalculationState& run, const design::DesignInput& input) {
  const studies::ThermalResult& r = view.thermal;
  view.drawn = true;
  view.nodes = NodeRows(r);
  view.paths = PathRows(r);
  view.limit = WithoutLastNewline(report::ThermalWindingText(r));
  view.over_limit = !r.WithinLimit();
  const studies::HotPerformance hot = studies::HotRun(input, r);
  view.hot = HotRows(run, hot);
  view.hot_note = HotNote(r, hot);
  view.locked_rotor = WithoutLastNewline(report::ThermalLockedRotorText(r));
  view.csv = report::ThermalCsv(r);
}

// The status of a network solved with the data of `file` (empty: the built-in data).
std::string SolvedStatus(const ThermalView& view, const std::string& file) {
  std::string status = "上次电磁计算的温升：" + view.design + "（全封闭自扇冷IC411，S1工作制，" +
                       (file.empty() ? std::string("内置热参数") : "热参数取自" + file) + "）";
  if (!view.trusted) status += "。警告：这次计算的结果不可信（见设计校核），温升不能作为设计依据";
  return status;
}

// The network of a run that succeeded; the status says why when it is not solved.
void Solve(ThermalView& view, const calc::CalculationState& run, const design::DesignInput& input,
           const ThermalChoice& choice, const std::string& folder) {
  std::string file;
  studies::ThermalData data;
  try {
    data = studies::ReadThermalDataOrDefault(folder, file);
  } catch (const studies::ThermalDataError& error) {
    view.status = std::string("没有计算温升：") + error.what();
    return;
  }
  data.AMBIENT = view.ambient = choice.ambient.value_or(data.AMBIENT);
  view.thermal = studies::ThermalOf(run, data, {choice.insulation});
  if (!view.thermal.ok()) {
    view.status = "温升计算中断：" + view.thermal.fault;
    return;
  }
  view.section = studies::SectionOf(run, data);
  view.trusted = calc::AssessValidity(run).Trustworthy();
  view.status = SolvedStatus(view, file);
  Fill(view, run, input);
}

}  // namespace

AmbientRange ThermalAmbientRange() {
  for (const studies::ThermalDataEntry& entry : studies::ThermalDataTable())
    if (entry.name == "AMBIENT") return {entry.min, entry.max};
  return {};
}

ThermalView MakeThermalView(const LastCalculation& last, const ThermalChoice& choice,
                            const std::string& folder) {
  ThermalView view;
  view.insulation = choice.insulation;
  view.ambient = choice.ambient.value_or(studies::ThermalData{}.AMBIENT);
  if (last.status != Status::NeverRun) view.design = DesignName(last.input);
  calc::CalculationState run;
  if (std::optional<std::string> none = RepeatLastRun(last, "温升计算", "温升结果", run)) {
    view.status = *none;
    return view;
  }
  Solve(view, run, last.input, choice, folder);
  return view;
}

void ExportThermalCsv(Toolkit& toolkit, const ThermalView& view) {
  if (view.csv.empty()) {
    toolkit.ShowMessage("还没有温升结果，请先进行电磁计算。");
    return;
  }
  ExportCsv(toolkit, Window::THERMAL, view.design, view.csv);
}

}  // namespace velmora::ui
