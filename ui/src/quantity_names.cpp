#include "velmora/ui/quantity_names.h"

#include <algorithm>

namespace velmora::ui {

namespace {

constexpr QuantityName kNames[] = {
    {"EFF", "效率", "标幺值"},   {"PF", "功率因数", ""},         {"SN", "转差率", "标幺值"},
    {"N", "转速", "r/min"},      {"TMAX1", "最大转矩倍数", ""},  {"TST1", "起动转矩倍数", ""},
    {"Ist", "起动电流倍数", ""}, {"I1", "定子电流", "A"},        {"J1", "定子电流密度", "A/mm²"},
    {"A1", "线负荷", "A/cm"},    {"AJ", "热负荷", "A/mm²·A/cm"}, {"SF", "槽满率", ""},
    {"BG", "气隙磁密", "T"},     {"BT1", "定子齿磁密", "T"},     {"BJ1", "定子轭磁密", "T"},
    {"PCU1", "定子铜耗", "W"},   {"PCU2", "转子铜耗", "W"},      {"PFE", "铁耗", "W"},
    {"KE0", "电势系数", ""},     {"FT", "饱和系数", ""},         {"COST", "有效材料成本", "元"},
    {"TRISE", "绕组温升", "K"},
};

}  // namespace

std::span<const QuantityName> QuantityNames() { return kNames; }

const QuantityName* FindQuantityName(std::string_view key) {
  const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                   [key](const QuantityName& name) { return name.key == key; });
  return found == std::end(kNames) ? nullptr : found;
}

std::string QuantityLabel(std::string_view key) {
  const QuantityName* name = FindQuantityName(key);
  if (!name) return std::string(key);
  return std::string(name->caption) + " " + std::string(key);
}

std::string QuantityTitle(std::string_view key) {
  const QuantityName* name = FindQuantityName(key);
  if (!name || name->unit.empty()) return QuantityLabel(key);
  return QuantityLabel(key) + " (" + std::string(name->unit) + ")";
}

}  // namespace velmora::ui
