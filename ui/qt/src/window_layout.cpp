#include "window_layout.h"

#include <QFrame>
#include <QPalette>
#include <QStringList>

namespace velmora::ui::qt {

namespace {

constexpr int kFontPoints = 9;

QFont FontFrom(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setPointSize(kFontPoints);
  return font;
}

}  // namespace

QFont SongFont() { return FontFrom({"SimSun", "宋体", "Noto Serif CJK SC"}); }

QFont ReportFont() { return FontFrom({"SimSun", "宋体", "Noto Sans Mono CJK SC"}); }

QWidget* SetUpWindow(QMainWindow* window, const char* title, int width, int height) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QString::fromUtf8(title));
  window->setFont(SongFont());
  auto* client = new QWidget(window);
  client->setFixedSize(Px(width), Px(height));
  window->setCentralWidget(client);
  return client;
}

QPlainTextEdit* AddTextPanel(QWidget* client, const char* name, QRect place) {
  auto* panel = new QPlainTextEdit(client);
  panel->setObjectName(name);
  panel->setGeometry(place);
  panel->setReadOnly(true);
  panel->setLineWrapMode(QPlainTextEdit::NoWrap);
  panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  panel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return panel;
}

void AddLine(QWidget* client, QRect place) {
  auto* line = new QFrame(client);
  line->setGeometry(place);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
  line->setPalette(palette);
}

QString PanelText(const std::string& utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace velmora::ui::qt
