#include "velmora/ui/hhelp.h"

#include "velmora/design/files.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

HHELP::HHELP(Toolkit& toolkit) : toolkit_(toolkit) {}

void HHELP::Show() {
  ShowWindowLoaded(toolkit_, Window::HHELP, [this] { Load(); });
}

void HHELP::Load() { ShowFileInPanel(toolkit_, Panel::HHELP_Text1, design::kHelpFileName); }

}  // namespace velmora::ui
