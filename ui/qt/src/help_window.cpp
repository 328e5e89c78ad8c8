#include "velmora/ui/qt/help_window.h"

#include "window_layout.h"

namespace velmora::ui::qt {

HelpWindow::HelpWindow() {
  QWidget* client = SetUpWindow(this, "帮助", 11175, 6495);
  Text1_ = AddTextPanel(client, "Text1", TwipRect(120, 120, 10935, 6255));
}

}  // namespace velmora::ui::qt
