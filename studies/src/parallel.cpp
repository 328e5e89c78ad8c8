#include "velmora/studies/parallel.h"

#include <algorithm>
#include <thread>

#include "parallel_tasks.h"

namespace velmora::studies {

void RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task) {
  if (threads == 0) threads = std::max(std::thread::hardware_concurrency(), 1u);
  RunParallel(count, threads, task);
}

}  // namespace velmora::studies
