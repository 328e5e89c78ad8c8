// The rows of a sweep as CSV (RFC 4180: CRLF line ends, fields with commas,
// quotes or line ends quoted): the varied inputs, the chosen quantities,
// "check" (ok, or the failed rules joined by ';') and "fault". Numbers are
// the shortest text that reads back to the same value (single-precision
// quantities as floats); a quantity the run left unset is an empty field.
// Besides the quantities, three columns of the design tools: "IE", the
// efficiency class reached (empty without class limits), "COST", the
// active-material cost at the sweep's prices, and "TRISE", the winding's
// average temperature rise in K (empty when the thermal network fails).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/design/material_prices.h"
#include "velmora/studies/sweep.h"

namespace velmora::report {

// The "check" column of a finished run: "ok", or the rules that failed or
// rest on results that cannot be trusted, joined by ';'.
std::string CheckVerdict(const studies::DesignCheck& check);

// The key results, then IE, COST and TRISE.
std::vector<std::string_view> DefaultSweepColumns();

class SweepCsv {
 public:
  // Throws studies::SweepError for a column that names no quantity.
  SweepCsv(const studies::SweepGrid& grid, std::span<const std::string_view> columns,
           const design::MaterialPrices& prices = {});

  std::string Header() const;
  void AppendRow(const studies::SweepRow& row, std::string& out) const;

 private:
  std::vector<std::string> varied_names_;
  std::vector<bool> varied_single_;  // SHFA, a single-precision input
  struct Column {
    std::string_view name;
    const calc::QuantityEntry* quantity;  // null for IE, COST and TRISE
  };
  std::vector<Column> columns_;
  design::MaterialPrices prices_;

  void AppendColumn(const Column& column, const studies::SweepRow& row, std::string& out) const;
};

}  // namespace velmora::report
