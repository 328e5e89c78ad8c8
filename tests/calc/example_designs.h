// The example designs of examples/, as the calculation tests read them.
#pragma once

#include <string>

#include "velmora/design/input_file.h"

namespace velmora::examples {

inline const char* const k4Pole = "Y132S-4-5.5kW";
inline const char* const k2Pole = "Y132S2-2-7.5kW";
inline const char* const k6PoleSingleLayer = "Y132M2-6-5.5kW";
inline const char* const kTwoSection = "Y160M-4-11kW-ZC4";

inline design::DesignInput Example(const std::string& name) {
  return design::ReadDesignInput(std::string(VELMORA_EXAMPLES_DIR) + "/" + name + ".txt");
}

}  // namespace velmora::examples
