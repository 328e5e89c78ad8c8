#include "velmora/ui/qt/thermal_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "tool_window.h"
#include "velmora/design/design_input.h"

namespace velmora::ui::qt {

namespace {

using studies::InsulationClass;

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

constexpr InsulationClass kClasses[] = {InsulationClass::B, InsulationClass::F, InsulationClass::H};

void SetRed(QLabel* label, bool red) { label->setStyleSheet(red ? "color: red;" : ""); }

}  // namespace

ThermalWindow::ThermalWindow(Toolkit& toolkit, Session& session) {
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  status_ = AddTextLabel(client, "Status");
  picture_ = new ThermalPicture(client);
  auto* main = new QHBoxLayout();
  main->addWidget(picture_, 1);
  main->addWidget(AddSidePanel(toolkit, session));
  layout->addWidget(status_);
  layout->addLayout(main, 1);
  SetUpToolWindow(this, Window::THERMAL, client, QSize(1100, 700));
  AddExportPicture(this, toolkit, Window::THERMAL,
                   [this] { return view_.design.empty() ? "未命名" : view_.design; });
  QAction* csv = menuBar()->addAction(QString::fromUtf8("导出CSV"));
  csv->setObjectName("EXPORTCSV");
  connect(csv, &QAction::triggered, this, [this, &toolkit] { ExportThermalCsv(toolkit, view_); });
}

// The class and the cooling air; a change shows the network again at once.
QWidget* ThermalWindow::AddChoices(QWidget* parent, Toolkit& toolkit, Session& session) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  insulation_ = new QComboBox(row);
  insulation_->setObjectName("Insulation");
  for (InsulationClass c : kClasses) {
    insulation_->addItem(Text(std::string(studies::InsulationClassName(c)) + "级（" +
                              design::FixedText(studies::ClassTemperature(c), 0) + " °C）"));
  }
  ambient_ = new QDoubleSpinBox(row);
  ambient_->setObjectName("Ambient");
  const AmbientRange range = ThermalAmbientRange();
  ambient_->setRange(range.min, range.max);
  ambient_->setDecimals(1);
  ambient_->setSuffix(QString::fromUtf8(" °C"));
  ambient_->setKeyboardTracking(false);
  connect(insulation_, &QComboBox::currentIndexChanged, this, [&toolkit, &session](int index) {
    session.thermal.insulation = kClasses[index];
    DesignTools(toolkit, session).RefreshThermal();
  });
  connect(ambient_, &QDoubleSpinBox::valueChanged, this, [&toolkit, &session](double value) {
    session.thermal.ambient = value;
    DesignTools(toolkit, session).RefreshThermal();
  });
  layout->addWidget(new QLabel(QString::fromUtf8("绝缘等级："), row));
  layout->addWidget(insulation_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QString::fromUtf8("环境温度："), row));
  layout->addWidget(ambient_);
  layout->addStretch(1);
  return row;
}

// The choices, the limit line, the tables and the locked-rotor times.
QWidget* ThermalWindow::AddSidePanel(Toolkit& toolkit, Session& session) {
  auto* panel = new QWidget(this);
  panel->setFixedWidth(430);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  limit_ = AddTextLabel(panel, "Limit");
  nodes_ = AddCompactTable(panel, "Nodes", "节点", kNodeHeadings);
  paths_ = AddCompactTable(panel, "Paths", "热流路径", kPathHeadings);
  hot_ = AddCompactTable(panel, "Hot", "性能", kHotHeadings);
  FitRows(hot_, 4);
  auto* tables = new QTabWidget(panel);
  tables->setObjectName("Tables");
  tables->addTab(nodes_, QString::fromUtf8("节点温度"));
  tables->addTab(paths_, QString::fromUtf8("热流路径"));
  hot_note_ = AddTextLabel(panel, "HotNote");
  locked_rotor_ = AddTextLabel(panel, "LockedRotor");
  layout->addWidget(AddChoices(panel, toolkit, session));
  layout->addWidget(limit_);
  layout->addWidget(tables, 1);
  layout->addWidget(new QLabel(QString::fromUtf8("热态性能（热态电阻重算）："), panel));
  layout->addWidget(hot_);
  layout->addWidget(hot_note_);
  layout->addWidget(locked_rotor_);
  return panel;
}

void ThermalWindow::Show(const ThermalView& view) {
  view_ = view;
  if (!view.design.empty()) setWindowTitle(ToolWindowTitle(Window::THERMAL, view.design));
  status_->setText(Text(view.status));
  SetRed(status_, view.drawn && !view.trusted);
  {
    const QSignalBlocker class_quiet(insulation_), ambient_quiet(ambient_);
    insulation_->setCurrentIndex(static_cast<int>(view.insulation));
    ambient_->setValue(view.ambient);
  }
  picture_->SetView(view);
  limit_->setText(Text(view.limit));
  SetRed(limit_, view.over_limit);
  FillRows(nodes_, view.nodes);
  FillRows(paths_, view.paths);
  FillRows(hot_, view.hot);
  hot_note_->setText(Text(view.hot_note));
  locked_rotor_->setText(Text(view.locked_rotor));
}

}  // namespace velmora::ui::qt
