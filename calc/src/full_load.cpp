// Full-load performance: the EMF-factor and efficiency iterations, currents,
// no-load state, losses and efficiency, then power factor, slip, speed and
// breakdown torque (items 64 to 97). The output enters as the per-unit load
// r.k: 1 at the rated point, another value at a point of the load curve.
#include <cmath>
#include <optional>

#include "procedure.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

namespace {

// Per-unit currents and the EMF factor they give (items 64 to 67).
void CurrentsAndEmf(Procedure& r) {
  CalculationState& s = r.s;
  r.Item("64.1", "满载电流有功部分IP1");
  s.IP1 = r.k / s.EFF0;
  r.Item("65.1", "满载电抗电流IX1");
  s.Km = 1 + s.X11 * s.IM1;
  s.IX1 = s.Km * s.X1 * sq(s.IP1) * (1 + sq(s.Km * s.X1 * s.IP1));
  r.Item("66", "满载电流无功部分IR1");
  s.IR1 = s.IM1 + s.IX1;
  r.Item("67.1", "满载电动势系数KE");
  s.KE = 1 - (s.X11 * s.IR1 + s.R11 * s.IP1);
}

// Items 81 to 85.
void CurrentsAndDensities(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("81", "定子电流I1");
  s.I11 = std::sqrt(sq(s.IR1) + sq(s.IP1));
  s.I1 = s.IKW * s.I11;
  r.Item("84", "转子电流I2");
  s.I21 = std::sqrt(sq(s.IX1) + sq(s.IP1));
  s.I2 = 3 * s.ZF * s.KDP1 * s.IKW * s.I21 / in.Q2;
  s.IR = s.I2 * in.Q2 / (pi * in.P);
  r.Item("82", "定子电流密度J1");
  s.J1 = s.I1 / (in.A * s.S);
  r.Item("83", "线负荷A1");
  s.A1 = 10 * (3 * s.ZF * s.I1) / (pi * in.DI1);
  r.Item("85.1", "转子电流密度JB、JR");
  s.AJ = s.J1 * s.A1;
  s.JB = s.I2 / s.SBN;
  s.JR = s.IR / in.SRR;
}

// The no-load state: the full-load densities scaled by KEK0/KE, without a
// saturation iteration and with one rotor tooth section (items 68 to 80).
void NoLoadState(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("68", "空载电动势系数KEK0");
  s.KEK0 = 1 - s.X11 * s.IM1;
  r.Item("69", "空载磁密");
  s.BT10 = s.BT1 * s.KEK0 / s.KE;
  s.BT20 = s.BT2 * s.KEK0 / s.KE;
  s.BJ10 = s.BJ1 * s.KEK0 / s.KE;
  s.BJ20 = s.BJ2 * s.KEK0 / s.KE;
  s.BG0 = s.BG * s.KEK0 / s.KE;
  // One rotor tooth section for every slot shape: for the two-section slot
  // BT20 is 0 and finds no point on the curve.
  r.Item("74", "空载磁场强度及磁压降");
  OperatingPoint no_load{CurveSite::BT10, CurveSite::BT20, CurveSite::BJ10, CurveSite::BJ20,  //
                         s.BT10,          s.BT20,          s.BJ10,          s.BJ20,           //
                         s.HT10,          s.HT20,          s.HJ10,          s.HJ20,           //
                         s.CJ10,          s.CJ20,                                             //
                         s.Ft10,          s.Ft20,          s.Fj10,          s.Fj20};
  ToothDrops(s, no_load, false);
  YokeDrops(s, no_load);
  r.Item("78", "空载气隙磁压降FG0");
  s.FG0 = 0.8 * s.BG0 * s.GEF * 1e3;
  r.Item("79", "空载总磁压降F0");
  s.F00 = s.FG0 + s.Ft10 + s.Ft20 + s.Fj10 + s.Fj20;
  r.Item("80", "空载励磁电流IM0");
  s.IM0 = 4.44 * (in.P / 2) * s.F00 / (3 * s.ZF * s.KDP1);
}

// The stray loss at output k: the input PS at rated output, following the
// square of the load.
double StrayLoss(const Procedure& r) { return r.s.in.PS * sq(r.k); }

// Losses referred to the rated output, and the efficiency (items 86 to 93).
// The mechanical loss PFW does not depend on the load.
void LossesAndEfficiency(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("90", "铁耗");
  if (in.GGPph == 1) {
    LookUp(s, CurveSite::pt1, s.BT10, SteelCurve::IronLoss, s.pt1);
    LookUp(s, CurveSite::pj1, s.BJ10, SteelCurve::IronLoss, s.pj1);
  }
  s.GT1 = 7.8e-6 * s.AT1 * s.LT1 * in.P;
  s.GJ1 = 7.8e-6 * s.AJ1 * s.LJ1 * 2 * in.P;
  s.Pt1 = s.GT1 * s.pt1;
  s.Pt11 = s.Pt1 / (1000 * in.Pn);
  s.Pj1 = s.GJ1 * s.pj1;
  s.PJ11 = s.Pj1 / (1000 * in.Pn);
  s.PFE = 2.5 * s.Pt1 + 2 * s.Pj1;
  s.PFE1 = s.PFE / (1000 * in.Pn);
  s.PXZFE1 = s.PFE1 - (s.PJ11 + s.Pt11);
  r.Item("86", "定子铜耗PCU1");
  s.PCU11 = s.R11 * sq(s.I11);
  s.PCU1 = 1000 * in.Pn * s.PCU11;
  r.Item("87", "转子铜耗PCU2");
  s.PCU21 = s.R21 * sq(s.I21);
  s.PCU2 = 1000 * in.Pn * s.PCU21;
  r.Item("88", "杂耗PS、机械耗PFW");
  s.PSW = 1000 * in.Pn * StrayLoss(r);
  s.PFWW = 1000 * in.Pn * in.PFW;
  r.Item("91", "总损耗P1");
  s.P1 = s.PCU11 + s.PCU21 + s.PFE1 + StrayLoss(r) + in.PFW;
  r.Item("92", "输入功率P11");
  s.P11 = r.k + s.P1;
  r.Item("93", "效率EFF");
  s.EFF = 1 - s.P1 / s.P11;
}

// Items 94 to 97, once, from the final passes.
void RatedPoint(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("94", "功率因数PF");
  s.PF = r.k / (s.EFF * s.I11);
  r.Item("95.4", "转差率SN");
  s.SN = s.PCU21 / (r.k + s.PCU21 + s.PXZFE1 + StrayLoss(r) + in.PFW);
  r.Item("96", "转速N");
  s.N = 60 * in.f * (1 - s.SN) / (in.P / 2);
  r.Item("97", "最大转矩倍数TMAX1");
  s.TMAX1 = (1 - s.SN) / (2 * (s.R11 + std::sqrt(sq(s.R11) + sq(s.X1))));
}

enum class Outcome { Converged, NewEmfFactor };

// The efficiency iteration of one outer pass, restarted from the input EFF or,
// at a point of the load curve, from the efficiency of its neighbour. Leaves
// early, with a new KE0, as soon as the EMF test fails.
Outcome EfficiencyIteration(Procedure& r, IterationGuard& outer) {
  CalculationState& s = r.s;
  r.Item("64.2", "效率初值EFF0");
  s.EFF0 = r.EFF_start ? *r.EFF_start : static_cast<double>(s.in.EFF);
  IterationGuard guard(r, "EFF0");
  for (;;) {
    guard.Pass();
    ++s.passes.EFF0;
    CurrentsAndEmf(r);
    r.CheckAtLoopTest();
    if (std::fabs(s.KE - s.KE0) > 0.005) {
      outer.NextPassAllowed(s.KE0, s.KE);
      s.KE0 = s.KE - (s.KE - s.KE0) / 8;
      return Outcome::NewEmfFactor;
    }
    CurrentsAndDensities(r);
    NoLoadState(r);
    LossesAndEfficiency(r);
    r.CheckAtLoopTest();
    if (std::fabs(s.EFF - s.EFF0) <= 0.002) return Outcome::Converged;
    guard.NextPassAllowed(s.EFF0, s.EFF);
    s.EFF0 = s.EFF + (s.EFF - s.EFF0) / 5;
  }
}

}  // namespace

void FullLoadPerformance(Procedure& r) {
  CalculationState& s = r.s;
  r.Item("22.1", "满载电势系数KE0");
  s.KE0 = 0.922;
  IterationGuard guard(r, "KE0");
  std::optional<double> FT0_start;
  for (;;) {
    guard.Pass();
    ++s.passes.KE0;
    FluxStage(r, FT0_start);
    Parameters(r, guard.passes() == 1);
    if (EfficiencyIteration(r, guard) == Outcome::Converged) break;
  }
  RatedPoint(r);
}

}  // namespace velmora::calc
