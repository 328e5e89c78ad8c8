// The curves of one design after the plain run: the load curve (29 points,
// k = 0.10 to 1.50), the torque–speed curve (200 slips) and both together.
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/calc/characteristics.h"
#include "velmora/design/input_file.h"

namespace {

using namespace velmora;

struct Rated {
  design::DesignInput input =
      design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
  calc::CalculationState state;
  Rated() {
    calc::CalculationFault fault;
    calc::Calculate(input, state, fault);
  }
};

void BM_LoadCurve(benchmark::State& bench) {
  Rated rated;
  for (auto _ : bench) {
    std::vector<calc::LoadPoint> points = calc::PartLoadPerformance(rated.input, rated.state, {});
    benchmark::DoNotOptimize(points.data());
  }
}
BENCHMARK(BM_LoadCurve)->Unit(benchmark::kMicrosecond);

void BM_SpeedCurve(benchmark::State& bench) {
  Rated rated;
  for (auto _ : bench) {
    calc::SpeedCurve curve = calc::TorqueSpeedCurve(rated.state);
    benchmark::DoNotOptimize(curve.points.data());
  }
}
BENCHMARK(BM_SpeedCurve)->Unit(benchmark::kMicrosecond);

void BM_BothCurves(benchmark::State& bench) {
  Rated rated;
  for (auto _ : bench) {
    calc::Characteristics curves;
    curves.load = calc::PartLoadPerformance(rated.input, rated.state, {});
    curves.speed = calc::TorqueSpeedCurve(rated.state);
    benchmark::DoNotOptimize(curves.speed.points.data());
  }
}
BENCHMARK(BM_BothCurves)->Unit(benchmark::kMicrosecond);

}  // namespace
