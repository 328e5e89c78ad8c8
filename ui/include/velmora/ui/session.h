// What one session of the program remembers across its windows.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "velmora/design/design_input.h"
#include "velmora/studies/design_check.h"
#include "velmora/ui/sweep_chart.h"

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
  // The box texts as the last open, save or 新建 left them: boxes that
  // differ hold typing that none of the user's files has yet.
  std::array<std::string, design::kFieldCount> kept_boxes{};
  // The sweep window's inputs, ranges and results when it last closed; none
  // before it first closes.
  std::optional<SweepRequest> sweep;
};

}  // namespace velmora::ui
