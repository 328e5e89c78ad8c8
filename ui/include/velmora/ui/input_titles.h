// An input worded for the windows: the tooltip of its box and the title of
// an axis that carries it, from its name, meaning and unit.
#pragma once

#include <string>

namespace velmora::ui {

// "气隙长度 G\n单位：mm\n常用范围：0.25～1.0": the tooltip of box `index`.
std::string InputToolTip(int index);

// "气隙G (mm)": the box caption with the unit, for an axis.
std::string InputTitle(int index);

}  // namespace velmora::ui
