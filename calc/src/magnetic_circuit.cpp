// Magnetic circuit: tooth, yoke and air-gap geometry, and the flux stage with
// the tooth-saturation iteration (items 22 to 43).
#include <algorithm>
#include <cmath>
#include <optional>

#include "procedure.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

namespace {

// Calculation width of a tapered tooth: the narrower width plus a third of
// the difference.
double CalculationWidth(double wa, double wb) {
  if (wb > wa) return wa + (wb - wa) / 3;
  return wb + (wa - wb) / 3;
}

void StatorGeometry(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("23.1", "定子齿宽BT1");
  double wa = pi * (in.DI1 + 2 * (in.HS0 + s.HS1)) / in.Q1 - in.BS1;
  double wb = pi * (in.DI1 + 2 * (in.HS0 + in.HS12)) / in.Q1 - in.BS2;
  s.BT1W = CalculationWidth(wa, wb);
  s.narrowest.BT1W = std::min(wa, wb);
  r.Item("23.3", "定子齿部截面积AT1");
  s.AT1 = in.Q1 * s.LFE * s.BT1W / in.P;
  r.Item("24.1", "定子轭计算高度HJ11");
  s.HJ11 = (in.D1 - in.DI1) / 2 - (in.HS0 + in.HS12 + s.RS) + s.RS / 3;
  r.Item("33.1", "定子齿磁路计算长度LT1");
  s.LT1 = s.HS1 + s.HS2 + s.RS / 3;
  r.Item("34.1", "定子轭磁路计算长度LJ1");
  s.LJ1 = (pi * (in.D1 - s.HJ11) / 4) / (in.P / 2);
}

// Slot depth and bar height of each rotor slot shape.
void RotorSlotDepth(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("63.2", "转子槽深HRT、导条高HB");
  if (in.ZC == 1) {
    s.HRT = in.HR0 + in.HR12;
    s.HB = in.HR12;
  } else if (in.ZC == 2 || in.ZC == 3) {
    s.HRT = in.HR0 + in.HR12 + in.BR2 / 2;
    s.HB = in.HR12 + in.BR2 / 2;
  } else if (in.ZC == 4) {
    s.HRT = in.HR0 + in.HR12 + in.HR3;
    s.HB = in.HR12 + in.HR3;
  }
}

void RotorTeeth(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("23.2", "转子齿宽BT2");
  double wa = pi * (s.D2 - 2 * (in.HR0 + s.HR1)) / in.Q2 - in.BR1;
  double wb = pi * (s.D2 - 2 * (in.HR0 + in.HR12)) / in.Q2 - in.BR2;
  if (in.ZC != 4) {
    s.BT2W = CalculationWidth(wa, wb);
    s.narrowest.BT2W = std::min(wa, wb);
    r.Item("23.4", "转子齿部截面积AT2");
    s.AT2 = in.Q2 * s.LFE * s.BT2W / in.P;
    r.Item("33.2", "转子齿磁路计算长度LT2");
    if (in.ZC == 1) s.LT2 = in.HR12;
    if (in.ZC == 2 || in.ZC == 3) s.LT2 = in.HR12 + in.BR2 / 6;
    return;
  }
  s.BT2UW = CalculationWidth(wa, wb);
  double wc = wb + in.BR2 - in.BR3;
  double wd = pi * (s.D2 - 2 * s.HRT) / in.Q2 - in.BR4;
  s.BT2LW = CalculationWidth(wd, wc);
  s.narrowest.BT2UW = std::min(wa, wb);
  s.narrowest.BT2LW = std::min(wc, wd);
  r.Item("23.4", "转子齿部截面积AT2");
  s.AT2U = in.Q2 * s.LFE * s.BT2UW / in.P;
  s.AT2L = in.Q2 * s.LFE * s.BT2LW / in.P;
  r.Item("33.2", "转子齿磁路计算长度LT2");
  s.LT2U = in.HR12;
  s.LT2L = in.HR3;
}

void RotorYoke(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("24.2", "转子轭计算高度HJ21");
  // A two-pole rotor carries part of the yoke flux under the shaft.
  double shaft = in.P == 2 ? in.DI2 / 3 : static_cast<double>(in.DI2);
  s.HJ21 = (s.D2 - shaft) / 2 - s.HRT;
  if (in.ZC == 2 || in.ZC == 3) s.HJ21 = s.HJ21 + in.BR2 / 6;
  r.Item("34.2", "转子轭磁路计算长度LJ2");
  s.LJ2 = (pi * (in.DI2 + s.HJ21) / 4) / (in.P / 2);
}

// Rotor bar areas, with and without the strip of the slot opening.
void BarAreas(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("63.2", "转子导条面积SB");
  double opening = in.HR0 * in.B02;
  if (in.ZC == 1 || in.ZC == 2) {
    s.SB = opening + s.HR1 * (in.B02 + in.BR1) / 2 + s.HR2 * (in.BR1 + in.BR2) / 2;
    if (in.ZC == 2) s.SB = s.SB + pi * sq(in.BR2) / 8;
    s.SBN = s.SB - opening;
  } else if (in.ZC == 3) {
    s.SB =
        opening + pi * sq(in.BR1 / 2) / 2 + s.HR2 * (in.BR1 + in.BR2) / 2 + pi * sq(in.BR2 / 2) / 2;
    s.SBN = s.SB - opening;
  } else if (in.ZC == 4) {
    s.SBU = s.HR1 * (in.BR1 + in.B02) / 2;
    s.SBM = s.HR2 * (in.BR1 + in.BR2) / 2;
    s.SBL = in.HR3 * (in.BR3 + in.BR4) / 2;
    s.SB = s.SBU + s.SBM + s.SBL;
    s.SBN = s.SB;
  }
}

// Carter coefficient of a slotted surface of slot pitch t and opening b.
double CarterCoefficient(double t, double G, double b) {
  return t * (4.4 * G + 0.75 * b) / (t * (4.4 * G + 0.75 * b) - sq(b));
}

void GapAndYokeAreas(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("25", "空气隙面积AG");
  s.AG = s.LEF * s.TP;
  r.Item("24.3", "定转子轭部截面积AJ1、AJ2");
  s.AJ1 = s.LFE * s.HJ11;
  s.AJ2 = s.LFE * s.HJ21;
  r.Item("35", "有效气隙长度GEF");
  s.KC1 = CarterCoefficient(s.T1, in.G, in.B01);
  s.KC2 = CarterCoefficient(s.T2, in.G, in.B02);
  s.GEF = in.G * s.KC1 * s.KC2;
}

// Flux densities for the assumed saturation factor FT0 (items 26 to 31).
// The yoke densities follow FA alone: a later pass keeps them.
void FluxDensities(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  r.Item("26.2", "波幅系数FS");
  s.FS = 0.2668 * sq(s.FT0) - 1.0163 * s.FT0 + 2.323;
  r.Item("27", "齿、轭及气隙磁密");
  s.BG = 1e6 * s.FA * s.FS / s.AG;
  s.BT1 = 1e6 * s.FA * s.FS / s.AT1;
  if (first_pass) {
    s.BJ1 = 1e6 * (s.FA / 2) / s.AJ1;
    s.BJ2 = 1e6 * (s.FA / 2) / s.AJ2;
  }
  if (s.in.ZC == 4) {
    s.BT2U = 1e6 * s.FA * s.FS / s.AT2U;
    s.BT2L = 1e6 * s.FA * s.FS / s.AT2L;
  } else {
    s.BT2 = 1e6 * s.FA * s.FS / s.AT2;
  }
}

// Field strengths, yoke coefficients and magnetic voltage drops at full load
// (items 32 to 38); the two-section rotor tooth is taken section by section.
// The yoke drops follow the yoke densities: a later pass keeps them.
void MagneticDrops(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  bool two_section = in.ZC == 4;
  r.Item("32", "磁场强度及磁压降");
  OperatingPoint full_load{CurveSite::BT1, CurveSite::BT2, CurveSite::BJ1, CurveSite::BJ2,  //
                           s.BT1,          s.BT2,          s.BJ1,          s.BJ2,           //
                           s.HT1,          s.HT2,          s.HJ1,          s.HJ2,           //
                           s.CJ1,          s.CJ2,                                           //
                           s.FT1,          s.FT2,          s.FJ1,          s.FJ2};
  ToothDrops(s, full_load, two_section);
  if (first_pass) YokeDrops(s, full_load);
  if (two_section) {
    if (in.GGPph == 1) {
      LookUp(s, CurveSite::BT2U, s.BT2U, SteelCurve::FieldStrength, s.HT2U);
      LookUp(s, CurveSite::BT2L, s.BT2L, SteelCurve::FieldStrength, s.HT2L);
    }
    s.FT2U = s.LT2U * s.HT2U / 10;
    s.FT2L = s.LT2L * s.HT2L / 10;
    s.FT2 = s.FT2L + s.FT2U;
  }
  r.Item("38", "空气隙磁压降FG");
  s.FG = 0.8 * s.BG * s.GEF * 1e3;
}

// The tooth-saturation iteration on FT0 (items 26 and 39). The start value
// is the same on every outer pass: a later one takes it over from the first.
void SaturationIteration(Procedure& r, std::optional<double>& FT0_start) {
  CalculationState& s = r.s;
  r.Item("26.1", "饱和系数初值FT0");
  if (!FT0_start) FT0_start = 1.34 - 0.037 * std::log(s.in.Pn);
  s.FT0 = *FT0_start;
  IterationGuard guard(r, "FT0");
  for (;;) {
    guard.Pass();
    ++s.passes.FT0;
    bool first_pass = guard.passes() == 1;
    FluxDensities(r, first_pass);
    MagneticDrops(r, first_pass);
    r.Item("39", "饱和系数计算值FT");
    s.FT = (s.FG + s.FT1 + s.FT2) / s.FG;
    r.CheckAtLoopTest();
    if (std::fabs(s.FT - s.FT0) <= 0.01) break;
    guard.NextPassAllowed(s.FT0, s.FT);
    s.FT0 = s.FT - (s.FT - s.FT0) / 3;
  }
}

}  // namespace

void ToothDrops(CalculationState& s, const OperatingPoint& p, bool two_section_rotor) {
  if (s.in.GGPph == 1) {
    LookUp(s, p.siteT1, p.BT1, SteelCurve::FieldStrength, p.HT1);
    if (!two_section_rotor) LookUp(s, p.siteT2, p.BT2, SteelCurve::FieldStrength, p.HT2);
  }
  p.FT1 = s.LT1 * p.HT1 / 10;
  if (!two_section_rotor) p.FT2 = s.LT2 * p.HT2 / 10;
}

void YokeDrops(CalculationState& s, const OperatingPoint& p) {
  const Inputs& in = s.in;
  if (in.GGPph == 1) {
    LookUp(s, p.siteJ1, p.BJ1, SteelCurve::FieldStrength, p.HJ1);
    LookUp(s, p.siteJ2, p.BJ2, SteelCurve::FieldStrength, p.HJ2);
  }
  YokeCorrectionCoefficients(in.P, p.BJ1, p.BJ2, s.HJ11, s.HJ21, s.TP, p.CJ1, p.CJ2);
  p.FJ1 = s.LJ1 * p.HJ1 * p.CJ1 / 10;
  p.FJ2 = s.LJ2 * p.HJ2 * p.CJ2 / 10;
}

void MagneticGeometry(Procedure& r) {
  StatorGeometry(r);
  RotorSlotDepth(r);
  RotorTeeth(r);
  RotorYoke(r);
  BarAreas(r);
  GapAndYokeAreas(r);
}

void FluxStage(Procedure& r, std::optional<double>& FT0_start) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("22.2", "每极磁通FA");
  s.FA = s.KE0 * in.Un / (2.22 * in.f * s.ZF * s.KDP1);
  SaturationIteration(r, FT0_start);
  r.Item("40", "总磁压降F0");
  s.F0 = s.FG + s.FT1 + s.FT2 + s.FJ1 + s.FJ2;
  r.Item("41", "满载磁化电流IM");
  s.IM = 4.44 * (in.P / 2) * s.F0 / (3 * s.ZF * s.KDP1);
  r.Item("42", "满载磁化电流标么值IM1");
  s.IM1 = s.IM / s.IKW;
  r.Item("43", "励磁电抗标么值XM1");
  s.XM1 = 1 / s.IM1;
}

}  // namespace velmora::calc
