// The temperature rise as text and JSON.
#include "velmora/report/thermal_output.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <tuple>
#include <utility>

#include "velmora/design/design_input.h"
#include "velmora/report/text_formats.h"

namespace velmora::report {

namespace {

using studies::ThermalNode;
using studies::ThermalPath;

struct NodeWords {
  std::string_view name, caption;
};
constexpr std::array<NodeWords, studies::kThermalNodes + 1> kNodeWords = {{
    {"frame", "机座"},
    {"yoke", "定子轭"},
    {"teeth", "定子齿"},
    {"slot_winding", "槽内绕组"},
    {"end_winding", "端部绕组"},
    {"internal_air", "机内空气"},
    {"rotor", "转子"},
    {"bearings", "轴承"},
    {"ambient", "环境"},
}};

std::string Fixed(double value, int decimals) { return design::FixedText(value, decimals); }

std::string ClassName(const studies::ThermalResult& r) {
  return std::string(studies::InsulationClassName(r.insulation)) + "级";
}

std::string Row(const char* format, double a, double b, double c, std::string_view caption) {
  char line[120];
  std::snprintf(line, sizeof line, format, a, b, c);
  return line + std::string(caption) + "\n";
}

std::string NodeTable(const studies::ThermalResult& r) {
  std::string out = "   温度/°C   温升/K   损耗/W   节点\n";
  for (int n = 0; n < studies::kThermalNodes; ++n) {
    auto node = ThermalNode(n);
    out += Row("  %8.2f %8.2f %8.2f   ", r.Temperature(node), r.Rise(node), r.network.loss[n],
               kNodeWords[n].caption);
  }
  return out;
}

std::string PathCaption(ThermalPath path) {
  auto [from, to] = studies::EndsOf(path);
  return std::string(kNodeWords[int(from)].caption) + "→" +
         std::string(kNodeWords[int(to)].caption);
}

std::string PathTable(const studies::ThermalResult& r) {
  std::string out = "    热流/W  热导/(W/K)  路径\n";
  for (int p = 0; p < studies::kThermalPaths; ++p) {
    char line[80];
    std::snprintf(line, sizeof line, "  %8.2f  %9.3f   ", r.solution.flow[p], r.network.G[p]);
    out += line + PathCaption(ThermalPath(p)) + "\n";
  }
  return out;
}

std::string WindingLines(const studies::ThermalResult& r) {
  std::string out = "绕组平均温升（电阻法）" + Fixed(r.winding_rise, 1) + " K，" + ClassName(r) +
                    "限值" + Fixed(r.rise_limit, 0) + " K（IEC 60034-1），裕量" +
                    Fixed(r.margin, 1) + " K：" + (r.WithinLimit() ? "合格" : "超过限值") + "\n";
  return out + "绕组最热点约" + Fixed(r.hot_spot, 1) + " °C（" + ClassName(r) + "温度" +
         Fixed(studies::ClassTemperature(r.insulation), 0) + " °C）\n";
}

std::string HotLines(const ThermalReport& report) {
  const studies::HotPerformance& hot = report.hot;
  const studies::ThermalResult& r = report.thermal;
  if (!hot.ok) return "热态性能：计算中断：" + hot.fault.message + "\n";
  std::string out = "热态性能（电阻率Lo1 " + design::SignificantText(hot.Lo1, 5) + "、Lo2 " +
                    design::SignificantText(hot.Lo2, 5) + "，即绕组平均" +
                    Fixed(r.ambient + r.winding_rise, 1) + " °C、转子" +
                    Fixed(r.Temperature(ThermalNode::Rotor), 1) + " °C时的值）：\n";
  out += "          电磁计算      热态\n";
  const calc::CalculationState& s = report.run;
  const std::array<std::tuple<const char*, double, double, const char*>, 4> rows = {{
      {"EFF", s.EFF, hot.EFF, "效率"},
      {"PF", s.PF, hot.PF, "功率因数"},
      {"SN", s.SN, hot.SN, "转差率"},
      {"I1", s.I1, hot.I1, "定子电流/A"},
  }};
  for (auto [name, cold, warm, caption] : rows) {
    char line[80];
    std::snprintf(line, sizeof line, "  %-4s  %10.4f  %10.4f   ", name, cold, warm);
    out += line + std::string(caption) + "\n";
  }
  return out;
}

// "2.19 s（由最热点升至130 °C）", or that the part is already there.
std::string StallTime(double seconds, const char* from, double start, double limit) {
  if (!(start < limit)) return std::string("0 s（") + from + "已不低于" + Fixed(limit, 0) + " °C）";
  if (std::isinf(seconds)) return "无起动损耗，不升温";
  return Fixed(seconds, 2) + " s（由" + from + "升至" + Fixed(limit, 0) + " °C）";
}

std::string LockedRotorLine(const studies::ThermalResult& r) {
  const studies::LockedRotor& lr = r.locked_rotor;
  return "堵转时间（起动电流下绝热升温）：定子绕组" +
         StallTime(lr.stator, "最热点", r.hot_spot, lr.stator_limit) + "，转子笼" +
         StallTime(lr.cage, "转子温度", r.Temperature(ThermalNode::Rotor), lr.cage_limit) + "\n";
}

// ---- JSON -----------------------------------------------------------------------

using Fields = std::initializer_list<std::pair<const char*, double>>;

std::string NumberFields(Fields fields) {
  std::string out;
  for (auto [name, value] : fields)
    out += std::string(out.empty() ? "" : ", ") + JsonString(name) + ": " + JsonNumber(value);
  return out;
}

std::string NodesJson(const studies::ThermalResult& r) {
  std::string out = "  \"nodes\": [";
  for (int n = 0; n < studies::kThermalNodes; ++n) {
    auto node = ThermalNode(n);
    out += std::string(n ? ",\n    " : "\n    ") + "{\"name\": " + JsonString(kNodeWords[n].name) +
           ", \"caption\": " + JsonString(kNodeWords[n].caption) + ", " +
           NumberFields({{"temperature", r.Temperature(node)},
                         {"rise", r.Rise(node)},
                         {"loss", r.network.loss[n]}}) +
           "}";
  }
  return out + "\n  ]";
}

std::string PathsJson(const studies::ThermalResult& r) {
  std::string out = "  \"paths\": [";
  for (int p = 0; p < studies::kThermalPaths; ++p) {
    auto [from, to] = studies::EndsOf(ThermalPath(p));
    out += std::string(p ? ",\n    " : "\n    ") +
           "{\"from\": " + JsonString(kNodeWords[int(from)].name) +
           ", \"to\": " + JsonString(kNodeWords[int(to)].name) + ", " +
           NumberFields({{"conductance", r.network.G[p]}, {"heat_flow", r.solution.flow[p]}}) + "}";
  }
  return out + "\n  ]";
}

std::string SourcesJson(const studies::HeatSources& h) {
  return "  \"sources\": {" +
         NumberFields({{"slot_copper", h.slot_copper},
                       {"end_copper", h.end_copper},
                       {"bar_copper", h.bar_copper},
                       {"ring_copper", h.ring_copper},
                       {"teeth_iron", h.teeth_iron},
                       {"yoke_iron", h.yoke_iron},
                       {"stray_stator", h.stray_stator},
                       {"stray_rotor", h.stray_rotor},
                       {"bearings", h.bearings},
                       {"fan", h.fan}}) +
         "}";
}

std::string WindingJson(const studies::ThermalResult& r) {
  return "  \"winding\": {" +
         NumberFields({{"rise", r.winding_rise},
                       {"limit", r.rise_limit},
                       {"margin", r.margin},
                       {"hot_spot", r.hot_spot},
                       {"class_temperature", studies::ClassTemperature(r.insulation)}}) +
         ", \"within_limit\": " + (r.WithinLimit() ? "true" : "false") + "}";
}

std::string PerformanceJson(const ThermalReport& report) {
  const studies::HotPerformance& hot = report.hot;
  const calc::CalculationState& s = report.run;
  std::string out = "  \"cold\": {" +
                    NumberFields({{"Lo1", s.in.Lo1.value},
                                  {"Lo2", s.in.Lo2.value},
                                  {"EFF", s.EFF},
                                  {"PF", s.PF},
                                  {"SN", s.SN},
                                  {"I1", s.I1}}) +
                    "},\n  \"hot\": {";
  if (!hot.ok) return out + "\"ok\": false, \"fault\": " + JsonString(hot.fault.message) + "}";
  return out + "\"ok\": true, " +
         NumberFields({{"Lo1", hot.Lo1},
                       {"Lo2", hot.Lo2},
                       {"EFF", hot.EFF},
                       {"PF", hot.PF},
                       {"SN", hot.SN},
                       {"I1", hot.I1}}) +
         "}";
}

// ---- CSV ------------------------------------------------------------------------

std::string NodesCsv(const studies::ThermalResult& r) {
  std::string out;
  for (int n = 0; n < studies::kThermalNodes; ++n) {
    auto node = ThermalNode(n);
    out += "node," + std::string(kNodeWords[n].name) + "," + CsvField(kNodeWords[n].caption) + "," +
           RoundTrip(r.Temperature(node)) + "," + RoundTrip(r.Rise(node)) + "," +
           RoundTrip(r.network.loss[n]) + ",,\r\n";
  }
  return out;
}

std::string PathsCsv(const studies::ThermalResult& r) {
  std::string out;
  for (int p = 0; p < studies::kThermalPaths; ++p) {
    auto [from, to] = studies::EndsOf(ThermalPath(p));
    out += "path," + std::string(kNodeWords[int(from)].name) + "-" +
           std::string(kNodeWords[int(to)].name) + "," + CsvField(PathCaption(ThermalPath(p))) +
           ",,,," + RoundTrip(r.solution.flow[p]) + "," + RoundTrip(r.network.G[p]) + "\r\n";
  }
  return out;
}

std::string LockedRotorJson(const studies::LockedRotor& lr) {
  return "  \"locked_rotor\": {" +
         NumberFields({{"stator_limit", lr.stator_limit},
                       {"stator", lr.stator},
                       {"cage_limit", lr.cage_limit},
                       {"cage", lr.cage}}) +
         "}";
}

std::string HeadJson(const ThermalReport& report) {
  const studies::ThermalResult& r = report.thermal;
  std::string data = report.data_file.empty()
                         ? std::string("{\"built_in\": true, \"file\": null}")
                         : "{\"built_in\": false, \"file\": " + JsonString(report.data_file) + "}";
  return "{\n  \"ambient\": " + JsonNumber(r.ambient) +
         ",\n  \"insulation_class\": " + JsonString(studies::InsulationClassName(r.insulation)) +
         ",\n  \"data\": " + data + ",\n  \"passes\": " + std::to_string(r.passes) +
         ",\n  \"converged\": " + (r.converged ? "true" : "false");
}

}  // namespace

std::string_view ThermalNodeName(ThermalNode node) { return kNodeWords[int(node)].name; }
std::string_view ThermalNodeCaption(ThermalNode node) { return kNodeWords[int(node)].caption; }
std::string ThermalPathCaption(ThermalPath path) { return PathCaption(path); }

std::string ThermalText(const ThermalReport& report) {
  const studies::ThermalResult& r = report.thermal;
  if (!r.ok()) return "温升计算中断：" + r.fault + "\n";
  std::string out = "温升计算（全封闭自扇冷IC411，S1工作制）：环境温度" + Fixed(r.ambient, 1) +
                    " °C，" + ClassName(r) + "绝缘，迭代" + std::to_string(r.passes) +
                    "次，总损耗" + Fixed(r.total_loss, 1) + " W\n";
  return out + NodeTable(r) + PathTable(r) + WindingLines(r) + HotLines(report) +
         LockedRotorLine(r);
}

std::string ThermalWindingText(const studies::ThermalResult& thermal) {
  return WindingLines(thermal);
}

std::string ThermalLockedRotorText(const studies::ThermalResult& thermal) {
  return LockedRotorLine(thermal);
}

std::string ThermalCsv(const studies::ThermalResult& thermal) {
  if (!thermal.ok()) return "";
  return "table,name,caption,temperature,rise,loss,heat_flow,conductance\r\n" + NodesCsv(thermal) +
         PathsCsv(thermal);
}

std::string ThermalJson(const ThermalReport& report) {
  const studies::ThermalResult& r = report.thermal;
  std::string out = HeadJson(report);
  if (!r.ok()) return out + ",\n  \"fault\": " + JsonString(r.fault) + "\n}\n";
  return out + ",\n  \"total_loss\": " + JsonNumber(r.total_loss) + ",\n" + NodesJson(r) + ",\n" +
         PathsJson(r) + ",\n" + SourcesJson(r.sources) + ",\n" + WindingJson(r) + ",\n" +
         PerformanceJson(report) + ",\n" + LockedRotorJson(r.locked_rotor) + "\n}\n";
}

}  // namespace velmora::report
