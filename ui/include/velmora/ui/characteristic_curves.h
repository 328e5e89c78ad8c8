// The window "特性曲线": the load curve and the torque–speed curve of the last
// successful calculation, the marked points of the torque–speed curve and
// the efficiency at part load, as the window shows them.
#pragma once

#include <string>
#include <vector>

#include "velmora/calc/characteristics.h"
#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The loads of the efficiency table, per unit of the rated output.
inline constexpr double kTableLoads[] = {0.5, 0.75, 1.0};

struct CurvesView {
  // One row of a table: a caption, then the values as text.
  struct Row {
    std::string caption;
    std::vector<std::string> values;
  };
  std::string status;  // never run, failed with why, or which design is shown
  std::string design;  // the model of the last calculation, "" before the first
  bool drawn = false;  // the curves below hold the last calculation's
  calc::Characteristics curves;
  double rated_current = 0;    // I1 of the rated run, A
  std::vector<Row> marks;      // 起动, 最小转矩, 最大转矩, 额定: s, N, T, I1, I1/I1N
  std::vector<Row> loads;      // 50 %, 75 %, 100 %: EFF, PF, I1, SN
  std::string csv;             // the same table as velmora-calc curves -o writes
  std::string breakdown_note;  // why the curve's breakdown differs from TMAX1
};

// The headings of the two tables, after their caption column.
inline constexpr const char* kMarkHeadings[] = {"转差率s", "转速(r/min)", "转矩倍数", "电流I1(A)",
                                                "电流倍数"};
inline constexpr const char* kLoadHeadings[] = {"效率EFF", "功率因数PF", "电流I1(A)", "转差率SN"};

// Both curves of the last calculation (its run is repeated on the same
// design for the state), or only the status when there is none.
CurvesView MakeCurvesView(const LastCalculation& last);

// "导出CSV": asks for a file, offering one named after the design, and
// writes the curves' CSV; says so when there are no curves.
void ExportCurvesCsv(Toolkit& toolkit, const CurvesView& view);

}  // namespace velmora::ui
