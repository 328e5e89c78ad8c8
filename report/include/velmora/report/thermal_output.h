// The temperature rise of a design as the programs show it: a short summary
// in Chinese (UTF-8) and JSON.
#pragma once

#include <string>
#include <string_view>

#include "velmora/calc/calculation_state.h"
#include "velmora/studies/thermal.h"

namespace velmora::report {

// A node as the JSON names it ("frame") and as people read it ("机座").
std::string_view ThermalNodeName(studies::ThermalNode node);
std::string_view ThermalNodeCaption(studies::ThermalNode node);
// "定子轭→机座".
std::string ThermalPathCaption(studies::ThermalPath path);

// What a thermal summary shows beside the network: the run it was built
// from and the run repeated hot.
struct ThermalReport {
  const studies::ThermalResult& thermal;
  const studies::HotPerformance& hot;
  const calc::CalculationState& run;
  std::string data_file;  // the thermal data file read; empty: the built-in data
};

// Node temperatures, rises and losses, the heat flows, the winding's rise
// against the class limit and the margin, the hot performance beside the
// run's, and the locked-rotor times. A network that could not be built or
// solved gives its reason alone.
std::string ThermalText(const ThermalReport& report);

// The same as one JSON object; numbers read back exactly.
std::string ThermalJson(const ThermalReport& report);

// Lines of the summary on their own: the winding's rise against the class
// limit with the margin, then the hot spot; the locked-rotor times.
std::string ThermalWindingText(const studies::ThermalResult& thermal);
std::string ThermalLockedRotorText(const studies::ThermalResult& thermal);

// The node and path tables as one CSV table (UTF-8, CR LF) with the columns
//   table,name,caption,temperature,rise,loss,heat_flow,conductance
// a "node" row a node (°C, K, W) and a "path" row a path, named
// "from-to" (W from its first node to its second, W/K); numbers read back
// exactly. Empty for a network that was not solved.
std::string ThermalCsv(const studies::ThermalResult& thermal);

}  // namespace velmora::report
