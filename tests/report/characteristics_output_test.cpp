// The characteristics' CSV and JSON: every row as wide as the header, a
// faulted point included, and the JSON well formed whatever a message holds.
#include "velmora/report/characteristics_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace velmora::report {
namespace {

// The fields of each CSV line, commas inside quotes not counted.
std::vector<int> FieldCounts(const std::string& csv) {
  std::vector<int> counts;
  int fields = 1;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    char c = csv[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == ',') ++fields;
    if (c == '\n') {
      counts.push_back(fields);
      fields = 1;
    }
  }
  return counts;
}

calc::Characteristics WithFaults() {
  calc::CalculationFault fault;
  fault.message = "计算中断：第67.1项, \"KE\"";
  calc::Characteristics curves;
  curves.load.resize(2);
  curves.load[0].k = 0.5;
  curves.load[0].EFF = 0.85;
  curves.load[1].k = 1.5;
  curves.load[1].fault = fault;
  curves.speed.points.resize(2);
  curves.speed.points[0].s = 1;
  curves.speed.points[0].T = 2.2;
  curves.speed.points[1].s = 0.5;
  curves.speed.points[1].fault = fault;
  curves.speed.breakdown = curves.speed.points[1];
  curves.speed.rated = curves.speed.points[0];
  curves.speed.rated->T = std::nan("");
  return curves;
}

TEST(CharacteristicsCsv, EveryRowIsAsWideAsTheHeader) {
  std::vector<int> counts = FieldCounts(CharacteristicsCsv(WithFaults()));
  ASSERT_EQ(counts.size(), 7u);  // header, 2 load, 2 speed, 2 marks
  for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_EQ(counts[i], counts[0]) << "row " << i;
}

TEST(CharacteristicsJson, EscapesMessagesAndWritesNoNaN) {
  std::string json = CharacteristicsJson(WithFaults());
  EXPECT_NE(json.find(R"("fault": "计算中断：第67.1项, \"KE\"")"), std::string::npos) << json;
  EXPECT_EQ(json.find("nan"), std::string::npos) << json;
  EXPECT_NE(json.find("\"T\": null"), std::string::npos) << json;
}

}  // namespace
}  // namespace velmora::report
