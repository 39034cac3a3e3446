#include "toolkit/large_pages.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace quiz {
namespace {

constexpr uintptr_t kLargePage = uintptr_t{2} << 20;

// True when the mapping holding `address` is advised for large pages ("hg" among its VmFlags).
bool AdvisedAt(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> from >> dash >> to && dash == '-' && line.find(' ') != std::string::npos &&
        line.find(':') > line.find(' ')) {
      inside = at >= from && at < to;
    } else if (inside && line.starts_with("VmFlags:")) {
      return (line + " ").find(" hg ") != std::string::npos;
    }
  }
  return false;
}

TEST(LargePages, OnlyWholeLargePagesWithinTheRangeAreAdvised) {
  struct Case {
    uintptr_t start, length;  // from an aligned base
    uintptr_t probe;
    bool advised;
  };
  const Case cases[] = {
      {0, 4 * kLargePage, 0, true},
      {0, 4 * kLargePage, 4 * kLargePage - 1, true},
      // A start within a large page: advice begins at the next one.
      {kLargePage / 2, 3 * kLargePage, kLargePage / 2, false},
      {kLargePage / 2, 3 * kLargePage, kLargePage, true},
      // An end within a large page: the last, partial one is left.
      {kLargePage / 2, 3 * kLargePage, 3 * kLargePage, false},
      {kLargePage / 2, 3 * kLargePage, 3 * kLargePage - 1, true},
      // Less than a whole large page: nothing.
      {kLargePage / 4, kLargePage, kLargePage / 4, false},
      {kLargePage / 4, kLargePage, kLargePage, false},
  };
  for (const Case& c : cases) {
    void* mapped = ::mmap(nullptr, 6 * kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const uintptr_t base = (reinterpret_cast<uintptr_t>(mapped) + kLargePage - 1) & ~(kLargePage - 1);
    AdviseLargePages(reinterpret_cast<void*>(base + c.start), c.length);
    EXPECT_EQ(AdvisedAt(reinterpret_cast<void*>(base + c.probe)), c.advised)
        << "start " << c.start << ", length " << c.length << ", probe " << c.probe;
    ::munmap(mapped, 6 * kLargePage);
  }
}

// A window's image and its backing store, asked for after the reserve, lie in memory advised for
// large pages; without it each would be a mapping of its own, of small pages. In a process of its
// own: the reserve changes the allocator for good.
TEST(LargePages, TheReservedHeapHoldsAWindowsImages) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizer's allocator is not the heap";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
  GTEST_SKIP() << "the sanitizer's allocator is not the heap";
#endif
#endif
  EXPECT_EXIT(
      {
        ReserveLargePageHeap(size_t{16} << 20);
        auto* canvas = static_cast<char*>(std::malloc(1086 * 720 * 4));
        auto* store = static_cast<char*>(std::malloc(1086 * 740 * 4));
        const bool advised = AdvisedAt(canvas + kLargePage) && AdvisedAt(store + kLargePage) &&
                             AdvisedAt(store + 1086 * 740 * 4 - 1);
        std::_Exit(advised ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quiz
