// A tolerance analysis as the programs show it: a summary in Chinese
// (UTF-8), the samples as CSV and the sums as JSON.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "velmora/studies/tolerance.h"

namespace velmora::report {

// An input of studies::ToleranceInputs() as people read it: "气隙G",
// "磁化曲线场强HTAB（整条曲线的系数）".
std::string_view ToleranceInputCaption(std::size_t input);

// `count` of `total` samples in per cent to one decimal: "99.9%".
std::string SharePercent(std::uint64_t count, std::uint64_t total);

// A tolerance as it is typed: "±0.02", "±1%", or "ISO 2768-1 f级".
std::string SpreadText(const studies::Spread& spread);

// The distribution every input is drawn from, in words.
std::string_view DistributionText();

// The workshop's tolerances, one line an input ("  G      ±0.02      气隙G"),
// then the fine class of the general tolerances by size; for a help text.
std::string WorkshopToleranceLines();

// The summary: the tolerances applied, how many samples faulted or cannot be
// trusted, the yield of each rule and of all together, each result's mean,
// standard deviation, 5 % and 95 % values with the inputs that move it most,
// and the test against the declared efficiency and class.
std::string ToleranceText(const studies::ToleranceResult& result);

// The yields alone, for an answer of another study: the samples and seed,
// how many faulted or cannot be trusted, and the yield of each rule and of
// all together.
std::string ToleranceYieldText(const studies::ToleranceResult& result);

// The yield of all rules together in one line: "公差分析（300个样本）：全部
// 校核项合格 262/300（87.3%）".
std::string ToleranceYieldLine(const studies::ToleranceResult& result);

// One row a sample (UTF-8, CR LF): the sample's number, the varied inputs as
// drawn (the factor on the curve under HTAB; the efficiency the iteration
// started from under "input EFF"), the results (empty where there are none),
// "IE" the class reached, "IEC" ok or fail against the declared efficiency,
// "check" ok or the failed rules joined by ';', and "fault". Numbers read
// back exactly.
std::string ToleranceCsv(const studies::ToleranceResult& result);

// The sums as one JSON object; numbers read back exactly.
std::string ToleranceJson(const studies::ToleranceResult& result);

}  // namespace velmora::report
