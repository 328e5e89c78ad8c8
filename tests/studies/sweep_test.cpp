// Sweeps: grid points, refusals, the order of rows whatever the threads,
// faulting variants and cancellation.
#include "velmora/studies/sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

#include "example_designs.h"
#include "velmora/design/input_file.h"
#include "velmora/report/sweep_csv.h"

// Counted by the test program's operator new (allocation_count_test.cpp).
extern std::atomic<long> allocation_count;

namespace velmora::studies {
namespace {

namespace field = design::field;

using examples::Example;
using report::SweepCsv;

std::vector<double> Points(const SweepAxis& axis) {
  std::vector<double> points;
  for (std::uint64_t k = 0; k < axis.size(); ++k) points.push_back(axis[k]);
  return points;
}

struct RangeCase {
  const char* name;
  double from, to, step;
  std::vector<double> points;  // as they would be typed
};

const RangeCase kRangeCases[] = {
    // 0.1 has no exact binary form: 0.3 + 3·0.1 is 0.6000000000000001 in doubles.
    {"tenths", 0.3, 0.6, 0.1, {0.3, 0.4, 0.5, 0.6}},
    {"end_off_grid", 0.3, 0.65, 0.1, {0.3, 0.4, 0.5, 0.6}},
    {"hundredths", 0.01, 0.05, 0.01, {0.01, 0.02, 0.03, 0.04, 0.05}},
    {"air_gap", 0.3, 0.6, 0.05, {0.3, 0.35, 0.4, 0.45, 0.5, 0.55, 0.6}},
    {"downward", 1, 0, -0.25, {1, 0.75, 0.5, 0.25, 0}},
    {"through_zero", -0.1, 0.1, 0.1, {-0.1, 0, 0.1}},
    {"single_point", 0.5, 0.5, 0.1, {0.5}},
    {"whole", 100, 130, 10, {100, 110, 120, 130}},
    // Not a decimal: stepped in doubles, TO kept exact.
    {"thirds", 0, 1, 1.0 / 3, {0, 1.0 / 3, 2 * (1.0 / 3), 1}},
};

class RangePoints : public testing::TestWithParam<RangeCase> {};

TEST_P(RangePoints, AreFromPlusKStepWithTheEndIncluded) {
  const RangeCase& c = GetParam();
  EXPECT_EQ(Points(SweepAxis::Range(field::G, c.from, c.to, c.step)), c.points);
}

INSTANTIATE_TEST_SUITE_P(Sweep, RangePoints, testing::ValuesIn(kRangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SweepGrid, LastAxisVariesFastest) {
  SweepGrid grid({SweepAxis::List(field::G, {1, 2}), SweepAxis::Range(field::L, 10, 30, 10)});
  ASSERT_EQ(grid.size(), 6u);
  const double expected[6][2] = {{1, 10}, {1, 20}, {1, 30}, {2, 10}, {2, 20}, {2, 30}};
  for (std::uint64_t i = 0; i < grid.size(); ++i) {
    double values[2];
    grid.Values(i, values);
    EXPECT_EQ(values[0], expected[i][0]) << i;
    EXPECT_EQ(values[1], expected[i][1]) << i;
  }
}

TEST(SweepGrid, RefusesMoreThanOneHundredMillionVariants) {
  EXPECT_EQ(
      SweepGrid({SweepAxis::Range(field::G, 1, 10000, 1), SweepAxis::Range(field::L, 1, 10000, 1)})
          .size(),
      kMaxSweepVariants);
  EXPECT_THROW(
      SweepGrid({SweepAxis::Range(field::G, 1, 10000, 1), SweepAxis::Range(field::L, 1, 10001, 1)}),
      SweepError);
  EXPECT_THROW(
      SweepGrid({SweepAxis::Range(field::G, 1, 1e6, 1), SweepAxis::Range(field::L, 1, 1e6, 1),
                 SweepAxis::Range(field::Z, 1, 1e6, 1)}),
      SweepError);
}

TEST(SweepGrid, RefusesAnInputVariedTwice) {
  EXPECT_THROW(SweepGrid({SweepAxis::List(field::G, {1, 2}), SweepAxis::List(field::G, {3})}),
               SweepError);
}

struct SelectorCase {
  const char* name;
  const char* base;
  std::vector<SweepAxis> vary;
  bool refused;
};

const char* const k4Pole = "Y132S-4-5.5kW";              // CZN 2, P 4
const char* const k6PoleSingleLayer = "Y132M2-6-5.5kW";  // CZN 1, P 6

const SelectorCase kSelectorCases[] = {
    {"winding_types", k4Pole, {SweepAxis::List(field::CZN, {1, 2})}, false},
    {"winding_type_3", k4Pole, {SweepAxis::List(field::CZN, {1, 3})}, true},
    {"slot_shapes", k4Pole, {SweepAxis::Range(field::ZC, 1, 4, 1)}, false},
    {"slot_shape_0", k4Pole, {SweepAxis::Range(field::ZC, 0, 4, 1)}, true},
    {"slot_shape_2_5", k4Pole, {SweepAxis::List(field::ZC, {2.5})}, true},
    {"pole_numbers", k4Pole, {SweepAxis::Range(field::P, 2, 12, 2)}, false},
    {"odd_pole_number", k4Pole, {SweepAxis::Range(field::P, 2, 5, 1)}, true},
    {"pole_number_0", k4Pole, {SweepAxis::List(field::P, {0, 2})}, true},
    {"single_layer_poles", k6PoleSingleLayer, {SweepAxis::Range(field::P, 2, 8, 2)}, false},
    {"single_layer_10_poles", k6PoleSingleLayer, {SweepAxis::Range(field::P, 2, 10, 2)}, true},
    {"single_layer_by_czn",
     k4Pole,
     {SweepAxis::List(field::CZN, {1, 2}), SweepAxis::List(field::P, {4, 10})},
     true},
    {"double_layer_10_poles",
     k4Pole,
     {SweepAxis::List(field::CZN, {2}), SweepAxis::List(field::P, {4, 10})},
     false},
    {"steel_grade_any_number", k4Pole, {SweepAxis::Range(field::GGPph, 0, 3, 1)}, false},
    {"layout_any_number", k4Pole, {SweepAxis::List(field::SHFA, {0, 1, 2, 7})}, false},
    {"layout_beyond_single", k4Pole, {SweepAxis::List(field::SHFA, {1, 1e39})}, true},
};

class SelectorValues : public testing::TestWithParam<SelectorCase> {};

TEST_P(SelectorValues, AreRefusedWhereTheCalculationWouldRefuseThem) {
  const SelectorCase& c = GetParam();
  SweepGrid grid(c.vary);
  if (c.refused)
    EXPECT_THROW(CheckSweepSelectors(Example(c.base), grid), SweepError);
  else
    EXPECT_NO_THROW(CheckSweepSelectors(Example(c.base), grid));
}

INSTANTIATE_TEST_SUITE_P(Sweep, SelectorValues, testing::ValuesIn(kSelectorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Running ---------------------------------------------------------------

// The whole CSV of a sweep of the 4-pole example.
std::string SweepText(const SweepGrid& grid, unsigned threads) {
  SweepCsv csv(grid, kKeyResults);
  std::string out = csv.Header();
  SweepOptions options;
  options.threads = threads;
  std::uint64_t rows = RunSweep(
      Example(k4Pole), grid, options,
      [&](const SweepRow& row, std::string& block) { csv.AppendRow(row, block); },
      [&](std::string_view block) { out += block; });
  EXPECT_EQ(rows, grid.size());
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

TEST(RunSweep, SameBytesOnAnyNumberOfThreads) {
  SweepGrid grid(
      {SweepAxis::Range(field::G, 0.3, 0.6, 0.01), SweepAxis::Range(field::Z, 40, 50, 2)});
  std::string one = SweepText(grid, 1);
  EXPECT_EQ(Lines(one).size(), grid.size() + 1);
  for (unsigned threads : {2u, 3u, 8u}) EXPECT_EQ(SweepText(grid, threads), one) << threads;
}

TEST(RunSweep, RowsMatchSingleRuns) {
  SweepGrid grid({SweepAxis::List(field::L, {100, 115})});
  std::vector<std::string> lines = Lines(SweepText(grid, 2));
  ASSERT_EQ(lines.size(), 3u);
  // The example's own core length gives the example's own results.
  CalculationState state;
  CalculationFault fault;
  ASSERT_TRUE(Calculate(Example(k4Pole), state, fault));
  char eff[32];
  *std::to_chars(eff, eff + sizeof eff, state.EFF.value).ptr = '\0';
  EXPECT_EQ(lines[2].rfind(std::string("115,") + eff + ",", 0), 0u) << lines[2];
}

TEST(RunSweep, FaultingVariantGivesAFaultRowAndTheSweepGoesOn) {
  // A zero air gap divides by zero in the saturation factor; a negative one
  // takes the square root of a negative number.
  SweepGrid grid({SweepAxis::List(field::G, {0.4, 0, -1, 0.45})});
  std::vector<std::string> lines = Lines(SweepText(grid, 2));
  ASSERT_EQ(lines.size(), 5u);
  const std::string empty_results(kKeyResults.size() + 1, ',');  // results and check
  for (int faulted : {2, 3}) {
    std::string row = lines[faulted];
    EXPECT_NE(row.find(empty_results), std::string::npos) << row;
    EXPECT_NE(row.find("计算中断"), std::string::npos) << row;
  }
  for (int fine : {1, 4}) EXPECT_TRUE(lines[fine].ends_with(",IE,")) << lines[fine];
}

TEST(RunSweep, HandsRowsOnInGridOrderWithProgress) {
  SweepGrid grid({SweepAxis::Range(field::G, 0.3, 0.5, 0.001)});
  std::vector<std::uint64_t> order;
  std::vector<std::uint64_t> progress;
  SweepOptions options;
  options.threads = 3;
  options.progress = [&](std::uint64_t done) { progress.push_back(done); };
  RunSweep(
      Example(k4Pole), grid, options,
      [](const SweepRow& row, std::string& block) { block += std::to_string(row.index) + "\n"; },
      [&](std::string_view block) {
        for (std::size_t at; (at = block.find('\n')) != std::string_view::npos;) {
          order.push_back(std::stoull(std::string(block.substr(0, at))));
          block.remove_prefix(at + 1);
        }
      });
  ASSERT_EQ(order.size(), grid.size());
  for (std::uint64_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], i);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), grid.size());
}

// Allocations made by a whole sweep written as CSV.
long SweepAllocations(const design::DesignInput& base, const SweepGrid& grid) {
  SweepCsv csv(grid, kKeyResults);
  SweepOptions options;
  options.threads = 2;
  std::size_t bytes = 0;
  long before = allocation_count.load();
  RunSweep(
      base, grid, options,
      [&](const SweepRow& row, std::string& block) { csv.AppendRow(row, block); },
      [&](std::string_view block) { bytes += block.size(); });
  return allocation_count.load() - before;
}

// Threads, inputs, states and the ring of blocks are made once: ten times the
// variants cost no more allocations.
TEST(RunSweep, AllocatesNothingPerVariant) {
  design::DesignInput base = Example(k4Pole);
  long small = SweepAllocations(base, SweepGrid({SweepAxis::Range(field::G, 0.35, 0.548, 0.002),
                                                 SweepAxis::Range(field::L, 100, 109, 1)}));
  long large = SweepAllocations(base, SweepGrid({SweepAxis::Range(field::G, 0.35, 0.548, 0.002),
                                                 SweepAxis::Range(field::L, 100, 199, 1)}));
  EXPECT_LT(large, 100) << "1,000 variants: " << small;
  EXPECT_LE(large, small + 20);
}

TEST(RunSweep, StopsWhenCancelled) {
  SweepGrid grid({SweepAxis::Range(field::G, 0.3, 0.5, 0.00001)});  // 20,001 variants
  std::atomic<bool> cancel{false};
  SweepOptions options;
  options.threads = 2;
  options.cancel = &cancel;
  options.progress = [&](std::uint64_t) { cancel = true; };
  std::uint64_t rows_seen = 0;
  std::uint64_t written = RunSweep(
      Example(k4Pole), grid, options, [](const SweepRow&, std::string& block) { block += 'x'; },
      [&](std::string_view block) { rows_seen += block.size(); });
  EXPECT_EQ(written, rows_seen);
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, grid.size());
}

TEST(RunSweep, PassesOnWhatTheWriterThrows) {
  SweepGrid grid({SweepAxis::Range(field::G, 0.3, 0.5, 0.001)});
  SweepOptions options;
  options.threads = 2;
  EXPECT_THROW(
      RunSweep(
          Example(k4Pole), grid, options, [](const SweepRow&, std::string& block) { block += 'x'; },
          [](std::string_view) { throw std::runtime_error("disk full"); }),
      std::runtime_error);
}

TEST(RunSweep, PassesOnWhatTheFormatterThrows) {
  SweepGrid grid({SweepAxis::Range(field::G, 0.3, 0.5, 0.001)});
  SweepOptions options;
  options.threads = 2;
  EXPECT_THROW(RunSweep(
                   Example(k4Pole), grid, options,
                   [](const SweepRow& row, std::string&) {
                     if (row.index == 57) throw std::runtime_error("bad row");
                   },
                   [](std::string_view) {}),
               std::runtime_error);
}

}  // namespace
}  // namespace velmora::studies
