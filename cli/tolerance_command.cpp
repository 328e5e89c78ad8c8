#include "tolerance_command.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

#include "design_run.h"
#include "outputs.h"
#include "velmora/report/tolerance_output.h"

namespace velmora::cli {

namespace {

using studies::ToleranceError;

const char* kUsageHead =
    "用法：velmora-calc tolerance 设计文件 [--samples N] [--tol 名称=±公差[%] ...] [--seed N]\n"
    "                             [--threads N] [--class IE2|IE3|IE4|none]\n"
    "                             [--insulation B|F|H|none] [--thermal 热参数文件]\n"
    "                             [-o 样本.csv] [--json 文件|-]\n"
    "  按制造公差随机抽取N台电机（默认2000台），每台做电磁计算和设计校核，给出各校核项、\n"
    "  能效等级和全部校核项的合格率，效率、功率因数、起动电流倍数、起动转矩倍数、最大转矩\n"
    "  倍数、槽满率和绕组温升的平均值、标准差和5%、95%分位值，以及对各结果影响最大的输入\n"
    "  （Spearman秩相关系数）。计算中断或结果不可信的样本计为不合格，并单独计数。\n"
    "  IEC 60034-1试验容差：以名义设计的计算效率为标称效率，试验效率不低于标称值减去\n"
    "  15%·(1−η)（150 kW以上10%·(1−η)）的电机所占比例，以及效率达到名义设计能效等级的比例。\n"
    "  --samples N      样本数，1到100000（默认2000）\n"
    "  --tol 名称=±公差  改变一个输入的公差：±后为绝对值（输入的单位），加%为相对值，\n"
    "                   ±也可写成+-，如 --tol G=±0.02 --tol L=+-0.5 --tol Kfe=±1%；±0为不变\n"
    "  --seed N         随机数种子（默认1）；同一种子在任何线程数下结果相同\n"
    "  --threads N      线程数（默认每个处理器一个）\n"
    "  --class 等级     校核的能效等级（默认法定最低等级），none 不校核\n"
    "  --insulation 等级  温升校核的绝缘等级B、F或H（默认B），none 只给出温升不校核\n"
    "  --thermal 文件   热参数文件（默认程序旁的“热参数.dat”，没有时用内置数据）\n"
    "  -o 文件          把每个样本（抽取的输入、结果、校核结论）写成CSV\n"
    "  --json 文件      把统计结果写成JSON（- 表示标准输出，这时不再输出摘要）\n"
    "  分布：";

const char* kUsageTail =
    "  退出状态：0 分析完成，1 名义设计计算中断或文件写入失败，2 参数或文件有误。\n"
    "  设计文件为 - 时从标准输入读入；-- 之后的参数都不是选项。\n";

const std::string kUsageText = kUsageHead + std::string(report::DistributionText()) +
                               "\n  默认公差（车间常用值）：\n" + report::WorkshopToleranceLines() +
                               kUsageTail;
const char* kUsage = kUsageText.c_str();

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

struct ToleranceArguments {
  std::string design;
  std::optional<std::string> csv, json;
  studies::ToleranceOptions run;
};

// Takes an option with a value; false when `arg` is not one.
bool TakeValued(const std::string& arg, const std::string& value, ToleranceArguments& a) {
  if (arg == "--tol") {
    try {
      a.run.given.push_back(ParseToleranceOption(value));
    } catch (const ToleranceError& error) {
      UsageError(error.what());
    }
  } else if (arg == "--samples") {
    a.run.samples =
        WholeOption<std::uint64_t>(arg, value, 1, studies::kMaxToleranceSamples, kUsage);
  } else if (arg == "--seed") {
    a.run.seed = WholeOption<std::uint64_t>(arg, value, 0, UINT64_MAX, kUsage);
  } else if (arg == "--threads") {
    a.run.threads = WholeOption<unsigned>(arg, value, 1, 1024, kUsage);
  } else if (arg == "-o") {
    a.csv = value;
  } else if (arg == "--json") {
    a.json = value;
  } else {
    return false;
  }
  return true;
}

ToleranceArguments ParseArguments(const std::vector<std::string>& args) {
  ToleranceArguments a;
  a.design = ScanArguments(args, kUsage, [&a](const std::string& arg, const std::string& value) {
    return TakeValued(arg, value, a);
  });
  return a;
}

}  // namespace

int ToleranceCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  DesignToolOptions tools = TakeDesignToolOptions(args, kUsage);
  TakeThermalOptions(args, kUsage, tools.check);
  ToleranceArguments a = ParseArguments(args);
  if (a.run.threads) a.run.threads = UsableThreads(a.run.threads);
  a.run.check = tools.check;
  design::DesignInput input;
  calc::CalculationState state;
  ReadAndCalculate(a.design, input, state);
  studies::ToleranceResult result = studies::AnalyseTolerances(input, a.run);
  if (result.nominal_fault) throw CommandFailure(result.nominal_fault->message, kExitFault);
  Outputs outputs;
  if (a.csv) outputs.Add(*a.csv, report::ToleranceCsv(result));
  if (a.json) outputs.Add(*a.json, report::ToleranceJson(result));
  if (a.json != "-" && a.csv != "-") outputs.Add("-", report::ToleranceText(result));
  outputs.WriteAll();
  return 0;
}

}  // namespace velmora::cli
