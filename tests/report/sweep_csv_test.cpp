// Sweep rows as CSV: names of the columns, one RFC 4180 record per row,
// single-precision values as floats, the check column.
#include "velmora/report/sweep_csv.h"

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "velmora/design/input_file.h"
#include "velmora/studies/design_check.h"

namespace velmora::report {
namespace {

using namespace calc;
using namespace studies;
namespace field = design::field;

TEST(SweepCsv, HeaderNamesVariedInputsResultsCheckAndFault) {
  SweepGrid grid({SweepAxis::List(field::G, {0.4}), SweepAxis::List(field::EFF, {0.85})});
  const std::string_view columns[] = {"IST", "SIN ALFA", "HT1"};
  EXPECT_EQ(SweepCsv(grid, columns).Header(), "G,EFF,IST,SIN_ALFA,HT1,check,fault\r\n");
  const std::string_view unknown[] = {"EFF", "NOPE"};
  EXPECT_THROW(SweepCsv(grid, unknown), SweepError);
}

// Without a rise limit: a state of zeros has no thermal network.
CheckOptions NoRiseLimit() {
  CheckOptions options;
  options.insulation = std::nullopt;
  return options;
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
  SweepGrid grid({SweepAxis::List(field::G, {0.1})});
  const std::string_view columns[] = {"I1", "I2", "HT1"};
  SweepCsv csv(grid, columns);
  CalculationState state;
  state.I1 = 1.5;
  state.HT1 = 46.06935f;
  CalculationFault fault;
  fault.message = c.fault;
  DesignCheck check = CheckDesign(design::DesignInput{}, state, Validity{}, NoRiseLimit());
  const double varied[] = {0.1};
  std::string out;
  csv.AppendRow({0, varied, c.ok, state, fault, check}, out);
  EXPECT_EQ(out, c.row);
}

INSTANTIATE_TEST_SUITE_P(Sweep, CsvRow, testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

// SHFA is single precision: 1.1 is run and printed as the float nearest 1.1.
TEST(SweepCsv, SingleInputPrintsAsFloat) {
  SweepGrid grid({SweepAxis::List(field::SHFA, {1.1})});
  const std::string_view columns[] = {"EFF"};
  std::string out;
  SweepCsv csv(grid, std::span(columns, 0));
  RunSweep(
      design::ReadDesignInput(std::string(VELMORA_SOURCE_DIR) + "/examples/Y132S-4-5.5kW.txt"),
      grid, SweepOptions{},
      [&](const SweepRow& row, std::string& block) {
        EXPECT_EQ(row.varied[0], static_cast<double>(1.1f));
        csv.AppendRow(row, block);
      },
      [&](std::string_view block) { out += block; });
  EXPECT_EQ(out, "1.1,IE,\r\n");  // below the legal minimum IE3
}

TEST(SweepCsv, CheckColumnJoinsFailedRules) {
  SweepGrid grid({SweepAxis::List(field::G, {0.1})});
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
  DesignCheck check = CheckDesign(input, state, Validity{}, NoRiseLimit());
  const double varied[] = {0.1};
  std::string out;
  csv.AppendRow({0, varied, true, state, CalculationFault{}, check}, out);
  EXPECT_EQ(out, "0.1,PF;TM,\r\n");
}

// The rise column is the row's check's; a network that cannot be built (a
// state of zeros has none) leaves it empty and fails the rise rule.
TEST(SweepCsv, RiseColumnIsEmptyWhenTheNetworkFails) {
  SweepGrid grid({SweepAxis::List(field::G, {0.1})});
  const std::string_view columns[] = {"TRISE"};
  SweepCsv csv(grid, columns);
  EXPECT_EQ(csv.Header(), "G,TRISE,check,fault\r\n");
  CalculationState state;
  DesignCheck check = CheckDesign(design::DesignInput{}, state, Validity{});
  const double varied[] = {0.1};
  std::string out;
  csv.AppendRow({0, varied, true, state, CalculationFault{}, check}, out);
  EXPECT_EQ(out, "0.1,,TRISE,\r\n");
}

}  // namespace
}  // namespace velmora::report
