#include "velmora/studies/material_cost.h"

namespace velmora::studies {

MaterialCost CostOf(const CalculationState& s, const design::MaterialPrices& prices) {
  MaterialCost cost;
  cost.lines = {{{"铜", "Gcu", s.Gcu, prices.copper, 0},
                 {"铝", "GAL", s.GAL, prices.aluminium, 0},
                 {"硅钢片", "Gfe", s.Gfe, prices.steel, 0}}};
  for (MaterialCost::Line& line : cost.lines) {
    line.cost = line.weight * line.price;
    cost.total += line.cost;
  }
  cost.per_kW = cost.total / s.in.Pn.value;
  return cost;
}

}  // namespace velmora::studies
