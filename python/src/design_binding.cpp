// The design in Python: the 60 inputs by name, their file, their captions and units.
#include <pybind11/stl.h>

#include <cmath>

#include "bindings.h"
#include "velmora/design/input_file.h"
#include "velmora/design/input_hints.h"
#include "velmora/design/text_codec.h"

namespace velmora::python {

namespace {

// Whether the input file holds `text` as it stands: written and read back,
// one field and the same text (no comma, line break, quote or blanks at
// either end that the reader would take, no character GBK lacks).
bool FileHolds(const std::string& text) {
  std::vector<std::string> fields = design::ParseInputFields(design::Utf8ToGbk(text) + ",");
  return fields.size() == 1 && fields[0] == text;
}

py::object InputValue(const design::FieldValue& field) {
  switch (field.kind) {
    case design::FieldValue::Kind::Number:
      return py::float_(field.number);
    case design::FieldValue::Kind::Text:
      return py::str(field.text);
    case design::FieldValue::Kind::Empty:
      break;
  }
  return py::none();
}

py::list Names() {
  py::list names;
  for (const design::FieldInfo& info : design::kFieldInfo) names.append(info.name);
  return names;
}

Design Replaced(const Design& design, const py::kwargs& values) {
  Design out = design;
  for (auto [name, value] : values) SetInput(out.input, InputIndex(py::str(name)), value);
  return out;
}

std::string Repr(const Design& design) {
  const design::FieldValue& type = design.input[design::field::TYPE];
  return "<velmora.Design " + std::string(py::repr(InputValue(type))) + ">";
}

// name, caption (the box's), meaning and unit of every input, as a DataFrame.
py::object InputTable() {
  py::list names, captions, meanings, units;
  for (int i = 0; i < design::kFieldCount; ++i) {
    names.append(design::kFieldInfo[i].name);
    captions.append(design::kFieldInfo[i].caption);
    meanings.append(std::string(design::InputHintOf(i).meaning));
    units.append(std::string(design::InputHintOf(i).unit));
  }
  py::dict columns;
  columns["name"] = names;
  columns["caption"] = captions;
  columns["meaning"] = meanings;
  columns["unit"] = units;
  return py::module_::import("pandas").attr("DataFrame")(columns);
}

}  // namespace

int InputIndex(const std::string& name) {
  std::optional<int> index = design::FieldIndex(name);
  if (!index) throw py::key_error("no input named " + std::string(py::repr(py::str(name))));
  return *index;
}

void SetInput(design::DesignInput& input, int index, const py::handle& value) {
  const std::string name = design::kFieldInfo[index].name;
  if (value.is_none()) {
    input[index] = design::ConvertField(index, "");
  } else if (py::isinstance<py::str>(value)) {
    std::string text = value.cast<std::string>();
    if (!FileHolds(text))
      throw py::value_error("input " + name + ": the input file cannot hold the text " +
                            std::string(py::repr(value)) +
                            " (a comma, quote, line break, blank at an end or a character "
                            "outside GBK)");
    input[index] = design::ConvertField(index, text);
  } else if (py::isinstance<py::bool_>(value) || !PyNumber_Check(value.ptr())) {
    throw py::type_error("input " + name + ": a number, a text or None, not " +
                         std::string(py::str(value.get_type().attr("__name__"))));
  } else {
    double number = py::float_(py::reinterpret_borrow<py::object>(value));
    if (!std::isfinite(number))
      throw py::value_error("input " + name + ": " + std::string(py::repr(value)) +
                            " is no number the input file can hold");
    design::SetNumber(input, index, number);
  }
}

void BindDesign(py::module_& m) {
  py::class_<Design>(m, "Design",
                     "A motor design: its 60 inputs by name, in the order of the input file.\n"
                     "A value is a float, a str (text that is no number) or None (empty).")
      .def(py::init<>(), "A design whose 60 inputs are all empty.")
      .def("__len__", [](const Design&) { return design::kFieldCount; })
      .def("__getitem__",
           [](const Design& d, const std::string& name) {
             return InputValue(d.input[InputIndex(name)]);
           })
      .def("__setitem__",
           [](Design& d, const std::string& name, const py::object& value) {
             SetInput(d.input, InputIndex(name), value);
           })
      .def("__contains__",
           [](const Design&, const py::object& name) {
             return py::isinstance<py::str>(name) &&
                    design::FieldIndex(name.cast<std::string>()).has_value();
           })
      .def("__iter__", [](const Design&) { return py::iter(Names()); })
      .def(
          "keys", [](const Design&) { return Names(); }, "The 60 input names, in file order.")
      .def("values",
           [](const Design& d) {
             py::list values;
             for (const design::FieldValue& field : d.input.fields)
               values.append(InputValue(field));
             return values;
           })
      .def("items",
           [](const Design& d) {
             py::list items;
             for (int i = 0; i < design::kFieldCount; ++i)
               items.append(py::make_tuple(design::kFieldInfo[i].name, InputValue(d.input[i])));
             return items;
           })
      .def(
          "get",
          [](const Design& d, const std::string& name, const py::object& otherwise) {
            std::optional<int> index = design::FieldIndex(name);
            return index ? InputValue(d.input[*index]) : otherwise;
          },
          py::arg("name"), py::arg("default") = py::none())
      .def(
          "texts", [](const Design& d) { return design::FieldTexts(d.input); },
          "The 60 texts as the input file holds them.")
      .def("replace", &Replaced, "A new design with the inputs given by name changed.")
      .def("copy", [](const Design& d) { return d; })
      .def("__copy__", [](const Design& d) { return d; })
      .def("__deepcopy__", [](const Design& d, const py::object&) { return d; })
      .def("__eq__",
           [](const Design& a, const py::object& b) {
             return py::isinstance<Design>(b) &&
                    design::FieldTexts(a.input) ==
                        design::FieldTexts(b.cast<const Design&>().input);
           })
      .def("__repr__", &Repr);
  py::module_::import("collections.abc").attr("Mapping").attr("register")(m.attr("Design"));

  m.def(
      "read_design",
      [](const py::object& path) { return Design{design::ReadDesignInput(PathText(path))}; },
      py::arg("path"), "Reads a design from its input data file (GBK).");
  m.def(
      "write_design",
      [](const Design& d, const py::object& path) {
        design::WriteInputFile(PathText(path), design::FieldTexts(d.input));
      },
      py::arg("design"), py::arg("path"),
      "Writes the design's input data file (GBK), replacing the file atomically.");
  m.def("inputs", &InputTable,
        "The 60 inputs as a DataFrame: name, caption, meaning and unit (empty: none).");
}

}  // namespace velmora::python
