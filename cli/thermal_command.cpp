#include "thermal_command.h"

#include <charconv>
#include <iostream>
#include <optional>
#include <string_view>

#include "design_run.h"
#include "outputs.h"
#include "velmora/report/thermal_output.h"
#include "velmora/studies/thermal.h"

namespace velmora::cli {

namespace {

const char* kUsage =
    "用法：velmora-calc thermal 设计文件 [--class B|F|H] [--ambient 温度] [--thermal 热参数文件]\n"
    "                            [--json 文件|-]\n"
    "  计算该设计额定负载下（S1工作制）全封闭自扇冷电机（IC411）的温升：由热网络（机座、定子轭、\n"
    "  定子齿、槽内绕组、端部绕组、机内空气、转子、轴承，对环境）求各节点温度和各路径热流，\n"
    "  铜、铝电阻率按所得温度修正并迭代至绕组温度变化小于0.1 K，再以热态电阻率重算效率、\n"
    "  功率因数、转差率和定子电流。绕组平均温升（电阻法）与IEC 60034-1的限值比较并给出裕量，\n"
    "  以及起动电流下定子绕组和转子笼绝热升至绝缘等级温度的堵转时间。\n"
    "  --class 等级     绝缘等级B、F或H（默认B：限值80 K，600 W以下85 K）\n"
    "  --ambient 温度   冷却空气温度，°C（-40到60，默认40；高于40 °C时限值相应降低）\n"
    "  --thermal 文件   热参数文件（每行 名称=数值，#后为注释）；默认程序旁的“热参数.dat”，\n"
    "                   没有时用内置数据（材料、换热关联式、按中心高H的机座尺寸、风扇等）\n"
    "  --json 文件      把结果写成JSON（- 表示标准输出，这时不再输出摘要）\n"
    "  退出状态：0 温升在限值内，3 超过限值，1 计算中断，2 参数或文件有误。\n"
    "  设计文件为 - 时从标准输入读入；-- 之后的参数都不是选项。\n";

struct ThermalArguments {
  std::string design;
  studies::InsulationClass insulation = studies::InsulationClass::B;
  std::optional<double> ambient;
  std::optional<std::string> thermal, json;
};

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

studies::InsulationClass ClassOption(const std::string& text) {
  std::optional<studies::InsulationClass> c = studies::ParseInsulationClass(text);
  if (!c) UsageError("--class 应为B、F或H，现为“" + text + "”");
  return *c;
}

// Within the range the thermal data table allows for AMBIENT.
double AmbientOption(const std::string& text) {
  const studies::ThermalDataEntry* entry = nullptr;
  for (const studies::ThermalDataEntry& e : studies::ThermalDataTable())
    if (e.name == "AMBIENT") entry = &e;
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !(value >= entry->min) ||
      !(value <= entry->max))
    UsageError("--ambient 应为" + design::ShortestText(entry->min) + "到" +
               design::ShortestText(entry->max) + "之间的温度（°C），现为“" + text + "”");
  return value;
}

ThermalArguments ParseArguments(const std::vector<std::string>& args) {
  ThermalArguments a;
  a.design = ScanArguments(args, kUsage, [&a](const std::string& arg, const std::string& value) {
    if (arg == "--class")
      a.insulation = ClassOption(value);
    else if (arg == "--ambient")
      a.ambient = AmbientOption(value);
    else if (arg == "--thermal")
      a.thermal = value;
    else if (arg == "--json")
      a.json = value;
    else
      return false;
    return true;
  });
  return a;
}

// The data file asked for, or the one beside the program, or the built-in
// data; `file` names the file read.
studies::ThermalData ReadData(const ThermalArguments& a, std::string& file) {
  studies::ThermalData data = ReadThermalDataFile(a.thermal, file);
  if (a.ambient) data.AMBIENT = *a.ambient;
  return data;
}

}  // namespace

int ThermalCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  ThermalArguments a = ParseArguments(args);
  std::string data_file;
  studies::ThermalData data = ReadData(a, data_file);
  design::DesignInput input;
  calc::CalculationState state;
  ReadAndCalculate(a.design, input, state);
  studies::ThermalResult thermal = studies::ThermalOf(state, data, {a.insulation});
  studies::HotPerformance hot = studies::HotRun(input, thermal);
  report::ThermalReport report{thermal, hot, state, data_file};
  std::string text = report::ThermalText(report);
  if (!thermal.ok()) throw CommandFailure(text.substr(0, text.size() - 1), kExitFault);
  Outputs outputs;
  if (a.json) outputs.Add(*a.json, report::ThermalJson(report));
  if (a.json != "-") outputs.Add("-", std::move(text));
  outputs.WriteAll();
  return thermal.WithinLimit() ? 0 : kExitCheckFailed;
}

}  // namespace velmora::cli
