// Time of the temperature rise of the 4-pole 5.5 kW example from its
// finished run: one thermal solve with the resistivity iteration (what an
// optimiser would carry on every evaluation), a single pass without it, and
// the run repeated with the hot resistivities, for each example.
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/design/input_file.h"
#include "velmora/studies/thermal.h"

namespace {

using namespace velmora;

struct Example {
  design::DesignInput input;
  studies::CalculationState state;
};

Example Calculated(const char* name) {
  Example e{design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/" + name + ".txt"), {}};
  studies::CalculationFault fault;
  studies::Calculate(e.input, e.state, fault);
  return e;
}

void BM_ThermalSolve(benchmark::State& bench, const char* name, bool iterate) {
  Example e = Calculated(name);
  studies::ThermalData data;
  for (auto _ : bench) {
    studies::ThermalResult r =
        studies::ThermalOf(e.state, data, {studies::InsulationClass::B, iterate});
    benchmark::DoNotOptimize(r);
  }
}

void BM_ThermalHotRun(benchmark::State& bench, const char* name) {
  Example e = Calculated(name);
  studies::ThermalResult r = studies::ThermalOf(e.state, studies::ThermalData{});
  for (auto _ : bench) {
    studies::HotPerformance hot = studies::HotRun(e.input, r);
    benchmark::DoNotOptimize(hot);
  }
}

BENCHMARK_CAPTURE(BM_ThermalSolve, Y132S_4_iterated, "Y132S-4-5.5kW", true);
BENCHMARK_CAPTURE(BM_ThermalSolve, Y132S_4_single_pass, "Y132S-4-5.5kW", false);
BENCHMARK_CAPTURE(BM_ThermalSolve, Y132S2_2_iterated, "Y132S2-2-7.5kW", true);
BENCHMARK_CAPTURE(BM_ThermalSolve, Y132M2_6_iterated, "Y132M2-6-5.5kW", true);
BENCHMARK_CAPTURE(BM_ThermalSolve, Y160M_4_iterated, "Y160M-4-11kW-ZC4", true);
BENCHMARK_CAPTURE(BM_ThermalHotRun, Y132S_4, "Y132S-4-5.5kW");

}  // namespace
