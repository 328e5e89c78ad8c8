// Time of the pure calculation of one design, for each example (no file I/O).
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/calc/calculation.h"
#include "velmora/design/input_file.h"

namespace {

void BM_Calculate(benchmark::State& bench, const char* example) {
  auto input =
      velmora::design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/" + example + ".txt");
  velmora::calc::CalculationState state;
  velmora::calc::CalculationFault fault;
  for (auto _ : bench) {
    bool ok = velmora::calc::Calculate(input, state, fault);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(state);
  }
}

BENCHMARK_CAPTURE(BM_Calculate, Y132S_4_5_5kW, "Y132S-4-5.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y132S2_2_7_5kW, "Y132S2-2-7.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y132M2_6_5_5kW, "Y132M2-6-5.5kW");
BENCHMARK_CAPTURE(BM_Calculate, Y160M_4_11kW_ZC4, "Y160M-4-11kW-ZC4");

}  // namespace
