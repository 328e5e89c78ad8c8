// Efficiency classes IE2, IE3 and IE4 of line-fed induction motors at 50 Hz:
// the nominal limits of a rating, the class a computed efficiency reaches
// and the class the law asks for.
#pragma once

#include <optional>
#include <string_view>

namespace velmora::studies {

enum class EfficiencyClass { BelowIE2, IE2, IE3, IE4 };

// "IE3", or "低于IE2".
std::string_view ClassName(EfficiencyClass c);
// Reads "IE2", "IE3" or "IE4".
std::optional<EfficiencyClass> ParseClassName(std::string_view text);

// Why a rating has no class limits.
enum class NotClassified { No, Frequency, Poles, Rating };

// Nominal efficiency limits of a rating in per cent, each rounded to one
// decimal, or why there are none.
struct ClassLimits {
  NotClassified not_classified = NotClassified::No;
  double IE2 = 0, IE3 = 0, IE4 = 0;

  bool classified() const { return not_classified == NotClassified::No; }
  double Of(EfficiencyClass c) const;
};

// Limits for an output of Pn kW, P poles and f Hz: η = A·x³ + B·x² + C·x + D
// with x = log10(Pn), from 0.12 to 200 kW; the 200 kW limits up to 1000 kW.
ClassLimits EfficiencyLimits(double Pn, double P, double f);

// A per-cent value to one decimal, half away from zero on the double's exact
// value (87.25 gives 87.3, while 87.35, stored as 87.3499..., gives 87.3), as
// the limits are rounded; without a wider type.
double RoundToTenth(double percent);

// The class the law asks for: IE2 below 0.75 kW; IE3 from 0.75 to 1000 kW,
// IE4 from 75 to 200 kW with 2, 4 or 6 poles.
EfficiencyClass LegalMinimum(double Pn, double P);

// What a computed efficiency reaches against a required class.
struct ClassResult {
  ClassLimits limits;
  double percent = 0;  // EFF·100
  EfficiencyClass reached = EfficiencyClass::BelowIE2;
  EfficiencyClass required = EfficiencyClass::IE3;
  std::optional<double> to_next;  // percentage points short of the next class
  double over_required = 0;       // EFF·100 − the required limit (negative: short)

  bool Meets() const { return limits.classified() && reached >= required; }
};

// `required` empty: the legal minimum of the rating.
ClassResult ClassifyEfficiency(double EFF, double Pn, double P, double f,
                               std::optional<EfficiencyClass> required = std::nullopt);

}  // namespace velmora::studies
