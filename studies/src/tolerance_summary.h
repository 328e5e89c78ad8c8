// The sums of a tolerance analysis: yields, spreads, rank correlations and
// the test against the declared efficiency.
#pragma once

#include "velmora/studies/tolerance.h"

namespace velmora::studies {

// Fills in everything of `result` that its samples give, against the run of
// the nominal design `nominal`, on up to `threads` threads; sets each
// sample's within_test_tolerance.
void Summarise(const CalculationState& nominal, unsigned threads, ToleranceResult& result);

}  // namespace velmora::studies
