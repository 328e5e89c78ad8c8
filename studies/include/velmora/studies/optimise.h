// Design optimisation: the inputs a designer picks, each within bounds or
// from a list of values, chosen so that the design meets its own targets,
// an efficiency class and optional limits at the lowest active-material cost
// or the highest efficiency. One engine function with no I/O: a window or
// the command line drives it through a progress callback and a cancel flag.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/engine.h"
#include "velmora/studies/tolerance.h"

namespace velmora::studies {

// A search that cannot be run as asked; the message (Chinese) names the input
// or the value at fault.
class OptimiseError : public Error {
 public:
  using Error::Error;
};

// Nominal diameters of enamelled round wire, mm (the R20 series from 0.5 mm).
inline constexpr std::array<double, 21> kWireDiameters = {0.50, 0.53, 0.56, 0.60, 0.63, 0.67, 0.71,
                                                          0.75, 0.80, 0.85, 0.90, 0.95, 1.00, 1.06,
                                                          1.12, 1.18, 1.25, 1.32, 1.40, 1.50, 1.60};

// One input the search may change.
struct OptimiseVariable {
  int field = 0;
  double lower = 0, upper = 0;  // inclusive bounds
  // Discrete: the values it may take, ascending (lower and upper are the
  // ends). Empty: continuous, searched in steps of `resolution`, a power of
  // ten (the values are decimals, as if typed).
  std::vector<double> values;
  double resolution = 0;

  bool Discrete() const { return !values.empty(); }
  // The allowed value nearest `x`.
  double Snap(double x) const;
  // The allowed values in ascending order, as a lattice: how many there are,
  // the k-th (clamped to the last), and the index of the one nearest `x`.
  std::uint64_t Count() const;
  double At(std::uint64_t k) const;
  std::uint64_t IndexOf(double x) const;

 private:
  struct Grid {
    double first, last;  // multiples of the resolution
    bool any;            // the range holds a multiple
  };
  Grid GridPoints() const;
};

// FROM:TO. Whole numbers for counts (A, Z, JJ, MM, Y1), the nominal wire
// diameters within the range for DJJ and DMM, otherwise continuous on the
// workshop step of the input (WorkshopStep; none for an input that is no
// design freedom, which CheckProblem refuses). A variable of values takes
// at most 1,000,000 of them, and whole numbers only below 2^53 in size;
// OptimiseError otherwise.
OptimiseVariable RangeVariable(int field, double from, double to);
// FROM:TO:STEP, the points of a sweep range.
OptimiseVariable SteppedVariable(int field, double from, double to, double step);
// A list of values.
OptimiseVariable ListVariable(int field, std::vector<double> values);

enum class OptimiseObjective { Cost, Efficiency };

// The quantities an upper limit may be set on: results of the run, and
// TRISE, the winding's average temperature rise in K.
inline constexpr std::array<std::string_view, 8> kLimitableQuantities = {
    "J1", "AJ", "BT1", "BT2", "BJ1", "BJ2", "BG", "TRISE"};

struct UpperLimit {
  std::string quantity;  // one of kLimitableQuantities
  double value = 0;
};

// The constraints a margin may be kept from: the class (efficiency
// percentage points), the design's targets and the winding's rise (K).
inline constexpr std::array<std::string_view, 7> kMarginConstraints = {"IE", "PF", "IST",  "TST",
                                                                       "TM", "SF", "TRISE"};

// The constraint of kMarginConstraints a margin called `name` keeps from: its
// own name, or the quantity it limits ("EFF" the class, "Ist", "TMAX1", ...).
std::optional<std::string_view> MarginConstraint(std::string_view name);

// A distance kept from a constraint's limit, in the constraint's unit: the
// limit moves inward by it (above a lower limit, below an upper one).
struct Margin {
  std::string constraint;  // one of kMarginConstraints
  double value = 0;        // at least 0
};

// A robust requirement: of the motors built from a design within the
// manufacturing tolerances, at least the share `min_yield` must meet every
// constraint the design itself must meet (the constraint line "YIELD").
// The motors are a fixed set of `samples` drawn with `seed`, the same for
// every design the search sees; a search's evaluations count the designs,
// not their motors.
inline constexpr std::uint64_t kDefaultYieldSamples = 64;
inline constexpr std::uint64_t kMaxYieldSamples = 4096;

struct RobustRequirement {
  double min_yield = 0.95;  // above 0, at most 1
  // Tolerances given instead of the workshop's, as ToleranceOptions::given.
  std::vector<std::pair<std::size_t, Spread>> tolerances;
  std::uint64_t samples = kDefaultYieldSamples;  // 1 to kMaxYieldSamples
  std::uint64_t seed = 1;
};

// Whether a share of motors can be asked for: above 0, at most 1.
inline bool YieldInRange(double share) { return share > 0 && share <= 1; }

// What the search changes, what it minimises and what it must meet. The
// constraints are those of a plain run of the design: the design's own
// targets without tolerances (EFF ≥ EFF, PF ≥ PF, Ist ≤ IST, TST1 ≥ TST,
// TMAX1 ≥ TM, SF ≤ SF0, each when the target is a number), EFF·100 at least
// the limit of the class `check` asks for, the winding's average rise at
// most the limit of the insulation class `check` asks for (unless an upper
// limit on TRISE replaces it), no steel-curve look-up above the curve,
// plausible inputs and results, and the upper limits. A design whose run
// faults meets none; one whose thermal network fails misses its rise limit.
struct OptimiseProblem {
  design::DesignInput base;
  std::vector<OptimiseVariable> variables;
  OptimiseObjective objective = OptimiseObjective::Cost;
  // required_class empty: the legal minimum; check_class false: no class;
  // insulation empty: no rise limit of a class.
  CheckOptions check;
  std::vector<UpperLimit> limits;
  std::vector<Margin> margins;
  // A lower limit on EFF (per unit), the constraint line "EFFMIN": the level
  // of one point of the cost–efficiency front. Empty: none.
  std::optional<double> efficiency_floor;
  design::MaterialPrices prices;
  // Which value of each target the design must meet: the target itself, or
  // the limit the check allows with the guarantee tolerances (Ist ≤ 1.2·IST,
  // ...), so that a design the check passes also meets the search's constraints.
  enum class Targets { AsGiven, WithTolerance };
  Targets targets = Targets::AsGiven;
  // Empty: the design alone must meet the constraints.
  std::optional<RobustRequirement> robust;
};

// Refuses a problem the search cannot take: no variables, an input varied
// twice, an input that is no design freedom (RoleOf: text, selectors, the
// rating, targets, assumptions, the frame, printed-only inputs), empty or
// reversed bounds, a limit on another quantity or twice, a margin on another
// constraint, twice, negative or not finite, an efficiency floor outside
// 0..1, a robust requirement with a share outside YieldInRange, a sample
// count outside 1 to kMaxYieldSamples or a tolerance SpreadsOf refuses.
// Throws OptimiseError.
void CheckProblem(const OptimiseProblem& problem);

// Keeps only the values the base design's winding can take: whole numbers for
// counts, even conductors per slot Z for a double layer, parallel paths A
// that divide the coil groups. Throws OptimiseError naming a variable left
// without a value.
void FitToWinding(OptimiseProblem& problem);

// One constraint of a computed design: value against limit.
struct ConstraintLine {
  // "PF", "IST", "TST", "TM", "SF", "EFF", "IE", "TRISE", "BH", "VALID", "WIND", "J1", ...,
  // "YIELD"
  std::string_view name;
  CheckLine::Bound bound = CheckLine::Bound::AtLeast;
  double limit = 0;  // moved inward by the margin
  double value = 0;
  // (limit − value) for AtLeast, (value − limit) for AtMost, over |limit|;
  // for a count (VALID) the count less a half: at most 0 when met; for
  // YIELD the worst excess of the motor that must still pass (AddYield).
  double excess = 0;
  double margin = 0;  // the problem's margin on it: limit ∓ margin is the constraint's own

  bool Met() const { return excess <= 0; }
  // Holding the design back: missed, or met within half a percent of its
  // limit (a workshop step seldom lands closer).
  bool AtLimit() const { return excess > -kAtLimitShare; }
  static constexpr double kAtLimitShare = 0.005;
};

// A design as the search sees it.
struct Assessment {
  static constexpr int kMaxConstraints = 13 + kLimitableQuantities.size();

  bool ran = false;  // false: the run faulted and nothing else is set
  double cost = 0;   // active-material cost
  double EFF = 0, PF = 0, Ist = 0, TST1 = 0, TMAX1 = 0, SF = 0;
  double TRISE = 0;  // the winding's average rise, K; not a number when the network fails
  EfficiencyClass reached = EfficiencyClass::BelowIE2;
  std::array<ConstraintLine, kMaxConstraints> lines{};
  int line_count = 0;

  std::span<const ConstraintLine> constraints() const { return {lines.data(), size_t(line_count)}; }
  bool Feasible() const;
  // Whether its results can be taken at face value: it ran, its flux
  // densities lie on the steel curve, its inputs, results and geometry are
  // possible and its winding can be wound (the lines BH, VALID and WIND).
  bool Trustworthy() const;
  // The sum of the excesses over the limits; a run that faulted counts as
  // infeasible beyond any that ran.
  double Violation() const;
  // The value of the line YIELD: the share of a robust requirement's motors
  // that meet the constraints; 0 without one, or when the run faulted.
  double Yield() const;
};

// The number of constraint lines of every design of `problem` that runs.
int ConstraintCount(const OptimiseProblem& problem);

// The efficiency class limits of the base design's rating (Pn, P, f).
ClassLimits RatingLimits(const OptimiseProblem& problem);

// The value minimised: the cost, or the losses 1 − EFF.
double ObjectiveKey(const Assessment& a, OptimiseObjective objective);

// Where a design stands in the ranking, in a few numbers.
struct Standing {
  double key = 0;  // ObjectiveKey
  double violation = 0;
  bool ran = false, feasible = false;
};
Standing StandingOf(const Assessment& a, OptimiseObjective objective);

// The ranking: a design that ran before one that faulted, feasible before
// infeasible, then the lower key, or the lower violation between infeasible
// designs.
bool RanksBefore(const Standing& a, const Standing& b);
bool Better(const Assessment& a, const Assessment& b, OptimiseObjective objective);

// Assesses a finished run of `problem`'s base with the variables set. Inputs
// not whole where whole numbers belong are forgiven on variables when
// `relaxed` (a discrete variable searched between its values).
Assessment Assess(const OptimiseProblem& problem, const CalculationState& state, bool relaxed);
// The same with the run's check already made with `problem.check`.
Assessment Assess(const OptimiseProblem& problem, const CalculationState& state,
                  const DesignCheck& check, bool relaxed);

// The base design with each variable at `values` (one per variable), with
// texts as if typed.
design::DesignInput DesignWith(const OptimiseProblem& problem, std::span<const double> values);

// The motors of a problem's robust requirement, drawn once: a standard
// deviate (StandardDeviate) for each motor and tolerance input. The k-th
// motor of every design takes the same deviates, scaled by that design's own
// spreads (common random numbers), so the yield is a fixed function of the
// design and the search sees no noise. Empty without a robust requirement.
class YieldMotors {
 public:
  explicit YieldMotors(const OptimiseProblem& problem);
  std::uint64_t count() const { return count_; }
  std::span<const double> Deviates(std::uint64_t k) const;

 private:
  std::uint64_t count_ = 0;
  std::vector<double> z_;  // input i of motor k at k·ToleranceInputs().size() + i
};

// The motors that must meet the constraints for `min_yield` of `count` to:
// the fewest whose share is at least `min_yield`.
std::uint64_t RequiredPasses(double min_yield, std::uint64_t count);

// Adds the line YIELD of a robust problem to `a`, the assessment of `design`
// (its run not relaxed unless `relaxed`); nothing without a robust
// requirement or when the run faulted. Its value is the share of `motors`
// that meet every other constraint of `a`. Its excess: each motor's worst
// excess over those constraints, in ascending order, at rank RequiredPasses
// (the motor that must still pass), so that it moves smoothly with the
// design and is at most 0 exactly when the yield is met. The motors run on
// the calling thread.
void AddYield(const OptimiseProblem& problem, const YieldMotors& motors,
              const design::DesignInput& design, bool relaxed, Assessment& a);

// Calculates and assesses `design`, a design of `problem`, its yield on
// `motors` too.
Assessment AssessDesign(const OptimiseProblem& problem, const YieldMotors& motors,
                        const design::DesignInput& design);

// Calculates and assesses the design with `values`, its yield too.
Assessment Evaluate(const OptimiseProblem& problem, std::span<const double> values);

// How far a search has come; handed to the progress callback.
struct OptimiseProgress {
  enum class Phase {
    Sample,  // the grid sample
    Search   // the local searches
  };
  Phase phase = Phase::Sample;
  std::uint64_t evaluations = 0;
  bool found = false;  // a design has been assessed (not all faulted)
  bool feasible = false;
  double best = 0;  // the best objective so far: cost, or EFF
};

// A time limit at or beyond this many seconds (some thirty years) is none.
inline constexpr double kNoTimeLimit = 1e9;

struct OptimiseOptions {
  unsigned threads = 0;  // 0: one per processor; the result is the same on any number
  std::uint64_t seed = 1;
  std::uint64_t max_evaluations = 200'000;
  double max_seconds = 60;  // a stop on time depends on the machine's speed; see kNoTimeLimit
  // Seconds on a clock that never goes back, called from any of the search's
  // threads: the machine's steady clock unless a test hands in its own.
  std::function<double()> clock;
  // Called now and then and at every improvement, one call at a time, from
  // any of the search's threads.
  std::function<void(const OptimiseProgress&)> progress;
  const std::atomic<bool>* cancel = nullptr;  // set to stop early
};

// A local optimum: the variables, in problem order, and how the design does.
struct Optimum {
  std::vector<double> values;
  Assessment assessment;
};

struct OptimiseResult {
  enum class Stop {
    NoImprovement,  // a round of local searches found nothing better
    Evaluations,    // max_evaluations used
    Time,           // max_seconds passed
    Cancelled
  };
  Stop stop = Stop::NoImprovement;
  bool found = false;          // some design ran; the rest is empty otherwise
  std::vector<double> values;  // the best design's variables, in problem order
  design::DesignInput design;  // the best design (feasible or least infeasible)
  Assessment best;
  Assessment start;  // the base design, for comparison
  // Up to three distinct local optima that meet the constraints, the best
  // first (the best is the result itself).
  std::vector<Optimum> optima;
  std::uint64_t evaluations = 0;
  double seconds = 0;

  bool Feasible() const { return found && best.Feasible(); }
};

// Searches `problem` (checked with CheckProblem first): a space-filling grid
// sample on the sweep engine with half the evaluations, then rounds of local
// constrained searches from the base design and the best sample points, on
// the continuous relaxation, each followed by searches over the continuous
// variables at the neighbouring values of the discrete ones. Stops when a
// round improves on nothing, on either budget, or when cancelled. The same
// problem, seed and budget give the same result on any number of threads,
// unless the search stops on time or is cancelled. What the progress
// callback throws stops the search and is rethrown once its threads have ended.
OptimiseResult Optimise(const OptimiseProblem& problem, const OptimiseOptions& options);

}  // namespace velmora::studies
