// Designs and calculation states built by hand for the layout tests.
#pragma once

#include <array>
#include <map>
#include <string>

#include "../design/temp_folder.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"

namespace velmora::report::testing {

using design::testing::Lines;

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

}  // namespace velmora::report::testing
