// What the design-tool windows share: a resizable window round one central
// widget, and the menu command that saves its picture.
#pragma once

#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QSize>
#include <QStringList>
#include <QTableWidget>
#include <functional>
#include <string>

#include "velmora/ui/design_tools.h"
#include "window_layout.h"

namespace velmora::ui::qt {

// Titles the window, gives it the Song font and `central`; closing deletes
// it. On a screen too small for the window's content, the content scrolls.
inline void SetUpToolWindow(QMainWindow* window, Window which, QWidget* central, QSize size) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QString::fromUtf8(ToolTitle(which)));
  window->setFont(SongFont());
  auto* scroll = new QScrollArea(window);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(central);
  window->setCentralWidget(scroll);
  window->resize(size);
}

// The menu command "导出PNG" of tool window `which`; `design` names the
// design the picture shows.
inline void AddExportPicture(QMainWindow* window, Toolkit& toolkit, Window which,
                             std::function<std::string()> design) {
  QAction* save = window->menuBar()->addAction(QString::fromUtf8("导出PNG"));
  save->setObjectName("EXPORTPNG");
  QObject::connect(save, &QAction::triggered, window,
                   [&toolkit, which, design] { ExportPicture(toolkit, which, design()); });
}

// A table the user reads but does not edit, its columns sharing the width.
inline QTableWidget* AddResultTable(QWidget* parent, const char* name,
                                    const QStringList& headings) {
  auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels(headings);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  return table;
}

// The same with a caption column first, then `headings`.
inline QTableWidget* AddResultTable(QWidget* parent, const char* name, const char* caption,
                                    const auto& headings) {
  QStringList labels{QString::fromUtf8(caption)};
  for (const char* heading : headings) labels << QString::fromUtf8(heading);
  return AddResultTable(parent, name, labels);
}

// "槽形图 — Y132S-4".
inline QString ToolWindowTitle(Window which, const std::string& design) {
  return QString::fromUtf8(ToolTitle(which)) + QString::fromUtf8(" — ") +
         QString::fromStdString(design);
}

}  // namespace velmora::ui::qt
