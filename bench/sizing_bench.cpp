// New designs from every rating of the frame table, 0.55–90 kW at 2, 4 and
// 6 poles, IE3 and insulation class B, sized and optimised on two threads:
// how many pass in their standard frame, how many only in a larger frame,
// how many fail, and the time of each rating. One iteration a rating (a
// whole design takes seconds); --benchmark_filter picks ratings by name.
#include <benchmark/benchmark.h>

#include <string>

#include "velmora/studies/sizing.h"

namespace {

using namespace velmora;

void BM_NewDesign(benchmark::State& bench, double Pn, int P) {
  studies::Rating rating;
  rating.Pn = Pn;
  rating.P = P;
  rating.required_class = studies::EfficiencyClass::IE3;
  studies::NewDesignOptions options;
  options.run.threads = 2;
  options.run.max_evaluations = studies::kNewDesignEvaluations;  // as velmora-calc new
  options.run.max_seconds = studies::kNoTimeLimit;
  studies::NewDesign d;
  for (auto _ : bench) d = studies::DesignFromRating(rating, options);
  bool larger = !d.frames_tried.empty();
  bench.counters["passed"] = d.passed && !larger;
  bench.counters["larger_frame"] = d.passed && larger;
  bench.counters["failed"] = !d.passed;
  bench.counters["H"] = d.sized.H;
  bench.counters["EFF"] = d.check.lines[0].value;
  bench.counters["cost"] = d.refined && d.refined->found ? d.refined->best.cost : 0;
  bench.counters["evaluations"] = d.refined ? double(d.refined->evaluations) : 0;
}

// One benchmark a rating of the table, named by poles and output.
const bool kRegistered = [] {
  for (const studies::Rating& r : studies::TableRatings()) {
    std::string name =
        "BM_NewDesign/" + std::to_string(r.P) + "P/" + design::ShortestText(r.Pn) + "kW";
    benchmark::RegisterBenchmark(name.c_str(), BM_NewDesign, r.Pn, r.P)
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
  }
  return true;
}();

}  // namespace
