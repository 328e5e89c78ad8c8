#include "velmora/report/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace velmora::report {
namespace {

struct PlainCase {
  double value;
  Precision precision;
  std::string expected;
};

class PlainNumberTextTest : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainNumberTextTest, WritesSignDigitsAndTrailingSpace) {
  const PlainCase& c = GetParam();
  EXPECT_EQ(PlainNumberText(c.value, c.precision), c.expected);
}

constexpr auto D = Precision::Double;
constexpr auto S = Precision::Single;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Expected texts worked out by hand from the rules: sign position, 15 (7)
// significant digits, no 0 before the point, exponent below 1E-4 and from
// 1E15 (1E7) up.
INSTANTIATE_TEST_SUITE_P(
    Examples, PlainNumberTextTest,
    testing::Values(PlainCase{5.5, D, " 5.5 "}, PlainCase{-0.25, D, "-.25 "},
                    PlainCase{0.922, D, " .922 "}, PlainCase{1.5e-5, D, " 1.5E-05 "},
                    PlainCase{1e15, D, " 1E+15 "}, PlainCase{0, D, " 0 "},
                    PlainCase{-0.0, D, " 0 "}, PlainCase{36, D, " 36 "},
                    PlainCase{-1234.5, D, "-1234.5 "}, PlainCase{0.0001, D, " .0001 "},
                    PlainCase{0.1 + 0.2, D, " .3 "}, PlainCase{1.0 / 3, D, " .333333333333333 "},
                    PlainCase{123456789012345, D, " 123456789012345 "},
                    // rounds up to 15 digits first, so the exponent form is chosen on 1E+15
                    PlainCase{999999999999999.9, D, " 1E+15 "},
                    PlainCase{2.5e-300, D, " 2.5E-300 "}, PlainCase{-4.2e20, D, "-4.2E+20 "},
                    // a field strength from the steel curve keeps 7 digits, its double 15
                    PlainCase{1.59f, S, " 1.59 "}, PlainCase{1.59f, D, " 1.5900000333786 "},
                    PlainCase{1234567.f, S, " 1234567 "},
                    PlainCase{12345678.f, S, " 1.234568E+07 "}, PlainCase{-0.5f, S, "-.5 "},
                    // never a wrong number for a value that is none
                    PlainCase{kNaN, D, " NaN "}, PlainCase{kInf, S, " Inf "},
                    PlainCase{-kInf, D, " -Inf "}));

struct PatternCase {
  double value;
  const char* pattern;
  Precision precision;
  std::string expected;
};

class PatternTextTest : public testing::TestWithParam<PatternCase> {};

TEST_P(PatternTextTest, FormatsUnderPattern) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(PatternText(c.value, c.pattern, c.precision), c.expected)
      << c.value << " under " << c.pattern;
}

// Expected texts worked out by hand: 15 (7) significant digits, then the
// decimal rounded half away from zero, then the placeholders.
INSTANTIATE_TEST_SUITE_P(
    Examples, PatternTextTest,
    testing::Values(
        PatternCase{0.5, "####.00", D, ".50"}, PatternCase{0.5, "#0.00#", D, "0.50"},
        PatternCase{0.5, "0.####", D, "0.5"}, PatternCase{2, "####.0#", D, "2.0"},
        PatternCase{50, "###.####", D, "50."}, PatternCase{17600, "######.##", D, "17600."},
        PatternCase{0, "###", D, ""}, PatternCase{0, "####.##", D, "."},
        PatternCase{0.5, "####.####", D, ".5"}, PatternCase{132, "###############", D, "132"},
        PatternCase{0.35, "###.###", D, ".35"}, PatternCase{0, "##0.00", D, "0.00"},
        PatternCase{0, "#####0.0#", D, "0.0"},
        // half away from zero on the decimal: 2.675 is 2.67499999... in binary
        PatternCase{0.125, "0.00", D, "0.13"}, PatternCase{2.675, "0.00", D, "2.68"},
        PatternCase{-0.125, "0.00", D, "-0.13"}, PatternCase{9.995, "##.00", D, "10.00"},
        PatternCase{0.996, "#.##", D, "1."}, PatternCase{2.5, "#", D, "3"},
        PatternCase{-2.5, "#", D, "-3"}, PatternCase{1234.5, "###", D, "1235"},
        PatternCase{0.00005, "0.####", D, "0.0001"}, PatternCase{1.5e-5, "0.####", D, "0."},
        // a value that rounds to zero loses its minus sign
        PatternCase{-0.001, "0.00", D, "0.00"}, PatternCase{-0.001, "#.##", D, "."},
        PatternCase{-0.4, "###", D, ""}, PatternCase{-7.25, "#0.0", D, "-7.3"},
        PatternCase{1e20, "###.#", D, "100000000000000000000."},
        PatternCase{5.5e-3, "#.0####", D, ".0055"},
        // single precision: 12345.675f is 12345.6748..., 7 digits 12345.67
        PatternCase{12345.675f, "##.##", S, "12345.67"},
        PatternCase{12345.675, "##.##", D, "12345.68"}, PatternCase{1.59f, "###.##", S, "1.59"},
        PatternCase{kNaN, "0.00", D, "NaN"}, PatternCase{-kNaN, "#", S, "NaN"},
        PatternCase{kInf, "###.##", D, "Inf"}, PatternCase{-kInf, "0.0", S, "-Inf"}));

}  // namespace
}  // namespace velmora::report
