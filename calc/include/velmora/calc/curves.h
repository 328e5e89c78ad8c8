// Built-in steel curves, the closed-form curve functions and the yoke
// correction coefficients.
#pragma once

#include <array>
#include <optional>

#include "velmora/calc/quantity.h"

namespace velmora::calc {

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

// LookupCurve on HTAB or PTAB, the same float without the optional: whether
// x lies on the curve, and then its value.
bool LookupSteelCurve(double x, SteelCurve curve, float& value);

// Narrows to single precision, rounding to nearest; a value too large for
// single precision raises the floating-point overflow flag.
float NarrowToSingle(double x);

float InterpolateLinear(double x, double x1, double y1, double x2, double y2);
float LeakageSaturationFactor(double BL);
float PenetrationDepthCorrection(double w);
float HyperbolicSine(double x);
float HyperbolicCosine(double x);
// Both of them from the same two exponentials.
void HyperbolicSineAndCosine(double x, float& sh, float& ch);
float TrapezoidSlotCoefficient(double x);
float RoundBottomSlotCoefficient(double x, double y);
float HarmonicLeakageFactor(double a, double q, double k);

// Yoke correction coefficients for stator (CJs) and rotor (CJr). A pole
// number outside 2, 4 and >= 6 leaves both untouched.
void YokeCorrectionCoefficients(double P, double BJs, double BJr, double HJs, double HJr, double TP,
                                Quantity& CJs, Quantity& CJr);

}  // namespace velmora::calc
