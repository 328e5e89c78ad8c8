#include "velmora/calc/validity.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "velmora/calc/calculation_state.h"
#include "velmora/calc/curves.h"

namespace velmora::calc {

namespace {

using Kind = ValidityNote::Kind;
using Problem = ValidityNote::Problem;

struct SiteName {
  std::string_view density;  // the flux density the look-up reads
  std::string_view target;   // the quantity it assigns
};

constexpr std::array<SiteName, kCurveSites> kSiteNames = {{
    {"BT1", "HT1"},
    {"BT2", "HT2"},
    {"BT2U", "HT2U"},
    {"BT2L", "HT2L"},
    {"BJ1", "HJ1"},
    {"BJ2", "HJ2"},
    {"BT10", "HT10"},
    {"BT20", "HT20"},
    {"BJ10", "HJ10"},
    {"BJ20", "HJ20"},
    {"pt1", "pt1"},
    {"pj1", "pj1"},
}};

void AddCurveMisses(const CalculationState& s, Validity& v) {
  for (int i = 0; i < kCurveSites; ++i) {
    const CurveLookup& lookup = s.lookups[i];
    if (!lookup.done || lookup.found) continue;
    // The two-section rotor has no single no-load tooth density: BT20 is the
    // unset BT2, and the procedure leaves that drop out on purpose.
    if (static_cast<CurveSite>(i) == CurveSite::BT20 && s.in.ZC.value == 4) continue;
    ValidityNote note;
    note.kind = lookup.B > kCurveLastB ? Kind::AboveCurve : Kind::BelowCurve;
    // No flux density, or one pointing backwards: the section it crosses is
    // not there (a yoke or tooth of negative size), not a density below the curve.
    if (!(lookup.B > 0)) {
      note.kind = Kind::Geometry;
      note.problem = Problem::DensityNotPositive;
    }
    note.quantity = kSiteNames[i].density;
    note.value = lookup.B;
    note.kept_name = kSiteNames[i].target;
    note.kept_set = lookup.kept_set;
    note.kept = lookup.kept;
    v.Add(note);
  }
}

struct Check {
  Validity& v;
  Kind kind;

  void Add(std::string_view name, double value, Problem problem, std::string_view other = {},
           double other_value = 0) {
    ValidityNote note;
    note.kind = kind;
    note.quantity = name;
    note.value = value;
    note.problem = problem;
    note.other = other;
    note.other_value = other_value;
    v.Add(note);
  }
  void Positive(std::string_view name, double value) {
    if (!(value > 0)) Add(name, value, Problem::NotPositive);
  }
  void NotNegative(std::string_view name, double value) {
    if (value < 0) Add(name, value, Problem::Negative);
  }
  void Whole(std::string_view name, double value) {
    if (std::isfinite(value) && std::floor(value) != value) Add(name, value, Problem::NotWhole);
  }
  // A computed quantity, when the run has come as far as setting it.
  void Positive(std::string_view name, const Quantity& q) {
    if (q.set) Positive(name, q.value);
  }
  void NotNegative(std::string_view name, const Quantity& q) {
    if (q.set) NotNegative(name, q.value);
  }
};

// An input and where the run keeps it.
struct InputRef {
  std::string_view name;
  InputNumber Inputs::*field;
};
#define VELMORA_INPUT(name) \
  InputRef { #name, &Inputs::name }

// Counts and dimensions the procedure needs positive.
constexpr InputRef kPositive[] = {
    VELMORA_INPUT(Un),   VELMORA_INPUT(f),    VELMORA_INPUT(Kfe), VELMORA_INPUT(Lo1),
    VELMORA_INPUT(Lo2),  VELMORA_INPUT(Pn),   VELMORA_INPUT(EFF), VELMORA_INPUT(Q1),
    VELMORA_INPUT(Q2),   VELMORA_INPUT(D1),   VELMORA_INPUT(DI1), VELMORA_INPUT(G),
    VELMORA_INPUT(B01),  VELMORA_INPUT(B02),  VELMORA_INPUT(SRR), VELMORA_INPUT(BS1),
    VELMORA_INPUT(BS2),  VELMORA_INPUT(HS12), VELMORA_INPUT(BR1), VELMORA_INPUT(BR2),
    VELMORA_INPUT(HR12), VELMORA_INPUT(L),    VELMORA_INPUT(A),   VELMORA_INPUT(Z),
    VELMORA_INPUT(JJ),   VELMORA_INPUT(DJJ),
};
// The lower section of the two-section rotor slot.
constexpr InputRef kPositiveTwoSection[] = {VELMORA_INPUT(BR3), VELMORA_INPUT(BR4),
                                            VELMORA_INPUT(HR3)};
// Thicknesses, heights, losses and the second wire, which may be 0.
constexpr InputRef kNotNegative[] = {
    VELMORA_INPUT(hw),  VELMORA_INPUT(si),  VELMORA_INPUT(DI2), VELMORA_INPUT(sk),
    VELMORA_INPUT(HS0), VELMORA_INPUT(HR0), VELMORA_INPUT(PS),  VELMORA_INPUT(PFW),
    VELMORA_INPUT(D),   VELMORA_INPUT(MM),  VELMORA_INPUT(DMM),
};
// Counts of slots, paths, conductors and strands.
constexpr InputRef kWhole[] = {VELMORA_INPUT(Q1), VELMORA_INPUT(Q2), VELMORA_INPUT(A),
                               VELMORA_INPUT(Z),  VELMORA_INPUT(JJ), VELMORA_INPUT(MM)};
#undef VELMORA_INPUT

void CheckInputs(const CalculationState& s, Validity& v) {
  const Inputs& in = s.in;
  Check c{v, Kind::Input};
  for (const InputRef& ref : kPositive) c.Positive(ref.name, (in.*ref.field).value);
  if (in.ZC.value == 4)
    for (const InputRef& ref : kPositiveTwoSection) c.Positive(ref.name, (in.*ref.field).value);
  if (in.CZN.value == 2) c.Positive("Y1", in.Y1.value);
  for (const InputRef& ref : kNotNegative) c.NotNegative(ref.name, (in.*ref.field).value);
  for (const InputRef& ref : kWhole) c.Whole(ref.name, (in.*ref.field).value);
  if (in.EFF.value >= 1) c.Add("EFF", in.EFF.value, Problem::NotBelowOne);
  if (in.Kfe.value > 1) c.Add("Kfe", in.Kfe.value, Problem::AboveOne);
  if (in.B01.value > in.BS1.value)
    c.Add("B01", in.B01.value, Problem::OpeningTooWide, "BS1", in.BS1.value);
  if (in.B02.value > in.BR1.value)
    c.Add("B02", in.B02.value, Problem::OpeningTooWide, "BR1", in.BR1.value);
  if (in.DI1.value >= in.D1.value)
    c.Add("DI1", in.DI1.value, Problem::NotInside, "D1", in.D1.value);
  if (in.DI2.value >= s.D2.value) c.Add("DI2", in.DI2.value, Problem::NotInside, "D2", s.D2.value);
  if (in.GGPph.value != 1) c.Add("GGPph", in.GGPph.value, Problem::NoSteelCurve);
}

struct ResultRef {
  std::string_view name;
  Quantity CalculationState::*quantity;
};
#define VELMORA_RESULT(name) \
  ResultRef { #name, &CalculationState::name }
// Resistances, losses, currents, slip, torques, slot fill, and HPXL, the
// depth of the bar section that carries the current at starting (negative
// when the skin depth ends within the slot's top part).
constexpr ResultRef kNotNegativeResults[] = {
    VELMORA_RESULT(R1),   VELMORA_RESULT(R2),  VELMORA_RESULT(R2ST1), VELMORA_RESULT(PCU1),
    VELMORA_RESULT(PCU2), VELMORA_RESULT(PFE), VELMORA_RESULT(IM),    VELMORA_RESULT(IM0),
    VELMORA_RESULT(I1),   VELMORA_RESULT(I2),  VELMORA_RESULT(SN),    VELMORA_RESULT(TMAX1),
    VELMORA_RESULT(IST),  VELMORA_RESULT(Ist), VELMORA_RESULT(TST1),  VELMORA_RESULT(SF),
    VELMORA_RESULT(HPXL),
};
// Slot permeances at rated load and at starting, and the leakage reactances
// at starting: a slot or a winding that leaks no flux, or less than none,
// leaves the reactances built on it without meaning. The starting permeance
// goes below zero when the saturation reduction of a narrow slot opening
// under a steep shoulder exceeds the opening's own permeance.
constexpr ResultRef kPositiveResults[] = {
    VELMORA_RESULT(SP1),   VELMORA_RESULT(SP2),   VELMORA_RESULT(SP1ST), VELMORA_RESULT(SP2ST),
    VELMORA_RESULT(X1ST1), VELMORA_RESULT(X2ST1), VELMORA_RESULT(XST1),
};
#undef VELMORA_RESULT

// Results at rated load and at starting that no motor can have.
void CheckResults(const CalculationState& s, Validity& v) {
  Check c{v, Kind::Result};
  if (!(s.EFF > 0)) c.Add("EFF", s.EFF, Problem::NotPositive);
  if (s.EFF >= 1) c.Add("EFF", s.EFF, Problem::NotBelowOne);
  if (!(s.PF > 0)) c.Add("PF", s.PF, Problem::NotPositive);
  if (s.PF > 1) c.Add("PF", s.PF, Problem::AboveOne);
  for (const ResultRef& ref : kNotNegativeResults) c.NotNegative(ref.name, s.*ref.quantity);
  for (const ResultRef& ref : kPositiveResults) c.Positive(ref.name, s.*ref.quantity);
  // Saturation of the tooth tips lowers the leakage at starting: KZ at most
  // 1. The leakage-flux curve's range 10 < BL <= 15 gives 1.23 to 2.38, and
  // the tooth-tip reductions Cs1 and Cs2 then come out negative.
  if (s.KZ.set && s.KZ > 1) c.Add("KZ", s.KZ, Problem::LeakageFactorAboveOne, "BL", s.BL);
}

// Derived dimensions the procedure uses as flux paths, conductor and slot
// sections, or divides by: each must be there for the lamination to exist.
void CheckGeometry(const CalculationState& s, Validity& v) {
  const Inputs& in = s.in;
  Check c{v, Kind::Geometry};
  c.Positive("D2", s.D2);
  // Stator slot: lip, body and the tooth between two slots.
  c.NotNegative("HS1", s.HS1);
  c.Positive("HS2", s.HS2);
  if (s.BT1W.set) c.Positive("BT1W", s.narrowest.BT1W);
  if (s.T1.set && !(in.B01.value < s.T1))
    c.Add("B01", in.B01.value, Problem::OpeningTooWide, "T1", s.T1);
  // The round wire goes into the slot through its opening, one at a time.
  const double wire = std::max(in.DJJ + WireAllowance(in.DJJ),
                               in.MM.value > 0 ? in.DMM + WireAllowance(in.DMM) : 0.0);
  if (in.B01.value > 0 && !(in.B01.value > wire))
    c.Add("B01", in.B01.value, Problem::OpeningTooNarrow, "d", wire);
  c.Positive("AE", s.AE);
  if (s.SF > 1) c.Add("SF", s.SF, Problem::Overfull);
  c.Positive("HJ11", s.HJ11);
  // Rotor slot, its tooth (two sections for the two-section slot) and yoke.
  c.NotNegative("HR1", s.HR1);
  c.Positive("HR2", s.HR2);
  if (s.BT2W.set) c.Positive("BT2W", s.narrowest.BT2W);
  if (s.BT2UW.set) c.Positive("BT2UW", s.narrowest.BT2UW);
  if (s.BT2LW.set) c.Positive("BT2LW", s.narrowest.BT2LW);
  if (s.T2.set && !(in.B02.value < s.T2))
    c.Add("B02", in.B02.value, Problem::OpeningTooWide, "T2", s.T2);
  c.Positive("HJ21", s.HJ21);
  c.Positive("SBN", s.SBN);
  c.Positive("Dr", s.Dr);
  // Carter's coefficient turns negative when the opening is wide against
  // the gap: the effective gap has no meaning then.
  c.Positive("KC1", s.KC1);
  c.Positive("KC2", s.KC2);
}

// A count when `x` is a whole number that fits one.
std::optional<long long> WholeCount(double x) {
  if (!(x >= 1 && x <= 1e9) || std::floor(x) != x) return std::nullopt;
  return static_cast<long long>(x);
}

// Whether the winding can be wound: whole conductors in each layer, parallel
// paths that divide the coil groups, the same slots for each of three phases,
// a pitch within the pole pitch. The run has refused CZN other than 1 or 2
// and P other than an even number.
void CheckWinding(const CalculationState& s, Validity& v) {
  const Inputs& in = s.in;
  Check c{v, Kind::Winding};
  const bool double_layer = in.CZN.value == 2;
  const std::optional<long long> P = WholeCount(in.P.value), Q1 = WholeCount(in.Q1.value);
  const std::optional<long long> Z = WholeCount(in.Z.value), A = WholeCount(in.A.value);
  if (!P) return;
  if (double_layer && Z && *Z % 2 != 0) c.Add("Z", in.Z.value, Problem::OddConductors);
  // A double-layer winding has P coil groups a phase, a single-layer one P/2.
  const long long groups = double_layer ? *P : *P / 2;
  if (A && groups % *A != 0)
    c.Add("A", in.A.value, Problem::PathsDoNotDivide, "", static_cast<double>(groups));
  if (!Q1) return;
  if (*Q1 % (3 * std::gcd(*Q1, *P / 2)) != 0) c.Add("Q1", in.Q1.value, Problem::Asymmetric);
  if (double_layer) {
    const double full_pitch = in.Q1.value / in.P.value;
    c.Whole("Y1", in.Y1.value);
    if (in.Y1.value < 1 || in.Y1.value > full_pitch)
      c.Add("Y1", in.Y1.value, Problem::PitchOutOfRange, "", full_pitch);
  } else if (*Q1 % (3 * *P) != 0) {
    c.Add("Q1", in.Q1.value, Problem::FractionalSlots, "", in.Q1.value / (3 * in.P.value));
  }
}

}  // namespace

void Validity::Add(const ValidityNote& note) {
  if (count_ < notes_.size()) notes_[count_++] = note;
}

bool Validity::Trustworthy() const {
  return std::none_of(notes().begin(), notes().end(),
                      [](const ValidityNote& note) { return note.Untrustworthy(); });
}

bool Validity::AnyAboveCurve() const {
  return std::any_of(notes().begin(), notes().end(),
                     [](const ValidityNote& note) { return note.kind == Kind::AboveCurve; });
}

bool Validity::AnyImplausible() const {
  return std::any_of(notes().begin(), notes().end(), [](const ValidityNote& note) {
    return note.kind == Kind::Input || note.kind == Kind::Result;
  });
}

bool Validity::AnyUnbuildable() const { return Count(Kind::Geometry) + Count(Kind::Winding) > 0; }

int Validity::Count(Kind kind) const {
  return static_cast<int>(std::count_if(
      notes().begin(), notes().end(), [&](const ValidityNote& note) { return note.kind == kind; }));
}

bool Validity::ImplausibleResult(std::string_view name) const {
  return std::any_of(notes().begin(), notes().end(), [&](const ValidityNote& note) {
    return note.kind == Kind::Result && note.quantity == name;
  });
}

bool StartingResultNote(const ValidityNote& note) {
  static constexpr std::string_view kStarting[] = {
      "KZ", "SP1ST", "SP2ST", "X1ST1", "X2ST1", "XST1", "HPXL", "R2ST1", "IST", "Ist", "TST1"};
  return note.kind == Kind::Result &&
         std::ranges::find(kStarting, note.quantity) != std::end(kStarting);
}

bool Validity::ImplausibleStarting() const {
  return std::any_of(notes().begin(), notes().end(), StartingResultNote);
}

bool Validity::TrustworthyAtRatedLoad() const {
  return std::all_of(notes().begin(), notes().end(), [](const ValidityNote& note) {
    return !note.Untrustworthy() || StartingResultNote(note);
  });
}

Validity AssessValidity(const CalculationState& state) {
  Validity v;
  AddCurveMisses(state, v);
  CheckInputs(state, v);
  CheckResults(state, v);
  CheckGeometry(state, v);
  CheckWinding(state, v);
  return v;
}

}  // namespace velmora::calc
