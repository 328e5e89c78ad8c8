// The temperature rise of a run: the network solved with the conductor
// resistivities at the temperatures it finds, the class limits, the
// locked-rotor time and the hot performance.
#include "velmora/studies/thermal.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "thermal_model.h"

namespace velmora::studies {

namespace {

using N = ThermalNode;
using thermal::Model;

// The iteration stops when the winding's average rise changes by less than
// this, K; a network whose losses outgrow its cooling never does, and is
// given up at a rise no insulation survives or after kMaxPasses.
constexpr double kWindingTolerance = 0.1;
constexpr double kRunaway = 1e4;
constexpr int kMaxPasses = 50;

int Index(ThermalNode node) { return static_cast<int>(node); }
int Index(ThermalPath path) { return static_cast<int>(path); }

// The sources with the conductor losses at the given resistivity factors.
HeatSources Scaled(const HeatSources& cold, double slot, double end, double cage) {
  HeatSources h = cold;
  h.slot_copper = cold.slot_copper * slot;
  h.end_copper = cold.end_copper * end;
  h.bar_copper = cold.bar_copper * cage;
  h.ring_copper = cold.ring_copper * cage;
  return h;
}

std::array<double, kThermalNodes> NodeLosses(const HeatSources& h) {
  std::array<double, kThermalNodes> loss{};
  loss[Index(N::SlotWinding)] = h.slot_copper;
  loss[Index(N::EndWinding)] = h.end_copper;
  loss[Index(N::Teeth)] = h.teeth_iron + h.stray_stator;
  loss[Index(N::Yoke)] = h.yoke_iron;
  loss[Index(N::Rotor)] = h.bar_copper + h.ring_copper + h.stray_rotor;
  loss[Index(N::Shaft)] = h.bearings;
  loss[Index(N::Frame)] = h.fan;
  return loss;
}

double WindingRise(const Model& m, const NetworkSolution& solution) {
  double slot = solution.rise[Index(N::SlotWinding)], end = solution.rise[Index(N::EndWinding)];
  return (m.slot_length * slot + m.end_length * end) / (m.slot_length + m.end_length);
}

// The temperatures one pass leaves for the next.
struct PassState {
  double slot = 1, end = 1, cage = 1;  // resistivity factors
  double frame_rise = 0;
};

// One pass: the network at `state`, solved into `r`.
bool Pass(const Model& m, const ThermalData& d, const PassState& state, ThermalResult& r) {
  r.sources = Scaled(m.cold, state.slot, state.end, state.cage);
  r.network = m.fixed;
  r.network.G[Index(ThermalPath::FrameAmbient)] =
      thermal::FrameToAmbient(m, d, state.frame_rise, r.ambient);
  r.network.loss = NodeLosses(r.sources);
  r.solution = SolveNetwork(r.network);
  if (!r.solution.solved) r.fault = "热网络不能求解：有节点与环境之间没有热导";
  r.winding_rise = WindingRise(m, r.solution);
  return r.solution.solved;
}

PassState NextPass(const ThermalResult& r, const ThermalData& d) {
  return {ResistivityFactor(r.Temperature(N::SlotWinding), d.ALPHA_CU, d),
          ResistivityFactor(r.Temperature(N::EndWinding), d.ALPHA_CU, d),
          ResistivityFactor(r.Temperature(N::Rotor), d.ALPHA_AL, d), r.Rise(N::Frame)};
}

// Runs the passes; leaves `r` at the last.
void Iterate(const Model& m, const ThermalData& d, bool iterate, ThermalResult& r) {
  PassState state{1, 1, 1, d.FRAME_RISE_START};
  double previous = std::nan("");
  for (r.passes = 1; r.passes <= kMaxPasses; ++r.passes) {
    if (!Pass(m, d, state, r)) return;
    if (!iterate || std::fabs(r.winding_rise - previous) < kWindingTolerance) {
      r.converged = true;
      return;
    }
    if (!(std::fabs(r.winding_rise) < kRunaway)) break;
    previous = r.winding_rise;
    state = NextPass(r, d);
  }
  r.passes = std::min(r.passes, kMaxPasses);
  r.fault = "温升迭代不收敛：损耗随温度增加得比散热快";
}

double HotSpot(const Model& m, const ThermalResult& r) {
  const NetworkSolution& s = r.solution;
  double radial = s.flow[Index(ThermalPath::SlotTeeth)] + s.flow[Index(ThermalPath::SlotYoke)];
  double slot_middle = r.Temperature(N::SlotWinding) + std::max(radial, 0.0) / m.G_slot_bulk / 2;
  return std::max(slot_middle, r.Temperature(N::EndWinding));
}

// Time to heat a conductor of heat capacity `mc` (J/K) from T1 to T2 °C with
// no heat leaving it, its loss `P` (W) at T_REF following its resistance:
// mc·dT/dt = P·(1 + α(T − 20))/(1 + α(T_REF − 20)); without a loss, never.
double AdiabaticTime(double T1, double T2, double P, double mc, double alpha,
                     const ThermalData& d) {
  if (!(T1 < T2)) return 0;
  if (!(P > 0)) return std::numeric_limits<double>::infinity();
  if (alpha == 0) return mc * (T2 - T1) / P;
  double ref = 1 + alpha * (d.T_REF - 20);
  return mc * ref / (P * alpha) * std::log((1 + alpha * (T2 - 20)) / (1 + alpha * (T1 - 20)));
}

LockedRotor LockedRotorTimes(const CalculationState& s, const ThermalData& d,
                             const ThermalResult& r) {
  LockedRotor lr;
  double class_temperature = ClassTemperature(r.insulation);
  lr.stator_limit = std::isnan(d.STALL_STATOR) ? class_temperature : d.STALL_STATOR;
  lr.cage_limit = std::isnan(d.STALL_CAGE) ? class_temperature : d.STALL_CAGE;
  double stator_loss = 3 * s.IST * s.IST * s.R1;
  double ratio = s.IST / s.IKW;
  double cage_loss = 1000 * s.in.Pn * (ratio * ratio) * s.R2ST1;
  lr.stator =
      AdiabaticTime(r.hot_spot, lr.stator_limit, stator_loss, s.Gcu * d.C_CU, d.ALPHA_CU, d);
  lr.cage = AdiabaticTime(r.Temperature(N::Rotor), lr.cage_limit, cage_loss, s.GAL * d.C_AL,
                          d.ALPHA_AL, d);
  return lr;
}

void Finish(const CalculationState& s, const ThermalData& d, const Model& m, ThermalResult& r) {
  r.total_loss = 0;
  for (double loss : r.network.loss) r.total_loss += loss;
  r.hot_spot = HotSpot(m, r);
  r.rise_limit = RiseLimit(r.insulation, s.in.Pn, r.ambient);
  r.margin = r.rise_limit - r.winding_rise;
  r.Lo1_factor = ResistivityFactor(r.ambient + r.winding_rise, d.ALPHA_CU, d);
  r.Lo2_factor = ResistivityFactor(r.Temperature(N::Rotor), d.ALPHA_AL, d);
  r.locked_rotor = LockedRotorTimes(s, d, r);
}

// Limits of the winding's rise by resistance, indirect air cooling
// (IEC 60034-1:2017, Table 8): item 1d below 600 W; items 1c (600 W to
// 200 kW), 1b (to 5000 kW) and 1a (5000 kW and above) alike by resistance.
// Item 1e (no fan, IC 410, or encapsulated windings) is not this motor.
struct LimitRow {
  double from_kW;
  double B, F, H;
};
constexpr LimitRow kLimits[] = {{0, 85, 110, 130}, {0.6, 80, 105, 125}};

}  // namespace

std::string_view InsulationClassName(InsulationClass c) {
  switch (c) {
    case InsulationClass::B:
      return "B";
    case InsulationClass::F:
      return "F";
    case InsulationClass::H:
      return "H";
  }
  return "";
}

std::optional<InsulationClass> ParseInsulationClass(std::string_view text) {
  for (InsulationClass c : {InsulationClass::B, InsulationClass::F, InsulationClass::H})
    if (text == InsulationClassName(c)) return c;
  return std::nullopt;
}

double ClassTemperature(InsulationClass c) {
  switch (c) {
    case InsulationClass::B:
      return 130;
    case InsulationClass::F:
      return 155;
    case InsulationClass::H:
      return 180;
  }
  return 0;
}

double RiseLimit(InsulationClass c, double Pn, double ambient) {
  const LimitRow& row = Pn < kLimits[1].from_kW ? kLimits[0] : kLimits[1];
  double limit = c == InsulationClass::B ? row.B : c == InsulationClass::F ? row.F : row.H;
  // Cooling air between 40 and 60 °C lowers the limits by its excess over
  // 40 °C (IEC 60034-1, limits adjusted for the coolant at site); colder
  // air raises them only by agreement, which is not assumed.
  return ambient > 40 ? limit - (ambient - 40) : limit;
}

double ThermalResult::Rise(ThermalNode node) const {
  return node == N::Ambient ? 0.0 : solution.rise[Index(node)];
}

double ThermalResult::Temperature(ThermalNode node) const { return ambient + Rise(node); }

double ResistivityFactor(double T, double alpha, const ThermalData& d) {
  return (1 + alpha * (T - 20)) / (1 + alpha * (d.T_REF - 20));
}

ThermalResult ThermalOf(const CalculationState& state, const ThermalData& data,
                        const ThermalOptions& options) {
  ThermalResult r;
  r.ambient = data.AMBIENT;
  r.insulation = options.insulation;
  Model m;
  if (!thermal::BuildModel(state, data, m, r.fault)) return r;
  Iterate(m, data, options.iterate, r);
  if (r.ok()) Finish(state, data, m, r);
  return r;
}

design::DesignInput HotInput(const design::DesignInput& input, const ThermalResult& thermal) {
  design::DesignInput hot = input;
  design::SetNumber(hot, design::field::Lo1, input[design::field::Lo1].number * thermal.Lo1_factor);
  design::SetNumber(hot, design::field::Lo2, input[design::field::Lo2].number * thermal.Lo2_factor);
  return hot;
}

HotPerformance HotRun(const design::DesignInput& input, const ThermalResult& thermal) {
  HotPerformance hot;
  if (!thermal.ok()) {
    hot.fault.message = thermal.fault;
    return hot;
  }
  design::DesignInput hot_input = HotInput(input, thermal);
  hot.Lo1 = hot_input[design::field::Lo1].number;
  hot.Lo2 = hot_input[design::field::Lo2].number;
  CalculationState state;
  hot.ok = Calculate(hot_input, state, hot.fault);
  if (!hot.ok) return hot;
  hot.EFF = state.EFF;
  hot.PF = state.PF;
  hot.SN = state.SN;
  hot.I1 = state.I1;
  return hot;
}

}  // namespace velmora::studies
