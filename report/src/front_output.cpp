#include "velmora/report/front_output.h"

#include <cmath>
#include <utility>

#include "velmora/design/design_input.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/text_formats.h"

namespace velmora::report {

namespace {

std::string_view VariableName(const studies::OptimiseVariable& v) {
  return design::kFieldInfo[v.field].name;
}

// A left-aligned column of `width` characters (the text is ASCII).
std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

constexpr std::size_t kColumn = 10;

std::string LimitsJson(const studies::ClassLimits& limits) {
  if (!limits.classified()) return "null";
  return "{\"IE2\": " + JsonNumber(limits.IE2) + ", \"IE3\": " + JsonNumber(limits.IE3) +
         ", \"IE4\": " + JsonNumber(limits.IE4) + "}";
}

std::string PointJson(const studies::OptimiseProblem& problem, const studies::Optimum& point) {
  const studies::Assessment& a = point.assessment;
  std::string out = "{\"inputs\": {";
  for (std::size_t i = 0; i < point.values.size(); ++i)
    out += (i ? ", " : "") + JsonString(VariableName(problem.variables[i])) + ": " +
           JsonNumber(point.values[i]);
  out += "}";
  const std::pair<const char*, double> results[] = {
      {"cost", a.cost}, {"EFF", a.EFF},     {"PF", a.PF}, {"Ist", a.Ist},
      {"TST1", a.TST1}, {"TMAX1", a.TMAX1}, {"SF", a.SF}, {"TRISE", a.TRISE}};
  for (const auto& [name, value] : results)
    out += ", " + JsonString(name) + ": " + JsonNumber(value);
  return out + "}";
}

}  // namespace

std::string FrontTable(const studies::OptimiseProblem& problem, const studies::Front& front) {
  std::string out = "成本—效率前沿（" + std::to_string(front.points.size()) + "个点）：\n";
  // The captions hold wide characters: each heads a column of kColumn places.
  out += "  效率%     成本" + Padded("(" + Currency(problem.prices) + ")", kColumn - 4);
  for (const studies::OptimiseVariable& v : problem.variables)
    out += Padded(std::string(VariableName(v)), kColumn);
  out += "\n";
  for (const studies::Optimum& point : front.points) {
    out += "  " + Padded(design::FixedText(point.assessment.EFF * 100, 3), kColumn) +
           Padded(design::FixedText(point.assessment.cost, 1), kColumn);
    for (double x : point.values) out += Padded(design::ShortestText(x), kColumn);
    out += "\n";
  }
  const studies::ClassLimits limits = studies::RatingLimits(problem);
  if (limits.classified()) out += LimitsText(limits) + "\n";
  return out;
}

std::string FrontCsv(const studies::OptimiseProblem& problem, const studies::Front& front) {
  std::string out = "EFF,COST,PF,Ist,TRISE";
  for (const studies::OptimiseVariable& v : problem.variables) {
    out += ',';
    AppendCsvField(out, VariableName(v));
  }
  out += "\r\n";
  for (const studies::Optimum& point : front.points) {
    const studies::Assessment& a = point.assessment;
    for (double x : {a.EFF, a.cost, a.PF, a.Ist}) {
      AppendRoundTrip(out, x);
      out += ',';
    }
    if (std::isfinite(a.TRISE)) AppendRoundTrip(out, a.TRISE);
    for (double x : point.values) {
      out += ',';
      AppendRoundTrip(out, x);
    }
    out += "\r\n";
  }
  return out;
}

std::string FrontJson(const studies::OptimiseProblem& problem, const studies::Front& front) {
  std::string out = "{\n  \"currency\": " + JsonString(Currency(problem.prices)) +
                    ",\n  \"class_limits\": " + LimitsJson(studies::RatingLimits(problem)) +
                    ",\n  \"points\": [";
  for (std::size_t k = 0; k < front.points.size(); ++k)
    out += std::string(k ? ",\n    " : "\n    ") + PointJson(problem, front.points[k]);
  return out + (front.points.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

std::string FrontDesignName(std::size_t k) {
  std::string number = std::to_string(k + 1);
  return "front-" + std::string(number.size() < 2 ? 1 : 0, '0') + number + ".txt";
}

}  // namespace velmora::report
