// The characteristics of one design as the programs write them.
#pragma once

#include <string>
#include <vector>

#include "velmora/calc/characteristics.h"

namespace velmora::report {

// Both curves as one CSV table (RFC 4180, CRLF), column "curve" telling the
// rows apart: "load" (a point of the load curve), "speed" (a slip of the
// torque–speed curve) and "mark" (a marked point of it).
std::string CharacteristicsCsv(const calc::Characteristics& curves);

// The same as a JSON object with the arrays "load", "speed" and "marks".
std::string CharacteristicsJson(const calc::Characteristics& curves);

// Why the curve's breakdown torque differs from the procedure's TMAX1, one
// sentence per line (and whether the maximum sits on a step of the leakage
// saturation); nothing without a breakdown point.
std::vector<std::string> BreakdownNotes(const calc::SpeedCurve& curve, double TMAX1);

}  // namespace velmora::report
