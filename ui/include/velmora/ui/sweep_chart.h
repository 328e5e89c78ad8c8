// The sweep behind the sweep chart: one input stepped over a range, up to
// three results collected per point, run on a worker thread so the windows
// stay responsive.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
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

// What the window asks for, as typed.
struct SweepRequest {
  int field = 0;  // the swept input, by box index
  std::string from, to, step;
  std::vector<std::string> results;  // report names or COST, empty entries ignored, at most three
};

// Largest number of points a chart takes.
constexpr std::uint64_t kMaxChartPoints = 10000;

// The points of a finished (or cancelled) sweep.
struct SweepCurves {
  std::vector<std::string> names;  // the results plotted
  std::vector<double> x;           // the swept input, point by point
  // One curve per name; a point whose run faulted, or that left the
  // quantity unset, is NaN and is left out of the plot.
  std::vector<std::vector<double>> y;
  // Points whose results cannot be trusted (a flux density off the steel
  // curve, an impossible input or result): drawn apart, never as a curve.
  std::vector<char> untrusted;
  std::uint64_t faulted = 0;
  std::string first_fault;  // "G=200：…" of the first faulted point, "" if none
  std::uint64_t untrusted_count = 0;
  bool cancelled = false;
  std::string csv;     // the sweep's CSV text, header and every point written
  std::string design;  // the model swept (box 0), as DesignName gives it
};

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
            design::MaterialPrices prices, int field);
  void Record(const studies::SweepRow& row, const design::MaterialPrices& prices);
  void Finish(std::uint64_t written, const std::vector<std::string>& faults, int field);

  design::DesignInput base_;
  design::MaterialPrices prices_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> ended_{false};
  std::atomic<std::uint64_t> done_{0};
  std::uint64_t total_ = 0;
  SweepCurves curves_;
  std::string error_;
};

}  // namespace velmora::ui
