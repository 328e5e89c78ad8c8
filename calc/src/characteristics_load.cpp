// The load curve: the full-load stage (items 22 to 97) at outputs k other
// than the rated one, on the state the earlier stages leave.
#include <algorithm>

#include "procedure.h"
#include "velmora/calc/characteristics.h"
#include "velmora/calc/decimal_steps.h"

namespace velmora::calc {

namespace {

// The stages before the full-load stage; they do not depend on the output.
bool StateBeforeFullLoad(const design::DesignInput& input, CalculationState& state,
                         CalculationFault& fault) {
  CalculationState start;
  ReadInputs(input, start.in);
  return RunFrom(start, state, fault, [](Procedure& r) {
    CheckSelectors(r);
    RatedDataAndWinding(r);
    MagneticGeometry(r);
    EndWindingGeometry(r);
  });
}

bool FullLoadAt(const CalculationState& before, double k, std::optional<double> EFF_start,
                CalculationState& state, CalculationFault& fault) {
  return RunFrom(before, state, fault, [&](Procedure& r) {
    r.k = k;
    r.EFF_start = EFF_start;
    FullLoadPerformance(r);
  });
}

LoadPoint ToLoadPoint(double k, const CalculationState& s, const CalculationState& rated) {
  LoadPoint p;
  p.k = k;
  p.P2 = k * s.in.Pn;
  p.EFF = s.EFF;
  p.PF = s.PF;
  p.I1 = s.I1;
  p.SN = s.SN;
  p.N = s.N;
  p.T = k * (1 - rated.SN) / (1 - s.SN);
  p.PCU1 = s.PCU1;
  p.PCU2 = s.PCU2;
  p.PFE = s.PFE;
  p.PS = s.PSW;
  p.PFW = s.PFWW;
  p.passes = s.passes;
  p.trustworthy = AssessValidity(s).Trustworthy();
  return p;
}

// Works out `points` in order, each from the efficiency of the last point
// that converged (at first the rated point's).
void WorkOutwards(const CalculationState& before, const CalculationState& rated,
                  std::vector<LoadPoint*> points) {
  std::optional<double> EFF_start = rated.EFF.value;
  CalculationState state;
  CalculationFault fault;
  for (LoadPoint* point : points) {
    bool rated_point = point->k == 1;
    if (!FullLoadAt(before, point->k, rated_point ? std::nullopt : EFF_start, state, fault)) {
      point->fault = fault;
      continue;
    }
    *point = ToLoadPoint(point->k, state, rated);
    EFF_start = state.EFF.value;
  }
}

}  // namespace

bool CalculateAtLoad(const design::DesignInput& input, double k, std::optional<double> EFF_start,
                     CalculationState& state, CalculationFault& fault) {
  CalculationState before;
  return StateBeforeFullLoad(input, before, fault) &&
         FullLoadAt(before, k, EFF_start, state, fault);
}

std::vector<LoadPoint> PartLoadPerformance(const design::DesignInput& input,
                                           const CalculationState& rated, const LoadRange& range) {
  // Stepped in decimal, as a sweep of the output steps its range.
  DecimalSteps steps = DecimalSteps::Of(range.from, range.to, range.step, kMaxLoadPoints);
  if (steps.problem() != DecimalSteps::Problem::None) return {};
  std::vector<LoadPoint> points(steps.size());
  for (std::size_t i = 0; i < points.size(); ++i) points[i].k = steps[i];
  CalculationState before;
  CalculationFault fault;
  if (!StateBeforeFullLoad(input, before, fault)) {
    for (LoadPoint& point : points) point.fault = fault;
    return points;
  }
  // Outwards from k = 1 on either side; k = 1 itself restarts from the input EFF.
  std::vector<LoadPoint*> up, down;
  for (LoadPoint& point : points) (point.k >= 1 ? up : down).push_back(&point);
  std::sort(up.begin(), up.end(), [](auto* a, auto* b) { return a->k < b->k; });
  std::sort(down.begin(), down.end(), [](auto* a, auto* b) { return a->k > b->k; });
  WorkOutwards(before, rated, up);
  WorkOutwards(before, rated, down);
  return points;
}

}  // namespace velmora::calc
