#include "velmora/design/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>
#include <vector>

namespace velmora::design {

namespace {

std::string Reason(int error_number) {
  char buffer[256];
  // The GNU strerror_r returns the message, not always in `buffer`.
  return strerror_r(error_number, buffer, sizeof buffer);
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error_number) {
  throw FileError(std::string(what) + " " + path + "：" + Reason(error_number), error_number);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports whether the close succeeded.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// Reads an open descriptor to its end. Only regular files are read: a FIFO
// or a device given as a file name could block or never end.
std::string ReadDescriptor(int fd, const std::string& path, std::size_t max_bytes) {
  struct stat info;
  if (fstat(fd, &info) != 0) ThrowFileError("无法读取文件", path, errno);
  if (S_ISDIR(info.st_mode)) ThrowFileError("无法读取文件", path, EISDIR);
  if (!S_ISREG(info.st_mode)) ThrowFileError("无法读取文件", path, EINVAL);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowFileError("无法读取文件", path, errno);
    if (n == 0) return bytes;
    if (static_cast<std::size_t>(n) > max_bytes - bytes.size()) {
      throw FileError("文件太大（超过" + std::to_string(max_bytes) + "字节），不予读取：" + path,
                      EFBIG);
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

std::string ReadFile(const std::string& path, int extra_flags, std::size_t max_bytes) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | extra_flags, 0666));
  if (fd.get() < 0) {
    if (errno == ENOENT) throw FileError("找不到文件：" + path, ENOENT);
    ThrowFileError("无法读取文件", path, errno);
  }
  return ReadDescriptor(fd.get(), path, max_bytes);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) ThrowFileError("无法确定程序所在的文件夹", "/proc/self/exe", errno);
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<std::size_t>(n));
      return exe.substr(0, exe.rfind('/'));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '/';
  path += name;
  return path;
}

std::string ReadWholeFile(const std::string& path, std::size_t max_bytes) {
  return ReadFile(path, 0, max_bytes);
}

std::string ReadOrCreateFile(const std::string& path) {
  return ReadFile(path, O_CREAT, std::string::npos);
}

std::string WriteTarget(const std::string& path) {
  std::string target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    std::vector<char> buffer(static_cast<std::size_t>(info.st_size) + 1 + 4096);
    ssize_t n = readlink(target.c_str(), buffer.data(), buffer.size());
    if (n < 0) ThrowFileError("无法写入文件", path, errno);
    std::string link(buffer.data(), static_cast<std::size_t>(n));
    target = link.starts_with('/') ? link : JoinPath(FolderOf(target), link);
  }
  ThrowFileError("无法写入文件", path, ELOOP);
}

namespace {

constexpr std::string_view kTemporaryPrefix = ".velmora-";

// ".velmora-" and 16 random hexadecimal digits: no two writers, also not
// two processes of the same number in different containers sharing a
// folder, pick the same name but by a chance of 2^-64, and a clash is
// retried.
std::string RandomTemporaryName() {
  std::uint64_t bits = 0;
  if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    // No entropy yet: the time, the process and a count still differ.
    static std::atomic<std::uint64_t> count{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    bits = (static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'007u) ^
           static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(getpid()) << 32) ^
           (count.fetch_add(1) * 0x9E3779B97F4A7C15u);
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return std::string(kTemporaryPrefix) + hex;
}

// Names tried before a folder where every one is taken is given up.
constexpr int kNameTries = 100;

// Named temporary files of an earlier writer that was killed, left for a day
// in case another writer is still at work, then removed.
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const time_t day_ago = time(nullptr) - 24 * 60 * 60;
  while (const dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (!name.starts_with(kTemporaryPrefix)) continue;
    struct stat info;
    std::string path = JoinPath(folder, name);
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_mtime < day_ago)
      unlink(path.c_str());
  }
  closedir(dir);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path)
    : path_(std::move(path)), target_(WriteTarget(path_)) {
  struct stat info;
  bool exists = stat(target_.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) Fail(EISDIR);
  if (exists && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno);
  direct_ = exists && !S_ISREG(info.st_mode);
  if (direct_) {
    fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) Fail(errno);
    return;
  }
  RemoveStaleTemporaries(FolderOf(target_));
  // A new file comes out as open() would make it: 0666 less the umask (or
  // as the folder's default ACL says). A replaced file keeps its permission
  // bits, set before a byte is written.
  OpenTemporary(exists ? 0600 : 0666);
  if (exists && fchmod(fd_, info.st_mode & 07777) != 0) Fail(errno);
}

// An unnamed file in the target's folder, or a named one where the file
// system cannot make unnamed files.
void AtomicFileWriter::OpenTemporary(mode_t mode) {
  fd_ = open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd_ >= 0) return;
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail(errno);
  OpenNamedTemporary(mode);
}

void AtomicFileWriter::OpenNamedTemporary(mode_t mode) {
  for (int tries = 1;; ++tries) {
    temporary_ = JoinPath(FolderOf(target_), RandomTemporaryName());
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd_ >= 0) return;
    int error = errno;
    temporary_.clear();
    if (error != EEXIST || tries == kNameTries) Fail(error);
  }
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::Write(std::string_view bytes) {
  if (!WriteAll(fd_, bytes)) Fail(errno);
}

void AtomicFileWriter::Commit() {
  if (direct_) {
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) Fail(errno);
    return;
  }
  if (fsync(fd_) != 0) Fail(errno);
  if (temporary_.empty()) {
    // Name the unnamed file for a moment, then move it over the target. A
    // kill in between leaves the name, for the next writer to remove a day on.
    const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
    for (int tries = 1;; ++tries) {
      std::string name = JoinPath(FolderOf(target_), RandomTemporaryName());
      if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = std::move(name);
        break;
      }
      int error = errno;
      if (error != EEXIST || tries == kNameTries) Fail(error);
    }
  }
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 || rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  temporary_.clear();
  // Make the rename itself durable; the new content is already in place.
  Descriptor folder(open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
}

void AtomicFileWriter::Fail(int error_number) {
  Discard();
  ThrowFileError("无法写入文件", path_, error_number);
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter file(path);
  file.Write(bytes);
  file.Commit();
}

}  // namespace velmora::design
