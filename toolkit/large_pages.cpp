#include "toolkit/large_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quiz {
namespace {

constexpr uintptr_t kLargePage = uintptr_t{2} << 20;

}  // namespace

void AdviseLargePages(const void* begin, size_t length) {
  const auto address = reinterpret_cast<uintptr_t>(begin);
  const uintptr_t first = (address + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t last = (address + length) & ~(kLargePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void ReserveLargePageHeap(size_t reserve) {
  // Blocks above the threshold would each get a mapping of their own, of small pages; this is
  // the largest threshold the allocator takes.
  constexpr int kLargestInHeap = 32 << 20;
  if (mallopt(M_MMAP_THRESHOLD, kLargestInHeap) == 0) return;
  // The heap grows by what is asked plus this pad, and keeps the pad when it shrinks: the
  // advised part stays the heap's top.
  mallopt(M_TOP_PAD, static_cast<int>(reserve));
  const auto top = reinterpret_cast<uintptr_t>(::sbrk(0));
  // Larger than what the heap holds free, so that it grows now.
  void* volatile grown = std::malloc(size_t{1} << 20);
  std::free(grown);
  const auto grown_top = reinterpret_cast<uintptr_t>(::sbrk(0));
  if (top == static_cast<uintptr_t>(-1) || grown_top <= top) return;
  AdviseLargePages(reinterpret_cast<const void*>(top), grown_top - top);
}

}  // namespace quiz
