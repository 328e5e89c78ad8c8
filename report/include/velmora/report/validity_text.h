// The validity record of a run and the design check in words (UTF-8), for the
// warning box, the terminal, the JSON and the check window.
#pragma once

#include <string>
#include <vector>

#include "velmora/calc/validity.h"
#include "velmora/studies/design_check.h"

namespace velmora::report {

// One note as a sentence, for example "定子齿磁密BT1=2.17 T，高于磁化曲线的最高点1.89 T；
// HT1沿用前一轮迭代的值158".
std::string NoteText(const calc::ValidityNote& note);

// The warning shown after a run whose results cannot be trusted: every
// untrustworthy note, one a line, and what follows for the results. Empty
// when the run can be trusted.
std::string ValidityWarning(const calc::Validity& validity);

// The closing line under the untrustworthy notes: which results may not be
// used ("" for a trustworthy run). Starting results alone leave the rest.
std::string UntrustedSummary(const calc::Validity& validity);

// A number as a message shows it: up to six significant digits.
std::string ShortNumber(double value);

// A rule of the design check as every display words it: its verdict (合格,
// 不合格, 不可信 or 未校核) and its allowed limit ("≥ 0.83325", empty when
// the rule has no target).
std::string CheckVerdict(const studies::CheckLine& line);
std::string CheckLimitText(const studies::CheckLine& line);
// Its computed value to six digits, "—" when there is none (a thermal
// network that failed).
std::string CheckValueText(const studies::CheckLine& line);
// The unit its target, limit and value are given in: "标幺值" for the
// efficiency, the power factor and the slot fill, "倍" for the torque and
// current ratios, "%" for the class, "K" for the temperature rise, "处" for
// the counts of the record.
std::string CheckUnit(const studies::CheckLine& line);

// The temperature rise behind the check as lines: the winding's average
// rise, its hottest point and the cooling air, then the limit of the
// insulation class with the margin or the excess (or that no class is
// asked for); a thermal network that failed gives its reason alone.
std::vector<std::string> CheckRiseLines(const studies::DesignCheck& check);

// What a sweep of input `field` shows when the input is no design freedom (an
// assumption, the rating, a target, the frame, a printed-only input): that the
// sweep is a study of the model, not a choice of designs. Empty for a freedom
// or a selector.
std::string SweepStudyNote(int field);

}  // namespace velmora::report
