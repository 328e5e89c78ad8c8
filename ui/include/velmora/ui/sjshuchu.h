// The results window: the report of the last calculation, and a copy of it
// kept under a name of the user's choice.
#pragma once

#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The results window (计算结果): the report, 存盘 and 返回.
class SJSHUCHU {
 public:
  explicit SJSHUCHU(Toolkit& toolkit);

  // Shows the results window with the report as the file holds it now.
  void Show();
  // The report file, as it is now, into the window.
  void Load();

  void CUNPAN();  // 存盘
  void FANHUI();  // 返回

 private:
  Toolkit& toolkit_;
};

}  // namespace velmora::ui
