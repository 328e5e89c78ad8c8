// One design in Python: its run, report, check and characteristic curves.
#include <pybind11/stl.h>

#include <cmath>
#include <memory>

#include "bindings.h"
#include "velmora/calc/characteristics.h"
#include "velmora/report/characteristics_output.h"
#include "velmora/report/json_output.h"
#include "velmora/report/reports.h"

namespace velmora::python {

namespace {

// The design check as velmora-calc check --json gives it, read by Python's json.
py::object CheckObject(const Design& d, const calc::CalculationState& state,
                       const ToolOptions& options) {
  std::string text;
  {
    py::gil_scoped_release release;
    text = report::CheckJson(d.input, state, options.check, options.prices);
  }
  return py::module_::import("json").attr("loads")(text);
}

py::object Calculation(const Design& d, const py::object& cls, const py::object& insulation,
                       const py::object& prices, const py::object& thermal) {
  ToolOptions options = MakeToolOptions(cls, insulation, prices, thermal);
  std::unique_ptr<calc::CalculationState> state = RunDesign(d);
  py::dict passes;
  passes["KE0"] = state->passes.KE0;
  passes["FT0"] = state->passes.FT0;
  passes["EFF0"] = state->passes.EFF0;
  passes["IST1"] = state->passes.IST1;
  return py::module_::import("velmora").attr("Result")(QuantityDict(*state), passes,
                                                       CheckObject(d, *state, options));
}

py::object Check(const Design& d, const py::object& cls, const py::object& insulation,
                 const py::object& prices, const py::object& thermal) {
  ToolOptions options = MakeToolOptions(cls, insulation, prices, thermal);
  return CheckObject(d, *RunDesign(d), options);
}

// The report as velmora-calc prints it: the layout SHFA selects, or the one asked for.
std::string Report(const Design& d, const py::object& layout) {
  std::unique_ptr<calc::CalculationState> state = RunDesign(d);
  std::optional<std::string> text;
  if (layout.is_none()) {
    text = report::SelectedReport(d.input, *state);
    if (!text)
      throw py::value_error("input SHFA selects no report (1: list, 2: sheet); give layout=");
  } else if (py::isinstance<py::str>(layout) && layout.cast<std::string>() == "list") {
    text = report::CalculationListReport(d.input, *state);
  } else if (py::isinstance<py::str>(layout) && layout.cast<std::string>() == "sheet") {
    text = report::SummarySheetReport(d.input, *state);
  } else {
    throw py::value_error("layout: 'list', 'sheet' or None, not " + std::string(py::repr(layout)));
  }
  return report::TerminalText(*text);
}

// The curves as velmora-calc curves -o writes them, one DataFrame a kind of row.
py::dict Curves(const Design& d, const std::tuple<double, double, double>& load, int slips) {
  auto [from, to, step] = load;
  if (!(from > 0) || !(to >= from) || !(step > 0) || !((to - from) / step <= 1000))
    throw py::value_error(
        "load: (from, to, step) with from > 0, to >= from, step > 0, "
        "at most 1000 steps");
  if (slips < 4 || slips > 10000) throw py::value_error("slips: 4 to 10000");
  std::unique_ptr<calc::CalculationState> rated = RunDesign(d);
  std::string csv;
  {
    py::gil_scoped_release release;
    calc::Characteristics curves;
    curves.load = calc::PartLoadPerformance(d.input, *rated, {from, to, step});
    curves.speed = calc::TorqueSpeedCurve(*rated, slips);
    csv = report::CharacteristicsCsv(curves);
  }
  py::object io = py::module_::import("io");
  py::object table = py::module_::import("pandas").attr("read_csv")(
      io.attr("StringIO")(csv), py::arg("keep_default_na") = false, py::arg("na_values") = "");
  py::dict out;
  for (const char* kind : {"load", "speed", "mark"}) {
    py::object rows = table[table.attr("__getitem__")("curve").attr("__eq__")(kind)];
    out[kind] = rows.attr("dropna")(py::arg("axis") = 1, py::arg("how") = "all")
                    .attr("reset_index")(py::arg("drop") = true);
  }
  return out;
}

py::object QuantityTable() {
  py::list names, single;
  auto unset = std::make_unique<calc::CalculationState>();
  for (const calc::QuantityEntry& entry : calc::QuantityTable()) {
    names.append(py::str(entry.name.data(), entry.name.size()));
    single.append(entry.get(*unset).single);
  }
  py::dict columns;
  columns["name"] = names;
  columns["single"] = single;
  return py::module_::import("pandas").attr("DataFrame")(columns);
}

}  // namespace

std::unique_ptr<calc::CalculationState> RunDesign(const Design& d) {
  auto state = std::make_unique<calc::CalculationState>();
  calc::CalculationFault fault;
  bool ok = false;
  {
    py::gil_scoped_release release;
    ok = calc::Calculate(d.input, *state, fault);
  }
  if (!ok) RaiseFault(fault, *state);
  return state;
}

void BindCalculation(py::module_& m) {
  m.def("calculate", &Calculation, py::arg("design"), py::kw_only(), py::arg("cls") = py::none(),
        py::arg("insulation") = "B", py::arg("prices") = py::none(),
        py::arg("thermal") = py::none(),
        "Runs the 118 items: a Result mapping every computed quantity by its report name, "
        "with passes, trustworthy, warnings, efficiency_class and cost. Raises "
        "CalculationFault when the run stops.");
  m.def("report", &Report, py::arg("design"), py::arg("layout") = py::none(),
        "The report text as velmora-calc prints it: layout 'list', 'sheet' or None (as SHFA "
        "selects).");
  m.def("check", &Check, py::arg("design"), py::kw_only(), py::arg("cls") = py::none(),
        py::arg("insulation") = "B", py::arg("prices") = py::none(),
        py::arg("thermal") = py::none(),
        "The design check as a dict, as velmora-calc check --json gives it.");
  m.def("curves", &Curves, py::arg("design"), py::arg("load") = std::make_tuple(0.10, 1.50, 0.05),
        py::arg("slips") = 200,
        "The load and torque-speed curves as DataFrames under 'load', 'speed' and 'mark', "
        "the columns of velmora-calc curves -o.");
  m.def("quantities", &QuantityTable,
        "Every computed quantity's report name, in the order of the procedure, and whether "
        "it is single precision.");
}

}  // namespace velmora::python
