// GIFT sources: any bytes, with and without --tf. What is read is written again and reads back
// the same, answers that start like a weight or a format mark included.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool true_false = data[0] & 1;
  quiz::fuzz::CheckRoundTrip(
      std::string(reinterpret_cast<const char*>(data) + 1, size - 1),
      [&](const std::string& text, quiz::ImportReport* report, const auto& add) {
        return quiz::ReadGift(text, true_false, report, add);
      },
      [](const std::vector<quiz::Question>& questions) { return quiz::WriteGift(questions); },
      [](const quiz::Question&) { return true; });
  return 0;
}
