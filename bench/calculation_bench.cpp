// Time of the pure calculation of one design, for each example (no file I/O),
// and of variants whose iterations cycle until the run stops them.
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/calc/calculation.h"
#include "velmora/design/design_input.h"
#include "velmora/design/input_file.h"

namespace {

velmora::design::DesignInput ReadExample(const char* example) {
  return velmora::design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/" + example +
                                          ".txt");
}

void Run(benchmark::State& bench, const velmora::design::DesignInput& input) {
  velmora::calc::CalculationState state;
  velmora::calc::CalculationFault fault;
  for (auto _ : bench) {
    bool ok = velmora::calc::Calculate(input, state, fault);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(state);
  }
}

void BM_Calculate(benchmark::State& bench, const char* example) {
  Run(bench, ReadExample(example));
}

// An example with one input changed so that an iteration cycles: the run ends
// in a no-convergence fault once the cycle is found.
void BM_CalculateCycling(benchmark::State& bench, const char* example, int field, double value) {
  auto input = ReadExample(example);
  velmora::design::SetNumber(input, field, value);
  velmora::calc::CalculationState state;
  velmora::calc::CalculationFault fault;
  if (velmora::calc::Calculate(input, state, fault) ||
      fault.kind != velmora::calc::CalculationFault::Kind::NoConvergence) {
    bench.SkipWithError("the variant does not end in a no-convergence fault");
    return;
  }
  Run(bench, input);
}

BENCHMARK_CAPTURE(BM_Calculate, Y132S_4_5_5kW, "Y132S-4-5.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y132S2_2_7_5kW, "Y132S2-2-7.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y132M2_6_5_5kW, "Y132M2-6-5.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y160M_4_11kW_ZC4, "Y160M-4-11kW-ZC4");

// EFF = 0.97 sets the efficiency loop chasing the EMF loop (KE0 cycle);
// L = 20 makes the starting-current loop cycle (IST1).
BENCHMARK_CAPTURE(BM_CalculateCycling, Y132S_4_5_5kW_EFF_0_97, "Y132S-4-5.5kW",
                  velmora::design::field::EFF, 0.97);
BENCHMARK_CAPTURE(BM_CalculateCycling, Y132S_4_5_5kW_L_20, "Y132S-4-5.5kW",
                  velmora::design::field::L, 20.0);

}  // namespace
