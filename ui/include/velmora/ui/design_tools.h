// The menu "设计工具": the slot drawing, the design check, the sweep chart,
// the characteristic curves, the optimisation, the temperature rise and the
// tolerance analysis, each in its own window beside the input window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "velmora/studies/design_check.h"
#include "velmora/studies/slot_geometry.h"
#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The design check as the window shows it: a line saying what it is about,
// the rules, the main results and where the results cannot be trusted,
// all as text.
struct CheckTable {
  struct Rule {
    std::string caption;   // "效率"
    std::string target;    // the design's target, empty when it has none
    std::string limit;     // "≥ 0.8493"
    std::string computed;  // the calculation's value
    std::string unit;      // "标幺值", "倍", "%" or "处"
    std::string verdict;   // "合格", "不合格" or "未校核"
    bool failed = false;
  };
  struct Result {
    std::string name;  // "EFF"
    std::string value;
  };
  // Where the results cannot be taken at face value.
  struct Note {
    std::string text;  // "警告：定子齿磁密BT1=2.23 T，..."
    bool untrustworthy = false;
  };
  std::string status;           // never run, failed with why, or which design was checked
  std::string design;           // the model of the last calculation, "" before the first
  std::vector<Rule> rules;      // empty unless the last calculation succeeded
  std::vector<Result> results;  // likewise
  std::vector<Note> notes;      // likewise
  // The efficiency class, the temperature rise, then the material cost.
  std::vector<std::string> class_and_cost;
};

// The main results shown under the check, by report name.
inline constexpr const char* kCheckResults[] = {"EFF", "PF", "SN", "N",  "TMAX1", "TST1", "Ist",
                                                "I1",  "J1", "A1", "BG", "BT1",   "BJ1"};

// One rule of a check as the window lists it.
CheckTable::Rule RuleRow(const studies::CheckLine& line);

// Why the slots cannot be drawn, naming the box; nothing when they can.
std::optional<std::string> SlotNote(const studies::SlotRefusal& refusal);

// The title of a design-tool window: "槽形图", "设计校核", "参数扫描", "特性曲线",
// "优化设计", "温升计算", "公差分析" or "方案设计".
const char* ToolTitle(Window window);

// The motor model of a design (box 0) as the windows name it; "未命名"
// when the box is blank.
std::string DesignName(const design::DesignInput& design);

// The file name an export offers: "Y132S-4-槽形图.png". Characters that no
// file name may hold become "_".
std::string ExportFileName(const std::string& design, Window window, const char* extension);

// "导出PNG" of a design-tool window: asks for a file, offering one named
// after `design` and the window, and saves the picture.
void ExportPicture(Toolkit& toolkit, Window window, const std::string& design);

// "导出CSV" of a design-tool window: asks for a file, offering one named
// after `design` and the window, and writes `csv` to it.
void ExportCsv(Toolkit& toolkit, Window window, const std::string& design, const std::string& csv);

// The check table of the last calculation (its run is repeated on the same
// design, which takes microseconds, for the state).
// `asked`: the efficiency class asked for (the legal minimum, one chosen, or
// none) and the insulation class (or none); the prices come from the price file in `folder`, or are
// the shipped ones, and the thermal data from the thermal data file there, or are the built-in
// ones.
// Repeats the last calculation into `run` (microseconds, for the state);
// when there is none to repeat, the status a window shows instead:
// "尚未进行电磁计算。…再看<window>。" or "上次电磁计算未成功，没有<what>：<why>".
std::optional<std::string> RepeatLastRun(const LastCalculation& last, const char* window,
                                         const char* what, calc::CalculationState& run);

// The check as asked, with the thermal data file in `folder` (or the
// built-in data); a file that cannot be used leaves the rise unchecked and
// `why` saying so.
studies::CheckOptions WithThermalData(studies::CheckOptions asked, const std::string& folder,
                                      std::string& why);

CheckTable MakeCheckTable(const LastCalculation& last, const studies::CheckOptions& asked = {},
                          const std::string& folder = "");

// The commands of the menu. Each shows its window not modally, brings
// it to the front when it is open, and refreshes it from the current boxes.
class DesignTools {
 public:
  DesignTools(Toolkit& toolkit, Session& session);

  void SLOTS();      // 槽形图
  void CHECK();      // 设计校核
  void SWEEP();      // 参数扫描
  void CURVES();     // 特性曲线
  void OPTIMISE();   // 优化设计
  void THERMAL();    // 温升计算
  void TOLERANCE();  // 公差分析
  void SCHEME();     // 方案设计

  // The window's content again, without bringing it to the front.
  void RefreshSlots();
  void RefreshCheck();
  void RefreshCurves();
  void RefreshThermal();
  // The analysis again, with the samples and seed the session holds.
  void RefreshTolerance();
  // "重新计算" of the window 公差分析: the samples and seed as typed; a box
  // that holds no whole number in its range is named in a message.
  void RecalculateTolerance(const std::string& samples, const std::string& seed);
  // The line under the report: which calculation it comes from, and
  // whether the boxes still hold that design.
  void RefreshResultsStatus();
  // After a change of the input boxes: the open slot drawing and sweep
  // follow the boxes, and the open check, curves, temperature rise and report say when they
  // no longer match the calculation they show.
  void FollowBoxes();

 private:
  // The line under the analysis: whether the boxes still hold its design.
  void NoteToleranceBoxes();

  Toolkit& toolkit_;
  Session& session_;
};

}  // namespace velmora::ui
