// The program's folder and whole-file reads and writes.
#pragma once

#include <sys/types.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "velmora/design/error.h"

namespace velmora::design {

// A file operation that failed; the message names the file and the system's reason.
class FileError : public Error {
 public:
  explicit FileError(const std::string& message, int error_number = 0)
      : Error(ErrorCode::FileFailed, message), error_number_(error_number) {}
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

// The one writer of every file the programs write, piece by piece.
// - A new path or a regular file is replaced atomically: an unnamed
//   temporary file in the same folder (O_TMPFILE) takes the bytes and
//   Commit() gives it a name and renames it over the target, so a failure, a
//   kill, or a writer destroyed before Commit() leaves the old file whole and
//   nothing behind. Where the file system has no unnamed files, the
//   temporary file is named ".velmora-" and 16 random hexadecimal digits,
//   as is the unnamed one for the moment between its naming and the rename;
//   such files older than a day, left by a writer that was killed, are
//   removed by the next writer in that folder. A replaced file keeps its
//   permission bits; a new one gets 0666 less the umask, as open() gives.
// - A symbolic link is followed: its target is replaced and the link stays.
// - A path that exists and is not a regular file (a character device, a
//   FIFO, a socket) is written to directly, without a rename.
// - A file the user could not write to directly is refused, as cp would.
// Every method throws FileError naming the path.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  void Commit();

 private:
  void OpenTemporary(mode_t mode);
  void OpenNamedTemporary(mode_t mode);
  [[noreturn]] void Fail(int error_number);
  void Discard();

  std::string path_;       // as the user gave it, for messages
  std::string target_;     // the file replaced or written: symbolic links followed
  std::string temporary_;  // a named temporary file until renamed or removed
  bool direct_ = false;    // writing straight into a device, FIFO or socket
  int fd_ = -1;
};

// The path a write to `path` lands on: symbolic links followed, also a
// link to a file that does not exist yet. Throws FileError for a loop.
std::string WriteTarget(const std::string& path);

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
