// What the active material of a design costs: the stator copper Gcu, the
// rotor aluminium GAL and the core steel Gfe, at prices per kilogram.
#pragma once

#include <array>
#include <string_view>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/material_prices.h"
#include "velmora/studies/engine.h"

namespace velmora::studies {

struct MaterialCost {
  struct Line {
    std::string_view material;     // 铜, 铝, 硅钢片
    std::string_view weight_name;  // Gcu, GAL, Gfe
    double weight = 0;             // kg
    double price = 0;              // per kg
    double cost = 0;
  };
  std::array<Line, 3> lines;
  double total = 0;
  double per_kW = 0;  // total over the rated output Pn
};

MaterialCost CostOf(const CalculationState& state, const design::MaterialPrices& prices);

}  // namespace velmora::studies
