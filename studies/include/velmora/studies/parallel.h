// Tasks shared out among threads, for the programs built on the studies
// that run many designs of their own (the Python module's batch evaluation).
#pragma once

#include <cstddef>
#include <functional>

namespace velmora::studies {

// Runs tasks 0 .. count−1 on up to `threads` threads (0: one per
// processor), the calling one among them; rethrows the first failure after
// every thread has ended. Which thread runs a task is left to chance, so a
// task writes only what is its own.
void RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task);

}  // namespace velmora::studies
