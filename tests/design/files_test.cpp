#include "velmora/design/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
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
