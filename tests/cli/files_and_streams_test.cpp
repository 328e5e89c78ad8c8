// What the commands write and where: links followed, devices and FIFOs
// written in place, permissions kept, standard output checked, all outputs
// or none, no debris after a kill, and the sweep's arguments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "run_program.h"

namespace velmora::cli::testing {
namespace {

namespace fs = std::filesystem;
using design::testing::ReadBytes;
using design::testing::TempFolder;
using design::testing::WriteBytes;

TEST(Outputs, LandOnTheirTargetWithoutReplacingLinksDevicesOrPermissions) {
  TempFolder folder;
  const std::string report = ReadBytes(std::string(VELMORA_GOLDEN_DIR) + "/../../report/golden/" +
                                       "Y132S-4-5.5kW.list.dat");
  WriteBytes(folder.File("real.dat"), "old");
  fs::create_symlink("real.dat", folder.File("link.dat"));
  chmod(folder.File("real.dat").c_str(), 0640);
  ASSERT_EQ(RunProgram({k4Pole, "-o", folder.File("link.dat")}).status, 0);
  EXPECT_TRUE(fs::is_symlink(folder.File("link.dat")));
  EXPECT_EQ(ReadBytes(folder.File("real.dat")), report);
  EXPECT_EQ(fs::status(folder.File("real.dat")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  ASSERT_EQ(RunProgram({k4Pole, "-o", "/dev/null"}).status, 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  ASSERT_EQ(mkfifo(folder.File("fifo").c_str(), 0600), 0);
  std::string through_fifo;
  std::thread reader([&] { through_fifo = ReadBytes(folder.File("fifo")); });
  EXPECT_EQ(RunProgram({k4Pole, "-o", folder.File("fifo")}).status, 0);
  reader.join();
  EXPECT_EQ(through_fifo, report);
  EXPECT_TRUE(fs::is_fifo(folder.File("fifo")));
  EXPECT_EQ(folder.FileCount(), 3);  // nothing left beside them
}

TEST(Outputs, AFailedWriteToStandardOutputIsAFault) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{k4Pole, "--json", "-"},
                                               {k4Pole},
                                               {"check", k4Pole, "--class", "none"}}) {
    ProgramRun run = RunProgram(args, "/dev/null", "/dev/full");
    EXPECT_EQ(run.status, 1) << args.back();
    EXPECT_NE(run.err.find("写入标准输出失败"), std::string::npos) << run.err;
  }
}

TEST(Outputs, AllOrNone) {
  TempFolder folder;
  ProgramRun unwritable =
      RunProgram({k4Pole, "--json", folder.File("j.json"), "-o", folder.File("no/r.dat")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_FALSE(fs::exists(folder.File("j.json")));
  EXPECT_EQ(RunProgram({k4Pole, "-o", folder.File("x"), "--json", folder.File("x")}).status, 2);
  EXPECT_EQ(RunProgram({k4Pole, "-o", "-", "--json", "-"}).status, 2);
  EXPECT_EQ(folder.FileCount(), 0);
}

// Two outputs to one file are refused, however the paths name it: the
// same path spelt otherwise, through a link to the folder, or a hard link.
// (Through "again/.." it would be the folder above: not the same file.)
TEST(Outputs, TwoNamesOfOneFileAreRefused) {
  TempFolder folder;
  fs::create_directory_symlink(folder.path(), folder.File("again"));
  fs::create_directory(folder.File("sub"));
  const std::string dat = folder.File("out.dat");
  const std::string kSame[][2] = {
      {dat, folder.File("./out.dat")},
      {dat, folder.File("sub/../out.dat")},
      {dat, folder.File("again/out.dat")},
      {folder.File("old.dat"), folder.File("hard.dat")},
      {folder.File("old.dat"), folder.File("again/old.dat")},
  };
  WriteBytes(folder.File("old.dat"), "old");
  fs::create_hard_link(folder.File("old.dat"), folder.File("hard.dat"));
  for (const auto& [report, json] : kSame) {
    ProgramRun run = RunProgram({k4Pole, "-o", report, "--json", json});
    EXPECT_EQ(run.status, 2) << json;
    EXPECT_NE(run.err.find("两项输出不能写到同一个文件"), std::string::npos) << run.err;
  }
  // Relative to the working folder, as typed in a shell.
  const fs::path working = fs::current_path();
  fs::current_path(folder.path());
  EXPECT_EQ(RunProgram({k4Pole, "-o", "out.dat", "--json", "./out.dat"}).status, 2);
  fs::current_path(working);
  EXPECT_FALSE(fs::exists(dat));
  EXPECT_EQ(ReadBytes(folder.File("old.dat")), "old");
}

// A sweep of two million variants killed after a moment: its unnamed
// temporary file goes with it.
TEST(Outputs, AKilledSweepLeavesNothing) {
  TempFolder folder;
  pid_t pid = fork();
  if (pid == 0) {
    const std::string out = folder.File("out.csv");
    execl(VELMORA_CALC_PROGRAM, VELMORA_CALC_PROGRAM, "sweep", k4Pole.c_str(), "--vary",
          "L=100:299:1", "--vary", "G=0.3:0.6:0.0003", "-o", out.c_str(), nullptr);
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(folder.FileCount(), 0);
}

// Started with standard error closed, the program must not let the output
// file take its place: the note on the threads would land in the CSV.
TEST(Outputs, ClosedStandardErrorIsNoOutputFile) {
  TempFolder folder;
  const std::string out = folder.File("out.csv");
  pid_t pid = fork();
  if (pid == 0) {
    close(STDERR_FILENO);
    execl(VELMORA_CALC_PROGRAM, VELMORA_CALC_PROGRAM, "sweep", k4Pole.c_str(), "--vary", "G=0.4",
          "--columns", "EFF", "--threads", "1000", "-o", out.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadBytes(out), "G,EFF,check,fault\r\n0.4,0.8706306062800824,IE,\r\n");
}

TEST(SweepArguments, AreReadAsAShellUserExpects) {
  ProgramRun short_range = RunProgram(
      {"sweep", k4Pole, "--vary", "G=0.3:0.6:0.07", "--columns", "EFF", "--threads", "1000"});
  EXPECT_EQ(short_range.status, 0);
  EXPECT_NE(short_range.err.find("最后一点为0.58，不到终点"), std::string::npos) << short_range.err;
  EXPECT_NE(short_range.err.find("多于处理器数"), std::string::npos);
  EXPECT_EQ(RunProgram({"sweep", k4Pole, "--vary", "G=0.3", "--columns", "EFF,EFF"}).status, 2);
  EXPECT_EQ(RunProgram({"sweep", k4Pole, "--vary", "G=9007199254740992:9007199254741000:1"}).status,
            2);
  ProgramRun from_stdin =
      RunProgram({"sweep", "--vary", "G=0.4", "--columns", "EFF", "--", "-"}, k4Pole);
  EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
  EXPECT_EQ(from_stdin.out, "G,EFF,check,fault\r\n0.4,0.8706306062800824,IE,\r\n");
}

}  // namespace
}  // namespace velmora::cli::testing
