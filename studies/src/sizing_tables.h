// The tables and correlations the sizing of a new motor rests on, each with
// its source: frames, lamination diameters, loadings, slot combinations, air
// gap, current and flux densities, losses and the usual guaranteed values.
#pragma once

#include <optional>
#include <vector>

namespace velmora::studies::sizing {

// `x` on a step of `step` (a decimal step stays the double nearest its
// decimal, so the value reads as typed).
double OnStep(double x, double step);

// A rating of the frame table: Pn kW at P poles in the frame of centre
// height H with its core length letter.
struct FrameRating {
  int P;
  double Pn;
  int H;
  char length;  // 'S', 'M', 'L'
};
const std::vector<FrameRating>& FrameTable();
// The table's row for Pn at P: the smallest rating at or above Pn.
std::optional<FrameRating> FrameFor(double Pn, int P);

// What goes with a centre height: lamination, shaft, slot openings, coil ends.
struct FrameData {
  int H;
  double D1;           // stator lamination outer diameter, mm
  double DI2_2P, DI2;  // rotor bore (shaft), mm: 2 poles, more poles
  double B01, HS0;     // stator slot opening and lip, mm
  double B02, HR0;     // rotor slot opening and bridge, mm
  double D;            // straight extension of the coil beyond the core, mm
};
// Empty for a centre height not in the table.
std::optional<FrameData> FrameDataOf(int H);
std::vector<int> Heights();

// Bore to outside diameter DI1/D1 usual at P poles.
double BoreRatio(int P);

// Peak air-gap flux density Bδ, T, and electric loading A, A/cm, usual for
// Pn kW at P poles.
struct Loadings {
  double Bdelta, A;
};
Loadings LoadingsFor(double Pn, int P);

// Stator and rotor slots Q1/Q2 in use at P poles in a frame of centre height H.
struct SlotCombination {
  int Q1, Q2;
};
SlotCombination SlotsFor(int P, int H);
// Whether Q1/Q2 is free of the combinations that lock or run rough:
// Q1 ≠ Q2 and |Q1 − Q2| > 2.
bool SafeCombination(int Q1, int Q2);

// Single layer for the smaller frames, double layer (chorded) otherwise.
int Layers(int P, int H);
// Coil pitch of a double layer, slots: the least whole pitch of at least
// 0.8 of the pole pitch Q1/P (about 5/6, the fifth and seventh harmonics).
int ChordedPitch(int Q1, int P);

// Air gap, mm, before rounding to 0.05 mm: Pn kW at P poles, 50 Hz.
double AirGap(double Pn, int P);

// Design densities: stator current density J1 (A/mm²), bar and ring current
// densities of the die-cast aluminium cage, tooth flux densities and the
// highest yoke flux densities (T).
struct Densities {
  double J1, JB, JR;
  double BT1, BJ1, BT2, BJ2;
};
Densities DensitiesFor(double Pn, int P);

// EMF over phase voltage at full load, E/U.
double EmfRatio(double Pn, int P);

// Stray and mechanical losses, per unit of the rated output.
double StrayLoss(double Pn);
double MechanicalLoss(double Pn, int P);

// Guaranteed values usual for the rating (besides the efficiency).
struct UsualTargets {
  double PF, IST, TST, TM, SF0;
};
UsualTargets UsualTargetsFor(double Pn, int P);

// Wire: the largest bare diameter wound by hand in a random-wound coil, mm.
inline constexpr double kMaxStrandDiameter = 1.06;

}  // namespace velmora::studies::sizing
