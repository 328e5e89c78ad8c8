// The torque–speed curve: the starting stage (items 99 to 117.1) at slips
// below 1, the rotor behind the magnetizing branch.
#include "procedure.h"
#include "velmora/calc/characteristics.h"

namespace velmora::calc {

namespace {

// The equivalent circuit at slip s from its input side: resistance R,
// reactance X, impedance Z, and the air-gap resistance RG whose loss is the
// air-gap power (R2/s without the branch).
struct Circuit {
  double R, X, Z, RG;
};

Circuit CircuitAt(const CalculationState& s, double slip, bool branch) {
  double Rr = s.R2ST1 / slip;
  double X2 = s.X2ST1;
  Circuit c;
  if (branch) {
    double XM = s.XM1;
    double D = sq(Rr) + sq(X2 + XM);
    c.RG = sq(XM) * Rr / D;
    c.R = s.R11 + c.RG;
    c.X = s.X1ST1 + XM * (sq(Rr) + X2 * (X2 + XM)) / D;
  } else {
    c.RG = Rr;
    c.R = s.R11 + Rr;
    c.X = s.X1ST1 + X2;
  }
  c.Z = std::sqrt(sq(c.X) + sq(c.R));
  return c;
}

template <bool branch>
double CircuitCurrent(const Procedure& r) {
  return r.s.IKW / CircuitAt(r.s, r.slip, branch).Z;
}

}  // namespace

SpeedPoint SpeedPointAt(const CalculationState& rated, double slip, double IST1,
                        const SpeedModel& model) {
  SpeedPoint p;
  p.s = slip;
  CalculationState state;
  CalculationFault fault;
  bool ok = RunFrom(rated, state, fault, [&](Procedure& r) {
    r.slip = slip;
    r.skin_effect = model.skin_effect;
    r.leakage_saturation = model.leakage_saturation;
    r.s.IST1 = IST1;
    r.s.passes.IST1 = 0;
    StartingCurrentLoop(r, model.magnetizing_branch ? CircuitCurrent<true> : CircuitCurrent<false>);
  });
  if (!ok) {
    p.fault = fault;
    return p;
  }
  const CalculationState& s = state;
  Circuit c = CircuitAt(s, slip, model.magnetizing_branch);
  p.N = 60 * s.in.f * (1 - slip) / (s.in.P / 2);
  p.T = c.RG * (1 - s.SN) / sq(c.Z);
  p.I1 = s.IST;
  p.I_ratio = s.IST / s.I1;
  p.R2 = s.R2ST1;
  p.X = c.X;
  p.passes = s.passes.IST1;
  return p;
}

}  // namespace velmora::calc
