// The window "温升计算": the thermal network of the last successful
// calculation as the window shows it — the motor's section with each node's
// temperature, the tables of nodes and paths, the winding's rise against the
// class limit, the hot performance and the locked-rotor times.
#pragma once

#include <string>
#include <vector>

#include "velmora/studies/thermal.h"
#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui {

struct ThermalView {
  // One row of a table: a caption, then the values as text.
  struct Row {
    std::string caption;
    std::vector<std::string> values;
  };
  // Never run, failed with why, a thermal data file or a network that
  // faults, or which design is shown.
  std::string status;
  std::string design;   // the model of the last calculation, "" before the first
  bool drawn = false;   // the network was solved: `thermal` and what follows hold its result
  bool trusted = true;  // false: the calculation behind it cannot be trusted
  studies::InsulationClass insulation = studies::InsulationClass::B;
  double ambient = 40;  // °C, the cooling air the network was solved for
  studies::ThermalResult thermal;
  studies::MotorSection section;
  std::vector<Row> nodes;  // temperature, rise, loss
  std::vector<Row> paths;  // heat flow, conductance
  std::string limit;       // the winding's rise, the class limit and the margin; the hot spot
  bool over_limit = false;
  std::vector<Row> hot;  // EFF, PF, SN, I1: the calculation's, then hot
  std::string hot_note;  // the hot resistivities, or why the hot run stopped
  std::string locked_rotor;
  std::string csv;  // the node and path tables
};

// The headings of the tables, after their caption column.
inline constexpr const char* kNodeHeadings[] = {"温度(°C)", "温升(K)", "损耗(W)"};
inline constexpr const char* kPathHeadings[] = {"热流(W)", "热导(W/K)"};
inline constexpr const char* kHotHeadings[] = {"电磁计算", "热态"};

// The cooling air temperatures the window takes, °C: those the thermal data
// file takes for AMBIENT.
struct AmbientRange {
  double min = 0, max = 0;
};
AmbientRange ThermalAmbientRange();

// The network of the last calculation (its run is repeated on the same
// design for the state) with the thermal data file in `folder` (the
// built-in data when there is none) and the user's `choice`; or only the
// status when there is nothing to show.
ThermalView MakeThermalView(const LastCalculation& last, const ThermalChoice& choice,
                            const std::string& folder);

// "导出CSV": asks for a file, offering one named after the design, and
// writes the node and path tables; says so when there are none.
void ExportThermalCsv(Toolkit& toolkit, const ThermalView& view);

}  // namespace velmora::ui
