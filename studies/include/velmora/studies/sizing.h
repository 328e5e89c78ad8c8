// A new motor from its rating: the first sizing by the classical method
// (frame, main dimensions from the output coefficient and the loadings, slots,
// winding, conductors, slot shapes, air gap, cage, losses and targets), then
// the optimiser refining it within a band around each sized dimension.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/engine.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/thermal.h"

namespace velmora::studies {

// A rating that cannot be sized as asked; the message (Chinese) names the
// value at fault.
class SizingError : public Error {
 public:
  using Error::Error;
};

// What the motor must be.
struct Rating {
  double Pn = 0;    // kW, 0.55 to 90
  int P = 4;        // poles: 2, 4 or 6
  double Un = 380;  // V, the winding's phase voltage as the procedure takes it (delta)
  double f = 50;    // Hz; the tables are for 50 Hz
  // The efficiency class the design must reach (empty: the legal minimum of
  // the rating) and the insulation class whose rise limit it must keep
  // (empty: the rise is not held to a limit).
  std::optional<EfficiencyClass> required_class;
  std::optional<InsulationClass> insulation = InsulationClass::B;
  // Targets given instead of the usual ones, by input name: one of
  // kSizingTargets ("EFF" per unit, "IST" times rated current, ...).
  std::vector<std::pair<std::string, double>> targets;
};

// The targets a rating may give in place of the usual ones.
inline constexpr std::array<std::string_view, 6> kSizingTargets = {"EFF", "PF", "IST",
                                                                   "TST", "TM", "SF0"};

// One choice of the sizing, in the order made: what was chosen, its value
// as text, and why (one line, Chinese).
struct SizingStep {
  std::string name;  // "H", "D1", "DI1", "L", "Q1/Q2", "Z", ...
  std::string value;
  std::string reason;
};

struct Sizing {
  design::DesignInput design;  // all 60 inputs, a complete design
  std::vector<SizingStep> steps;
  int H = 0;           // the centre height chosen, mm
  int standard_H = 0;  // the centre height the frame table assigns to the rating
  std::string frame;   // "132S": the centre height and the core length letter
  // What lies outside the tables (another frequency, ...), Chinese.
  std::vector<std::string> notes;
};

// The centre height, mm, that the frame table assigns to Pn kW at P poles:
// the frame of the smallest rating in the table at or above Pn; empty when
// the table has none (Pn outside 0.55–90 kW, P not 2, 4 or 6).
std::optional<int> StandardFrame(double Pn, int P);
// The centre heights of the table, ascending.
std::vector<int> FrameHeights();
// The ratings of the frame table (Pn and P set, the rest as Rating's
// defaults), by poles and then output.
std::vector<Rating> TableRatings();

// Refuses a rating the tables cannot size: Pn, P, Un or f out of range, a
// target not of kSizingTargets or not a plausible value. Throws SizingError.
void CheckRating(const Rating& rating);

// Sizes `rating` in the frame of centre height `H` (0: the standard frame),
// then runs the design and corrects Z, the slot and the cage a few times so
// that the computed densities and slot fill meet their aims. Throws
// SizingError for a rating CheckRating refuses or an H not of FrameHeights.
Sizing SizeDesign(const Rating& rating, int H = 0);

// The check a rating asks for: its class and insulation, with `thermal`.
CheckOptions CheckOptionsFor(const Rating& rating, const ThermalData& thermal);

// The sized design, refined by the optimiser and checked.
struct NewDesign {
  Sizing sized;
  DesignCheck sized_check;
  std::optional<OptimiseResult> refined;  // empty when not asked to optimise
  design::DesignInput design;             // the refined design, or the sized one
  DesignCheck check;                      // of `design`
  bool ran = false;                       // `design` ran without fault
  bool passed = false;                    // it ran and `check` has no failed rule
  // Frames tried before this one whose designs did not pass, with why (Chinese).
  std::vector<std::pair<int, std::string>> frames_tried;
};

// The refinement's evaluations unless told otherwise: under four seconds a
// rating of the frame table on two threads.
inline constexpr std::uint64_t kNewDesignEvaluations = 200'000;

struct NewDesignOptions {
  bool optimise = true;
  OptimiseOptions run;  // budgets, threads, cancel, progress
  design::MaterialPrices prices;
  ThermalData thermal;
  // The share of each sized dimension the optimiser may move it by (±).
  double band = 0.3;
  // Up to so many larger frames are tried when the standard one's refined
  // design does not pass (none without optimising: a first sizing alone
  // seldom passes).
  int larger_frames = 1;
};

// The optimisation of a sized design: L, DI1, Z, A, the wire, the stator and
// rotor slots (with the rotor slot opening and bridge, and the lower section
// BR3, BR4, HR3 of a two-section slot), the air gap and the end ring within
// ±`band` of their sized values; the core may grow by twice and the bar (and
// a lower section) deepen by three times the band, the bridge up to twice its
// height (2 mm at most). At least cost, the targets with the check's
// tolerances, the class and insulation of `rating` as constraints.
OptimiseProblem RefineProblem(const Sizing& sized, const Rating& rating,
                              const NewDesignOptions& options);

// Sizes the rating in its standard frame, refines and checks it; when the
// result does not pass, tries the next larger frames. Throws SizingError as
// SizeDesign does.
NewDesign DesignFromRating(const Rating& rating, const NewDesignOptions& options);

}  // namespace velmora::studies
