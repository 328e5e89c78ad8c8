// Running a sweep: the variants of a grid computed on several threads, the
// rows handed on in grid order.
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "velmora/studies/sweep.h"

namespace velmora::studies {

namespace {

namespace field = design::field;

}  // namespace

// ---- Running ---------------------------------------------------------------

void SetVariedInput(design::DesignInput& input, int field, double& value) {
  if (field == field::SHFA) value = static_cast<float>(value);
  design::FieldValue& target = input[field];
  target.kind = design::FieldValue::Kind::Number;
  target.number = value;
}

namespace {

// Rows go in blocks: the workers take blocks in order, each fills a slot of a
// ring with its rows, and the calling thread writes the slots in order. A
// worker waits while its slot still holds an unwritten block, so the memory
// held is the ring whatever the length of the sweep.
class SweepRun {
 public:
  SweepRun(const design::DesignInput& base, const SweepGrid& grid, const SweepOptions& options,
           const SweepFormatter& format)
      : base_(base), grid_(grid), options_(options), format_(format) {
    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads = std::max(threads, 1u);
    // Enough blocks to share out evenly, few enough to keep the ring small.
    block_size_ = std::clamp<std::uint64_t>(grid.size() / (threads * 16ull), 1, 256);
    block_count_ = (grid.size() + block_size_ - 1) / block_size_;
    thread_count_ = static_cast<unsigned>(std::min<std::uint64_t>(threads, block_count_));
    slots_.resize(2 * static_cast<std::size_t>(std::max(thread_count_, 1u)));
  }

  std::uint64_t Run(const SweepWriter& write) {
    std::vector<std::thread> workers;
    std::uint64_t written = 0;
    try {
      // A thread the system cannot make is no failure: the sweep goes on with
      // the workers made, or on the calling thread alone.
      try {
        for (unsigned t = 0; t < thread_count_; ++t) workers.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
      }
      written = workers.empty() ? ComputeAndWrite(write) : WriteInOrder(write);
    } catch (...) {
      Stop(std::current_exception());
    }
    Stop(nullptr);
    for (std::thread& worker : workers) worker.join();
    if (failure_) std::rethrow_exception(failure_);
    return written;
  }

 private:
  struct Slot {
    std::string bytes;
    std::uint64_t rows = 0;
    bool ready = false;
  };

  bool Cancelled() const {
    return options_.cancel && options_.cancel->load(std::memory_order_relaxed);
  }

  void Stop(std::exception_ptr failure) {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
      if (failure && !failure_) failure_ = failure;
    }
    changed_.notify_all();
  }

  std::uint64_t WriteInOrder(const SweepWriter& write) {
    std::uint64_t written = 0;
    for (std::uint64_t block = 0; block < block_count_; ++block) {
      Slot& slot = slots_[block % slots_.size()];
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || slot.ready; });
        if (stopped_) break;
      }
      write(slot.bytes);
      written += slot.rows;
      {
        std::lock_guard lock(mutex_);
        slot.ready = false;
        ++blocks_written_;
      }
      changed_.notify_all();
      if (options_.progress) options_.progress(written);
      if (Cancelled()) break;
    }
    return written;
  }

  // Without workers: each block computed into the first slot, then written.
  std::uint64_t ComputeAndWrite(const SweepWriter& write) {
    Worker worker(base_, grid_.axes().size());
    Slot& slot = slots_.front();
    std::uint64_t written = 0;
    for (std::uint64_t block = 0; block < block_count_; ++block) {
      if (!Compute(worker, block, slot)) break;
      write(slot.bytes);
      written += slot.rows;
      if (options_.progress) options_.progress(written);
      if (Cancelled()) break;
    }
    return written;
  }

  void Work() {
    try {
      Worker worker(base_, grid_.axes().size());
      for (;;) {
        std::uint64_t block = next_block_.fetch_add(1);
        if (block >= block_count_) return;
        Slot& slot = slots_[block % slots_.size()];
        {
          std::unique_lock lock(mutex_);
          changed_.wait(lock, [&] { return stopped_ || blocks_written_ + slots_.size() > block; });
          if (stopped_) return;
        }
        if (!Compute(worker, block, slot)) return Stop(nullptr);
        {
          std::lock_guard lock(mutex_);
          slot.ready = true;
        }
        changed_.notify_all();
      }
    } catch (...) {
      Stop(std::current_exception());
    }
  }

  // Everything one thread needs for a variant, made once.
  struct Worker {
    Worker(const design::DesignInput& base, std::size_t axes) : input(base), varied(axes) {}
    design::DesignInput input;
    std::vector<double> varied;
    CalculationState state;
    CalculationFault fault;
    DesignCheck check;
  };

  // Fills `slot` with the rows of `block`; false when cancelled.
  bool Compute(Worker& w, std::uint64_t block, Slot& slot) {
    std::uint64_t first = block * block_size_;
    std::uint64_t end = std::min(first + block_size_, grid_.size());
    slot.bytes.clear();
    slot.rows = end - first;
    for (std::uint64_t index = first; index < end; ++index) {
      if (Cancelled()) return false;
      grid_.Values(index, w.varied);
      for (std::size_t a = 0; a < w.varied.size(); ++a)
        SetVariedInput(w.input, grid_.axes()[a].field(), w.varied[a]);
      bool ok = Calculate(w.input, w.state, w.fault);
      if (ok) w.check = CheckDesign(w.input, w.state, options_.check);
      format_({index, w.varied, ok, w.state, w.fault, w.check}, slot.bytes);
    }
    return true;
  }

  const design::DesignInput& base_;
  const SweepGrid& grid_;
  const SweepOptions& options_;
  const SweepFormatter& format_;
  std::uint64_t block_size_ = 1;
  std::uint64_t block_count_ = 0;
  unsigned thread_count_ = 1;

  std::atomic<std::uint64_t> next_block_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;           // a slot's fields are guarded by `ready`
  std::uint64_t blocks_written_ = 0;  // guarded by mutex_
  bool stopped_ = false;              // guarded by mutex_
  std::exception_ptr failure_;        // guarded by mutex_
};

}  // namespace

std::uint64_t RunSweep(const design::DesignInput& base, const SweepGrid& grid,
                       const SweepOptions& options, const SweepFormatter& format,
                       const SweepWriter& write) {
  SweepRun run(base, grid, options, format);
  return run.Run(write);
}

}  // namespace velmora::studies
