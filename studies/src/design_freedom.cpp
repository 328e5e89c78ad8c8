#include "velmora/studies/design_freedom.h"

#include <array>

#include "velmora/design/design_input.h"

namespace velmora::studies {

namespace {

namespace field = design::field;

struct Entry {
  int field;
  InputRole role;
  double step;  // workshop step, for a continuous freedom
};

// Workshop steps: our own defaults, not a standard. Lamination dies are cut to
// 0.1 mm on slot dimensions; die sets come in diameter steps of 0.5 mm;
// stacks are pressed to whole millimetres; the rotor is turned to the air gap
// in 0.01 mm; slot liners and wedges come in gauges of 0.01 mm; slot angles in
// whole degrees; skew in twentieths of a slot pitch; end rings are cast to
// whole square millimetres; the coil extension is set to whole millimetres.
constexpr double kSlotStep = 0.1, kDiameterStep = 0.5, kLengthStep = 1, kGapStep = 0.01;
constexpr double kGaugeStep = 0.01, kAngleStep = 1, kSkewStep = 0.05, kRingStep = 1;

constexpr Entry kTable[] = {
    {field::TYPE, InputRole::Text, 0},
    {field::H, InputRole::Frame, 0},
    {field::Un, InputRole::Rating, 0},
    {field::f, InputRole::Rating, 0},
    {field::Kfe, InputRole::Assumption, 0},
    {field::hw, InputRole::Freedom, kGaugeStep},
    {field::si, InputRole::Freedom, kGaugeStep},
    {field::Lo1, InputRole::Assumption, 0},
    {field::Lo2, InputRole::Assumption, 0},
    {field::QMHW, InputRole::PrintedOnly, 0},
    {field::GGPph, InputRole::Selector, 0},
    {field::Pn, InputRole::Rating, 0},
    {field::P, InputRole::Selector, 0},
    {field::EFF, InputRole::Target, 0},
    {field::PF, InputRole::Target, 0},
    {field::IST, InputRole::Target, 0},
    {field::TST, InputRole::Target, 0},
    {field::TM, InputRole::Target, 0},
    {field::Q1, InputRole::Selector, 0},
    {field::Q2, InputRole::Selector, 0},
    {field::D1, InputRole::Freedom, kDiameterStep},
    {field::DI1, InputRole::Freedom, kDiameterStep},
    {field::DI2, InputRole::Freedom, kDiameterStep},
    {field::G, InputRole::Freedom, kGapStep},
    {field::Y1, InputRole::Freedom, 0},
    {field::sk, InputRole::Freedom, kSkewStep},
    {field::B01, InputRole::Freedom, kSlotStep},
    {field::HS0, InputRole::Freedom, kSlotStep},
    {field::ZS1, InputRole::Freedom, kAngleStep},
    {field::B02, InputRole::Freedom, kSlotStep},
    {field::HR0, InputRole::Freedom, kSlotStep},
    {field::ZS2, InputRole::Freedom, kAngleStep},
    {field::PS, InputRole::Assumption, 0},
    {field::PFW, InputRole::Assumption, 0},
    {field::CZN, InputRole::Selector, 0},
    {field::SRR, InputRole::Freedom, kRingStep},
    {field::D, InputRole::Freedom, kLengthStep},
    {field::BS1, InputRole::Freedom, kSlotStep},
    {field::BS2, InputRole::Freedom, kSlotStep},
    {field::HS12, InputRole::Freedom, kSlotStep},
    {field::BR1, InputRole::Freedom, kSlotStep},
    {field::BR2, InputRole::Freedom, kSlotStep},
    {field::BR3, InputRole::Freedom, kSlotStep},
    {field::BR4, InputRole::Freedom, kSlotStep},
    {field::HR12, InputRole::Freedom, kSlotStep},
    {field::HR3, InputRole::Freedom, kSlotStep},
    {field::ZC, InputRole::Selector, 0},
    {field::L, InputRole::Freedom, kLengthStep},
    {field::LS, InputRole::PrintedOnly, 0},
    {field::LT, InputRole::PrintedOnly, 0},
    {field::A, InputRole::Freedom, 0},
    {field::Z, InputRole::Freedom, 0},
    {field::ZS, InputRole::PrintedOnly, 0},
    {field::ZT, InputRole::PrintedOnly, 0},
    {field::SF0, InputRole::Target, 0},
    {field::JJ, InputRole::Freedom, 0},
    {field::DJJ, InputRole::Freedom, 0},
    {field::MM, InputRole::Freedom, 0},
    {field::DMM, InputRole::Freedom, 0},
    {field::SHFA, InputRole::Selector, 0},
};
static_assert(std::size(kTable) == design::kFieldCount);

constexpr bool InBoxOrder() {
  for (int i = 0; i < design::kFieldCount; ++i)
    if (kTable[i].field != i) return false;
  return true;
}
static_assert(InBoxOrder());

}  // namespace

InputRole RoleOf(int field) {
  if (field < 0 || field >= design::kFieldCount) return InputRole::Text;
  return kTable[field].role;
}

std::string_view WhyNotFree(InputRole role) {
  switch (role) {
    case InputRole::Freedom:
      return "";
    case InputRole::Text:
      return "是文字";
    case InputRole::Selector:
      return "是选择量，决定计算的分支";
    case InputRole::Rating:
      return "是额定数据或电源，由设计任务给定";
    case InputRole::Target:
      return "是目标值，设计要达到它";
    case InputRole::Assumption:
      return "是材料或经验数据（模型的假设），改变它不会让电机变好";
    case InputRole::Frame:
      return "是给定机座的中心高";
    case InputRole::PrintedOnly:
      return "只在报告中列出，不参与计算";
  }
  return "";
}

double WorkshopStep(int field) {
  if (field < 0 || field >= design::kFieldCount) return 0;
  return kTable[field].step;
}

}  // namespace velmora::studies
