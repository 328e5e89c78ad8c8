// The studies of one design in Python: its temperature rise, its
// manufacturing tolerances, and a new design from a rating, with the options
// of velmora-calc thermal, tolerance and new as keyword arguments. The
// answers are the commands' own JSON and CSV, read by Python.
#include <pybind11/stl.h>

#include <cmath>
#include <map>
#include <stdexcept>

#include "bindings.h"
#include "velmora/report/json_output.h"
#include "velmora/report/thermal_output.h"
#include "velmora/report/tolerance_output.h"
#include "velmora/studies/sizing.h"
#include "velmora/studies/thermal.h"
#include "velmora/studies/thermal_data.h"

namespace velmora::python {

namespace {

py::object ReadJson(const std::string& text) {
  return py::module_::import("json").attr("loads")(text);
}

py::object ReadCsv(const std::string& csv) {
  py::object io = py::module_::import("io");
  return py::module_::import("pandas").attr("read_csv")(
      io.attr("StringIO")(csv), py::arg("keep_default_na") = false, py::arg("na_values") = "");
}

// The cooling air's temperature within the range the thermal data allow.
double Ambient(const py::object& ambient) {
  for (const studies::ThermalDataEntry& e : studies::ThermalDataTable()) {
    if (e.name != "AMBIENT") continue;
    double value = ambient.cast<double>();
    if (!(value >= e.min) || !(value <= e.max))
      throw py::value_error("ambient: " + design::ShortestText(e.min) + " to " +
                            design::ShortestText(e.max) + " °C, not " +
                            std::string(py::repr(ambient)));
    return value;
  }
  return 0;
}

// The rise as velmora-calc thermal --json gives it, nodes and paths as DataFrames.
py::object Thermal(const Design& d, const py::object& insulation, const py::object& ambient,
                   const py::object& thermal) {
  ToolOptions options = MakeToolOptions(py::none(), insulation, py::none(), thermal);
  if (!options.check.insulation)
    throw py::value_error("insulation: B, F or H, not " + std::string(py::repr(insulation)));
  studies::ThermalData data = options.check.thermal;
  if (!ambient.is_none()) data.AMBIENT = Ambient(ambient);
  std::unique_ptr<calc::CalculationState> state = RunDesign(d);
  std::string text;
  bool ok = false;
  {
    py::gil_scoped_release release;
    studies::ThermalResult rise = studies::ThermalOf(*state, data, {*options.check.insulation});
    studies::HotPerformance hot = studies::HotRun(d.input, rise);
    report::ThermalReport report{rise, hot, *state, options.thermal_file};
    ok = rise.ok();
    text = ok ? report::ThermalJson(report) : report::ThermalText(report);
  }
  if (!ok) throw std::runtime_error(text.substr(0, text.size() - 1));
  py::dict out = ReadJson(text);
  py::object frame = py::module_::import("pandas").attr("DataFrame");
  for (const char* table : {"nodes", "paths"})
    if (out.contains(table)) out[table] = frame(out[table]);
  return out;
}

// The statistics as velmora-calc tolerance --json, and the samples as its -o CSV.
py::tuple Tolerance(const Design& d, std::uint64_t samples, const py::object& tol,
                    std::uint64_t seed, const py::object& threads, const py::object& cls,
                    const py::object& insulation, const py::object& thermal) {
  if (samples < 1 || samples > studies::kMaxToleranceSamples)
    throw py::value_error("samples: 1 to " + std::to_string(studies::kMaxToleranceSamples));
  ToolOptions tools = MakeToolOptions(cls, insulation, py::none(), thermal);
  studies::ToleranceOptions options;
  options.samples = samples;
  options.seed = seed;
  options.threads = ThreadCount(threads);
  options.given = Tolerances(tol);
  options.check = tools.check;
  RunDesign(d);
  std::string json, csv;
  {
    py::gil_scoped_release release;
    studies::ToleranceResult result = studies::AnalyseTolerances(d.input, options);
    json = report::ToleranceJson(result);
    csv = report::ToleranceCsv(result);
  }
  return py::make_tuple(ReadJson(json), ReadCsv(csv));
}

py::dict NewDesign(double power, int poles, double voltage, double frequency, const py::object& cls,
                   const py::object& insulation, const py::object& prices,
                   const py::object& thermal, const py::object& targets, bool optimise,
                   const py::object& threads, const std::optional<std::uint64_t>& max_evaluations) {
  ToolOptions tools = MakeToolOptions(cls, insulation, prices, thermal);
  if (!tools.check.check_class)
    throw py::value_error("cls: 'none' is no class a new design can be made for");
  studies::Rating rating;
  rating.Pn = power;
  rating.P = poles;
  rating.Un = voltage;
  rating.f = frequency;
  rating.required_class = tools.check.required_class;
  rating.insulation = tools.check.insulation;
  if (!targets.is_none())
    for (const auto& [name, value] : targets.cast<std::map<std::string, double>>())
      rating.targets.push_back({name, value});
  studies::NewDesignOptions options;
  options.optimise = optimise;
  options.run.threads = ThreadCount(threads);
  options.run.max_evaluations = max_evaluations.value_or(studies::kNewDesignEvaluations);
  if (options.run.max_evaluations < 100 || options.run.max_evaluations > 10'000'000)
    throw py::value_error("max_evaluations: 100 to 10000000");
  options.prices = tools.prices;
  options.thermal = tools.check.thermal;
  studies::NewDesign made;
  {
    py::gil_scoped_release release;
    made = studies::DesignFromRating(rating, options);
  }
  py::dict out;
  Design design{made.design};
  out["design"] = design;
  out["frame"] = made.sized.frame;
  py::list names, values, reasons;
  for (const studies::SizingStep& step : made.sized.steps) {
    names.append(step.name);
    values.append(step.value);
    reasons.append(step.reason);
  }
  py::dict steps;
  steps["name"] = names;
  steps["value"] = values;
  steps["reason"] = reasons;
  out["steps"] = py::module_::import("pandas").attr("DataFrame")(steps);
  out["notes"] = made.sized.notes;
  out["frames_tried"] = made.frames_tried;
  if (made.refined) out["evaluations"] = made.refined->evaluations;
  std::unique_ptr<calc::CalculationState> state = RunDesign(design);
  out["check"] = ReadJson(report::CheckJson(
      made.design, *state, studies::CheckOptionsFor(rating, options.thermal), tools.prices));
  out["passed"] = made.passed;
  return out;
}

}  // namespace

std::vector<std::pair<std::size_t, studies::Spread>> Tolerances(const py::object& tol) {
  std::vector<std::pair<std::size_t, studies::Spread>> given;
  if (tol.is_none()) return given;
  for (auto [key, value] : tol.cast<py::dict>()) {
    std::string name = py::str(key);
    if (!studies::FindToleranceInput(name))
      throw py::key_error("tol: no tolerance input named " + std::string(py::repr(key)));
    if (!py::isinstance<py::str>(value)) {
      double spread = value.cast<double>();
      if (!(spread >= 0) || !std::isfinite(spread))
        throw py::value_error("tol " + name + ": a number of 0 or more, not " +
                              std::string(py::repr(value)));
      given.push_back(
          {*studies::FindToleranceInput(name), {studies::SpreadKind::Absolute, spread}});
      continue;
    }
    try {
      given.push_back(studies::ParseToleranceOption(name + "=" + value.cast<std::string>()));
    } catch (const studies::ToleranceError& error) {
      throw py::value_error("tol " + name + ": " + error.what());
    }
  }
  return given;
}

void BindStudies(py::module_& m) {
  m.def("thermal", &Thermal, py::arg("design"), py::kw_only(), py::arg("insulation") = "B",
        py::arg("ambient") = py::none(), py::arg("thermal") = py::none(),
        "The temperature rise at rated load as velmora-calc thermal --json gives it (the "
        "winding's rise against the class limit, the hot performance), nodes and paths as "
        "DataFrames.");
  m.def("tolerance", &Tolerance, py::arg("design"), py::kw_only(), py::arg("samples") = 2000,
        py::arg("tol") = py::none(), py::arg("seed") = 1, py::arg("threads") = py::none(),
        py::arg("cls") = py::none(), py::arg("insulation") = "B", py::arg("thermal") = py::none(),
        "The manufacturing tolerances of velmora-calc tolerance: (summary, samples), the dict "
        "of its --json and the DataFrame of its -o CSV. tol={NAME: '±0.02' | '±0.5%' | 0.02}.");
  m.def("new", &NewDesign, py::arg("power"), py::arg("poles"), py::kw_only(),
        py::arg("voltage") = 380.0, py::arg("frequency") = 50.0, py::arg("cls") = py::none(),
        py::arg("insulation") = "B", py::arg("prices") = py::none(),
        py::arg("thermal") = py::none(), py::arg("targets") = py::none(),
        py::arg("optimise") = true, py::arg("threads") = py::none(),
        py::arg("max_evaluations") = py::none(),
        "A design from its rating, as velmora-calc new makes it: a dict of design, frame, "
        "steps (DataFrame name, value, reason), notes, check (as check --json) and passed.");
}

}  // namespace velmora::python
