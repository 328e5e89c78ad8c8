// Many designs in Python: a table of designs, one a row, or the product grid
// of a sweep, run on several threads into one DataFrame. Each row is its own
// run on its own copy of the base design, so the rows do not depend on the
// threads, and they are those of velmora-calc sweep.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "bindings.h"
#include "velmora/report/sweep_csv.h"
#include "velmora/studies/efficiency_class.h"
#include "velmora/studies/material_cost.h"
#include "velmora/studies/parallel.h"
#include "velmora/studies/sweep.h"

namespace velmora::python {

namespace {

constexpr std::size_t kBlockRows = 64;  // rows a task runs
constexpr unsigned kMaxThreads = 1024;

// The varied inputs, one column of numbers each.
struct Table {
  std::vector<int> fields;
  std::vector<std::vector<double>> values;
  std::size_t rows = 0;
};

// A result column: a quantity, or IE, COST or TRISE (quantity null).
struct Column {
  std::string name;
  const calc::QuantityEntry* quantity = nullptr;
};

// The rows' results, written by the tasks: each row only by its own.
struct Results {
  std::vector<double*> numbers;        // one array a column but IE
  std::vector<signed char> ie;         // the class reached, −1: none
  std::vector<std::string> check;      // empty: the run faulted
  std::vector<std::string> fault;      // empty: none
  std::vector<unsigned char> trusted;  // by the run's validity record
};

std::vector<Column> ChosenColumns(const py::object& results) {
  std::vector<Column> columns;
  if (results.is_none()) {
    for (const calc::QuantityEntry& entry : calc::QuantityTable())
      columns.push_back({std::string(entry.name), &entry});
    for (const char* name : {"IE", "COST", "TRISE"}) columns.push_back({name, nullptr});
    return columns;
  }
  std::vector<std::string> names;
  if (py::isinstance<py::str>(results) && results.cast<std::string>() == "key") {
    for (std::string_view name : report::DefaultSweepColumns()) names.emplace_back(name);
  } else {
    names = results.cast<std::vector<std::string>>();
  }
  for (const std::string& name : names) {
    const calc::QuantityEntry* entry = calc::FindQuantityEntry(name);
    if (!entry && name != "IE" && name != "COST" && name != "TRISE")
      throw py::key_error("no computed quantity named " + std::string(py::repr(py::str(name))));
    columns.push_back({entry ? std::string(entry->name) : name, entry});
  }
  if (columns.empty()) throw py::value_error("results: no quantity chosen");
  return columns;
}

// A value a run can take for input `field`: finite, within single precision for SHFA.
void CheckValue(int field, double value, std::size_t row) {
  bool fits = std::isfinite(value) && (field != design::field::SHFA || std::fabs(value) <= FLT_MAX);
  if (!fits)
    throw py::value_error("input " + std::string(design::kFieldInfo[field].name) + ", row " +
                          std::to_string(row) + ": " + design::ShortestText(value) +
                          " is no value the input can take");
}

void AddColumn(Table& table, const std::string& name, const py::handle& column) {
  int field = InputIndex(name);
  if (field == design::field::TYPE)
    throw py::value_error("input TYPE is text: it cannot be varied");
  for (int known : table.fields)
    if (known == field) throw py::value_error("input " + name + " given twice");
  py::array_t<double> array;
  try {
    array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(column);
    if (!array) throw py::error_already_set();
  } catch (const py::error_already_set&) {
    throw py::value_error("input " + name + ": the column is not numbers");
  }
  if (array.ndim() != 1)
    throw py::value_error("input " + name + ": the column is not one-dimensional");
  std::size_t rows = static_cast<std::size_t>(array.shape(0));
  if (!table.fields.empty() && rows != table.rows)
    throw py::value_error("input " + name + ": " + std::to_string(rows) + " rows, the others " +
                          std::to_string(table.rows));
  std::vector<double> values(array.data(), array.data() + rows);
  for (std::size_t row = 0; row < rows; ++row) CheckValue(field, values[row], row);
  table.fields.push_back(field);
  table.values.push_back(std::move(values));
  table.rows = rows;
}

// A DataFrame or a mapping of name to equal-length arrays.
Table ReadTable(const py::object& data) {
  Table table;
  py::object items = py::hasattr(data, "items") ? data.attr("items")() : py::object();
  if (!items) throw py::type_error("table: a DataFrame or a mapping of input name to array");
  for (py::handle item : items) {
    py::tuple pair = py::reinterpret_borrow<py::tuple>(item);
    if (!py::isinstance<py::str>(pair[0]))
      throw py::key_error("no input named " + std::string(py::repr(pair[0])));
    AddColumn(table, pair[0].cast<std::string>(), pair[1]);
  }
  if (table.fields.empty()) throw py::value_error("table: no input column");
  return table;
}

// Runs row `row` of `table` on `input` and keeps the chosen results.
void RunRow(const Table& table, std::size_t row, const std::vector<Column>& columns,
            const ToolOptions& options, design::DesignInput& input, calc::CalculationState& state,
            Results& out) {
  for (std::size_t c = 0; c < table.fields.size(); ++c) {
    double value = table.values[c][row];
    studies::SetVariedInput(input, table.fields[c], value);
  }
  calc::CalculationFault fault;
  const double none = std::nan("");
  if (!calc::Calculate(input, state, fault)) {
    for (double* numbers : out.numbers)
      if (numbers) numbers[row] = none;
    out.fault[row] = fault.message;
    return;
  }
  calc::Validity validity = calc::AssessValidity(state);
  studies::DesignCheck check = studies::CheckDesign(input, state, validity, options.check);
  for (std::size_t j = 0; j < columns.size(); ++j) {
    const Column& column = columns[j];
    if (column.quantity) {
      calc::QuantityView view = column.quantity->get(state);
      out.numbers[j][row] = view.set ? view.value : none;
    } else if (column.name == "COST") {
      out.numbers[j][row] = studies::CostOf(state, options.prices).total;
    } else if (column.name == "TRISE") {
      out.numbers[j][row] = check.thermal.ok() ? check.thermal.winding_rise : none;
    } else if (check.efficiency_class.limits.classified()) {
      out.ie[row] = static_cast<signed char>(check.efficiency_class.reached);
    }
  }
  out.check[row] = report::CheckVerdict(check);
  out.trusted[row] = validity.Trustworthy();
}

// Texts as a column of str, None for an empty one; the few distinct texts
// (ok, the failed rules, the faults) made into Python objects once each.
py::list TextColumn(const std::vector<std::string>& texts) {
  std::unordered_map<std::string_view, py::object> made;
  py::list column(texts.size());
  for (std::size_t row = 0; row < texts.size(); ++row) {
    py::object& text = made[texts[row]];
    if (!text) text = texts[row].empty() ? py::object(py::none()) : py::object(py::str(texts[row]));
    column[row] = text;
  }
  return column;
}

// Every row of `table` run on `base`: the chosen results, check, trustworthy
// and fault, as the columns of a DataFrame (`frame`, filled in order).
void Evaluate(const design::DesignInput& base, const Table& table,
              const std::vector<Column>& columns, const ToolOptions& options, unsigned threads,
              py::dict& frame) {
  Results out;
  std::vector<py::array_t<double>> arrays;
  for (const Column& column : columns) {
    bool ie = !column.quantity && column.name == "IE";
    arrays.emplace_back(ie ? 0 : table.rows);
    out.numbers.push_back(ie ? nullptr : arrays.back().mutable_data());
  }
  out.ie.assign(table.rows, -1);
  out.check.resize(table.rows);
  out.fault.resize(table.rows);
  out.trusted.assign(table.rows, 0);
  {
    py::gil_scoped_release release;
    std::size_t blocks = (table.rows + kBlockRows - 1) / kBlockRows;
    studies::RunTasks(blocks, threads, [&](std::size_t block) {
      design::DesignInput input = base;
      auto state = std::make_unique<calc::CalculationState>();
      std::size_t end = std::min(table.rows, (block + 1) * kBlockRows);
      for (std::size_t row = block * kBlockRows; row < end; ++row)
        RunRow(table, row, columns, options, input, *state, out);
    });
  }
  for (std::size_t j = 0; j < columns.size(); ++j) {
    if (out.numbers[j]) {
      frame[py::str(columns[j].name)] = arrays[j];
      continue;
    }
    std::vector<std::string> ie(table.rows);
    for (std::size_t row = 0; row < table.rows; ++row)
      if (out.ie[row] >= 0)
        ie[row] = studies::ClassName(static_cast<studies::EfficiencyClass>(out.ie[row]));
    frame[py::str(columns[j].name)] = TextColumn(ie);
  }
  frame["check"] = TextColumn(out.check);
  py::array_t<bool> trusted(table.rows);
  std::copy(out.trusted.begin(), out.trusted.end(), trusted.mutable_data());
  frame["trustworthy"] = trusted;
  frame["fault"] = TextColumn(out.fault);
}

py::object EvaluateTable(const Design& base, const py::object& data, const py::object& threads,
                         const py::object& results, const py::object& cls,
                         const py::object& insulation, const py::object& prices,
                         const py::object& thermal) {
  Table table = ReadTable(data);
  std::vector<Column> columns = ChosenColumns(results);
  ToolOptions options = MakeToolOptions(cls, insulation, prices, thermal);
  py::dict frame;
  Evaluate(base.input, table, columns, options, ThreadCount(threads), frame);
  py::object pandas = py::module_::import("pandas");
  if (py::isinstance(data, pandas.attr("DataFrame")))
    return pandas.attr("DataFrame")(frame, py::arg("index") = data.attr("index"));
  return pandas.attr("DataFrame")(frame);
}

// An axis of a sweep: (from, to, step) as a range, else a list of values.
studies::SweepAxis Axis(int field, const py::handle& values) {
  if (py::isinstance<py::tuple>(values) && py::len(values) == 3) {
    auto [from, to, step] = values.cast<std::tuple<double, double, double>>();
    return studies::SweepAxis::Range(field, from, to, step);
  }
  Table one;
  AddColumn(one, design::kFieldInfo[field].name, values);
  return studies::SweepAxis::List(field, std::move(one.values.front()));
}

py::object Sweep(const Design& base, const py::object& threads, const py::object& results,
                 const py::object& cls, const py::object& insulation, const py::object& prices,
                 const py::object& thermal, const py::kwargs& vary) {
  std::vector<studies::SweepAxis> axes;
  for (auto [name, values] : vary) {
    int field = InputIndex(py::str(name));
    if (field == design::field::TYPE)
      throw py::value_error("input TYPE is text: it cannot be varied");
    axes.push_back(Axis(field, values));
  }
  if (axes.empty()) throw py::value_error("sweep: no input to vary (NAME=values)");
  studies::SweepGrid grid(std::move(axes));
  studies::CheckSweepSelectors(base.input, grid);
  std::vector<Column> columns = ChosenColumns(results);
  ToolOptions options = MakeToolOptions(cls, insulation, prices, thermal);
  // The grid's rows as a table, the last axis varying fastest.
  Table table;
  table.rows = grid.size();
  table.values.assign(grid.axes().size(), std::vector<double>(table.rows));
  std::vector<double> values(grid.axes().size());
  for (std::uint64_t row = 0; row < grid.size(); ++row) {
    grid.Values(row, values);
    for (std::size_t a = 0; a < values.size(); ++a) table.values[a][row] = values[a];
  }
  py::dict frame;
  for (std::size_t a = 0; a < grid.axes().size(); ++a) {
    int field = grid.axes()[a].field();
    table.fields.push_back(field);
    // Named as the CSV names it: "input EFF" beside the result EFF.
    std::string name = design::kFieldInfo[field].name;
    bool shared = std::any_of(columns.begin(), columns.end(),
                              [&](const Column& column) { return column.name == name; });
    frame[py::str(shared ? "input " + name : name)] =
        py::array_t<double>(static_cast<py::ssize_t>(table.rows), table.values[a].data());
  }
  Evaluate(base.input, table, columns, options, ThreadCount(threads), frame);
  return py::module_::import("pandas").attr("DataFrame")(frame);
}

}  // namespace

unsigned ThreadCount(const py::object& threads) {
  if (threads.is_none()) return 0;
  long n = threads.cast<long>();
  if (n < 1 || n > kMaxThreads) throw py::value_error("threads: 1 to 1024 or None");
  return static_cast<unsigned>(n);
}

void BindBatch(py::module_& m) {
  m.def("evaluate", &EvaluateTable, py::arg("base"), py::arg("table"), py::kw_only(),
        py::arg("threads") = py::none(), py::arg("results") = py::none(),
        py::arg("cls") = py::none(), py::arg("insulation") = "B", py::arg("prices") = py::none(),
        py::arg("thermal") = py::none(),
        "Runs one design a row: `base` with the inputs of the row's columns (a DataFrame "
        "or a mapping of input name to equal-length arrays). A DataFrame of the results "
        "(None: every quantity, IE, COST and TRISE; 'key': the columns of velmora-calc "
        "sweep; or a list of names), check, trustworthy and fault a row. threads None: one "
        "per processor.");
  m.def("sweep", &Sweep, py::arg("base"), py::kw_only(), py::arg("threads") = py::none(),
        py::arg("results") = "key", py::arg("cls") = py::none(), py::arg("insulation") = "B",
        py::arg("prices") = py::none(), py::arg("thermal") = py::none(),
        "The product grid of the inputs given as NAME=values or NAME=(from, to, step), the "
        "last varying fastest, as velmora-calc sweep runs it: the varied inputs, then the "
        "columns of evaluate.");
}

}  // namespace velmora::python
