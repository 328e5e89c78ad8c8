// The run from the input data file to the report file.
#include "velmora/calc/calculation.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/report/reports.h"
#include "velmora/report/validity_text.h"

namespace velmora::report {

std::optional<std::string> SelectedReport(const design::DesignInput& input,
                                          const calc::CalculationState& state) {
  // SHFA is single precision, so 1 and 2 are compared exactly as the designer typed them.
  float SHFA = static_cast<float>(input[design::field::SHFA].number);
  if (SHFA == 1) return CalculationListReport(input, state);
  if (SHFA == 2) return SummarySheetReport(input, state);
  return std::nullopt;
}

std::string TerminalText(const std::string& report) {
  std::string out;
  out.reserve(report.size());
  for (std::size_t i = 0; i < report.size(); ++i)
    if (!(report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n')) out += report[i];
  return out;
}

RunOutcome RunElectromagneticCalculation(const std::string& folder) {
  design::DesignInput input;
  try {
    input = design::ReadDesignInput(design::JoinPath(folder, design::kInputDataFileName));
  } catch (const design::InputFileError& error) {
    return {false, false, error.what(), {}};
  }

  calc::CalculationState state;
  calc::CalculationFault fault;
  if (!calc::Calculate(input, state, fault)) return {false, false, fault.message, {}};

  // The report is built whole in memory and only then replaces the old one,
  // so a failed run or a failed write leaves the previous report as it was.
  std::string warning = ValidityWarning(calc::AssessValidity(state));
  std::optional<std::string> report = SelectedReport(input, state);
  if (!report) return {true, false, {}, warning};
  try {
    design::WriteFileAtomically(design::JoinPath(folder, design::kReportFileName),
                                design::Utf8ToGbk(*report));
  } catch (const design::FileError& error) {
    return {false, false, error.what(), {}};
  }
  return {true, true, {}, warning};
}

}  // namespace velmora::report
