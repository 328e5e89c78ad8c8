#include "velmora/ui/input_titles.h"

#include "velmora/design/design_input.h"
#include "velmora/design/input_hints.h"

namespace velmora::ui {

std::string InputToolTip(int index) {
  const design::InputHint& hint = design::InputHintOf(index);
  std::string text = std::string(hint.meaning) + " " + design::kFieldInfo[index].name;
  if (!hint.unit.empty()) text += "\n单位：" + std::string(hint.unit);
  if (!hint.usual.empty()) {
    text += "\n" + std::string(hint.usual_caption) + "：" + std::string(hint.usual);
  }
  return text;
}

std::string InputTitle(int index) {
  const design::InputHint& hint = design::InputHintOf(index);
  std::string title = design::kFieldInfo[index].caption;
  if (!hint.unit.empty()) title += " (" + std::string(hint.unit) + ")";
  return title;
}

}  // namespace velmora::ui
