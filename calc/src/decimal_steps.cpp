#include "velmora/calc/decimal_steps.h"

#include <cmath>

namespace velmora::calc {

namespace {

constexpr int kMaxDecimals = 15;
constexpr double kMaxExactUnits = 9007199254740992.0;  // 2^53

bool InUnits(double x, double scale, std::int64_t& units) {
  double scaled = std::round(x * scale);
  if (!(std::fabs(scaled) < kMaxExactUnits) || scaled / scale != x) return false;
  units = static_cast<std::int64_t>(scaled);
  return true;
}

// A grid point within 1e-9 of a step of "on the grid" counts as on it.
constexpr double kGridTolerance = 1e-9;

}  // namespace

DecimalSteps DecimalSteps::Of(double from, double to, double step, std::uint64_t max_count) {
  DecimalSteps steps;
  double count = (to - from) / step;
  if (step == 0 || count < 0) steps.problem_ = Problem::Backwards;
  if (steps.problem_ == Problem::None && !(count < static_cast<double>(max_count)))
    steps.problem_ = Problem::TooMany;
  if (steps.problem_ != Problem::None) return steps;
  steps.from_ = from;
  steps.to_ = to;
  steps.step_ = step;
  for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
    double scale = std::pow(10.0, decimals);
    std::int64_t F, T, S;
    if (InUnits(from, scale, F) && InUnits(to, scale, T) && InUnits(step, scale, S)) {
      steps.scale_ = scale;
      steps.from_units_ = F;
      steps.step_units_ = S;
      steps.count_ = static_cast<std::uint64_t>((T - F) / S) + 1;
      return steps;
    }
  }
  if (from + step == from || to - step == to) {
    steps.problem_ = Problem::TooSmall;
    return steps;
  }
  steps.count_ = static_cast<std::uint64_t>(std::floor(count + kGridTolerance)) + 1;
  double last = from + static_cast<double>(steps.count_ - 1) * step;
  steps.last_is_to_ = std::fabs(last - to) <= kGridTolerance * std::fabs(step);
  return steps;
}

bool DecimalSteps::EndsShort() const {
  if (scale_ != 0) return (*this)[count_ - 1] != to_;
  return !last_is_to_;
}

double DecimalSteps::operator[](std::uint64_t k) const {
  if (scale_ != 0) {
    std::int64_t units = from_units_ + static_cast<std::int64_t>(k) * step_units_;
    return static_cast<double>(units) / scale_;
  }
  if (last_is_to_ && k + 1 == count_) return to_;
  return from_ + static_cast<double>(k) * step_;
}

}  // namespace velmora::calc
