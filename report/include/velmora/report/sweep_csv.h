// The rows of a sweep as CSV (RFC 4180: CRLF line ends, fields with commas,
// quotes or line ends quoted): the varied inputs, the chosen quantities,
// "check" (ok, or the failed rules joined by ';') and "fault". Numbers are
// the shortest text that reads back to the same value (single-precision
// quantities as floats); a quantity the run left unset is an empty field.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/calc/sweep.h"

namespace velmora::report {

class SweepCsv {
 public:
  // Throws calc::SweepError for a column that names no quantity.
  SweepCsv(const calc::SweepGrid& grid,
           std::span<const std::string_view> columns = calc::kKeyResults);

  std::string Header() const;
  void AppendRow(const calc::SweepRow& row, std::string& out) const;

 private:
  std::vector<std::string> varied_names_;
  std::vector<bool> varied_single_;  // SHFA, a single-precision input
  std::vector<const calc::QuantityEntry*> columns_;
};

}  // namespace velmora::report
