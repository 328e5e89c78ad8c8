// The thermal network of one run before its temperatures are known: what
// the iteration keeps fixed, and the frame-to-ambient conductance it updates.
#pragma once

#include <string>

#include "velmora/studies/thermal.h"

namespace velmora::studies::thermal {

struct Model {
  ThermalNetwork fixed;  // every conductance but FrameAmbient; no losses
  HeatSources cold;      // the run's losses, its resistivities standing at T_REF
  // Lengths of a half turn in the slot (L) and outside it (LZ − L), mm.
  double slot_length = 0, end_length = 0;
  double G_slot_bulk = 0;  // W/K, the slot winding's mean to its liner, all slots
  // Frame to ambient: forced convection (W/K), and the envelope over the
  // fin tips (m², and its diameter, m) for free convection and radiation.
  double G_forced = 0;
  double A_envelope = 0, D_envelope = 0;
};

// Builds the model of a finished run; returns false with `fault` naming the
// quantity the network cannot be built with.
bool BuildModel(const CalculationState& s, const ThermalData& d, Model& m, std::string& fault);

// W/K from the frame, `rise` above cooling air at `ambient` °C.
double FrameToAmbient(const Model& m, const ThermalData& d, double rise, double ambient);

}  // namespace velmora::studies::thermal
