// The desktop calculator: the input window, then the event loop until the
// last window closes.
#include <QApplication>

#include "velmora/design/files.h"
#include "velmora/ui/qt/qt_toolkit.h"
#include "velmora/ui/sjsrck.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velmora");
  velmora::ui::qt::InstallChineseTranslation(app);
  velmora::ui::Session session;
  velmora::ui::qt::QtToolkit toolkit(velmora::design::ProgramFolder(), session);
  velmora::ui::ShowInputWindow(toolkit);
  return QApplication::exec();
}
