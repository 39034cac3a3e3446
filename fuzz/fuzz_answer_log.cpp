// The answer log read from any bytes: only whole corrections come out, the same whether read whole,
// in blocks or in runs walked at once, each record encodes back to bytes that decode to it, and
// the views over them (results by topic, review weights, the weekly chart) stay within their bounds.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/answer_format.h"
#include "data/answer_log.h"
#include "data/answer_stats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<quiz::Correction> corrections = quiz::CorrectionsOf(bytes.data(), bytes.size());
  std::vector<quiz::AnswerRecord> all;
  for (const quiz::Correction& c : corrections) {
    if (c.answers.empty() || c.answers.size() != c.answers.front().count) std::abort();
    for (size_t k = 0; k < c.answers.size(); ++k) {
      const quiz::AnswerRecord& a = c.answers[k];
      if (a.position != k + 1 || a.test_name != c.answers.front().test_name) std::abort();
      char record[quiz::answer_format::kRecordSize];
      quiz::EncodeAnswerRecord(a, record);
      quiz::AnswerRecord back;
      if (!quiz::DecodeAnswerRecord(record, &back) || !(back == a)) std::abort();
      all.push_back(a);
    }
    if (c.right() + c.wrong() > c.answers.size()) std::abort();
  }
  size_t tallied = 0;
  for (const quiz::TopicTally& t : quiz::TallyByTopic(all)) {
    tallied += t.total();
    if (t.percent() < 0 || t.percent() > 100) std::abort();
  }
  if (tallied != all.size()) std::abort();
  // Read in blocks, as the file is, the same corrections come out byte for byte.
  std::string whole, blocked;
  quiz::WalkCorrections(bytes.data(), bytes.size(), [&](const char* r, size_t n) { whole.append(r, n * 88); });
  const size_t block = size == 0 ? 1 : 1 + data[0] % 7;
  quiz::WalkCorrections(bytes.data(), bytes.size(), [&](const char* r, size_t n) { blocked.append(r, n * 88); }, block);
  if (whole != blocked || whole.size() != all.size() * 88) std::abort();
  // Split into runs of a few records each, the runs hold those corrections in turn.
  const size_t runs = size < 2 ? 1 : 1 + data[1] % 4;
  std::vector<std::string> parts(runs);
  std::vector<quiz::CorrectionVisitor> visitors;
  for (std::string& part : parts) visitors.push_back([&part](const char* r, size_t n) { part.append(r, n * 88); });
  quiz::WalkCorrectionsInParts(bytes.data(), bytes.size(), visitors, block, 1 + (size < 3 ? 0 : data[2] % 5));
  std::string joined;
  for (const std::string& part : parts) joined += part;
  if (joined != whole) std::abort();
  const quiz::ReviewWeights weights(corrections, {1, 1, 2030});
  for (const quiz::AnswerRecord& a : all) {
    const double w = weights.Of(a.file_name, a.hash);
    if (!std::isfinite(w) || w < 1) std::abort();
  }
  const quiz::DatedChart chart = quiz::TopicProgressChart(corrections, [](const std::string&) { return ""; });
  for (const quiz::DatedSeries& s : chart.series) {
    for (const quiz::DatedPoint& p : s.points) {
      if (p.value < 0 || p.value > 100 || p.date.day < 1 || p.date.day > 31) std::abort();
    }
  }
  return 0;
}
