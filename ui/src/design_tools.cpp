#include "velmora/ui/design_tools.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "velmora/calc/calculation.h"
#include "velmora/design/files.h"
#include "velmora/design/material_prices.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/slot_geometry.h"
#include "velmora/ui/characteristic_curves.h"
#include "velmora/ui/thermal_view.h"
#include "velmora/ui/tolerance_view.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

using Status = LastCalculation::Status;
using Outcome = studies::CheckLine::Outcome;

constexpr FileDialogKind kSavePictureDialog{DialogMode::Save, "导出PNG", "设计工具.png",
                                            "PNG图片[*.png]|*.png", "png"};
constexpr FileDialogKind kSaveCsvDialog{DialogMode::Save, "导出CSV", "设计工具.csv",
                                        "CSV文件[*.csv]|*.csv", "csv"};
constexpr const char* kChangedNote = "（输入数据已改动，尚未重新进行电磁计算。）";
constexpr const char* kOlderReportNote = "上次电磁计算未能完成，报告文件仍是更早一次计算的结果。";

using report::ShortNumber;

}  // namespace

CheckTable::Rule RuleRow(const studies::CheckLine& line) {
  CheckTable::Rule rule;
  rule.caption = std::string(line.caption);
  rule.computed = report::CheckValueText(line);
  rule.failed = line.outcome == Outcome::Fail || line.outcome == Outcome::Untrusted;
  if (line.outcome != Outcome::NotChecked) rule.target = ShortNumber(line.target);
  rule.limit = report::CheckLimitText(line);
  rule.unit = report::CheckUnit(line);
  rule.verdict = report::CheckVerdict(line);
  return rule;
}

std::optional<std::string> SlotNote(const studies::SlotRefusal& refusal) {
  using Why = studies::SlotRefusal::Why;
  if (refusal.why == Why::None) return std::nullopt;
  const std::string box = std::string("“") + design::kFieldInfo[refusal.field].caption + "”框";
  switch (refusal.why) {
    case Why::Empty:
      return box + "为空，画不出槽形。";
    case Why::NotNumber:
      return box + "不是数字，画不出槽形。";
    case Why::Negative:
      return box + "的值不能为负，画不出槽形。";
    case Why::NotPositive:
      return box + "的值必须大于0，画不出槽形。";
    case Why::NotSlotShape:
      return box + "应为1、2、3或4，画不出转子槽形。";
    case Why::GapTooWide:
      return box + "的值不小于定子内径的一半，画不出转子槽形。";
    case Why::None:
      break;
  }
  return std::nullopt;
}

const char* ToolTitle(Window window) {
  switch (window) {
    case Window::SLOTS:
      return "槽形图";
    case Window::CHECK:
      return "设计校核";
    case Window::SWEEP:
      return "参数扫描";
    case Window::CURVES:
      return "特性曲线";
    case Window::OPTIMISE:
      return "优化设计";
    case Window::THERMAL:
      return "温升计算";
    case Window::TOLERANCE:
      return "公差分析";
    case Window::SCHEME:
      return "方案设计";
    default:
      return "";
  }
}

std::string DesignName(const design::DesignInput& design) {
  const std::string& model = design[design::field::TYPE].text;
  const std::size_t first = model.find_first_not_of(" \t");
  if (first == std::string::npos) return "未命名";
  return model.substr(first, model.find_last_not_of(" \t") + 1 - first);
}

std::string ExportFileName(const std::string& design, Window window, const char* extension) {
  std::string name = design + "-" + ToolTitle(window) + "." + extension;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
      c = '_';
  }
  return name;
}

studies::CheckOptions WithThermalData(studies::CheckOptions asked, const std::string& folder,
                                      std::string& why) {
  if (folder.empty()) return asked;
  try {
    std::string file;
    asked.thermal = studies::ReadThermalDataOrDefault(folder, file);
  } catch (const studies::ThermalDataError& error) {
    asked.insulation = std::nullopt;
    why = std::string("没有校核温升：") + error.what();
  }
  return asked;
}

// The class reached, the temperature rise (or `thermal_error`) and what the
// active material costs.
std::vector<std::string> ClassAndCost(const studies::DesignCheck& check,
                                      const calc::CalculationState& state,
                                      const studies::CheckOptions& asked, const std::string& folder,
                                      const std::string& thermal_error) {
  std::vector<std::string> lines = report::ClassLines(check.efficiency_class, !asked.required_class,
                                                      check.efficiency_trusted, asked.check_class);
  std::vector<std::string> rise = report::CheckRiseLines(check);
  if (!thermal_error.empty()) rise = {thermal_error};
  lines.insert(lines.end(), rise.begin(), rise.end());
  try {
    const design::MaterialPrices prices =
        folder.empty() ? design::MaterialPrices{} : design::ReadPricesOrShipped(folder);
    for (std::string& line : report::CostLines(studies::CostOf(state, prices), prices))
      lines.push_back(std::move(line));
  } catch (const design::PriceFileError& error) {
    lines.push_back(std::string("没有计算材料成本：") + error.what());
  }
  return lines;
}

std::optional<std::string> RepeatLastRun(const LastCalculation& last, const char* window,
                                         const char* what, calc::CalculationState& run) {
  if (last.status == Status::NeverRun)
    return std::string("尚未进行电磁计算。请在输入窗口选择“电磁计算”，再看") + window + "。";
  calc::CalculationFault fault;
  if (last.status == Status::Failed || !calc::Calculate(last.input, run, fault)) {
    return std::string("上次电磁计算未成功，没有") + what + "：" +
           (last.status == Status::Failed ? last.message : fault.message);
  }
  return std::nullopt;
}

CheckTable MakeCheckTable(const LastCalculation& last, const studies::CheckOptions& asked,
                          const std::string& folder) {
  CheckTable table;
  if (last.status != Status::NeverRun) table.design = DesignName(last.input);
  calc::CalculationState state;
  if (std::optional<std::string> none = RepeatLastRun(last, "设计校核", "可校核的结果", state)) {
    table.status = *none;
    return table;
  }
  table.status = "上次电磁计算的设计校核：" + last.input[design::field::TYPE].text;
  calc::Validity validity = calc::AssessValidity(state);
  std::string thermal_error;
  const studies::CheckOptions options = WithThermalData(asked, folder, thermal_error);
  const studies::DesignCheck check = studies::CheckDesign(last.input, state, validity, options);
  for (const studies::CheckLine& line : check.lines) table.rules.push_back(RuleRow(line));
  table.class_and_cost = ClassAndCost(check, state, asked, folder, thermal_error);
  for (const calc::ValidityNote& note : validity.notes()) {
    table.notes.push_back({(note.Untrustworthy() ? "警告：" : "提示：") + report::NoteText(note),
                           note.Untrustworthy()});
  }
  // A run the engine cannot vouch for marks every result it shows.
  const std::string mark = validity.Trustworthy() ? "" : "（不可信）";
  for (const char* name : kCheckResults) {
    const std::optional<calc::QuantityView> value = calc::FindQuantity(state, name);
    table.results.push_back({name, value && value->set ? ShortNumber(value->value) + mark : ""});
  }
  return table;
}

DesignTools::DesignTools(Toolkit& toolkit, Session& session)
    : toolkit_(toolkit), session_(session) {}

void DesignTools::SLOTS() {
  toolkit_.ShowWindow(Window::SLOTS);
  RefreshSlots();
}

void DesignTools::CHECK() {
  toolkit_.ShowWindow(Window::CHECK);
  RefreshCheck();
}

void DesignTools::SWEEP() {
  toolkit_.ShowWindow(Window::SWEEP);
  toolkit_.SetSweepBase(BoxDesign(toolkit_));
}

void DesignTools::CURVES() {
  toolkit_.ShowWindow(Window::CURVES);
  RefreshCurves();
}

void DesignTools::THERMAL() {
  toolkit_.ShowWindow(Window::THERMAL);
  RefreshThermal();
}

void DesignTools::TOLERANCE() {
  toolkit_.ShowWindow(Window::TOLERANCE);
  RefreshTolerance();
}

// The search starts from the boxes as they are when it starts.
void DesignTools::OPTIMISE() { toolkit_.ShowWindow(Window::OPTIMISE); }

// A new design needs only its rating: the boxes are not read.
void DesignTools::SCHEME() { toolkit_.ShowWindow(Window::SCHEME); }

void DesignTools::RefreshSlots() {
  const design::DesignInput design = BoxDesign(toolkit_);
  const studies::SlotDrawing drawing = studies::DrawSlots(design);
  toolkit_.ShowSlotDrawing(drawing, SlotNote(drawing.refusal).value_or(""), DesignName(design));
}

// The check shows the last calculation; boxes changed since are noted.
void DesignTools::RefreshCheck() {
  const LastCalculation& last = session_.last_calculation;
  CheckTable table = MakeCheckTable(last, session_.check, toolkit_.ProgramFolder());
  if (last.status != Status::NeverRun && BoxTexts(toolkit_) != design::FieldTexts(last.input)) {
    table.status += kChangedNote;
  }
  toolkit_.ShowDesignCheck(table);
}

// Like the check, the curves show the last calculation, boxes changed since noted.
void DesignTools::RefreshCurves() {
  const LastCalculation& last = session_.last_calculation;
  CurvesView view = MakeCurvesView(last);
  if (last.status != Status::NeverRun && BoxTexts(toolkit_) != design::FieldTexts(last.input)) {
    view.status += kChangedNote;
  }
  toolkit_.ShowCurves(view);
}

// Like the check, the temperature rise shows the last calculation, boxes changed since noted.
void DesignTools::RefreshThermal() {
  const LastCalculation& last = session_.last_calculation;
  ThermalView view = MakeThermalView(last, session_.thermal, toolkit_.ProgramFolder());
  if (last.status != Status::NeverRun && BoxTexts(toolkit_) != design::FieldTexts(last.input)) {
    view.status += kChangedNote;
  }
  toolkit_.ShowThermal(view);
}

// The analysis takes a while, so a change of the boxes only notes it under
// the window (FollowBoxes); a new calculation analyses again.
void DesignTools::RefreshTolerance() {
  toolkit_.ShowTolerance(MakeToleranceView(session_.last_calculation, session_.tolerance,
                                           session_.check, toolkit_.ProgramFolder()));
  NoteToleranceBoxes();
}

void DesignTools::RecalculateTolerance(const std::string& samples, const std::string& seed) {
  if (std::optional<std::string> wrong = ReadToleranceChoice(samples, seed, session_.tolerance)) {
    toolkit_.ShowMessage(*wrong);
    return;
  }
  RefreshTolerance();
}

void DesignTools::NoteToleranceBoxes() {
  const LastCalculation& last = session_.last_calculation;
  const bool changed =
      last.status != Status::NeverRun && BoxTexts(toolkit_) != design::FieldTexts(last.input);
  toolkit_.SetStatusText(Window::TOLERANCE, changed ? kChangedNote : "");
}

void DesignTools::RefreshResultsStatus() {
  const LastCalculation& last = session_.last_calculation;
  std::string status;
  if (last.status == Status::Failed) status = kOlderReportNote;
  if (last.status == Status::Succeeded) {
    status = "上次电磁计算的报告：" + DesignName(last.input);
    if (BoxTexts(toolkit_) != design::FieldTexts(last.input)) status += kChangedNote;
  }
  toolkit_.SetStatusText(Window::SJSHUCHU, status);
}

void DesignTools::FollowBoxes() {
  if (toolkit_.IsWindowOpen(Window::SLOTS)) RefreshSlots();
  if (toolkit_.IsWindowOpen(Window::CHECK)) RefreshCheck();
  if (toolkit_.IsWindowOpen(Window::CURVES)) RefreshCurves();
  if (toolkit_.IsWindowOpen(Window::THERMAL)) RefreshThermal();
  if (toolkit_.IsWindowOpen(Window::TOLERANCE)) NoteToleranceBoxes();
  if (toolkit_.IsWindowOpen(Window::SJSHUCHU)) RefreshResultsStatus();
  if (toolkit_.IsWindowOpen(Window::SWEEP)) toolkit_.SetSweepBase(BoxDesign(toolkit_));
}

void ExportPicture(Toolkit& toolkit, Window window, const std::string& design) {
  RunFileCommand(
      toolkit, ChooseFile(toolkit, kSavePictureDialog, ExportFileName(design, window, "png")),
      [&](const std::string& path) {
        const std::optional<std::string> png = toolkit.PictureBytes(window);
        if (!png) throw design::FileError("窗口没有可导出的图片：" + path, 0);
        design::WriteFileAtomically(path, *png);
      },
      true);
}

void ExportCsv(Toolkit& toolkit, Window window, const std::string& design, const std::string& csv) {
  RunFileCommand(
      toolkit, ChooseFile(toolkit, kSaveCsvDialog, ExportFileName(design, window, "csv")),
      [&csv](const std::string& path) { design::WriteFileAtomically(path, csv); }, true);
}

}  // namespace velmora::ui
