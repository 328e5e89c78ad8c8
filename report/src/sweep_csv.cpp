// The rows of a sweep as CSV.
#include "velmora/report/sweep_csv.h"

#include <algorithm>
#include <charconv>

#include "velmora/report/text_formats.h"
#include "velmora/studies/material_cost.h"

namespace velmora::report {

namespace {

void AppendQuantity(std::string& out, calc::QuantityView q) {
  if (!q.set) return;
  if (q.single)
    AppendRoundTrip(out, static_cast<float>(q.value));
  else
    AppendRoundTrip(out, q.value);
}

}  // namespace

std::string CheckVerdict(const studies::DesignCheck& check) {
  std::string out;
  for (const studies::CheckLine& line : check.lines) {
    if (line.outcome != studies::CheckLine::Outcome::Fail &&
        line.outcome != studies::CheckLine::Outcome::Untrusted)
      continue;
    if (!out.empty()) out += ';';
    out += line.name;
  }
  return out.empty() ? "ok" : out;
}

std::vector<std::string_view> DefaultSweepColumns() {
  std::vector<std::string_view> columns(studies::kKeyResults.begin(), studies::kKeyResults.end());
  columns.push_back("IE");
  columns.push_back("COST");
  columns.push_back("TRISE");
  return columns;
}

SweepCsv::SweepCsv(const studies::SweepGrid& grid, std::span<const std::string_view> columns,
                   const design::MaterialPrices& prices)
    : prices_(prices) {
  for (std::string_view name : columns) {
    const calc::QuantityEntry* entry = calc::FindQuantityEntry(name);
    if (!entry && name != "IE" && name != "COST" && name != "TRISE")
      throw studies::SweepError(ErrorCode::UnknownInput,
                                "没有名为“" + std::string(name) + "”的计算量，不能作为输出列");
    columns_.push_back({entry ? entry->name : name, entry});
  }
  // A varied input named like a result column (EFF, PF) is headed "input EFF",
  // so that no two columns share a name.
  for (const studies::SweepAxis& axis : grid.axes()) {
    std::string name = design::kFieldInfo[axis.field()].name;
    bool shared = std::any_of(columns_.begin(), columns_.end(),
                              [&](const Column& column) { return column.name == name; });
    varied_names_.push_back(shared ? "input " + name : name);
    varied_single_.push_back(axis.field() == design::field::SHFA);
  }
}

std::string SweepCsv::Header() const {
  std::string out;
  for (const std::string& name : varied_names_) {
    AppendCsvField(out, name);
    out += ',';
  }
  for (const Column& column : columns_) {
    AppendCsvField(out, column.name);
    out += ',';
  }
  out += "check,fault\r\n";
  return out;
}

void SweepCsv::AppendColumn(const Column& column, const studies::SweepRow& row,
                            std::string& out) const {
  if (column.quantity) {
    AppendQuantity(out, column.quantity->get(row.state));
  } else if (column.name == "COST") {
    AppendRoundTrip(out, studies::CostOf(row.state, prices_).total);
  } else if (column.name == "TRISE") {
    if (row.check.thermal.ok()) AppendRoundTrip(out, row.check.thermal.winding_rise);
  } else if (row.check.efficiency_class.limits.classified()) {
    out += studies::ClassName(row.check.efficiency_class.reached);
  }
}

void SweepCsv::AppendRow(const studies::SweepRow& row, std::string& out) const {
  for (std::size_t a = 0; a < row.varied.size(); ++a) {
    if (varied_single_[a])
      AppendRoundTrip(out, static_cast<float>(row.varied[a]));
    else
      AppendRoundTrip(out, row.varied[a]);
    out += ',';
  }
  for (const Column& column : columns_) {
    if (row.ok) AppendColumn(column, row, out);
    out += ',';
  }
  if (row.ok) out += CheckVerdict(row.check);
  out += ',';
  if (!row.ok) AppendCsvField(out, row.fault.message);
  out += "\r\n";
}

}  // namespace velmora::report
