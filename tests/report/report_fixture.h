// Designs and calculation states built by hand for the layout tests.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::report::testing {

// Every input 1.5 except those given, as if typed into the boxes.
inline design::DesignInput SampleInput(const std::map<int, std::string>& changes = {}) {
  std::array<std::string, design::kFieldCount> texts;
  texts.fill("1.5");
  texts[design::field::TYPE] = "Y132S-4";
  texts[design::field::ZC] = "1";
  texts[design::field::SHFA] = "1";
  for (const auto& [field, text] : changes) texts[field] = text;
  return design::ToDesignInput(texts);
}

// Every quantity set: 1.25 in double precision, 1.5 in single precision.
inline calc::CalculationState FilledState() {
  calc::CalculationState state;
#define VELMORA_SET_DOUBLE(name) state.name = 1.25;
#define VELMORA_SET_SINGLE(name) state.name = 1.5f;
  VELMORA_QUANTITIES(VELMORA_SET_DOUBLE, VELMORA_SET_SINGLE)
#undef VELMORA_SET_DOUBLE
#undef VELMORA_SET_SINGLE
  return state;
}

// The state of a two-section rotor slot (ZC = 4): the quantities of the
// single-section rotor tooth stay unset.
inline calc::CalculationState TwoSectionState() {
  calc::CalculationState state = FilledState();
  state.BT2W = calc::Quantity{};
  state.AT2 = calc::Quantity{};
  state.BT2 = calc::Quantity{};
  state.HT2 = calc::SingleQuantity{};
  state.LT2 = calc::Quantity{};
  return state;
}

// The lines of a report, each without its CR LF.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start != text.size()) lines.push_back(text.substr(start) + "<no CR LF>");
  return lines;
}

}  // namespace velmora::report::testing
