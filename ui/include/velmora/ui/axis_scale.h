// Round numbers for the charts of every window: the ticks of an axis and the
// range a sweep or a search first offers round a value.
#pragma once

#include <optional>
#include <string>

namespace velmora::ui {

// The range boxes as the window first fills them.
struct SweepRange {
  std::string from, to, step;
};

// A range round the value of a box: ±20 % in about 20 steps of 1, 2 or 5
// times a power of ten, the ends on whole steps; a whole number of its own
// steps by whole numbers. Nothing when the box holds no number.
std::optional<SweepRange> DefaultRange(const std::string& box);

// An axis from `min` to `max` in ticks `step` apart, `decimals` after the
// point in their labels.
struct AxisScale {
  double min = 0, max = 1, step = 0.2;
  int decimals = 1;
};

// The axis that takes the values `low` to `high` in about `intervals`
// steps of 1, 2 or 5 times a power of ten, its ends on whole steps. An
// empty range is widened round its value; NaN ends give 0 to 1.
AxisScale NiceScale(double low, double high, int intervals = 5);

}  // namespace velmora::ui
