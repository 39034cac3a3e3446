// A generated test's file: lines of numbers, or anything else.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/generated_tests.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<quiz::TestItem> items;
  const quiz::Status status = quiz::ParseTestFile(bytes, "t.tgn", &items);
  if (!status.ok()) {
    if (!items.empty() || status.text().find("t.tgn") == std::string::npos) std::abort();
    return 0;
  }
  for (const quiz::TestItem& item : items) {
    if (item.topic < 1 || item.topic > quiz::kMaxTestTopic) std::abort();
  }
  // What was read writes back as a file that reads the same.
  std::vector<quiz::TestItem> again;
  if (!quiz::ParseTestFile(quiz::FormatTestFile(items), "t.tgn", &again).ok() || again != items) std::abort();
  return 0;
}
