// Moodle XML sources: any bytes, with and without --tf. Read a question at a time, a source gives
// what the whole document parsed at once gives; what is read is written again and reads back the
// same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool true_false = data[0] & 1;
  const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);
  struct Read {
    quiz::Status status;
    std::vector<quiz::Question> questions;
    quiz::ImportReport report;
  } usual, whole;
  auto keep = [](Read* r) {
    return [r](const quiz::Question& q) {
      r->questions.push_back(q);
      return quiz::Status::Ok();
    };
  };
  usual.status = quiz::ReadMoodleXml(std::string_view(source), true_false, &usual.report, keep(&usual));
  whole.status = quiz::ReadMoodleXmlWhole(source, true_false, &whole.report, keep(&whole));
  if (usual.status.text() != whole.status.text()) std::abort();
  // At damage, the usual reading keeps the questions before it; otherwise both read the same.
  if (usual.status.ok() && (usual.questions != whole.questions || usual.report.skipped != whole.report.skipped ||
                            usual.report.replaced != whole.report.replaced || usual.report.cut != whole.report.cut)) {
    std::abort();
  }
  quiz::fuzz::CheckRoundTrip(
      source,
      [&](const std::string& text, quiz::ImportReport* report, const auto& add) {
        return quiz::ReadMoodleXml(std::string_view(text), true_false, report, add);
      },
      [](const std::vector<quiz::Question>& questions) { return quiz::WriteMoodleXml(questions); },
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
