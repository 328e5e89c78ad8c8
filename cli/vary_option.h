// The --vary option of velmora-calc sweep.
#pragma once

#include <string_view>
#include <vector>

#include "velmora/studies/sweep.h"

namespace velmora::cli {

// `text` cut at every `separator` (an empty text gives one empty part).
std::vector<std::string_view> SplitText(std::string_view text, char separator);

// Reads "NAME=FROM:TO:STEP" or "NAME=v1,v2,...". Throws studies::SweepError for
// an unknown name, TYPE, text where a number belongs, or a bad step.
studies::SweepAxis ParseVaryOption(std::string_view text);

}  // namespace velmora::cli
