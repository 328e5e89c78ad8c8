#include "curves_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

#include "design_run.h"
#include "outputs.h"

namespace velmora::cli {

namespace {

const char* kUsage =
    "用法：velmora-calc curves 设计文件 [--load 起点:终点:步长] [-o 曲线.csv] [--json 文件|-]\n"
    "  计算工作特性：输出功率为额定值的k倍（默认k = 0.10:1.50:0.05）时的效率、功率因数、\n"
    "  定子电流、转差率、转速、转矩倍数和各项损耗，在终端给出50%、75%、100%、125%负载的\n"
    "  摘要。-o 写成CSV表（UTF-8），每个负载点一行，curve列为load；--json 写成JSON。\n"
    "  某一点计算中断时该行fault列给出原因，其余各点照常给出。\n";

struct CurvesArguments {
  std::string design;
  calc::LoadRange load;
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

CurvesArguments ParseOptions(const std::vector<std::string>& args) {
  CurvesArguments options;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool has_value = i + 1 < args.size();
    if (options_end || arg == "-" || arg.empty() || arg[0] != '-') {
      if (!options.design.empty()) UsageError("多余的参数：" + arg);
      options.design = arg;
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--load" && has_value) {
      options.load = LoadOption(args[++i]);
    } else if (arg == "-o" && has_value) {
      options.csv = args[++i];
    } else if (arg == "--json" && has_value) {
      options.json = args[++i];
    } else {
      UsageError("不认识的选项：" + arg);
    }
  }
  if (options.design.empty()) UsageError("");
  return options;
}

// ---- CSV and JSON ------------------------------------------------------------

std::string Text(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

const char* const kCsvHeader =
    "curve,k,P2,EFF,PF,I1,SN,N,T,PCU1,PCU2,PFE,PS,PFW,KE0,EFF0,s,I_ratio,R2,X,IST1,mark,fault\r\n";

// Fields k to EFF0 of a load row.
std::string LoadFields(const calc::LoadPoint& p) {
  if (p.fault) return Text(p.k) + std::string(14, ',');
  std::string out = Text(p.k);
  for (double v : {p.P2, p.EFF, p.PF, p.I1, p.SN, p.N, p.T, p.PCU1, p.PCU2, p.PFE, p.PS, p.PFW})
    out += "," + Text(v);
  return out + "," + std::to_string(p.passes.KE0) + "," + std::to_string(p.passes.EFF0);
}

std::string LoadJson(const calc::LoadPoint& p) {
  std::string out = "{\"k\": " + Text(p.k);
  if (p.fault) return out + ", \"fault\": \"" + p.fault->message + "\"}";
  const std::pair<const char*, double> values[] = {
      {"P2", p.P2},     {"EFF", p.EFF}, {"PF", p.PF}, {"I1", p.I1},
      {"SN", p.SN},     {"N", p.N},     {"T", p.T},   {"PCU1", p.PCU1},
      {"PCU2", p.PCU2}, {"PFE", p.PFE}, {"PS", p.PS}, {"PFW", p.PFW}};
  for (auto [name, value] : values) out += std::string(", \"") + name + "\": " + Text(value);
  return out + "}";
}

std::string CharacteristicsJson(const calc::Characteristics& curves) {
  std::string out = "{\n  \"load\": [";
  for (std::size_t i = 0; i < curves.load.size(); ++i)
    out += (i ? ",\n    " : "\n    ") + LoadJson(curves.load[i]);
  return out + "\n  ]\n}\n";
}

// ---- Summary -------------------------------------------------------------------

const calc::LoadPoint* PointAt(const std::vector<calc::LoadPoint>& points, double k) {
  for (const calc::LoadPoint& p : points)
    if (std::fabs(p.k - k) < 1e-9) return &p;
  return nullptr;
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

std::string CharacteristicsCsv(const calc::Characteristics& curves) {
  std::string out = kCsvHeader;
  for (const calc::LoadPoint& p : curves.load)
    out +=
        "load," + LoadFields(p) + ",,,,,,," + (p.fault ? CsvField(p.fault->message) : "") + "\r\n";
  return out;
}

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
  Outputs outputs;
  if (options.csv) outputs.Add(*options.csv, CharacteristicsCsv(curves));
  if (options.json) outputs.Add(*options.json, CharacteristicsJson(curves));
  if (options.csv != "-" && options.json != "-") outputs.Add("-", LoadSummary(curves.load));
  outputs.WriteAll();
  return 0;
}

}  // namespace velmora::cli
