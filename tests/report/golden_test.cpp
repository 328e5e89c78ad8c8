// Both layouts of every example design, byte for byte against the reports
// checked in beside this file. VELMORA_UPDATE_GOLDEN=1 rewrites them instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../design/temp_folder.h"
#include "velmora/calc/calculation.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ExampleStems() {
  std::vector<std::string> stems;
  for (const auto& entry : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() == ".txt") stems.push_back(entry.path().stem().string());
  }
  std::sort(stems.begin(), stems.end());
  return stems;
}

bool Updating() {
  const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
  return update && std::string(update) == "1";
}

class GoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenTest, BothLayoutsMatchTheCheckedInReports) {
  const std::string& stem = GetParam();
  design::DesignInput input =
      design::ReadDesignInput(std::string(VELMORA_SOURCE_DIR) + "/examples/" + stem + ".txt");
  calc::CalculationState state;
  calc::CalculationFault fault;
  ASSERT_TRUE(calc::Calculate(input, state, fault)) << fault.message;

  struct Layout {
    const char* suffix;
    std::string gbk;
  };
  for (const Layout& layout :
       {Layout{".list.dat", design::Utf8ToGbk(CalculationListReport(input, state))},
        Layout{".sheet.dat", design::Utf8ToGbk(SummarySheetReport(input, state))}}) {
    std::string path = std::string(VELMORA_GOLDEN_DIR) + "/" + stem + layout.suffix;
    if (Updating()) {
      fs::create_directories(VELMORA_GOLDEN_DIR);
      design::WriteFileAtomically(path, layout.gbk);
      continue;
    }
    ASSERT_TRUE(fs::exists(path)) << path << " is missing; run with VELMORA_UPDATE_GOLDEN=1";
    EXPECT_TRUE(design::testing::ReadBytes(path) == layout.gbk) << path << " differs";
  }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenTest, ::testing::ValuesIn(ExampleStems()), TestName);

}  // namespace
}  // namespace velmora::report
