#include "velmora/ui/sjsrck.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "velmora/design/files.h"
#include "velmora/design/input_file.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/hhelp.h"
#include "velmora/ui/sjshuchu.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

using design::kFieldCount;

void ShowInputWindow(Toolkit& toolkit) {
  ShowWindowLoaded(toolkit, Window::SJSRCK, [&toolkit] {
    for (int i = 0; i < kFieldCount; ++i) toolkit.SetBoxText(i, "");
    ShowFileInPanel(toolkit, Panel::SJSRCK_Text1, design::kGuideFileName);
    ShowFileInPanel(toolkit, Panel::SJSRCK_Text3, design::kReferenceFileName);
  });
}

SJSRCK::SJSRCK(Toolkit& toolkit, Session& session, Calculation run)
    : toolkit_(toolkit), session_(session), run_(std::move(run)) {}

void SJSRCK::SJSRCLEAR() {
  for (int i = 0; i < kFieldCount; ++i) toolkit_.SetBoxText(i, "");
}

void SJSRCK::SAVECKSRDAT() {
  design::WriteInputFile(design::JoinPath(toolkit_.ProgramFolder(), design::kInputDataFileName),
                         BoxTexts(toolkit_));
}

void SJSRCK::SJSRCREAT() {
  if (!MayDiscardBoxes(kDiscardTyping)) return;
  SJSRCLEAR();
  KeepBoxes();
}

void SJSRCK::SJSROPEN() {
  RunFileCommand(toolkit_, ChooseFile(toolkit_, kOpenDesignDialog),
                 [this](const std::string& path) {
                   ReadIntoBoxes(path);
                   KeepBoxes();
                 });
}

void SJSRCK::SJSRSAVE() {
  RunFileCommand(toolkit_, ChooseFile(toolkit_, kSaveDesignDialog),
                 [this](const std::string& path) {
                   design::WriteInputFile(path, BoxTexts(toolkit_));
                   KeepBoxes();
                 });
}

bool SJSRCK::MayDiscardBoxes(const char* question) {
  const auto boxes = BoxTexts(toolkit_);
  const bool all_empty =
      std::all_of(boxes.begin(), boxes.end(), [](const std::string& box) { return box.empty(); });
  return all_empty || boxes == session_.kept_boxes || toolkit_.AskYesNo(question);
}

void SJSRCK::KeepBoxes() { session_.kept_boxes = BoxTexts(toolkit_); }

void SJSRCK::SJSREXIT() { toolkit_.CloseWindow(Window::SJSRCK); }

// The boxes go to the input data file and come back from it, so each box
// shows what the calculation will read: leading blanks dropped, a text with
// a comma split over two boxes.
void SJSRCK::SJSRCACULATE() {
  try {
    SAVECKSRDAT();
    ReadIntoBoxes(design::JoinPath(toolkit_.ProgramFolder(), design::kInputDataFileName));
  } catch (const std::exception& error) {
    toolkit_.ShowMessage(error.what());
    return;
  }
  if (std::optional<int> empty = FirstEmptyBox()) {
    // The fixed message for an incomplete design, then which box it means.
    toolkit_.ShowMessage(std::string(kIncompleteInput) + "\n第一个空框：" +
                         design::InputLabel(*empty));
    toolkit_.FocusBox(*empty);
    return;
  }
  report::RunOutcome outcome;
  try {
    outcome = run_(toolkit_.ProgramFolder());
  } catch (const std::exception& error) {
    outcome.message = error.what();
  }
  RememberRun(outcome);
  if (!outcome.ok) toolkit_.ShowMessage(outcome.message);
  if (outcome.ok && !outcome.warning.empty()) toolkit_.ShowMessage(outcome.warning);
}

// The report, the design check, the curves, the temperature rise and the tolerance analysis
// show the last run; open windows follow it at once (a report left showing would be another
// motor's).
void SJSRCK::RememberRun(const report::RunOutcome& outcome) {
  LastCalculation& last = session_.last_calculation;
  last.status = outcome.ok ? LastCalculation::Status::Succeeded : LastCalculation::Status::Failed;
  last.input = design::ToDesignInput(BoxTexts(toolkit_));
  last.message = outcome.message;
  DesignTools tools(toolkit_, session_);
  if (toolkit_.IsWindowOpen(Window::CHECK)) tools.RefreshCheck();
  if (toolkit_.IsWindowOpen(Window::CURVES)) tools.RefreshCurves();
  if (toolkit_.IsWindowOpen(Window::THERMAL)) tools.RefreshThermal();
  if (toolkit_.IsWindowOpen(Window::TOLERANCE)) tools.RefreshTolerance();
  if (outcome.ok && toolkit_.IsWindowOpen(Window::SJSHUCHU)) SJSHUCHU(toolkit_).Load();
  tools.RefreshResultsStatus();
}

void SJSRCK::JISUAN() {
  SJSHUCHU(toolkit_).Show();
  DesignTools(toolkit_, session_).RefreshResultsStatus();
}

void SJSRCK::HELP() { HHELP(toolkit_).Show(); }

void SJSRCK::SLOTS() { DesignTools(toolkit_, session_).SLOTS(); }
void SJSRCK::CHECK() { DesignTools(toolkit_, session_).CHECK(); }
void SJSRCK::SWEEP() { DesignTools(toolkit_, session_).SWEEP(); }
void SJSRCK::CURVES() { DesignTools(toolkit_, session_).CURVES(); }
void SJSRCK::OPTIMISE() { DesignTools(toolkit_, session_).OPTIMISE(); }
void SJSRCK::THERMAL() { DesignTools(toolkit_, session_).THERMAL(); }
void SJSRCK::TOLERANCE() { DesignTools(toolkit_, session_).TOLERANCE(); }
void SJSRCK::SCHEME() { DesignTools(toolkit_, session_).SCHEME(); }
void SJSRCK::BoxesChanged() { DesignTools(toolkit_, session_).FollowBoxes(); }

void SJSRCK::SetBoxes(std::span<const std::string> texts) {
  for (std::size_t i = 0; i < texts.size() && i < kFieldCount; ++i) {
    toolkit_.SetBoxText(static_cast<int>(i), texts[i]);
  }
}

void SJSRCK::ReadIntoBoxes(const std::string& path) {
  try {
    SetBoxes(design::ReadInputFile(path));
  } catch (const design::InputFileError& error) {
    SetBoxes(error.fields());
    throw;
  }
}

std::optional<int> SJSRCK::FirstEmptyBox() {
  for (int i = 0; i < kFieldCount; ++i) {
    if (toolkit_.BoxText(i).empty()) return i;
  }
  return std::nullopt;
}

}  // namespace velmora::ui
