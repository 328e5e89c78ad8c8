// The search behind the window "优化设计": the inputs chosen with their
// bounds or values, the objective (or the cost–efficiency front) and the
// class, run on a worker thread so the windows stay responsive; the best
// design, or the chosen point of the front, into the input boxes and the
// texts it replaced back again.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "velmora/studies/optimise.h"
#include "velmora/studies/pareto_front.h"
#include "velmora/studies/tolerance.h"
#include "velmora/ui/toolkit.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

// One chosen input as typed: FROM and TO, or a list of values ("0.3 0.35 0.4").
struct OptimiseInput {
  int field = 0;
  std::string from, to, values;
};

struct OptimiseRequest {
  std::vector<OptimiseInput> inputs;
  studies::OptimiseObjective objective = studies::OptimiseObjective::Cost;
  std::optional<studies::EfficiencyClass> required_class;  // empty: the legal minimum
  bool check_class = true;                                 // false: no class asked for
  // The insulation class whose limit the winding's rise must keep within;
  // empty: the rise is not limited.
  std::optional<studies::InsulationClass> insulation = studies::InsulationClass::B;
  studies::OptimiseProblem::Targets targets = studies::OptimiseProblem::Targets::AsGiven;
  std::uint64_t max_evaluations = 20000;  // of each search
  // The cost–efficiency front in place of one search for `objective`, with
  // its number of points as typed.
  bool front = false;
  std::string front_points = std::to_string(studies::FrontOptions{}.points);
};

// The best objective after so many evaluations: of the least infeasible
// design until one meets every constraint.
struct BestPoint {
  std::uint64_t evaluations = 0;
  double best = 0;
  bool feasible = false;
};

// The result as the window lists it: each row a caption and two texts.
struct OptimiseTable {
  struct Row {
    std::string caption, before, after;
  };
  std::string status;
  std::vector<Row> inputs;       // the variables, from → to
  std::vector<Row> results;      // cost, EFF, PF, Ist, TST1, TMAX1, SF, TRISE
  std::vector<Row> constraints;  // those at their limit, or missed: limit and value
  std::vector<Row> optima;       // the other local optima: inputs, cost and efficiency
};

OptimiseTable MakeOptimiseTable(const studies::OptimiseResult& result,
                                const studies::OptimiseProblem& problem);

// The main results of two designs side by side: cost, EFF, PF, Ist, TST1,
// TMAX1, SF, TRISE and whether they can be trusted; "故障" for a first
// design whose run faulted.
std::vector<OptimiseTable::Row> ResultRows(const studies::Assessment& from,
                                           const studies::Assessment& to);

// The rows of a design with the variables at `values` against the base
// design: inputs from → to, the main results, the constraints at their limit.
OptimiseTable CompareWithBase(const studies::OptimiseProblem& problem,
                              std::span<const double> values, const studies::Assessment& base,
                              const studies::Assessment& design);

class DesignOptimiser {
 public:
  DesignOptimiser() = default;
  // Cancels a running search and waits for its thread.
  ~DesignOptimiser();
  DesignOptimiser(const DesignOptimiser&) = delete;
  DesignOptimiser& operator=(const DesignOptimiser&) = delete;

  // Checks the request and starts the worker on `base`; throws OptimiseError
  // saying why not, naming the input or the field at fault. Refused while running.
  // `thermal`: the data of the winding's rise.
  void Start(const design::DesignInput& base, const OptimiseRequest& request,
             const design::MaterialPrices& prices, const studies::ThermalData& thermal = {});
  void Cancel() { work_.Cancel(); }
  void Wait() { work_.Wait(); }
  bool Running() const { return work_.Running(); }
  // True once the worker has ended; then its thread is joined.
  bool Finished() { return work_.Finished(); }

  // The best objective so far at each improvement, and where its level ends:
  // the last point is at the evaluations of the latest report.
  std::vector<BestPoint> History();
  const std::optional<studies::OptimiseResult>& Result() const { return result_; }
  // The best design's tolerance analysis (AnalyseAnswerTolerances), once a
  // search that was not cancelled has found a design.
  const std::optional<studies::ToleranceResult>& Tolerance() const { return tolerance_; }
  const studies::OptimiseProblem& Problem() const { return problem_; }
  const std::string& Error() const { return error_; }

  // The front asked for, once its worker has ended (cancelled: the points
  // found till then).
  const std::optional<studies::Front>& ParetoFront() const { return front_; }
  // While a front is being found: its points (searches) asked for and done.
  int FrontPoints() const { return front_points_; }
  int FrontSearchesDone() const { return searches_done_; }
  // Chooses a point of the finished front; one past its end chooses none.
  void SelectPoint(std::optional<std::size_t> point);
  std::optional<std::size_t> SelectedPoint() const { return selected_; }
  // What 载入设计 loads: the best design of a search, or the chosen point of
  // the front; nothing otherwise.
  std::optional<design::DesignInput> Answer() const;

 private:
  void Work(studies::OptimiseOptions options);
  void Record(const studies::OptimiseProgress& progress);

  studies::OptimiseProblem problem_;
  std::mutex history_lock_;
  std::vector<BestPoint> history_;
  std::optional<studies::OptimiseResult> result_;
  std::optional<studies::ToleranceResult> tolerance_;
  std::string error_;
  int front_points_ = 0;  // 0: one search
  std::atomic<int> searches_done_{0};
  std::optional<studies::Front> front_;
  std::optional<std::size_t> selected_;
  BackgroundWork work_;  // last: joined before the members it writes are destroyed
};

using BoxTextArray = std::array<std::string, design::kFieldCount>;

// "载入设计": puts `design` into the input boxes; returns the texts it replaced.
BoxTextArray LoadIntoBoxes(Toolkit& toolkit, const design::DesignInput& design);
// "恢复原设计": the texts back into the boxes.
void RestoreBoxes(Toolkit& toolkit, const BoxTextArray& texts);

}  // namespace velmora::ui
