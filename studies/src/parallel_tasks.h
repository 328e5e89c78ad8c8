// Tasks shared out among threads.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace velmora::studies {

// Runs tasks 0 .. count−1 on up to `threads` threads, the calling one among
// them; rethrows the first failure after every thread has ended. A thread
// the system cannot make is no failure: the threads made, at least the
// calling one, do its share. Which thread runs a task is left to chance, so
// a task writes only what is its own.
template <typename Task>
void RunParallel(std::size_t count, unsigned threads, Task task) {
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  auto work = [&] {
    for (std::size_t k; (k = next.fetch_add(1)) < count;) {
      try {
        task(k);
      } catch (...) {
        std::lock_guard lock(failure_mutex);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(threads);
  try {
    for (unsigned t = 1; t < std::min<std::size_t>(threads, count); ++t) workers.emplace_back(work);
  } catch (const std::system_error&) {
  }
  work();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace velmora::studies
