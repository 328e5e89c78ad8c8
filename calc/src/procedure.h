// Shared frame of the calculation stages: item markers, fault detection and
// the small arithmetic helpers the formulas use.
#pragma once

#include <cfenv>
#include <cmath>
#include <optional>
#include <string>

#if defined(__x86_64__) && defined(__GNUC__)
#include <xmmintrin.h>
#define VELMORA_X86_FLAGS 1
#endif

#include "velmora/calc/calculation.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

inline double sq(double x) { return x * x; }

constexpr int kFaultFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

// The floating-point flags without the library calls: the x87 status word
// and the SSE control/status register hold them at the bits of FE_*, and
// std::fetestexcept and std::feclearexcept work on both.
#ifdef VELMORA_X86_FLAGS
static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08 &&
              (FE_ALL_EXCEPT & ~0x3f) == 0);

inline unsigned X87StatusWord() {
  unsigned short word;
  asm volatile("fnstsw %0" : "=a"(word) : : "memory");
  return word;
}
#endif

// std::fetestexcept(kFaultFlags), read in place.
inline int RaisedFaultFlags() {
#ifdef VELMORA_X86_FLAGS
  unsigned x87 = X87StatusWord();
  asm volatile("" : : : "memory");
  return static_cast<int>((x87 | _mm_getcsr()) & kFaultFlags);
#else
  return std::fetestexcept(kFaultFlags);
#endif
}

// std::feclearexcept(FE_ALL_EXCEPT). Nothing in the run touches the x87 unit
// but an overflow raised by hand, so its flags are nearly always clear and
// only the SSE register needs writing.
inline void ClearAllFlags() {
#ifdef VELMORA_X86_FLAGS
  if (X87StatusWord() & FE_ALL_EXCEPT) {
    std::feclearexcept(FE_ALL_EXCEPT);
    return;
  }
  unsigned csr = _mm_getcsr();
  if (csr & FE_ALL_EXCEPT) _mm_setcsr(csr & ~static_cast<unsigned>(FE_ALL_EXCEPT));
#else
  std::feclearexcept(FE_ALL_EXCEPT);
#endif
}

// Thrown when a text input is used as a number.
struct TypeMismatch {
  int index;
};

// Thrown to end a run; carries the finished fault.
struct RunStopped {
  CalculationFault fault;
};

// Tracks the procedure item being computed and ends the run at the first
// floating-point fault. In the fast mode the flags are tested only at the
// loop tests and at the end; when a fault turns up, the run is repeated in
// the fine mode, which tests after every item and so names the item. Only
// the fine mode's outcome names a floating-point fault: a fast run that
// raised any flag is repeated whatever it stopped on, so its loop tests
// merely stop a run early and read the flags the quick way.
class Procedure {
 public:
  Procedure(CalculationState& state, bool fine) : s(state), fine_(fine) {}

  // Marks the start of an item; in the fine mode, first makes sure the
  // previous item ended without a fault.
  void Item(const char* number, const char* title) {
    if (fine_) Check();
    item_ = number;
    title_ = title;
  }

  // Ends the run if a floating-point fault has happened since the run began.
  void Check() const {
    int raised = std::fetestexcept(kFaultFlags);
    if (raised) StopForFlags(raised);
  }
  // Check() at the test of a loop.
  void CheckAtLoopTest() const {
    if (fine_) return Check();
    if (int raised = RaisedFaultFlags()) StopForFlags(raised);
  }

  [[noreturn]] void StopForFlags(int raised) const;
  [[noreturn]] void StopTypeMismatch(int index) const;
  // An iteration that failed its last test after `passes` passes, or that
  // repeats itself every `period` passes (0: it reached its pass limit).
  [[noreturn]] void StopNoConvergence(const char* name, double estimate, double value,
                                      long period) const;
  [[noreturn]] void Stop(CalculationFault::Kind kind, const std::string& what) const;
  // Advice on the input EFF when the efficiency loops fail far from it.
  std::string EfficiencyStartAdvice(const char* name) const;
  std::string LeakageStepAdvice(const char* name, double estimate, double value) const;
  static constexpr double kFarFromComputedEfficiency = 0.02;

  CalculationState& s;
  // The output of the full-load stage in per unit of the rated output, and
  // the efficiency its inner loop restarts from (unset: the input EFF).
  double k = 1;
  std::optional<double> EFF_start;
  // The starting stage at slip `slip` (1: standstill), the rotor frequency
  // slip·f; without skin effect rr0 = xx0 = 1, without leakage saturation KZ = 1.
  double slip = 1;
  bool skin_effect = true, leakage_saturation = true;

 private:
  bool fine_;
  const char* item_ = "";
  const char* title_ = "";
};

// Runs `stage` on the state `prepare` sets up, the way every run goes: fast,
// then again in the fine mode when a floating-point flag was raised, to name
// its item. Returns false with the fault of the run.
template <class Prepare, class Stage>
bool RunStages(CalculationState& state, CalculationFault& fault, Prepare prepare, Stage stage) {
  for (bool fine : {false, true}) {
    prepare(state);
    ClearAllFlags();
    Procedure r(state, fine);
    try {
      try {
        stage(r);
        r.Check();
        return true;
      } catch (const TypeMismatch& mismatch) {
        r.StopTypeMismatch(mismatch.index);
      }
    } catch (const RunStopped& stopped) {
      fault = stopped.fault;
    }
    // Without a floating-point fault on the way, the fault found in the fast
    // mode already names its item; only a flag needs the fine mode to place it.
    if (!std::fetestexcept(kFaultFlags)) break;
  }
  ClearAllFlags();
  return false;
}

// RunStages on a copy of `start`.
template <class Stage>
bool RunFrom(const CalculationState& start, CalculationState& state, CalculationFault& fault,
             Stage stage) {
  return RunStages(
      state, fault, [&start](CalculationState& s) { s = start; }, stage);
}

// ToInputs, written straight into the run's state: every member of every
// input is assigned.
void ReadInputs(const design::DesignInput& input, Inputs& in);

// Whether two states hold the same value, bit for bit, and the same set flag
// in every quantity. Inputs and pass counts are left out.
bool SameQuantities(const CalculationState& a, const CalculationState& b);

// The passes of one entry into an iteration. Ends the run when the iteration
// cannot converge: when it has used its kPassLimit passes, or as soon as a
// pass ends in the very state that an earlier pass of this entry ended in.
// Every value a pass reads is in the state (the estimate, and the values that
// a look-up off the curve keeps from an earlier pass), so from a repeated
// state the same passes follow for ever and the test fails in each of them.
// Repeats are sought from the kFirstSnapshot-th pass on (Brent's method: a
// snapshot at passes 16, 32, 64, ..., compared after every pass), which costs
// nothing on the designs that converge in fewer passes.
class IterationGuard {
 public:
  IterationGuard(Procedure& r, const char* name) : r_(r), name_(name) {}

  // Counts the start of a pass.
  void Pass() { ++passes_; }
  long passes() const { return passes_; }

  // Before a failed convergence test moves the estimate on.
  void NextPassAllowed(double estimate, double value) {
    if (passes_ >= kPassLimit) r_.StopNoConvergence(name_, estimate, value, 0);
    if (passes_ < kFirstSnapshot) return;
    if (snapshot_ && SameQuantities(*snapshot_, r_.s))
      r_.StopNoConvergence(name_, estimate, value, passes_ - snapshot_at_);
    if (passes_ == next_snapshot_) {
      snapshot_ = r_.s;
      snapshot_at_ = passes_;
      next_snapshot_ *= 2;
    }
  }

 private:
  static constexpr long kFirstSnapshot = 16;
  Procedure& r_;
  const char* name_;
  long passes_ = 0;
  std::optional<CalculationState> snapshot_;  // built at the first snapshot only
  long snapshot_at_ = 0;
  long next_snapshot_ = kFirstSnapshot;
};

// One set of tooth and yoke flux densities (full load or no load) and what
// they give: field strengths, yoke coefficients and magnetic voltage drops.
struct OperatingPoint {
  CurveSite siteT1, siteT2, siteJ1, siteJ2;
  Quantity &BT1, &BT2, &BJ1, &BJ2;
  SingleQuantity &HT1, &HT2, &HJ1, &HJ2;
  Quantity &CJ1, &CJ2;
  Quantity &FT1, &FT2, &FJ1, &FJ2;
};

// Looks up `curve` at flux density B into `target` (kept as it was when B
// lies off the curve) and records the look-up as the last one at `site`. A
// field strength is the curve's times the run's HTAB_factor, untouched at 1.
inline void LookUp(CalculationState& s, CurveSite site, double B, SteelCurve curve,
                   SingleQuantity& target) {
  CurveLookup& record = s.lookups[static_cast<int>(site)];
  record.B = B;
  record.done = true;
  float value = 0;
  record.found = LookupSteelCurve(B, curve, value);
  if (record.found && curve == SteelCurve::FieldStrength && s.HTAB_factor != 1)
    value = NarrowToSingle(value * s.HTAB_factor);
  if (record.found) {
    target = value;
  } else {
    record.kept_set = target.set;
    record.kept = target.value;
  }
}

// Looks up the tooth field strengths of `p` (steel grade 1 only) and gives
// its tooth drops. With a two-section rotor slot the rotor tooth is left to
// the caller.
void ToothDrops(CalculationState& s, const OperatingPoint& p, bool two_section_rotor);
// Looks up the yoke field strengths of `p` (steel grade 1 only) and gives its
// yoke coefficients and yoke drops.
void YokeDrops(CalculationState& s, const OperatingPoint& p);

// The stages, in the order of the run.
void CheckSelectors(Procedure& r);
void RatedDataAndWinding(Procedure& r);  // items 1 to 21, slot dimensions
void MagneticGeometry(Procedure& r);     // tooth, yoke and gap geometry, bar areas
void EndWindingGeometry(Procedure& r);   // items 44 and 45
void FullLoadPerformance(Procedure& r);  // the KE0 and EFF0 loops, items 22 to 97
// Items 22 to 43 for the current KE0; the first call works out the start
// value of FT0 (item 26.1) into FT0_start, and later calls take it from there.
void FluxStage(Procedure& r, std::optional<double>& FT0_start);
// Items 47 to 63; on a later outer pass only those that follow FT.
void Parameters(Procedure& r, bool first_pass);
void StartingPerformance(Procedure& r);  // items 98 to 118
// The IST1 loop of the starting stage (items 99 to 117.1) from the estimate
// in IST1, each pass taking its current IST from `current`.
void StartingCurrentLoop(Procedure& r, double (*current)(const Procedure& r));

// Shared pieces of the rotor slot permeances, used at full load and at starting.
// Permeance of the tapered lip below the rotor slot opening: 2·HR1/(BR1 + B02).
double RotorLipPermeance(const CalculationState& s);
// A trapezoidal body of coefficient KT, height ratio HW and width ratio W,
// under the lip: 4·KT·HW/(1 + W)² + lip.
double TaperedSlotPermeance(double KT, double HW, double W, const CalculationState& s);
// The two-section slot body down to a lower section of coefficient KTL, height
// hl, bottom width bl and area sl, out of a bar area `total`, plus the lip.
double TwoSectionBodyPermeance(double KTL, double hl, double bl, double sl, double total,
                               const CalculationState& s);

}  // namespace velmora::calc
