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

}  // namespace velmora::report
