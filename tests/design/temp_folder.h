// What tests share about files: a fresh folder under /tmp for one test,
// removed with everything in it; whole files as bytes; the lines of a text.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::design::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string name = "/tmp/velmora-test-XXXXXX";
    path_ = mkdtemp(name.data()) ? name : std::string();
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Number of entries in the folder.
  int FileCount() const {
    auto entries = std::filesystem::directory_iterator(path_);
    return static_cast<int>(std::distance(begin(entries), end(entries)));
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a text, each without its CR LF; text after the last CR LF
// becomes a line of its own, marked, so that no comparison passes over it.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start != text.size()) lines.push_back(text.substr(start) + "<no CR LF>");
  return lines;
}

}  // namespace velmora::design::testing
