// The conductances of the thermal network from the design's geometry and
// the run's results, and its heat sources from the run's losses.
//
// Assumptions: heat flows radially in the core and the frame and axially
// only where said (along the conductors, across the stack to the core ends,
// along the cage and the shaft); each node is the mean temperature of its
// part, and a part with its own loss spread evenly through it connects by
// its mean (a slab of width b: mean to faces b/(12·λ) per unit of heat and
// area; a rod of length l cooled at both ends: mean to ends l/(12·λ·A)).
// The frame is one temperature; the fan's air and the ambient are one.
// Air properties are constant (see ThermalData).
#include "thermal_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::studies::thermal {

namespace {

using std::numbers::pi;
using P = ThermalPath;

constexpr double kMm = 1e-3;  // m
constexpr double kGravity = 9.81;
constexpr double kStefanBoltzmann = 5.670374419e-8;  // W/(m²·K⁴)
constexpr double kKelvin = 273.15;

// A quantity the network cannot be built with.
struct NoModel {
  const char* why;
};

void Require(bool holds, const char* why) {
  if (!holds) throw NoModel{why};
}

double Series(double a, double b) { return 1 / (1 / a + 1 / b); }
double Series(double a, double b, double c) { return 1 / (1 / a + 1 / b + 1 / c); }

// Radial conduction through a cylindrical shell, W/K.
double Shell(double r_in, double r_out, double k, double length) {
  return 2 * pi * k * length / std::log(r_out / r_in);
}

// The conductance of an equivalent air gap `gap` (mm) over `area`.
double Contact(double gap, double area, const ThermalData& d) {
  return d.K_AIR * area / (gap * kMm);
}

// h = K1·(1 + K2·v^K3), the end-space form.
double EndSpaceH(double K1, double K2, double K3, double v) {
  return K1 * (1 + K2 * std::pow(v, K3));
}

// A number input the run does not use itself: text or negative is a fault.
double Input(const calc::InputNumber& input, const char* why) {
  Require(!input.is_text && input.value >= 0, why);
  return input.value;
}

// Dimensions in metres, at rated speed.
struct Geometry {
  double L = 0;                            // core length
  double r_o = 0, r_root = 0, r_yoke = 0;  // stator: outside, slot bottom, yoke middle
  double r_bore = 0, r_top = 0;            // stator bore DI1/2, top of the slot's conductors
  double r_2 = 0, r_bar = 0, r_shaft = 0;  // rotor: outside, bars' middle, bore
  double k_plane = 0, k_across = 0;        // lamination stack, W/(m·K)
  double v_rotor = 0;                      // rotor peripheral speed, m/s
  double end_space = 0;                    // axial length of each end space
  double overhang = 0;                     // end winding beyond the core, D + FD
};

Geometry GeometryOf(const MotorSection& m, const CalculationState& s, const ThermalData& d) {
  Geometry g;
  g.L = m.L * kMm;
  g.r_o = m.D1 * kMm / 2;
  g.r_bore = m.DI1 * kMm / 2;
  g.r_top = g.r_bore + m.conductor_top * kMm;
  g.r_root = g.r_bore + m.slot_depth * kMm;
  g.r_yoke = (g.r_root + g.r_o) / 2;
  g.r_2 = m.D2 * kMm / 2;
  g.r_bar = g.r_2 - m.HRT * kMm / 2;
  g.r_shaft = m.DI2 * kMm / 2;
  double Kfe = s.in.Kfe;
  // Sheets and the layers between them side by side in the plane, in series across.
  g.k_plane = Kfe * d.K_STEEL + (1 - Kfe) * d.K_INTERLAMINAR;
  g.k_across = 1 / (Kfe / d.K_STEEL + (1 - Kfe) / d.K_INTERLAMINAR);
  g.v_rotor = 2 * pi * g.r_2 * s.N / 60;
  g.overhang = m.overhang * kMm;
  g.end_space = m.end_space * kMm;
  return g;
}

void RequireGeometry(const CalculationState& s, const Geometry& g) {
  Require(g.L > 0, "铁芯长L应大于0");
  Require(g.r_bore > 0 && g.r_root < g.r_o, "定子轭高度（D1−DI1）/2−槽深应大于0");
  Require(s.in.Kfe > 0 && s.in.Kfe <= 1, "叠压系数Kfe应在0到1之间");
  Require(g.r_shaft > 0 && g.r_shaft < g.r_bar, "转子内径DI2应大于0且小于D2−HRT");
  Require(g.r_2 < g.r_bore && g.r_bar < g.r_2, "气隙G和转子槽深HRT应大于0");
  Require(s.N > 0, "额定转速N应大于0");
  Require(s.LZ > s.in.L && g.overhang > 0, "线圈半匝长LZ应大于铁芯长L，端部伸出D+FD应大于0");
  Require(s.in.Q1 > 0 && s.in.Q2 > 0 && s.in.Z > 0, "槽数Q1、Q2和每槽导体数Z应大于0");
}

// The winding's equivalent conductivity across the conductors: the copper
// (its share of the slot's effective area AE, from S) in a matrix of enamel
// and voids, these filled with resin to the impregnation's share and
// otherwise with air; the matrix a series mix of enamel and voids, the
// copper in it by the lower bound of Hashin & Shtrikman (1962), which holds
// for conductors each wholly wrapped in insulation. The enamel film QMHW is
// read as the increase of a wire's diameter it makes, as the procedure's
// wire allowance of 0.06–0.08 mm is.
double WindingConductivity(const CalculationState& s, const ThermalData& d) {
  const calc::Inputs& in = s.in;
  double film = Input(in.QMHW, "漆膜厚度QMHW应为不小于0的数");
  double enamel = pi / 4 *
                  (in.JJ * ((in.DJJ + film) * (in.DJJ + film) - in.DJJ * in.DJJ) +
                   in.MM * ((in.DMM + film) * (in.DMM + film) - in.DMM * in.DMM));
  double k_cu = in.Z * s.S / s.AE;
  double k_en = in.Z * enamel / s.AE;
  double k_void = 1 - k_cu - k_en;
  Require(s.AE > 0 && k_void > 0, "槽内导线连漆膜的面积应小于槽有效面积AE");
  double k_filled = d.IMPREGNATION * d.K_VARNISH + (1 - d.IMPREGNATION) * d.K_AIR;
  double k_m = (k_en + k_void) / (k_en / d.K_ENAMEL + k_void / k_filled);
  return k_m * ((1 + k_cu) * d.K_CU + (1 - k_cu) * k_m) / ((1 - k_cu) * d.K_CU + (1 + k_cu) * k_m);
}

// The slot winding to the slot walls: its mean to the liner as a slab of the
// slot's mean width b and the height AE/b that gives its area, heat leaving
// by both sides; then the liner si over its perimeter 2·HS12 + π·BS2/2,
// the sides to the teeth and the round bottom to the yoke.
void SlotPaths(const CalculationState& s, const ThermalData& d, const Geometry& g, Model& m) {
  const calc::Inputs& in = s.in;
  double b = (in.BS1 + in.BS2) / 2;
  double perimeter = 2 * in.HS12 + pi * in.BS2 / 2;
  Require(b > 0 && in.HS12 > 0 && in.BS2 > 0, "槽宽BS1、BS2和槽高HS12应大于0");
  Require(in.si > 0, "槽绝缘厚度si应大于0");
  double height = s.AE / b;
  m.G_slot_bulk = in.Q1 * 12 * WindingConductivity(s, d) * (height / b) * g.L;
  double liner = in.Q1 * d.K_LINER * (perimeter / in.si) * g.L;
  double G = Series(m.G_slot_bulk, liner);
  double sides = 2 * in.HS12 / perimeter;
  m.fixed.G[int(P::SlotTeeth)] = G * sides;
  m.fixed.G[int(P::SlotYoke)] = G * (1 - sides);
}

// Slot and end winding along the conductors: each of the Q1·Z conductors
// in the slots meets an end winding at both core ends; with its middle and
// the end winding's middle adiabatic (symmetry), each junction joins the
// two means through (L/2)/(3·λ·S) + ((LZ − L)/2)/(3·λ·S) = LZ/(6·λ·S).
double AlongConductors(const CalculationState& s, const ThermalData& d) {
  const calc::Inputs& in = s.in;
  return 2 * in.Q1 * in.Z * 6 * d.K_CU * (s.S * kMm * kMm) / (s.LZ * kMm);
}

// The stator core: yoke and teeth radially, the yoke to the frame through
// the interface gap and the frame wall, and across the stack to the core
// ends, which the end-space air cools.
void StatorPaths(const CalculationState& s, const ThermalData& d, const FrameSize& frame,
                 const Geometry& g, double h_end_cap, Model& m) {
  const calc::Inputs& in = s.in;
  double tooth_depth = g.r_root - g.r_bore;
  double teeth_area = in.Q1 * s.BT1W * kMm * g.L;
  Require(teeth_area > 0, "定子齿宽BT1应大于0");
  m.fixed.G[int(P::YokeTeeth)] =
      Series(Shell(g.r_root, g.r_yoke, g.k_plane, g.L), teeth_area * 3 * g.k_plane / tooth_depth);
  double r_wall = g.r_o + frame.FRAME_WALL * kMm;
  m.fixed.G[int(P::YokeFrame)] =
      Series(Shell(g.r_yoke, g.r_o, g.k_plane, g.L), Contact(d.GAP_FRAME, 2 * pi * g.r_o * g.L, d),
             Shell(g.r_o, r_wall, d.K_FRAME, g.L));
  double face = pi * (g.r_o * g.r_o - g.r_root * g.r_root);
  m.fixed.G[int(P::YokeAir)] = Series(12 * g.k_across * face / g.L, h_end_cap * 2 * face);
}

// The end windings (rings from the top of the slot's conductors to its
// bottom, D + FD long: both cylinders and the outer face) to the end-space
// air; that air to the end shields and the frame inside the end spaces.
void EndSpacePaths(const CalculationState& s, const ThermalData& d, const Geometry& g,
                   double h_end_cap, Model& m) {
  double v = d.END_AIR * g.v_rotor;
  double r_in = g.r_top;
  double ring = 2 * pi * (r_in + g.r_root) * g.overhang + pi * (g.r_root * g.r_root - r_in * r_in);
  m.fixed.G[int(P::EndAir)] = EndSpaceH(d.EW_K1, d.EW_K2, d.EW_K3, v) * 2 * ring;
  double inside = 2 * (pi * g.r_o * g.r_o + 2 * pi * g.r_o * g.end_space);
  m.fixed.G[int(P::AirFrame)] = h_end_cap * inside;
  m.fixed.G[int(P::SlotEnd)] = AlongConductors(s, d);
}

// Air gap: Becker & Kaye (1962) in the Taylor number Ta = ω²·rm·G³/ν², the
// geometric factor taken as 1 (within 1 % for a gap under 1 % of the radius).
double GapH(const Geometry& g, double gap, const ThermalData& d) {
  double omega = g.v_rotor / g.r_2;
  double rm = g.r_2 + gap / 2;
  double Ta = omega * omega * rm * (gap * gap * gap) / (d.NU_AIR * d.NU_AIR);
  double Nu = d.GAP_NU0;
  if (Ta >= d.TA_TURBULENT)
    Nu = d.GAP_A2 * std::pow(Ta, d.GAP_E2);
  else if (Ta >= d.TA_VORTEX)
    Nu = d.GAP_A1 * std::pow(Ta, d.GAP_E1);
  return Nu * d.K_AIR / (2 * gap);
}

// The rotor: across the air gap to the teeth (and from its surface to the
// bars' middle), to the end-space air through its cage and its stack along
// the axis and then off its end faces and end rings (square rings of area
// SRR at the diameter Dr) at its own peripheral speed, and through the
// shaft to the bearings: radially to the bore, the fit, then along the
// shaft from the core's middle to each bearing, the end space away.
void RotorPaths(const CalculationState& s, const ThermalData& d, const Geometry& g, Model& m) {
  const calc::Inputs& in = s.in;
  double gap = g.r_bore - g.r_2;
  double h_gap = GapH(g, gap, d);
  m.fixed.G[int(P::TeethRotor)] =
      Series(h_gap * 2 * pi * (g.r_2 + gap / 2) * g.L, Shell(g.r_bar, g.r_2, g.k_plane, g.L));
  double end_face = pi * (g.r_2 * g.r_2 - g.r_shaft * g.r_shaft);
  double bars = in.Q2 * s.SB * kMm * kMm;
  Require(bars > 0 && bars < end_face && in.SRR > 0, "转子导条面积SB和端环面积SRR应大于0");
  double along = 12 * (d.K_AL * bars + g.k_across * (end_face - bars)) / g.L;
  double rings = 4 * pi * (s.Dr * kMm) * std::sqrt(in.SRR) * kMm;
  double h_rotor = EndSpaceH(d.EC_K1, d.EC_K2, d.EC_K3, g.v_rotor);
  m.fixed.G[int(P::RotorAir)] = Series(along, h_rotor * (2 * end_face + rings));
  double shaft = 2 * d.K_SHAFT * pi * g.r_shaft * g.r_shaft / (g.L / 2 + g.end_space);
  m.fixed.G[int(P::RotorShaft)] = Series(Shell(g.r_shaft, g.r_bar, g.k_plane, g.L),
                                         Contact(d.GAP_SHAFT, 2 * pi * g.r_shaft * g.L, d), shaft);
}

// Both bearings into the end shields, across their seats.
void BearingPath(const ThermalData& d, const Geometry& g, Model& m) {
  double bore = 2 * g.r_shaft;
  double seat = pi * (d.BEARING_OD * bore) * (d.BEARING_WIDTH * bore);
  m.fixed.G[int(P::ShaftFrame)] = 2 * Contact(d.GAP_BEARING, seat, d);
}

// Forced convection in the open channels between the fins, Heiles (1952),
// at the mean air speed the fan gives at rated speed.
double HeilesH(double Dh, double Lf, double v, const ThermalData& d) {
  if (!(v > 0)) return 0;
  double rho_cp = d.RHO_AIR * d.CP_AIR;
  double m = d.HEILES_C * std::pow(Lf, d.HEILES_EL) / std::pow(Dh, d.HEILES_ED) *
             std::pow(d.K_AIR / (rho_cp * v), d.HEILES_EV);
  return rho_cp * Dh * v / (4 * Lf) * (1 - std::exp(-m));
}

// Fin efficiency of a straight fin with an adiabatic tip (Incropera &
// DeWitt 2002, Table 3.4): tanh(mH)/(mH).
double FinEfficiency(double h, double k, double thickness, double height) {
  double mH = std::sqrt(2 * h / (k * thickness)) * height;
  return mH > 0 ? std::tanh(mH) / mH : 1.0;
}

// The frame, L + 2 end spaces long, its bore D1: fins over FIN_COVER of the
// circumference and the fan-side end shield, which the fan's air sweeps
// before it enters the fins, at the fins' h; the envelope over the fin tips
// (and both ends) by free convection and radiation.
void FramePaths(const CalculationState& s, const ThermalData& d, const FrameSize& frame,
                const Geometry& g, Model& m) {
  double r_base = g.r_o + frame.FRAME_WALL * kMm;
  double r_tip = frame.FRAME_OD * kMm / 2;
  double height = r_tip - r_base, thickness = frame.FIN_THICKNESS * kMm;
  Require(height > 0, "机座外径应大于定子外径D1加两倍机座壁厚");
  double Lf = g.L + 2 * g.end_space;
  double channel = 2 * pi * r_base / frame.FIN_COUNT - thickness;
  Require(channel > 0, "机座散热筋过密：筋数乘筋厚超过机座周长");
  double Dh = 4 * channel * height / (2 * height + channel);
  double v = d.FAN_AIR * pi * (d.FAN_DIAMETER * 2 * r_tip) * s.N / 60;
  double h = HeilesH(Dh, Lf, v, d);
  double fins = 2 * frame.FIN_COUNT * height * FinEfficiency(h, d.K_FRAME, thickness, height);
  m.G_forced = h * (d.FIN_COVER * Lf * (fins + 2 * pi * r_base) + pi * r_base * r_base);
  m.D_envelope = 2 * r_tip;
  m.A_envelope = 2 * pi * r_tip * Lf + 2 * pi * r_tip * r_tip;
}

// The losses of the run where they arise.
HeatSources ColdSources(const CalculationState& s, const ThermalData& d) {
  HeatSources h;
  h.slot_copper = s.PCU1 * (s.in.L / s.LZ);
  h.end_copper = s.PCU1 - h.slot_copper;
  h.bar_copper = s.PCU2 * (s.RB1 / s.R21);
  h.ring_copper = s.PCU2 - h.bar_copper;
  // Item 90 of the procedure: PFE = 2.5·Pt1 + 2·Pj1.
  h.teeth_iron = 2.5 * s.Pt1;
  h.yoke_iron = s.PFE - h.teeth_iron;
  h.stray_stator = s.PSW * d.STRAY_STATOR;
  h.stray_rotor = s.PSW - h.stray_stator;
  h.bearings = s.PFWW * d.BEARING_LOSS;
  h.fan = s.PFWW - h.bearings;
  return h;
}

void Build(const CalculationState& s, const ThermalData& d, Model& m) {
  const MotorSection section = SectionOf(s, d);
  Geometry g = GeometryOf(section, s, d);
  RequireGeometry(s, g);
  const FrameSize& frame = section.frame;
  double h_end_cap = EndSpaceH(d.EC_K1, d.EC_K2, d.EC_K3, d.END_AIR * g.v_rotor);
  SlotPaths(s, d, g, m);
  StatorPaths(s, d, frame, g, h_end_cap, m);
  EndSpacePaths(s, d, g, h_end_cap, m);
  RotorPaths(s, d, g, m);
  BearingPath(d, g, m);
  FramePaths(s, d, frame, g, m);
  m.cold = ColdSources(s, d);
  m.slot_length = s.in.L;
  m.end_length = s.LZ - s.in.L;
}

}  // namespace

bool BuildModel(const CalculationState& s, const ThermalData& d, Model& m, std::string& fault) {
  try {
    Build(s, d, m);
  } catch (const NoModel& no) {
    fault = std::string("不能建立热网络：") + no.why;
    return false;
  }
  for (int p = 0; p < kThermalPaths; ++p) {
    if (p != int(P::FrameAmbient) && !(std::isfinite(m.fixed.G[p]) && m.fixed.G[p] > 0)) {
      fault = "不能建立热网络：热导不是有限正数，请检查设计尺寸和热参数";
      return false;
    }
  }
  return true;
}

double FrameToAmbient(const Model& m, const ThermalData& d, double rise, double ambient) {
  double Ta = ambient + kKelvin, Ts = Ta + std::max(rise, 0.0);
  double h_radiation = d.EMISSIVITY * kStefanBoltzmann * (Ts * Ts + Ta * Ta) * (Ts + Ta);
  double D = m.D_envelope;
  double Ra =
      kGravity * (2 / (Ts + Ta)) * (Ts - Ta) * (D * D * D) / (d.NU_AIR * (d.NU_AIR / d.PR_AIR));
  double root = d.CC_A + d.CC_B * std::pow(Ra, 1.0 / 6) /
                             std::pow(1 + std::pow(d.CC_C / d.PR_AIR, 9.0 / 16), 8.0 / 27);
  double h_free = root * root * d.K_AIR / D;
  return m.G_forced + (h_free + h_radiation) * m.A_envelope;
}

}  // namespace velmora::studies::thermal

namespace velmora::studies {

MotorSection SectionOf(const CalculationState& s, const ThermalData& d) {
  const calc::Inputs& in = s.in;
  MotorSection m;
  m.D1 = in.D1;
  m.DI1 = in.DI1;
  m.conductor_top = in.HS0 + s.HS1;
  m.slot_depth = in.HS0 + in.HS12 + s.RS;
  m.Q1 = in.Q1;
  m.BS1 = in.BS1;
  m.BS2 = in.BS2;
  m.D2 = s.D2;
  m.DI2 = in.DI2;
  m.Q2 = in.Q2;
  m.HRT = s.HRT;
  m.SB = s.SB;
  m.Dr = s.Dr;
  m.ring_side = std::sqrt(std::max(double(in.SRR), 0.0));
  m.L = in.L;
  m.overhang = in.D + s.FD;
  m.end_space = std::isnan(d.END_SPACE) ? m.overhang + d.END_CLEARANCE : d.END_SPACE;
  m.bearing_od = d.BEARING_OD * in.DI2;
  m.bearing_width = d.BEARING_WIDTH * in.DI2;
  m.frame = FrameOf(in.H, d);
  return m;
}

}  // namespace velmora::studies
