#include "window_layout.h"

#include <QFrame>
#include <QMenuBar>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStatusBar>
#include <QStringList>
#include <algorithm>

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

TwipClient::TwipClient(int width, int height) : natural_(Px(width), Px(height)) {
  setMinimumSize(natural_);
}

void TwipClient::Anchor(QWidget* control, bool grow_width, bool grow_height) {
  anchored_.push_back({control, control->geometry(), grow_width, grow_height});
}

void TwipClient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int extra_width = std::max(0, width() - natural_.width());
  const int extra_height = std::max(0, height() - natural_.height());
  for (const Anchored& a : anchored_) {
    a.control->setGeometry(
        a.natural.adjusted(0, 0, a.grow_width ? extra_width : 0, a.grow_height ? extra_height : 0));
  }
}

TwipClient* SetUpWindow(QMainWindow* window, const char* title, int width, int height) {
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QString::fromUtf8(title));
  window->setFont(SongFont());
  auto* client = new TwipClient(width, height);
  auto* scroll = new QScrollArea(window);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(client);
  window->setCentralWidget(scroll);
  return client;
}

void FitToClient(QMainWindow* window, const TwipClient* client) {
  int bars = 0;
  for (QWidget* bar : {window->menuWidget(), static_cast<QWidget*>(window->findChild<QStatusBar*>(
                                                 QString(), Qt::FindDirectChildrenOnly))}) {
    if (!bar) continue;
    bar->ensurePolished();  // the font decides the bar's height
    bars += bar->sizeHint().height();
  }
  window->resize(client->minimumSize() + QSize(0, bars));
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

QWidget* AddLine(QWidget* client, QRect place) {
  auto* line = new QFrame(client);
  line->setGeometry(place);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
  line->setPalette(palette);
  return line;
}

QString PanelText(const std::string& utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace velmora::ui::qt
