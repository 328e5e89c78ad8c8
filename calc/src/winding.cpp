// Rated data, main dimensions, winding, slot fill and slot dimensions (items 1 to 21).
#include <cmath>

#include "procedure.h"

namespace velmora::calc {

namespace {

void SlotFill(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("17.1", "槽面积ASS");
  s.ASS = (in.BS1 + in.BS2) * (in.HS12 - in.hw) / 2 + pi * sq(in.BS2) / 8;
  r.Item("17.2", "槽绝缘占面积AI");
  if (in.CZN == 1) s.AI = in.si * (2 * in.HS12 + pi * in.BS2 / 2);
  if (in.CZN == 2) s.AI = in.si * (2 * in.HS12 + pi * in.BS2 / 2 + in.BS1 + in.BS2);
  r.Item("17.3", "槽有效面积AE");
  s.AE = s.ASS - s.AI;
  r.Item("17.4", "槽满率SF");
  double d1 = WireAllowance(in.DJJ), d2 = WireAllowance(in.DMM);
  s.SF = in.Z * (in.JJ * sq(in.DJJ + d1) + in.MM * sq(in.DMM + d2)) / s.AE;
}

void WindingFactors(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("16", "每相串联导体数ZF");
  s.ZF = in.Q1 * in.Z / (3 * in.A);
  s.BETA = in.Y1 / (3 * s.Qp1);
  r.Item("20.1", "分布系数KD1");
  double alpha = pi * in.P / in.Q1;
  s.KD1 = std::sin(s.Qp1 * alpha / 2) / (s.Qp1 * std::sin(alpha / 2));
  r.Item("20.2", "短距系数KP1");
  if (in.CZN == 1) s.KP1 = 1;
  if (in.CZN == 2) s.KP1 = std::sin(pi * in.Y1 / (6 * s.Qp1));
  r.Item("20.3", "绕组系数KDP1");
  s.KDP1 = s.KP1 * s.KD1;
}

void SlotDimensions(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("17", "定子槽形尺寸HS1、HS2");
  s.RS = in.BS2 / 2;
  s.HS1 = (in.BS1 - in.B01) * std::tan(in.ZS1 * pi / 180) / 2;
  s.HS2 = in.HS12 - s.HS1;
  r.Item("18", "转子槽形尺寸HR1、HR2");
  double t = std::tan(std::fabs(in.ZS2) * pi / 180);
  if (in.ZC == 3)
    s.HR1 = in.BR1 / 2;
  else
    s.HR1 = (in.BR1 - in.B02) * t / 2;
  s.HR2 = in.HR12 - s.HR1;
}

}  // namespace

void RatedDataAndWinding(Procedure& r) {
  CalculationState& s = r.s;
  const Inputs& in = s.in;
  r.Item("1", "硅钢片数据B25、P10");
  if (in.GGPph == 1) {
    s.B25 = 17600;
    s.P10 = 5.1;
  }
  r.Item("3", "功电流IKW");
  s.IKW = 1000 * in.Pn / (3 * in.Un);
  r.Item("8", "每极每相槽数Qp1、Qp2");
  s.Qp1 = in.Q1 / (3 * in.P);
  s.Qp2 = in.Q2 / (3 * in.P);
  r.Item("10", "极距TP");
  s.TP = pi * in.DI1 / in.P;
  r.Item("11", "定子齿距T1");
  s.T1 = pi * in.DI1 / in.Q1;
  r.Item("12", "转子齿距T2");
  s.D2 = in.DI1 - 2 * in.G;
  s.T2 = pi * s.D2 / in.Q2;
  r.Item("14", "转子斜槽宽BSK");
  s.BSK = in.sk * s.T1;
  r.Item("19", "铁芯有效长LEF、净铁芯长LFE");
  s.LEF = in.L + 2 * in.G;
  s.LFE = in.L * in.Kfe;
  r.Item("17", "导线截面积S");
  s.S = pi * in.JJ * sq(in.DJJ) / 4 + pi * in.MM * sq(in.DMM) / 4;
  SlotFill(r);
  WindingFactors(r);
  SlotDimensions(r);
}

}  // namespace velmora::calc
