// The sweep behind the sweep chart: one input stepped over a range, up to
// three results collected per point, or one result over a grid of two
// inputs; run on a worker thread so the windows stay responsive.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/thermal_data.h"
#include "velmora/ui/axis_scale.h"
#include "velmora/ui/toolkit.h"

namespace velmora::studies {
class SweepGrid;
struct SweepRow;
}  // namespace velmora::studies
namespace velmora::report {
class SweepCsv;
}

namespace velmora::ui {

// One swept input and its range boxes, as typed.
struct SweepInputText {
  int field = design::field::G;  // by box index
  std::string from, to, step;
};

// What the window asks for, as typed; the session keeps the last request so
// a window opened again starts from it.
struct SweepRequest {
  SweepInputText input;  // along the x axis
  // Report names, COST or TRISE; empty entries ignored, at most three.
  std::vector<std::string> results;
  // With a second input, one curve of the one result chosen per value of it.
  std::optional<SweepInputText> second = std::nullopt;
};

// Largest number of points a chart takes.
constexpr std::uint64_t kMaxChartPoints = 10000;
// Most values of the second input, one curve each, that still read apart.
constexpr std::uint64_t kMaxChartCurves = 20;

// The points of a finished (or cancelled) sweep.
struct SweepCurves {
  std::vector<std::string> names;  // the results plotted
  int input = design::field::G;    // the input along the x axis
  std::optional<int> second;       // the input whose values pick the curve
  std::vector<double> levels;      // the second input's values, one curve each
  std::vector<double> x;           // the first input, point by point
  // Point by point, its value of the second input as an index into
  // `levels`; empty without a second input.
  std::vector<std::size_t> level;
  // One row per name; a point whose run faulted, or that left the
  // quantity unset, is NaN and is left out of the plot.
  std::vector<std::vector<double>> y;
  // Points whose results cannot be trusted (a flux density off the steel
  // curve, an impossible input or result): drawn hollow, never joined.
  std::vector<char> untrusted;
  std::uint64_t faulted = 0;
  std::string first_fault;  // "G=200：…" of the first faulted point, "" if none
  std::uint64_t untrusted_count = 0;
  bool cancelled = false;
  std::string csv;     // the sweep's CSV text, header and every point written
  std::string design;  // the model swept (box 0), as DesignName gives it
};

// The shapes a chart can mark points with; trusted points are filled,
// untrusted ones hollow.
enum class MarkerShape { Circle, Rectangle, Triangle, Star, Pentagon, RotatedRectangle };
constexpr int kMarkerShapes = 6;

struct ChartPoint {
  double x, y;
};

// One line of the chart: a result against the first input, at one value of
// the second input when there is one.
struct SweepSeries {
  std::string label;                // "效率 EFF", or "L=115" for a value of the second input
  std::size_t result = 0;           // which of the results, and so which y axis
  std::vector<ChartPoint> trusted;  // joined by the line, in sweep order
  std::vector<ChartPoint> hollow;   // the untrusted points, never joined
  MarkerShape shape = MarkerShape::Circle;
  std::uint32_t colour = 0;  // 0xRRGGBB
};

// The series to draw: one per result without a second input, else one per
// value of the second input. No two share both shape and colour, and the
// first six differ in each.
std::vector<SweepSeries> ChartSeries(const SweepCurves& curves);

class SweepChart {
 public:
  SweepChart() = default;
  // Cancels a running sweep and waits for its thread.
  ~SweepChart();
  SweepChart(const SweepChart&) = delete;
  SweepChart& operator=(const SweepChart&) = delete;

  void SetBase(const design::DesignInput& base) { base_ = base; }
  const design::DesignInput& base() const { return base_; }
  // The prices of the result COST.
  void SetPrices(const design::MaterialPrices& prices) { prices_ = prices; }
  // The thermal data of the result TRISE.
  void SetThermalData(const studies::ThermalData& data) { thermal_ = data; }

  // Checks the request and starts the worker; throws SweepError saying why
  // not, naming the box or the value at fault. Refused while running.
  void Start(const SweepRequest& request);
  void Cancel();
  // Waits for the worker to end.
  void Wait();
  // Whether a worker thread is alive (started and not yet waited for).
  bool Running() const { return worker_.joinable(); }
  // True once the worker has ended; then its thread is joined and the
  // curves are complete.
  bool Finished();

  std::uint64_t Done() const { return done_.load(); }
  std::uint64_t Total() const { return total_; }
  const SweepCurves& Curves() const { return curves_; }
  const std::string& Error() const { return error_; }  // what stopped a sweep, "" if none

  // "导出CSV": asks for a file and writes the last sweep's CSV text.
  void ExportCsv(Toolkit& toolkit) const;

 private:
  // The worker: runs the grid, fills the curves point by point.
  void Work(design::DesignInput base, studies::SweepGrid&& grid, report::SweepCsv&& csv,
            design::MaterialPrices prices, studies::ThermalData thermal);
  void Prepare(const studies::SweepGrid& grid, std::vector<std::string> names);
  void Record(const studies::SweepRow& row, const design::MaterialPrices& prices);
  void Finish(std::uint64_t written, const std::vector<std::string>& faults);

  design::DesignInput base_;
  design::MaterialPrices prices_;
  studies::ThermalData thermal_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> ended_{false};
  std::atomic<std::uint64_t> done_{0};
  std::uint64_t total_ = 0;
  SweepCurves curves_;
  std::string error_;
};

}  // namespace velmora::ui
