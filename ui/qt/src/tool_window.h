// What the design-tool windows share: a resizable window round one central
// widget, and the menu command that saves its picture.
#pragma once

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSize>
#include <QStringList>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "velmora/ui/design_optimiser.h"
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

// The same with rows as tall as their text, so that it fits a small
// screen; the caption column takes the width the values leave.
inline QTableWidget* AddCompactTable(QWidget* parent, const char* name, const char* caption,
                                     const auto& headings) {
  QTableWidget* table = AddResultTable(parent, name, caption, headings);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  return table;
}

// The rows of a view, each a caption and its values, with the values
// right-aligned under their headings.
template <class Row>
void FillRows(QTableWidget* table, const std::vector<Row>& rows) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    table->setItem(r, 0, new QTableWidgetItem(QString::fromUtf8(rows[r].caption)));
    for (int c = 0; c < static_cast<int>(rows[r].values.size()); ++c) {
      auto* item = new QTableWidgetItem(QString::fromUtf8(rows[r].values[c]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(r, c + 1, item);
    }
  }
}

// A button named as its control.
inline QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

// A cell the user reads but does not edit.
inline QTableWidgetItem* FixedItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

// A bold heading row, then each row's caption and its two texts.
inline void AddSection(QTableWidget* table, const char* caption,
                       const std::vector<OptimiseTable::Row>& rows) {
  int r = table->rowCount();
  table->setRowCount(r + 1 + static_cast<int>(rows.size()));
  auto* heading = FixedItem(QString::fromUtf8(caption));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  table->setItem(r++, 0, heading);
  for (const OptimiseTable::Row& row : rows) {
    table->setItem(r, 0, FixedItem(QString::fromUtf8(row.caption)));
    table->setItem(r, 1, FixedItem(QString::fromUtf8(row.before)));
    table->setItem(r++, 2, FixedItem(QString::fromUtf8(row.after)));
  }
}

// Tall enough for `rows` rows and the heading, without a scroll bar.
inline void FitRows(QTableWidget* table, int rows) {
  table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                        rows * table->verticalHeader()->defaultSectionSize() +
                        2 * table->frameWidth() + 2);
}

// A label of the window's text: wrapped, and selectable to copy.
inline QLabel* AddTextLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// "槽形图 — Y132S-4".
inline QString ToolWindowTitle(Window which, const std::string& design) {
  return QString::fromUtf8(ToolTitle(which)) + QString::fromUtf8(" — ") +
         QString::fromStdString(design);
}

}  // namespace velmora::ui::qt
