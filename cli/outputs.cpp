#include "outputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "design_run.h"
#include "velmora/design/files.h"

namespace velmora::cli {

void Outputs::Add(const std::string& path, std::string bytes) {
  const std::string place = path == "-" ? path : design::WriteTarget(path);
  for (const auto& [other, _] : outputs_) {
    if ((other == "-" ? other : design::WriteTarget(other)) == place)
      throw CommandFailure("两项输出不能写到同一处：" + path, kExitUsage);
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
