// The program's folder and whole-file reads and writes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora::design {

// A file operation that failed; the message names the file and the system's reason.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  FileError(const std::string& message, int error_number)
      : std::runtime_error(message), error_number_(error_number) {}
  // The errno value of the failure (ENOENT, EFBIG for a refused size, ...), 0 if none.
  int error_number() const { return error_number_; }

 private:
  int error_number_ = 0;
};

// Folder of the running executable (from /proc/self/exe), without a trailing "/".
std::string ProgramFolder();

// folder + "/" + name.
std::string JoinPath(std::string_view folder, std::string_view name);

// The whole file as bytes; throws FileError. Files over `max_bytes` are refused.
std::string ReadWholeFile(const std::string& path, std::size_t max_bytes = std::string::npos);

// Reads the whole file, creating it empty first if it does not exist; throws FileError.
std::string ReadOrCreateFile(const std::string& path);

// Replaces a file atomically, written piece by piece: a temporary file in
// the same folder takes the bytes and is flushed and renamed over the target
// by Commit(), so a failure, or a writer destroyed before Commit(), leaves
// the old file whole and no temporary file behind. A replaced file keeps its
// permissions. Every method throws FileError naming the target.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  void Commit();

 private:
  [[noreturn]] void Fail(int error_number);
  void Discard();

  std::string path_;
  std::string temporary_;  // empty once renamed or removed
  int fd_ = -1;
};

// Replaces `path` with `bytes` atomically (see AtomicFileWriter).
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The fixed files of the program's folder (UTF-8 names).
inline constexpr const char* kInputDataFileName = "输入文件.dat";
inline constexpr const char* kReportFileName = "SCdat.dat";
inline constexpr const char* kGuideFileName = "操作.dat";
inline constexpr const char* kReferenceFileName = "参考资料.dat";
inline constexpr const char* kHelpFileName = "帮助.dat";
inline constexpr const char* kDesignFolderName = "SJSRCK";

}  // namespace velmora::design
