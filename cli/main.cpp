// velmora-calc: the command-line calculator.
//   velmora-calc INPUT [-o REPORT] [--json FILE]
//   velmora-calc sweep BASE --vary NAME=FROM:TO:STEP ... (see sweep_command.h)
//   velmora-calc check DESIGN (see check_command.h)
//   velmora-calc thermal DESIGN (see thermal_command.h)
//   velmora-calc tolerance DESIGN (see tolerance_command.h)
//   velmora-calc new --power KW --poles P (see new_command.h)
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "check_command.h"
#include "curves_command.h"
#include "design_run.h"
#include "new_command.h"
#include "optimize_command.h"
#include "outputs.h"
#include "sweep_command.h"
#include "thermal_command.h"
#include "tolerance_command.h"
#include "velmora/calc/calculation.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/design/text_codec.h"
#include "velmora/report/json_output.h"
#include "velmora/report/reports.h"
#include "velmora/studies/sweep.h"

namespace {

using namespace velmora;

using cli::kExitFault;
using cli::kExitUsage;

const char* kUsage =
    "用法：velmora-calc 输入文件 [-o 报告文件] [--json 文件|-] [--class IE2|IE3|IE4|none] "
    "[--prices "
    "价格文件]\n"
    "  读入输入文件（输入数据文件格式），进行电磁计算。\n"
    "  -o 报告文件    把报告（GBK）写入该文件；不给 -o 也不给 --json 时报告输出到终端\n"
    "  --json 文件    把全部输入和计算结果写成 JSON（- 表示标准输出），含能效等级和材料成本\n"
    "  --class 等级   JSON 中校核的能效等级（默认法定最低等级）\n"
    "  --prices 文件  材料价格文件（默认程序旁的“材料价格.dat”，没有时用内置价格）\n"
    "  输入文件为 - 时从标准输入读入；-- 之后的参数都不是选项。\n"
    "  -h, --help     显示本说明；--version 显示版本\n"
    "其他命令（各带 --help）：\n"
    "  velmora-calc sweep 基准设计文件 --vary 名称=起点:终点:步长 ...（参数扫描）\n"
    "  velmora-calc check 设计文件（设计校核：目标值、能效等级、温升、材料成本）\n"
    "  velmora-calc curves 设计文件 [-o 曲线.csv]（工作特性和机械特性曲线）\n"
    "  velmora-calc optimize 基准设计文件 --vary 名称=下限:上限 ...（优化设计）\n"
    "  velmora-calc thermal 设计文件 [--class B|F|H]（温升计算：热网络、绝缘等级、热态性能）\n"
    "  velmora-calc tolerance 设计文件 [--samples N] [--tol 名称=±公差]（制造公差分析：合格率）\n"
    "  velmora-calc new --power 功率kW --poles 极数 [-o 设计文件]（由额定值做出设计并优化）\n";

struct Options {
  std::string input;
  std::optional<std::string> report;
  std::optional<std::string> json;
  cli::DesignToolOptions tools;
};

std::optional<Options> ParseOptions(std::vector<std::string> args) {
  Options options;
  options.tools = cli::TakeDesignToolOptions(args, kUsage);
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool has_value = i + 1 < args.size();
    if (options_end) {
      if (!options.input.empty()) return std::nullopt;
      options.input = arg;
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "-o" && has_value) {
      options.report = args[++i];
    } else if (arg == "--json" && has_value) {
      options.json = args[++i];
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return std::nullopt;
    } else if (options.input.empty()) {
      options.input = arg;
    } else {
      return std::nullopt;
    }
  }
  if (options.input.empty()) return std::nullopt;
  return options;
}

int Calculate(const Options& options) {
  design::DesignInput input;
  calc::CalculationState state;
  cli::ReadAndCalculate(options.input, input, state);
  cli::Outputs outputs;
  if (options.json)
    outputs.Add(*options.json,
                report::CalculationJson(input, state, options.tools.check, options.tools.prices));
  std::optional<std::string> report = report::SelectedReport(input, state);
  if (!report) {
    if (!options.json) std::cerr << "选择输出方案SHFA不是1或2，不输出报告。\n";
  } else if (options.report) {
    outputs.Add(*options.report, design::Utf8ToGbk(*report));
  } else if (!options.json) {
    outputs.Add("-", report::TerminalText(*report));
  }
  outputs.WriteAll();
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "sweep") return cli::SweepCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "check") return cli::CheckCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "curves")
    return cli::CurvesCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "optimize")
    return cli::OptimizeCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "thermal")
    return cli::ThermalCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "new") return cli::NewCommand({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "tolerance")
    return cli::ToleranceCommand({args.begin() + 1, args.end()});
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "velmora-calc " << VELMORA_VERSION << "\n";
    return 0;
  }
  if (cli::AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  std::optional<Options> options = ParseOptions(args);
  if (!options) throw cli::CommandFailure("", kExitUsage, kUsage);
  return Calculate(*options);
}

void Tell(const std::string& message) {
  if (!message.empty()) std::cerr << message << "\n";
}

// A program started with standard input, output or error closed would hand
// that descriptor to the first file it opens, and a note meant for the
// terminal would land in an output file: each closed one is /dev/null.
void OpenClosedStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor: `fd` itself, the ones below being open.
    int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) close(opened);
  }
}

}  // namespace

// Every command's failure becomes a message on standard error and an exit
// status here, and only here.
int main(int argc, char** argv) {
  OpenClosedStandardDescriptors();
  try {
    int status = Run({argv + 1, argv + argc});
    cli::FinishStandardOutput();
    return status;
  } catch (const cli::CommandFailure& failure) {
    Tell(failure.what());
    std::cerr << failure.usage();
    return failure.status();
  } catch (const studies::SweepError& error) {
    Tell(error.what());
    return kExitUsage;
  } catch (const design::FileError& error) {
    Tell(error.what());
    return kExitFault;
  }
}
