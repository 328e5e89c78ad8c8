// The efficiency class and the material cost of a design in words (UTF-8),
// for the terminal and the check window.
#pragma once

#include <string>
#include <vector>

#include "velmora/design/material_prices.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/material_cost.h"

namespace velmora::report {

// "IE3", "低于IE2" or why the rating has no class ("频率不是50Hz，不分能效等级").
std::string ClassVerdict(const studies::ClassResult& result);

// "本额定值的效率限值：IE2 89.6%，IE3 ...": the three limits of a rating
// that has them.
std::string LimitsText(const studies::ClassLimits& limits);

// The class reached, the three limits of the rating, the margin to the next
// class and to the required one, as lines; an efficiency that cannot be
// trusted is said to be so, and reaches no required class. Without a class
// asked for (`required_asked` false) the line on the required class is left out.
std::vector<std::string> ClassLines(const studies::ClassResult& result, bool legal_minimum,
                                    bool trusted = true, bool required_asked = true);

// Weight, price and cost of each material, the total and the cost per kW,
// and which prices were used, as lines.
std::vector<std::string> CostLines(const studies::MaterialCost& cost,
                                   const design::MaterialPrices& prices);

// The currency of a price unit: "元" of "元/kg".
std::string Currency(const design::MaterialPrices& prices);

}  // namespace velmora::report
