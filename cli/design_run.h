// What the commands of velmora-calc share: exit statuses, reading a design
// file and calculating it, with the failure told on standard error.
#pragma once

#include <optional>
#include <string>

#include "velmora/calc/calculation.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"

namespace velmora::cli {

constexpr int kExitFault = 1;        // the calculation or a write failed
constexpr int kExitUsage = 2;        // bad arguments or an unreadable input file
constexpr int kExitCheckFailed = 3;  // the design check found a failed rule

// Reads the design file `path` into `input`; on failure tells why and
// returns the exit status.
std::optional<int> ReadDesign(const std::string& path, design::DesignInput& input);

// Tells on standard error where a run's results cannot be trusted.
void TellValidity(const calc::Validity& validity);

// Reads and calculates the design file `path`; on failure tells why and
// returns the exit status. Tells where the results cannot be trusted.
std::optional<int> ReadAndCalculate(const std::string& path, design::DesignInput& input,
                                    calc::CalculationState& state);

}  // namespace velmora::cli
