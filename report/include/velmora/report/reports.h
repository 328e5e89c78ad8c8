// The report in its two layouts, and the run that writes it.
#pragma once

#include <optional>
#include <string>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::report {

// Layout 1: the numbered calculation list (UTF-8 text, CR LF line ends).
std::string CalculationListReport(const design::DesignInput& input,
                                  const calc::CalculationState& state);

// Layout 2: the boxed summary sheet (UTF-8 text, CR LF line ends).
std::string SummarySheetReport(const design::DesignInput& input,
                               const calc::CalculationState& state);

// The report that SHFA selects: layout 1 for exactly 1, layout 2 for exactly
// 2, nothing otherwise. A text SHFA is a type-mismatch fault of the run.
std::optional<std::string> SelectedReport(const design::DesignInput& input,
                                          const calc::CalculationState& state);

// The report as a terminal shows it: UTF-8 with plain line ends (LF for CR LF).
std::string TerminalText(const std::string& report);

// Outcome of RunElectromagneticCalculation.
struct RunOutcome {
  bool ok = false;
  bool report_written = false;
  std::string message;  // the fault, in Chinese, when !ok
  std::string warning;  // when ok: where the results cannot be trusted, or empty
};

// Reads "输入文件.dat" in `folder`, runs the calculation and, for SHFA 1 or 2,
// replaces "SCdat.dat" there atomically with the GBK report. A failed run
// leaves the previous report untouched.
RunOutcome RunElectromagneticCalculation(const std::string& folder);

}  // namespace velmora::report
