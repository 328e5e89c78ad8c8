// What the windows need of the windowing toolkit. The window logic talks only
// to this interface, so the commands run the same with the real windows and
// with a fake toolkit that has no screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "velmora/design/design_input.h"

namespace velmora::studies {
struct SlotDrawing;
}

namespace velmora::ui {

struct CheckTable;
struct CurvesView;
struct ThermalView;
struct ToleranceView;

// The program's windows.
enum class Window {
  SJSRCK,     // input window: 60 boxes, two side panels, the main menu
  SJSHUCHU,   // results window: the report text
  HHELP,      // help window: the help text
  SLOTS,      // design tools: the stator and rotor slots drawn to scale
  CHECK,      // design tools: the design check of the last calculation
  SWEEP,      // design tools: one input swept, results plotted against it
  CURVES,     // design tools: load and torque–speed curves of the last calculation
  OPTIMISE,   // design tools: inputs searched for the cheapest or most efficient design
  THERMAL,    // design tools: temperature rise of the last calculation
  TOLERANCE,  // design tools: manufacturing tolerances of the last calculation
  SCHEME,     // design tools: a new design sized from its rating and refined
};
constexpr int kWindowCount = 11;

// The multi-line text panels of the windows.
enum class Panel {
  SJSRCK_Text1,    // operating guide beside the input boxes
  SJSRCK_Text3,    // reference data below the guide
  SJSHUCHU_Text1,  // the report
  HHELP_Text1,     // the help text
};

// One entry of a file dialog's type list: the visible name and its pattern.
struct FileFilter {
  std::string name;     // "文本文件[*.txt]"
  std::string pattern;  // "*.txt"

  bool operator==(const FileFilter&) const = default;
};

enum class DialogMode { Open, Save };

// A modal open or save dialog, as the standard file dialog takes it.
struct FileDialogRequest {
  DialogMode mode = DialogMode::Open;
  std::string title;
  std::string file_name;  // initial file name, may be empty
  std::string folder;     // initial folder
  std::vector<FileFilter> filters;
  std::string default_extension;  // without the dot, may be empty
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Folder of the running program; every fixed file lives there.
  virtual std::string ProgramFolder() = 0;

  // Text of input box `index` (0 to 59) of the input window, UTF-8. With the
  // input window closed a box reads as empty and setting it does nothing.
  virtual std::string BoxText(int index) = 0;
  virtual void SetBoxText(int index, const std::string& text) = 0;
  // Puts the cursor into input box `index`; nothing when the window is closed.
  virtual void FocusBox(int index) = 0;

  // Replaces the whole text of a panel (UTF-8); nothing when its window is closed.
  virtual void SetPanelText(Panel panel, const std::string& text) = 0;

  // The line under a window that says what it shows, UTF-8; nothing when
  // the window is closed.
  virtual void SetStatusText(Window window, const std::string& text) = 0;

  // Shows the dialog and waits; the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;

  // A modal message box with one OK button; returns when it is dismissed.
  virtual void ShowMessage(const std::string& text) = 0;
  // A modal question with the buttons 是 and 否; true for 是.
  virtual bool AskYesNo(const std::string& question) = 0;

  virtual bool IsWindowOpen(Window window) = 0;
  // Shows the window not modally, restored when minimised, and brings it to
  // the front; a window that is not open is created first, with empty controls.
  virtual void ShowWindow(Window window) = 0;
  virtual void CloseWindow(Window window) = 0;

  // The content of the design-tool windows; nothing when the window is closed.
  // The slots of the design named `design`, or with `note` saying why they
  // cannot be drawn.
  virtual void ShowSlotDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                               const std::string& design) = 0;
  virtual void ShowDesignCheck(const CheckTable& table) = 0;
  virtual void ShowCurves(const CurvesView& view) = 0;
  virtual void ShowThermal(const ThermalView& view) = 0;
  virtual void ShowTolerance(const ToleranceView& view) = 0;
  // The design a sweep starts from.
  virtual void SetSweepBase(const design::DesignInput& base) = 0;
  // What the window shows, as the bytes of a PNG picture; nothing when the
  // window is closed or has no picture.
  virtual std::optional<std::string> PictureBytes(Window window) = 0;
};

}  // namespace velmora::ui
