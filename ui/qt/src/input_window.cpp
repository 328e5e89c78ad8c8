#include "velmora/ui/qt/input_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "velmora/ui/input_titles.h"
#include "velmora/ui/window_support.h"
#include "window_layout.h"

namespace velmora::ui::qt {

namespace {

using design::kFieldCount;
using design::kFieldInfo;

// The box grid: column lefts, row tops and how many boxes each row holds;
// boxes fill the rows in index order, left to right.
constexpr int kColumnLeft[] = {1920, 4440, 6960, 9480};
struct Row {
  int top;
  int boxes;
};
constexpr Row kRows[] = {{120, 1},  {720, 4},  {1200, 4}, {1680, 2}, {2280, 4}, {2760, 4},
                         {3240, 4}, {3720, 4}, {4200, 4}, {4680, 4}, {5160, 2}, {5760, 4},
                         {6240, 4}, {6720, 4}, {7200, 4}, {7680, 4}, {8160, 3}};
constexpr int kBoxWidth = 1000;
constexpr int kModelBoxWidth = 9015;  // box 0, the motor model
constexpr int kBoxHeight = 400;
// Captions end just left of their box.
constexpr int kCaptionWidth = 1420;
constexpr int kCaptionGap = 60;

constexpr int kClientWidth = 14895;
constexpr int kClientHeight = 8760;

// Separators: under the model, under the steel grade, under the end ring;
// and one between the grid and the panels.
constexpr int kLineLeft = 120;
constexpr int kLineRight = 10440;
constexpr int kLineTops[] = {600, 2160, 5640};
constexpr int kDividerLeft = 10560;
constexpr int kDividerBottom = 8640;
constexpr int kLinePixels = 3;

// How long the boxes stay unchanged before the design-tool windows follow them.
constexpr int kFollowMilliseconds = 150;

constexpr Command<SJSRCK> kDataMenu[] = {{"SJSRCREAT", "新建", &SJSRCK::SJSRCREAT},
                                         {"SJSROPEN", "打开", &SJSRCK::SJSROPEN},
                                         {"SJSRSAVE", "保存", &SJSRCK::SJSRSAVE},
                                         {"SJSREXIT", "退出", &SJSRCK::SJSREXIT}};
constexpr Command<SJSRCK> kTopLevel[] = {{"SJSRCACULATE", "电磁计算", &SJSRCK::SJSRCACULATE},
                                         {"JISUAN", "计算结果", &SJSRCK::JISUAN},
                                         {"HELP", "帮助", &SJSRCK::HELP}};
constexpr Command<SJSRCK> kToolsMenu[] = {
    {"SLOTS", "槽形图", &SJSRCK::SLOTS},           {"CHECK", "设计校核", &SJSRCK::CHECK},
    {"SWEEP", "参数扫描", &SJSRCK::SWEEP},         {"CURVES", "特性曲线", &SJSRCK::CURVES},
    {"OPTIMISE", "优化设计", &SJSRCK::OPTIMISE},   {"THERMAL", "温升计算", &SJSRCK::THERMAL},
    {"TOLERANCE", "公差分析", &SJSRCK::TOLERANCE}, {"SCHEME", "方案设计", &SJSRCK::SCHEME}};

}  // namespace

InputWindow::InputWindow(Toolkit& toolkit, Session& session) : logic_(toolkit, session) {
  TwipClient* client = SetUpWindow(this, "实验室---Velmora  ", kClientWidth, kClientHeight);
  AddBoxes(client);
  for (int top : kLineTops) {
    AddLine(client, QRect(Px(kLineLeft), Px(top) - 1, Px(kLineRight - kLineLeft), kLinePixels));
  }
  // A larger window gives the room to the guide and the reference data.
  client->Anchor(AddLine(client, QRect(Px(kDividerLeft) - 1, 0, kLinePixels, Px(kDividerBottom))),
                 false, true);
  Text1_ = AddTextPanel(client, "Text1", TwipRect(10680, 0, 4095, 2415));
  Text3_ = AddTextPanel(client, "Text3", TwipRect(10680, 2520, 4095, 2295));
  client->Anchor(Text1_, true, false);
  client->Anchor(Text3_, true, true);
  AddMenus();
  FitToClient(this, client);
  follow_.setSingleShot(true);
  follow_.setInterval(kFollowMilliseconds);
  connect(&follow_, &QTimer::timeout, this, [this] { logic_.BoxesChanged(); });
}

void InputWindow::closeEvent(QCloseEvent* event) {
  if (logic_.MayDiscardBoxes(kCloseWithTyping)) {
    event->accept();
  } else {
    event->ignore();
  }
}

void InputWindow::AddBoxes(QWidget* client) {
  int index = 0;
  for (const Row& row : kRows) {
    for (int column = 0; column < row.boxes; ++column, ++index) {
      const int left = kColumnLeft[column];
      auto* caption = new QLabel(QString::fromUtf8(kFieldInfo[index].caption), client);
      caption->setObjectName(QString("Label1_%1").arg(index));
      caption->setGeometry(
          TwipRect(left - kCaptionGap - kCaptionWidth, row.top, kCaptionWidth, kBoxHeight));
      caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

      auto* box = new QLineEdit(client);
      box->setObjectName(QString("Text2_%1").arg(index));
      box->setGeometry(
          TwipRect(left, row.top, index == 0 ? kModelBoxWidth : kBoxWidth, kBoxHeight));
      caption->setBuddy(box);
      const QString tip = QString::fromStdString(InputToolTip(index));
      box->setToolTip(tip);
      caption->setToolTip(tip);
      connect(box, &QLineEdit::textChanged, this, [this] { follow_.start(); });
      Text2_[index] = box;
    }
  }
  static_assert(kFieldCount == 60);
}

void InputWindow::AddMenus() {
  QMenu* data_menu = menuBar()->addMenu(QString::fromUtf8("数据输入"));
  data_menu->setObjectName("SJSR");
  for (const auto& command : kDataMenu) AddCommand(data_menu, logic_, command);
  for (const auto& command : kTopLevel) AddCommand(menuBar(), logic_, command);
  QMenu* tools_menu = menuBar()->addMenu(QString::fromUtf8("设计工具"));
  tools_menu->setObjectName("SJGJ");
  for (const auto& command : kToolsMenu) AddCommand(tools_menu, logic_, command);
}

}  // namespace velmora::ui::qt
