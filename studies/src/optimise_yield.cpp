// The robust requirement: the motors built from a design within the
// manufacturing tolerances, and the share of them that meets the constraints.
#include <algorithm>
#include <cmath>
#include <limits>

#include "velmora/studies/optimise.h"

namespace velmora::studies {

namespace {

// The excess of a YIELD line that is missed as far as it can be: a motor
// whose run faults, or a limit missed by its own size. Capping the order
// statistic there keeps a design whose motors fault behind none whose
// design meets the constraints.
constexpr double kMissedYieldExcess = 1;

// The largest excess over the constraints of a motor, capped.
double WorstExcess(const Assessment& motor) {
  double worst = -std::numeric_limits<double>::infinity();
  for (const ConstraintLine& line : motor.constraints()) worst = std::max(worst, line.excess);
  return std::min(worst, kMissedYieldExcess);
}

ConstraintLine YieldLine(const RobustRequirement& robust, double share, double excess) {
  return {"YIELD", CheckLine::Bound::AtLeast, robust.min_yield, share, excess};
}

}  // namespace

YieldMotors::YieldMotors(const OptimiseProblem& problem) {
  if (!problem.robust) return;
  count_ = problem.robust->samples;
  const std::size_t inputs = ToleranceInputs().size();
  z_.resize(count_ * inputs);
  for (std::uint64_t k = 0; k < count_; ++k)
    for (std::size_t i = 0; i < inputs; ++i)
      z_[k * inputs + i] = StandardDeviate(problem.robust->seed, k, i);
}

std::span<const double> YieldMotors::Deviates(std::uint64_t k) const {
  const std::size_t inputs = ToleranceInputs().size();
  return {z_.data() + k * inputs, inputs};
}

std::uint64_t RequiredPasses(double min_yield, std::uint64_t count) {
  const double n = static_cast<double>(count);
  auto share = [n](std::uint64_t passes) { return static_cast<double>(passes) / n; };
  // min_yield·count, then the rounding of that product put right against
  // the share a count of motors gives.
  auto passes = static_cast<std::uint64_t>(std::ceil(min_yield * n));
  while (passes > 1 && share(passes - 1) >= min_yield) --passes;
  while (passes < count && share(passes) < min_yield) ++passes;
  return std::max<std::uint64_t>(passes, 1);
}

// The motors run only for a design that meets every constraint itself: one
// that misses a constraint cannot be robust, and most of the designs a
// search sees are of that kind. Its YIELD line is missed at
// kMissedYieldExcess, the same for all of them, so that they rank among
// themselves as they would without the requirement and after every design
// that meets the constraints.
void AddYield(const OptimiseProblem& problem, const YieldMotors& motors,
              const design::DesignInput& design, bool relaxed, Assessment& a) {
  if (!problem.robust || !a.ran) return;
  const RobustRequirement& robust = *problem.robust;
  if (!a.Feasible()) {
    a.lines[a.line_count++] = YieldLine(robust, 0, kMissedYieldExcess);
    return;
  }
  std::vector<AppliedSpread> spreads = SpreadsOf(design, robust.tolerances);
  std::vector<double> worst(motors.count());
  design::DesignInput motor = design;
  CalculationState state;
  CalculationFault fault;
  std::uint64_t met = 0;
  for (std::uint64_t k = 0; k < motors.count(); ++k) {
    double factor = BuildMotor(spreads, motors.Deviates(k), motor, {});
    worst[k] = Calculate(motor, state, fault, factor) ? WorstExcess(Assess(problem, state, relaxed))
                                                      : kMissedYieldExcess;
    met += worst[k] <= 0;
  }
  auto rank = worst.begin() +
              static_cast<std::ptrdiff_t>(RequiredPasses(robust.min_yield, motors.count()) - 1);
  std::nth_element(worst.begin(), rank, worst.end());
  double share = static_cast<double>(met) / static_cast<double>(motors.count());
  a.lines[a.line_count++] = YieldLine(robust, share, *rank);
}

double Assessment::Yield() const {
  for (const ConstraintLine& line : constraints())
    if (line.name == "YIELD") return line.value;
  return 0;
}

}  // namespace velmora::studies
