// Where a printed value comes from: a quantity of the run, an input as the
// designer typed it, or a figure worked out for the report alone.
#pragma once

#include <type_traits>
#include <variant>

#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"
#include "velmora/report/report_writer.h"

namespace velmora::report {

// What a report line may read.
struct ReportSources {
  const design::DesignInput& input;
  const calc::CalculationState& state;
};

using ValueGetter = ReportValue (*)(const ReportSources&);

// An input by its box index, printed from the design as typed (a text stays text).
struct In {
  int field;
};

class ValueSource {
 public:
  constexpr ValueSource() = default;
  constexpr ValueSource(calc::Quantity calc::CalculationState::*q) : source_(q) {}
  constexpr ValueSource(calc::SingleQuantity calc::CalculationState::*q) : source_(q) {}
  constexpr ValueSource(In input) : source_(input) {}
  constexpr ValueSource(ValueGetter getter) : source_(getter) {}
  template <class Lambda>
  requires std::is_convertible_v<Lambda, ValueGetter>
  constexpr ValueSource(Lambda getter) : source_(static_cast<ValueGetter>(getter)) {}

  bool Empty() const { return std::holds_alternative<std::monostate>(source_); }
  ReportValue Get(const ReportSources& sources) const;

 private:
  std::variant<std::monostate, calc::Quantity calc::CalculationState::*,
               calc::SingleQuantity calc::CalculationState::*, In, ValueGetter>
      source_;
};

// A quantity as printed: unset prints nothing, a curve result keeps single precision.
ReportValue ValueOf(const calc::Quantity& q);
ReportValue ValueOf(const calc::SingleQuantity& q);
// An input as typed; SHFA is the one single-precision input.
ReportValue InputValue(const design::DesignInput& input, int field);
// The number an input holds (0 when empty), for figures worked out from it.
double InputNumber(const ReportSources& sources, int field);

// Effective series conductors per phase, KDP1·ZF (in both layouts).
ReportValue EffectiveConductors(const ReportSources& sources);

}  // namespace velmora::report
