// FROM + k·STEP, k = 0, 1, ..., stepped in decimal: numbers typed as
// decimals are stepped in whole units of their last decimal place, so each
// point is the double nearest its decimal, as if it had been typed (0.3:0.6:0.1
// gives 0.3, 0.4, 0.5, 0.6). Beyond 15 places or 2^53 units the range is
// stepped in doubles. Used by the load curve and by every sweep axis.
#pragma once

#include <cstdint>

namespace velmora::calc {

class DecimalSteps {
 public:
  enum class Problem {
    None,
    Backwards,  // a step of 0 or pointing away from TO
    TooMany,    // more than the count allowed
    TooSmall,   // a step too small to change the value (in doubles)
  };

  // The points of FROM:TO:STEP, TO included when it lies on the grid within
  // 1e-9 of a step; at most `max_count` of them, or `problem` says why not.
  static DecimalSteps Of(double from, double to, double step, std::uint64_t max_count);

  Problem problem() const { return problem_; }
  std::uint64_t size() const { return count_; }
  double operator[](std::uint64_t k) const;
  // The step does not divide the range: the last point falls short of TO.
  bool EndsShort() const;

 private:
  Problem problem_ = Problem::None;
  double from_ = 0, to_ = 0, step_ = 0;
  std::uint64_t count_ = 0;
  double scale_ = 0;  // 0: stepped in doubles
  std::int64_t from_units_ = 0, step_units_ = 0;
  bool last_is_to_ = false;  // stepped in doubles, TO on the grid
};

}  // namespace velmora::calc
