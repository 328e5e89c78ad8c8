// What the design-tool windows call the computed quantities they show: a
// Chinese name and a unit beside each report name, for the result lists,
// the table of main results and the chart axes.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace velmora::ui {

struct QuantityName {
  std::string_view key;      // the report name, "J1"
  std::string_view caption;  // "定子电流密度"
  std::string_view unit;     // "A/mm²", "标幺值" for a per-unit value; empty for a ratio
};

// Every quantity a window offers: the sweep's key results, the main results
// of the design check, the active-material cost COST and the winding's
// temperature rise TRISE.
std::span<const QuantityName> QuantityNames();

// The entry of `key`, or nullptr.
const QuantityName* FindQuantityName(std::string_view key);

// "效率 EFF"; the key alone when the table does not know it.
std::string QuantityLabel(std::string_view key);

// "定子电流密度 J1 (A/mm²)": the label with its unit, for an axis.
std::string QuantityTitle(std::string_view key);

}  // namespace velmora::ui
