// The load curve of one design: 29 points, k = 0.10 to 1.50, after the plain run.
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/calc/characteristics.h"
#include "velmora/design/input_file.h"

namespace {

using namespace velmora;

void BM_LoadCurve(benchmark::State& bench) {
  design::DesignInput input =
      design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
  calc::CalculationState rated;
  calc::CalculationFault fault;
  calc::Calculate(input, rated, fault);
  for (auto _ : bench) {
    std::vector<calc::LoadPoint> points = calc::PartLoadPerformance(input, rated, {});
    benchmark::DoNotOptimize(points.data());
  }
}
BENCHMARK(BM_LoadCurve)->Unit(benchmark::kMicrosecond);

}  // namespace
