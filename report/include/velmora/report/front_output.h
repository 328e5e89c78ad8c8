// The cost–efficiency front of an optimisation: a table for the terminal
// (UTF-8), CSV and JSON.
#pragma once

#include <cstddef>
#include <string>

#include "velmora/studies/pareto_front.h"

namespace velmora::report {

// One line a point: the efficiency in per cent, the cost in the prices'
// currency and each varied input; then the class limits of the rating.
std::string FrontTable(const studies::OptimiseProblem& problem, const studies::Front& front);

// CSV (CRLF line ends): one row a point, EFF, COST, PF, Ist, TRISE and the
// varied inputs, each number the shortest text that reads back the same.
std::string FrontCsv(const studies::OptimiseProblem& problem, const studies::Front& front);

// One JSON object: the currency, the class limits of the rating (null when
// it is not classified), and each point's varied inputs with its main
// results (cost, EFF, PF, Ist, TST1, TMAX1, SF, TRISE; the rise null when the
// thermal network gave none), by rising cost.
std::string FrontJson(const studies::OptimiseProblem& problem, const studies::Front& front);

// The name of the design file of point `k` (from 0) of a front: "front-01.txt", ...
std::string FrontDesignName(std::size_t k);

}  // namespace velmora::report
