// The rows of a sweep as CSV.
#include "velmora/report/sweep_csv.h"

#include <algorithm>
#include <charconv>

namespace velmora::report {

namespace {

void AppendField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

template <typename Number>
void AppendNumber(std::string& out, Number value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

void AppendQuantity(std::string& out, calc::QuantityView q) {
  if (!q.set) return;
  if (q.single)
    AppendNumber(out, static_cast<float>(q.value));
  else
    AppendNumber(out, q.value);
}

void AppendCheck(std::string& out, const calc::DesignCheck& check) {
  bool any = false;
  for (const calc::CheckLine& line : check.lines) {
    if (line.outcome != calc::CheckLine::Outcome::Fail &&
        line.outcome != calc::CheckLine::Outcome::Untrusted)
      continue;
    if (any) out += ';';
    out += line.name;
    any = true;
  }
  if (!any) out += "ok";
}

}  // namespace

SweepCsv::SweepCsv(const calc::SweepGrid& grid, std::span<const std::string_view> columns) {
  for (std::string_view name : columns) {
    const calc::QuantityEntry* entry = calc::FindQuantityEntry(name);
    if (!entry)
      throw calc::SweepError("没有名为“" + std::string(name) + "”的计算量，不能作为输出列");
    columns_.push_back(entry);
  }
  // A varied input named like a result column (EFF, PF) is headed "input EFF",
  // so that no two columns share a name.
  for (const calc::SweepAxis& axis : grid.axes()) {
    std::string name = design::kFieldInfo[axis.field()].name;
    bool shared =
        std::any_of(columns_.begin(), columns_.end(),
                    [&](const calc::QuantityEntry* entry) { return entry->name == name; });
    varied_names_.push_back(shared ? "input " + name : name);
    varied_single_.push_back(axis.field() == design::field::SHFA);
  }
}

std::string SweepCsv::Header() const {
  std::string out;
  for (const std::string& name : varied_names_) {
    AppendField(out, name);
    out += ',';
  }
  for (const calc::QuantityEntry* entry : columns_) {
    AppendField(out, entry->name);
    out += ',';
  }
  out += "check,fault\r\n";
  return out;
}

void SweepCsv::AppendRow(const calc::SweepRow& row, std::string& out) const {
  for (std::size_t a = 0; a < row.varied.size(); ++a) {
    if (varied_single_[a])
      AppendNumber(out, static_cast<float>(row.varied[a]));
    else
      AppendNumber(out, row.varied[a]);
    out += ',';
  }
  for (const calc::QuantityEntry* entry : columns_) {
    if (row.ok) AppendQuantity(out, entry->get(row.state));
    out += ',';
  }
  if (row.ok) AppendCheck(out, row.check);
  out += ',';
  if (!row.ok) AppendField(out, row.fault.message);
  out += "\r\n";
}

}  // namespace velmora::report
