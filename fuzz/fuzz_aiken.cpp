// Aiken sources: any bytes. What is read is written again and reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "converter/exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  std::vector<quiz::Question> read;
  quiz::ImportReport report;
  const quiz::Status status = quiz::ReadAiken(source, &report, [&](const quiz::Question& q) {
    // A question that fits a record has its correct answer and one more, and no comment.
    if (q.answers[0].empty() || q.answers[1].empty() || !q.comment.empty()) std::abort();
    read.push_back(q);
    return quiz::Status::Ok();
  });
  if (report.read != read.size()) std::abort();
  if (!status.ok() || read.empty()) return 0;
  std::vector<quiz::Question> again;
  quiz::ImportReport second;
  const quiz::Status reread = quiz::ReadAiken(quiz::WriteAiken(read), &second, [&](const quiz::Question& q) {
    again.push_back(q);
    return quiz::Status::Ok();
  });
  if (!reread.ok() || again != read || !second.skipped.empty()) std::abort();
  return 0;
}
