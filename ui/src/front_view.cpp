#include "velmora/ui/front_view.h"

#include <algorithm>
#include <cmath>

#include "velmora/report/class_cost_text.h"
#include "velmora/ui/quantity_names.h"

namespace velmora::ui {

namespace {

using studies::EfficiencyClass;

constexpr EfficiencyClass kClasses[] = {EfficiencyClass::IE2, EfficiencyClass::IE3,
                                        EfficiencyClass::IE4};

// Points sit this share of their spread inside the ends of an axis, clear of
// its frame.
constexpr double kPadShare = 0.05;
// Captions of limits closer than this share of the x axis would run into
// each other: the second goes a level lower.
constexpr double kCaptionShare = 0.15;

std::string Percent(double value) { return design::FixedText(value, 1) + "%"; }

AxisScale Padded(double low, double high) {
  const double pad = (high - low) * kPadShare;
  return NiceScale(low - pad, high + pad);
}

// The limits just below the lowest efficiency and just above the highest
// widen the spread to show the class of every point.
void WidenToLimits(const studies::ClassLimits& limits, double& low, double& high) {
  const double lowest = low, highest = high;
  for (EfficiencyClass c : kClasses) {
    const double limit = limits.Of(c);
    if (limit <= lowest) low = limit;
  }
  for (auto c = std::rbegin(kClasses); c != std::rend(kClasses); ++c) {
    const double limit = limits.Of(*c);
    if (limit >= highest) high = limit;
  }
}

std::vector<FrontLimit> LimitLines(const studies::ClassLimits& limits, const AxisScale& x) {
  std::vector<FrontLimit> lines;
  if (!limits.classified()) return lines;
  for (EfficiencyClass c : kClasses) {
    const double limit = limits.Of(c);
    if (limit < x.min || limit > x.max) continue;
    FrontLimit line{limit, std::string(studies::ClassName(c)) + " " + Percent(limit), 0};
    if (!lines.empty() && limit - lines.back().x < kCaptionShare * (x.max - x.min))
      line.level = 1 - lines.back().level;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

FrontChart MakeFrontChart(const studies::OptimiseProblem& problem, const studies::Front& front,
                          std::optional<std::size_t> selected) {
  FrontChart chart;
  chart.title = "成本—效率前沿（" + std::to_string(front.points.size()) + "个点）";
  chart.x_title = QuantityLabel("EFF") + " (%)";
  chart.y_title = QuantityLabel("COST") + " (" + report::Currency(problem.prices) + ")";
  if (selected && *selected < front.points.size()) chart.selected = selected;
  double low = NAN, high = NAN, cheapest = NAN, dearest = NAN;
  for (const studies::Optimum& point : front.points) {
    const ChartPoint p{point.assessment.EFF * 100, point.assessment.cost};
    chart.points.push_back(p);
    low = std::isnan(low) ? p.x : std::min(low, p.x);
    high = std::isnan(high) ? p.x : std::max(high, p.x);
    cheapest = std::isnan(cheapest) ? p.y : std::min(cheapest, p.y);
    dearest = std::isnan(dearest) ? p.y : std::max(dearest, p.y);
  }
  const studies::ClassLimits limits = studies::RatingLimits(problem);
  if (limits.classified() && !chart.points.empty()) WidenToLimits(limits, low, high);
  chart.x = Padded(low, high);
  chart.y = Padded(cheapest, dearest);
  chart.limits = LimitLines(limits, chart.x);
  return chart;
}

std::optional<std::size_t> NearestPoint(const FrontChart& chart, double x, double y) {
  std::optional<std::size_t> nearest;
  double shortest = 0;
  const double width = chart.x.max - chart.x.min, height = chart.y.max - chart.y.min;
  for (std::size_t k = 0; k < chart.points.size(); ++k) {
    const double distance =
        std::hypot((chart.points[k].x - x) / width, (chart.points[k].y - y) / height);
    if (!nearest || distance < shortest) nearest = k, shortest = distance;
  }
  return nearest;
}

std::string FrontProgress(int done, int points) {
  return "正在计算成本—效率前沿：已完成" + std::to_string(done) + "/" + std::to_string(points) +
         "次搜索……";
}

OptimiseTable MakeFrontTable(const studies::OptimiseProblem& problem, const studies::Front& front,
                             std::optional<std::size_t> selected) {
  const std::size_t n = front.points.size();
  OptimiseTable table;
  if (n == 0) {
    table.status = "没有满足全部约束的设计。";
    return table;
  }
  const std::string currency = report::Currency(problem.prices);
  auto cost = [&](const studies::Optimum& p) {
    return design::FixedText(p.assessment.cost, 1) + " " + currency;
  };
  auto efficiency = [](const studies::Optimum& p) { return Percent(p.assessment.EFF * 100); };
  if (!selected || *selected >= n) {
    table.status = "成本—效率前沿" + std::to_string(n) + "个点：成本 " + cost(front.points[0]) +
                   " ～ " + cost(front.points[n - 1]) + "，效率 " + efficiency(front.points[0]) +
                   " ～ " + efficiency(front.points[n - 1]) + "，计算" +
                   std::to_string(front.evaluations) + "次。点击图中的点看它的设计。";
    return table;
  }
  const studies::Optimum& point = front.points[*selected];
  table = CompareWithBase(problem, point.values, front.start, point.assessment);
  table.status = "前沿第" + std::to_string(*selected + 1) + "点（共" + std::to_string(n) +
                 "点）：成本 " + cost(point) + "，效率 " + efficiency(point) + "。";
  return table;
}

}  // namespace velmora::ui
