// The design optimisation in Python: the options of velmora-calc optimize as
// keyword arguments, the answer as a dict with the best design.
#include <pybind11/stl.h>

#include <map>

#include "bindings.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/optimise.h"

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

py::dict Optimize(const Design& base, const py::dict& vary, const std::string& objective,
                  const py::object& cls, const py::object& insulation, const py::object& prices,
                  const py::object& thermal, const std::map<std::string, double>& limits,
                  const std::map<std::string, double>& margins, const std::string& targets,
                  const py::object& threads, std::uint64_t seed, std::uint64_t max_evaluations,
                  double max_seconds) {
  ToolOptions tools = MakeToolOptions(cls, insulation, prices, thermal);
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
  studies::CheckProblem(problem);
  studies::FitToWinding(problem);
  studies::OptimiseOptions options;
  options.threads = threads.is_none() ? 0 : threads.cast<unsigned>();
  options.seed = seed;
  options.max_evaluations = max_evaluations;
  options.max_seconds = max_seconds;
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

}  // namespace

void BindOptimise(py::module_& m) {
  m.def("optimize", &Optimize, py::arg("design"), py::kw_only(), py::arg("vary"),
        py::arg("objective") = "cost", py::arg("cls") = py::none(), py::arg("insulation") = "B",
        py::arg("prices") = py::none(), py::arg("thermal") = py::none(),
        py::arg("limits") = std::map<std::string, double>{},
        py::arg("margins") = std::map<std::string, double>{}, py::arg("targets") = "plain",
        py::arg("threads") = py::none(), py::arg("seed") = 1, py::arg("max_evaluations") = 200'000,
        py::arg("max_seconds") = 60.0,
        "The design optimisation of velmora-calc optimize: vary={NAME: (from, to) | (from, "
        "to, step) | [values]}, objective 'cost' or 'efficiency', limits={J1: 6.5, ...}, "
        "margins={EFF: 0.5, ...}. A dict: found, feasible, stop, evaluations, design, values, "
        "best, start and the other local optima.");
}

}  // namespace velmora::python
