// The window "公差分析": the last successful calculation built many times
// over with the workshop's tolerances, as the window shows it — how many of
// the motors meet each rule of the check, the spread of EFF, PF, Ist and
// TMAX1 against their limits, and the inputs that move each result most.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "velmora/studies/design_check.h"
#include "velmora/studies/tolerance.h"
#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui {

struct ToleranceView {
  // One row of a table: a caption, then the values as text.
  struct Row {
    std::string caption;
    std::vector<std::string> values;
  };
  // A vertical line across a histogram: a limit or the nominal value.
  struct Mark {
    double value = 0;
    std::string label;  // "限值 ≥ 0.8333", "IE3 ≥ 0.8963", "名义值 0.8706"
  };
  // A result over the samples that ran and can be trusted, in bins of
  // equal width from its least to its greatest value.
  struct Histogram {
    std::string name;                    // "EFF"
    std::string title;                   // "效率 EFF (标幺值)"
    double low = 0, width = 0;           // the first bin's left edge, each bin's width
    std::vector<std::uint64_t> counts;   // empty when no sample has the result
    double axis_low = 0, axis_high = 0;  // the bins, the nominal value and every limit
    Mark nominal;
    std::vector<Mark> limits;  // the check's, none when the design sets no target
    std::uint64_t Highest() const;
  };
  // Never run, failed with why, or which design, how many samples and how
  // many of them faulted or cannot be trusted.
  std::string status;
  std::string design;  // the model of the last calculation, "" before the first
  bool drawn = false;  // the analysis ran: what follows holds its result
  ToleranceChoice choice;
  std::vector<Histogram> histograms;  // kToleranceHistograms, in order
  std::vector<Row> yields;            // each rule, all together, the test against the nameplate
  std::vector<Row> rankings;          // each result: the inputs that move it most
};

// The results drawn as histograms, and the rule of the check that limits each.
struct HistogramRule {
  const char* result;  // in studies::kToleranceResults
  int rule;            // in DesignCheck::lines
};
inline constexpr HistogramRule kToleranceHistograms[] = {
    {"EFF", 0}, {"PF", 1}, {"Ist", 2}, {"TMAX1", 4}};
inline constexpr int kHistogramBins = 20;

// The headings of the tables, after their caption column.
inline constexpr const char* kYieldHeadings[] = {"校核", "合格数/样本数", "合格率"};
inline constexpr const char* kRankingHeadings[] = {"第一", "第二", "第三"};

// The samples the window takes.
inline constexpr std::uint64_t kMinWindowSamples = 100;

// `values` in kHistogramBins bins between the least and the greatest, the
// axis wide enough for them, `nominal` and `limits`.
ToleranceView::Histogram BinHistogram(std::span<const double> values,
                                      const ToleranceView::Mark& nominal,
                                      const std::vector<ToleranceView::Mark>& limits);

// The analysis of the last calculation (its run is repeated on the same
// design first) as the check asks it (`asked`, with the thermal data file
// in `folder` or the built-in data), the workshop's tolerances, the samples
// and seed of `choice`, a thread per processor; or only the status when
// there is nothing to show.
ToleranceView MakeToleranceView(const LastCalculation& last, const ToleranceChoice& choice,
                                const studies::CheckOptions& asked, const std::string& folder);

// The number of samples and the seed as typed in the window; the message
// naming the box when one is no whole number in its range.
std::optional<std::string> ReadToleranceChoice(const std::string& samples, const std::string& seed,
                                               ToleranceChoice& choice);

}  // namespace velmora::ui
