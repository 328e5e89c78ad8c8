#include "outputs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "design_run.h"
#include "velmora/design/files.h"

namespace velmora::cli {

namespace {

// Where a write to `path` lands, to tell two outputs to one file apart from
// two files: the device and inode of a file that exists, else its path made
// absolute, the links of its folders followed and "." and ".." resolved.
struct Place {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::filesystem::path path;

  explicit Place(const std::string& given) {
    const std::string target = design::WriteTarget(given);
    struct stat info;
    if (stat(target.c_str(), &info) == 0) {
      exists = true;
      device = info.st_dev;
      inode = info.st_ino;
      return;
    }
    // Absolute first: the links of a relative path's folders are resolved
    // only from the first one that exists, and "out.dat" has none.
    std::error_code error;
    path = std::filesystem::absolute(target, error);
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    path = error ? path.lexically_normal() : resolved;
  }

  bool operator==(const Place& other) const {
    if (exists != other.exists) return false;
    return exists ? device == other.device && inode == other.inode : path == other.path;
  }
};

bool SamePlace(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return a == b;
  return Place(a) == Place(b);
}

}  // namespace

void Outputs::Add(const std::string& path, std::string bytes) {
  for (const auto& [other, _] : outputs_) {
    if (!SamePlace(other, path)) continue;
    if (path == "-") throw CommandFailure("两项输出不能都写到标准输出", kExitUsage);
    throw CommandFailure("两项输出不能写到同一个文件：" + other + " 与 " + path, kExitUsage);
  }
  outputs_.emplace_back(path, std::move(bytes));
}

void Outputs::WriteAll() {
  std::vector<std::unique_ptr<design::AtomicFileWriter>> files;
  for (const auto& [path, bytes] : outputs_)
    if (path != "-") files.push_back(std::make_unique<design::AtomicFileWriter>(path));
  std::size_t next = 0;
  for (const auto& [path, bytes] : outputs_)
    if (path != "-") files[next++]->Write(bytes);
  for (auto& file : files) file->Commit();
  for (const auto& [path, bytes] : outputs_)
    if (path == "-") std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void FinishStandardOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    throw design::FileError(std::string("写入标准输出失败：") + std::strerror(errno), errno);
}

}  // namespace velmora::cli
