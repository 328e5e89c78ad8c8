// What the commands of velmora-calc share: exit statuses, the one failure
// type the commands throw (main turns it into a message and a status), and
// reading a design file and calculating it.
#pragma once

#include <charconv>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/thermal_data.h"

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

// Takes "--insulation B|F|H|none" and "--thermal FILE" out of `args` into
// `check`: the class whose rise limit the winding must keep within (B
// unless told; none: the rise is shown but not checked) and the thermal
// data. Throws CommandFailure (kExitUsage, with `usage`) for a bad class or
// data file.
void TakeThermalOptions(std::vector<std::string>& args, const char* usage,
                        studies::CheckOptions& check);

// The thermal data file `path`, or without one the file "热参数.dat" beside
// the program, or the built-in data; `file` names the file read, or is
// empty. Throws CommandFailure (kExitUsage) for a file that cannot be used.
studies::ThermalData ReadThermalDataFile(const std::optional<std::string>& path, std::string& file);

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

// Walks a command's arguments in order: after "--" every argument is the
// file; an option is offered first to `flag` (true when it is one that
// stands alone), then to `take` with the argument after it (true when it is
// one that takes a value); any other argument starting with '-' but
// "-" (standard input) is refused; the one other argument is the file, which
// is returned. Throws CommandFailure (kExitUsage, with `usage`) for an
// unknown option or one without its value, a second file, or `missing` when
// there is no file. A command that reads no file gives `missing` nullptr:
// every argument but an option is then one too many, and "" is returned.
std::string ScanArguments(
    const std::vector<std::string>& args, const char* usage,
    const std::function<bool(const std::string& option, const std::string& value)>& take,
    const char* missing = "没有给出设计文件",
    const std::function<bool(const std::string& option)>& flag = nullptr);

// The whole number `text` of `option`, from `least` to `most`; else throws
// CommandFailure (kExitUsage, with `usage`) saying what it should be.
template <typename T>
T WholeOption(std::string_view option, std::string_view text, T least, T most, const char* usage) {
  T n{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc() || end != text.data() + text.size() || n < least || n > most)
    throw CommandFailure(std::string(option) + " 应为" + std::to_string(least) + "到" +
                             std::to_string(most) + "的整数，现为“" + std::string(text) + "”",
                         kExitUsage, usage);
  return n;
}

}  // namespace velmora::cli
