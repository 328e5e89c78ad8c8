// Counts, on random variations of the example designs, the designs whose
// check verdict the buildability rules decide: impossible geometry (a yoke,
// tooth or slot of no size, slot fill above 1, a flux density that is not
// positive), windings that cannot be wound, and impossible leakage (slot
// permeances and starting reactances not positive, the leakage saturation
// factor above 1). Each design is checked twice on the same run: with its
// whole validity record, and with the record as it reads without those rules
// (a density that is not positive then counts as one below the curve, a
// note only).
//
//   rule_changes [--count N] [--seed S] [--examples DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "random_variants.h"
#include "velmora/calc/calculation.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/calc/validity.h"
#include "velmora/studies/design_check.h"

namespace {

namespace calc = velmora::calc;
namespace studies = velmora::studies;
using Kind = calc::ValidityNote::Kind;
using Problem = calc::ValidityNote::Problem;

// The leakage results the record now holds to be positive (KZ: at most 1).
bool LeakageNote(const calc::ValidityNote& note) {
  constexpr std::string_view kLeakage[] = {"KZ",    "SP1",   "SP2",  "SP1ST", "SP2ST",
                                           "X1ST1", "X2ST1", "XST1", "HPXL"};
  return note.kind == Kind::Result &&
         std::find(std::begin(kLeakage), std::end(kLeakage), note.quantity) != std::end(kLeakage);
}

// The record without the buildability rules.
calc::Validity WithoutBuildability(const calc::Validity& validity) {
  calc::Validity before;
  for (calc::ValidityNote note : validity.notes()) {
    if (note.kind == Kind::Geometry && note.problem == Problem::DensityNotPositive) {
      note.kind = Kind::BelowCurve;
      note.problem = Problem::None;
    } else if (note.kind == Kind::Geometry || note.kind == Kind::Winding || LeakageNote(note)) {
      continue;
    }
    before.Add(note);
  }
  return before;
}

enum class Verdict { Pass, Fail, Untrusted };

Verdict VerdictOf(const studies::DesignCheck& check) {
  if (!check.Trustworthy()) return Verdict::Untrusted;
  return check.AnyFailed() ? Verdict::Fail : Verdict::Pass;
}

const char* VerdictName(Verdict v) {
  switch (v) {
    case Verdict::Pass:
      return "passed";
    case Verdict::Fail:
      return "failed";
    case Verdict::Untrusted:
      return "untrustworthy";
  }
  return "";
}

// What made a design unbuildable: the first new note's kind and problem.
std::string FirstReason(const calc::Validity& validity) {
  for (const calc::ValidityNote& note : validity.notes()) {
    if (note.kind == Kind::Winding) return "winding " + std::string(note.quantity);
    if (note.kind == Kind::Geometry) {
      if (note.problem == Problem::DensityNotPositive) return "flux density not positive";
      if (note.problem == Problem::Overfull) return "slot fill above 1";
      return "geometry " + std::string(note.quantity);
    }
    if (LeakageNote(note)) return "leakage " + std::string(note.quantity);
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  long count = 20000;
  unsigned long long seed = 1;
  std::string folder = VELMORA_EXAMPLES_DIR;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string_view option = argv[i];
    if (option == "--count")
      count = std::atol(argv[i + 1]);
    else if (option == "--seed")
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    else if (option == "--examples")
      folder = argv[i + 1];
  }
  std::vector<velmora::bench::Example> examples = velmora::bench::ReadExamples(folder);
  std::mt19937_64 rng(seed);
  studies::CheckOptions options;
  options.check_class = false;  // the rules alone, not the class the examples miss
  calc::CalculationState state;
  calc::CalculationFault fault;
  long computed = 0, changed = 0, unbuildable = 0;
  std::map<std::pair<Verdict, Verdict>, long> moves;
  std::map<std::string, long> reasons;
  for (long i = 0; i < count; ++i) {
    velmora::bench::Variant variant = velmora::bench::MakeVariant(rng, examples);
    velmora::design::DesignInput input = velmora::bench::Apply(variant, examples);
    if (!calc::Calculate(input, state, fault)) continue;
    ++computed;
    calc::Validity now = calc::AssessValidity(state);
    Verdict after = VerdictOf(studies::CheckDesign(input, state, now, options));
    Verdict before =
        VerdictOf(studies::CheckDesign(input, state, WithoutBuildability(now), options));
    if (now.AnyUnbuildable()) ++unbuildable;
    if (after == before) continue;
    ++changed;
    ++moves[{before, after}];
    ++reasons[FirstReason(now)];
  }
  std::printf("variants %ld (seed %llu), computed %ld, unbuildable %ld\n", count, seed, computed,
              unbuildable);
  std::printf("verdict changed by the buildability rules: %ld\n", changed);
  for (const auto& [move, n] : moves)
    std::printf("  %s -> %s: %ld\n", VerdictName(move.first), VerdictName(move.second), n);
  std::printf("first reason:\n");
  for (const auto& [reason, n] : reasons) std::printf("  %s: %ld\n", reason.c_str(), n);
  return 0;
}
