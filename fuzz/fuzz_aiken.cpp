// Aiken sources: any bytes. What is read is written again and reads back the same, with no
// comment (Aiken has no place for one).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quiz::fuzz::CheckRoundTrip(
      std::string(reinterpret_cast<const char*>(data), size),
      [](const std::string& text, quiz::ImportReport* report, const auto& add) {
        return quiz::ReadAiken(text, report, [&](const quiz::Question& q) {
          if (!q.comment.empty()) std::abort();
          return add(q);
        });
      },
      [](const std::vector<quiz::Question>& questions) { return quiz::WriteAiken(questions); }, [](const quiz::Question&) { return true; });
  return 0;
}
