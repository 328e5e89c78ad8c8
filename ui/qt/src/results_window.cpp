#include "velmora/ui/qt/results_window.h"

#include <QMenuBar>
#include <QStatusBar>

#include "window_layout.h"

namespace velmora::ui::qt {

namespace {

constexpr Command<SJSHUCHU> kMenu[] = {{"CUNPAN", "存盘", &SJSHUCHU::CUNPAN},
                                       {"FANHUI", "返回", &SJSHUCHU::FANHUI}};

}  // namespace

ResultsWindow::ResultsWindow(Toolkit& toolkit) : logic_(toolkit) {
  TwipClient* client = SetUpWindow(this, "运算结果", 9735, 8655);
  Text1_ = AddTextPanel(client, "Text1", TwipRect(120, 120, 9495, 8415));
  Text1_->setFont(ReportFont());
  client->Anchor(Text1_, true, true);
  for (const auto& command : kMenu) AddCommand(menuBar(), logic_, command);
  statusBar();  // which calculation the report comes from
  FitToClient(this, client);
}

}  // namespace velmora::ui::qt
