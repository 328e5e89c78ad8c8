// Geometry and look shared by the input, results and help windows. Positions are written in
// twips (1/1440 inch), the unit the layout tables use; 15 twips make a pixel
// at 96 dpi and Qt scales the pixels for the screen.
#pragma once

#include <QAction>
#include <QFont>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

namespace velmora::ui::qt {

constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

// 宋体 where it is installed, else a Song-style CJK font, so Chinese never
// shows as empty boxes.
QFont SongFont();

// For the report: half-width Latin and full-width Chinese, so the columns
// laid out in GBK bytes stay aligned.
QFont ReportFont();

// A client area laid out in twips at its natural size. The window may be
// made larger, and the controls anchored to grow take up the extra width or
// height; made smaller, the area scrolls.
class TwipClient : public QWidget {
 public:
  TwipClient(int width, int height);
  // `control` keeps its place and grows with the window in the ways asked.
  void Anchor(QWidget* control, bool grow_width, bool grow_height);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Anchored {
    QWidget* control;
    QRect natural;
    bool grow_width;
    bool grow_height;
  };
  QSize natural_;
  std::vector<Anchored> anchored_;
};

// Gives `window` its title, the Song font and a client area of the given
// size in twips below the menu bar; closing the window deletes it.
TwipClient* SetUpWindow(QMainWindow* window, const char* title, int width, int height);

// Sizes `window` to show its client area whole at its natural size, between
// its menu bar and status bar; called once they are in place.
void FitToClient(QMainWindow* window, const TwipClient* client);

// A multi-line text box with both scroll bars, named as its control.
QPlainTextEdit* AddTextPanel(QWidget* client, const char* name, QRect place);

// A solid separator line, 3 pixels wide, along `place`.
QWidget* AddLine(QWidget* client, QRect place);

// A menu command: the action's name and caption, and the window logic's routine it calls.
template <class Logic>
struct Command {
  const char* name;
  const char* caption;
  void (Logic::*run)();
};

// Adds `command` to `menu` (a menu or the menu bar itself).
template <class Logic, class Menu>
void AddCommand(Menu* menu, Logic& logic, const Command<Logic>& command) {
  QAction* action = menu->addAction(QString::fromUtf8(command.caption));
  action->setObjectName(command.name);
  QObject::connect(action, &QAction::triggered, menu,
                   [&logic, run = command.run] { (logic.*run)(); });
}

// UTF-8 text for a text box; CR LF line ends become one line break each.
QString PanelText(const std::string& utf8);

}  // namespace velmora::ui::qt
