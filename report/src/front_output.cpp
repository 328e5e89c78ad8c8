#include "velmora/report/front_output.h"

#include <cmath>

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

}  // namespace velmora::report
