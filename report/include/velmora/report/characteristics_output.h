// The characteristics of one design as the programs write them.
#pragma once

#include <string>

#include "velmora/calc/characteristics.h"

namespace velmora::report {

// Both curves as one CSV table (RFC 4180, CRLF), column "curve" telling the
// rows apart: "load" (a point of the load curve), "speed" (a slip of the
// torque–speed curve) and "mark" (a marked point of it).
std::string CharacteristicsCsv(const calc::Characteristics& curves);

// The same as a JSON object with the arrays "load", "speed" and "marks".
std::string CharacteristicsJson(const calc::Characteristics& curves);

}  // namespace velmora::report
