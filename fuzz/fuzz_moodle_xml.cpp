// Moodle XML sources: any bytes, with and without --tf. What is read is written again and reads
// back the same.

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
        return quiz::ReadMoodleXml(std::string_view(text), true_false, report, add);
      },
      quiz::WriteMoodleXml,
      // XML 1.0 cannot hold most control characters, and its reader makes CR LF one line end:
      // such texts are not expected back as they were.
      [](const quiz::Question& q) {
        for (const std::string* t : {&q.question, &q.answers[0], &q.answers[1], &q.answers[2], &q.answers[3], &q.comment}) {
          for (const char c : *t) {
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') return false;
          }
        }
        return true;
      });
  return 0;
}
