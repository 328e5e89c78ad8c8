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

TEST(Files, ProgramFolderHoldsTheRunningProgram) {
  std::string folder = ProgramFolder();
  EXPECT_FALSE(folder.ends_with("/"));
  EXPECT_TRUE(std::filesystem::exists(JoinPath(folder, "design_tests")));
}

TEST(Files, JoinPathUsesOneSlash) {
  EXPECT_EQ(JoinPath("/opt/velmora", kInputDataFileName), "/opt/velmora/输入文件.dat");
  EXPECT_EQ(JoinPath("", "SCdat.dat"), "/SCdat.dat");
}

TEST(Files, ReadWholeFileReturnsEveryByte) {
  TempFolder folder;
  std::string bytes("a\0b\r\n\xFF", 6);
  WriteBytes(folder.File("x"), bytes);
  EXPECT_EQ(ReadWholeFile(folder.File("x")), bytes);
  EXPECT_EQ(ReadWholeFile(folder.File("x"), 6), bytes);
}

TEST(Files, ReadWholeFileRefusesMoreThanTheLimit) {
  TempFolder folder;
  WriteBytes(folder.File("x"), "1234567");
  try {
    ReadWholeFile(folder.File("x"), 6);
    FAIL() << "read past the limit";
  } catch (const FileError& error) {
    EXPECT_EQ(error.error_number(), EFBIG);
    EXPECT_NE(std::string(error.what()).find(folder.File("x")), std::string::npos);
  }
}

TEST(Files, MissingFileIsNamed) {
  TempFolder folder;
  try {
    ReadWholeFile(folder.File("帮助.dat"));
    FAIL() << "read a missing file";
  } catch (const FileError& error) {
    EXPECT_EQ(error.error_number(), ENOENT);
    EXPECT_EQ(std::string(error.what()), "找不到文件：" + folder.File("帮助.dat"));
  }
}

TEST(Files, AFifoIsRefusedWithoutWaiting) {
  TempFolder folder;
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
  EXPECT_EQ(ReadBytes(path), "first");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  WriteFileAtomically(path, "second, shorter? no: longer");
  EXPECT_EQ(ReadBytes(path), "second, shorter? no: longer");
  WriteFileAtomically(path, "");
  EXPECT_EQ(ReadBytes(path), "");
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.FileCount(), 1);
}

TEST(Files, FailedWriteLeavesNoTemporaryFile) {
  TempFolder folder;
  // Root ignores permissions, so the failure comes from a folder standing
  // where the file should go.
  std::string path = folder.File("SCdat.dat");
  std::filesystem::create_directory(path);
  WriteBytes(folder.File("SCdat.dat/keep"), "old");
  try {
    WriteFileAtomically(path, "new");
    FAIL() << "wrote over a folder";
  } catch (const FileError& error) {
    EXPECT_TRUE(std::string(error.what()).starts_with("无法写入文件 " + path + "："))
        << error.what();
  }
  EXPECT_EQ(ReadBytes(folder.File("SCdat.dat/keep")), "old");
  EXPECT_EQ(folder.FileCount(), 1);
}

TEST(Files, WriteIntoMissingFolderFails) {
  TempFolder folder;
  EXPECT_THROW(WriteFileAtomically(folder.File("none/SCdat.dat"), "x"), FileError);
  EXPECT_EQ(folder.FileCount(), 0);
}

}  // namespace
}  // namespace velmora::design
