#include "curves_command.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

#include "design_run.h"
#include "outputs.h"
#include "velmora/report/characteristics_output.h"

namespace velmora::cli {

namespace {

const char* kUsage =
    "用法：velmora-calc curves 设计文件 [--load 起点:终点:步长] [--slips N] [-o 曲线.csv]\n"
    "                           [--json 文件|-]\n"
    "  计算工作特性：输出功率为额定值的k倍（默认k = 0.10:1.50:0.05）时的效率、功率因数、\n"
    "  定子电流、转差率、转速、转矩倍数和各项损耗；以及机械特性：转差率s从1到接近0的N个\n"
    "  点（默认200）的转矩倍数和定子电流，标出起动、最小、最大转矩和额定点。终端给出\n"
    "  50%、75%、100%、125%负载和各标记点的摘要。-o 写成CSV表（UTF-8），curve列为load\n"
    "  （负载点）、speed（转差率点，列s、N、T、I1、I_ratio、R2、X、IST1）或mark（标记点，\n"
    "  mark列为starting、pull-up、breakdown、rated）；--json 写成JSON。\n"
    "  某一点计算中断时该行fault列给出原因，其余各点照常给出。\n";

struct CurvesArguments {
  std::string design;
  calc::LoadRange load;
  int slips = 200;
  std::optional<std::string> csv, json;
};

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

std::optional<double> Number(std::string_view text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

calc::LoadRange LoadOption(const std::string& text) {
  std::size_t first = text.find(':'), second = text.find(':', first + 1);
  std::optional<double> from, to, step;
  if (first != std::string::npos && second != std::string::npos) {
    from = Number(std::string_view(text).substr(0, first));
    to = Number(std::string_view(text).substr(first + 1, second - first - 1));
    step = Number(std::string_view(text).substr(second + 1));
  }
  if (!from || !to || !step || !(*from > 0) || !(*to >= *from) || !(*step > 0) ||
      (*to - *from) / *step > 1000)
    UsageError(
        "--load 应为 起点:终点:步长（起点大于0，终点不小于起点，步长大于0，至多1000步），现为“" +
        text + "”");
  return {*from, *to, *step};
}

int SlipsOption(const std::string& text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 4 || value > 10000)
    UsageError("--slips 应为4到10000之间的整数，现为“" + text + "”");
  return value;
}

CurvesArguments ParseOptions(const std::vector<std::string>& args) {
  CurvesArguments options;
  options.design =
      ScanArguments(args, kUsage, [&options](const std::string& arg, const std::string& value) {
        if (arg == "--load")
          options.load = LoadOption(value);
        else if (arg == "--slips")
          options.slips = SlipsOption(value);
        else if (arg == "-o")
          options.csv = value;
        else if (arg == "--json")
          options.json = value;
        else
          return false;
        return true;
      });
  return options;
}

// ---- Summary -------------------------------------------------------------------

const calc::LoadPoint* PointAt(const std::vector<calc::LoadPoint>& points, double k) {
  for (const calc::LoadPoint& p : points)
    if (std::fabs(p.k - k) < 1e-9) return &p;
  return nullptr;
}

std::string MarkLine(const char* name, const std::optional<calc::SpeedPoint>& p) {
  char line[200];
  if (!p) {
    std::snprintf(line, sizeof line, "  %-8s  无\n", name);
    return line;
  }
  std::snprintf(line, sizeof line, "  %-8s  %-8.5f  %-9.1f  %-8.4f  %-9.3f  %.4f\n", name, p->s,
                p->N, p->T, p->I1, p->I_ratio);
  return line;
}

std::string SpeedSummary(const calc::SpeedCurve& curve, const calc::CalculationState& rated) {
  std::string out =
      "机械特性（转矩、电流为额定值的倍数）：\n  标记点    转差率s   转速(r/min)  转矩倍数  "
      "电流I1(A)  电流倍数\n";
  out += MarkLine("起动", curve.starting) + MarkLine("最小转矩", curve.pull_up) +
         MarkLine("最大转矩", curve.breakdown) + MarkLine("额定", curve.rated);
  for (const std::string& note : report::BreakdownNotes(curve, rated.TMAX1.value))
    out += "  " + note + "\n";
  return out;
}

std::string LoadSummary(const std::vector<calc::LoadPoint>& points) {
  std::string out =
      "工作特性（输出为额定功率的倍数）：\n  负载    效率EFF   功率因数PF  电流I1(A)  转差率SN\n";
  char line[160];
  for (double k : {0.5, 0.75, 1.0, 1.25}) {
    const calc::LoadPoint* p = PointAt(points, k);
    if (!p) continue;
    if (p->fault) {
      std::snprintf(line, sizeof line, "  %3.0f%%    ", 100 * k);
      out += line + p->fault->message + "\n";
      continue;
    }
    std::snprintf(line, sizeof line, "  %3.0f%%    %.4f    %.4f      %-9.3f  %.4f\n", 100 * k,
                  p->EFF, p->PF, p->I1, p->SN);
    out += line;
  }
  return out;
}

}  // namespace

int CurvesCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  CurvesArguments options = ParseOptions(args);
  design::DesignInput input;
  calc::CalculationState rated;
  ReadAndCalculate(options.design, input, rated);
  calc::Characteristics curves;
  curves.load = calc::PartLoadPerformance(input, rated, options.load);
  curves.speed = calc::TorqueSpeedCurve(rated, options.slips);
  Outputs outputs;
  if (options.csv) outputs.Add(*options.csv, report::CharacteristicsCsv(curves));
  if (options.json) outputs.Add(*options.json, report::CharacteristicsJson(curves));
  if (options.csv != "-" && options.json != "-")
    outputs.Add("-", LoadSummary(curves.load) + SpeedSummary(curves.speed, rated));
  outputs.WriteAll();
  return 0;
}

}  // namespace velmora::cli
