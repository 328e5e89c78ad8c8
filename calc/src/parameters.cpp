// Leakage reactances and resistances (items 44 to 63).
#include <cmath>

#include "procedure.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

namespace {

const double kOneThird = 1.0 / 3;
const double kTwoThirds = 2.0 / 3;

// Body coefficient of a round-bottomed slot of equal top and bottom width,
// the limit of the round-bottom coefficient at a width ratio of 1.
double EqualWidthRoundBottom(double HW) {
  return pi * pi / (64 * sq(HW)) + pi / (8 * HW) +
         (2 * std::pow(pi, 3) - 9 * pi) / (1536 * std::pow(HW, 3));
}

void Resistances(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("60", "定子相电阻R1");
  s.KRF = 3 * sq(s.ZF * s.KDP1) / in.Q2;
  s.R1 = in.Lo1 * s.ZF * s.LZ / (in.A * s.S) / 1000;
  s.Gcu = 8.9 * (1.05 * in.Q1 * in.Z * s.LZ * s.S / 100) / 10000;
  r.Item("61", "定子相电阻标么值R11");
  s.R11 = s.IKW * s.R1 / in.Un;
  r.Item("63.3", "转子导条电阻RB");
  s.LB = in.L;
  s.RB = 1.04 * s.KRF * in.Lo2 * s.LB / s.SBN / 1000;
  s.RB1 = s.IKW * s.RB / in.Un;
  r.Item("63.5", "转子端环电阻RR");
  double k = in.H < 160 ? 1.2 : 1.5;
  s.Dr = s.D2 - k * s.HRT;
  s.GAL = 2.7 * in.SRR * s.Dr * 2 * pi / 1e6 + 2.7 * in.Q2 * s.LB * s.SB / 1e6;
  s.Gfe = 7.8 * in.L * in.Kfe * sq(in.D1) / 1e6;
  s.RR = s.KRF * in.Lo2 * in.Q2 * s.Dr / (2 * pi * sq(in.P / 2) * in.SRR) / 1000;
  s.RR1 = s.IKW * s.RR / in.Un;
  r.Item("63.7", "转子电阻标么值R21");
  s.R21 = s.RR1 + s.RB1;
  s.R2 = in.Un * s.R21 / s.IKW;
  r.Item("47", "漏抗系数Cx");
  s.Cx = 2.63 * in.f * in.Pn * s.LEF * sq(s.ZF * s.KDP1) / (sq(in.Un) * in.P) / 1e6;
}

// Pitch factors of the upper and lower slot permeance; ranges tested in
// order, a later match overwriting an earlier one.
void StatorPitchFactors(CalculationState& s) {
  if (s.in.CZN == 1) s.BETA = 1;
  double BETA = s.BETA;
  if (BETA <= kOneThird) {
    s.KU1 = 3 * BETA / 4;
    s.KL1 = (9 * BETA + 4) / 16;
  }
  if (kOneThird <= BETA && BETA <= kTwoThirds) {
    s.KU1 = (6 * BETA - 1) / 4;
    s.KL1 = (18 * BETA + 1) / 16;
  }
  if (kTwoThirds <= BETA && BETA <= 1) {
    s.KU1 = (3 * BETA + 1) / 4;
    s.KL1 = (9 * BETA + 7) / 16;
  }
}

void StatorSlotLeakage(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("48", "定子槽比漏磁导");
  StatorPitchFactors(s);
  s.SPU1 = in.HS0 / in.B01 + 2 * s.HS1 / (in.B01 + in.BS1);
  s.WS1 = in.BS1 / in.BS2;
  s.HWS2 = s.HS2 / in.BS2;
  s.KTR1 = TrapezoidSlotCoefficientOrLimit(s.WS1);
  if (s.WS1 == 1)
    s.KTC1 = EqualWidthRoundBottom(s.HWS2);
  else
    s.KTC1 = RoundBottomSlotCoefficient(s.WS1, s.HWS2);
  s.SPL1 = s.HWS2 * (s.KTR1 + s.KTC1) / sq((1 + s.WS1) / 2 + pi / (8 * s.HWS2));
  s.SP1 = s.KU1 * s.SPU1 + s.KL1 * s.SPL1;
  r.Item("49", "定子槽漏抗XS11");
  s.XS11_C = 3 * in.P * in.L * s.SP1 / (in.Q1 * sq(s.KDP1) * s.LEF);
  s.XS11 = s.Cx * s.XS11_C;
}

// Item 50, whose XD11 follows the saturation factor FT.
void StatorHarmonicLeakage(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  r.Item("50", "定子谐波漏抗XD11");
  if (first_pass && kTwoThirds <= s.BETA && s.BETA <= 1)
    s.SGMS = HarmonicLeakageFactor(3 * s.Qp1 * (1 - s.BETA), s.Qp1, s.KDP1);
  s.XD11_C = 3 * s.TP * s.SGMS / (pi * pi * s.GEF * sq(s.KDP1) * s.FT);
  s.XD11 = s.Cx * s.XD11_C;
}

void StatorEndLeakage(CalculationState& s) {
  const Inputs& in = s.in;
  if (in.CZN == 1) {
    if (in.P == 2) s.SLE1 = 0.47 * (s.LZ - in.L - 0.64 * s.TY);
    if (in.P == 4) s.SLE1 = 0.67 * (s.LZ - in.L - 0.64 * s.TY);
    if (in.P >= 6) s.SLE1 = 0.2 * s.LZ / 2;
  }
  if (in.CZN == 2) s.SLE1 = 1.2 * sq(s.KDP1) * (in.D + 0.5 * s.FD);
  s.XE11_C = s.SLE1 / (sq(s.KDP1) * s.LEF);
  s.XE11 = s.Cx * s.XE11_C;
}

void StatorHarmonicAndEndLeakage(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  StatorHarmonicLeakage(r, first_pass);
  r.Item("51", "定子端部漏抗XE11");
  if (first_pass) StatorEndLeakage(s);
  s.X11 = s.XS11 + s.XD11 + s.XE11;
}

// Lower permeance of a single-section rotor slot (shapes 1 to 3).
void RotorBodyPermeance(CalculationState& s) {
  const Inputs& in = s.in;
  s.WR1 = in.BR1 / in.BR2;
  s.HWR2 = s.HR2 / in.BR2;
  double x = 1 - s.WR1;
  double HWR2cubed = std::pow(s.HWR2, 3);  // in KTC2 and KRT2
  if (in.BR1 / in.BR2 == 1) {
    s.KTR2 = kOneThird;
    s.KTC2 = EqualWidthRoundBottom(s.HWR2);
  } else {
    double lnW = std::log(s.WR1);
    s.KTR2 = kOneThird - (x / 4) * (lnW / std::pow(x, 4) + 1 / std::pow(x, 3) + 0.5 / sq(x) +
                                    kOneThird / x + 0.25);
    s.KTC2 = pi / (16 * s.HWR2) + (2 * std::pow(pi, 3) - 9 * pi) / (1536 * HWR2cubed) -
             pi / (8 * x * s.HWR2) -
             lnW * (pi / (8 * sq(x) * s.HWR2) + pi * pi / (64 * x * sq(s.HWR2)));
  }
  s.KRD2 = (1 + s.WR1) / 2 + (1 - sq(s.WR1)) * pi / (8 * s.HWR2);
  s.KRT2 = sq(s.KRD2) * pi / (4 * s.HWR2) +
           s.KRD2 * sq(s.WR1) * (3 * (pi * pi) + 4) / (32 * sq(s.HWR2)) +
           std::pow(s.WR1, 4) * (39 * pi + 14 * std::pow(pi, 3)) / (1536 * HWR2cubed);
  if (in.ZC == 1) s.SPL2 = TaperedSlotPermeance(s.KTR2, s.HWR2, s.WR1, s);
  if (in.ZC == 2)
    s.SPL2 =
        s.HWR2 * (s.KTR2 + s.KTC2) / sq((1 + s.WR1) / 2 + pi / (8 * s.HWR2)) + RotorLipPermeance(s);
  if (in.ZC == 3)
    s.SPL2 = s.HWR2 * (s.KTR2 + s.KTC2 + s.KRT2) /
             sq((1 + s.WR1) / 2 + pi * (1 + sq(s.WR1)) / (8 * s.HWR2));
}

// KTU2, KMU2 and KLU2 of the upper section of the two-section slot, from WR1.
void TwoSectionUpperCoefficients(CalculationState& s) {
  const Inputs& in = s.in;
  s.WR1 = in.BR1 / in.BR2;
  s.KTU2 = TrapezoidSlotCoefficientOrLimit(s.WR1);
  if (s.WR1 == 1) {
    s.KMU2 = 1;
    s.KLU2 = 1;
  } else {
    double lnW = std::log(s.WR1);
    s.KMU2 = 0.5 - 1 / (1 - s.WR1) - lnW / sq(1 - s.WR1);
    s.KLU2 = -lnW / (1 - s.WR1);
  }
}

// Lower permeance of the two-section rotor slot (shape 4).
void TwoSectionPermeance(CalculationState& s) {
  const Inputs& in = s.in;
  TwoSectionUpperCoefficients(s);
  s.WR3 = in.BR3 / in.BR4;
  s.KTL2 = TrapezoidSlotCoefficientOrLimit(s.WR3);
  s.SPL2 = TwoSectionBodyPermeance(s.KTL2, in.HR3, in.BR4, s.SBL, s.SB, s);
}

void RotorSlotLeakage(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("53", "转子槽比漏磁导");
  s.KU2 = 1;
  s.KL2 = 1;
  s.SPU2 = in.HR0 / in.B02;
  if (in.ZC == 4)
    TwoSectionPermeance(s);
  else
    RotorBodyPermeance(s);
  s.SP2 = s.KU2 * s.SPU2 + s.KL2 * s.SPL2;
  r.Item("54", "转子槽漏抗XS21");
  s.XS21_C = 3 * in.P * in.L * s.SP2 / (s.LEF * in.Q2);
  s.XS21 = s.Cx * s.XS21_C;
}

// Items 55 to 59; XD21 and XSK1 follow the saturation factor FT.
void RotorHarmonicAndEndLeakage(Procedure& r, bool first_pass) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("55", "转子谐波漏抗XD21");
  if (first_pass) s.SGMR = pi * pi * sq(in.P / in.Q2) / 12;
  s.XD21_C = 3 * s.TP * s.SGMR / (pi * pi * s.GEF * s.FT);
  s.XD21 = s.Cx * s.XD21_C;
  r.Item("56", "转子端部漏抗XE21");
  if (first_pass) {
    s.SLE2 = 0.757 * s.Dr / in.P;
    s.XE21_C = s.SLE2 / s.LEF;
    s.XE21 = s.Cx * s.XE21_C;
  }
  r.Item("57", "转子斜槽漏抗XSK1");
  s.XSK1_C = 0.5 * sq(s.BSK / s.T2) * s.XD21_C;
  s.XSK1 = s.Cx * s.XSK1_C;
  r.Item("58", "转子漏抗X21");
  s.X21 = s.XS21 + s.XD21 + s.XE21 + s.XSK1;
  r.Item("59", "总漏抗X1");
  s.X1 = s.X11 + s.X21;
}

}  // namespace

double RotorLipPermeance(const CalculationState& s) { return 2 * s.HR1 / (s.in.BR1 + s.in.B02); }

double TaperedSlotPermeance(double KT, double HW, double W, const CalculationState& s) {
  return 4 * KT * HW / sq(1 + W) + RotorLipPermeance(s);
}

double TwoSectionBodyPermeance(double KTL, double hl, double bl, double sl, double total,
                               const CalculationState& s) {
  const Inputs& in = s.in;
  return (KTL * std::pow(hl, 3) * bl + s.KLU2 * s.HR2 * sq(sl) / in.BR2 + s.KMU2 * sq(s.HR2) * sl +
          s.KTU2 * std::pow(s.HR2, 3) * in.BR2) /
             sq(total) +
         RotorLipPermeance(s);
}

void EndWindingGeometry(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("44.3", "LBX");
  s.LBX = in.L + 2 * in.D;
  r.Item("44.2", "TY");
  s.TY = pi * (in.DI1 + 2 * (in.HS0 + s.HS1) + s.HS2 + s.RS) * s.BETA / in.P;
  r.Item("44.1", "SIN ALFA");
  s.SIN_ALFA = (in.BS1 + in.BS2) / (in.BS1 + in.BS2 + 2 * s.BT1W);
  r.Item("44.5", "CS");
  s.CS = s.TY / (2 * std::sqrt(1 - sq(s.SIN_ALFA)));
  r.Item("45", "轴向投影长FD");
  s.FD = s.SIN_ALFA * s.CS;
  r.Item("44.4", "LZ");
  if (in.CZN == 1) {
    if (in.P <= 4) s.LZ = s.LBX + 2 * 0.58 * s.TY;
    if (in.P == 6) s.LZ = s.LBX + 2 * 0.6 * s.TY;
    if (in.P == 8) s.LZ = s.LBX + 2 * 0.625 * s.TY;
  } else {
    s.LZ = s.LBX + 2 * s.CS;
  }
}

void Parameters(Procedure& r, bool first_pass) {
  // Only the harmonic and skew leakages follow FT and so KE0; a later outer
  // pass keeps the rest from the first, which raised no fault on them.
  if (first_pass) {
    Resistances(r);
    StatorSlotLeakage(r);
  }
  StatorHarmonicAndEndLeakage(r, first_pass);
  if (first_pass) RotorSlotLeakage(r);
  RotorHarmonicAndEndLeakage(r, first_pass);
}

}  // namespace velmora::calc
