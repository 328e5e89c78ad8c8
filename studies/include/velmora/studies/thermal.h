// Temperature rise in duty S1 of a totally enclosed fan-cooled motor
// (IC 411, a fan on the shaft outside the non-drive end shield) by a
// lumped-parameter thermal network built from a finished run: its
// conductances from the design's geometry, its heat sources from the run's
// losses. The conductor resistivities follow the temperatures found, and the
// run repeated with them gives the hot performance. Nothing here changes the
// run or its report.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "velmora/design/design_input.h"
#include "velmora/studies/engine.h"
#include "velmora/studies/thermal_data.h"

namespace velmora::studies {

// The nodes, each at one temperature; the ambient, last, is the reference.
enum class ThermalNode {
  Frame,        // frame and end shields
  Yoke,         // stator yoke
  Teeth,        // stator teeth
  SlotWinding,  // the winding inside the slots
  EndWinding,   // both end windings
  InternalAir,  // the air of both end spaces
  Rotor,        // rotor core and cage
  Shaft,        // the bearings and the shaft in them
  Ambient
};
inline constexpr int kThermalNodes = 8;  // the free nodes, without the ambient

// The paths between nodes.
enum class ThermalPath {
  FrameAmbient,  // fins: fan's air, free convection, radiation
  YokeFrame,     // yoke, interface gap, frame wall
  YokeTeeth,
  SlotTeeth,   // winding, liner, into the slot sides
  SlotYoke,    // winding, liner, into the slot bottom
  SlotEnd,     // along the conductors
  EndAir,      // end winding surface
  AirFrame,    // end shields and the frame inside the end spaces
  YokeAir,     // across the stack to the core ends
  TeethRotor,  // air gap
  RotorAir,    // rotor ends and end rings
  RotorShaft,  // rotor core, its fit and the shaft to the bearings
  ShaftFrame   // bearings to the end shields
};
inline constexpr int kThermalPaths = 13;

struct PathEnds {
  ThermalNode from, to;
};
PathEnds EndsOf(ThermalPath path);

// The linear network: the conductance of each path (W/K) and the heat put
// in at each free node (W).
struct ThermalNetwork {
  std::array<double, kThermalPaths> G{};
  std::array<double, kThermalNodes> loss{};
};

// Rises above the ambient (K) and the heat flowing along each path from its
// first node to its second (W).
struct NetworkSolution {
  bool solved = false;  // false: a node no conductance ties to the ambient
  std::array<double, kThermalNodes> rise{};
  std::array<double, kThermalPaths> flow{};
};

// The symmetric conductance matrix of the free nodes.
using ConductanceMatrix = std::array<std::array<double, kThermalNodes>, kThermalNodes>;
ConductanceMatrix MatrixOf(const ThermalNetwork& network);
// G·rise = loss by a Cholesky factorisation. No allocation.
NetworkSolution SolveNetwork(const ThermalNetwork& network);

// Thermal classes of the insulation (IEC 60085).
enum class InsulationClass { B, F, H };
std::string_view InsulationClassName(InsulationClass c);  // "B"
// Reads "B", "F" or "H".
std::optional<InsulationClass> ParseInsulationClass(std::string_view text);
// The class temperature, °C: 130, 155, 180.
double ClassTemperature(InsulationClass c);
// The limit of the winding's rise by resistance with indirect air cooling,
// for a rated output Pn kW and cooling air at `ambient` °C (IEC 60034-1).
double RiseLimit(InsulationClass c, double Pn, double ambient);

// Where the losses go, W.
struct HeatSources {
  double slot_copper = 0, end_copper = 0;  // PCU1 by lengths: L in the slot, LZ − L outside
  double bar_copper = 0, ring_copper = 0;  // PCU2 by the resistances RB1 and RR1
  double teeth_iron = 0, yoke_iron = 0;    // PFE as the run makes it: 2.5·Pt1 and 2·Pj1
  double stray_stator = 0, stray_rotor = 0;
  double bearings = 0, fan = 0;  // PFW
};

struct ThermalOptions {
  InsulationClass insulation = InsulationClass::B;
  // false: a single pass with the run's losses (the resistivities at T_REF)
  // and the frame's free convection and radiation at FRAME_RISE_START.
  bool iterate = true;
};

// Time the stator winding and the cage, heated without losing heat by the
// run's starting current (IST, R1, R2ST1), take from their hot temperatures
// to their limits (STALL_STATOR, STALL_CAGE: the class temperature unless
// given); 0 when already there, infinite without a starting loss.
struct LockedRotor {
  double stator_limit = 0, cage_limit = 0;  // °C
  double stator = 0;                        // s, from the winding's hot spot
  double cage = 0;                          // s, from the rotor's temperature
};

struct ThermalResult {
  std::string fault;  // why the network could not be built (Chinese); empty when it was
  bool converged = false;
  int passes = 0;
  double ambient = 0;
  InsulationClass insulation = InsulationClass::B;
  HeatSources sources;     // of the last pass
  ThermalNetwork network;  // of the last pass
  NetworkSolution solution;
  double total_loss = 0;  // W, what the network takes in and gives to the ambient
  // The winding's average rise, as its resistance gives it: the slot and the
  // end winding weighted by their lengths L and LZ − L.
  double winding_rise = 0;
  // The hottest point: the middle of the slot (the winding's rise in the
  // slot above its mean is half its mean above the liner) or the end winding.
  double hot_spot = 0;                // °C
  double rise_limit = 0, margin = 0;  // K; margin = rise_limit − winding_rise
  // Hot resistivity over the design's Lo1 (at the winding's average
  // temperature) and Lo2 (at the rotor's).
  double Lo1_factor = 1, Lo2_factor = 1;
  LockedRotor locked_rotor;

  bool ok() const { return fault.empty() && converged; }
  bool WithinLimit() const { return margin >= 0; }
  double Rise(ThermalNode node) const;
  double Temperature(ThermalNode node) const;
};

// The motor the network is built on, mm: its radial section and its axial
// lengths.
struct MotorSection {
  double D1 = 0, DI1 = 0;           // stator core: outside, bore
  double conductor_top = 0;         // from the bore to the top of the slot's conductors, HS0 + HS1
  double slot_depth = 0;            // from the bore to the slot bottom, HS0 + HS12 + RS
  double Q1 = 0, BS1 = 0, BS2 = 0;  // stator slots: count, widths at top and bottom
  double D2 = 0, DI2 = 0;           // rotor core: outside, bore (the shaft)
  double Q2 = 0, HRT = 0, SB = 0;   // rotor bars: count, depth, area (mm²)
  double Dr = 0, ring_side = 0;     // end rings: mean diameter, side of their square section
  double L = 0;                     // core length
  double overhang = 0;              // end winding beyond each core end, D + FD
  double end_space = 0;             // each end space, core end to end shield
  double bearing_od = 0, bearing_width = 0;
  FrameSize frame;  // the frame round the core
};
MotorSection SectionOf(const CalculationState& state, const ThermalData& data);

// The thermal network of a finished run (`state`, whose inputs are the
// design's): cheap enough for every evaluation of an optimisation, no
// allocation unless it faults. Iterates until the winding's average
// temperature changes by less than 0.1 K.
ThermalResult ThermalOf(const CalculationState& state, const ThermalData& data,
                        const ThermalOptions& options = {});

// Resistivity at `T` °C over that at `T_REF`, for a temperature coefficient
// `alpha` at 20 °C; exactly 1 at T_REF.
double ResistivityFactor(double T, double alpha, const ThermalData& data);

// The design with Lo1 and Lo2 at the temperatures `thermal` found.
design::DesignInput HotInput(const design::DesignInput& input, const ThermalResult& thermal);

// The run repeated with the hot resistivities.
struct HotPerformance {
  bool ok = false;  // false: the hot run stopped with `fault`
  double Lo1 = 0, Lo2 = 0;
  double EFF = 0, PF = 0, SN = 0, I1 = 0;
  CalculationFault fault;
};
HotPerformance HotRun(const design::DesignInput& input, const ThermalResult& thermal);

}  // namespace velmora::studies
