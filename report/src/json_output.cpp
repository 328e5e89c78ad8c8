#include "velmora/report/json_output.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "velmora/calc/validity.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/text_formats.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/material_cost.h"

namespace velmora::report {

namespace {

std::string InputValue(const design::FieldValue& field) {
  switch (field.kind) {
    case design::FieldValue::Kind::Number:
      return JsonNumber(field.number);
    case design::FieldValue::Kind::Text:
      return JsonString(field.text);
    case design::FieldValue::Kind::Empty:
      break;
  }
  return "null";
}

std::string_view Side(calc::ValidityNote::Kind kind) {
  switch (kind) {
    case calc::ValidityNote::Kind::BelowCurve:
      return "below";
    case calc::ValidityNote::Kind::AboveCurve:
      return "above";
    case calc::ValidityNote::Kind::Input:
      return "input";
    case calc::ValidityNote::Kind::Result:
      return "result";
    case calc::ValidityNote::Kind::Geometry:
      return "geometry";
    case calc::ValidityNote::Kind::Winding:
      return "winding";
  }
  return "";
}

// Where the results cannot be taken at face value: "side" is below or above
// the steel curve, input or result for an impossible value, geometry for a
// dimension no lamination can have, winding for a winding that cannot be wound; "used" is the
// value a look-up off the curve kept (null: unset, counted as 0).
std::string WarningsJson(const calc::Validity& validity) {
  std::string out = "  \"trustworthy\": ";
  out += validity.Trustworthy() ? "true" : "false";
  out += ",\n  \"warnings\": [";
  bool first = true;
  for (const calc::ValidityNote& note : validity.notes()) {
    out += first ? "\n    {" : ",\n    {";
    first = false;
    out += "\"quantity\": " + JsonString(note.quantity) + ", \"value\": " + JsonNumber(note.value) +
           ", \"side\": " + JsonString(Side(note.kind));
    bool miss = note.kind == calc::ValidityNote::Kind::BelowCurve ||
                note.kind == calc::ValidityNote::Kind::AboveCurve;
    if (miss) out += ", \"used\": " + (note.kept_set ? JsonNumber(note.kept) : std::string("null"));
    out += ", \"untrustworthy\": " + std::string(note.Untrustworthy() ? "true" : "false");
    out += ", \"message\": " + JsonString(report::NoteText(note)) + "}";
  }
  return out + (first ? "]" : "\n  ]");
}

std::string ClassJson(const studies::ClassResult& result) {
  std::string out = "  \"efficiency_class\": {\"classified\": ";
  if (!result.limits.classified())
    return out + "false, \"reason\": " + JsonString(report::ClassVerdict(result)) + "}";
  const studies::ClassLimits& l = result.limits;
  out += "true, \"class\": " + JsonString(studies::ClassName(result.reached)) +
         ", \"percent\": " + JsonNumber(result.percent) +
         ", \"limits\": {\"IE2\": " + JsonNumber(l.IE2) + ", \"IE3\": " + JsonNumber(l.IE3) +
         ", \"IE4\": " + JsonNumber(l.IE4) +
         "}, \"required\": " + JsonString(studies::ClassName(result.required)) +
         ", \"meets_required\": " + (result.Meets() ? "true" : "false") +
         ", \"margin_to_required\": " + JsonNumber(result.over_required) + ", \"to_next_class\": ";
  return out + (result.to_next ? JsonNumber(*result.to_next) : std::string("null")) + "}";
}

// "prices" names where they came from: the file read, or the built-in ones.
std::string CostJson(const studies::MaterialCost& cost, const design::MaterialPrices& prices) {
  std::string source = prices.source.empty()
                           ? std::string("{\"built_in\": true, \"file\": null}")
                           : "{\"built_in\": false, \"file\": " + JsonString(prices.source) + "}";
  std::string out = "  \"cost\": {\"prices\": " + source +
                    ", \"unit\": " + JsonString(prices.unit) + ", \"materials\": [";
  for (std::size_t i = 0; i < cost.lines.size(); ++i) {
    const studies::MaterialCost::Line& line = cost.lines[i];
    out += std::string(i ? ", " : "") + "{\"material\": " + JsonString(line.material) +
           ", \"weight\": " + JsonNumber(line.weight) + ", \"price\": " + JsonNumber(line.price) +
           ", \"cost\": " + JsonNumber(line.cost) + "}";
  }
  return out + "], \"total\": " + JsonNumber(cost.total) +
         ", \"per_kW\": " + JsonNumber(cost.per_kW) + "}";
}

// The thermal network behind the rise rule: the insulation class checked
// (null: none), the cooling air (°C), the winding's average rise (K) and
// its hottest point (°C), the class limit and the margin (K, null when not
// checked), and the fault that stopped the network (null when none; the
// numbers are null then).
std::string RiseJson(const studies::DesignCheck& check) {
  const studies::ThermalResult& r = check.thermal;
  const studies::CheckLine& rule = check.lines[studies::DesignCheck::kRiseRule];
  const bool checked = rule.outcome != studies::CheckLine::Outcome::NotChecked;
  const double none = std::nan("");
  auto number = [&](bool known, double x) { return JsonNumber(known ? x : none); };
  return "  \"temperature_rise\": {\"insulation\": " +
         (checked ? JsonString(studies::InsulationClassName(r.insulation)) : std::string("null")) +
         ", \"ambient\": " + JsonNumber(r.ambient) +
         ", \"winding_rise\": " + number(r.ok(), r.winding_rise) +
         ", \"hot_spot\": " + number(r.ok(), r.hot_spot) +
         ", \"limit\": " + number(checked, rule.limit) +
         ", \"margin\": " + number(checked && r.ok(), rule.limit - rule.value) +
         ", \"fault\": " + (r.ok() ? std::string("null") : JsonString(r.fault)) + "}";
}

std::string_view OutcomeName(studies::CheckLine::Outcome outcome) {
  switch (outcome) {
    case studies::CheckLine::Outcome::Pass:
      return "pass";
    case studies::CheckLine::Outcome::Fail:
      return "fail";
    case studies::CheckLine::Outcome::NotChecked:
      return "not_checked";
    case studies::CheckLine::Outcome::Untrusted:
      return "untrusted";
  }
  return "";
}

// A rule not checked has no target and no limit: null.
std::string RuleJson(const studies::CheckLine& line) {
  bool checked = line.outcome != studies::CheckLine::Outcome::NotChecked;
  auto checked_number = [&](double x) { return checked ? JsonNumber(x) : std::string("null"); };
  return "{\"name\": " + JsonString(line.name) + ", \"caption\": " + JsonString(line.caption) +
         ", \"bound\": " +
         JsonString(line.bound == studies::CheckLine::Bound::AtLeast ? "at_least" : "at_most") +
         ", \"target\": " + checked_number(line.target) +
         ", \"limit\": " + checked_number(line.limit) + ", \"value\": " + JsonNumber(line.value) +
         ", \"outcome\": " + JsonString(OutcomeName(line.outcome)) + "}";
}

}  // namespace

std::string CheckJson(const design::DesignInput& input, const calc::CalculationState& state,
                      const studies::CheckOptions& asked, const design::MaterialPrices& prices) {
  calc::Validity validity = calc::AssessValidity(state);
  studies::DesignCheck check = studies::CheckDesign(input, state, validity, asked);
  std::string out = "{\n  \"rules\": [";
  for (std::size_t i = 0; i < check.lines.size(); ++i)
    out += (i ? ",\n    " : "\n    ") + RuleJson(check.lines[i]);
  out += "\n  ],\n  \"passed\": ";
  out += check.AnyFailed() ? "false" : "true";
  return out + ",\n" + WarningsJson(validity) + ",\n" + ClassJson(check.efficiency_class) + ",\n" +
         RiseJson(check) + ",\n" + CostJson(studies::CostOf(state, prices), prices) + "\n}\n";
}

std::string CalculationJson(const design::DesignInput& input, const calc::CalculationState& state,
                            const studies::CheckOptions& asked,
                            const design::MaterialPrices& prices) {
  std::string out = "{\n  \"inputs\": {";
  for (int i = 0; i < design::kFieldCount; ++i) {
    out += i ? ",\n    " : "\n    ";
    out += JsonString(design::kFieldInfo[i].name) + ": " + InputValue(input[i]);
  }
  out += "\n  },\n  \"state\": {";
  bool first = true;
  for (const calc::QuantityEntry& entry : calc::QuantityTable()) {
    calc::QuantityView quantity = entry.get(state);
    if (!quantity.set) continue;
    out += first ? "\n    " : ",\n    ";
    first = false;
    out += JsonString(entry.name) + ": " + JsonNumber(quantity.value);
  }
  const calc::PassCounts& passes = state.passes;
  out += "\n  },\n  \"passes\": {\"KE0\": " + std::to_string(passes.KE0) +
         ", \"FT0\": " + std::to_string(passes.FT0) + ", \"EFF0\": " + std::to_string(passes.EFF0) +
         ", \"IST1\": " + std::to_string(passes.IST1) + "},\n";
  calc::Validity validity = calc::AssessValidity(state);
  studies::DesignCheck check = studies::CheckDesign(input, state, validity, asked);
  return out + WarningsJson(validity) + ",\n" + ClassJson(check.efficiency_class) + ",\n" +
         CostJson(studies::CostOf(state, prices), prices) + "\n}\n";
}

}  // namespace velmora::report
