#include "velmora/studies/efficiency_class.h"

#include <cmath>

namespace velmora::studies {

namespace {

struct Cubic {
  double A, B, C, D;
};

// One row of limits: IE2, IE3, IE4 for 2, 4, 6 and 8 poles.
using ClassRow = Cubic[3][4];

// 0.12 to 0.55 kW.
constexpr ClassRow kSmall = {
    {{22.4864, 27.7603, 37.8091, 82.458},
     {17.2751, 23.978, 35.5822, 84.9935},
     {-15.9218, -30.258, 16.6861, 79.1838},
     {6.4855, 9.4748, 36.852, 70.762}},
    {{6.8532, 6.2006, 25.1317, 84.0392},
     {7.6356, 4.8236, 21.0903, 86.0998},
     {-17.361, -44.538, -3.0554, 79.1318},
     {-0.5896, -25.526, 4.2884, 75.831}},
    {{-8.8538, -20.3352, 8.9002, 85.0641},
     {8.432, 2.6888, 14.6236, 87.6153},
     {-13.0355, -36.9497, -4.3621, 82.0009},
     {-4.9735, -21.453, 2.6653, 79.055}},
};

// Above 0.55 kW, up to 200 kW.
constexpr ClassRow kLarge = {
    {{0.2972, -3.3454, 13.0651, 79.077},
     {0.0278, -1.9247, 10.4395, 80.9761},
     {0.0148, -2.4978, 13.247, 77.5603},
     {2.1311, -12.029, 26.719, 69.735}},
    {{0.3569, -3.3076, 11.6108, 82.2503},
     {0.0773, -1.8951, 9.2984, 83.7025},
     {0.1252, -2.613, 11.9963, 80.4769},
     {0.7189, -5.1678, 15.705, 77.074}},
    {{0.34, -3.0479, 10.293, 84.8208},
     {0.2412, -2.3608, 8.446, 86.8321},
     {0.3598, -3.2107, 10.7933, 84.107},
     {0.6556, -4.7229, 13.977, 80.247}},
};

double Limit(const Cubic& c, double x) {
  return RoundToTenth(c.A * x * x * x + c.B * x * x + c.C * x + c.D);
}

int PoleColumn(double P) {
  if (P == 2) return 0;
  if (P == 4) return 1;
  if (P == 6) return 2;
  if (P == 8) return 3;
  return -1;
}

}  // namespace

double RoundToTenth(double percent) {
  if (!std::isfinite(percent)) return percent;
  const double size = std::fabs(percent);
  // size·10 = tens + error exactly: the product's rounding error is itself a
  // double, and fma gives it without a second rounding.
  const double tens = size * 10;
  const double error = std::fma(size, 10, -tens);
  const double whole = std::floor(tens);
  // The exact fraction (tens − whole) + error against one half; both
  // differences below are exact (Sterbenz), so only the comparison decides.
  const double above_half = (tens - whole) - 0.5;
  const double rounded = above_half >= -error ? whole + 1 : whole;
  return std::copysign(rounded / 10, percent);
}

std::string_view ClassName(EfficiencyClass c) {
  switch (c) {
    case EfficiencyClass::IE2:
      return "IE2";
    case EfficiencyClass::IE3:
      return "IE3";
    case EfficiencyClass::IE4:
      return "IE4";
    case EfficiencyClass::BelowIE2:
      break;
  }
  return "低于IE2";
}

std::optional<EfficiencyClass> ParseClassName(std::string_view text) {
  for (EfficiencyClass c : {EfficiencyClass::IE2, EfficiencyClass::IE3, EfficiencyClass::IE4})
    if (text == ClassName(c)) return c;
  return std::nullopt;
}

double ClassLimits::Of(EfficiencyClass c) const {
  switch (c) {
    case EfficiencyClass::IE2:
      return IE2;
    case EfficiencyClass::IE3:
      return IE3;
    case EfficiencyClass::IE4:
      return IE4;
    case EfficiencyClass::BelowIE2:
      break;
  }
  return 0;
}

ClassLimits EfficiencyLimits(double Pn, double P, double f) {
  ClassLimits limits;
  int column = PoleColumn(P);
  if (f != 50)
    limits.not_classified = NotClassified::Frequency;
  else if (column < 0)
    limits.not_classified = NotClassified::Poles;
  else if (!(Pn >= 0.12 && Pn <= 1000))
    limits.not_classified = NotClassified::Rating;
  if (!limits.classified()) return limits;
  const ClassRow& row = Pn <= 0.55 ? kSmall : kLarge;
  double x = std::log10(std::fmin(Pn, 200.0));
  limits.IE2 = Limit(row[0][column], x);
  limits.IE3 = Limit(row[1][column], x);
  limits.IE4 = Limit(row[2][column], x);
  return limits;
}

EfficiencyClass LegalMinimum(double Pn, double P) {
  if (Pn < 0.75) return EfficiencyClass::IE2;
  if (Pn >= 75 && Pn <= 200 && (P == 2 || P == 4 || P == 6)) return EfficiencyClass::IE4;
  return EfficiencyClass::IE3;
}

ClassResult ClassifyEfficiency(double EFF, double Pn, double P, double f,
                               std::optional<EfficiencyClass> required) {
  ClassResult result;
  result.limits = EfficiencyLimits(Pn, P, f);
  result.percent = EFF * 100;
  result.required = required ? *required : LegalMinimum(Pn, P);
  if (!result.limits.classified()) return result;
  for (EfficiencyClass c : {EfficiencyClass::IE2, EfficiencyClass::IE3, EfficiencyClass::IE4})
    if (result.percent >= result.limits.Of(c)) result.reached = c;
  if (result.reached != EfficiencyClass::IE4) {
    auto next = static_cast<EfficiencyClass>(static_cast<int>(result.reached) + 1);
    result.to_next = result.limits.Of(next) - result.percent;
  }
  result.over_required = result.percent - result.limits.Of(result.required);
  return result;
}

}  // namespace velmora::studies
