// The load and torque–speed curves as CSV and JSON.
#include "velmora/report/characteristics_output.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "velmora/report/text_formats.h"

namespace velmora::report {

namespace {

std::string Text(double value) { return RoundTrip(value); }

// A number in the curves' JSON: as in the CSV, null where not finite.
std::string JsonValue(double value) { return std::isfinite(value) ? RoundTrip(value) : "null"; }

const char* const kCsvHeader =
    "curve,k,P2,EFF,PF,I1,SN,N,T,PCU1,PCU2,PFE,PS,PFW,KE0,EFF0,s,I_ratio,R2,X,IST1,mark,fault,"
    "trustworthy\r\n";

// The last field: 1 when the point's run can be trusted, 0 when not, empty
// for a point that faulted.
std::string Trust(bool faulted, bool trustworthy) { return faulted ? "" : trustworthy ? "1" : "0"; }

// Fields k to EFF0 of a load row.
std::string LoadFields(const calc::LoadPoint& p) {
  if (p.fault) return Text(p.k) + std::string(14, ',');
  std::string out = Text(p.k);
  for (double v : {p.P2, p.EFF, p.PF, p.I1, p.SN, p.N, p.T, p.PCU1, p.PCU2, p.PFE, p.PS, p.PFW})
    out += "," + Text(v);
  return out + "," + std::to_string(p.passes.KE0) + "," + std::to_string(p.passes.EFF0);
}

using MarkList = std::array<std::pair<const char*, const std::optional<calc::SpeedPoint>*>, 4>;

// The marked points of `curve` by their CSV names.
MarkList Marks(const calc::SpeedCurve& curve) {
  return {{{"starting", &curve.starting},
           {"pull-up", &curve.pull_up},
           {"breakdown", &curve.breakdown},
           {"rated", &curve.rated}}};
}

// A speed or mark row.
std::string SpeedRow(const char* curve, const calc::SpeedPoint& p, const char* mark) {
  std::string out = std::string(curve) + ",,,,,";
  if (p.fault)
    return out + std::string(11, ',') + Text(p.s) + ",,,,," + mark + "," +
           CsvField(p.fault->message) + ",\r\n";
  out += Text(p.I1) + ",," + Text(p.N) + "," + Text(p.T) + std::string(8, ',');
  for (double v : {p.s, p.I_ratio, p.R2, p.X}) out += Text(v) + ",";
  return out + std::to_string(p.passes) + "," + mark + ",," + Trust(false, p.trustworthy) + "\r\n";
}

std::string LoadJson(const calc::LoadPoint& p) {
  std::string out = "{\"k\": " + Text(p.k);
  if (p.fault) return out + ", \"fault\": " + JsonString(p.fault->message) + "}";
  const std::pair<const char*, double> values[] = {
      {"P2", p.P2},     {"EFF", p.EFF}, {"PF", p.PF}, {"I1", p.I1},
      {"SN", p.SN},     {"N", p.N},     {"T", p.T},   {"PCU1", p.PCU1},
      {"PCU2", p.PCU2}, {"PFE", p.PFE}, {"PS", p.PS}, {"PFW", p.PFW}};
  for (auto [name, value] : values) out += std::string(", \"") + name + "\": " + JsonValue(value);
  return out + ", \"trustworthy\": " + (p.trustworthy ? "true" : "false") + "}";
}

std::string SpeedJson(const calc::SpeedPoint& p, const char* mark) {
  std::string out = "{\"s\": " + Text(p.s);
  if (*mark) out += std::string(", \"mark\": \"") + mark + "\"";
  if (p.fault) return out + ", \"fault\": " + JsonString(p.fault->message) + "}";
  const std::pair<const char*, double> values[] = {
      {"N", p.N}, {"T", p.T}, {"I1", p.I1}, {"I_ratio", p.I_ratio}, {"R2", p.R2}, {"X", p.X}};
  for (auto [name, value] : values) out += std::string(", \"") + name + "\": " + JsonValue(value);
  return out + ", \"IST1\": " + std::to_string(p.passes) +
         ", \"trustworthy\": " + (p.trustworthy ? "true" : "false") + "}";
}

}  // namespace

std::string CharacteristicsJson(const calc::Characteristics& curves) {
  std::string out = "{\n  \"load\": [";
  for (std::size_t i = 0; i < curves.load.size(); ++i)
    out += (i ? ",\n    " : "\n    ") + LoadJson(curves.load[i]);
  out += "\n  ],\n  \"speed\": [";
  for (std::size_t i = 0; i < curves.speed.points.size(); ++i)
    out += (i ? ",\n    " : "\n    ") + SpeedJson(curves.speed.points[i], "");
  out += "\n  ],\n  \"marks\": [";
  bool first = true;
  for (auto [name, p] : Marks(curves.speed))
    if (*p) {
      out += (first ? "\n    " : ",\n    ") + SpeedJson(**p, name);
      first = false;
    }
  return out + "\n  ]\n}\n";
}

std::string CharacteristicsCsv(const calc::Characteristics& curves) {
  std::string out = kCsvHeader;
  for (const calc::LoadPoint& p : curves.load)
    out += "load," + LoadFields(p) + ",,,,,,," + (p.fault ? CsvField(p.fault->message) : "") + "," +
           Trust(p.fault.has_value(), p.trustworthy) + "\r\n";
  for (const calc::SpeedPoint& p : curves.speed.points) out += SpeedRow("speed", p, "");
  for (auto [name, p] : Marks(curves.speed))
    if (*p) out += SpeedRow("mark", **p, name);
  return out;
}

std::vector<std::string> BreakdownNotes(const calc::SpeedCurve& curve, double TMAX1) {
  if (!curve.breakdown) return {};
  char line[400];
  std::snprintf(line, sizeof line,
                "曲线最大转矩倍数%.4f，电磁计算TMAX1 = %.4f：曲线用该转差率下电流使之饱和的漏抗"
                "和随转子频率变化的转子电阻，并计入励磁支路，TMAX1用满载漏抗和电阻。",
                curve.breakdown->T, TMAX1);
  std::vector<std::string> notes{line};
  if (curve.breakdown_on_step) notes.emplace_back("最大转矩点落在漏抗饱和系数KZ的跳变处。");
  return notes;
}

}  // namespace velmora::report
