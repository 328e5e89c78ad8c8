// The torque–speed curve: the starting stage (items 99 to 117.1) at slips
// below 1, the rotor behind the magnetizing branch.
#include <algorithm>
#include <cmath>

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
  p.X = s.XST1;
  p.KZ = s.KZ;
  p.BL = s.BL;
  p.passes = s.passes.IST1;
  return p;
}

namespace {

// Works out the slips in the order given, each from the current of the last
// point that converged.
class Continuation {
 public:
  Continuation(const CalculationState& rated, const SpeedModel& model, double IST1)
      : rated_(rated), model_(model), IST1_(IST1) {}

  SpeedPoint At(double slip) {
    SpeedPoint p = SpeedPointAt(rated_, slip, IST1_, model_);
    if (!p.fault) IST1_ = p.I1;
    return p;
  }
  double current() const { return IST1_; }

 private:
  const CalculationState& rated_;
  const SpeedModel& model_;
  double IST1_;
};

bool Higher(const SpeedPoint& a, const SpeedPoint& b) { return !a.fault && (b.fault || a.T > b.T); }

// The grid point of the highest torque.
std::size_t Highest(const std::vector<SpeedPoint>& points) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (Higher(points[i], points[best])) best = i;
  return best;
}

// `count` slips evenly inside (low, high), from high downwards.
void AddBetween(Continuation from, double high, double low, int count,
                std::vector<SpeedPoint>& points) {
  for (int i = 1; i <= count; ++i) points.push_back(from.At(high - (high - low) * i / (count + 1)));
}

// The maximum between the slips `low` and `high` by golden sections, each
// slip started from `IST1`, the current at `high`.
SpeedPoint RefinedMaximum(const CalculationState& rated, const SpeedModel& model, double IST1,
                          double low, double high) {
  const double g = (std::sqrt(5.0) - 1) / 2;
  auto at = [&](double slip) { return SpeedPointAt(rated, slip, IST1, model); };
  double a = low, b = high;
  SpeedPoint c = at(b - g * (b - a)), d = at(a + g * (b - a));
  while (b - a > 1e-7 * b) {
    if (Higher(c, d)) {
      b = d.s;
      d = c;
      c = at(b - g * (b - a));
    } else {
      a = c.s;
      c = d;
      d = at(a + g * (b - a));
    }
  }
  return Higher(c, d) ? c : d;
}

// The base grid: s = u² for u from 1 down in `count` equal steps, so the
// slips close up towards synchronous speed.
std::vector<SpeedPoint> BaseGrid(Continuation& from, int count) {
  std::vector<SpeedPoint> points;
  for (int i = 0; i < count; ++i) {
    double u = static_cast<double>(count - i) / count;
    points.push_back(from.At(u * u));
  }
  return points;
}

void MarkPoints(const CalculationState& rated, const SpeedModel& model, SpeedCurve& curve) {
  std::vector<SpeedPoint>& points = curve.points;
  if (!points[0].fault) curve.starting = points[0];
  std::size_t top = Highest(points);
  if (points[top].fault) return;
  std::size_t above = top == 0 ? 0 : top - 1, below = std::min(top + 1, points.size() - 1);
  double IST1 = points[above].fault ? points[top].I1 : points[above].I1;
  curve.breakdown = RefinedMaximum(rated, model, IST1, points[below].s, points[above].s);
  // KZ differs at any two slips; a step is BL crossing the end of one of
  // the factor's ranges between the two slips.
  curve.breakdown_on_step = LeakageSaturationStepBetween(points[above].BL, points[below].BL);
  const SpeedPoint* lowest = nullptr;
  for (const SpeedPoint& p : points)
    if (!p.fault && p.s > curve.breakdown->s && (!lowest || p.T < lowest->T)) lowest = &p;
  if (curve.starting && lowest && lowest->T < curve.starting->T) curve.pull_up = *lowest;
  // The rated slip from the current of the nearest larger grid slip.
  double from = points[0].I1;
  for (const SpeedPoint& p : points)
    if (!p.fault && p.s > rated.SN) from = p.I1;
  SpeedPoint at_SN = SpeedPointAt(rated, rated.SN, from, model);
  if (!at_SN.fault) curve.rated = at_SN;
}

}  // namespace

SpeedCurve TorqueSpeedCurve(const CalculationState& rated, int slips, const SpeedModel& model) {
  SpeedCurve curve;
  Continuation from(rated, model, 2.5 * rated.TMAX1 * rated.IKW);
  int dense = slips / 4;
  curve.points = BaseGrid(from, slips - dense);
  // A quarter of the slips around the grid's maximum, from the current
  // above it.
  std::size_t top = Highest(curve.points);
  if (top > 0 && top + 1 < curve.points.size() && !curve.points[top - 1].fault) {
    Continuation near(rated, model, curve.points[top - 1].I1);
    AddBetween(near, curve.points[top - 1].s, curve.points[top + 1].s, dense, curve.points);
    std::stable_sort(curve.points.begin(), curve.points.end(),
                     [](const SpeedPoint& a, const SpeedPoint& b) { return a.s > b.s; });
  }
  MarkPoints(rated, model, curve);
  return curve;
}

}  // namespace velmora::calc
