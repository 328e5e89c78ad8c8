// Runs the built velmora-calc with arguments and collects what it printed.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "../design/temp_folder.h"

namespace velmora::cli::testing {

// Example designs the end-to-end tests run on.
inline const std::string k4Pole = std::string(VELMORA_EXAMPLES_DIR) + "/Y132S-4-5.5kW.txt";
inline const std::string k6PoleSingleLayer =
    std::string(VELMORA_EXAMPLES_DIR) + "/Y132M2-6-5.5kW.txt";

// A copy of the 4-pole example in `folder` with fields (0-based, in file
// order) replaced by texts; returns its path.
inline std::string ExampleWith(const design::testing::TempFolder& folder,
                               const std::vector<std::pair<int, std::string>>& changes) {
  std::string bytes = design::testing::ReadBytes(k4Pole);
  for (const auto& [index, text] : changes) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = bytes.find(',', start) + 1;
    bytes.replace(start, bytes.find(',', start) - start, text);
  }
  std::string path = folder.File("design.txt");
  design::testing::WriteBytes(path, bytes);
  return path;
}

inline std::string ExampleWith(const design::testing::TempFolder& folder, int index,
                               const std::string& text) {
  return ExampleWith(folder, {{index, text}});
}

struct ProgramRun {
  int status = -1;  // exit status, -1 if it did not exit normally
  std::string out;
  std::string err;
};

// Standard input from `in`; standard output to `out` when given (and then
// not collected).
inline ProgramRun RunProgram(const std::vector<std::string>& args,
                             const std::string& in = "/dev/null", std::string out = "") {
  design::testing::TempFolder folder;
  std::string out_path = out.empty() ? folder.File("out") : out, err_path = folder.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT, 0644);
  std::vector<std::string> all = {VELMORA_CALC_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ProgramRun run;
  pid_t pid;
  if (posix_spawn(&pid, VELMORA_CALC_PROGRAM, &actions, nullptr, argv.data(), environ) == 0) {
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (out.empty()) run.out = design::testing::ReadBytes(out_path);
  run.err = design::testing::ReadBytes(err_path);
  return run;
}

}  // namespace velmora::cli::testing
