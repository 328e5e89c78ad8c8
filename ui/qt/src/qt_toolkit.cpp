#include "velmora/ui/qt/qt_toolkit.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStringList>
#include <QTranslator>
#include <QTreeView>
#include <utility>

#include "velmora/ui/qt/check_window.h"
#include "velmora/ui/qt/curves_window.h"
#include "velmora/ui/qt/help_window.h"
#include "velmora/ui/qt/input_window.h"
#include "velmora/ui/qt/optimise_window.h"
#include "velmora/ui/qt/results_window.h"
#include "velmora/ui/qt/scheme_window.h"
#include "velmora/ui/qt/slot_window.h"
#include "velmora/ui/qt/sweep_window.h"
#include "velmora/ui/qt/thermal_window.h"
#include "velmora/ui/qt/tolerance_window.h"
#include "velmora/ui/window_placement.h"
#include "window_layout.h"

namespace velmora::ui::qt {

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) { return text.toStdString(); }

// Where each panel lives: its window and the name of its text box there.
struct PanelPlace {
  Panel panel;
  Window window;
  const char* control;
};
constexpr PanelPlace kPanelPlaces[] = {
    {Panel::SJSRCK_Text1, Window::SJSRCK, "Text1"},
    {Panel::SJSRCK_Text3, Window::SJSRCK, "Text3"},
    {Panel::SJSHUCHU_Text1, Window::SJSHUCHU, "Text1"},
    {Panel::HHELP_Text1, Window::HHELP, "Text1"},
};

// "文本文件[*.txt]" with "*.txt" becomes "文本文件[*.txt] (*.txt)"; the dialog
// hides the part in brackets, so the visible name stays as given.
QStringList NameFilters(const std::vector<FileFilter>& filters) {
  QStringList names;
  for (const FileFilter& filter : filters) {
    names << FromUtf8(filter.name) + " (" + FromUtf8(filter.pattern) + ")";
  }
  return names;
}

// Wide enough for long design names, with the size, type and date columns
// as wide as what they show; the name column takes the rest.
void FitDetailColumns(QFileDialog& dialog) {
  dialog.resize(dialog.sizeHint().expandedTo(QSize(860, 520)));
  auto* details = dialog.findChild<QTreeView*>();
  if (!details) return;
  QHeaderView* header = details->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
}

ScreenRect ToScreenRect(const QRect& rect) {
  return {rect.left(), rect.top(), rect.width(), rect.height()};
}

}  // namespace

bool InstallChineseTranslation(QCoreApplication& app) {
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));  // sizes, dates, file types
  auto* translator = new QTranslator(&app);
  if (!translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

QtToolkit::QtToolkit(std::string program_folder, Session& session)
    : program_folder_(std::move(program_folder)), session_(session) {}

QtToolkit::~QtToolkit() {
  for (QPointer<QMainWindow>& window : windows_) delete window.data();
}

std::string QtToolkit::ProgramFolder() { return program_folder_; }

std::string QtToolkit::BoxText(int index) {
  InputWindow* window = input();
  return window ? ToUtf8(window->Text2(index)->text()) : std::string();
}

void QtToolkit::SetBoxText(int index, const std::string& text) {
  if (InputWindow* window = input()) window->Text2(index)->setText(FromUtf8(text));
}

void QtToolkit::FocusBox(int index) {
  if (InputWindow* window = input()) window->Text2(index)->setFocus();
}

void QtToolkit::SetPanelText(Panel panel, const std::string& text) {
  for (const PanelPlace& place : kPanelPlaces) {
    if (place.panel != panel || !window(place.window)) continue;
    auto* box = window(place.window)->findChild<QPlainTextEdit*>(place.control);
    if (box) box->setPlainText(PanelText(text));
  }
}

void QtToolkit::SetStatusText(Window which, const std::string& text) {
  if (QMainWindow* shown = window(which)) shown->statusBar()->showMessage(FromUtf8(text));
}

std::optional<std::string> QtToolkit::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), FromUtf8(request.title),
                     FromUtf8(request.folder));
  const bool save = request.mode == DialogMode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The file chosen is replaced without asking, as the save commands say.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // Qt's own dialog, in Chinese and the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(NameFilters(request.filters));
  dialog.setDefaultSuffix(FromUtf8(request.default_extension));
  if (!request.file_name.empty()) dialog.selectFile(FromUtf8(request.file_name));
  FitDetailColumns(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToUtf8(dialog.selectedFiles().first());
}

void QtToolkit::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), FromUtf8(text),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

bool QtToolkit::AskYesNo(const std::string& question) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), FromUtf8(question),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool QtToolkit::IsWindowOpen(Window which) { return window(which) != nullptr; }

void QtToolkit::ShowWindow(Window which) {
  QMainWindow* shown = window(which);
  if (!shown) {
    shown = CreateWindow(which);
    windows_[static_cast<int>(which)] = shown;
    if (which != Window::SJSRCK) PlaceBesideInput(shown);
  }
  shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
  shown->show();
  shown->raise();
  shown->activateWindow();
}

void QtToolkit::CloseWindow(Window which) {
  if (QMainWindow* open = window(which)) open->close();
}

QMainWindow* QtToolkit::window(Window which) {
  QMainWindow* open = windows_[static_cast<int>(which)].data();
  // A closed window is deleted later; until then it no longer counts as open.
  return open && open->isVisible() ? open : nullptr;
}

QMainWindow* QtToolkit::CreateWindow(Window which) {
  switch (which) {
    case Window::SJSRCK:
      return new InputWindow(*this, session_);
    case Window::SJSHUCHU:
      return new ResultsWindow(*this);
    case Window::HHELP:
      return new HelpWindow();
    case Window::SLOTS:
      return new SlotWindow(*this);
    case Window::CHECK:
      return new CheckWindow(*this, session_);
    case Window::SWEEP:
      return new SweepWindow(*this, session_);
    case Window::CURVES:
      return new CurvesWindow(*this);
    case Window::OPTIMISE:
      return new OptimiseWindow(*this);
    case Window::THERMAL:
      return new ThermalWindow(*this, session_);
    case Window::TOLERANCE:
      return new ToleranceWindow(*this, session_);
    case Window::SCHEME:
      return new SchemeWindow(*this);
  }
  return nullptr;
}

void QtToolkit::ShowSlotDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                                const std::string& design) {
  if (auto* shown = open<SlotWindow>(Window::SLOTS)) shown->Show(drawing, note, design);
}

void QtToolkit::ShowDesignCheck(const CheckTable& table) {
  if (auto* shown = open<CheckWindow>(Window::CHECK)) shown->Show(table);
}

void QtToolkit::ShowCurves(const CurvesView& view) {
  if (auto* shown = open<CurvesWindow>(Window::CURVES)) shown->Show(view);
}

void QtToolkit::ShowThermal(const ThermalView& view) {
  if (auto* shown = open<ThermalWindow>(Window::THERMAL)) shown->Show(view);
}

void QtToolkit::ShowTolerance(const ToleranceView& view) {
  if (auto* shown = open<ToleranceWindow>(Window::TOLERANCE)) shown->Show(view);
}

void QtToolkit::SetSweepBase(const design::DesignInput& base) {
  if (auto* shown = open<SweepWindow>(Window::SWEEP)) shown->SetBase(base);
}

std::optional<std::string> QtToolkit::PictureBytes(Window which) {
  QMainWindow* shown = window(which);
  auto* picture = shown ? shown->findChild<QWidget*>("Picture") : nullptr;
  if (!picture) return std::nullopt;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture->grab().save(&buffer, "PNG")) return std::nullopt;
  return png.toStdString();
}

void QtToolkit::PlaceBesideInput(QMainWindow* shown) {
  InputWindow* main = input();
  if (!main || !main->screen()) return;
  const QRect screen = main->screen()->availableGeometry();
  const QRect frame = main->frameGeometry();
  // The frame the window manager adds, as it drew the input window's.
  const QSize decoration = frame.size() - main->size();
  const int menu_bottom = main->menuBar()->mapToGlobal(QPoint(0, main->menuBar()->height())).y();
  const QSize wanted = shown->size() + decoration;
  const ScreenRect placed = PlaceBesideMain(ToScreenRect(screen), ToScreenRect(frame), menu_bottom,
                                            {0, 0, wanted.width(), wanted.height()});
  shown->resize(QSize(placed.width, placed.height) - decoration);
  shown->move(placed.left, placed.top);
}

InputWindow* QtToolkit::input() { return static_cast<InputWindow*>(window(Window::SJSRCK)); }

}  // namespace velmora::ui::qt
