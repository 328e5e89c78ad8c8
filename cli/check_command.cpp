#include "check_command.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

#include "design_run.h"
#include "outputs.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/json_output.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/material_cost.h"

namespace velmora::cli {

namespace {

const char* kUsage =
    "用法：velmora-calc check 设计文件 [--json 文件|-] [--class IE2|IE3|IE4|none] [--prices "
    "价格文件]\n"
    "                         [--insulation B|F|H|none] [--thermal 热参数文件]\n"
    "  计算该设计，并把效率、功率因数、起动电流倍数、起动转矩倍数、最大转矩倍数和槽满率\n"
    "  与设计给定的目标值（输入数据 EFF PF IST TST TM SF0）按容差比较；检查磁密是否超出\n"
    "  磁化曲线、输入与结果是否合理，能效等级是否达到要求（默认法定最低等级），额定负载下\n"
    "  绕组平均温升（热网络，电阻法）是否在绝缘等级的限值内，并给出有效材料成本（默认\n"
    "  程序旁的“材料价格.dat”，没有时用内置价格）。\n"
    "  --insulation 等级  绝缘等级B、F或H（默认B：限值80 K），none 只给出温升不校核\n"
    "  --thermal 文件     热参数文件（默认程序旁的“热参数.dat”，没有时用内置数据）\n"
    "  --json 文件  把校核结果（各校核项、能效等级、温升、材料成本和警告）写成 JSON（- 表示\n"
    "               标准输出，这时不再输出校核表）\n"
    "  设计文件为 - 时从标准输入读入；-- 之后的参数都不是选项。\n";

struct CheckArguments {
  std::string design;
  std::optional<std::string> json;
};

CheckArguments ParseArguments(const std::vector<std::string>& args) {
  CheckArguments a;
  a.design = ScanArguments(args, kUsage, [&a](const std::string& arg, const std::string& value) {
    if (arg != "--json") return false;
    a.json = value;
    return true;
  });
  return a;
}

// Columns on a terminal: a Chinese character takes two.
std::string Padded(std::string_view text, std::size_t width) {
  std::size_t shown = 0;
  for (unsigned char c : text) {
    if (c < 0x80)
      shown += 1;
    else if (c >= 0xC0)
      shown += 2;  // first byte of a multibyte character
  }
  std::string out(text);
  if (shown < width) out.append(width - shown, ' ');
  return out;
}

std::string Line(const studies::CheckLine& line) {
  std::string out = Padded(line.name, 6) + Padded(line.caption, 14);
  if (line.outcome == studies::CheckLine::Outcome::NotChecked)
    return out + (line.name == "TRISE" ? "未校核：不要求绝缘等级" : "未校核：输入数据中没有目标值");
  out += Padded(report::ShortNumber(line.target), 12) + Padded(report::CheckLimitText(line), 14) +
         Padded(report::CheckValueText(line), 12);
  return out + report::CheckVerdict(line);
}

std::string Table(const studies::DesignCheck& check) {
  std::string out = Padded("校核项", 20) + Padded("目标值", 12) + Padded("允许限值", 14) +
                    Padded("计算值", 12) + "结论\n";
  for (const studies::CheckLine& line : check.lines) out += Line(line) + "\n";
  return out + (check.AnyFailed() ? "设计校核不合格\n" : "设计校核合格\n");
}

}  // namespace

std::string CheckText(const studies::DesignCheck& check, const calc::CalculationState& state,
                      const DesignToolOptions& options) {
  std::string text = Table(check);
  bool legal = !options.check.required_class;
  for (const std::string& line : report::ClassLines(
           check.efficiency_class, legal, check.efficiency_trusted, options.check.check_class))
    text += line + "\n";
  for (const std::string& line : report::CheckRiseLines(check)) text += line + "\n";
  for (const std::string& line :
       report::CostLines(studies::CostOf(state, options.prices), options.prices))
    text += line + "\n";
  return text;
}

int CheckCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  DesignToolOptions options = TakeDesignToolOptions(args, kUsage);
  TakeThermalOptions(args, kUsage, options.check);
  CheckArguments a = ParseArguments(args);
  design::DesignInput input;
  calc::CalculationState state;
  ReadAndCalculate(a.design, input, state);
  studies::DesignCheck check = studies::CheckDesign(input, state, options.check);
  Outputs outputs;
  if (a.json) outputs.Add(*a.json, report::CheckJson(input, state, options.check, options.prices));
  if (a.json != "-") outputs.Add("-", CheckText(check, state, options));
  outputs.WriteAll();
  return check.AnyFailed() ? kExitCheckFailed : 0;
}

}  // namespace velmora::cli
