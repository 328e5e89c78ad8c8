// Sweep axes and grids, and the selector values a sweep may give.
#include <algorithm>
#include <cmath>

#include "velmora/calc/selectors.h"
#include "velmora/studies/sweep.h"

namespace velmora::studies {

namespace {

namespace field = design::field;

using calc::IsSingleLayerPoleNumber;
using calc::kSingleLayerPoles;
using calc::SelectorRule;
using calc::SelectorRules;

using design::InputLabel;
using design::ShortestText;

// ---- Ranges ----------------------------------------------------------------

[[noreturn]] void RefuseStep(int field, double from, double to, double step) {
  const char* why = step == 0 ? "步长为0" : "步长的符号与从起点到终点的方向相反";
  throw SweepError(ErrorCode::StepBackwards, "改变" + InputLabel(field) + "：" + why + "（" +
                                                 ShortestText(from) + ":" + ShortestText(to) + ":" +
                                                 ShortestText(step) + "）");
}

[[noreturn]] void RefuseSize(std::string what) {
  throw SweepError(ErrorCode::TooMany,
                   what + "超过" + std::to_string(kMaxSweepVariants) + "个方案，不予计算");
}

}  // namespace

SweepAxis SweepAxis::Range(int field, double from, double to, double step) {
  if (field == field::TYPE) throw SweepError(ErrorCode::TextInput, "电机型号TYPE是文字，不能改变");
  SweepAxis axis;
  axis.field_ = field;
  axis.steps_ = DecimalSteps::Of(from, to, step, kMaxSweepVariants);
  switch (axis.steps_.problem()) {
    case DecimalSteps::Problem::Backwards:
      RefuseStep(field, from, to, step);
    case DecimalSteps::Problem::TooMany:
      RefuseSize("改变" + InputLabel(field));
    case DecimalSteps::Problem::TooSmall:
      throw SweepError(ErrorCode::StepTooSmall, "改变" + InputLabel(field) + "：步长" +
                                                    ShortestText(step) + "相对于取值太小");
    case DecimalSteps::Problem::None:
      break;
  }
  return axis;
}

SweepAxis SweepAxis::List(int field, std::vector<double> values) {
  if (field == field::TYPE) throw SweepError(ErrorCode::TextInput, "电机型号TYPE是文字，不能改变");
  if (values.empty())
    throw SweepError(ErrorCode::NoValue, "改变" + InputLabel(field) + "：没有给出取值");
  SweepAxis axis;
  axis.field_ = field;
  axis.list_ = std::move(values);
  return axis;
}

bool SweepAxis::EndsShort() const { return list_.empty() && steps_.EndsShort(); }

double SweepAxis::operator[](std::uint64_t k) const { return list_.empty() ? steps_[k] : list_[k]; }

// ---- The grid --------------------------------------------------------------

SweepGrid::SweepGrid(std::vector<SweepAxis> axes) : axes_(std::move(axes)) {
  for (std::size_t a = 0; a < axes_.size(); ++a) {
    for (std::size_t b = 0; b < a; ++b)
      if (axes_[b].field() == axes_[a].field())
        throw SweepError(ErrorCode::InputTwice, InputLabel(axes_[a].field()) + "被指定改变了两次");
    if (axes_[a].size() > kMaxSweepVariants / size_) RefuseSize("全部组合");
    size_ *= axes_[a].size();
  }
}

void SweepGrid::Values(std::uint64_t index, std::span<double> values) const {
  for (std::size_t a = axes_.size(); a-- > 0;) {
    std::uint64_t n = axes_[a].size();
    values[a] = axes_[a][index % n];
    index /= n;
  }
}

// ---- Selectors -------------------------------------------------------------

namespace {

const SweepAxis* AxisOf(const SweepGrid& grid, int field) {
  for (const SweepAxis& axis : grid.axes())
    if (axis.field() == field) return &axis;
  return nullptr;
}

void RefuseValue(int field, double value, const char* allowed) {
  throw SweepError(ErrorCode::SelectorValue, "改变" + InputLabel(field) + "：取值" +
                                                 ShortestText(value) + "不被计算接受，" + allowed);
}

bool IsSingleValue(double SHFA) { return !std::isinf(static_cast<float>(SHFA)); }

// Beyond the calculation's selectors, the layout selector: the run reads it
// in single precision.
constexpr SelectorRule kLayoutRule = {field::SHFA, nullptr, IsSingleValue, "超出单精度数的范围"};

// Refuses a varied value `rule` does not accept.
void CheckAxis(const SweepGrid& grid, const SelectorRule& rule) {
  const SweepAxis* axis = AxisOf(grid, rule.field);
  if (!axis) return;
  for (std::uint64_t k = 0; k < axis->size(); ++k)
    if (!rule.accepts((*axis)[k])) RefuseValue(rule.field, (*axis)[k], rule.allowed);
}

// Whether any value `field` takes in the sweep satisfies `test`.
bool AnyValue(const design::DesignInput& base, const SweepGrid& grid, int field,
              bool (*test)(double)) {
  if (const SweepAxis* axis = AxisOf(grid, field)) {
    for (std::uint64_t k = 0; k < axis->size(); ++k)
      if (test((*axis)[k])) return true;
    return false;
  }
  return base[field].IsNumber() && test(base[field].number);
}

}  // namespace

void CheckSweepSelectors(const design::DesignInput& base, const SweepGrid& grid) {
  for (const SelectorRule& rule : SelectorRules()) CheckAxis(grid, rule);
  CheckAxis(grid, kLayoutRule);
  // A single-layer winding takes 2, 4, 6 or 8 poles only.
  if (!AxisOf(grid, field::CZN) && !AxisOf(grid, field::P)) return;
  auto is_single_layer = [](double CZN) { return CZN == 1; };
  auto is_not_single_layer_pole = [](double P) { return !IsSingleLayerPoleNumber(P); };
  if (AnyValue(base, grid, field::CZN, is_single_layer) &&
      AnyValue(base, grid, field::P, is_not_single_layer_pole))
    throw SweepError(ErrorCode::SelectorValue, "改变" + InputLabel(field::CZN) + "或" +
                                                   InputLabel(field::P) + "：极数" +
                                                   kSingleLayerPoles);
}

}  // namespace velmora::studies
