#include "velmora/report/constraint_text.h"

namespace velmora::report {

namespace {

struct Caption {
  std::string_view name, text;
};

// The design's targets, the class, the winding's rise, the validity record, the upper limits
// a search may set (with units), the efficiency floor and the yield of a robust requirement.
constexpr Caption kCaptions[] = {
    {"EFF", "效率EFF"},
    {"PF", "功率因数PF"},
    {"IST", "起动电流倍数Ist"},
    {"TST", "起动转矩倍数TST1"},
    {"TM", "最大转矩倍数TMAX1"},
    {"SF", "槽满率SF"},
    {"IE", "能效等级（效率%）"},
    {"TRISE", "绕组温升TRISE（K）"},
    {"BH", "最高磁密（磁化曲线，T）"},
    {"VALID", "不合理的输入、结果与尺寸（个）"},
    {"WIND", "不能绕制的绕组（处）"},
    {"J1", "定子电流密度J1（A/mm²）"},
    {"AJ", "热负荷AJ（A/cm·A/mm²）"},
    {"BT1", "定子齿磁密BT1（T）"},
    {"BT2", "转子齿磁密BT2（T）"},
    {"BJ1", "定子轭磁密BJ1（T）"},
    {"BJ2", "转子轭磁密BJ2（T）"},
    {"BG", "气隙磁密BG（T）"},
    {"EFFMIN", "效率下限EFF"},
    {"YIELD", "合格率（公差样本中满足全部约束的比例）"},
};

}  // namespace

std::string ConstraintCaption(std::string_view name) {
  for (const Caption& c : kCaptions)
    if (c.name == name) return std::string(c.text);
  return std::string(name);
}

}  // namespace velmora::report
