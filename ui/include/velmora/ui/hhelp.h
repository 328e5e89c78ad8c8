// The help window: the supplied help text, shown whole.
#pragma once

#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The help window (帮助): the help text.
class HHELP {
 public:
  explicit HHELP(Toolkit& toolkit);

  // Shows the help window; only a window that was not open reads the help file.
  void Show();
  // The help file into the window.
  void Load();

 private:
  Toolkit& toolkit_;
};

}  // namespace velmora::ui
