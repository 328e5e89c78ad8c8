// Operating characteristics of one design: the part-load performance (the
// full-load stage at a per-unit output k) and the torque and current against
// slip from standstill to near synchronous speed. Pure functions of the
// design, like Calculate; a window and velmora-calc read the same results.
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

// One slip of the torque–speed curve, on the T-equivalent circuit at phase
// voltage 1 per unit.
struct SlipPoint {
  double s = 0;
  std::optional<CalculationFault> fault;
  double N = 0;          // r/min
  double T = 0;          // torque per unit of rated torque
  double I = 0;          // stator current, A
  double I_ratio = 0;    // I / I1
  double R2 = 0, X = 0;  // R2(s) and X1(s) + X2(s), per unit
  long passes = 0;       // leakage-saturation passes
};

// A marked point of the torque–speed curve.
struct MarkedPoint {
  double s = 0, N = 0, T = 0, I = 0, I_ratio = 0;
};

struct TorqueSpeedOptions {
  int slips = 200;
  bool magnetizing_branch = true;  // jXM1 across the rotor
  // Off: KZ = 1 and rr0 = xx0 = 1 (R2 = R21, X = X1) at every slip.
  bool skin_effect_and_saturation = true;
};

struct TorqueSpeedCurve {
  std::vector<SlipPoint> points;  // from s = 1 down to the smallest slip
  MarkedPoint starting, breakdown, rated;
  std::optional<MarkedPoint> pull_up;  // only where the curve dips below the starting torque
  // The leakage-saturation factor steps (at BL = 1.75) between the grid
  // slips either side of the breakdown maximum.
  bool breakdown_on_saturation_step = false;
  double TMAX1 = 0;  // the procedure's breakdown torque, for comparison
};

struct Characteristics {
  std::vector<LoadPoint> load;
  TorqueSpeedCurve torque_speed;
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

// The slips of the curve: `count` values from 1 down to near synchronous
// speed, denser there and around the slip of the procedure's breakdown.
std::vector<double> CurveSlips(const CalculationState& rated, int count);

// Torque and current at each of `slips` (from 1 downwards), from the
// successful plain run `rated`, with the marked points.
TorqueSpeedCurve TorqueSpeed(const CalculationState& rated, const std::vector<double>& slips,
                             const TorqueSpeedOptions& options = {});

// Both curves; false with `fault` when the plain run of `input` faults.
bool CalculateCharacteristics(const design::DesignInput& input, const LoadRange& range,
                              const TorqueSpeedOptions& options, CalculationState& rated,
                              Characteristics& result, CalculationFault& fault);

}  // namespace velmora::calc
