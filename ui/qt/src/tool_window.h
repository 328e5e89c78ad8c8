// What the design-tool windows share: a resizable window round one central
// widget, and the menu command that saves its picture.
#pragma once

#include <QMainWindow>
#include <QMenuBar>
#include <QSize>

#include "velmora/ui/design_tools.h"
#include "window_layout.h"

namespace velmora::ui::qt {

// Titles the window, gives it the Song font and `central`; closing deletes it.
inline void SetUpToolWindow(QMainWindow* window, const char* title, QWidget* central, QSize size) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QString::fromUtf8(title));
  window->setFont(SongFont());
  window->setCentralWidget(central);
  window->resize(size);
}

// The menu command "导出PNG" of tool window `which`.
inline void AddExportPicture(QMainWindow* window, Toolkit& toolkit, Window which) {
  QAction* save = window->menuBar()->addAction(QString::fromUtf8("导出PNG"));
  save->setObjectName("EXPORTPNG");
  QObject::connect(save, &QAction::triggered, window,
                   [&toolkit, which] { ExportPicture(toolkit, which); });
}

}  // namespace velmora::ui::qt
