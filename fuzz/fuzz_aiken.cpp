// Aiken sources: any bytes. What is read is written again and reads back the same, with no
// comment (Aiken has no place for one).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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
      [](const std::vector<quiz::Question>& questions) { return quiz::WriteAiken(questions); },
      // A question that starts like an option ("Q) ...") or an answer line is read here as the
      // question it is, but other readers would not: the export leaves it out.
      [](const quiz::Question& q) {
        // Trimmed at both ends, as the writer looks at it.
        std::string_view t = q.question;
        t.remove_prefix(std::min(t.size(), t.find_first_not_of(" \t\r\n")));
        t = t.substr(0, t.find_last_not_of(" \t\r\n") + 1);
        const bool option = t.size() >= 2 && t[0] >= 'A' && t[0] <= 'Z' && (t[1] == '.' || t[1] == ')') &&
                            (t.size() == 2 || t[2] == ' ' || t[2] == '\t');
        return !option && !t.starts_with("ANSWER:");
      });
  return 0;
}
