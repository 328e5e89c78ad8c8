// The cost–efficiency front of a design problem by the ε-constraint method:
// the cheapest design, the most efficient one, and between them the
// cheapest design at each of evenly spaced efficiency levels.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "velmora/studies/optimise.h"

namespace velmora::studies {

// The number of efficiency levels a front may be asked for.
inline constexpr int kMinFrontPoints = 2, kMaxFrontPoints = 50;

struct FrontOptions {
  int points = 12;      // efficiency levels, kMinFrontPoints..kMaxFrontPoints
  OptimiseOptions run;  // for each of the searches
  // Called after each search with the number of searches done; a front of
  // N points takes N searches.
  std::function<void(int searches)> searched;
};

struct Front {
  // Non-dominated designs, cost and efficiency rising together; the first
  // is the cheapest design found. Empty when no design meets the constraints.
  std::vector<Optimum> points;
  OptimiseResult::Stop stop = OptimiseResult::Stop::NoImprovement;  // of the last search
  Assessment start;  // the base design, for comparison
  std::uint64_t evaluations = 0;
  double seconds = 0;
};

// Searches `problem` (its objective ignored) for the cheapest and the most
// efficient designs, then for the cheapest with EFF at least each level
// between theirs, each search starting from the answer of the level below.
// Throws OptimiseError for a problem CheckProblem refuses or a number of
// points outside the range. A cancelled search ends the front where it is.
Front FindFront(const OptimiseProblem& problem, const FrontOptions& options);

// The points of `candidates` no other is at least as cheap and as efficient
// as (and better in one), by rising cost; of equal designs the first.
std::vector<Optimum> NonDominated(std::vector<Optimum> candidates);

}  // namespace velmora::studies
