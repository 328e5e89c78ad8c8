#include "design_run.h"

#include <iostream>

#include "velmora/design/input_file.h"
#include "velmora/report/validity_text.h"

namespace velmora::cli {

design::DesignInput ReadDesign(const std::string& path) {
  try {
    return design::ReadDesignInput(path);
  } catch (const design::InputFileError& error) {
    throw CommandFailure(error.what(), kExitUsage);
  }
}

void TellValidity(const calc::Validity& validity) {
  for (const calc::ValidityNote& note : validity.notes())
    std::cerr << (note.Untrustworthy() ? "警告：" : "提示：") << report::NoteText(note) << "\n";
  if (!validity.Trustworthy())
    std::cerr << "警告：以上结果不可信（效率、功率因数、磁化电流等不能作为设计依据）。\n";
}

void ReadAndCalculate(const std::string& path, design::DesignInput& input,
                      calc::CalculationState& state) {
  input = ReadDesign(path);
  calc::CalculationFault fault;
  if (!calc::Calculate(input, state, fault)) throw CommandFailure(fault.message, kExitFault);
  TellValidity(calc::AssessValidity(state));
}

}  // namespace velmora::cli
