// The Python module "velmora": the 118-item calculation, its reports and the
// design tools in the interpreter. A thin client of the libraries, like
// velmora-calc: every number comes from the engine, every text from report/.
#include <dlfcn.h>
#include <pybind11/eval.h>

#include <string>

#include "bindings.h"
#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/thermal.h"
#include "velmora/studies/thermal_data.h"

namespace velmora::python {

namespace {

// The Python classes of the module: the fault of a run, and the result of
// one (the quantities by name, the rest as attributes).
const char* kPythonClasses = R"(
class CalculationFault(Exception):
    """A run of the procedure stopped: item (for example "16"), title,
    kind (selector, type_mismatch, divide_by_zero, overflow, invalid,
    no_convergence), message (Chinese) and state, the quantities set so far."""

    def __init__(self, message, item, title, kind, state):
        super().__init__(message)
        self.message = message
        self.item = item
        self.title = title
        self.kind = kind
        self.state = state


class Result(dict):
    """Every computed quantity of a run by its report name (dict), with the
    pass counts (passes), whether the results can be trusted (trustworthy),
    the validity warnings, the efficiency class and the material cost as
    the JSON of velmora-calc gives them."""

    def __init__(self, quantities, passes, check):
        super().__init__(quantities)
        self.passes = passes
        self.trustworthy = check["trustworthy"]
        self.warnings = check["warnings"]
        self.efficiency_class = check["efficiency_class"]
        self.cost = check["cost"]

    def __repr__(self):
        return "<velmora.Result %d quantities, EFF=%r>" % (len(self), self.get("EFF"))
)";

const char* FaultKindName(calc::CalculationFault::Kind kind) {
  switch (kind) {
    case calc::CalculationFault::Kind::Selector:
      return "selector";
    case calc::CalculationFault::Kind::TypeMismatch:
      return "type_mismatch";
    case calc::CalculationFault::Kind::DivideByZero:
      return "divide_by_zero";
    case calc::CalculationFault::Kind::Overflow:
      return "overflow";
    case calc::CalculationFault::Kind::Invalid:
      return "invalid";
    case calc::CalculationFault::Kind::NoConvergence:
      return "no_convergence";
  }
  return "";
}

// The folder of the module's file: its price and thermal data files lie
// there, as the programs' lie beside them.
std::string ModuleFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname) return ".";
  std::string file = info.dli_fname;
  std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? "." : file.substr(0, slash);
}

std::string OptionText(const py::object& value, const char* keyword) {
  if (!py::isinstance<py::str>(value))
    throw py::type_error(std::string(keyword) + ": a str, not " +
                         std::string(py::str(value.get_type().attr("__name__"))));
  return value.cast<std::string>();
}

// Errors of the libraries as Python's: a file that is not there, one that
// cannot be read or written, and every other refusal as a ValueError.
void TranslateErrors(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const design::InputFileError& e) {
    if (e.kind() == design::InputFileError::Kind::NotFound)
      PyErr_SetString(PyExc_FileNotFoundError, e.what());
    else if (e.kind() == design::InputFileError::Kind::Short)
      PyErr_SetString(PyExc_ValueError, e.what());
    else
      PyErr_SetString(PyExc_OSError, e.what());
  } catch (const design::FileError& e) {
    PyErr_SetString(PyExc_OSError, e.what());
  } catch (const Error& e) {
    PyErr_SetString(PyExc_ValueError, e.what());
  }
}

}  // namespace

std::string PathText(const py::object& path) {
  return py::str(py::module_::import("os").attr("fspath")(path));
}

ToolOptions MakeToolOptions(const py::object& cls, const py::object& insulation,
                            const py::object& prices, const py::object& thermal) {
  ToolOptions options;
  if (!cls.is_none()) {
    std::string name = OptionText(cls, "cls");
    options.check.required_class = studies::ParseClassName(name);
    options.check.check_class = name != "none";
    if (!options.check.required_class && options.check.check_class)
      throw py::value_error("cls: IE2, IE3, IE4 or 'none', not " + std::string(py::repr(cls)));
  }
  std::string insulation_name =
      insulation.is_none() ? "none" : OptionText(insulation, "insulation");
  options.check.insulation = studies::ParseInsulationClass(insulation_name);
  if (!options.check.insulation && insulation_name != "none")
    throw py::value_error("insulation: B, F, H or 'none', not " +
                          std::string(py::repr(insulation)));
  const std::string folder = ModuleFolder();
  options.prices =
      prices.is_none() ? design::ReadPricesOrShipped(folder) : design::ReadPrices(PathText(prices));
  if (thermal.is_none()) {
    options.check.thermal = studies::ReadThermalDataOrDefault(folder, options.thermal_file);
  } else {
    options.thermal_file = PathText(thermal);
    options.check.thermal = studies::ReadThermalData(options.thermal_file);
  }
  return options;
}

py::dict QuantityDict(const calc::CalculationState& state) {
  py::dict quantities;
  for (const calc::QuantityEntry& entry : calc::QuantityTable()) {
    calc::QuantityView view = entry.get(state);
    if (view.set) quantities[py::str(entry.name.data(), entry.name.size())] = view.value;
  }
  return quantities;
}

void RaiseFault(const calc::CalculationFault& fault, const calc::CalculationState& state) {
  py::object type = py::module_::import("velmora").attr("CalculationFault");
  py::object error =
      type(fault.message, fault.item, fault.title, FaultKindName(fault.kind), QuantityDict(state));
  PyErr_SetObject(type.ptr(), error.ptr());
  throw py::error_already_set();
}

}  // namespace velmora::python

PYBIND11_MODULE(velmora, m) {
  using namespace velmora::python;
  m.doc() =
      "Velmora: the electromagnetic design of three-phase squirrel-cage induction motors "
      "(the 118-item procedure), its reports, design check, sweeps and batch evaluation.";
  py::exec(kPythonClasses, m.attr("__dict__"));
  m.attr("Result").attr("__module__") = "velmora";
  m.attr("CalculationFault").attr("__module__") = "velmora";
  py::register_exception_translator(&TranslateErrors);
  BindDesign(m);
  BindCalculation(m);
  BindBatch(m);
  BindOptimise(m);
  BindStudies(m);
}
