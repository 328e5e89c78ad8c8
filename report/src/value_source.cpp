#include "value_source.h"

namespace velmora::report {

ReportValue ValueOf(const calc::Quantity& q) {
  return q.set ? ReportValue::Number(q.value) : ReportValue::Unset();
}

ReportValue ValueOf(const calc::SingleQuantity& q) {
  return q.set ? ReportValue::Number(q.value, Precision::Single) : ReportValue::Unset();
}

ReportValue InputValue(const design::DesignInput& input, int field) {
  const design::FieldValue& value = input[field];
  switch (value.kind) {
    case design::FieldValue::Kind::Empty:
      return ReportValue::Unset();
    case design::FieldValue::Kind::Number:
      return ReportValue::Number(
          value.number, field == design::field::SHFA ? Precision::Single : Precision::Double);
    case design::FieldValue::Kind::Text:
      return ReportValue::Text(value.text);
  }
  return ReportValue::Unset();
}

double InputNumber(const ReportSources& sources, int field) { return sources.input[field].number; }

ReportValue EffectiveConductors(const ReportSources& s) {
  return ReportValue::Number(s.state.KDP1 * s.state.ZF);
}

ReportValue ValueSource::Get(const ReportSources& sources) const {
  struct Visitor {
    const ReportSources& s;
    ReportValue operator()(std::monostate) const { return ReportValue::Unset(); }
    ReportValue operator()(calc::Quantity calc::CalculationState::*q) const {
      return ValueOf(s.state.*q);
    }
    ReportValue operator()(calc::SingleQuantity calc::CalculationState::*q) const {
      return ValueOf(s.state.*q);
    }
    ReportValue operator()(In input) const { return InputValue(s.input, input.field); }
    ReportValue operator()(ValueGetter getter) const { return getter(s); }
  };
  return std::visit(Visitor{sources}, source_);
}

}  // namespace velmora::report
