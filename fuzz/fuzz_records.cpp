// The fixed records of the four data files, decoded from any bytes: question records under any
// layout the format allows, topic entries, generated test entries and score records, and a score
// history of any bytes drawn as a chart.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/generated_format.h"
#include "data/generated_tests.h"
#include "data/question_format.h"
#include "data/score_chart.h"
#include "data/score_format.h"
#include "data/score_history.h"
#include "data/topic_format.h"
#include "data/topic_index.h"

namespace {

// The first four bytes pick a layout; out-of-range ones are refused, as the files refuse them.
bool PickLayout(const uint8_t* data, quiz::Layout* l) {
  *l = {static_cast<uint16_t>(data[0] % 130), static_cast<uint16_t>(data[1] % 130),
        static_cast<uint16_t>(data[2] % 5), static_cast<uint16_t>(data[3] % 130)};
  return quiz::CheckLayout(*l, "x").ok();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  quiz::Layout layout;
  const std::string bytes(reinterpret_cast<const char*>(data) + 4, size - 4);
  if (PickLayout(data, &layout) && bytes.size() >= quiz::RecordSizeFor(layout)) {
    // Decoded from exactly a record's bytes (a heap copy, so that reading past it is caught).
    const std::string record = bytes.substr(0, quiz::RecordSizeFor(layout));
    char* exact = static_cast<char*>(std::malloc(record.size()));
    std::memcpy(exact, record.data(), record.size());
    quiz::Question q;
    quiz::DecodeQuestion(exact, layout, &q);
    if (q.question.size() > layout.question_length) std::abort();
    const bool fits = quiz::RecordLengthsFit(exact, layout);
    quiz::RecordBuffer buffer;
    char* again = buffer.For(quiz::RecordSizeFor(layout));
    quiz::EncodeQuestion(q, layout, quiz::RecordSizeFor(layout), again);
    quiz::Question back;
    quiz::DecodeQuestion(again, layout, &back);
    if (back != q || !quiz::RecordLengthsFit(again, layout)) std::abort();
    if (fits && q.question != record.substr(1, static_cast<unsigned char>(record[0]))) std::abort();
    std::free(exact);
  }
  if (bytes.size() >= quiz::topic_format::kEntrySize) {
    const quiz::TopicEntry e = quiz::DecodeTopicEntry(bytes.data());
    if (e.file_name.size() > 32 || e.title.size() > 100 || e.editor_note.size() > 81) std::abort();
  }
  if (bytes.size() >= quiz::generated_format::kEntrySize) {
    const quiz::GeneratedTestEntry e = quiz::DecodeGeneratedEntry(bytes.data());
    if (e.file_name.size() > 32 || e.description.size() > 80) std::abort();
  }
  if (bytes.size() >= quiz::score_format::kRecordSize) {
    const quiz::ScoreRecord r = quiz::DecodeScoreRecord(bytes.data());
    // Any record makes a history line and a confirmation, whatever its numbers.
    (void)quiz::ScoreHistoryLine(r);
    (void)quiz::ConfirmScoreText(r);
  }
  // The whole records of the bytes as a history: every one is drawn or counted as left out, and
  // no point has a value that is not a number.
  std::vector<quiz::ScoreRecord> history;
  for (size_t at = 0; at + quiz::score_format::kRecordSize <= bytes.size(); at += quiz::score_format::kRecordSize) {
    history.push_back(quiz::DecodeScoreRecord(bytes.data() + at));
  }
  const quiz::DatedChart chart = quiz::ScoreChart(history);
  size_t drawn = 0;
  for (size_t i = 0; i + 1 < chart.series.size(); ++i) drawn += chart.series[i].points.size();
  size_t chartable = 0;
  for (const quiz::ScoreRecord& r : history) chartable += quiz::ChartableScore(r);
  if (drawn != chartable || (chartable < history.size()) == chart.note.empty()) std::abort();
  for (const quiz::DatedSeries& series : chart.series) {
    for (const quiz::DatedPoint& p : series.points) {
      if (!(p.value == p.value)) std::abort();
    }
  }
  return 0;
}
