#include "velmora/studies/pareto_front.h"

#include <algorithm>
#include <string>

namespace velmora::studies {

namespace {

using Stop = OptimiseResult::Stop;

struct FrontSearch {
  const OptimiseProblem& problem;
  const FrontOptions& options;
  Front front;
  std::vector<Optimum> found;
  int searches = 0;

  // One search from `start` (a design's variables; empty: the base design).
  OptimiseResult Run(OptimiseObjective objective, std::optional<double> floor,
                     const std::vector<double>& start) {
    OptimiseProblem p = problem;
    p.objective = objective;
    p.efficiency_floor = floor;
    // The search starts from its base design: the warm start is the base
    // with the neighbouring point's inputs.
    if (!start.empty()) p.base = DesignWith(problem, start);
    OptimiseResult r = Optimise(p, options.run);
    front.evaluations += r.evaluations;
    front.seconds += r.seconds;
    front.stop = r.stop;
    if (r.Feasible()) found.push_back({r.values, r.best});
    if (options.searched) options.searched(++searches);
    return r;
  }

  bool Stopped() const { return front.stop == Stop::Cancelled; }
};

}  // namespace

std::vector<Optimum> NonDominated(std::vector<Optimum> candidates) {
  std::stable_sort(candidates.begin(), candidates.end(), [](const Optimum& a, const Optimum& b) {
    if (a.assessment.cost != b.assessment.cost) return a.assessment.cost < b.assessment.cost;
    return a.assessment.EFF > b.assessment.EFF;
  });
  std::vector<Optimum> kept;
  for (Optimum& c : candidates)
    if (kept.empty() || c.assessment.EFF > kept.back().assessment.EFF) kept.push_back(std::move(c));
  return kept;
}

Front FindFront(const OptimiseProblem& problem, const FrontOptions& options) {
  if (options.points < kMinFrontPoints || options.points > kMaxFrontPoints)
    throw OptimiseError(ErrorCode::TooMany, "前沿的点数应为" + std::to_string(kMinFrontPoints) +
                                                "到" + std::to_string(kMaxFrontPoints));
  FrontSearch search{problem, options, {}, {}, 0};
  OptimiseResult cheapest = search.Run(OptimiseObjective::Cost, std::nullopt, {});
  search.front.start = cheapest.start;
  if (!cheapest.Feasible() || search.Stopped()) {
    search.front.points = NonDominated(std::move(search.found));
    return search.front;
  }
  OptimiseResult best = search.Run(OptimiseObjective::Efficiency, std::nullopt, {});
  double low = cheapest.best.EFF, high = std::max(best.best.EFF, low);
  std::vector<double> start = cheapest.values;
  // The ends are the two answers; the levels between them are searched.
  for (int k = 1; k + 1 < options.points && !search.Stopped(); ++k) {
    double level = low + (high - low) * k / (options.points - 1);
    OptimiseResult r = search.Run(OptimiseObjective::Cost, level, start);
    if (r.Feasible()) start = r.values;
  }
  search.front.points = NonDominated(std::move(search.found));
  return search.front;
}

}  // namespace velmora::studies
