// Which inputs a designer is free to choose, and how finely a workshop can
// make a dimension. The optimiser searches only design freedoms; a sweep may
// vary anything, and says so when it varies an assumption of the model.
#pragma once

#include <string_view>

namespace velmora::studies {

enum class InputRole {
  Freedom,      // a dimension, a count or a wire the designer chooses
  Text,         // the model name
  Selector,     // chooses a branch of the procedure (ZC, CZN, P, Q1, Q2, GGPph, SHFA)
  Rating,       // the rating and the supply: Pn, Un, f
  Target,       // what the design must reach: EFF, PF, IST, TST, TM, SF0
  Assumption,   // material and experience data of the model: Lo1, Lo2, Kfe, PS, PFW
  Frame,        // the centre height H, given with the frame
  PrintedOnly,  // printed in the report and used nowhere else
};

InputRole RoleOf(int field);

// Why an input of `role` is no design freedom, for a refusal (Chinese); empty
// for a freedom.
std::string_view WhyNotFree(InputRole role);

// The step on which a continuous dimension is searched when none is given:
// what a workshop makes. 0 for the inputs that are counts or wire diameters
// (they have their own values) and for those that are no freedom.
double WorkshopStep(int field);

}  // namespace velmora::studies
