#include "interrupt.h"

namespace velmora::cli {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { interrupted.store(true); }

}  // namespace

const std::atomic<bool>& Interrupted() { return interrupted; }

InterruptGuard::InterruptGuard() {
  interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_int_);
  sigaction(SIGTERM, &action, &previous_term_);
  sigaction(SIGHUP, &action, &previous_hup_);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &previous_int_, nullptr);
  sigaction(SIGTERM, &previous_term_, nullptr);
  sigaction(SIGHUP, &previous_hup_, nullptr);
}

}  // namespace velmora::cli
