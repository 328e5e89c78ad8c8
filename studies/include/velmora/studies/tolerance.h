// Manufacturing tolerances: the design built many times over, each motor with
// its own air gap, core length, slot punching, stacking factor,
// resistivities and steel, drawn at random (Monte Carlo). Each sample is the
// plain run and the design check of one motor; the analysis gives the share
// of motors that meet each rule, the spread of the main results, the inputs
// that move them most, and how the efficiency fares in a test against its
// declared value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/engine.h"

namespace velmora::studies {

// A tolerance analysis that cannot be run as asked; the message (Chinese)
// names the input or the value at fault.
class ToleranceError : public Error {
 public:
  using Error::Error;
};

// How the tolerance of an input is given.
enum class SpreadKind {
  Absolute,     // ± value, in the input's own unit
  Percent,      // ± value per cent of the input
  GeneralFine,  // the fine class of the general tolerances, by the dimension's size
};

struct Spread {
  SpreadKind kind = SpreadKind::Absolute;
  double value = 0;  // unused for GeneralFine
};

// An input that differs from motor to motor: a design input, or the steel
// curve's field strength as a whole ("HTAB", a factor of nominal 1 on it).
struct ToleranceInput {
  std::string_view name;  // the input's name, or "HTAB"
  int field;              // the design input, or kSteelCurveFactor
  Spread workshop;        // the tolerance a workshop quotes, used unless told otherwise
};
inline constexpr int kSteelCurveFactor = -1;

// Every input the analysis varies, in the order of the results' columns.
std::span<const ToleranceInput> ToleranceInputs();
// The index in ToleranceInputs() of the input called `name`.
std::optional<std::size_t> FindToleranceInput(std::string_view name);

// Reads a tolerance as --tol gives it: "NAME=±VALUE" or "NAME=±VALUE%"
// ("+-" for "±"). Throws ToleranceError: UnknownInput for a name the
// analysis does not vary, BadForm for another form, NotANumber for a value
// that is no number of 0 or more.
std::pair<std::size_t, Spread> ParseToleranceOption(std::string_view text);

// The ± deviation of the fine class of the general tolerances for linear
// dimensions at a nominal size in mm; 0 for a dimension of 0 (a section the
// slot does not have).
double GeneralFineTolerance(double size);

// Every input is drawn from a normal distribution about its nominal value
// with the tolerance as three standard deviations, truncated at ±3σ (a draw
// beyond is drawn again), so that no motor lies outside its tolerance.
inline constexpr double kSigmasPerTolerance = 3;

inline constexpr std::uint64_t kMaxToleranceSamples = 100'000;

struct ToleranceOptions {
  std::uint64_t samples = 2000;
  std::uint64_t seed = 1;
  unsigned threads = 0;  // 0: one per processor; the result is the same on any number
  // Tolerances given instead of the workshop's: (index in ToleranceInputs(), spread).
  std::vector<std::pair<std::size_t, Spread>> given;
  CheckOptions check;  // what each sample's check asks
};

// The results each sample gives, under their report names; TRISE is the
// winding's average rise (K) of the check's thermal network.
inline constexpr std::array<std::string_view, 7> kToleranceResults = {"EFF",   "PF", "Ist",  "TST1",
                                                                      "TMAX1", "SF", "TRISE"};
inline constexpr std::size_t kToleranceResultCount = kToleranceResults.size();

// One input's spread about this design.
struct AppliedSpread {
  double nominal = 0;    // the design's value (1 for HTAB); 0 for an input that is no number
  double tolerance = 0;  // ±, in the input's unit; 0: not varied
  bool varied() const { return tolerance > 0; }
};

// One motor.
struct ToleranceSample {
  bool ran = false;          // false: the run stopped with `fault`
  bool trustworthy = false;  // ran, and the check's record rules all pass
  bool passed = false;       // ran, and no rule of the check failed
  bool efficiency_trusted = false;
  std::array<CheckLine::Outcome, DesignCheck::kRuleCount> outcomes{};  // when ran
  std::array<double, kToleranceResultCount> results{};                 // NaN where there is none
  EfficiencyClass reached = EfficiencyClass::BelowIE2;
  bool within_test_tolerance = false;  // the IEC view below
  std::string fault;                   // the run's message, when it did not run
};

// A rule of the check over all samples.
struct RuleYield {
  std::string_view name, caption;
  bool checked = false;  // false: the design sets no target for it
  std::uint64_t met = 0;
};

// An input's rank correlation with a result.
struct Sensitivity {
  std::size_t input = 0;  // index in ToleranceInputs()
  double rho = 0;         // Spearman's, −1 to 1
};

// A result over the samples that ran, can be trusted and have it (`count`).
struct ResultSpread {
  std::string_view name;
  double nominal = 0;
  std::uint64_t count = 0;
  double mean = 0, sd = 0;  // sd: the sample standard deviation (n − 1)
  double p05 = 0, p95 = 0;  // linear interpolation between order statistics
  // The varied inputs by the size of their rank correlation, largest first.
  std::vector<Sensitivity> ranking;
};

// The efficiency as a test against the declared value would judge it: the
// declared value is the nominal design's computed efficiency, as the
// nameplate would give it. IEC 60034-1 (tolerances on declared values,
// efficiency η): a measured efficiency may fall short of the declared one
// by 15 % of (1 − η) up to 150 kW and by 10 % of (1 − η) above.
struct TestTolerance {
  double declared = 0;
  double share_of_losses = 0;  // 0.15 or 0.10
  double lowest = 0;           // declared − share_of_losses·(1 − declared)
  std::uint64_t within = 0;    // samples at or above `lowest`, efficiency trusted
  // The class the declared efficiency reaches (unclassified ratings: no
  // limits), and the samples whose own efficiency reaches it too.
  ClassResult declared_class;
  std::uint64_t reach_class = 0;
  bool ClassDeclared() const {
    return declared_class.limits.classified() &&
           declared_class.reached != EfficiencyClass::BelowIE2;
  }
};

struct ToleranceResult {
  // Set when the nominal design's run stops: there are no samples then.
  std::optional<CalculationFault> nominal_fault;
  std::uint64_t seed = 0;
  std::vector<AppliedSpread> spreads;  // one per ToleranceInputs() entry
  std::array<double, kToleranceResultCount> nominal{};
  DesignCheck nominal_check;
  std::vector<ToleranceSample> samples;
  std::vector<double> drawn;  // input i of sample k at k·spreads.size() + i
  std::uint64_t faulted = 0, untrusted = 0, passed = 0;
  std::vector<RuleYield> rules;  // the check's rules, in its order
  std::array<ResultSpread, kToleranceResultCount> results;
  TestTolerance test;

  double Drawn(std::size_t sample, std::size_t input) const {
    return drawn[sample * spreads.size() + input];
  }
};

// The spread of each input about `design`: the given tolerances, or the
// workshop's. Throws ToleranceError for a tolerance that is negative or not
// finite, or an index outside ToleranceInputs().
std::vector<AppliedSpread> SpreadsOf(const design::DesignInput& design,
                                     const std::vector<std::pair<std::size_t, Spread>>& given);

// The standard normal deviate of input `input` (index in ToleranceInputs())
// of motor `sample`, within ±kSigmasPerTolerance: a function of the seed and
// the two indices alone, so that a motor depends on no other and on no thread.
double StandardDeviate(std::uint64_t seed, std::uint64_t sample, std::size_t input);

// One motor built from a design: each varied input of `spreads` (one per
// ToleranceInputs() entry, about the design) at its nominal value plus its
// deviate in `z` times σ, a third of its tolerance. Sets the inputs in `motor`
// (the design, or a motor of it built before), writes every input's value to
// `drawn` unless it is empty and returns the factor on the steel curve HTAB.
double BuildMotor(std::span<const AppliedSpread> spreads, std::span<const double> z,
                  design::DesignInput& motor, std::span<double> drawn);

// Runs the nominal design, then options.samples motors drawn about it, and
// sums them up; a nominal design whose run stops gives its fault alone.
// Sample k depends only on the seed and k. Throws ToleranceError for a
// sample count outside 1 to kMaxToleranceSamples or a refused tolerance.
ToleranceResult AnalyseTolerances(const design::DesignInput& design,
                                  const ToleranceOptions& options);

// The analysis that follows an optimiser's answer, so that an answer on a
// knife edge shows at once: the workshop's tolerances, seed 1, and samples
// enough to see a yield within a few per cent in a fraction of a second.
inline constexpr std::uint64_t kAnswerToleranceSamples = 300;
ToleranceResult AnalyseAnswerTolerances(const design::DesignInput& design,
                                        const CheckOptions& check, unsigned threads);

}  // namespace velmora::studies
