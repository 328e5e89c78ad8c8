// What the commands of velmora-calc share: exit statuses, the one failure
// type the commands throw (main turns it into a message and a status), and
// reading a design file and calculating it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"

namespace velmora::cli {

constexpr int kExitFault = 1;        // the calculation or a write failed
constexpr int kExitUsage = 2;        // bad arguments or an unreadable input file
constexpr int kExitCheckFailed = 3;  // the design check found a failed rule
constexpr int kExitInterrupted = 130;

// Why a command stops: the message for standard error and the exit status;
// `usage` is the command's usage text to follow the message, or empty.
class CommandFailure : public std::runtime_error {
 public:
  CommandFailure(const std::string& message, int status, std::string usage = {})
      : std::runtime_error(message), status_(status), usage_(std::move(usage)) {}
  int status() const { return status_; }
  const std::string& usage() const { return usage_; }

 private:
  int status_;
  std::string usage_;
};

// Whether the user asks for a command's usage: -h or --help before any "--".
bool AsksForHelp(const std::vector<std::string>& args);

// What the design tools ask beyond the design: the efficiency class to
// reach and the material prices.
struct DesignToolOptions {
  studies::CheckOptions check;  // required_class empty: the legal minimum
  design::MaterialPrices prices;
};

// Takes "--class IE2|IE3|IE4" and "--prices FILE" out of `args`; without
// --prices, the price file beside the program or the shipped prices. Throws
// CommandFailure (kExitUsage, with `usage`) for a bad class or price file.
DesignToolOptions TakeDesignToolOptions(std::vector<std::string>& args, const char* usage);

// The threads to run on when `asked` for: more threads than processors only
// slow a sweep or a search down, so they are cut to one per processor, with
// a note on standard error.
unsigned UsableThreads(unsigned asked);

// Reads the design file `path`, or standard input for "-"; throws
// CommandFailure (kExitUsage).
design::DesignInput ReadDesign(const std::string& path);

// Tells on standard error where a run's results cannot be trusted.
void TellValidity(const calc::Validity& validity);

// Reads and calculates the design file `path` into `input` and `state`, and
// tells where the results cannot be trusted; throws CommandFailure
// (kExitUsage for the file, kExitFault for the calculation).
void ReadAndCalculate(const std::string& path, design::DesignInput& input,
                      calc::CalculationState& state);

}  // namespace velmora::cli
