// Steel curves of grade 1, the closed-form design curves and the yoke
// correction coefficients. Every formula is evaluated one operation at a time
// in the written order (no fused multiply-add), so the single-precision results
// come out digit for digit the same on every run.
#include "velmora/calc/curves.h"

#include <algorithm>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>

namespace velmora::calc {

namespace {

// BTAB(k) is the double nearest the two-decimal literal 0.50 + 0.01k; the
// quotient (50 + k)/100 is correctly rounded, repeated addition of 0.01 is not.
constexpr CurveTable MakeFluxDensityGrid() {
  CurveTable grid{};
  for (int k = 0; k < kCurvePoints; ++k) grid[k] = (50 + k) / 100.0;
  return grid;
}

}  // namespace

const CurveTable BTAB = MakeFluxDensityGrid();

namespace {

// Field strength in A/cm, ten flux densities a row: 0.50-0.59 T, 0.60-0.69 T, ...
constexpr CurveTable kFieldStrength = {
    1.58, 1.6,  1.62, 1.64, 1.66, 1.69, 1.71, 1.74, 1.76, 1.78,  // 0.5x
    1.81, 1.84, 1.86, 1.89, 1.91, 1.94, 1.97, 2,    2.03, 2.06,  // 0.6x
    2.1,  2.13, 2.16, 2.2,  2.24, 2.28, 2.32, 2.36, 2.4,  2.45,  // 0.7x
    2.5,  2.55, 2.6,  2.65, 2.7,  2.76, 2.81, 2.87, 2.93, 2.99,  // 0.8x
    3.06, 3.13, 3.19, 3.26, 3.33, 3.41, 3.49, 3.57, 3.65, 3.74,  // 0.9x
    3.83, 3.92, 4.01, 4.11, 4.22, 4.33, 4.44, 4.56, 4.67, 4.8,   // 1.0x
    4.93, 5.07, 5.21, 5.36, 5.52, 5.68, 5.84, 6,    6.16, 6.33,  // 1.1x
    6.52, 6.72, 6.94, 7.16, 7.38, 7.62, 7.86, 8.1,  8.36, 8.62,  // 1.2x
    8.9,  9.2,  9.5,  9.8,  10.1, 10.5, 10.9, 11.3, 11.7, 12.1,  // 1.3x
    12.6, 13.1, 13.6, 14.2, 14.8, 15.5, 16.3, 17.1, 18.1, 19.1,  // 1.4x
    20.1, 21.2, 22.4, 23.7, 25,   26.7, 28.5, 30.4, 32.6, 35.1,  // 1.5x
    37.8, 40.7, 43.7, 46.8, 50,   53.4, 56.8, 60.4, 64,   67.8,  // 1.6x
    72,   76.4, 80.8, 85.4, 90.2, 95,   100,  105,  110,  116,   // 1.7x
    122,  128,  134,  140,  146,  152,  158,  165,  172,  180,   // 1.8x
};

// Specific iron loss in W/kg, arranged as the field strength. The repeated
// 4.45 at 1.40 and 1.41 T and the wide first step 0.6 -> 0.686 belong to the
// catalogue curve.
constexpr CurveTable kIronLoss = {
    0.6,   0.686, 0.712, 0.738, 0.769, 0.792, 0.818, 0.833, 0.869, 0.898,  // 0.5x
    0.926, 0.952, 0.978, 1.005, 1.03,  1.06,  1.088, 1.115, 1.141, 1.17,   // 0.6x
    1.2,   1.225, 1.251, 1.28,  1.308, 1.333, 1.36,  1.385, 1.41,  1.449,  // 0.7x
    1.475, 1.5,   1.539, 1.565, 1.59,  1.616, 1.641, 1.68,  1.705, 1.73,   // 0.8x
    1.77,  1.795, 1.835, 1.86,  1.899, 1.936, 1.962, 2,     2.04,  2.08,   // 0.9x
    2.1,   2.155, 2.193, 2.23,  2.28,  2.32,  2.36,  2.41,  2.46,  2.51,   // 1.0x
    2.56,  2.62,  2.67,  2.72,  2.78,  2.84,  2.9,   2.95,  3.01,  3.08,   // 1.1x
    3.14,  3.21,  3.26,  3.33,  3.39,  3.46,  3.52,  3.59,  3.65,  3.72,   // 1.2x
    3.78,  3.85,  3.91,  3.97,  4.05,  4.12,  4.18,  4.24,  4.31,  4.39,   // 1.3x
    4.45,  4.45,  4.52,  4.58,  4.64,  4.77,  4.84,  4.91,  4.97,  5.05,   // 1.4x
    5.1,   5.18,  5.24,  5.31,  5.37,  5.44,  5.5,   5.58,  5.64,  5.71,   // 1.5x
    5.77,  5.84,  5.91,  5.98,  6.04,  6.11,  6.18,  6.25,  6.31,  6.37,   // 1.6x
    6.43,  6.5,   6.58,  6.64,  6.71,  6.78,  6.86,  6.94,  7.02,  7.11,   // 1.7x
    7.19,  7.29,  7.36,  7.46,  7.56,  7.64,  7.74,  7.82,  7.93,  8.02,   // 1.8x
};

// The slope (Y(k+1) - Y(k)) / (BTAB(k+1) - BTAB(k)) of every interval, the
// very double InterpolateLinear works out for it.
constexpr CurveSlopes MakeSlopes(const CurveTable& Y) {
  constexpr CurveTable B = MakeFluxDensityGrid();
  CurveSlopes slopes{};
  for (int k = 0; k + 1 < kCurvePoints; ++k) slopes[k] = (Y[k + 1] - Y[k]) / (B[k + 1] - B[k]);
  return slopes;
}

}  // namespace

const CurveTable HTAB = kFieldStrength;
const CurveTable PTAB = kIronLoss;
const CurveSlopes HTAB_SLOPES = MakeSlopes(kFieldStrength);
const CurveSlopes PTAB_SLOPES = MakeSlopes(kIronLoss);

std::optional<float> LookupCurve(double x, const CurveTable& Y) {
  int k = CurveInterval(x);
  if (k < 0) return std::nullopt;
  return InterpolateLinear(x, BTAB[k], Y[k], BTAB[k + 1], Y[k + 1]);
}

void LookupCurve(double x, const CurveTable& Y, SingleQuantity& target) {
  if (auto value = LookupCurve(x, Y)) target = *value;
}

float NarrowToSingle(double x) {
  // Converting a finite double beyond the float range is undefined behaviour,
  // so the overflow is signalled here the way the hardware would signal it.
  if (std::isfinite(x) && std::fabs(x) > FLT_MAX) {
    std::feraiseexcept(FE_OVERFLOW);
    constexpr float inf = std::numeric_limits<float>::infinity();
    return x > 0 ? inf : -inf;
  }
  return static_cast<float>(x);
}

float InterpolateLinear(double x, double x1, double y1, double x2, double y2) {
  double s = (y2 - y1) / (x2 - x1);
  return NarrowToSingle(y1 + (x - x1) * s);
}

namespace {

// Saturation factor of the slot leakage: KZ = K0 - BL*(K1 + K2*BL)/100 over a
// range of the leakage flux density BL. Each bound belongs to the range below.
// A written difference such as 30 - 2.202*BL is stored as K2 = -2.202: adding
// the negated product gives the same double as subtracting it.
struct LeakageSaturationRange {
  double above;  // lower bound, exclusive; kNoLowerBound for the first range
  double upTo;   // upper bound, inclusive
  double K0, K1, K2;
};

constexpr double kNoLowerBound = -std::numeric_limits<double>::infinity();

constexpr LeakageSaturationRange kLeakageSaturationRanges[] = {
    {kNoLowerBound, 1.75, 1, 1.143, 0.9524},
    {1.75, 6, 1.36787, 30, -2.202},
    {6, 10, 0.67976, 6.768, -0.2251},
    {10, 15, 0.5147, 3.389, -1.0564},
};

bool Holds(const LeakageSaturationRange& range, double BL) {
  bool aboveLower = range.above == kNoLowerBound || range.above < BL;
  return aboveLower && BL <= range.upTo;
}

}  // namespace

float LeakageSaturationFactor(double BL) {
  // The ranges are tested independently; beyond BL = 15 none holds and KZ stays 0.
  double KZ = 0;
  for (const auto& range : kLeakageSaturationRanges) {
    if (Holds(range, BL)) KZ = range.K0 - BL * (range.K1 + range.K2 * BL) / 100;
  }
  return NarrowToSingle(KZ);
}

bool LeakageSaturationStepBetween(double BL_a, double BL_b) {
  const double low = std::min(BL_a, BL_b), high = std::max(BL_a, BL_b);
  // Each range ends where the next begins; the fits do not meet there.
  for (const auto& range : kLeakageSaturationRanges)
    if (low <= range.upTo && range.upTo < high) return true;
  return false;
}

float PenetrationDepthCorrection(double w) {
  return NarrowToSingle((1.07252 - w * 0.08523) - w * (w * 0.012586));
}

float HyperbolicSine(double x) {
  double eMinus = std::exp(-x);
  double ePlus = std::exp(x);
  return NarrowToSingle((ePlus - eMinus) / 2);
}

float HyperbolicCosine(double x) {
  double eMinus = std::exp(-x);
  double ePlus = std::exp(x);
  return NarrowToSingle((ePlus + eMinus) / 2);
}

void HyperbolicSineAndCosine(double x, float& sh, float& ch) {
  double eMinus = std::exp(-x);
  double ePlus = std::exp(x);
  sh = NarrowToSingle((ePlus - eMinus) / 2);
  ch = NarrowToSingle((ePlus + eMinus) / 2);
}

float TrapezoidSlotCoefficient(double x) {
  // S is the remainder -u/5 - u^2/6 - ... of the series of ln(1 - u), so the
  // coefficient tends to 1/3 for a slot of parallel sides (x -> 1).
  double u = 1 - x;
  double S = std::log(x) / std::pow(u, 4) + 1 / std::pow(u, 3) + (1.0 / 2) / (u * u) +
             (1.0 / 3) / u + 1.0 / 4;
  return NarrowToSingle(1.0 / 3 - S * (u / 4));
}

double TrapezoidSlotCoefficientOrLimit(double x) {
  if (x == 1) return 1.0 / 3;
  return TrapezoidSlotCoefficient(x);
}

float RoundBottomSlotCoefficient(double x, double y) {
  double u = 1 - x;
  double pi2 = pi * pi;
  double pi3 = std::pow(pi, 3);
  double parallelPart = pi / 16 / y + (2 * pi3 - 9 * pi) / 1536 / std::pow(y, 3);
  double taperPart = pi / 8 / u / y;
  double logFactor = pi / 8 / (u * u) / y + pi2 / 64 / u / (y * y);
  return NarrowToSingle(parallelPart - taperPart - std::log(x) * logFactor);
}

float HarmonicLeakageFactor(double a, double q, double k) {
  double F = pi * pi / 54 / q / q;
  double G = (a * (a * a) - a) / 4 / q + 1 + 5 * (q * q) - 3 * (a * a) / 2;
  return NarrowToSingle(G * F - k * k);
}

namespace {

enum class Yoke { Stator, Rotor };

// One fit of the yoke correction coefficient: a quadratic in x = HJ/TP at
// B = Bhi (the a-terms) plus, scaled by (Bhi - B)/span, the change of that
// quadratic down to B = Bhi - span (the c-terms). The row serves flux
// densities from Bmin (inclusive) to Bmax (exclusive) and extrapolates its
// straight line in B beyond its span.
struct YokeFit {
  int poleClass;  // 2, 4, or 6 for six poles and more
  Yoke yoke;
  double Bmin, Bmax;
  double Bhi, span;
  double a0, a1, a2;
  double c0, c1, c2;
};

constexpr double kLowest = -std::numeric_limits<double>::infinity();
constexpr double kHighest = std::numeric_limits<double>::infinity();

constexpr YokeFit kYokeFits[] = {
    // clang-format off
    // P  yoke          B from   B below   Bhi    span   a0      a1       a2       c0      c1        c2
    {2, Yoke::Stator, kLowest, 1.395,    1.395, 0.155, 0.37,   1.51,    -1.887,  0.085,  0.038,    -0.08},
    {2, Yoke::Stator, 1.395,   1.55,     1.55,  0.155, 0.3,    0.56,    1.144,   0.07,   0.948,    -3.031},
    {2, Yoke::Stator, 1.55,    kHighest, 1.71,  0.16,  0.267,  0.316,   1.227,   0.033,  0.244,    -0.084},
    {2, Yoke::Rotor,  kLowest, 1.395,    1.395, 0.155, 0.364,  -0.8,    2.34,    0.0812, -0.3,     0.65},
    {2, Yoke::Rotor,  1.395,   1.55,     1.55,  0.155, 0.2985, -1.294,  3.26,    0.0655, 0.494,    -0.92},
    {2, Yoke::Rotor,  1.55,    kHighest, 1.71,  0.16,  0.263,  -1.08,   2.732,   0.0355, -0.214,   0.582},
    {4, Yoke::Stator, kLowest, 1.395,    1.395, 0.155, 0.361,  0.8633,  -0.6752, 0.089,  0.065333, -0.2174},
    {4, Yoke::Stator, 1.395,   1.55,     1.55,  0.155, 0.304,  0.335,   0.64,    0.057,  0.5283,   -1.3152},
    {4, Yoke::Stator, 1.55,    kHighest, 1.71,  0.16,  0.266,  0.191,   0.625,   0.038,  0.144,    0.015},
    {4, Yoke::Rotor,  kLowest, 1.395,    1.395, 0.155, 0.3535, -0.0489, -0.5,    0.0975, -0.514,   3.334},
    {4, Yoke::Rotor,  1.395,   1.55,     1.55,  0.155, 0.304,  -0.594,  1.56,    0.05,   0.545,    -2.06},
    {4, Yoke::Rotor,  1.55,    kHighest, 1.71,  0.16,  0.2716, -0.39,   1.07,    0.0302, -0.204,   0.49},
    {6, Yoke::Stator, kLowest, 1.395,    1.395, 0.155, 0.36,   0.144,   0.645,   0.18,   0.004,    0.94},
    {6, Yoke::Stator, 1.395,   1.55,     1.55,  0.155, 0.305,  -0.0216, 0.6265,  0.055,  0.1656,   0.0194},
    {6, Yoke::Stator, 1.55,    kHighest, 1.71,  0.16,  0.274,  -0.224,  1.61,    0.031,  0.2,      -0.9844},
    {6, Yoke::Rotor,  kLowest, 1.395,    1.395, 0.155, 0.36,   0.144,   0.645,   0.18,   -0.004,   0.94},
    {6, Yoke::Rotor,  1.395,   1.55,     1.55,  0.155, 0.306,  -0.1,    1.378,   0.054,  0.244,    -0.733},
    {6, Yoke::Rotor,  1.55,    kHighest, 1.71,  0.16,  0.273,  -0.224,  2.07,    0.033,  0.124,    -0.629},
    // clang-format on
};

// The fits exist for two poles, four poles, and six poles or more; the rows
// of each pole class start at its index here.
int FirstRowOfPoleClass(double P) {
  if (P == 2) return 0;
  if (P == 4) return 6;
  if (P >= 6) return 12;
  return -1;
}

// Each pole class has six rows, the stator's three and then the rotor's, each
// three in rising ranges of B.
constexpr bool RowsInOrder() {
  constexpr int classes[] = {2, 4, 6};
  constexpr double from[] = {kLowest, 1.395, 1.55}, below[] = {1.395, 1.55, kHighest};
  int row = 0;
  for (int poleClass : classes)
    for (Yoke yoke : {Yoke::Stator, Yoke::Rotor})
      for (int range = 0; range < 3; ++range, ++row) {
        const YokeFit& fit = kYokeFits[row];
        if (fit.poleClass != poleClass || fit.yoke != yoke || fit.Bmin != from[range] ||
            fit.Bmax != below[range])
          return false;
      }
  return row == static_cast<int>(std::size(kYokeFits));
}
static_assert(RowsInOrder());

double EvaluateYokeFit(const YokeFit& fit, double B, double HJ, double TP) {
  double x2 = (HJ / TP) * (HJ / TP);
  double atBhi = fit.a0 + HJ * fit.a1 / TP + x2 * fit.a2;
  double change = fit.c0 + HJ * fit.c1 / TP + x2 * fit.c2;
  return atBhi + (fit.Bhi - B) * change / fit.span;
}

// Assigns CJ from the row that serves B, capped at 0.7; a negative value is
// kept. `rows` are the three rows of one pole class and yoke.
void CorrectYoke(const YokeFit* rows, double B, double HJ, double TP, Quantity& CJ) {
  const YokeFit& fit = rows[B < rows[1].Bmin ? 0 : B < rows[2].Bmin ? 1 : 2];
  // NaN and +inf lie in no range.
  if (!(fit.Bmin <= B && B < fit.Bmax)) return;
  double value = EvaluateYokeFit(fit, B, HJ, TP);
  CJ = value > 0.7 ? 0.7 : value;
}

}  // namespace

void YokeCorrectionCoefficients(double P, double BJs, double BJr, double HJs, double HJr, double TP,
                                Quantity& CJs, Quantity& CJr) {
  int first = FirstRowOfPoleClass(P);
  if (first < 0) return;
  CorrectYoke(&kYokeFits[first], BJs, HJs, TP, CJs);
  CorrectYoke(&kYokeFits[first + 3], BJr, HJr, TP, CJr);
}

}  // namespace velmora::calc
