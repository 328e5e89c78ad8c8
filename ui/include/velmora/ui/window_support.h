// Pieces that the three windows share: messages, file dialogs, panel files
// and the show-once rule of the windows.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The only two messages of the windows.
inline constexpr const char* kInvalidOperation = "无效的操作";
inline constexpr const char* kDiscardTyping =
    "输入框中的数据已修改，尚未保存到文件。确定清空全部60个输入框吗？";
inline constexpr const char* kCloseWithTyping =
    "输入框中的数据已修改，尚未保存到文件。确定关闭输入窗口吗？";
inline constexpr const char* kIncompleteInput = "尚未输入数据或输入数据不完整，请继续输入数据！";

// Type list of the design-file dialogs, in the "name|pattern|name|pattern" form.
inline constexpr const char* kDesignFilter =
    "所有文件[*.*]|*.*|文本文件[*.txt]|*.txt|数据文件[*.dat]|*.dat";

// One of the program's file dialogs; each starts in the design folder.
struct FileDialogKind {
  DialogMode mode;
  const char* title;
  const char* file_name;
  const char* filter;
  const char* default_extension;
};

inline constexpr FileDialogKind kOpenDesignDialog{DialogMode::Open, "打开文件", "", kDesignFilter,
                                                  ""};
inline constexpr FileDialogKind kSaveDesignDialog{DialogMode::Save, "保存文件", "未命名.txt",
                                                  kDesignFilter, "txt"};
inline constexpr FileDialogKind kSaveReportDialog{DialogMode::Save, "另存文件", "未命名.OUT",
                                                  "*.OUT", "OUT"};

// Splits "name|pattern|name|pattern"; a last entry without its pair is both
// name and pattern ("*.OUT").
std::vector<FileFilter> ParseFilterList(std::string_view list);

// `path` with "." + `extension` added when its file name has no extension.
std::string AddDefaultExtension(const std::string& path, std::string_view extension);

// The folder of design files, "SJSRCK" in the program's folder, created when
// missing (a folder that cannot be made is only a poorer starting place).
std::string DesignFolder(Toolkit& toolkit);

// Shows the dialog `kind`, offering `file_name` when given, else the kind's
// own; the chosen path with the default extension added, or nothing when
// cancelled.
std::optional<std::string> ChooseFile(Toolkit& toolkit, const FileDialogKind& kind,
                                      const std::string& file_name = "");

// Puts the whole text of `file_name` in the program's folder (GBK) into
// `panel`, creating the file empty when it does not exist. A file that cannot
// be read leaves the panel empty and says why in a message.
void ShowFileInPanel(Toolkit& toolkit, Panel panel, const char* file_name);

// The texts of the 60 input boxes, and the design they make.
std::array<std::string, design::kFieldCount> BoxTexts(Toolkit& toolkit);
design::DesignInput BoxDesign(Toolkit& toolkit);

// A whole number in `least` to `most` as typed in a box, blanks around it
// allowed; nothing when the text is none.
std::optional<std::uint64_t> WholeNumber(const std::string& text, std::uint64_t least,
                                         std::uint64_t most);
// "“样本数”框应为100到100000的整数，现为“10”。"
std::string NotWhole(const char* box, std::uint64_t least, std::uint64_t most,
                     const std::string& text);

// Shows `window`. A window that was not open is created and then loaded by
// `load`; an open one only comes to the front and keeps what it shows.
void ShowWindowLoaded(Toolkit& toolkit, Window window, const std::function<void()>& load);

// Runs the file step of a window command on a path the user chose. A
// cancelled dialog (no path) ends the command with "无效的操作" for the
// design and report files (a cancelled save or open of a design is reported
// like any failed one), and silently for the design tools' exports (`optional`). A failed step
// shows "无效的操作" with the reason on the next line. Returns whether the step succeeded.
bool RunFileCommand(Toolkit& toolkit, const std::optional<std::string>& path,
                    const std::function<void(const std::string& path)>& step,
                    bool optional = false);

// One long computation of a window on a worker thread, so the windows stay
// responsive: started, cancelled through the flag the computation polls,
// and joined once it has ended. Cancels and waits when destroyed.
class BackgroundWork {
 public:
  BackgroundWork() = default;
  ~BackgroundWork() {
    Cancel();
    Wait();
  }
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // Runs `task` on a new thread; the caller has checked that none runs.
  void Start(std::function<void()> task) {
    cancel_ = false;
    ended_ = false;
    thread_ = std::thread([this, task = std::move(task)] {
      task();
      ended_ = true;
    });
  }
  void Cancel() { cancel_ = true; }
  const std::atomic<bool>* CancelFlag() const { return &cancel_; }
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }
  bool Running() const { return thread_.joinable(); }
  // True once the task has ended; then its thread is joined.
  bool Finished() {
    if (!ended_) return false;
    Wait();
    return true;
  }

 private:
  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> ended_{false};
};

}  // namespace velmora::ui
