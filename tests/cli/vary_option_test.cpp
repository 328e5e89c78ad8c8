// The --vary option: ranges and lists, and refusals that name the fault.
#include "vary_option.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::cli {
namespace {

namespace field = design::field;
using studies::SweepAxis;
using studies::SweepError;

std::vector<double> Points(const SweepAxis& axis) {
  std::vector<double> points;
  for (std::uint64_t k = 0; k < axis.size(); ++k) points.push_back(axis[k]);
  return points;
}

TEST(SweepAxis, ReadsRangesAndLists) {
  SweepAxis range = ParseVaryOption("G=0.3:0.6:0.1");
  EXPECT_EQ(range.field(), field::G);
  EXPECT_EQ(Points(range), (std::vector<double>{0.3, 0.4, 0.5, 0.6}));
  SweepAxis list = ParseVaryOption("Z=46,40,52");
  EXPECT_EQ(list.field(), field::Z);
  EXPECT_EQ(Points(list), (std::vector<double>{46, 40, 52}));
}

struct RefusalCase {
  const char* name;
  const char* vary;
  ErrorCode code;
  const char* named;  // what the message must name
};

const RefusalCase kRefusals[] = {
    {"unknown_name", "XYZ=1:2:1", ErrorCode::UnknownInput, "XYZ"},
    {"lower_case_name", "g=1:2:1", ErrorCode::UnknownInput, "g"},
    {"type_is_text", "TYPE=1,2", ErrorCode::TextInput, "TYPE"},
    {"zero_step", "G=0.3:0.6:0", ErrorCode::StepBackwards, "G"},
    {"step_away_from_end", "G=0.6:0.3:0.1", ErrorCode::StepBackwards, "G"},
    {"negative_step_upward", "G=0.3:0.6:-0.1", ErrorCode::StepBackwards, "G"},
    {"text_in_range", "G=0.3:abc:0.1", ErrorCode::NotANumber, "abc"},
    {"text_in_list", "L=100,1o0", ErrorCode::NotANumber, "1o0"},
    {"empty_list_item", "L=100,,110", ErrorCode::NotANumber, "L"},
    {"two_colons", "G=0.3:0.6", ErrorCode::BadForm, "G"},
    {"four_colons", "G=0.3:0.6:0.1:1", ErrorCode::BadForm, "G"},
    {"no_equals", "G", ErrorCode::BadForm, "G"},
    {"range_too_long", "G=0:1:1e-9", ErrorCode::TooMany, "G"},
};

class AxisRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(AxisRefusal, NamesTheFault) {
  const RefusalCase& c = GetParam();
  try {
    ParseVaryOption(c.vary);
    FAIL() << "accepted " << c.vary;
  } catch (const SweepError& error) {
    EXPECT_EQ(error.code(), c.code) << error.what();
    EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Sweep, AxisRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::cli
