// Manufacturing tolerances: the steel-curve factor leaves the plain run as
// it is at 1, yields at the two ends, zero tolerances, failing samples, and
// the same samples on any number of threads.
#include "velmora/studies/tolerance.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <utility>

#include "example_designs.h"
#include "velmora/report/tolerance_output.h"

namespace velmora::studies {
namespace {

namespace field = design::field;

// Every quantity of two runs, bit for bit.
void ExpectSameQuantities(const CalculationState& a, const CalculationState& b) {
  for (const QuantityEntry& entry : calc::QuantityTable()) {
    calc::QuantityView x = entry.get(a), y = entry.get(b);
    EXPECT_EQ(x.set, y.set) << entry.name;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(x.value), std::bit_cast<std::uint64_t>(y.value))
        << entry.name;
  }
}

class SteelCurveFactor : public ::testing::TestWithParam<const char*> {};

// The steel-curve factor at 1 is the plain run; away from 1 it moves the
// magnetizing current.
TEST_P(SteelCurveFactor, OfOneIsThePlainRun) {
  design::DesignInput input = examples::Example(GetParam());
  CalculationState plain, scaled;
  CalculationFault fault;
  ASSERT_TRUE(Calculate(input, plain, fault)) << fault.message;
  ASSERT_TRUE(Calculate(input, scaled, fault, 1)) << fault.message;
  ExpectSameQuantities(plain, scaled);
  ASSERT_TRUE(Calculate(input, scaled, fault, 1.1)) << fault.message;
  EXPECT_GT(scaled.IM.value, plain.IM.value);
  EXPECT_LT(scaled.PF.value, plain.PF.value);
}

INSTANTIATE_TEST_SUITE_P(Examples, SteelCurveFactor,
                         ::testing::Values(examples::k4Pole, examples::k2Pole,
                                           examples::k6PoleSingleLayer, examples::kTwoSection));

// The 4-pole example with targets far from what any of its motors reach,
// no class asked for and class F insulation (105 K).
design::DesignInput FarInside() {
  design::DesignInput input = examples::Example(examples::k4Pole);
  design::SetNumber(input, field::PF, 0.75);
  design::SetNumber(input, field::IST, 9);
  design::SetNumber(input, field::TST, 1.8);
  design::SetNumber(input, field::TM, 2);
  design::SetNumber(input, field::SF0, 0.9);
  return input;
}

ToleranceOptions Options(std::uint64_t samples, unsigned threads = 2) {
  ToleranceOptions options;
  options.samples = samples;
  options.threads = threads;
  options.check.check_class = false;
  options.check.insulation = InsulationClass::F;
  return options;
}

TEST(Tolerance, DesignFarInsideItsLimitsYieldsOne) {
  ToleranceResult r = AnalyseTolerances(FarInside(), Options(400));
  EXPECT_EQ(r.faulted + r.untrusted, 0u);
  EXPECT_EQ(r.passed, 400u);
  for (const RuleYield& rule : r.rules) EXPECT_EQ(rule.met, rule.checked ? 400u : 0u) << rule.name;
  EXPECT_EQ(r.test.within, 400u);
}

// A starting-current target of 5 allows 6 times the rated current; the
// motor draws 7.4.
TEST(Tolerance, DesignBeyondALimitYieldsZero) {
  design::DesignInput input = FarInside();
  design::SetNumber(input, field::IST, 5);
  ToleranceResult r = AnalyseTolerances(input, Options(400));
  EXPECT_EQ(r.passed, 0u);
  for (const RuleYield& rule : r.rules) {
    if (rule.name == "IST") {
      EXPECT_EQ(rule.met, 0u);
    } else if (rule.checked) {
      EXPECT_EQ(rule.met, 400u) << rule.name;
    }
  }
}

TEST(Tolerance, ZeroTolerancesGiveTheNominalResultInEverySample) {
  ToleranceOptions options = Options(50);
  for (std::size_t i = 0; i < ToleranceInputs().size(); ++i)
    options.given.push_back({i, {SpreadKind::Absolute, 0}});
  ToleranceResult r = AnalyseTolerances(examples::Example(examples::kTwoSection), options);
  for (const ToleranceSample& s : r.samples) {
    ASSERT_TRUE(s.ran) << s.fault;
    for (std::size_t q = 0; q < kToleranceResultCount; ++q)
      EXPECT_EQ(s.results[q], r.nominal[q]) << kToleranceResults[q];
  }
  for (const ResultSpread& q : r.results) {
    EXPECT_EQ(q.sd, 0) << q.name;
    EXPECT_TRUE(q.ranking.empty()) << q.name;
  }
}

// An air gap anywhere from nothing to twice the design's: the motors whose
// run stops or cannot be trusted are counted and fail.
TEST(Tolerance, FaultedAndUntrustedSamplesFail) {
  ToleranceOptions options = Options(300);
  options.given.push_back({*FindToleranceInput("G"), {SpreadKind::Percent, 100}});
  ToleranceResult r = AnalyseTolerances(FarInside(), options);
  EXPECT_GT(r.faulted + r.untrusted, 0u);
  std::uint64_t failing = 0;
  for (const ToleranceSample& s : r.samples) {
    if (!s.trustworthy) {
      EXPECT_FALSE(s.passed);
    }
    failing += !s.passed;
  }
  EXPECT_EQ(r.passed, 300 - failing);
  EXPECT_GE(failing, r.faulted + r.untrusted);
}

TEST(Tolerance, SameSeedSameSamplesOnAnyNumberOfThreads) {
  design::DesignInput input = examples::Example(examples::k6PoleSingleLayer);
  std::string one = report::ToleranceCsv(AnalyseTolerances(input, Options(200, 1)));
  EXPECT_EQ(report::ToleranceCsv(AnalyseTolerances(input, Options(200, 2))), one);
  ToleranceOptions other = Options(200, 2);
  other.seed = 2;
  EXPECT_NE(report::ToleranceCsv(AnalyseTolerances(input, other)), one);
}

// Class f by the nominal size: each range of sizes includes its upper end
// (a 6 mm slot width keeps ±0.05, a 30 mm one ±0.1), and sizes beyond the
// last range keep its deviation.
TEST(Tolerance, FineClassBySize) {
  const std::pair<double, double> kSizeDeviation[] = {
      {0, 0},      {0.3, 0.05},  {3, 0.05},  {6, 0.05},   {6.8, 0.1},  {30, 0.1},   {30.1, 0.15},
      {120, 0.15}, {120.5, 0.2}, {400, 0.2}, {1000, 0.3}, {2000, 0.5}, {2500, 0.5}, {-6, 0.05}};
  for (auto [size, deviation] : kSizeDeviation)
    EXPECT_EQ(GeneralFineTolerance(size), deviation) << size << " mm";
}

}  // namespace
}  // namespace velmora::studies
