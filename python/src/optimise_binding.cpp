// The design optimisation in Python: the options of velmora-calc optimize as
// keyword arguments, the answer as a dict with the best design.
#include <pybind11/stl.h>

#include <map>

#include "bindings.h"
#include "velmora/report/front_output.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/optimise.h"
#include "velmora/studies/pareto_front.h"

namespace velmora::python {

namespace {

// (from, to) a range on the workshop step, (from, to, step) the points of a
// sweep range, anything else a list of values.
studies::OptimiseVariable Variable(int field, const py::handle& values) {
  if (py::isinstance<py::tuple>(values) && py::len(values) == 2) {
    auto [from, to] = values.cast<std::tuple<double, double>>();
    return studies::RangeVariable(field, from, to);
  }
  if (py::isinstance<py::tuple>(values) && py::len(values) == 3) {
    auto [from, to, step] = values.cast<std::tuple<double, double, double>>();
    return studies::SteppedVariable(field, from, to, step);
  }
  try {
    return studies::ListVariable(field, values.cast<std::vector<double>>());
  } catch (const py::cast_error&) {
    throw py::value_error("vary " + std::string(design::kFieldInfo[field].name) +
                          ": (from, to), (from, to, step) or a list of numbers");
  }
}

const char* StopName(studies::OptimiseResult::Stop stop) {
  switch (stop) {
    case studies::OptimiseResult::Stop::NoImprovement:
      return "no_improvement";
    case studies::OptimiseResult::Stop::Evaluations:
      return "evaluations";
    case studies::OptimiseResult::Stop::Time:
      return "time";
    case studies::OptimiseResult::Stop::Cancelled:
      return "cancelled";
  }
  return "";
}

py::dict Values(const studies::OptimiseProblem& problem, const std::vector<double>& values) {
  py::dict out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out[design::kFieldInfo[problem.variables[i].field].name] = values[i];
  return out;
}

py::dict AssessmentDict(const studies::Assessment& a) {
  py::dict out;
  out["ran"] = a.ran;
  out["feasible"] = a.Feasible();
  out["trustworthy"] = a.Trustworthy();
  if (!a.ran) return out;
  out["cost"] = a.cost;
  out["EFF"] = a.EFF;
  out["PF"] = a.PF;
  out["Ist"] = a.Ist;
  out["TST1"] = a.TST1;
  out["TMAX1"] = a.TMAX1;
  out["SF"] = a.SF;
  out["TRISE"] = a.TRISE;
  out["class"] = std::string(studies::ClassName(a.reached));
  py::list lines;
  for (const studies::ConstraintLine& line : a.constraints()) {
    py::dict entry;
    entry["name"] = std::string(line.name);
    entry["bound"] = line.bound == studies::CheckLine::Bound::AtLeast ? "at_least" : "at_most";
    entry["limit"] = line.limit;
    entry["value"] = line.value;
    entry["met"] = line.Met();
    lines.append(entry);
  }
  out["constraints"] = lines;
  return out;
}

// The problem the keyword arguments pose; robust with min_yield.
studies::OptimiseProblem Problem(const Design& base, const py::dict& vary,
                                 const std::string& objective, const ToolOptions& tools,
                                 const std::map<std::string, double>& limits,
                                 const std::map<std::string, double>& margins,
                                 const std::string& targets, const py::object& min_yield,
                                 const py::object& tol, const py::object& yield_samples) {
  studies::OptimiseProblem problem;
  problem.base = base.input;
  if (objective != "cost" && objective != "efficiency")
    throw py::value_error("objective: 'cost' or 'efficiency', not '" + objective + "'");
  problem.objective = objective == "cost" ? studies::OptimiseObjective::Cost
                                          : studies::OptimiseObjective::Efficiency;
  if (targets != "plain" && targets != "guarantee")
    throw py::value_error("targets: 'plain' or 'guarantee', not '" + targets + "'");
  problem.targets = targets == "plain" ? studies::OptimiseProblem::Targets::AsGiven
                                       : studies::OptimiseProblem::Targets::WithTolerance;
  problem.check = tools.check;
  problem.prices = tools.prices;
  for (auto [name, values] : vary)
    problem.variables.push_back(Variable(InputIndex(py::str(name)), values));
  for (const auto& [name, value] : limits) problem.limits.push_back({name, value});
  for (const auto& [name, value] : margins) {
    std::optional<std::string_view> constraint = studies::MarginConstraint(name);
    if (!constraint) throw py::key_error("no margin can be kept on " + name);
    problem.margins.push_back({std::string(*constraint), value});
  }
  if (min_yield.is_none() && !(tol.is_none() && yield_samples.is_none()))
    throw py::value_error(std::string(tol.is_none() ? "yield_samples" : "tol") +
                          ": only with min_yield");
  if (!min_yield.is_none()) {
    problem.robust.emplace();
    problem.robust->min_yield = min_yield.cast<double>();
    if (!studies::YieldInRange(problem.robust->min_yield))
      throw py::value_error("min_yield: above 0, at most 1, not " +
                            std::string(py::repr(min_yield)));
    problem.robust->tolerances = Tolerances(tol);
    if (!yield_samples.is_none()) {
      long samples = yield_samples.cast<long>();
      if (samples < 1 || samples > static_cast<long>(studies::kMaxYieldSamples))
        throw py::value_error("yield_samples: 1 to " + std::to_string(studies::kMaxYieldSamples));
      problem.robust->samples = static_cast<std::uint64_t>(samples);
    }
  }
  studies::CheckProblem(problem);
  studies::FitToWinding(problem);
  return problem;
}

studies::OptimiseOptions RunOptions(const py::object& threads, std::uint64_t seed,
                                    std::uint64_t max_evaluations, double max_seconds) {
  studies::OptimiseOptions options;
  options.threads = ThreadCount(threads);
  options.seed = seed;
  options.max_evaluations = max_evaluations;
  options.max_seconds = max_seconds;
  return options;
}

py::dict Optimize(const Design& base, const py::dict& vary, const std::string& objective,
                  const py::object& cls, const py::object& insulation, const py::object& prices,
                  const py::object& thermal, const std::map<std::string, double>& limits,
                  const std::map<std::string, double>& margins, const std::string& targets,
                  const py::object& threads, std::uint64_t seed, std::uint64_t max_evaluations,
                  double max_seconds, const py::object& min_yield, const py::object& tol,
                  const py::object& yield_samples) {
  ToolOptions tools = MakeToolOptions(cls, insulation, prices, thermal);
  studies::OptimiseProblem problem = Problem(base, vary, objective, tools, limits, margins, targets,
                                             min_yield, tol, yield_samples);
  studies::OptimiseOptions options = RunOptions(threads, seed, max_evaluations, max_seconds);
  studies::OptimiseResult result;
  {
    py::gil_scoped_release release;
    result = studies::Optimise(problem, options);
  }
  py::dict out;
  out["found"] = result.found;
  out["feasible"] = result.Feasible();
  out["stop"] = StopName(result.stop);
  out["evaluations"] = result.evaluations;
  out["start"] = AssessmentDict(result.start);
  if (!result.found) return out;
  out["design"] = Design{result.design};
  out["values"] = Values(problem, result.values);
  out["best"] = AssessmentDict(result.best);
  py::list optima;
  for (const studies::Optimum& optimum : result.optima) {
    py::dict entry = AssessmentDict(optimum.assessment);
    entry["values"] = Values(problem, optimum.values);
    optima.append(entry);
  }
  out["optima"] = optima;
  return out;
}

// The cost-efficiency front of velmora-calc optimize --objective pareto: its
// --front-csv as a DataFrame, and the designs of its points.
py::tuple Front(const Design& base, const py::dict& vary, int points, const py::object& cls,
                const py::object& insulation, const py::object& prices, const py::object& thermal,
                const std::map<std::string, double>& limits,
                const std::map<std::string, double>& margins, const std::string& targets,
                const py::object& threads, std::uint64_t seed, std::uint64_t max_evaluations,
                double max_seconds) {
  if (points < studies::kMinFrontPoints || points > studies::kMaxFrontPoints)
    throw py::value_error("points: " + std::to_string(studies::kMinFrontPoints) + " to " +
                          std::to_string(studies::kMaxFrontPoints));
  ToolOptions tools = MakeToolOptions(cls, insulation, prices, thermal);
  studies::OptimiseProblem problem = Problem(base, vary, "cost", tools, limits, margins, targets,
                                             py::none(), py::none(), py::none());
  studies::FrontOptions options{
      points, RunOptions(threads, seed, max_evaluations, max_seconds), {}};
  std::string csv;
  std::vector<design::DesignInput> designs;
  {
    py::gil_scoped_release release;
    studies::Front front = studies::FindFront(problem, options);
    csv = report::FrontCsv(problem, front);
    for (const studies::Optimum& point : front.points)
      designs.push_back(studies::DesignWith(problem, point.values));
  }
  py::list made;
  for (design::DesignInput& design : designs) made.append(Design{std::move(design)});
  py::object io = py::module_::import("io");
  return py::make_tuple(py::module_::import("pandas").attr("read_csv")(io.attr("StringIO")(csv)),
                        made);
}

}  // namespace

void BindOptimise(py::module_& m) {
  m.def("optimize", &Optimize, py::arg("design"), py::kw_only(), py::arg("vary"),
        py::arg("objective") = "cost", py::arg("cls") = py::none(), py::arg("insulation") = "B",
        py::arg("prices") = py::none(), py::arg("thermal") = py::none(),
        py::arg("limits") = std::map<std::string, double>{},
        py::arg("margins") = std::map<std::string, double>{}, py::arg("targets") = "plain",
        py::arg("threads") = py::none(), py::arg("seed") = 1, py::arg("max_evaluations") = 200'000,
        py::arg("max_seconds") = 60.0, py::arg("min_yield") = py::none(),
        py::arg("tol") = py::none(), py::arg("yield_samples") = py::none(),
        "The design optimisation of velmora-calc optimize: vary={NAME: (from, to) | (from, "
        "to, step) | [values]}, objective 'cost' or 'efficiency', limits={J1: 6.5, ...}, "
        "margins={EFF: 0.5, ...}. A dict: found, feasible, stop, evaluations, design, values, "
        "best, start and the other local optima. min_yield (with tol and yield_samples): "
        "robust, as --min-yield.");
  m.def("front", &Front, py::arg("design"), py::kw_only(), py::arg("vary"), py::arg("points") = 12,
        py::arg("cls") = py::none(), py::arg("insulation") = "B", py::arg("prices") = py::none(),
        py::arg("thermal") = py::none(), py::arg("limits") = std::map<std::string, double>{},
        py::arg("margins") = std::map<std::string, double>{}, py::arg("targets") = "plain",
        py::arg("threads") = py::none(), py::arg("seed") = 1, py::arg("max_evaluations") = 200'000,
        py::arg("max_seconds") = 60.0,
        "The cost-efficiency front of velmora-calc optimize --objective pareto: (points, "
        "designs), the DataFrame of its --front-csv (EFF COST PF Ist TRISE and the varied "
        "inputs) and a Design a point.");
}

}  // namespace velmora::python
