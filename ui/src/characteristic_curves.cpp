#include "velmora/ui/characteristic_curves.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "velmora/calc/calculation.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"
#include "velmora/report/characteristics_output.h"
#include "velmora/ui/design_tools.h"

namespace velmora::ui {

namespace {

using Status = LastCalculation::Status;

using design::FixedText;

CurvesView::Row MarkRow(const char* caption, const std::optional<calc::SpeedPoint>& p) {
  if (!p) return {caption, {"无"}};
  if (p->fault) return {caption, {p->fault->message}};
  return {caption,
          {FixedText(p->s, 5), FixedText(p->N, 1), FixedText(p->T, 4), FixedText(p->I1, 3),
           FixedText(p->I_ratio, 4)}};
}

CurvesView::Row LoadRow(const std::vector<calc::LoadPoint>& points, double k) {
  const std::string caption = FixedText(100 * k, 0) + "%";
  for (const calc::LoadPoint& p : points) {
    if (std::fabs(p.k - k) > 1e-9) continue;
    if (p.fault) return {caption, {p.fault->message}};
    return {caption,
            {FixedText(p.EFF, 4), FixedText(p.PF, 4), FixedText(p.I1, 3), FixedText(p.SN, 4)}};
  }
  return {caption, {"无"}};
}

}  // namespace

CurvesView MakeCurvesView(const LastCalculation& last) {
  CurvesView view;
  if (last.status != Status::NeverRun) view.design = DesignName(last.input);
  calc::CalculationState rated;
  if (std::optional<std::string> none = RepeatLastRun(last, "特性曲线", "特性曲线", rated)) {
    view.status = *none;
    return view;
  }
  view.status = "上次电磁计算的特性曲线：" + view.design;
  if (!calc::AssessValidity(rated).Trustworthy())
    view.status += "。警告：这次计算的结果不可信（见设计校核），曲线不能作为设计依据";
  view.drawn = true;
  view.curves.load = calc::PartLoadPerformance(last.input, rated, calc::LoadRange{});
  view.curves.speed = calc::TorqueSpeedCurve(rated);
  view.rated_current = rated.I1.value;
  const calc::SpeedCurve& speed = view.curves.speed;
  view.marks = {MarkRow("起动", speed.starting), MarkRow("最小转矩", speed.pull_up),
                MarkRow("最大转矩", speed.breakdown), MarkRow("额定", speed.rated)};
  for (double k : kTableLoads) view.loads.push_back(LoadRow(view.curves.load, k));
  view.csv = report::CharacteristicsCsv(view.curves);
  for (const std::string& note : report::BreakdownNotes(speed, rated.TMAX1.value))
    view.breakdown_note += (view.breakdown_note.empty() ? "" : "\n") + note;
  return view;
}

void ExportCurvesCsv(Toolkit& toolkit, const CurvesView& view) {
  if (view.csv.empty()) {
    toolkit.ShowMessage("还没有特性曲线，请先进行电磁计算。");
    return;
  }
  ExportCsv(toolkit, Window::CURVES, view.design, view.csv);
}

}  // namespace velmora::ui
