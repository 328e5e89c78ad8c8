// Every allocation of the calculation test program is counted, so that a test
// can see what a piece of code allocates. Kept apart from the code under test
// so the compiler never sees this operator new beside its callers.
#include <atomic>
#include <cstdlib>
#include <new>

std::atomic<long> allocation_count{0};

void* operator new(std::size_t size) {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
// The no-throw forms too (std::stable_sort takes its buffer with them), so
// that every block freed above came from malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
