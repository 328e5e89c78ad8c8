// A toolkit without a screen: boxes and panels are strings, dialogs answer
// from a queue, messages and dialog requests are recorded.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/studies/slot_geometry.h"
#include "velmora/ui/characteristic_curves.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/thermal_view.h"
#include "velmora/ui/tolerance_view.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::testing {

class FakeToolkit : public Toolkit {
 public:
  explicit FakeToolkit(std::string program_folder) : program_folder_(std::move(program_folder)) {}

  std::string ProgramFolder() override { return program_folder_; }

  std::string BoxText(int index) override {
    return IsWindowOpen(Window::SJSRCK) ? boxes.at(index) : std::string();
  }
  void SetBoxText(int index, const std::string& text) override {
    if (IsWindowOpen(Window::SJSRCK)) boxes.at(index) = text;
  }
  void FocusBox(int index) override {
    if (IsWindowOpen(Window::SJSRCK)) focused = index;
  }
  void SetPanelText(Panel panel, const std::string& text) override { panels[panel] = text; }

  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
    dialogs.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  void SetStatusText(Window window, const std::string& text) override {
    if (IsWindowOpen(window)) status[window] = text;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return answer_yes;
  }

  bool IsWindowOpen(Window window) override { return open.count(window) > 0; }
  void ShowWindow(Window window) override {
    if (open.insert(window).second) ClearControls(window);
    ++shown[window];
  }
  void CloseWindow(Window window) override { open.erase(window); }

  void ShowSlotDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                       const std::string& design) override {
    if (!IsWindowOpen(Window::SLOTS)) return;
    slots = drawing;
    slot_note = note;
    slot_design = design;
  }
  void ShowDesignCheck(const CheckTable& table) override {
    if (IsWindowOpen(Window::CHECK)) check = table;
  }
  void ShowCurves(const CurvesView& view) override {
    if (IsWindowOpen(Window::CURVES)) curves = view;
  }
  void ShowThermal(const ThermalView& view) override {
    if (IsWindowOpen(Window::THERMAL)) thermal = view;
  }
  void ShowTolerance(const ToleranceView& view) override {
    if (IsWindowOpen(Window::TOLERANCE)) tolerance = view;
  }
  void SetSweepBase(const design::DesignInput& base) override {
    if (IsWindowOpen(Window::SWEEP)) sweep_base = base;
  }
  std::optional<std::string> PictureBytes(Window window) override {
    if (!IsWindowOpen(window)) return std::nullopt;
    return "PNG of window " + std::to_string(static_cast<int>(window));
  }

  std::optional<int> focused;  // the box the cursor was put into
  std::array<std::string, design::kFieldCount> boxes;
  std::map<Panel, std::string> panels;
  std::deque<std::optional<std::string>> answers;  // what the next dialogs give back
  std::vector<FileDialogRequest> dialogs;
  std::vector<std::string> messages;
  // Questions asked, and the answer every question gets.
  std::vector<std::string> questions;
  bool answer_yes = true;
  std::set<Window> open;
  std::map<Window, int> shown;
  std::map<Window, std::string> status;
  std::optional<studies::SlotDrawing> slots;
  std::string slot_note;
  std::string slot_design;
  std::optional<CheckTable> check;
  std::optional<design::DesignInput> sweep_base;
  std::optional<CurvesView> curves;
  std::optional<ThermalView> thermal;
  std::optional<ToleranceView> tolerance;

 private:
  // A newly created window starts with empty controls.
  void ClearControls(Window window) {
    if (window == Window::SJSRCK) {
      boxes.fill("");
      panels.erase(Panel::SJSRCK_Text1);
      panels.erase(Panel::SJSRCK_Text3);
    }
    status.erase(window);
    if (window == Window::SJSHUCHU) panels.erase(Panel::SJSHUCHU_Text1);
    if (window == Window::HHELP) panels.erase(Panel::HHELP_Text1);
    if (window == Window::SLOTS) slots.reset();
    if (window == Window::CHECK) check.reset();
    if (window == Window::SWEEP) sweep_base.reset();
    if (window == Window::CURVES) curves.reset();
    if (window == Window::THERMAL) thermal.reset();
    if (window == Window::TOLERANCE) tolerance.reset();
  }

  std::string program_folder_;
};

}  // namespace velmora::ui::testing
