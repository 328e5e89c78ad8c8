// Starting performance: slot-leakage saturation, skin effect in the rotor
// bars and the starting-current iteration (items 98 to 118).
#include <cmath>

#include "procedure.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

namespace {

// Shape factor of a slot width ratio r.
double ShapeFactor(double ratio) {
  double d = 1 - ratio;
  return 3 * ratio / sq(1 + ratio) *
         (1 - d / 4 - 1 / (2 * d) - 1 / sq(d) + std::log(1 / ratio) / std::pow(d, 3));
}

// Leakage saturation and the stator at starting (items 99 to 105). BTAC
// depends on the air gap alone: a later pass keeps it.
void StatorAtStarting(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("99.1", "Fst");
  s.Fst = std::sqrt(s.KEK0) * s.IST1 * (0.707 * in.Z / in.A) *
          (s.KU1 + sq(s.KD1) * s.KP1 * in.Q1 / in.Q2);
  if (first_pass) {
    r.Item("99.2", "BTAC");
    s.BTAC = 0.64 + 2.5 * std::sqrt(in.G / (s.T1 + s.T2));
  }
  r.Item("99.3", "BL");
  s.BL = s.Fst / (1.6 * in.G * s.BTAC) / 1000;
  r.Item("99.4", "KZ");
  s.KZ = r.leakage_saturation ? LeakageSaturationFactor(s.BL) : 1;
  r.Item("100", "定转子齿顶宽度的减少Cs1、Cs2");
  s.Cs1 = (s.T1 - in.B01) * (1 - s.KZ);
  s.Cs2 = (s.T2 - in.B02) * (1 - s.KZ);
  r.Item("102.1", "DELTSPU1");
  s.DELTSPU1 = ((in.HS0 + 0.58 * s.HS1) / in.B01) * s.Cs1 / (s.Cs1 + 1.5 * in.B01);
  r.Item("108.1", "DELTSPU2");
  s.DELTSPU2 = (in.HR0 / in.B02) * s.Cs2 / (s.Cs2 + in.B02);
  r.Item("102.2", "SP1ST");
  s.SP1ST = s.KL1 * s.SPL1 + s.KU1 * (s.SPU1 - s.DELTSPU1);
  r.Item("103", "XS1ST1");
  s.XS1ST1_C = s.XS11_C * s.SP1ST / s.SP1;
  s.XS1ST1 = s.Cx * s.XS1ST1_C;
  r.Item("104", "XD1ST1");
  s.XD1ST1_C = s.XD11_C * s.KZ;
  s.XD1ST1 = s.Cx * s.XD1ST1_C;
  r.Item("105", "X1ST1");
  s.X1ST1 = s.XS1ST1 + s.XD1ST1 + s.XE11;
}

// Below this relative bar height the single-precision hyperbolic functions
// leave KR and KX less exact (1e-7 to 1e-6 at 0.3, worse below) than the
// first terms of their series (2e-7 at 0.3, better below).
constexpr double kSmallKSAI = 0.3;

// Resistance and reactance factors KR, KX of a rectangular bar at KSAI. The
// procedure's own standstill keeps the closed forms whatever the bar.
void BarFactors(CalculationState& s, bool series_allowed) {
  if (series_allowed && s.KSAI < kSmallKSAI) {
    double KSAI4 = sq(sq(s.KSAI));
    s.KR = 1 + 4 * KSAI4 / 45;
    s.KX = 1 - 8 * KSAI4 / 315;
    return;
  }
  double x = 2 * s.KSAI;
  float sh, ch;
  HyperbolicSineAndCosine(x, sh, ch);
  s.KR = s.KSAI * (sh + std::sin(x)) / (ch - std::cos(x));
  s.KX = (1.5 / s.KSAI) * (sh - std::sin(x)) / (ch - std::cos(x));
}

// Skin effect in a rectangular bar, corrected for the slot's taper (items
// 106, 107), at the rotor frequency slip·f.
void SkinEffect(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("106", "导条相对高度KSAI");
  s.KSAI = 1.987 * s.HB * std::sqrt(r.slip * in.f / in.Lo2) / 1000;
  BarFactors(s, r.slip < 1);
  r.Item("106.1", "BAta");
  // A ratio of exactly 1 would make the shape factors divide by zero.
  double top = in.ZC == 4 ? in.BR2 : in.BR1;
  double bottom = in.ZC == 4 ? in.BR3 : in.BR2;
  if (top == bottom)
    s.BAta = 1.05;
  else
    s.BAta = top / bottom;
  s.BAtb = s.BAta / (s.BAta + s.KX * (1 - s.BAta));
  s.ba = 1 - s.BAta;
  s.bbb = 1 - s.BAtb;
  r.Item("106.5", "EPSa、EPSb");
  s.EPSa = ShapeFactor(s.BAta);
  s.EPSb = ShapeFactor(s.BAtb);
  r.Item("107", "挤流效应系数rr0、xx0");
  s.rr0 = s.KR * (1 + s.BAta) / (1 / s.KR + 2 * s.BAta - s.BAta / s.KR);
  s.xx0 = s.KX * s.EPSb / s.EPSa;
  if (!r.skin_effect) s.rr0 = s.xx0 = 1;
}

// Two-section slot: the current crowds into the bar down to the equivalent
// depths HPR (resistance) and HPX (reactance).
void TwoSectionSkinEffect(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("107.1", "等效透入深度HPR、HPX");
  s.KHP = PenetrationDepthCorrection(in.BR3 / in.BR2);
  s.HPR = s.KHP * s.HB / s.KR;
  s.HPX = s.KHP * s.KX * s.HB;
  if (s.HPR > in.HR12) {
    s.BPR = in.BR4 + (in.BR3 - in.BR4) * (s.HB - s.HPR) / in.HR3;
    s.rr0 = s.SB / (s.SBU + s.SBM + (s.HPR - in.HR12) * (in.BR3 + s.BPR) / 2);
  } else {
    s.BPR = in.BR1 + (in.BR2 - in.BR1) * (s.HPR - s.HR1) / s.HR2;
    s.rr0 = s.SB / (s.SBU + (s.HPR - s.HR1) * (s.BPR + in.BR1) / 2);
  }
  r.Item("108.3", "SPL2ST");
  if (s.HPX > in.HR12) {
    s.BPX = in.BR4 + (in.BR3 - in.BR4) * (s.HB - s.HPX) / in.HR3;
    s.HPXL = s.HPX - in.HR12;
    s.SPXL = s.HPXL * (s.BPX + in.BR3) / 2;
    s.SPX = s.SBU + s.SBM + s.SPXL;
    // KTU2, KMU2 and KLU2 of the upper section are those of item 53: the
    // same WR1 gives the same values.
    s.WL2S = in.BR3 / s.BPX;
    s.KTL2S = TrapezoidSlotCoefficientOrLimit(s.WL2S);
    s.SPL2ST = TwoSectionBodyPermeance(s.KTL2S, s.HPXL, s.BPX, s.SPXL, s.SPX, s);
  } else {
    s.BPX = in.BR1 + (in.BR2 - in.BR1) * (s.HPX - s.HR1) / s.HR2;
    s.HPXL = s.HPX - s.HR1;
    s.WU2S = in.BR1 / s.BPX;
    s.HWU2S = s.HPXL / in.BR2;
    s.KTU2S = TrapezoidSlotCoefficientOrLimit(s.WU2S);
    s.SPL2ST = TaperedSlotPermeance(s.KTU2S, s.HWU2S, s.WU2S, s);
  }
}

// Lower permeance of the rotor slot at starting (items 107.1 and 108.3).
void RotorSlotAtStarting(Procedure& r) {
  CalculationState& s = r.s;
  if (s.in.ZC == 4 && r.skin_effect) {
    TwoSectionSkinEffect(r);
  } else {
    r.Item("108.3", "SPL2ST");
    s.SPL2ST = s.SPL2 * s.xx0;
  }
}

// Rotor reactances, impedance and current at starting (items 108.4 to 117).
void RotorAtStarting(Procedure& r) {
  CalculationState& s = r.s;
  r.Item("108.4", "SP2ST");
  s.SPU2ST = s.SPU2 - s.DELTSPU2;
  s.SP2ST = s.SPL2ST + s.SPU2ST;
  r.Item("109", "XS2ST1");
  s.XS2ST1_C = s.XS21_C * s.SP2ST / s.SP2;
  s.XS2ST1 = s.Cx * s.XS2ST1_C;
  r.Item("110", "XD2ST1");
  s.XD2ST1_C = s.XD21_C * s.KZ;
  s.XD2ST1 = s.Cx * s.XD2ST1_C;
  r.Item("111", "XSKST1");
  s.XSKST1_C = s.XSK1_C * s.KZ;
  s.XSKST1 = s.Cx * s.XSKST1_C;
  r.Item("112.2", "X2ST1");
  s.X2ST1 = s.XS2ST1 + s.XD2ST1 + s.XE21 + s.XSKST1;
  r.Item("113", "XST1");
  s.XST1 = s.X1ST1 + s.X2ST1;
  r.Item("114", "R2ST1");
  s.R2ST1 = s.RR1 + s.RB1 * s.rr0;
  r.Item("115", "RST1");
  s.RST1 = s.R11 + s.R2ST1;
  r.Item("116", "ZST1");
  s.ZST1 = std::sqrt(sq(s.XST1) + sq(s.RST1));
  r.Item("117.1", "起动电流IST");
}

double StartingCurrent(const Procedure& r) { return r.s.IKW / r.s.ZST1; }

}  // namespace

void StartingCurrentLoop(Procedure& r, double (*current)(const Procedure& r)) {
  CalculationState& s = r.s;
  IterationGuard guard(r, "IST1");
  for (;;) {
    guard.Pass();
    ++s.passes.IST1;
    bool first_pass = guard.passes() == 1;
    StatorAtStarting(r, first_pass);
    // The skin effect and the rotor slot it gives depend on the bar, not on
    // IST1: a later pass keeps what the first computed in their place. A
    // pass after the first means the first raised no fault on them.
    if (first_pass) {
      SkinEffect(r);
      RotorSlotAtStarting(r);
    }
    RotorAtStarting(r);
    s.IST = current(r);
    r.CheckAtLoopTest();
    if (std::fabs(s.IST - s.IST1) <= 0.03) break;
    guard.NextPassAllowed(s.IST1, s.IST);
    s.IST1 = s.IST + (s.IST - s.IST1) / 5;
  }
}

void StartingPerformance(Procedure& r) {
  CalculationState& s = r.s;
  r.Item("98", "启动电流开始假定值IST1");
  s.IST1 = 2.5 * s.TMAX1 * s.IKW;
  StartingCurrentLoop(r, StartingCurrent);
  r.Item("117.1", "起动电流倍数IST");
  s.Ist = s.IST / s.I1;
  r.Item("118", "起动转矩倍数TST1");
  s.TST1 = s.R2ST1 * (1 - s.SN) / sq(s.ZST1);
}

}  // namespace velmora::calc
