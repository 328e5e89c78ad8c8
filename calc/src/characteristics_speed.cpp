// The torque–speed curve: the starting stage (items 99 to 117.1) at slips
// below 1, the rotor behind the magnetizing branch.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

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
  p.trustworthy = AssessValidity(s).Trustworthy();
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

// The current of the evaluated point nearest above slip `slip` among
// `points`, or `otherwise` when none lies above it.
double CurrentAbove(const std::vector<SpeedPoint>& points, double slip, double& nearest,
                    double otherwise) {
  double current = otherwise;
  for (const SpeedPoint& p : points)
    if (!p.fault && p.s > slip && p.s < nearest) {
      nearest = p.s;
      current = p.I1;
    }
  return current;
}

// The maximum between the slips `low` and `high` by golden sections; each
// trial starts from the current of the nearest slip above it, on the curve
// or among the trials, so it lands on the curve's own branch.
SpeedPoint RefinedMaximum(const CalculationState& rated, const SpeedModel& model,
                          const std::vector<SpeedPoint>& curve, double low, double high) {
  const double g = (std::sqrt(5.0) - 1) / 2;
  std::vector<SpeedPoint> trials;
  auto at = [&](double slip) {
    double nearest = std::numeric_limits<double>::infinity();
    double from = CurrentAbove(curve, slip, nearest, curve.front().I1);
    from = CurrentAbove(trials, slip, nearest, from);
    trials.push_back(SpeedPointAt(rated, slip, from, model));
    return trials.back();
  };
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
  // Between two slips the loop's tolerance leaves the torque a few parts in
  // 10^5 uncertain: a refinement that comes out below the curve's own
  // highest point gives way to it.
  SpeedPoint refined = RefinedMaximum(rated, model, points, points[below].s, points[above].s);
  curve.breakdown = Higher(refined, points[top]) ? refined : points[top];
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
  const double start = 2.5 * rated.TMAX1 * rated.IKW;
  Continuation first(rated, model, start);
  int dense = slips / 4;
  curve.points = BaseGrid(first, slips - dense);
  // A quarter of the slips around the grid's maximum; then every slip again
  // in one continuation from s = 1 down, so that each starts from its
  // neighbour above and the curve keeps to one branch of the IST1 loop.
  std::size_t top = Highest(curve.points);
  if (top > 0 && top + 1 < curve.points.size()) {
    std::vector<double> slips_down;
    for (const SpeedPoint& p : curve.points) slips_down.push_back(p.s);
    const double high = curve.points[top - 1].s, low = curve.points[top + 1].s;
    for (int i = 1; i <= dense; ++i) slips_down.push_back(high - (high - low) * i / (dense + 1));
    std::stable_sort(slips_down.begin(), slips_down.end(), std::greater<double>());
    Continuation again(rated, model, start);
    curve.points.clear();
    for (double slip : slips_down) curve.points.push_back(again.At(slip));
  }
  MarkPoints(rated, model, curve);
  return curve;
}

}  // namespace velmora::calc
