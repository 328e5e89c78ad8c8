// Operating characteristics of one design: the part-load performance, the
// full-load stage at a per-unit output k. Pure functions of the design, like
// Calculate; a window and velmora-calc read the same results.
#pragma once

#include <optional>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::calc {

// Loads FROM, FROM + STEP, ... TO in per unit of the rated output, stepped in
// decimal so that 1 is exactly 1.
struct LoadRange {
  double from = 0.10, to = 1.50, step = 0.05;
};

// One point of the load curve; the values are those of the rated point's
// report names at output k.
struct LoadPoint {
  double k = 0;
  std::optional<CalculationFault> fault;  // set: the point has no values
  double P2 = 0;                          // output, kW
  double EFF = 0, PF = 0, I1 = 0, SN = 0, N = 0;
  double T = 0;  // torque per unit of rated torque: k·(1 − SN rated)/(1 − SN)
  double PCU1 = 0, PCU2 = 0, PFE = 0, PS = 0, PFW = 0;  // W
  PassCounts passes;
};

struct Characteristics {
  std::vector<LoadPoint> load;
};

// The procedure through item 97 at output k, the efficiency loop restarting
// from EFF_start (unset: the input EFF). At k = 1 without EFF_start every
// quantity is that of Calculate, bit for bit.
bool CalculateAtLoad(const design::DesignInput& input, double k, std::optional<double> EFF_start,
                     CalculationState& state, CalculationFault& fault);

// The load points of `range`, from the successful plain run `rated` of
// `input`: k = 1 first, then outwards, each point's efficiency loop
// restarting from the efficiency of its neighbour nearer to k = 1. A point
// that faults keeps its fault; the others stand.
std::vector<LoadPoint> PartLoadPerformance(const design::DesignInput& input,
                                           const CalculationState& rated, const LoadRange& range);

}  // namespace velmora::calc
