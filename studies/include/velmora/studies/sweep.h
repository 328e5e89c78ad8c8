// Parameter sweeps: the base design recomputed over a grid of varied inputs,
// on several threads, with the rows handed on in grid order. How a sweep is
// typed and how its rows are written belong to the programs that show it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/calc/decimal_steps.h"
#include "velmora/design/design_input.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/engine.h"

namespace velmora::studies {

// Largest grid a sweep accepts.
constexpr std::uint64_t kMaxSweepVariants = 100'000'000;

// The results a sweep shows unless told otherwise.
inline constexpr std::array<std::string_view, 20> kKeyResults = {
    "EFF", "PF", "SN", "N",   "TMAX1", "TST1", "Ist",  "I1",  "J1",  "A1",
    "AJ",  "SF", "BG", "BT1", "BJ1",   "PCU1", "PCU2", "PFE", "KE0", "FT"};

// A sweep that cannot be run as asked; the message (Chinese) names the input
// or the value at fault.
class SweepError : public Error {
 public:
  using Error::Error;
};

// One varied input: a range FROM + k·STEP, k = 0, 1, ..., or a list of values.
class SweepAxis {
 public:
  // The points of FROM:TO:STEP. TO is included when it lies on the grid
  // within 1e-9 of a step; a point within 1e-9 of a step of a 15-digit
  // decimal is that decimal, so 0.3:0.6:0.1 gives 0.3, 0.4, 0.5, 0.6.
  // Throws SweepError for a step of 0 or pointing away from TO, or one too
  // small to change the value (beyond 2^53 units in doubles).
  static SweepAxis Range(int field, double from, double to, double step);
  static SweepAxis List(int field, std::vector<double> values);

  int field() const { return field_; }
  // A range whose step does not divide it: the last point falls short of TO.
  bool EndsShort() const;
  std::uint64_t size() const { return list_.empty() ? steps_.size() : list_.size(); }
  double operator[](std::uint64_t k) const;

 private:
  int field_ = 0;
  std::vector<double> list_;  // empty: a range
  DecimalSteps steps_;
};

// Every combination of the axes' values; the last axis varies fastest.
class SweepGrid {
 public:
  // Throws SweepError for an input varied twice or more than kMaxSweepVariants variants.
  explicit SweepGrid(std::vector<SweepAxis> axes);

  const std::vector<SweepAxis>& axes() const { return axes_; }
  std::uint64_t size() const { return size_; }
  // The value of each axis in variant `index` (values.size() == axes().size()).
  void Values(std::uint64_t index, std::span<double> values) const;

 private:
  std::vector<SweepAxis> axes_;
  std::uint64_t size_ = 1;
};

// Refuses a grid that gives a selector a value the calculation refuses:
// CZN 1 or 2, ZC 1 to 4, P even and at least 2 (2, 4, 6 or 8 with CZN = 1,
// whether CZN is varied or comes from `base`), SHFA within single precision.
// GGPph takes any number. Throws SweepError.
void CheckSweepSelectors(const design::DesignInput& base, const SweepGrid& grid);

// Gives input `field` of `input` the number `value` as a run sees it:
// single precision for SHFA (`value` is narrowed to what the run reads). The
// field's text is left as it was; the calculation reads only the number.
void SetVariedInput(design::DesignInput& input, int field, double& value);

// One computed variant.
struct SweepRow {
  std::uint64_t index;             // place in the grid
  std::span<const double> varied;  // the varied inputs' values, in axis order
  bool ok;                         // false: the run stopped with `fault`
  const CalculationState& state;
  const CalculationFault& fault;
  const DesignCheck& check;  // only when ok
};

// Appends the record of one variant to the block of rows it belongs to.
// Called on the worker threads at the same time, each with its own block.
using SweepFormatter = std::function<void(const SweepRow& row, std::string& block)>;
// Takes the blocks in grid order, one at a time, on the thread that runs the sweep.
using SweepWriter = std::function<void(std::string_view block)>;

struct SweepOptions {
  unsigned threads = 0;  // 0: one per processor
  // Told the number of variants handed to the writer so far, after each block.
  std::function<void(std::uint64_t done)> progress;
  const std::atomic<bool>* cancel = nullptr;  // set to stop early
  CheckOptions check;                         // what each row's check asks
};

// Runs every variant of `grid` on `base`. A variant whose run faults is a row
// like any other (ok == false) and the sweep goes on. Returns the number of
// variants written: grid.size(), or fewer when cancelled. Rethrows what the
// formatter or the writer throws, after stopping the workers.
std::uint64_t RunSweep(const design::DesignInput& base, const SweepGrid& grid,
                       const SweepOptions& options, const SweepFormatter& format,
                       const SweepWriter& write);

}  // namespace velmora::studies
