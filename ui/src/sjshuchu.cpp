#include "velmora/ui/sjshuchu.h"

#include <optional>
#include <string>

#include "velmora/design/files.h"
#include "velmora/ui/sjsrck.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

SJSHUCHU::SJSHUCHU(Toolkit& toolkit) : toolkit_(toolkit) {}

// Shown again, the window reads the report again: it may have been
// minimised through several calculations.
void SJSHUCHU::Show() {
  toolkit_.ShowWindow(Window::SJSHUCHU);
  Load();
}

void SJSHUCHU::Load() { ShowFileInPanel(toolkit_, Panel::SJSHUCHU_Text1, design::kReportFileName); }

// The copy is taken from the report file, byte for byte, not from the text
// shown, which may be older than the file.
void SJSHUCHU::CUNPAN() {
  const std::string report = design::JoinPath(toolkit_.ProgramFolder(), design::kReportFileName);
  RunFileCommand(toolkit_, ChooseFile(toolkit_, kSaveReportDialog), [&](const std::string& path) {
    design::WriteFileAtomically(path, design::ReadWholeFile(report));
  });
}

// The input window comes up before this one goes, so the program never
// passes through a moment with no window open.
void SJSHUCHU::FANHUI() {
  ShowInputWindow(toolkit_);
  toolkit_.CloseWindow(Window::SJSHUCHU);
}

}  // namespace velmora::ui
