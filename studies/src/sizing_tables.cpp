// The sizing tables. Every coefficient states its source; where the source
// gives a range, the value chosen inside it was calibrated on the four
// example designs (Y132S-4 5.5 kW, Y132S2-2 7.5 kW, Y132M2-6 5.5 kW,
// Y160M-4 11 kW, all 380 V 50 Hz).
#include "sizing_tables.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::studies::sizing {

namespace {

// Linear interpolation in log10(Pn) over the output points of a table row,
// held at both ends.
constexpr std::array<double, 6> kOutputs = {0.55, 1.5, 5.5, 15, 45, 90};

double OverOutput(double Pn, const std::array<double, 6>& values) {
  double x = std::log10(std::clamp(Pn, kOutputs.front(), kOutputs.back()));
  std::size_t i = 1;
  while (i + 1 < kOutputs.size() && x > std::log10(kOutputs[i])) ++i;
  double x0 = std::log10(kOutputs[i - 1]), x1 = std::log10(kOutputs[i]);
  return values[i - 1] + (values[i] - values[i - 1]) * (x - x0) / (x1 - x0);
}

// Row of a table by pole count: 2, 4 or 6 poles.
template <typename T>
const T& ByPoles(int P, const T& p2, const T& p4, const T& p6) {
  return P == 2 ? p2 : P == 4 ? p4 : p6;
}

}  // namespace

double OnStep(double x, double step) {
  double k = std::round(x / step);
  return step < 1 ? k / std::round(1 / step) : k * step;
}

// Output to frame of totally enclosed fan-cooled motors, IEC 60072-1 frame
// numbers with the assignment of EN 50347 (Table 2, IM B3, 50 Hz), as the
// Y/Y2/YE series follow it.
const std::vector<FrameRating>& FrameTable() {
  static const std::vector<FrameRating> table = {
      {2, 0.55, 71, 'M'}, {2, 0.75, 80, 'M'},  {2, 1.1, 80, 'M'},   {2, 1.5, 90, 'S'},
      {2, 2.2, 90, 'L'},  {2, 3, 100, 'L'},    {2, 4, 112, 'M'},    {2, 5.5, 132, 'S'},
      {2, 7.5, 132, 'S'}, {2, 11, 160, 'M'},   {2, 15, 160, 'M'},   {2, 18.5, 160, 'L'},
      {2, 22, 180, 'M'},  {2, 30, 200, 'L'},   {2, 37, 200, 'L'},   {2, 45, 225, 'M'},
      {2, 55, 250, 'M'},  {2, 75, 280, 'S'},   {2, 90, 280, 'M'},   {4, 0.55, 80, 'M'},
      {4, 0.75, 80, 'M'}, {4, 1.1, 90, 'S'},   {4, 1.5, 90, 'L'},   {4, 2.2, 100, 'L'},
      {4, 3, 100, 'L'},   {4, 4, 112, 'M'},    {4, 5.5, 132, 'S'},  {4, 7.5, 132, 'M'},
      {4, 11, 160, 'M'},  {4, 15, 160, 'L'},   {4, 18.5, 180, 'M'}, {4, 22, 180, 'L'},
      {4, 30, 200, 'L'},  {4, 37, 225, 'S'},   {4, 45, 225, 'M'},   {4, 55, 250, 'M'},
      {4, 75, 280, 'S'},  {4, 90, 280, 'M'},   {6, 0.55, 80, 'M'},  {6, 0.75, 90, 'S'},
      {6, 1.1, 90, 'L'},  {6, 1.5, 100, 'L'},  {6, 2.2, 112, 'M'},  {6, 3, 132, 'S'},
      {6, 4, 132, 'M'},   {6, 5.5, 132, 'M'},  {6, 7.5, 160, 'M'},  {6, 11, 160, 'L'},
      {6, 15, 180, 'L'},  {6, 18.5, 200, 'L'}, {6, 22, 200, 'L'},   {6, 30, 225, 'M'},
      {6, 37, 250, 'M'},  {6, 45, 280, 'S'},   {6, 55, 280, 'M'},   {6, 75, 315, 'S'},
      {6, 90, 315, 'M'},
  };
  return table;
}

std::optional<FrameRating> FrameFor(double Pn, int P) {
  for (const FrameRating& r : FrameTable())
    if (r.P == P && r.Pn >= Pn * (1 - 1e-9)) return r;
  return std::nullopt;
}

// Lamination outer diameters of the usual series for these frames (the
// Y/Y2 laminations: 132 → 210 mm, 160 → 260 mm as the examples); shaft
// bores with the 132 examples (48 mm, 40 mm at 2 poles, whose rotor carries
// half the torque of a 4-pole one of equal output) and 160 (60 mm), scaled
// with the frame; slot openings and lips as the examples (3.5/0.8 mm at
// 132, 3.8/1.0 mm at 160; rotor 1.0/0.5 and 1.5/0.7 mm), wider with the
// larger wires of larger frames; coil extension 12–15 mm as the examples.
std::optional<FrameData> FrameDataOf(int H) {
  static const std::array<FrameData, 12> table = {{
      {71, 110, 20, 22, 2.5, 0.8, 1.0, 0.5, 8},
      {80, 120, 22, 26, 2.5, 0.8, 1.0, 0.5, 8},
      {90, 130, 24, 28, 2.5, 0.8, 1.0, 0.5, 10},
      {100, 155, 28, 32, 3.0, 0.8, 1.0, 0.5, 10},
      {112, 175, 32, 38, 3.0, 0.8, 1.0, 0.5, 10},
      {132, 210, 40, 48, 3.5, 0.8, 1.0, 0.5, 12},
      {160, 260, 50, 60, 3.8, 1.0, 1.5, 0.7, 15},
      {180, 290, 55, 65, 3.8, 1.0, 1.5, 0.7, 15},
      {200, 327, 60, 75, 4.0, 1.0, 1.5, 0.7, 18},
      {225, 368, 65, 80, 4.0, 1.0, 1.5, 1.0, 20},
      {250, 400, 75, 90, 4.0, 1.0, 1.5, 1.0, 20},
      {280, 445, 80, 100, 4.0, 1.0, 1.5, 1.0, 25},
  }};
  static const FrameData f315 = {315, 520, 90, 110, 4.0, 1.0, 1.5, 1.0, 25};
  if (H == f315.H) return f315;
  for (const FrameData& d : table)
    if (d.H == H) return d;
  return std::nullopt;
}

std::vector<int> Heights() {
  return {71, 80, 90, 100, 112, 132, 160, 180, 200, 225, 250, 280, 315};
}

// DI1/D1: 陈世坤《电机设计》, main dimensions of induction motors, the ratio
// of bore to outside diameter by pole count (about 0.52–0.57 at 2 poles,
// 0.61–0.68 at 4, 0.68–0.72 at 6); the examples have 116/210 = 0.552,
// 136/210 = 0.648, 170/260 = 0.654 and 148/210 = 0.705.
double BoreRatio(int P) { return ByPoles(P, 0.55, 0.65, 0.70); }

// Loadings: Pyrhönen, Jokinen & Hrabovcová, "Design of Rotating Electrical
// Machines", ch. 6 (induction machines: peak air-gap flux density 0.7–0.9 T,
// linear current density 30–65 kA/m), and 陈世坤《电机设计》, the curves of A
// and Bδ against the output per pole (both rise with the output). Calibrated
// on the examples: Bδ 0.56 T (2 poles, 7.5 kW), 0.69 T (4 poles, 5.5 kW),
// 0.70 T (6 poles, 5.5 kW); A about 260 A/cm at 5.5 kW. The 2-pole gap flux
// is lower so that its wide pole's yoke stays within the lamination.
Loadings LoadingsFor(double Pn, int P) {
  static const std::array<double, 6> B2 = {0.52, 0.54, 0.56, 0.58, 0.60, 0.62};
  static const std::array<double, 6> B4 = {0.62, 0.65, 0.69, 0.71, 0.73, 0.75};
  static const std::array<double, 6> B6 = {0.62, 0.65, 0.70, 0.72, 0.74, 0.76};
  static const std::array<double, 6> A2 = {170, 200, 265, 300, 360, 400};
  static const std::array<double, 6> A4 = {160, 195, 260, 295, 350, 390};
  static const std::array<double, 6> A6 = {150, 185, 248, 285, 340, 380};
  return {OverOutput(Pn, ByPoles(P, B2, B4, B6)), OverOutput(Pn, ByPoles(P, A2, A4, A6))};
}

// Slot combinations of the Y/Y2 series laminations (the examples: 30/26 at
// 2 poles, 36/32 and 36/26 at 4, 36/33 at 6 poles); the rotor has fewer
// slots than the stator, as 陈世坤《电机设计》 advises for a cast cage against
// the asynchronous and synchronous parasitic torques.
SlotCombination SlotsFor(int P, int H) {
  if (P == 2)
    return H <= 100   ? SlotCombination{18, 16}
           : H <= 200 ? SlotCombination{30, 26}
                      : SlotCombination{36, 28};
  if (P == 4)
    return H <= 100   ? SlotCombination{24, 22}
           : H <= 132 ? SlotCombination{36, 32}
           : H <= 160 ? SlotCombination{36, 26}
                      : SlotCombination{48, 38};
  return H <= 160   ? SlotCombination{36, 33}
         : H <= 250 ? SlotCombination{54, 44}
                    : SlotCombination{72, 58};
}

bool SafeCombination(int Q1, int Q2) { return Q1 != Q2 && std::abs(Q1 - Q2) > 2; }

// Concentric single-layer windings in the small frames (to 112, and the
// 6-pole 132 with two slots per pole and phase, as the example), chorded
// double layers above.
int Layers(int P, int H) { return H <= 112 || (H <= 132 && P >= 6) ? 1 : 2; }

int ChordedPitch(int Q1, int P) {
  double pole_pitch = double(Q1) / P;
  return static_cast<int>(std::ceil(0.8 * pole_pitch - 1e-9));
}

// Air gap of induction motors at 50 Hz, Pyrhönen, Jokinen & Hrabovcová,
// ch. 6: δ = 0.2 + 0.01·P^0.4 mm for one pole pair, 0.18 + 0.006·P^0.4 mm
// for more, P in W. The examples: 0.65 (2 poles 7.5 kW; the formula 0.55),
// 0.4, 0.35 and 0.5 mm (the formula 0.37, 0.37 and 0.43).
double AirGap(double Pn, int P) {
  double w = std::pow(Pn * 1000, 0.4);
  return P == 2 ? 0.2 + 0.01 * w : 0.18 + 0.006 * w;
}

// Current densities: 陈世坤《电机设计》 (stator copper of small enclosed
// motors 4.5–7 A/mm², lower in larger frames; die-cast aluminium bars
// 2.5–4.5 A/mm², end rings somewhat below the bars); the examples have
// J1 5.1–6.4, bars about 3.2 and rings about 2.3 A/mm². Flux densities of the
// teeth 1.4–1.7 T and the yokes 1.2–1.6 T (same source, and Pyrhönen ch. 6):
// the teeth at 1.55 T; the yokes at most 1.55 T (stator) and 1.6 T (rotor).
Densities DensitiesFor(double Pn, int P) {
  static const std::array<double, 6> J = {6.2, 6.0, 5.6, 5.3, 5.0, 4.8};
  (void)P;
  return {OverOutput(Pn, J), 3.3, 2.4, 1.55, 1.55, 1.55, 1.60};
}

// E/U at full load: 陈世坤《电机设计》, the curve of KE against output
// (about 0.85 for the smallest motors, 0.92 at 5.5 kW, 0.95 above 50 kW);
// the procedure itself starts its loop from 0.922.
double EmfRatio(double Pn, int P) {
  static const std::array<double, 6> K = {0.86, 0.89, 0.92, 0.935, 0.945, 0.95};
  return OverOutput(Pn, K) - (P == 6 ? 0.01 : 0);
}

// Stray load loss: the examples' 1.5 % of the rated output at 5.5 kW,
// varying with the output as the assigned allowance of IEC 60034-2-1
// (0.025 − 0.005·log10(P2/1 kW) of the input). Friction and windage: the
// examples' shares at 5.5–7.5 kW (1.5 % at 2 poles, 1 % at 4, 0.8 % at 6),
// falling as Pn^−0.25 as the bearings and fan grow slower than the output
// (Boldea & Nasar, "The Induction Machine Design Handbook", the chapter on
// losses: mechanical losses a falling share of larger motors).
double StrayLoss(double Pn) {
  auto allowance = [](double kW) { return 0.025 - 0.005 * std::log10(std::max(kW, 1.0)); };
  return OnStep(0.015 * allowance(Pn) / allowance(5.5), 0.0005);
}
double MechanicalLoss(double Pn, int P) {
  double share = ByPoles(P, 0.015, 0.01, 0.008) * std::pow(Pn / ByPoles(P, 7.5, 5.5, 5.5), -0.25);
  return OnStep(std::clamp(share, 0.004, 0.02), 0.0005);
}

// Guaranteed values usual in the Y/Y2 series catalogues of 50 Hz TEFC motors
// (the examples: PF 0.88/0.84/0.78, IST 7/7/6.5, TST 2.0/2.2/2.0, TM
// 2.3/2.2/2.0 at 2/4/6 poles, 5.5–7.5 kW); the power factor rises with
// the output, the starting torque falls; slot fill 0.75 (0.72–0.78 in the
// examples).
UsualTargets UsualTargetsFor(double Pn, int P) {
  static const std::array<double, 6> PF2 = {0.81, 0.84, 0.88, 0.88, 0.89, 0.89};
  static const std::array<double, 6> PF4 = {0.76, 0.79, 0.84, 0.85, 0.87, 0.88};
  static const std::array<double, 6> PF6 = {0.70, 0.73, 0.78, 0.81, 0.84, 0.86};
  static const std::array<double, 6> IST2 = {6.0, 7.0, 7.0, 7.0, 7.0, 7.0};
  static const std::array<double, 6> IST4 = {6.0, 6.5, 7.0, 7.0, 7.0, 7.0};
  static const std::array<double, 6> IST6 = {5.5, 6.0, 6.5, 6.5, 6.5, 6.5};
  static const std::array<double, 6> TST2 = {2.2, 2.2, 2.0, 2.0, 2.0, 1.8};
  static const std::array<double, 6> TST4 = {2.2, 2.2, 2.2, 2.0, 1.9, 1.8};
  static const std::array<double, 6> TST6 = {2.0, 2.0, 2.0, 2.0, 1.8, 1.7};
  double TM = ByPoles(P, 2.3, 2.2, 2.0);
  return {OverOutput(Pn, ByPoles(P, PF2, PF4, PF6)), OverOutput(Pn, ByPoles(P, IST2, IST4, IST6)),
          OverOutput(Pn, ByPoles(P, TST2, TST4, TST6)), TM, 0.75};
}

}  // namespace velmora::studies::sizing
