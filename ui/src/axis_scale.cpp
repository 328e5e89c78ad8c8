#include "velmora/ui/axis_scale.h"

#include <algorithm>
#include <cmath>

#include "velmora/design/design_input.h"

namespace velmora::ui {

namespace {

// 1, 2 or 5 times a power of ten: the smallest not below `rough`, or with
// `nearest` the one nearest to it in ratio.
double NiceStep(double rough, bool nearest = false) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double best = 10 * power;
  for (double step : {5 * power, 2 * power, power}) {
    const bool closer = std::fabs(std::log(step / rough)) < std::fabs(std::log(best / rough));
    if (nearest ? closer : step >= rough * (1 - 1e-9)) best = step;
  }
  return best;
}

// Digits after the point that show every multiple of `step` exactly.
int Decimals(double step) {
  return std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
}

// `value` to `decimals` places, without trailing zeros.
std::string Fixed(double value, int decimals) {
  std::string text = design::FixedText(value, decimals);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

}  // namespace

std::optional<SweepRange> DefaultRange(const std::string& box) {
  const std::optional<double> value = design::ParseNumber(box);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  const double v = *value;
  const double low = v == 0 ? 0 : std::min(0.8 * v, 1.2 * v);
  const double high = v == 0 ? 1 : std::max(0.8 * v, 1.2 * v);
  double step = NiceStep((high - low) / 20, true);
  if (v != 0 && v == std::floor(v)) step = std::max(step, 1.0);
  const int decimals = Decimals(step);
  return SweepRange{Fixed(std::floor(low / step + 1e-9) * step, decimals),
                    Fixed(std::ceil(high / step - 1e-9) * step, decimals), Fixed(step, decimals)};
}

AxisScale NiceScale(double low, double high, int intervals) {
  if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high)) low = 0, high = 1;
  if (high - low <= 1e-12 * std::max(1.0, std::fabs(low))) {
    const double pad = low == 0 ? 1 : std::fabs(low) / 100;
    low -= pad;
    high += pad;
  }
  AxisScale scale;
  scale.step = NiceStep((high - low) / intervals);
  scale.min = std::floor(low / scale.step + 1e-9) * scale.step;
  scale.max = std::ceil(high / scale.step - 1e-9) * scale.step;
  scale.decimals = Decimals(scale.step);
  return scale;
}

}  // namespace velmora::ui
