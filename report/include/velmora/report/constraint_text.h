// What the optimiser's constraints are called where people read them.
#pragma once

#include <string>
#include <string_view>

namespace velmora::report {

// "起动电流倍数Ist", "定子齿磁密BT1（T）": the constraint called `name` by the
// search ("IST", "BT1", ...) in words, with the unit of its value.
std::string ConstraintCaption(std::string_view name);

}  // namespace velmora::report
