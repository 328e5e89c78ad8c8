// The search: a grid sample of the space on the sweep engine, then rounds of
// local constrained searches (COBYLA) from the base design and the best
// sample points, on several threads. Every round hands each local search a
// fixed share of the evaluations left and takes the results in start order,
// so the result does not depend on the number of threads.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <nlopt.hpp>
#include <random>
#include <system_error>
#include <thread>

#include "parallel_tasks.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/sweep.h"

namespace velmora::studies {

namespace {

// Seconds on the machine's steady clock.
double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Progress is reported at most this often, and at every improvement.
constexpr double kReportSeconds = 0.05;
using Phase = OptimiseProgress::Phase;
using Stop = OptimiseResult::Stop;

// The grid sample takes up to this share of each budget, evaluations and time.
constexpr double kSampleShare = 0.5;

// ---- Shared by the threads -------------------------------------------------

// The evaluation count, the stop and the progress shown, shared by every
// thread of one search, and the motors of its robust requirement.
class SearchControl {
 public:
  SearchControl(const OptimiseProblem& problem, const OptimiseOptions& options)
      : motors_(problem),
        objective_(problem.objective),
        options_(options),
        clock_(options.clock ? options.clock : SteadySeconds) {
    deadline_ = After(options.max_seconds);
    sample_deadline_ = After(options.max_seconds * kSampleShare);
    last_report_ = start_ - 1;
  }

  // Whether the sample is to stop: the search stops, or the sample has had
  // its share of the time.
  bool SampleOver() { return Stopping() || clock_() > sample_deadline_; }

  // Whether the search is to stop: cancelled, out of time, or a failed callback.
  bool Stopping() {
    if (stopping_.load(std::memory_order_relaxed)) return true;
    if (options_.cancel && options_.cancel->load(std::memory_order_relaxed))
      RequestStop(Stop::Cancelled);
    else if (clock_() > deadline_)
      RequestStop(Stop::Time);
    return stopping_.load(std::memory_order_relaxed);
  }
  Stop reason() const { return reason_; }
  const YieldMotors& motors() const { return motors_; }

  void Count(std::uint64_t n) { evaluations_.fetch_add(n, std::memory_order_relaxed); }
  std::uint64_t evaluations() const { return evaluations_.load(); }
  double Seconds() const { return clock_() - start_; }

  // Offers a finished design to the progress shown; reports now and then.
  void Offer(const Standing& s, Phase phase) {
    std::lock_guard lock(mutex_);
    bool improved = RanksBefore(s, shown_);
    if (improved) shown_ = s;
    Report(phase, improved);
  }

  // Reports at most twenty times a second, and at every improvement.
  void Report(Phase phase, bool now) {
    if (!options_.progress || failure_) return;
    double time = clock_();
    if (!now && time - last_report_ < kReportSeconds) return;
    last_report_ = time;
    OptimiseProgress p{phase, evaluations(), shown_.ran, shown_.feasible, Shown()};
    try {
      options_.progress(p);
    } catch (...) {
      failure_ = std::current_exception();
      RequestStop(Stop::Cancelled);
    }
  }
  void ReportLocked(Phase phase, bool now) {
    std::lock_guard lock(mutex_);
    Report(phase, now);
  }
  void RethrowFailure() {
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void RequestStop(Stop reason) {
    std::lock_guard lock(stop_mutex_);
    if (!stopping_.load()) reason_ = reason;
    stopping_.store(true);
  }
  // The time `seconds` from the start; beyond what the clock can count, never.
  double After(double seconds) const {
    if (!(seconds < kNoTimeLimit)) return std::numeric_limits<double>::infinity();
    return start_ + std::max(seconds, 0.0);
  }
  // The objective itself: the cost, or the efficiency.
  double Shown() const {
    return objective_ == OptimiseObjective::Cost ? shown_.key : 1 - shown_.key;
  }

  const YieldMotors motors_;
  OptimiseObjective objective_;
  const OptimiseOptions& options_;
  std::function<double()> clock_;
  double start_ = clock_(), deadline_, sample_deadline_;
  std::atomic<std::uint64_t> evaluations_{0};
  std::atomic<bool> stopping_{false};
  std::mutex stop_mutex_;
  Stop reason_ = Stop::Cancelled;  // guarded by stop_mutex_ until stopping_
  std::mutex mutex_;
  Standing shown_;  // guarded by mutex_
  double last_report_ = 0;
  std::exception_ptr failure_;
};

// ---- One thread's evaluations ----------------------------------------------

// A design at given values and how it does.
struct Candidate {
  std::vector<double> values;
  Assessment assessment;
};

void Keep(Candidate& best, std::span<const double> values, const Assessment& a,
          OptimiseObjective objective) {
  if (!best.values.empty() && !Better(a, best.assessment, objective)) return;
  best.values.assign(values.begin(), values.end());
  best.assessment = a;
}

// Whether `a` improves on `b` by more than rounding.
bool Improves(const Assessment& a, const Assessment& b, OptimiseObjective objective) {
  if (!Better(a, b, objective)) return false;
  if (!a.Feasible() || !b.Feasible()) return true;
  double ka = ObjectiveKey(a, objective), kb = ObjectiveKey(b, objective);
  return ka < kb - 1e-9 * std::fabs(kb);
}

// Everything one thread needs to compute designs, made once; keeps the best
// design that is a candidate for the result.
class Evaluator {
 public:
  Evaluator(const OptimiseProblem& problem, SearchControl& control)
      : problem_(problem), control_(control), input_(problem.base) {}

  // The design with `values`: relaxed while a discrete variable lies between
  // its values; otherwise a candidate for the result.
  const Assessment& Run(std::span<const double> values, bool relaxed) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      design::FieldValue& target = input_[problem_.variables[i].field];
      target.kind = design::FieldValue::Kind::Number;
      target.number = values[i];
    }
    ++count_;
    control_.Count(1);
    last_ = Calculate(input_, state_, fault_) ? Assess(problem_, state_, relaxed) : Assessment{};
    AddYield(problem_, control_.motors(), input_, relaxed, last_);
    if (relaxed) return last_;
    Keep(best_, values, last_, problem_.objective);
    control_.Offer(StandingOf(last_, problem_.objective), Phase::Search);
    return last_;
  }

  std::uint64_t count() const { return count_; }
  Candidate& best() { return best_; }
  const OptimiseProblem& problem() const { return problem_; }
  SearchControl& control() { return control_; }

 private:
  const OptimiseProblem& problem_;
  SearchControl& control_;
  design::DesignInput input_;
  CalculationState state_;
  CalculationFault fault_;
  Assessment last_;
  Candidate best_;
  std::uint64_t count_ = 0;
};

// ---- Local search ----------------------------------------------------------

// COBYLA aims this far inside each constraint, so that its last points meet them.
constexpr double kMargin = 1e-7;
// What a run that faults is worth, against about 1 for the designs around.
constexpr double kFaultObjective = 10;

// COBYLA searches over the variables `free`, the others held, in the unit
// cube of their bounds.
class LocalRun {
 public:
  enum class Goal {
    Objective,  // the objective within the constraints
    // The excesses over the constraints the start misses, within those it
    // meets: toward the constraints without giving up any already met.
    Violation
  };

  LocalRun(Evaluator& eval, std::vector<int> free, bool relaxed, double scale)
      : eval_(eval), free_(std::move(free)), relaxed_(relaxed), scale_(scale) {}

  // Searches from `point` for at most `budget` evaluations with a first step
  // of `step`; returns the best design of the search, empty when it made none.
  const Candidate& Run(std::vector<double> point, std::uint64_t budget, double step, Goal goal) {
    point_ = std::move(point);
    seen_ = {};
    goal_ = goal;
    c_.assign(ConstraintCount(eval_.problem()), 0.0);
    missed_.assign(c_.size(), false);
    started_ = false;
    if (budget == 0 || eval_.control().Stopping()) return seen_;
    if (free_.empty()) {
      EvaluateAt(nullptr);
      return seen_;
    }
    nlopt::opt opt(nlopt::LN_COBYLA, static_cast<unsigned>(free_.size()));
    Configure(opt, budget, step);
    std::vector<double> u = ToUnit();
    double f = 0;
    try {
      opt.optimize(u, f);
    } catch (const nlopt::forced_stop&) {
    } catch (const nlopt::roundoff_limited&) {
    } catch (const std::runtime_error&) {  // NLopt's own failure: the search ends there
    }
    return seen_;
  }

  Evaluator& evaluator() { return eval_; }

 private:
  const OptimiseVariable& Variable(std::size_t k) const {
    return eval_.problem().variables[free_[k]];
  }

  void Configure(nlopt::opt& opt, std::uint64_t budget, double step) {
    std::size_t n = free_.size();
    opt.set_lower_bounds(std::vector<double>(n, 0.0));
    opt.set_upper_bounds(std::vector<double>(n, 1.0));
    opt.set_min_objective(Objective, this);
    opt.add_inequality_mconstraint(Constraints, this, std::vector<double>(c_.size(), 0.0));
    opt.set_maxeval(static_cast<int>(std::min<std::uint64_t>(budget, 1u << 30)));
    opt.set_initial_step(std::vector<double>(n, step));
    std::vector<double> xtol(n);
    for (std::size_t k = 0; k < n; ++k) {
      const OptimiseVariable& v = Variable(k);
      xtol[k] = v.Discrete() ? 1e-3 : std::max(0.25 * v.resolution / (v.upper - v.lower), 1e-9);
    }
    opt.set_xtol_abs(xtol);
  }

  std::vector<double> ToUnit() const {
    std::vector<double> u(free_.size());
    for (std::size_t k = 0; k < u.size(); ++k) {
      const OptimiseVariable& v = Variable(k);
      u[k] = std::clamp((point_[free_[k]] - v.lower) / (v.upper - v.lower), 0.0, 1.0);
    }
    return u;
  }

  void EvaluateAt(const double* u) {
    for (std::size_t k = 0; u && k < free_.size(); ++k) {
      const OptimiseVariable& v = Variable(k);
      double x = v.lower + std::clamp(u[k], 0.0, 1.0) * (v.upper - v.lower);
      point_[free_[k]] = relaxed_ && v.Discrete() ? x : v.Snap(x);
    }
    if (eval_.control().Stopping()) throw nlopt::forced_stop();
    const Assessment& a = eval_.Run(point_, relaxed_);
    Keep(seen_, point_, a, eval_.problem().objective);
    if (!started_ && goal_ == Goal::Violation)
      for (std::size_t j = 0; j < c_.size(); ++j) missed_[j] = !a.ran || !a.lines[j].Met();
    started_ = true;
    f_ = Value(a);
    for (std::size_t j = 0; j < c_.size(); ++j)
      c_[j] = !a.ran ? 1 : missed_[j] ? -1 : a.lines[j].excess + kMargin;
    last_u_.assign(u, u + (u ? free_.size() : 0));
  }

  double Value(const Assessment& a) const {
    if (!a.ran) return kFaultObjective;
    if (goal_ == Goal::Objective) return ObjectiveKey(a, eval_.problem().objective) / scale_;
    double excess = 0;
    for (std::size_t j = 0; j < c_.size(); ++j)
      if (missed_[j]) excess += a.lines[j].excess;
    return excess;
  }

  // NLopt asks for the objective, then the constraints at the same point.
  static double Objective(unsigned, const double* u, double*, void* data) {
    auto* run = static_cast<LocalRun*>(data);
    run->EvaluateAt(u);
    return run->f_;
  }
  static void Constraints(unsigned m, double* result, unsigned n, const double* u, double*,
                          void* data) {
    auto* run = static_cast<LocalRun*>(data);
    if (!std::equal(u, u + n, run->last_u_.begin(), run->last_u_.end())) run->EvaluateAt(u);
    std::copy(run->c_.begin(), run->c_.begin() + m, result);
  }

  Evaluator& eval_;
  std::vector<int> free_;
  bool relaxed_;
  double scale_;
  Goal goal_ = Goal::Objective;
  std::vector<double> point_;
  Candidate seen_;
  double f_ = 0;
  std::vector<double> c_;
  std::vector<bool> missed_;  // by the start of a Violation search
  bool started_ = false;
  std::vector<double> last_u_;
};

// Minimises from `start` within `budget` evaluations. A search that ends
// outside the constraints goes on to reduce the violation alone, and one
// that then meets them minimises again from there; while no design is known
// to meet them, the violation comes first. Returns the best design.
Candidate Descend(LocalRun& run, const std::vector<double>& start, std::uint64_t budget,
                  double step, bool feasible_known) {
  using Goal = LocalRun::Goal;
  OptimiseObjective objective = run.evaluator().problem().objective;
  std::uint64_t first = run.evaluator().count();
  auto left = [&] { return budget - std::min(budget, run.evaluator().count() - first); };
  Candidate best;
  if (feasible_known) {
    best = run.Run(start, budget / 2, step, Goal::Objective);
    if (best.values.empty() || best.assessment.Feasible()) return best;
  }
  Candidate reached =
      run.Run(best.values.empty() ? start : best.values, left() / 2, step, Goal::Violation);
  if (!reached.values.empty() &&
      (best.values.empty() || Better(reached.assessment, best.assessment, objective)))
    best = reached;
  if (best.values.empty() || !best.assessment.Feasible()) return best;
  Candidate again = run.Run(best.values, left(), step / 2, Goal::Objective);
  return again.values.empty() ? best : again;
}

// ---- One start -------------------------------------------------------------

// The variables with a choice to make, all of them or only the continuous ones.
std::vector<int> FreeVariables(const OptimiseProblem& problem, bool with_discrete) {
  std::vector<int> free;
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    const OptimiseVariable& v = problem.variables[i];
    if (v.lower < v.upper && (with_discrete || !v.Discrete())) free.push_back(int(i));
  }
  return free;
}

// The values either side of each discrete variable's relaxed value, the
// nearest first (one value for a continuous variable, or one on a value).
std::vector<std::vector<double>> Sides(const OptimiseProblem& problem,
                                       const std::vector<double>& relaxed) {
  std::vector<std::vector<double>> sides;
  for (std::size_t i = 0; i < relaxed.size(); ++i) {
    const OptimiseVariable& v = problem.variables[i];
    double x = relaxed[i], nearest = v.Snap(x);
    sides.push_back({nearest});
    if (!v.Discrete() || nearest == x) continue;
    auto above = std::upper_bound(v.values.begin(), v.values.end(), x);
    sides.back().push_back(nearest > x ? *(above - 1) : *above);
  }
  return sides;
}

// Every combination of the sides, the nearest values first; with more than
// kMaxBoth variables between two values, the nearest values and each of them
// moved to its other side alone.
constexpr std::size_t kMaxBoth = 6;

std::vector<std::vector<double>> Neighbours(const OptimiseProblem& problem,
                                            const std::vector<double>& relaxed) {
  std::vector<std::vector<double>> sides = Sides(problem, relaxed);
  std::vector<double> nearest;
  std::vector<std::size_t> both;  // the variables between two values
  for (std::size_t i = 0; i < sides.size(); ++i) {
    nearest.push_back(sides[i][0]);
    if (sides[i].size() == 2) both.push_back(i);
  }
  bool every = both.size() <= kMaxBoth;
  std::size_t count = every ? std::size_t(1) << both.size() : both.size() + 1;
  std::vector<std::vector<double>> points(count, nearest);
  for (std::size_t combo = 1; combo < count; ++combo)
    for (std::size_t k = 0; k < both.size(); ++k)
      if (every ? (combo >> k) & 1 : combo == k + 1) points[combo][both[k]] = sides[both[k]][1];
  return points;
}

// ---- Lattice descent -------------------------------------------------------

// Every variable takes values from a lattice (a list, or the multiples of its
// step): the answer is a design a workshop can make. From `start`, moves of
// one variable at a time, the stride doubling while it pays, then of two
// neighbouring variables together (to follow a constraint that one alone
// would break), while a move improves. Ends where no neighbour improves on
// the design, or on `budget`.
class LatticeDescent {
 public:
  LatticeDescent(Evaluator& eval, const Candidate& start)
      : eval_(eval), problem_(eval.problem()), at_(start.assessment) {
    for (std::size_t i = 0; i < start.values.size(); ++i)
      index_.push_back(problem_.variables[i].IndexOf(start.values[i]));
    stride_.assign(index_.size(), 1);
    free_ = FreeVariables(problem_, true);
  }

  void Run(std::uint64_t budget) {
    first_ = eval_.count();
    budget_ = budget;
    while (!Spent()) {
      if (MoveOne()) continue;
      if (std::any_of(stride_.begin(), stride_.end(), [](std::uint64_t s) { return s > 1; })) {
        stride_.assign(stride_.size(), 1);
        continue;
      }
      if (!MoveTwo()) return;
    }
  }

 private:
  bool Spent() { return eval_.count() - first_ >= budget_ || eval_.control().Stopping(); }

  // Index `k` of variable `i` moved by `step` (±), within the lattice; false
  // when the move leaves it where it was.
  bool Moved(std::size_t i, std::int64_t step, std::vector<std::uint64_t>& to) const {
    std::int64_t last = static_cast<std::int64_t>(problem_.variables[i].Count()) - 1;
    std::int64_t k = std::clamp(static_cast<std::int64_t>(to[i]) + step, std::int64_t{0}, last);
    if (k == static_cast<std::int64_t>(to[i])) return false;
    to[i] = static_cast<std::uint64_t>(k);
    return true;
  }

  // Evaluates the lattice point `to`; moves there when it improves.
  bool Try(const std::vector<std::uint64_t>& to) {
    std::vector<double> values(to.size());
    for (std::size_t i = 0; i < to.size(); ++i) values[i] = problem_.variables[i].At(to[i]);
    const Assessment& a = eval_.Run(values, false);
    if (!Improves(a, at_, problem_.objective)) return false;
    at_ = a;
    index_ = to;
    return true;
  }

  bool MoveOne() {
    for (int i : free_) {
      for (std::int64_t direction : {1, -1}) {
        std::vector<std::uint64_t> to = index_;
        if (Spent() || !Moved(i, direction * std::int64_t(stride_[i]), to)) continue;
        if (Try(to)) {
          stride_[i] *= 2;
          return true;
        }
      }
    }
    return false;
  }

  bool MoveTwo() {
    for (std::size_t a = 0; a < free_.size(); ++a)
      for (std::size_t b = a + 1; b < free_.size(); ++b)
        for (std::int64_t da : {1, -1})
          for (std::int64_t db : {1, -1}) {
            std::vector<std::uint64_t> to = index_;
            if (Spent()) return false;
            if (Moved(free_[a], da, to) && Moved(free_[b], db, to) && Try(to)) return true;
          }
    return false;
  }

  Evaluator& eval_;
  const OptimiseProblem& problem_;
  Assessment at_;
  std::vector<std::uint64_t> index_, stride_;
  std::vector<int> free_;
  std::uint64_t first_ = 0, budget_ = 0;
};

struct StartResult {
  Candidate best;
  std::uint64_t evaluations = 0;
};

// One part in this many of each start's share is kept for the lattice descent.
constexpr std::uint64_t kLatticeShare = 4;

// First steps, in the unit cube: from a start and in the polish.
constexpr double kFirstStep = 0.1;
constexpr double kPolishStep = 0.02;

// A local search from `start` within `budget` evaluations: on the relaxation
// when there are discrete variables, then over the continuous variables at
// each neighbouring combination of discrete values.
StartResult RunStart(const OptimiseProblem& problem, SearchControl& control,
                     const std::vector<double>& start, std::uint64_t share, double scale,
                     bool feasible_known) {
  Evaluator eval(problem, control);
  std::uint64_t budget = share - share / kLatticeShare;
  std::vector<int> all = FreeVariables(problem, true), continuous = FreeVariables(problem, false);
  if (all.size() == continuous.size()) {
    LocalRun run(eval, all, false, scale);
    Descend(run, start, budget, kFirstStep, feasible_known);
  } else {
    LocalRun relaxation(eval, all, true, scale);
    Candidate relaxed = Descend(relaxation, start, budget / 2, kFirstStep, feasible_known);
    if (relaxed.values.empty()) relaxed.values = start;
    std::vector<std::vector<double>> points = Neighbours(problem, relaxed.values);
    LocalRun polish(eval, continuous, false, scale);
    for (std::size_t k = 0; k < points.size() && !control.Stopping(); ++k)
      Descend(polish, points[k], (budget - std::min(budget, eval.count())) / (points.size() - k),
              kPolishStep, feasible_known);
  }
  LatticeDescent(eval, eval.best()).Run(share - std::min(share, eval.count()));
  return {eval.best(), eval.count()};
}

// ---- The sample ------------------------------------------------------------

// How many levels each variable gets in a grid of at most `budget` points:
// one more at a time to the variable with the fewest, discrete ones at most
// their number of values.
std::vector<std::uint64_t> LevelCounts(const OptimiseProblem& problem, std::uint64_t budget) {
  std::vector<std::uint64_t> n(problem.variables.size(), 1);
  std::uint64_t size = 1;
  for (;;) {
    std::size_t pick = n.size();
    for (std::size_t i = 0; i < n.size(); ++i) {
      const OptimiseVariable& v = problem.variables[i];
      bool can_grow = v.lower < v.upper && (!v.Discrete() || n[i] < v.values.size());
      if (can_grow && (pick == n.size() || n[i] < n[pick])) pick = i;
    }
    if (pick == n.size() || size / n[pick] * (n[pick] + 1) > budget) return n;
    size = size / n[pick] * (n[pick] + 1);
    ++n[pick];
  }
}

// `count` levels of `v` at the centres of equal cells, all shifted by
// `offset` of a cell.
std::vector<double> Levels(const OptimiseVariable& v, std::uint64_t count, double offset) {
  std::vector<double> levels;
  for (std::uint64_t k = 0; k < count; ++k) {
    double at = (double(k) + offset) / double(count);
    if (v.Discrete())
      levels.push_back(
          v.values[std::min(std::size_t(at * double(v.values.size())), v.values.size() - 1)]);
    else
      levels.push_back(v.Snap(v.lower + at * (v.upper - v.lower)));
  }
  return levels;
}

struct Sample {
  std::vector<std::vector<double>> starts;  // the best points, far enough apart
  Candidate best;
  std::uint64_t evaluations = 0;
};

// Whether two grid points are neighbours or the same: no level more than one apart.
bool Near(const SweepGrid& grid, std::uint64_t a, std::uint64_t b) {
  for (std::size_t i = grid.axes().size(); i-- > 0;) {
    std::uint64_t n = grid.axes()[i].size();
    std::uint64_t ka = a % n, kb = b % n;
    if ((ka > kb ? ka - kb : kb - ka) > 1) return false;
    a /= n;
    b /= n;
  }
  return true;
}

// Up to `count` of the best sample points, none a neighbour of a better one.
std::vector<std::uint64_t> SpreadBest(const SweepGrid& grid, const std::vector<Standing>& records,
                                      std::size_t count) {
  std::vector<std::uint64_t> order(records.size());
  for (std::uint64_t i = 0; i < order.size(); ++i) order[i] = i;
  std::size_t ranked = std::min<std::size_t>(order.size(), 64 * count);
  std::partial_sort(order.begin(), order.begin() + ranked, order.end(),
                    [&](std::uint64_t a, std::uint64_t b) {
                      if (RanksBefore(records[a], records[b])) return true;
                      return !RanksBefore(records[b], records[a]) && a < b;
                    });
  std::vector<std::uint64_t> picked;
  for (std::size_t r = 0; r < ranked && picked.size() < count; ++r) {
    if (!records[order[r]].ran) break;
    auto near = [&](std::uint64_t p) { return Near(grid, p, order[r]); };
    if (std::none_of(picked.begin(), picked.end(), near)) picked.push_back(order[r]);
  }
  return picked;
}

SweepGrid SampleGrid(const OptimiseProblem& problem, std::uint64_t budget, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<std::uint64_t> counts = LevelCounts(problem, budget);
  std::vector<SweepAxis> axes;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    double offset = double(random() >> 11) * 0x1.0p-53;
    const OptimiseVariable& v = problem.variables[i];
    axes.push_back(SweepAxis::List(v.field, Levels(v, counts[i], offset)));
  }
  return SweepGrid(std::move(axes));
}

constexpr std::size_t kMaxStarts = 64;
// The sample takes its share of the evaluations up to this many.
constexpr std::uint64_t kMaxSample = 1'000'000;

// The grid on the sweep engine, each point assessed; the best points become starts.
Sample RunSample(const OptimiseProblem& problem, const OptimiseOptions& options,
                 SearchControl& control, std::uint64_t budget) {
  SweepGrid grid = SampleGrid(problem, budget, options.seed);
  std::vector<Standing> records(grid.size());
  SweepOptions sweep;
  sweep.threads = options.threads;
  sweep.check = problem.check;  // each row's check is the one its assessment needs
  std::atomic<bool> over{false};
  sweep.cancel = &over;
  std::uint64_t counted = 0;
  sweep.progress = [&](std::uint64_t done) {
    control.Count(done - counted);
    for (; counted < done; ++counted) control.Offer(records[counted], Phase::Sample);
    if (control.SampleOver()) over.store(true);
  };
  auto record = [&](const SweepRow& row, std::string&) {
    if (row.index % 256 == 0 && control.SampleOver()) over.store(true);
    if (!row.ok) return;
    Assessment a = Assess(problem, row.state, row.check, false);
    if (problem.robust)
      AddYield(problem, control.motors(), DesignWith(problem, row.varied), false, a);
    records[row.index] = StandingOf(a, problem.objective);
  };
  Sample sample;
  sample.evaluations = RunSweep(problem.base, grid, sweep, record, [](std::string_view) {});
  std::vector<double> values(grid.axes().size());
  for (std::uint64_t index : SpreadBest(grid, records, kMaxStarts)) {
    grid.Values(index, values);
    sample.starts.push_back(values);
  }
  if (!sample.starts.empty()) {
    Evaluator eval(problem, control);
    eval.Run(sample.starts.front(), false);
    sample.best = eval.best();
    sample.evaluations += eval.count();
  }
  return sample;
}

// ---- Rounds ----------------------------------------------------------------

// The base design's values, within the bounds.
std::vector<double> BaseStart(const OptimiseProblem& problem) {
  std::vector<double> start;
  for (const OptimiseVariable& v : problem.variables) {
    const design::FieldValue& value = problem.base[v.field];
    double x = value.IsNumber() ? value.number : (v.lower + v.upper) / 2;
    start.push_back(std::clamp(x, v.lower, v.upper));
  }
  return start;
}

constexpr std::size_t kRoundSize = 8;
// Optima reported, and how many lattice steps (or twentieths of the values)
// apart two must lie in some variable to count as distinct.
constexpr std::size_t kOptima = 3;
constexpr std::uint64_t kOptimumSteps = 2;
// A share of evaluations too small for COBYLA to make a model of the space.
std::uint64_t MinimumShare(const OptimiseProblem& problem) {
  return 20 * (problem.variables.size() + 1);
}
std::uint64_t MaximumShare(const OptimiseProblem& problem) {
  return 4000 * (problem.variables.size() + 1);
}

struct SearchState {
  Candidate best;
  std::vector<Candidate> ends;  // where each local search ended
  std::uint64_t used = 0;
  Stop stop = Stop::NoImprovement;
};

// One round of local searches from `starts`; false when the search is to end.
bool RunRound(const OptimiseProblem& problem, const OptimiseOptions& options,
              SearchControl& control, const std::vector<std::vector<double>>& starts,
              std::uint64_t share, bool first, SearchState& state) {
  double scale =
      state.best.assessment.ran
          ? std::max(std::fabs(ObjectiveKey(state.best.assessment, problem.objective)), 1e-9)
          : 1;
  bool feasible_known = state.best.assessment.Feasible();
  std::vector<StartResult> results(starts.size());
  RunParallel(starts.size(), options.threads, [&](std::size_t k) {
    results[k] = RunStart(problem, control, starts[k], share, scale, feasible_known);
  });
  bool improved = false;
  for (StartResult& r : results) {
    state.used += r.evaluations;
    if (r.best.values.empty()) continue;
    state.ends.push_back(r.best);
    if (!Improves(r.best.assessment, state.best.assessment, problem.objective)) continue;
    improved = true;
    state.best = std::move(r.best);
  }
  if (control.Stopping()) {
    state.stop = control.reason();
    return false;
  }
  // While nothing meets the constraints, the search goes on.
  return first || improved || !state.best.assessment.Feasible();
}

// `count` starts drawn at random on the lattice, from `random`.
std::vector<std::vector<double>> RandomStarts(const OptimiseProblem& problem, std::size_t count,
                                              std::mt19937_64& random) {
  std::vector<std::vector<double>> starts(count);
  for (std::vector<double>& start : starts)
    for (const OptimiseVariable& v : problem.variables) start.push_back(v.At(random() % v.Count()));
  return starts;
}

// Rounds of up to kRoundSize starts while they improve, each start with an
// equal share of the evaluations left; fewer starts when they run short.
// While no design meets the constraints and evaluations are left, rounds
// from random starts follow the given ones.
void RunRounds(const OptimiseProblem& problem, const OptimiseOptions& options,
               SearchControl& control, std::vector<std::vector<double>> starts,
               SearchState& state) {
  std::mt19937_64 random(options.seed ^ 0x5DEECE66Dull);
  for (std::size_t next = 0; !control.Stopping();) {
    if (next == starts.size()) {
      if (state.best.assessment.Feasible()) return;
      std::vector<std::vector<double>> more = RandomStarts(problem, kRoundSize, random);
      starts.insert(starts.end(), more.begin(), more.end());
    }
    std::uint64_t left = options.max_evaluations - std::min(state.used, options.max_evaluations);
    std::size_t count =
        std::min<std::uint64_t>({kRoundSize, starts.size() - next, left / MinimumShare(problem)});
    if (count == 0) {
      state.stop = Stop::Evaluations;
      return;
    }
    std::uint64_t share = std::min(left / count, MaximumShare(problem));
    std::vector<std::vector<double>> round(starts.begin() + next, starts.begin() + next + count);
    bool go_on = RunRound(problem, options, control, round, share, next == 0, state);
    next += count;
    if (!go_on) return;
  }
  state.stop = control.reason();
}

// Whether two ends of local searches are the same optimum: within a few
// lattice steps of each other in every variable.
bool SameOptimum(const OptimiseProblem& problem, const Candidate& a, const Candidate& b) {
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    const OptimiseVariable& v = problem.variables[i];
    std::uint64_t ka = v.IndexOf(a.values[i]), kb = v.IndexOf(b.values[i]);
    std::uint64_t apart = ka > kb ? ka - kb : kb - ka;
    if (apart > std::max<std::uint64_t>(kOptimumSteps, v.Count() / 20)) return false;
  }
  return true;
}

// Up to kOptima distinct local optima, the best first: the ends of the local
// searches that met the constraints, none the same optimum as a better one.
std::vector<Candidate> DistinctOptima(const OptimiseProblem& problem, std::vector<Candidate> ends) {
  std::stable_sort(ends.begin(), ends.end(), [&](const Candidate& a, const Candidate& b) {
    return Better(a.assessment, b.assessment, problem.objective);
  });
  std::vector<Candidate> optima;
  for (const Candidate& end : ends) {
    if (optima.size() == kOptima || !end.assessment.Feasible()) break;
    auto same = [&](const Candidate& kept) { return SameOptimum(problem, kept, end); };
    if (std::none_of(optima.begin(), optima.end(), same)) optima.push_back(end);
  }
  return optima;
}

unsigned ThreadCount(const OptimiseOptions& options) {
  unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
  return std::max(threads, 1u);
}

}  // namespace

OptimiseResult Optimise(const OptimiseProblem& given_problem, const OptimiseOptions& given) {
  CheckProblem(given_problem);
  OptimiseProblem problem = given_problem;
  FitToWinding(problem);
  OptimiseOptions options = given;
  options.threads = ThreadCount(given);
  SearchControl control(problem, options);
  SearchState state;
  auto sample_budget = static_cast<std::uint64_t>(double(options.max_evaluations) * kSampleShare);
  Sample sample = RunSample(problem, options, control, std::min(sample_budget, kMaxSample));
  state.best = sample.best;
  state.used = sample.evaluations;
  std::vector<std::vector<double>> starts = {BaseStart(problem)};
  starts.insert(starts.end(), sample.starts.begin(), sample.starts.end());
  if (control.Stopping()) state.stop = control.reason();
  RunRounds(problem, options, control, std::move(starts), state);
  control.ReportLocked(Phase::Search, true);
  control.RethrowFailure();
  OptimiseResult result;
  result.stop = state.stop;
  result.found = state.best.assessment.ran;
  result.values = state.best.values;
  result.best = state.best.assessment;
  if (result.found) result.design = DesignWith(problem, result.values);
  for (const Candidate& optimum : DistinctOptima(problem, std::move(state.ends)))
    result.optima.push_back({optimum.values, optimum.assessment});
  result.start = AssessDesign(problem, control.motors(), problem.base);
  result.evaluations = control.evaluations();
  result.seconds = control.Seconds();
  return result;
}

}  // namespace velmora::studies
