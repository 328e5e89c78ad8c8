// The toolkit of the real windows, on Qt Widgets.
#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <optional>
#include <string>

#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

class InputWindow;

// Qt's own Chinese texts for the standard dialogs and buttons (查找范围,
// 文件名, 保存, 取消, 确定), and Chinese as the default locale; false when
// the texts are not installed.
bool InstallChineseTranslation(QCoreApplication& app);

class QtToolkit : public Toolkit {
 public:
  QtToolkit(std::string program_folder, Session& session);
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  std::string ProgramFolder() override;
  std::string BoxText(int index) override;
  void SetBoxText(int index, const std::string& text) override;
  void FocusBox(int index) override;
  void SetPanelText(Panel panel, const std::string& text) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  void SetStatusText(Window window, const std::string& text) override;
  bool IsWindowOpen(Window window) override;
  void ShowWindow(Window window) override;
  void CloseWindow(Window window) override;
  void ShowSlotDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                       const std::string& design) override;
  void ShowDesignCheck(const CheckTable& table) override;
  void ShowCurves(const CurvesView& view) override;
  void ShowThermal(const ThermalView& view) override;
  void ShowTolerance(const ToleranceView& view) override;
  void SetSweepBase(const design::DesignInput& base) override;
  std::optional<std::string> PictureBytes(Window window) override;

  // The window, or null when it is not open.
  QMainWindow* window(Window window);

 private:
  QMainWindow* CreateWindow(Window window);
  // Puts a newly made window beside the input window, within the screen.
  void PlaceBesideInput(QMainWindow* shown);
  InputWindow* input();
  // The open window `which` as its own class, or null.
  template <class Shown>
  Shown* open(Window which) {
    return static_cast<Shown*>(window(which));
  }

  std::string program_folder_;
  Session& session_;  // handed to the windows that need it
  std::array<QPointer<QMainWindow>, kWindowCount> windows_;
};

}  // namespace velmora::ui::qt
