// Moodle XML sources: any bytes, with and without --tf. What is read is written again and reads
// back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "converter/exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool true_false = data[0] & 1;
  const std::string_view source(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<quiz::Question> read;
  quiz::ImportReport report;
  const quiz::Status status = quiz::ReadMoodleXml(source, true_false, &report, [&](const quiz::Question& q) {
    if (q.answers[0].empty() || q.answers[1].empty()) std::abort();
    read.push_back(q);
    return quiz::Status::Ok();
  });
  if (report.read != read.size()) std::abort();
  if (!status.ok() || read.empty()) return 0;
  // XML 1.0 cannot hold most control characters, and its reader makes CR LF one line end: such
  // texts are not expected back as they were.
  for (const quiz::Question& q : read) {
    for (const std::string* t : {&q.question, &q.answers[0], &q.answers[1], &q.answers[2], &q.answers[3], &q.comment}) {
      for (const char c : *t) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') return 0;
      }
    }
  }
  std::vector<quiz::Question> again;
  quiz::ImportReport second;
  const quiz::Status reread = quiz::ReadMoodleXml(quiz::WriteMoodleXml(read), false, &second, [&](const quiz::Question& q) {
    again.push_back(q);
    return quiz::Status::Ok();
  });
  if (!reread.ok() || again != read || !second.skipped.empty()) std::abort();
  return 0;
}
