#include "velmora/report/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace velmora::report {
namespace {

int SignificantDigits(Precision precision) { return precision == Precision::Double ? 15 : 7; }

// A finite value as decimal digits d0.d1d2... times 10^exponent, without
// trailing zeros ("0" for zero, which is never negative).
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Rounds to the precision's significant digits from the exact binary value,
// ties to even, as printf does.
Decimal ToDecimal(double value, Precision precision) {
  char buffer[64];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                           SignificantDigits(precision) - 1)
                 .ptr;
  std::string_view text(buffer, end - buffer);  // "-1.50000000000000e-05"
  Decimal decimal;
  if (text.front() == '-') {
    decimal.negative = true;
    text.remove_prefix(1);
  }
  auto e = text.find('e');
  for (char c : text.substr(0, e)) {
    if (c != '.') decimal.digits += c;
  }
  while (decimal.digits.size() > 1 && decimal.digits.back() == '0') decimal.digits.pop_back();
  std::from_chars(text.data() + e + 2, text.data() + text.size(), decimal.exponent);
  if (text[e + 1] == '-') decimal.exponent = -decimal.exponent;
  if (decimal.digits == "0") {
    decimal.negative = false;
    decimal.exponent = 0;
  }
  return decimal;
}

// The digits of a decimal set out around the point: the integer part (as
// many digits as the exponent asks for) and `decimals` fraction digits.
struct Positional {
  std::string integer;
  std::string fraction;
};

Positional SetOut(const Decimal& decimal, int decimals) {
  auto digit = [&](int i) {
    return i >= 0 && i < static_cast<int>(decimal.digits.size()) ? decimal.digits[i] : '0';
  };
  Positional positional;
  for (int i = 0; i <= decimal.exponent; ++i) positional.integer += digit(i);
  for (int j = 1; j <= decimals; ++j) positional.fraction += digit(decimal.exponent + j);
  return positional;
}

// Rounds the decimal digits (not the binary value) half away from zero to
// `decimals` places after the point.
Decimal RoundHalfAway(Decimal decimal, int decimals) {
  int kept = decimal.exponent + decimals + 1;
  if (kept >= static_cast<int>(decimal.digits.size())) return decimal;
  if (kept < 0) return Decimal{};
  bool up = decimal.digits[kept] >= '5';
  decimal.digits.resize(kept);
  if (up) {
    int i = kept - 1;
    while (i >= 0 && decimal.digits[i] == '9') decimal.digits[i--] = '0';
    if (i >= 0) {
      ++decimal.digits[i];
    } else {
      decimal.digits.insert(decimal.digits.begin(), '1');
      ++decimal.exponent;
    }
  }
  if (decimal.digits.find_first_not_of('0') == std::string::npos) return Decimal{};
  return decimal;
}

// Exponent with its sign and at least two digits: "E-05", "E+15".
std::string ExponentText(int exponent) {
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < 2) digits.insert(0, "0");
  return std::string("E") + (exponent < 0 ? "-" : "+") + digits;
}

// Plain digits of a decimal: no 0 before the point, no trailing zeros, no
// point for a whole number.
std::string PlainDigits(const Decimal& decimal) {
  int decimals = std::max(0, static_cast<int>(decimal.digits.size()) - 1 - decimal.exponent);
  Positional positional = SetOut(decimal, decimals);
  if (positional.fraction.empty()) return positional.integer;
  return positional.integer + "." + positional.fraction;
}

// A run never ends with an infinite or NaN value; should one reach a report
// it is written as the C library spells it rather than as a wrong number.
std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Inf" : "Inf";
}

// What a number pattern asks for.
struct PatternShape {
  int integer_zeros = 0;  // "0" placeholders before the point
  bool point = false;
  std::string fraction;  // placeholders after the point
};

PatternShape ReadPattern(std::string_view pattern) {
  PatternShape shape;
  for (char c : pattern) {
    if (c == '.') {
      shape.point = true;
    } else if (shape.point) {
      shape.fraction += c;
    } else if (c == '0') {
      ++shape.integer_zeros;
    }
  }
  return shape;
}

}  // namespace

std::string PlainNumberText(double value, Precision precision) {
  if (!std::isfinite(value)) return " " + NonFiniteText(value) + " ";
  Decimal decimal = ToDecimal(value, precision);
  std::string text = decimal.negative ? "-" : " ";
  if (decimal.exponent < -4 || decimal.exponent >= SignificantDigits(precision)) {
    int exponent = decimal.exponent;
    decimal.exponent = 0;
    text += PlainDigits(decimal) + ExponentText(exponent);
  } else {
    text += PlainDigits(decimal);
  }
  return text + " ";
}

std::string PatternText(double value, std::string_view pattern, Precision precision) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  PatternShape shape = ReadPattern(pattern);
  int decimals = static_cast<int>(shape.fraction.size());
  Decimal decimal = RoundHalfAway(ToDecimal(value, precision), decimals);
  Positional positional = SetOut(decimal, decimals);

  std::string& integer = positional.integer;
  integer.erase(0, integer.find_first_not_of('0'));
  if (static_cast<int>(integer.size()) < shape.integer_zeros) {
    integer.insert(0, shape.integer_zeros - integer.size(), '0');
  }
  std::string& fraction = positional.fraction;
  while (!fraction.empty() && fraction.back() == '0' &&
         shape.fraction[fraction.size() - 1] == '#') {
    fraction.pop_back();
  }

  std::string text = decimal.negative ? "-" : "";  // a value rounded to 0 lost its sign above
  text += integer;
  if (shape.point) text += "." + fraction;
  return text;
}

}  // namespace velmora::report
