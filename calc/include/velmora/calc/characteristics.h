// Operating characteristics of one design: the part-load performance, the
// full-load stage at a per-unit output k. Pure functions of the design, like
// Calculate; a window and velmora-calc read the same results.
#pragma once

#include <cstdint>
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
// The most points a load curve takes.
inline constexpr std::uint64_t kMaxLoadPoints = 100'000;

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
  bool trustworthy = false;  // by the validity record of this point's own run
};

// The torque–speed model: the T-equivalent circuit at 1 per-unit phase
// voltage with the starting stage's reactances and rotor resistance at each
// slip. The switches are for checking it against the procedure's formulas.
struct SpeedModel {
  bool magnetizing_branch = true;  // off: the branch jXM1 is left out
  bool skin_effect = true;         // off: rr0 = xx0 = 1
  bool leakage_saturation = true;  // off: KZ = 1
};

// One slip of the torque–speed curve.
struct SpeedPoint {
  double s = 0;
  std::optional<CalculationFault> fault;  // set: the point has no values
  double N = 0;                           // r/min
  double T = 0;                           // torque per unit of rated torque
  double I1 = 0;                          // stator current, A
  double I_ratio = 0;                     // I1 / I1 rated
  double R2 = 0, X = 0;                   // R2(s), X1(s) + X2(s), per unit
  double KZ = 0;                          // leakage saturation factor
  double BL = 0;                          // and the leakage flux density it was read at
  long passes = 0;                        // of the IST1 loop
  bool trustworthy = false;               // by the validity record of this slip's run
};

// The torque–speed curve from standstill down, and its marked points (unset:
// none, or it faulted).
struct SpeedCurve {
  std::vector<SpeedPoint> points;  // s from 1 downwards
  std::optional<SpeedPoint> starting, pull_up, breakdown, rated;
  // KZ steps between the grid points either side of the breakdown maximum.
  bool breakdown_on_step = false;
};

struct Characteristics {
  std::vector<LoadPoint> load;
  SpeedCurve speed;
};

// The starting stage of the successful plain run `rated` at slip s, its IST1
// loop started from IST1 amperes. Without the magnetizing branch at s = 1,
// the current is IST, the ratio Ist and the torque TST1, bit for bit.
SpeedPoint SpeedPointAt(const CalculationState& rated, double s, double IST1,
                        const SpeedModel& model = {});

// The torque–speed curve of the successful plain run `rated` at `slips`
// slips in (0, 1], denser near synchronous speed and around the breakdown
// slip: s = 1 started from 2.5·TMAX1·IKW as the procedure starts, every
// smaller slip from the current of the last larger one that converged.
SpeedCurve TorqueSpeedCurve(const CalculationState& rated, int slips = 200,
                            const SpeedModel& model = {});

// The procedure through item 97 at output k, the efficiency loop restarting
// from EFF_start (unset: the input EFF). At k = 1 without EFF_start every
// quantity is that of Calculate, bit for bit.
bool CalculateAtLoad(const design::DesignInput& input, double k, std::optional<double> EFF_start,
                     CalculationState& state, CalculationFault& fault);

// The load points of `range`, from the successful plain run `rated` of
// `input`: k = 1 first, then outwards, each point's efficiency loop
// restarting from the efficiency of its neighbour nearer to k = 1. A point
// that faults keeps its fault; the others stand. A range that cannot be
// stepped (backwards, too fine, more than kMaxLoadPoints) gives no points.
std::vector<LoadPoint> PartLoadPerformance(const design::DesignInput& input,
                                           const CalculationState& rated, const LoadRange& range);

}  // namespace velmora::calc
