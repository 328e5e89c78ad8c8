// What one session of the program remembers across its windows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "velmora/design/design_input.h"
#include "velmora/studies/design_check.h"
#include "velmora/studies/thermal.h"
#include "velmora/ui/sweep_chart.h"

namespace velmora::ui {

// What the last "电磁计算" of this session gave; the design check reads it.
struct LastCalculation {
  enum class Status { NeverRun, Succeeded, Failed };
  Status status = Status::NeverRun;
  design::DesignInput input;  // the design it ran on, when it succeeded
  std::string message;        // why not, when it failed
};

// What the window 温升计算 was asked for: the insulation class, and the
// cooling air's temperature when one was chosen (else the thermal data's).
struct ThermalChoice {
  studies::InsulationClass insulation = studies::InsulationClass::B;
  std::optional<double> ambient;
};

// What the window 公差分析 was asked for: how many motors are drawn, and
// the seed they are drawn with.
struct ToleranceChoice {
  std::uint64_t samples = 2000;
  std::uint64_t seed = 1;
};

// Owned by the program for its whole run and handed to the windows that
// need it, whichever windows come and go.
struct Session {
  LastCalculation last_calculation;
  // The efficiency class the design check asks for (the legal minimum, one
  // chosen, or none) and the insulation class (B unless chosen, or none).
  studies::CheckOptions check;
  // The box texts as the last open, save or 新建 left them: boxes that
  // differ hold typing that none of the user's files has yet.
  std::array<std::string, design::kFieldCount> kept_boxes{};
  // The sweep window's inputs, ranges and results when it last closed; none
  // before it first closes.
  std::optional<SweepRequest> sweep;
  ThermalChoice thermal;
  ToleranceChoice tolerance;
};

}  // namespace velmora::ui
