#include "velmora/design/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace velmora::design {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// The errno of the FileError that `read` throws, and its message.
template <class Read>
std::pair<int, std::string> Failure(Read read) {
  try {
    read();
  } catch (const FileError& error) {
    return {error.error_number(), error.what()};
  }
  return {0, "no error"};
}

TEST(Files, ProgramFolderAndJoinPath) {
  std::string folder = ProgramFolder();
  EXPECT_FALSE(folder.ends_with("/"));
  EXPECT_TRUE(std::filesystem::exists(JoinPath(folder, "design_tests")));
  EXPECT_EQ(JoinPath("/opt/velmora", kInputDataFileName), "/opt/velmora/输入文件.dat");
  EXPECT_EQ(JoinPath("", "SCdat.dat"), "/SCdat.dat");
}

TEST(Files, ReadWholeFileReturnsEveryByteUpToTheLimit) {
  TempFolder folder;
  std::string bytes("a\0b\r\n\xFF", 6), path = folder.File("x");
  WriteBytes(path, bytes);
  EXPECT_EQ(ReadWholeFile(path), bytes);
  EXPECT_EQ(ReadWholeFile(path, 6), bytes);
  auto [error, message] = Failure([&] { ReadWholeFile(path, 5); });
  EXPECT_EQ(error, EFBIG);
  EXPECT_NE(message.find(path), std::string::npos) << message;

  std::string missing = folder.File("帮助.dat");
  EXPECT_EQ(Failure([&] { ReadWholeFile(missing); }),
            std::make_pair(ENOENT, "找不到文件：" + missing));
  // A reader would wait for a writer on a pipe forever.
  ASSERT_EQ(mkfifo(folder.File("pipe").c_str(), 0600), 0);
  EXPECT_THROW(ReadWholeFile(folder.File("pipe")), FileError);
  EXPECT_THROW(ReadOrCreateFile(folder.File("pipe")), FileError);
}

TEST(Files, ReadOrCreateFileCreatesAnEmptyFile) {
  TempFolder folder;
  EXPECT_EQ(ReadOrCreateFile(folder.File("操作.dat")), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(folder.File("操作.dat")));
  WriteBytes(folder.File("操作.dat"), "text");
  EXPECT_EQ(ReadOrCreateFile(folder.File("操作.dat")), "text");
  EXPECT_THROW(ReadOrCreateFile(folder.File("missing/操作.dat")), FileError);
}

TEST(Files, WriteFileAtomicallyReplacesAndKeepsThePermissions) {
  TempFolder folder;
  std::string path = folder.File("SCdat.dat");
  WriteFileAtomically(path, "first");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  WriteFileAtomically(path, "second, and longer");
  EXPECT_EQ(ReadBytes(path), "second, and longer");
  WriteFileAtomically(path, "");
  EXPECT_EQ(ReadBytes(path), "");
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.FileCount(), 1);
}

// A new file is made as open() would make it, under the umask; a replaced
// one keeps its permission bits whatever the umask.
TEST(Files, NewFilesHonourTheUmask) {
  TempFolder folder;
  const std::string path = folder.File("report.dat"), other = folder.File("other.dat");
  auto mode = [](const std::string& file) {
    struct stat info;
    return stat(file.c_str(), &info) == 0 ? info.st_mode & 0777 : 01000u;
  };
  const mode_t before = umask(077);
  WriteFileAtomically(path, "new");
  const mode_t new_under_077 = mode(path);
  chmod(path.c_str(), 0664);
  WriteFileAtomically(path, "replaced");
  umask(022);
  WriteFileAtomically(other, "new");
  umask(before);
  EXPECT_EQ(new_under_077, 0600u);
  EXPECT_EQ(mode(path), 0664u);
  EXPECT_EQ(mode(other), 0644u);
}

// The temporary file's name is random: a name another process of the same
// number left (another container sharing the folder) is no obstacle. Names
// left by a killed writer go after a day, and not before.
TEST(Files, TemporaryNamesAreRandomAndOldOnesAreRemoved) {
  TempFolder folder;
  for (int fd = 0; fd < 64; ++fd)
    WriteBytes(folder.File(".velmora-" + std::to_string(getpid()) + "-" + std::to_string(fd)), "");
  std::string stale = folder.File(".velmora-0123456789abcdef");
  WriteBytes(stale, "left by a killed writer");
  const timespec two_days_ago[2] = {{time(nullptr) - 2 * 24 * 60 * 60, 0},
                                    {time(nullptr) - 2 * 24 * 60 * 60, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, stale.c_str(), two_days_ago, 0), 0);
  WriteFileAtomically(folder.File("out.csv"), "new");
  EXPECT_EQ(ReadBytes(folder.File("out.csv")), "new");
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_EQ(folder.FileCount(), 64 + 1);
}

TEST(Files, WriterDestroyedBeforeCommitLeavesTheOldFile) {
  TempFolder folder;
  std::string path = folder.File("sweep.csv");
  WriteBytes(path, "old");
  {
    AtomicFileWriter writer(path);
    writer.Write("new, ");
    writer.Write("in pieces");
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(folder.FileCount(), 1);
  AtomicFileWriter writer(path);
  writer.Write("new, ");
  writer.Write("in pieces");
  writer.Commit();
  EXPECT_EQ(ReadBytes(path), "new, in pieces");
  EXPECT_EQ(folder.FileCount(), 1);
}

TEST(Files, FailedWriteLeavesNoTemporaryFile) {
  TempFolder folder;
  // Root ignores permissions, so the failure comes from a folder standing
  // where the file should go.
  std::string path = folder.File("SCdat.dat");
  std::filesystem::create_directory(path);
  WriteBytes(folder.File("SCdat.dat/keep"), "old");
  auto [error, message] = Failure([&] { WriteFileAtomically(path, "new"); });
  EXPECT_TRUE(message.starts_with("无法写入文件 " + path + "：")) << message;
  EXPECT_EQ(ReadBytes(folder.File("SCdat.dat/keep")), "old");
  EXPECT_EQ(folder.FileCount(), 1);
}

}  // namespace
}  // namespace velmora::design
