#pragma once
// The answer log, Respostes.rel: beside the score history, every answer of every registered
// correction, so that results can be seen by topic, the questions answered wrong drawn again and
// a past test scored under another penalty. A folder without it works as before.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/answer_format.h"
#include "data/question_format.h"
#include "data/score_history.h"
#include "toolkit/coding.h"
#include "toolkit/dates.h"
#include "toolkit/status.h"

namespace quiz {

inline constexpr char kAnswerLogName[] = "Respostes.rel";

enum class AnswerResult : uint8_t { kBlank = 0, kRight = 1, kWrong = 2 };

struct AnswerRecord {
  Date date;                  // the day the test was taken, as in its score record
  uint8_t hour = 0, minute = 0, second = 0;  // when it was corrected
  std::string test_name;      // at most 30
  std::string file_name;      // the topic's question file, at most 32
  uint16_t question = 0;      // its number in that file at the correction
  uint64_t hash = 0;          // QuestionHash of the question then
  char answer = ' ';          // 'a'..'d', ' ' for none
  AnswerResult result = AnswerResult::kBlank;
  uint8_t position = 0;       // 1..count
  uint8_t count = 0;          // the test's questions
  bool operator==(const AnswerRecord&) const = default;
};

// A question's identity across deletes and re-layouts that move it: FNV-1a (64 bits) of its
// text, a zero byte and its right answer, as stored.
uint64_t QuestionHash(const Question& question);

void EncodeAnswerRecord(const AnswerRecord& record, char* bytes);
// False when the bytes are not a record (a field out of its range, an answer that disagrees with
// the result).
bool DecodeAnswerRecord(const char* bytes, AnswerRecord* record);

// Appends one correction's records (positions 1..count, in order) in one write, under the log's
// lock, and flushes them. The first correction makes the log whole in one step. A kill during a
// later append leaves the log's readers all of the correction or none of it: records of a
// correction cut short are passed over, and a torn record is written over by the next append.
Status AppendCorrection(const std::vector<AnswerRecord>& records, const std::string& name = kAnswerLogName);

// The whole corrections of a log, each handed to a visitor as its first record's bytes and its
// number of records, without decoding them: the walk of a long log.
using CorrectionVisitor = std::function<void(const char* records, size_t count)>;
// Over bytes in memory (a torn last record is left out), handed over `block_records` records at a
// time as the file's walk reads them.
void WalkCorrections(const char* bytes, size_t size, const CorrectionVisitor& visit,
                     size_t block_records = SIZE_MAX);
// Over the log file, read in blocks; an absent log holds none.
Status WalkAnswerLog(const CorrectionVisitor& visit, const std::string& name = kAnswerLogName);

// The same walks split into runs of the log walked at once, one run per visitor, each on its own
// thread. Each correction goes to one visitor, in the log's order, and those of visitor p all
// come before those of visitor p + 1 in the log. A run holds at least `min_records` records, so
// that a short log goes to fewer visitors (the first alone) and the later ones see nothing.
inline constexpr uint64_t kMinRecordsPerThread = uint64_t{1} << 16;
void WalkCorrectionsInParts(const char* bytes, size_t size, const std::vector<CorrectionVisitor>& visitors,
                            size_t block_records, uint64_t min_records);
Status WalkAnswerLogInParts(const std::vector<CorrectionVisitor>& visitors, const std::string& name = kAnswerLogName,
                            uint64_t min_records = kMinRecordsPerThread);
// How many runs a walk of a long log is worth splitting into here: the processors, at most 4.
size_t AnswerLogThreads();
// How a walk of the log is split: into at most `threads` runs of at least `min_records` records.
struct LogSplit {
  size_t threads = AnswerLogThreads();
  uint64_t min_records = kMinRecordsPerThread;
};
// The bytes of `records`, in order.
std::string AnswerBytes(const std::vector<AnswerRecord>& records);

// Fields read straight from a valid record's bytes.
namespace answer_record {
inline AnswerResult Result(const char* record) {
  return static_cast<AnswerResult>(static_cast<uint8_t>(record[answer_format::kResultOffset]));
}
inline uint64_t Hash(const char* record) { return GetU64(record + answer_format::kHashOffset); }
inline Date DateOf(const char* record) {
  return {static_cast<uint8_t>(record[answer_format::kDayOffset]),
          static_cast<uint8_t>(record[answer_format::kMonthOffset]), GetU16(record + answer_format::kYearOffset)};
}
}  // namespace answer_record

// One registered correction read back.
struct Correction {
  std::vector<AnswerRecord> answers;  // positions 1..count
  uint16_t right() const;
  uint16_t wrong() const;
};
// Every whole correction of the log in order. Records that do not make a whole correction (torn,
// damaged or foreign bytes) are passed over. An absent log holds none.
Status ReadAnswerLog(std::vector<Correction>* corrections, const std::string& name = kAnswerLogName);
// The same from the log's bytes.
std::vector<Correction> CorrectionsOf(const char* bytes, size_t size);

// The correction that holds the answers of score record `n` (0-based) of `scores`: the same day,
// test, question count and counts; the k-th score record of a kind takes the k-th correction of
// that kind. Null when the log has none (a result registered before the log, or its append lost).
const Correction* CorrectionOfScore(const std::vector<ScoreRecord>& scores, size_t n,
                                    const std::vector<Correction>& corrections);

}  // namespace quiz
