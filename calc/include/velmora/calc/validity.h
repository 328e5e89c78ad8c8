// What the results of a run can be trusted for. The procedure computes on
// where a flux density lies off the steel curve (the look-up keeps an earlier
// value or 0) and where inputs or results cannot describe a motor; the run
// records such places so that every display can say so. Nothing here changes
// a computed value.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace velmora::calc {

struct CalculationState;

// The steel-curve look-ups of a run, each named by what it reads: the field
// strength at a flux density (BT1 gives HT1, ...), or the specific iron loss
// (pt1 at BT10, pj1 at BJ10).
enum class CurveSite { BT1, BT2, BT2U, BT2L, BJ1, BJ2, BT10, BT20, BJ10, BJ20, pt1, pj1 };
constexpr int kCurveSites = 12;

// The last look-up made at one site: in a finished run, the look-up of the
// final pass, whose values the report prints.
struct CurveLookup {
  double B = 0;       // the flux density looked up
  bool done = false;  // the run looked up at this site
  bool found = false;
  bool kept_set = false;  // on a miss: whether the target had a value to keep
  float kept = 0;         // and that value (from an earlier pass)
};
using CurveLookups = std::array<CurveLookup, kCurveSites>;

// The narrowest width of each tooth section, at the slot lip or at the slot
// bottom: the calculation width of a tapered tooth hides a tooth that closes
// at one end. Recorded by the geometry stage; 0 where a section is absent.
struct NarrowestTeeth {
  double BT1W = 0;
  double BT2W = 0;   // rotor tooth of slot shapes 1 to 3
  double BT2UW = 0;  // two-section rotor slot: upper section
  double BT2LW = 0;  // and lower section
};

// One place where the results cannot be taken at face value.
struct ValidityNote {
  enum class Kind {
    BelowCurve,  // flux density at or below the curve's first point: a small drop left out
    AboveCurve,  // flux density above the curve's last point: results not trustworthy
    Input,       // an input that cannot describe a motor
    Result,      // a result that cannot be physical
    Geometry,    // a derived dimension no lamination can have: the motor cannot be built
    Winding      // a winding that cannot be wound
  };
  enum class Problem {
    None,
    NotPositive,       // zero or negative where a positive value is needed
    Negative,          // negative where zero or more is needed
    NotWhole,          // a count that is not a whole number
    OpeningTooWide,    // slot opening wider than its slot (`other` names the slot width)
    OpeningTooNarrow,  // stator slot opening no wider than the insulated wire (`other_value`)
    NotInside,         // a diameter not inside the one that holds it (`other`)
    NotBelowOne,       // an efficiency, stacking factor or power factor of 1 or more
    AboveOne,          // a power factor above 1
    NoSteelCurve,      // GGPph not 1: no curve, every drop and iron loss counts as 0
    // Geometry
    DensityNotPositive,  // a flux density of 0 or below at a look-up: a section that is not there
    Overfull,            // slot fill above 1: the conductors do not fit the slot
    // Winding
    OddConductors,          // double layer with an odd number of conductors per slot
    PathsDoNotDivide,       // parallel paths that do not divide the coil groups (`other_value`)
    Asymmetric,             // slots that cannot be shared out evenly among three phases
    PitchOutOfRange,        // double-layer pitch below 1 or above the full pitch (`other_value`)
    FractionalSlots,        // single layer with a fractional number of slots per pole and phase
    LeakageFactorAboveOne,  // starting leakage saturation factor KZ above 1 (`other` BL)
  };

  Kind kind = Kind::Input;
  std::string_view quantity;  // "BT1", "pt1", "Z", "EFF"
  double value = 0;           // the flux density, input or result
  Problem problem = Problem::None;
  std::string_view other;  // the quantity compared with, for OpeningTooWide and NotInside
  double other_value = 0;
  // Curve misses: what the looked-up quantity kept instead.
  std::string_view kept_name;  // "HT1", "pt1"
  bool kept_set = false;
  double kept = 0;

  bool Untrustworthy() const { return kind != Kind::BelowCurve; }
};

// Every note of one run, in a fixed order: curve misses, inputs, results,
// geometry, winding.
class Validity {
 public:
  static constexpr int kCapacity = 64;

  std::span<const ValidityNote> notes() const& { return {notes_.data(), count_}; }
  // The notes live in the record: a temporary's would dangle.
  std::span<const ValidityNote> notes() const&& = delete;
  bool Trustworthy() const;
  bool AnyAboveCurve() const;
  bool AnyImplausible() const;
  // Whether the motor cannot be built: impossible geometry or an unwindable winding.
  bool AnyUnbuildable() const;
  // How many notes of `kind` the record holds.
  int Count(ValidityNote::Kind kind) const;
  // Whether the result called `name` is itself recorded as impossible.
  bool ImplausibleResult(std::string_view name) const;
  // Whether a result of the starting calculation (leakage saturation, slot
  // permeances and reactances at starting, the starting current and torque) is impossible.
  bool ImplausibleStarting() const;
  // Whether the rated-load results stand: every untrustworthy note, if any,
  // is about a starting result alone.
  bool TrustworthyAtRatedLoad() const;

  void Add(const ValidityNote& note);

 private:
  std::array<ValidityNote, kCapacity> notes_{};
  std::size_t count_ = 0;
};

// The curve range, for messages.
// Whether `note` is about a result of the starting calculation alone.
bool StartingResultNote(const ValidityNote& note);

constexpr double kCurveFirstB = 0.50, kCurveLastB = 1.89;

// Assesses a run: the curve look-ups of its final passes and, for a finished
// run, the plausibility of its inputs and results. No allocation.
Validity AssessValidity(const CalculationState& state);

}  // namespace velmora::calc
