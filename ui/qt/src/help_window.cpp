#include "velmora/ui/qt/help_window.h"

#include "window_layout.h"

namespace velmora::ui::qt {

HelpWindow::HelpWindow() {
  TwipClient* client = SetUpWindow(this, "帮助", 11175, 6495);
  Text1_ = AddTextPanel(client, "Text1", TwipRect(120, 120, 10935, 6255));
  client->Anchor(Text1_, true, true);
  FitToClient(this, client);
}

}  // namespace velmora::ui::qt
