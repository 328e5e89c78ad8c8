#include "velmora/ui/input_hints.h"

#include <array>

#include "velmora/design/design_input.h"

namespace velmora::ui {

namespace {

// Usual values are those of totally enclosed fan-cooled 380 V / 50 Hz motors
// of centre heights 80 to 315 (0.55 to 200 kW), as the catalogue designs of
// that range give them; a value outside is allowed, only unusual.
constexpr std::array<InputHint, design::kFieldCount> kHints = {{
    {"电机型号", "", "如 Y132S-4，印在报告首行", "说明"},
    {"机座中心高", "mm", "80～315"},
    {"额定相电压", "V", "380（三角形联结）或 220（星形联结）"},
    {"电源频率", "Hz", "50"},
    {"铁芯叠压系数", "", "0.92～0.97"},
    {"定子槽楔厚度", "mm", "1.5～3"},
    {"定子槽绝缘厚度", "mm", "0.2～0.5"},
    {"定子导线电阻率", "Ω·mm²/m", "0.0217（铜，75 ℃）"},
    {"转子导条电阻率", "Ω·mm²/m", "0.0434（铸铝，75 ℃）"},
    {"漆膜厚度（只印在报告中）", "mm", "0.05～0.1"},
    {"硅钢片牌号", "", "1：程序所带的硅钢片；其他值不查磁化曲线", "取值"},
    {"额定输出功率", "kW", "0.55～200"},
    {"极数", "", "2、4、6、8"},
    {"额定效率（效率迭代的初值）", "", "0.75～0.96"},
    {"额定功率因数（考核值）", "", "0.7～0.92"},
    {"起动电流倍数（考核值）", "", "5.5～7.5"},
    {"起动转矩倍数（考核值）", "", "1.6～2.4"},
    {"最大转矩倍数（考核值）", "", "2.0～2.4"},
    {"定子槽数", "", "24～72"},
    {"转子槽数", "", "16～64"},
    {"定子铁芯外径", "mm", "120～520"},
    {"定子铁芯内径", "mm", "75～390"},
    {"转子铁芯内径（轴孔）", "mm", "25～130"},
    {"气隙长度", "mm", "0.25～1.0"},
    {"线圈节距", "槽", "全距的 5/6 左右"},
    {"转子斜槽", "定子槽距", "0～1.2"},
    {"定子槽口宽", "mm", "2.5～4"},
    {"定子槽口高", "mm", "0.5～1.2"},
    {"定子槽肩角", "°", "30"},
    {"转子槽口宽", "mm", "0.8～1.5"},
    {"转子槽口高", "mm", "0.5～1.0"},
    {"转子槽肩角", "°", "30"},
    {"杂散损耗（额定输出的标幺值）", "", "0.005～0.025"},
    {"机械损耗（额定输出的标幺值）", "", "0.005～0.03"},
    {"绕组层数", "", "1：单层；2：双层", "取值"},
    {"转子端环截面积", "mm²", "100～1500"},
    {"线圈直线部分伸出铁芯长（每端）", "mm", "10～30"},
    {"定子槽上部宽", "mm", "5～12"},
    {"定子槽底宽（槽底半圆直径）", "mm", "6～16"},
    {"定子槽身高", "mm", "10～30"},
    {"转子槽上部宽", "mm", "3～10"},
    {"转子槽上段下部宽", "mm", "1.5～8"},
    {"转子槽下段上部宽（槽形4）", "mm", "0～8"},
    {"转子槽下段下部宽（槽形4）", "mm", "0～6"},
    {"转子槽上段高", "mm", "10～35"},
    {"转子槽下段高（槽形4）", "mm", "0～15"},
    {"转子槽形", "", "1：梯形；2：梯形圆底；3：圆顶圆底；4：双段槽", "取值"},
    {"铁芯长", "mm", "60～400"},
    {"定子铁芯长（只印在报告中）", "mm", "通常等于铁芯长"},
    {"转子铁芯长（只印在报告中）", "mm", "通常等于铁芯长"},
    {"并联支路数", "", "1～4，整除极数"},
    {"每槽导体数", "", "10～80；双层绕组为偶数"},
    {"ZS（只印在报告中）", "", ""},
    {"ZT（只印在报告中）", "", ""},
    {"要求的槽满率（只印在报告中）", "", "0.70～0.80"},
    {"第一种导线的并绕根数", "", "0～6"},
    {"第一种导线的裸线直径", "mm", "0.5～1.5"},
    {"第二种导线的并绕根数", "", "0～6，不用时为 0"},
    {"第二种导线的裸线直径", "mm", "0.5～1.5，不用时为 0"},
    {"报告格式", "", "1：计算单；2：汇总表；其他值不写报告", "取值"},
}};

}  // namespace

const InputHint& InputHintOf(int index) { return kHints[static_cast<std::size_t>(index)]; }

std::string InputToolTip(int index) {
  const InputHint& hint = InputHintOf(index);
  std::string text = std::string(hint.meaning) + " " + design::kFieldInfo[index].name;
  if (!hint.unit.empty()) text += "\n单位：" + std::string(hint.unit);
  if (!hint.usual.empty()) {
    text += "\n" + std::string(hint.usual_caption) + "：" + std::string(hint.usual);
  }
  return text;
}

std::string InputTitle(int index) {
  const InputHint& hint = InputHintOf(index);
  std::string title = design::kFieldInfo[index].caption;
  if (!hint.unit.empty()) title += " (" + std::string(hint.unit) + ")";
  return title;
}

}  // namespace velmora::ui
