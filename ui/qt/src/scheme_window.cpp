#include "velmora/ui/qt/scheme_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tool_window.h"

namespace velmora::ui::qt {

namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

constexpr int kPollMilliseconds = 100;

QLineEdit* AddBox(QWidget* parent, const char* name, const char* text) {
  auto* box = new QLineEdit(QString::fromUtf8(text), parent);
  box->setObjectName(name);
  return box;
}

QComboBox* AddChoice(QWidget* parent, const char* name, const QStringList& items) {
  auto* choice = new QComboBox(parent);
  choice->setObjectName(name);
  choice->addItems(items);
  return choice;
}

// "中心高112：EFF不合格" and the notes, one a line.
QString FramesAndNotes(const SchemeView& view) {
  QStringList lines;
  for (const std::string& frame : view.frames_tried)
    lines << QString::fromUtf8("试过的机座 ") + Text(frame);
  for (const std::string& note : view.notes) lines << QString::fromUtf8("注：") + Text(note);
  return lines.join('\n');
}

}  // namespace

SchemeWindow::SchemeWindow(Toolkit& toolkit) : toolkit_(toolkit) {
  auto* client = new QWidget(this);
  client->setObjectName("Picture");
  auto* outer = new QVBoxLayout(client);
  status_ = AddTextLabel(client, "Status");
  outer->addWidget(status_);
  auto* layout = new QHBoxLayout();
  outer->addLayout(layout, 1);
  auto* left = new QVBoxLayout();
  left->addWidget(AddRequest(client));
  steps_ = AddResultTable(
      client, "Steps",
      {QString::fromUtf8("名称"), QString::fromUtf8("取值"), QString::fromUtf8("理由")});
  steps_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  steps_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  steps_->setWordWrap(true);
  left->addWidget(steps_, 1);
  auto* right = new QVBoxLayout();
  compared_ = AddResultTable(client, "Compared", "项目", kSchemeColumns);
  compared_->verticalHeader()->setDefaultSectionSize(compared_->fontMetrics().height() + 6);
  compared_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  right->addWidget(compared_, 1);
  notes_ = AddTextLabel(client, "Notes");
  right->addWidget(notes_);
  layout->addLayout(left, 1);
  layout->addLayout(right, 1);
  SetUpToolWindow(this, Window::SCHEME, client, QSize(1280, 820));
  AddExportPicture(this, toolkit, Window::SCHEME, [this] { return design_; });
  connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

// The rating, the classes, the refinement, and the four buttons.
QWidget* SchemeWindow::AddRequest(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  const SchemeRequest typical;
  power_ = AddBox(panel, "Power", "");
  power_->setToolTip(QString::fromUtf8("额定输出功率，0.55~90 kW"));
  poles_ = AddChoice(panel, "Poles", {"2", "4", "6"});
  poles_->setCurrentText(QString::number(typical.poles));
  voltage_ = AddBox(panel, "Voltage", typical.voltage.c_str());
  frequency_ = AddBox(panel, "Frequency", typical.frequency.c_str());
  class_ = AddChoice(panel, "RequiredClass", {QString::fromUtf8("法定最低"), "IE2", "IE3", "IE4"});
  insulation_ = AddChoice(panel, "Insulation", {"B", "F", "H", QString::fromUtf8("不要求")});
  insulation_->setToolTip(
      QString::fromUtf8("额定负载下绕组平均温升（电阻法）不超过该绝缘等级的限值"));
  optimise_ = new QCheckBox(QString::fromUtf8("在初步设计附近按成本最低优化"), panel);
  optimise_->setObjectName("Optimise");
  optimise_->setChecked(typical.optimise);
  budget_ = AddBox(panel, "Budget", typical.max_evaluations.c_str());
  connect(optimise_, &QCheckBox::toggled, budget_, &QWidget::setEnabled);
  auto* form = new QFormLayout();
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(QString::fromUtf8("功率 (kW)"), power_);
  form->addRow(QString::fromUtf8("极数"), poles_);
  form->addRow(QString::fromUtf8("电压 (V)"), voltage_);
  form->addRow(QString::fromUtf8("频率 (Hz)"), frequency_);
  form->addRow(QString::fromUtf8("能效等级"), class_);
  form->addRow(QString::fromUtf8("绝缘等级"), insulation_);
  form->addRow(QString::fromUtf8("优化"), optimise_);
  form->addRow(QString::fromUtf8("最多计算次数"), budget_);
  column->addLayout(form);
  start_ = AddButton(panel, "Start", "开始");
  cancel_ = AddButton(panel, "Cancel", "取消");
  load_ = AddButton(panel, "Load", "载入设计");
  restore_ = AddButton(panel, "Restore", "恢复原设计");
  connect(power_, &QLineEdit::returnPressed, this, [this] { Start(); });
  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { logic_.Cancel(); });
  connect(load_, &QPushButton::clicked, this, [this] {
    logic_.Load(toolkit_);
    EnableButtons();
  });
  connect(restore_, &QPushButton::clicked, this, [this] {
    logic_.Restore(toolkit_);
    EnableButtons();
  });
  auto* buttons = new QHBoxLayout();
  for (QPushButton* button : {start_, cancel_, load_, restore_}) buttons->addWidget(button);
  column->addLayout(buttons);
  EnableButtons();
  return panel;
}

SchemeRequest SchemeWindow::Request() const {
  SchemeRequest request;
  request.power = power_->text().toStdString();
  request.poles = poles_->currentText().toInt();
  request.voltage = voltage_->text().toStdString();
  request.frequency = frequency_->text().toStdString();
  request.required_class = studies::ParseClassName(class_->currentText().toStdString());
  request.insulation = studies::ParseInsulationClass(insulation_->currentText().toStdString());
  request.optimise = optimise_->isChecked();
  request.max_evaluations = budget_->text().toStdString();
  return request;
}

void SchemeWindow::Start() {
  if (std::optional<std::string> refused = logic_.Start(Request(), toolkit_.ProgramFolder())) {
    status_->setText(Text(*refused));
    return;
  }
  status_->setText(QString::fromUtf8("正在设计……"));
  Show(SchemeView{});
  EnableButtons();
  poll_.start(kPollMilliseconds);
}

void SchemeWindow::Poll() {
  if (!logic_.Finished()) {
    status_->setText(QString::fromUtf8("正在设计……已优化计算%1次").arg(logic_.Evaluations()));
    return;
  }
  poll_.stop();
  const SchemeView view = logic_.View();
  Show(view);
  status_->setText(Text(view.status));
  EnableButtons();
}

void SchemeWindow::Show(const SchemeView& view) {
  design_ = view.design.empty() ? "未命名" : view.design;
  if (!view.design.empty()) setWindowTitle(ToolWindowTitle(Window::SCHEME, view.design));
  steps_->setRowCount(static_cast<int>(view.steps.size()));
  for (int r = 0; r < steps_->rowCount(); ++r) {
    const studies::SizingStep& step = view.steps[r];
    steps_->setItem(r, 0, FixedItem(Text(step.name)));
    steps_->setItem(r, 1, FixedItem(Text(step.value)));
    steps_->setItem(r, 2, FixedItem(Text(step.reason)));
  }
  steps_->resizeRowsToContents();
  compared_->setRowCount(0);
  if (!view.inputs.empty()) {
    AddSection(compared_, "主要输入", view.inputs);
    AddSection(compared_, "主要结果", view.results);
    AddSection(compared_, "设计校核", view.rules);
  }
  notes_->setText(FramesAndNotes(view));
}

void SchemeWindow::EnableButtons() {
  const bool running = logic_.Running();
  start_->setEnabled(!running);
  cancel_->setEnabled(running);
  load_->setEnabled(logic_.CanLoad());
  restore_->setEnabled(logic_.CanRestore());
}

}  // namespace velmora::ui::qt
