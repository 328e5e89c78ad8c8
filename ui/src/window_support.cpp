#include "velmora/ui/window_support.h"

#include <charconv>
#include <exception>
#include <filesystem>
#include <system_error>

#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"

namespace velmora::ui {

std::vector<FileFilter> ParseFilterList(std::string_view list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar = list.find('|'); bar != std::string_view::npos;
       start = bar + 1, bar = list.find('|', start)) {
    parts.emplace_back(list.substr(start, bar - start));
  }
  parts.emplace_back(list.substr(start));

  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string& pattern = i + 1 < parts.size() ? parts[i + 1] : parts[i];
    filters.push_back({parts[i], pattern});
  }
  return filters;
}

std::string AddDefaultExtension(const std::string& path, std::string_view extension) {
  const std::size_t name_start = path.find_last_of('/') + 1;  // npos + 1 is 0
  if (extension.empty() || path.find('.', name_start) != std::string::npos) return path;
  return path + "." + std::string(extension);
}

std::string DesignFolder(Toolkit& toolkit) {
  const std::string folder = design::JoinPath(toolkit.ProgramFolder(), design::kDesignFolderName);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

std::optional<std::string> ChooseFile(Toolkit& toolkit, const FileDialogKind& kind,
                                      const std::string& file_name) {
  FileDialogRequest request;
  request.mode = kind.mode;
  request.title = kind.title;
  request.file_name = file_name.empty() ? kind.file_name : file_name;
  request.folder = DesignFolder(toolkit);
  request.filters = ParseFilterList(kind.filter);
  request.default_extension = kind.default_extension;

  std::optional<std::string> path = toolkit.ChooseFile(request);
  if (!path || path->empty()) return std::nullopt;
  return AddDefaultExtension(*path, kind.default_extension);
}

void ShowFileInPanel(Toolkit& toolkit, Panel panel, const char* file_name) {
  const std::string path = design::JoinPath(toolkit.ProgramFolder(), file_name);
  std::string text;
  try {
    text = design::GbkToUtf8(design::ReadOrCreateFile(path));
  } catch (const std::exception& error) {
    toolkit.ShowMessage(error.what());
  }
  toolkit.SetPanelText(panel, text);
}

void ShowWindowLoaded(Toolkit& toolkit, Window window, const std::function<void()>& load) {
  const bool was_open = toolkit.IsWindowOpen(window);
  toolkit.ShowWindow(window);
  if (!was_open) load();
}

std::array<std::string, design::kFieldCount> BoxTexts(Toolkit& toolkit) {
  std::array<std::string, design::kFieldCount> texts;
  for (int i = 0; i < design::kFieldCount; ++i) texts[i] = toolkit.BoxText(i);
  return texts;
}

design::DesignInput BoxDesign(Toolkit& toolkit) { return design::ToDesignInput(BoxTexts(toolkit)); }

std::optional<std::uint64_t> WholeNumber(const std::string& text, std::uint64_t least,
                                         std::uint64_t most) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const char* end = text.data() + text.find_last_not_of(' ') + 1;
  std::uint64_t n = 0;
  const auto [stop, error] = std::from_chars(text.data() + first, end, n);
  if (error != std::errc() || stop != end || n < least || n > most) return std::nullopt;
  return n;
}

std::string NotWhole(const char* box, std::uint64_t least, std::uint64_t most,
                     const std::string& text) {
  return std::string("“") + box + "”框应为" + std::to_string(least) + "到" + std::to_string(most) +
         "的整数，现为“" + text + "”。";
}

bool RunFileCommand(Toolkit& toolkit, const std::optional<std::string>& path,
                    const std::function<void(const std::string& path)>& step, bool optional) {
  if (!path) {
    if (!optional) toolkit.ShowMessage(kInvalidOperation);
    return false;
  }
  try {
    step(*path);
    return true;
  } catch (const std::exception& error) {
    toolkit.ShowMessage(std::string(kInvalidOperation) + "\n" + error.what());
    return false;
  }
}

}  // namespace velmora::ui
