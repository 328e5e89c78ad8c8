#include "design_run.h"

#include <iostream>

#include "velmora/design/input_file.h"

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

std::optional<int> ReadAndCalculate(const std::string& path, design::DesignInput& input,
                                    calc::CalculationState& state) {
  if (auto status = ReadDesign(path, input)) return status;
  calc::CalculationFault fault;
  if (!calc::Calculate(input, state, fault)) {
    std::cerr << fault.message << "\n";
    return kExitFault;
  }
  return std::nullopt;
}

}  // namespace velmora::cli
