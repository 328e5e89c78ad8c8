// Built-in steel curves, the closed-form curve functions and the yoke
// correction coefficients.
#pragma once

#include <array>
#include <optional>

#include "velmora/calc/quantity.h"

namespace velmora::calc {

// π as the procedure writes it in every formula, not a more exact value.
constexpr double pi = 3.1415926;

// Enamel and insulation allowance on a bare wire diameter, mm: 0.06 below
// 1 mm, 0.08 from 1 mm.
constexpr double WireAllowance(double d) { return d < 1 ? 0.06 : 0.08; }

constexpr int kCurvePoints = 140;
using CurveTable = std::array<double, kCurvePoints>;

// Flux-density grid 0.50 ... 1.89 T (BTAB[0] is B = 0.50).
extern const CurveTable BTAB;
// Magnetization curve of steel grade 1, A/cm, at BTAB.
extern const CurveTable HTAB;
// Specific iron loss of steel grade 1, W/kg, at BTAB.
extern const CurveTable PTAB;

// Value of curve Y at flux density x, interpolated linearly in the interval
// (BTAB(k), BTAB(k+1)] holding x and narrowed to single precision; nothing
// when x lies outside (0.50, 1.89]. The caller decides on the steel grade.
std::optional<float> LookupCurve(double x, const CurveTable& Y);

// Assigns target only when the lookup finds an interval; otherwise the
// target keeps its value (from an earlier pass, or unset).
void LookupCurve(double x, const CurveTable& Y, SingleQuantity& target);

// The grade-1 curves the run looks up: HTAB and PTAB.
enum class SteelCurve { FieldStrength, IronLoss };

// The slope (Y(k+1) - Y(k)) / (BTAB(k+1) - BTAB(k)) of every interval of
// HTAB and PTAB: the very doubles InterpolateLinear works out for them.
using CurveSlopes = std::array<double, kCurvePoints - 1>;
extern const CurveSlopes HTAB_SLOPES;
extern const CurveSlopes PTAB_SLOPES;

// Index k of the interval (BTAB(k), BTAB(k+1)] that holds x, or -1: x at or
// below 0.50, above 1.89, or NaN lies in none. The grid step of 0.01 T gives
// k to within one; the comparisons with the grid settle it.
inline int CurveInterval(double x) {
  if (!(BTAB[0] < x && x <= BTAB[kCurvePoints - 1])) return -1;
  int k = static_cast<int>((x - BTAB[0]) * 100);
  if (k > kCurvePoints - 2) k = kCurvePoints - 2;
  while (!(BTAB[k] < x)) --k;
  while (!(x <= BTAB[k + 1])) ++k;
  return k;
}

// LookupCurve on HTAB or PTAB, the same float without the optional: whether
// x lies on the curve, and then its value. An interpolated value lies
// between two table values, far inside single precision.
inline bool LookupSteelCurve(double x, SteelCurve curve, float& value) {
  int k = CurveInterval(x);
  if (k < 0) return false;
  bool field = curve == SteelCurve::FieldStrength;
  const CurveTable& Y = field ? HTAB : PTAB;
  const CurveSlopes& slopes = field ? HTAB_SLOPES : PTAB_SLOPES;
  value = static_cast<float>(Y[k] + (x - BTAB[k]) * slopes[k]);
  return true;
}

// Narrows to single precision, rounding to nearest; a value too large for
// single precision raises the floating-point overflow flag.
float NarrowToSingle(double x);

float InterpolateLinear(double x, double x1, double y1, double x2, double y2);
float LeakageSaturationFactor(double BL);
// Whether KZ jumps between BL_a and BL_b: a range of the factor ends between them.
bool LeakageSaturationStepBetween(double BL_a, double BL_b);
float PenetrationDepthCorrection(double w);
float HyperbolicSine(double x);
float HyperbolicCosine(double x);
// Both of them from the same two exponentials.
void HyperbolicSineAndCosine(double x, float& sh, float& ch);
float TrapezoidSlotCoefficient(double x);
// The coefficient, or its limit 1/3 for parallel sides (a width ratio of
// exactly 1), where the closed form divides by zero.
double TrapezoidSlotCoefficientOrLimit(double x);
float RoundBottomSlotCoefficient(double x, double y);
float HarmonicLeakageFactor(double a, double q, double k);

// Yoke correction coefficients for stator (CJs) and rotor (CJr). A pole
// number outside 2, 4 and >= 6 leaves both untouched.
void YokeCorrectionCoefficients(double P, double BJs, double BJr, double HJs, double HJr, double TP,
                                Quantity& CJs, Quantity& CJr);

}  // namespace velmora::calc
