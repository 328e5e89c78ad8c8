// What one session of the program remembers across its windows.
#pragma once

#include <optional>
#include <string>

#include "velmora/design/design_input.h"
#include "velmora/studies/design_check.h"

namespace velmora::ui {

// What the last "电磁计算" of this session gave; the design check reads it.
struct LastCalculation {
  enum class Status { NeverRun, Succeeded, Failed };
  Status status = Status::NeverRun;
  design::DesignInput input;  // the design it ran on, when it succeeded
  std::string message;        // why not, when it failed
};

// Owned by the program for its whole run and handed to the windows that
// need it, whichever windows come and go.
struct Session {
  LastCalculation last_calculation;
  // The efficiency class the design check asks for: the legal minimum, one
  // chosen, or none.
  studies::CheckOptions check;
};

}  // namespace velmora::ui
