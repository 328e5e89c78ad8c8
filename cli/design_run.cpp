#include "design_run.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <thread>

#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/report/validity_text.h"

namespace velmora::cli {

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "-h" || arg == "--help") return true;
  }
  return false;
}

DesignToolOptions TakeDesignToolOptions(std::vector<std::string>& args, const char* usage) {
  DesignToolOptions options;
  std::optional<std::string> prices;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    bool has_value = i + 1 < args.size();
    if (args[i] == "--class" && has_value) {
      options.check.required_class = studies::ParseClassName(args[++i]);
      options.check.check_class = args[i] != "none";
      if (!options.check.required_class && options.check.check_class)
        throw CommandFailure("--class 应为IE2、IE3、IE4或none，现为“" + args[i] + "”", kExitUsage,
                             usage);
    } else if (args[i] == "--prices" && has_value) {
      prices = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  args = rest;
  try {
    options.prices =
        prices ? design::ReadPrices(*prices) : design::ReadPricesOrShipped(design::ProgramFolder());
  } catch (const design::PriceFileError& error) {
    throw CommandFailure(error.what(), kExitUsage);
  }
  return options;
}

void TakeThermalOptions(std::vector<std::string>& args, const char* usage,
                        studies::CheckOptions& check) {
  std::optional<std::string> thermal;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    bool has_value = i + 1 < args.size();
    if (args[i] == "--insulation" && has_value) {
      check.insulation = studies::ParseInsulationClass(args[++i]);
      if (!check.insulation && args[i] != "none")
        throw CommandFailure("--insulation 应为B、F、H或none，现为“" + args[i] + "”", kExitUsage,
                             usage);
    } else if (args[i] == "--thermal" && has_value) {
      thermal = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  args = rest;
  std::string file;
  check.thermal = ReadThermalDataFile(thermal, file);
}

studies::ThermalData ReadThermalDataFile(const std::optional<std::string>& path,
                                         std::string& file) {
  try {
    if (!path) return studies::ReadThermalDataOrDefault(design::ProgramFolder(), file);
    file = *path;
    return studies::ReadThermalData(*path);
  } catch (const studies::ThermalDataError& error) {
    throw CommandFailure(error.what(), kExitUsage);
  }
}

unsigned UsableThreads(unsigned asked) {
  unsigned processors = std::max(std::thread::hardware_concurrency(), 1u);
  if (asked <= processors) return asked;
  std::cerr << "--threads " << asked << " 多于处理器数，按" << processors << "个线程计算\n";
  return processors;
}

// A design file is small; more than this on standard input is not one.
constexpr std::size_t kMaxDesignBytes = 1 << 20;

design::DesignInput ReadDesign(const std::string& path) {
  try {
    if (path == "-") {
      std::string bytes(kMaxDesignBytes + 1, '\0');
      std::cin.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      bytes.resize(static_cast<std::size_t>(std::cin.gcount()));
      if (bytes.size() > kMaxDesignBytes)
        throw CommandFailure("标准输入超过1 MiB，不是设计文件", kExitUsage);
      return design::ToDesignInput(design::ParseInputFile(bytes, "标准输入"));
    }
    return design::ReadDesignInput(path);
  } catch (const design::InputFileError& error) {
    throw CommandFailure(error.what(), kExitUsage);
  }
}

void TellValidity(const calc::Validity& validity) {
  for (const calc::ValidityNote& note : validity.notes())
    std::cerr << (note.Untrustworthy() ? "警告：" : "提示：") << report::NoteText(note) << "\n";
  if (!validity.Trustworthy()) std::cerr << "警告：" << report::UntrustedSummary(validity) << "\n";
}

void ReadAndCalculate(const std::string& path, design::DesignInput& input,
                      calc::CalculationState& state) {
  input = ReadDesign(path);
  calc::CalculationFault fault;
  if (!calc::Calculate(input, state, fault)) throw CommandFailure(fault.message, kExitFault);
  TellValidity(calc::AssessValidity(state));
}

std::string ScanArguments(
    const std::vector<std::string>& args, const char* usage,
    const std::function<bool(const std::string& option, const std::string& value)>& take,
    const char* missing, const std::function<bool(const std::string& option)>& flag) {
  std::string file;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool is_option = !options_end && arg.size() > 1 && arg[0] == '-';
    if (!options_end && arg == "--") {
      options_end = true;
    } else if (is_option && flag && flag(arg)) {
      continue;  // a flag, taken
    } else if (is_option && i + 1 < args.size() && take(arg, args[i + 1])) {
      ++i;
    } else if (is_option) {
      throw CommandFailure("不认识的选项或缺少取值：" + arg, kExitUsage, usage);
    } else if (file.empty() && missing) {
      file = arg;
    } else {
      throw CommandFailure("多余的参数：" + arg, kExitUsage, usage);
    }
  }
  if (file.empty() && missing) throw CommandFailure(missing, kExitUsage, usage);
  return file;
}

}  // namespace velmora::cli
