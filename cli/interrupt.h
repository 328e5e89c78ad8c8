// Ctrl-C, kill and a closed terminal as a request to stop: a long command
// polls the flag and ends cleanly (no half-written file, a summary of what
// it has) instead of dying mid-write.
#pragma once

#include <signal.h>

#include <atomic>

namespace velmora::cli {

// Set by the handler while an InterruptGuard lives.
const std::atomic<bool>& Interrupted();

// Catches SIGINT, SIGTERM and SIGHUP for as long as it lives, then puts the
// former handlers back.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction previous_int_ {};
  struct sigaction previous_term_ {};
  struct sigaction previous_hup_ {};
};

}  // namespace velmora::cli
