// The two ways a report writes a number: plain number text and number patterns.
#pragma once

#include <string>
#include <string_view>

namespace velmora::report {

enum class Precision { Double, Single };

// Plain number text: sign position (space or "-"), at most 15 (Double) or 7
// (Single) significant digits, no 0 before the point, trailing space;
// exponent form below 1E-4 or at 1E15 (1E7) and above. 5.5 -> " 5.5 ".
std::string PlainNumberText(double value, Precision precision);

// The value under a number pattern of "#", "0" and at most one ".".
// 0.5 under "####.00" -> ".50"; 17600 under "######.##" -> "17600.".
std::string PatternText(double value, std::string_view pattern, Precision precision);

}  // namespace velmora::report
