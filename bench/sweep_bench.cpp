// Throughput of a sweep: 10,000 variants of the 4-pole 5.5 kW example over
// the air gap G (0.35 to 0.548 mm) and the core length L (100 to 199 mm), a
// grid on which every run converges. With the CSV rows formatted (what the
// command line does) and without (the engine alone), on 1 and 2 threads.
// The "base" sweep runs the example itself 10,000 times, to set the cost of a
// variant beside the single-design benchmark.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "velmora/design/input_file.h"
#include "velmora/report/sweep_csv.h"
#include "velmora/studies/sweep.h"

namespace {

using namespace velmora;

studies::SweepGrid AirGapByCoreLength() {
  return studies::SweepGrid({studies::SweepAxis::Range(design::field::G, 0.35, 0.548, 0.002),
                             studies::SweepAxis::Range(design::field::L, 100, 199, 1)});
}

studies::SweepGrid BaseDesignRepeated() {
  return studies::SweepGrid({studies::SweepAxis::List(design::field::G, std::vector(10'000, 0.4))});
}

void BM_Sweep(benchmark::State& bench, studies::SweepGrid (*make_grid)(), bool csv_rows) {
  design::DesignInput base =
      design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt");
  studies::SweepGrid grid = make_grid();
  report::SweepCsv csv(grid, report::DefaultSweepColumns());
  studies::SweepOptions options;
  options.threads = static_cast<unsigned>(bench.range(0));
  std::size_t bytes = 0;
  studies::SweepFormatter format = [&](const studies::SweepRow& row, std::string& block) {
    if (csv_rows)
      csv.AppendRow(row, block);
    else
      benchmark::DoNotOptimize(row.check);
  };
  studies::SweepWriter write = [&](std::string_view block) { bytes += block.size(); };
  for (auto _ : bench)
    benchmark::DoNotOptimize(studies::RunSweep(base, grid, options, format, write));
  bench.SetItemsProcessed(bench.iterations() * static_cast<std::int64_t>(grid.size()));
  benchmark::DoNotOptimize(bytes);
}

BENCHMARK_CAPTURE(BM_Sweep, G_L_csv, AirGapByCoreLength, true)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Sweep, G_L_engine, AirGapByCoreLength, false)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Sweep, base_engine, BaseDesignRepeated, false)->Arg(1)->Arg(2)->UseRealTime();

}  // namespace
