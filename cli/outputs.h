// The outputs of one command: all produced before any is written, each
// file written only when every one of them could be opened, and standard
// output checked before the exit status is decided.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora::cli {

class Outputs {
 public:
  // `path` "-" is standard output. Two outputs to the same place are
  // refused (CommandFailure, kExitUsage).
  void Add(const std::string& path, std::string bytes);
  // Opens every file first, then writes and commits them, then standard
  // output. Throws design::FileError.
  void WriteAll();

 private:
  std::vector<std::pair<std::string, std::string>> outputs_;
};

// Flushes standard output; a write that failed there is a FileError.
void FinishStandardOutput();

}  // namespace velmora::cli
