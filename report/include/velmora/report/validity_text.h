// The validity record of a run in words (UTF-8), for the warning box, the
// terminal, the JSON and the check window.
#pragma once

#include <string>

#include "velmora/calc/validity.h"

namespace velmora::report {

// One note as a sentence, for example "定子齿磁密BT1=2.17 T，高于磁化曲线的最高点1.89 T；
// HT1沿用前一轮迭代的值158".
std::string NoteText(const calc::ValidityNote& note);

// The warning shown after a run whose results cannot be trusted: every
// untrustworthy note, one a line, and what follows for the results. Empty
// when the run can be trusted.
std::string ValidityWarning(const calc::Validity& validity);

// A number as a message shows it: up to six significant digits.
std::string ShortNumber(double value);

}  // namespace velmora::report
