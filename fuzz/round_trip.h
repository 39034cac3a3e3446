#pragma once
// The check the exchange-format targets share: a source is read; whatever it gave is written in
// the same format and must read back as the same questions, none left out.

#include <cstdlib>
#include <string>
#include <vector>

#include "converter/exchange.h"

namespace quiz::fuzz {

// `read(text, &report, add)` reads a text; `write(questions)` writes one. `comparable` says
// whether a question can be expected back as it was (the format may have no way to write it).
template <typename Read, typename Write, typename Comparable>
void CheckRoundTrip(const std::string& source, Read read, Write write, Comparable comparable) {
  std::vector<Question> first;
  ImportReport report;
  const Status status = read(source, &report, [&](const Question& q) {
    // A question that fits a record has its right answer and one more.
    if (q.answers[0].empty() || q.answers[1].empty()) std::abort();
    first.push_back(q);
    return Status::Ok();
  });
  if (report.read != first.size()) std::abort();
  if (!status.ok() || first.empty()) return;
  for (const Question& q : first) {
    // No format writes a question without a text: it is left out of every export.
    if (q.question.find_first_not_of(" \t\r\n") == std::string::npos || !comparable(q)) return;
  }
  std::vector<Question> again;
  ImportReport second;
  const Status reread = read(write(first), &second, [&](const Question& q) {
    again.push_back(q);
    return Status::Ok();
  });
  if (!reread.ok() || again != first || !second.skipped.empty()) std::abort();
}

}  // namespace quiz::fuzz
