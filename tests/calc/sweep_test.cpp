// Sweeps: grid points, refusals, the order of rows whatever the threads,
// faulting variants, cancellation and the CSV rows.
#include "velmora/calc/sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

#include "example_designs.h"
#include "velmora/design/input_file.h"

// Counted by the test program's operator new (allocation_count_test.cpp).
extern std::atomic<long> allocation_count;

namespace velmora::calc {
namespace {

namespace field = design::field;

using examples::Example;

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

TEST(SweepAxis, ReadsRangesAndLists) {
  SweepAxis range = ParseSweepAxis("G=0.3:0.6:0.1");
  EXPECT_EQ(range.field(), field::G);
  EXPECT_EQ(Points(range), (std::vector<double>{0.3, 0.4, 0.5, 0.6}));
  SweepAxis list = ParseSweepAxis("Z=46,40,52");
  EXPECT_EQ(list.field(), field::Z);
  EXPECT_EQ(Points(list), (std::vector<double>{46, 40, 52}));
}

struct RefusalCase {
  const char* name;
  const char* vary;
  const char* named;  // what the message must name
};

const RefusalCase kRefusals[] = {
    {"unknown_name", "XYZ=1:2:1", "XYZ"},         {"lower_case_name", "g=1:2:1", "g"},
    {"type_is_text", "TYPE=1,2", "TYPE"},         {"zero_step", "G=0.3:0.6:0", "G"},
    {"step_away_from_end", "G=0.6:0.3:0.1", "G"}, {"negative_step_upward", "G=0.3:0.6:-0.1", "G"},
    {"text_in_range", "G=0.3:abc:0.1", "abc"},    {"text_in_list", "L=100,1o0", "1o0"},
    {"empty_list_item", "L=100,,110", "L"},       {"two_colons", "G=0.3:0.6", "G"},
    {"four_colons", "G=0.3:0.6:0.1:1", "G"},      {"no_equals", "G", "G"},
    {"range_too_long", "G=0:1:1e-9", "G"},
};

class AxisRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(AxisRefusal, NamesTheFault) {
  const RefusalCase& c = GetParam();
  try {
    ParseSweepAxis(c.vary);
    FAIL() << "accepted " << c.vary;
  } catch (const SweepError& error) {
    EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Sweep, AxisRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SweepGrid, LastAxisVariesFastest) {
  SweepGrid grid({ParseSweepAxis("G=1,2"), ParseSweepAxis("L=10:30:10")});
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
  EXPECT_EQ(SweepGrid({ParseSweepAxis("G=1:10000:1"), ParseSweepAxis("L=1:10000:1")}).size(),
            kMaxSweepVariants);
  EXPECT_THROW(SweepGrid({ParseSweepAxis("G=1:10000:1"), ParseSweepAxis("L=1:10001:1")}),
               SweepError);
  EXPECT_THROW(SweepGrid({ParseSweepAxis("G=1:1e6:1"), ParseSweepAxis("L=1:1e6:1"),
                          ParseSweepAxis("Z=1:1e6:1")}),
               SweepError);
}

TEST(SweepGrid, RefusesAnInputVariedTwice) {
  EXPECT_THROW(SweepGrid({ParseSweepAxis("G=1,2"), ParseSweepAxis("G=3")}), SweepError);
}

struct SelectorCase {
  const char* name;
  const char* base;
  std::vector<const char*> vary;
  bool refused;
};

const char* const k4Pole = "Y132S-4-5.5kW";              // CZN 2, P 4
const char* const k6PoleSingleLayer = "Y132M2-6-5.5kW";  // CZN 1, P 6

const SelectorCase kSelectorCases[] = {
    {"winding_types", k4Pole, {"CZN=1,2"}, false},
    {"winding_type_3", k4Pole, {"CZN=1,3"}, true},
    {"slot_shapes", k4Pole, {"ZC=1:4:1"}, false},
    {"slot_shape_0", k4Pole, {"ZC=0:4:1"}, true},
    {"slot_shape_2_5", k4Pole, {"ZC=2.5"}, true},
    {"pole_numbers", k4Pole, {"P=2:12:2"}, false},
    {"odd_pole_number", k4Pole, {"P=2:5:1"}, true},
    {"pole_number_0", k4Pole, {"P=0,2"}, true},
    {"single_layer_poles", k6PoleSingleLayer, {"P=2:8:2"}, false},
    {"single_layer_10_poles", k6PoleSingleLayer, {"P=2:10:2"}, true},
    {"single_layer_by_czn", k4Pole, {"CZN=1,2", "P=4,10"}, true},
    {"double_layer_10_poles", k4Pole, {"CZN=2", "P=4,10"}, false},
    {"steel_grade_any_number", k4Pole, {"GGPph=0:3:1"}, false},
    {"layout_any_number", k4Pole, {"SHFA=0,1,2,7"}, false},
    {"layout_beyond_single", k4Pole, {"SHFA=1,1e39"}, true},
};

class SelectorValues : public testing::TestWithParam<SelectorCase> {};

TEST_P(SelectorValues, AreRefusedWhereTheCalculationWouldRefuseThem) {
  const SelectorCase& c = GetParam();
  std::vector<SweepAxis> axes;
  for (const char* vary : c.vary) axes.push_back(ParseSweepAxis(vary));
  SweepGrid grid(std::move(axes));
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
  SweepCsv csv(grid);
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
  SweepGrid grid({ParseSweepAxis("G=0.3:0.6:0.01"), ParseSweepAxis("Z=40:50:2")});
  std::string one = SweepText(grid, 1);
  EXPECT_EQ(Lines(one).size(), grid.size() + 1);
  for (unsigned threads : {2u, 3u, 8u}) EXPECT_EQ(SweepText(grid, threads), one) << threads;
}

TEST(RunSweep, RowsMatchSingleRuns) {
  SweepGrid grid({ParseSweepAxis("L=100,115")});
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
  SweepGrid grid({ParseSweepAxis("G=0.4,0,-1,0.45")});
  std::vector<std::string> lines = Lines(SweepText(grid, 2));
  ASSERT_EQ(lines.size(), 5u);
  const std::string empty_results(kKeyResults.size() + 1, ',');  // results and check
  for (int faulted : {2, 3}) {
    std::string row = lines[faulted];
    EXPECT_NE(row.find(empty_results), std::string::npos) << row;
    EXPECT_NE(row.find("计算中断"), std::string::npos) << row;
  }
  for (int fine : {1, 4}) EXPECT_TRUE(lines[fine].ends_with(",ok,")) << lines[fine];
}

TEST(RunSweep, HandsRowsOnInGridOrderWithProgress) {
  SweepGrid grid({ParseSweepAxis("G=0.3:0.5:0.001")});
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
  SweepCsv csv(grid);
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
  long small = SweepAllocations(
      base, SweepGrid({ParseSweepAxis("G=0.35:0.548:0.002"), ParseSweepAxis("L=100:109:1")}));
  long large = SweepAllocations(
      base, SweepGrid({ParseSweepAxis("G=0.35:0.548:0.002"), ParseSweepAxis("L=100:199:1")}));
  EXPECT_LT(large, 100) << "1,000 variants: " << small;
  EXPECT_LE(large, small + 20);
}

TEST(RunSweep, StopsWhenCancelled) {
  SweepGrid grid({ParseSweepAxis("G=0.3:0.5:0.00001")});  // 20,001 variants
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
  SweepGrid grid({ParseSweepAxis("G=0.3:0.5:0.001")});
  SweepOptions options;
  options.threads = 2;
  EXPECT_THROW(
      RunSweep(
          Example(k4Pole), grid, options, [](const SweepRow&, std::string& block) { block += 'x'; },
          [](std::string_view) { throw std::runtime_error("disk full"); }),
      std::runtime_error);
}

TEST(RunSweep, PassesOnWhatTheFormatterThrows) {
  SweepGrid grid({ParseSweepAxis("G=0.3:0.5:0.001")});
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

// ---- CSV -------------------------------------------------------------------

TEST(SweepCsv, HeaderNamesVariedInputsResultsCheckAndFault) {
  SweepGrid grid({ParseSweepAxis("G=0.4"), ParseSweepAxis("EFF=0.85")});
  EXPECT_EQ(SweepCsv(grid).Header(),
            "G,input EFF,EFF,PF,SN,N,TMAX1,TST1,Ist,I1,J1,A1,AJ,SF,BG,BT1,BJ1,PCU1,PCU2,PFE,KE0,"
            "FT,check,fault\r\n");
  const std::string_view columns[] = {"IST", "SIN ALFA", "HT1"};
  EXPECT_EQ(SweepCsv(grid, columns).Header(), "G,EFF,IST,SIN_ALFA,HT1,check,fault\r\n");
  const std::string_view unknown[] = {"EFF", "NOPE"};
  EXPECT_THROW(SweepCsv(grid, unknown), SweepError);
}

struct RowCase {
  const char* name;
  bool ok;
  const char* fault;
  const char* row;
};

const RowCase kRowCases[] = {
    {"fine", true, "", "0.1,1.5,,46.06935,ok,\r\n"},
    {"fault_plain", false, "计算中断：除数为零", "0.1,,,,,计算中断：除数为零\r\n"},
    {"fault_with_comma", false, "a,b", "0.1,,,,,\"a,b\"\r\n"},
    {"fault_with_quote", false, "say \"x\"", "0.1,,,,,\"say \"\"x\"\"\"\r\n"},
    {"fault_with_line_end", false, "a\nb", "0.1,,,,,\"a\nb\"\r\n"},
};

class CsvRow : public testing::TestWithParam<RowCase> {};

// Doubles and floats in their shortest exact form, an unset quantity empty.
TEST_P(CsvRow, IsOneRfc4180Record) {
  const RowCase& c = GetParam();
  SweepGrid grid({ParseSweepAxis("G=0.1")});
  const std::string_view columns[] = {"I1", "I2", "HT1"};
  SweepCsv csv(grid, columns);
  CalculationState state;
  state.I1 = 1.5;
  state.HT1 = 46.06935f;
  CalculationFault fault;
  fault.message = c.fault;
  DesignCheck check = CheckDesign(design::DesignInput{}, state, Validity{});
  const double varied[] = {0.1};
  std::string out;
  csv.AppendRow({0, varied, c.ok, state, fault, check}, out);
  EXPECT_EQ(out, c.row);
}

INSTANTIATE_TEST_SUITE_P(Sweep, CsvRow, testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

// SHFA is single precision: 1.1 is run and printed as the float nearest 1.1.
TEST(SweepCsv, SingleInputPrintsAsFloat) {
  SweepGrid grid({ParseSweepAxis("SHFA=1.1")});
  const std::string_view columns[] = {"EFF"};
  std::string out;
  SweepCsv csv(grid, std::span(columns, 0));
  RunSweep(
      Example(k4Pole), grid, SweepOptions{},
      [&](const SweepRow& row, std::string& block) {
        EXPECT_EQ(row.varied[0], static_cast<double>(1.1f));
        csv.AppendRow(row, block);
      },
      [&](std::string_view block) { out += block; });
  EXPECT_EQ(out, "1.1,ok,\r\n");
}

TEST(SweepCsv, CheckColumnJoinsFailedRules) {
  SweepGrid grid({ParseSweepAxis("G=0.1")});
  const std::string_view no_columns[] = {"EFF"};
  SweepCsv csv(grid, std::span(no_columns, 0));
  design::DesignInput input;
  design::SetNumber(input, field::PF, 0.9);
  design::SetNumber(input, field::TM, 2);
  design::SetNumber(input, field::SF0, 0.75);
  CalculationState state;
  state.PF = 0.5;
  state.TMAX1 = 1;
  state.SF = 0.7;
  DesignCheck check = CheckDesign(input, state, Validity{});
  const double varied[] = {0.1};
  std::string out;
  csv.AppendRow({0, varied, true, state, CalculationFault{}, check}, out);
  EXPECT_EQ(out, "0.1,PF;TM,\r\n");
}

}  // namespace
}  // namespace velmora::calc
