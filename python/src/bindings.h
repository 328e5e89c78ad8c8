// What the parts of the Python module share: the design as Python sees it,
// the options of the design tools and the exceptions raised.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "velmora/calc/calculation.h"
#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/tolerance.h"

namespace velmora::python {

namespace py = pybind11;

// A design: its 60 inputs, read and changed by name.
struct Design {
  design::DesignInput input;
};

// A path as Python gives it: str or os.PathLike.
std::string PathText(const py::object& path);

// Index of the input called `name`; KeyError naming it when there is none.
int InputIndex(const std::string& name);

// The input `index` takes the Python value `value` (a number, a text or
// None); ValueError naming the input for a value its file could not hold.
void SetInput(design::DesignInput& input, int index, const py::handle& value);

// What the design tools ask beyond the design, from the keyword arguments
// cls (IE2, IE3, IE4, "none"; None: the legal minimum), insulation (B, F, H,
// "none"), prices and thermal (files; None: the file beside the module, or
// the shipped data).
struct ToolOptions {
  studies::CheckOptions check;
  design::MaterialPrices prices;
  std::string thermal_file;  // the thermal data file read; empty: the built-in data
};
ToolOptions MakeToolOptions(const py::object& cls, const py::object& insulation,
                            const py::object& prices, const py::object& thermal);

// Raises velmora.CalculationFault for the fault of a run, with the state so far.
[[noreturn]] void RaiseFault(const calc::CalculationFault& fault,
                             const calc::CalculationState& state);

// A finished run of one design, without the GIL while the engine works;
// velmora.CalculationFault when it stops.
std::unique_ptr<calc::CalculationState> RunDesign(const Design& d);

// The keyword threads: None (0: one per processor) or 1 to 1024.
unsigned ThreadCount(const py::object& threads);

// The keyword tol: {NAME: "±0.02" | "±0.5%" | 0.02 (±, in the input's
// unit)} as --tol takes them; None: the workshop's tolerances.
std::vector<std::pair<std::size_t, studies::Spread>> Tolerances(const py::object& tol);

// Every set quantity of `state` by its report name, in the order of the procedure.
py::dict QuantityDict(const calc::CalculationState& state);

void BindDesign(py::module_& m);
void BindCalculation(py::module_& m);
void BindBatch(py::module_& m);
void BindOptimise(py::module_& m);
void BindStudies(py::module_& m);

}  // namespace velmora::python
