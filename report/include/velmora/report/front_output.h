// The cost–efficiency front of an optimisation: a table for the terminal
// (UTF-8) and CSV.
#pragma once

#include <string>

#include "velmora/studies/pareto_front.h"

namespace velmora::report {

// One line a point: the efficiency in per cent, the cost in the prices'
// currency and each varied input; then the class limits of the rating.
std::string FrontTable(const studies::OptimiseProblem& problem, const studies::Front& front);

// CSV (CRLF line ends): one row a point, EFF, COST, PF, Ist, TRISE and the
// varied inputs, each number the shortest text that reads back the same.
std::string FrontCsv(const studies::OptimiseProblem& problem, const studies::Front& front);

}  // namespace velmora::report
