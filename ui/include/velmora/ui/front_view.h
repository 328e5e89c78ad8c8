// The cost–efficiency front in the window "优化设计": cost against
// efficiency with the class limits of the rating as vertical lines, the point
// nearest a click, and the design of the chosen point, as the window shows them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "velmora/studies/pareto_front.h"
#include "velmora/ui/axis_scale.h"
#include "velmora/ui/design_optimiser.h"
#include "velmora/ui/sweep_chart.h"

namespace velmora::ui {

// A class limit of the rating across the chart.
struct FrontLimit {
  double x = 0;         // EFF in per cent
  std::string caption;  // "IE3 89.6%"
  int level = 0;        // 1: its caption below the others, clear of a close neighbour's
};

struct FrontChart {
  std::string title;               // "成本—效率前沿 — Y132S-4"
  std::string x_title, y_title;    // each with its unit
  std::vector<ChartPoint> points;  // EFF in per cent and cost, by rising cost
  std::optional<std::size_t> selected;
  // IE2–IE4 within the x axis; none for a rating without classes.
  std::vector<FrontLimit> limits;
  AxisScale x, y;
};

// The x axis takes the points and the class limits either side of them, so
// that the chart shows the class each point reaches.
FrontChart MakeFrontChart(const studies::OptimiseProblem& problem, const studies::Front& front,
                          std::optional<std::size_t> selected);

// The point nearest (x, y), distances in shares of each axis; nothing on an
// empty chart.
std::optional<std::size_t> NearestPoint(const FrontChart& chart, double x, double y);

// While the front is being found: how many of its searches are done.
std::string FrontProgress(int done, int points);

// The front in the result table: its extent, or the chosen point's design
// against the base design.
OptimiseTable MakeFrontTable(const studies::OptimiseProblem& problem, const studies::Front& front,
                             std::optional<std::size_t> selected);

}  // namespace velmora::ui
