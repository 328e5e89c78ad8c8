#include "velmora/ui/qt/check_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QStringList>
#include <QVBoxLayout>
#include <optional>

#include "tool_window.h"
#include "velmora/ui/quantity_names.h"

namespace velmora::ui::qt {

namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

// Fills `table` with one row per line of texts; rows marked `red` in red.
void Fill(QTableWidget* table, const std::vector<QStringList>& rows, const std::vector<bool>& red) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(rows[r][c]);
      if (red[r]) item->setForeground(Qt::red);
      table->setItem(r, c, item);
    }
  }
}

}  // namespace

CheckWindow::CheckWindow(Toolkit& toolkit, Session& session) {
  auto* client = new QWidget(this);
  client->setObjectName("Picture");
  auto* layout = new QVBoxLayout(client);
  status_ = new QLabel(client);
  status_->setObjectName("Status");
  status_->setWordWrap(true);
  rules_ = AddResultTable(
      client, "Rules",
      {QString::fromUtf8("校核项目"), QString::fromUtf8("目标值"), QString::fromUtf8("允许限值"),
       QString::fromUtf8("计算值"), QString::fromUtf8("单位"), QString::fromUtf8("结论")});
  results_ = AddResultTable(
      client, "Results",
      {QString::fromUtf8("主要结果"), QString::fromUtf8("数值"), QString::fromUtf8("单位")});
  required_class_ = new QComboBox(client);
  required_class_->setObjectName("RequiredClass");
  required_class_->addItems(
      {QString::fromUtf8("法定最低等级"), "IE2", "IE3", "IE4", QString::fromUtf8("不要求")});
  // 法定最低等级 and 不要求 name no class; the last item asks for none.
  connect(required_class_, &QComboBox::currentIndexChanged, this,
          [this, &toolkit, &session](int index) {
            const std::string name = required_class_->itemText(index).toStdString();
            session.check.required_class = studies::ParseClassName(name);
            session.check.check_class = index != required_class_->count() - 1;
            DesignTools(toolkit, session).RefreshCheck();
          });
  insulation_ = new QComboBox(client);
  insulation_->setObjectName("Insulation");
  insulation_->addItems({"B", "F", "H", QString::fromUtf8("不要求")});
  const std::optional<studies::InsulationClass> asked = session.check.insulation;
  insulation_->setCurrentIndex(asked ? static_cast<int>(*asked) : insulation_->count() - 1);
  // The last item asks for no class: the rise is shown, not checked.
  connect(insulation_, &QComboBox::currentIndexChanged, this,
          [this, &toolkit, &session](int index) {
            session.check.insulation =
                studies::ParseInsulationClass(insulation_->itemText(index).toStdString());
            DesignTools(toolkit, session).RefreshCheck();
          });
  auto* class_row = new QHBoxLayout();
  class_row->addWidget(new QLabel(QString::fromUtf8("要求能效等级："), client));
  class_row->addWidget(required_class_);
  class_row->addWidget(new QLabel(QString::fromUtf8("绝缘等级："), client));
  class_row->addWidget(insulation_);
  class_row->addStretch(1);
  class_and_cost_ = new QPlainTextEdit(client);
  class_and_cost_->setObjectName("ClassAndCost");
  class_and_cost_->setReadOnly(true);
  class_and_cost_->setMinimumHeight(210);  // the class, the rise and the cost
  notes_ = AddResultTable(client, "Notes", {QString::fromUtf8("结果可信性")});
  notes_->setWordWrap(true);
  notes_->setTextElideMode(Qt::ElideNone);
  layout->addWidget(status_);
  rules_->setMinimumHeight(360);  // the eleven rules without scrolling
  layout->addWidget(rules_, 0);
  layout->addLayout(class_row);
  layout->addWidget(class_and_cost_, 0);
  layout->addWidget(results_, 2);
  layout->addWidget(notes_, 1);
  SetUpToolWindow(this, Window::CHECK, client, QSize(680, 900));
  AddExportPicture(this, toolkit, Window::CHECK, [this] { return design_; });
}

void CheckWindow::Show(const CheckTable& table) {
  design_ = table.design.empty() ? "未命名" : table.design;
  if (!table.design.empty()) setWindowTitle(ToolWindowTitle(Window::CHECK, table.design));
  status_->setText(Text(table.status));
  std::vector<QStringList> rows;
  std::vector<bool> red;
  for (const CheckTable::Rule& rule : table.rules) {
    rows.push_back({Text(rule.caption), Text(rule.target), Text(rule.limit), Text(rule.computed),
                    Text(rule.unit), Text(rule.verdict)});
    red.push_back(rule.failed);
  }
  Fill(rules_, rows, red);
  rows.clear();
  red.clear();
  for (const CheckTable::Result& result : table.results) {
    const QuantityName* name = FindQuantityName(result.name);
    rows.push_back({Text(QuantityLabel(result.name)), Text(result.value),
                    name ? Text(std::string(name->unit)) : QString()});
    red.push_back(false);
  }
  Fill(results_, rows, red);
  QStringList lines;
  for (const std::string& line : table.class_and_cost) lines << Text(line);
  class_and_cost_->setPlainText(lines.join('\n'));
  rows.clear();
  red.clear();
  for (const CheckTable::Note& note : table.notes) {
    rows.push_back({Text(note.text)});
    red.push_back(note.untrustworthy);
  }
  if (rows.empty() && !table.rules.empty()) {
    rows.push_back({QString::fromUtf8("磁密均在磁化曲线范围内，输入与结果均合理。")});
    red.push_back(false);
  }
  Fill(notes_, rows, red);
  notes_->resizeRowsToContents();
}

}  // namespace velmora::ui::qt
