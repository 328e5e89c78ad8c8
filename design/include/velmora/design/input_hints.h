// What each of the 60 inputs means to a designer: its Chinese name, its unit
// and the values usual for the motors the calculation is made for. The
// windows word them as tooltips and axis titles; scripts list them.
#pragma once

#include <string_view>

namespace velmora::design {

struct InputHint {
  std::string_view meaning;                     // "气隙长度"
  std::string_view unit;                        // "mm"; empty for a count, a ratio or a selector
  std::string_view usual;                       // "0.25～1.0", or the values a selector takes
  std::string_view usual_caption = "常用范围";  // "取值" for a selector
};

// The hint of input `index` (0 to 59).
const InputHint& InputHintOf(int index);

}  // namespace velmora::design
