#include "design_run.h"

#include <iostream>

#include "velmora/calc/validity.h"
#include "velmora/design/input_file.h"
#include "velmora/report/validity_text.h"

namespace velmora::cli {

std::optional<int> ReadDesign(const std::string& path, design::DesignInput& input) {
  try {
    input = design::ReadDesignInput(path);
  } catch (const design::InputFileError& error) {
    std::cerr << error.what() << "\n";
    return kExitUsage;
  }
  return std::nullopt;
}

void TellValidity(const calc::Validity& validity) {
  for (const calc::ValidityNote& note : validity.notes())
    std::cerr << (note.Untrustworthy() ? "警告：" : "提示：") << report::NoteText(note) << "\n";
  if (!validity.Trustworthy())
    std::cerr << "警告：以上结果不可信（效率、功率因数、磁化电流等不能作为设计依据）。\n";
}

std::optional<int> ReadAndCalculate(const std::string& path, design::DesignInput& input,
                                    calc::CalculationState& state) {
  if (auto status = ReadDesign(path, input)) return status;
  calc::CalculationFault fault;
  if (!calc::Calculate(input, state, fault)) {
    std::cerr << fault.message << "\n";
    return kExitFault;
  }
  TellValidity(calc::AssessValidity(state));
  return std::nullopt;
}

}  // namespace velmora::cli
