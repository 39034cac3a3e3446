#include "data/answer_log.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <exception>
#include <system_error>
#include <thread>
#include <tuple>

#include "data/answer_format.h"
#include "toolkit/coding.h"
#include "toolkit/files.h"

namespace quiz {

namespace af = answer_format;

namespace {

uint8_t Byte(const char* p) { return static_cast<uint8_t>(*p); }

// The fields that each record of a correction has of its own: the answer, its result, its place
// and its question. Bytes 8 to 15 are read as one little-endian word: result, position, count, a
// zero, the question (two bytes) and two zeros.
inline bool ValidOwnFields(const char* b) {
  static_assert(af::kResultOffset == 8 && af::kPositionOffset == 9 && af::kCountOffset == 10 &&
                af::kReservedOffset == 11 && af::kQuestionOffset == 12 && af::kReserved2Offset == 14);
  const uint64_t w = GetU32(b + 8) | uint64_t{GetU32(b + 12)} << 32;
  const unsigned result = w & 0xFF, position = (w >> 8) & 0xFF, count = (w >> 16) & 0xFF;
  const unsigned question = (w >> 32) & 0xFFFF;
  const char answer = b[af::kAnswerOffset];
  const unsigned blank = answer == ' ';
  // Every check is made, without branches between them: a long log is mostly valid records.
  unsigned ok = result <= 2;
  ok &= blank | (answer - 'a' + 0u < 4u);
  ok &= blank == (result == 0);
  ok &= position - 1u < count;  // count 0 fails here too
  ok &= question != 0;
  ok &= (w & 0xFFFF0000FF000000ULL) == 0;
  ok &= Byte(b + af::kFileNameOffset) <= af::kFileNameCapacity;
  return ok != 0;
}

// Whether the bytes are a record: every field within its range, the answer agreeing with the
// result.
bool ValidRecord(const char* b) {
  const uint8_t month = Byte(b + af::kMonthOffset), day = Byte(b + af::kDayOffset);
  unsigned ok = month - 1u < 12u;
  ok &= day - 1u < 31u;
  ok &= Byte(b + af::kHourOffset) < 24;
  ok &= Byte(b + af::kMinuteOffset) < 60;
  ok &= Byte(b + af::kSecondOffset) <= 60;
  ok &= Byte(b + af::kTestNameOffset) <= af::kTestNameCapacity;
  return ok != 0 && ValidOwnFields(b) && (day <= 28 || day <= DaysInMonth(month, GetU16(b + af::kYearOffset)));
}


// The records after the first of a correction, checked against it 16 bytes at a time: the same
// moment, count and test name (the records of a correction are written together, their test
// name fields byte for byte alike), the next position, zero reserved bytes; then the fields each
// has of its own. The vectors are the compiler's own, on any processor.
class NextRecords {
 public:
  explicit NextRecords(const char* first) { std::memcpy(expected_, first, sizeof expected_); }

  // Whether `r` is the record after the last one that was.
  bool Follows(const char* r) {
    static_assert(af::kSecondOffset == 6 && af::kAnswerOffset == 7 && af::kResultOffset == 8 &&
                  af::kPositionOffset == 9 && af::kCountOffset == 10 && af::kReservedOffset == 11 &&
                  af::kQuestionOffset == 12 && af::kReserved2Offset == 14 && af::kHashOffset == 16 &&
                  af::kTestNameOffset == 24 && af::kFileNameOffset == 55);
    constexpr uint8_t F = 0xFF;
    // Bytes that must be as expected: 0..6 and 9..11, 14, 15; 24..54.
    constexpr Vector kMask0 = {F, F, F, F, F, F, F, 0, 0, F, F, F, 0, 0, F, F};
    constexpr Vector kMask1 = {0, 0, 0, 0, 0, 0, 0, 0, F, F, F, F, F, F, F, F};
    constexpr Vector kMask3 = {F, F, F, F, F, F, F, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    constexpr Vector kNextPosition = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    Vector v[4];
    std::memcpy(v, r, sizeof v);
    expected_[0] += kNextPosition;
    const Vector differ = ((v[0] ^ expected_[0]) & kMask0) | ((v[1] ^ expected_[1]) & kMask1) |
                          (v[2] ^ expected_[2]) | ((v[3] ^ expected_[3]) & kMask3);
    uint64_t halves[2];
    std::memcpy(halves, &differ, sizeof halves);
    const uint8_t result = Byte(r + af::kResultOffset);
    const char answer = r[af::kAnswerOffset];
    const unsigned blank = answer == ' ';
    unsigned ok = (halves[0] | halves[1]) == 0;
    ok &= result <= 2;
    ok &= blank | (answer - 'a' + 0u < 4u);
    ok &= blank == (result == 0);
    ok &= GetU16(r + af::kQuestionOffset) != 0;
    ok &= Byte(r + af::kFileNameOffset) <= af::kFileNameCapacity;
    return ok != 0;
  }

 private:
  using Vector = uint8_t __attribute__((vector_size(16)));
  Vector expected_[4];  // bytes 0..63 of the record before, its position one less than the next
};

}  // namespace

uint64_t QuestionHash(const Question& question) {
  return Fnv1a(question.answers[0], Fnv1a(std::string_view("\0", 1), Fnv1a(question.question)));
}

void EncodeAnswerRecord(const AnswerRecord& r, char* bytes) {
  std::fill(bytes, bytes + af::kRecordSize, '\0');
  PutU16(bytes + af::kYearOffset, r.date.year);
  bytes[af::kMonthOffset] = static_cast<char>(r.date.month);
  bytes[af::kDayOffset] = static_cast<char>(r.date.day);
  bytes[af::kHourOffset] = static_cast<char>(r.hour);
  bytes[af::kMinuteOffset] = static_cast<char>(r.minute);
  bytes[af::kSecondOffset] = static_cast<char>(r.second);
  bytes[af::kAnswerOffset] = r.answer;
  bytes[af::kResultOffset] = static_cast<char>(r.result);
  bytes[af::kPositionOffset] = static_cast<char>(r.position);
  bytes[af::kCountOffset] = static_cast<char>(r.count);
  PutU16(bytes + af::kQuestionOffset, r.question);
  PutU64(bytes + af::kHashOffset, r.hash);
  PutLString(bytes + af::kTestNameOffset, af::kTestNameCapacity, r.test_name);
  PutLString(bytes + af::kFileNameOffset, af::kFileNameCapacity, r.file_name);
}

bool DecodeAnswerRecord(const char* bytes, AnswerRecord* r) {
  if (!ValidRecord(bytes)) return false;
  r->date = answer_record::DateOf(bytes);
  r->hour = Byte(bytes + af::kHourOffset);
  r->minute = Byte(bytes + af::kMinuteOffset);
  r->second = Byte(bytes + af::kSecondOffset);
  r->answer = bytes[af::kAnswerOffset];
  r->result = answer_record::Result(bytes);
  r->position = Byte(bytes + af::kPositionOffset);
  r->count = Byte(bytes + af::kCountOffset);
  r->question = GetU16(bytes + af::kQuestionOffset);
  r->hash = answer_record::Hash(bytes);
  GetLString(bytes + af::kTestNameOffset, af::kTestNameCapacity, &r->test_name);
  GetLString(bytes + af::kFileNameOffset, af::kFileNameCapacity, &r->file_name);
  return true;
}

namespace {

// Hands the whole corrections that start among the first `limit` of `n` records to `visit` and
// returns how many records it is done with: all of them, or, when `more` records follow, those
// before a correction that the records end in the middle of (the next block starts with it), or
// those up to the first at or past `limit` that no correction it handed over holds.
size_t FindCorrections(const char* records, size_t n, uint64_t limit, bool more, const CorrectionVisitor& visit) {
  size_t i = 0;
  const size_t starts = static_cast<size_t>(std::min<uint64_t>(n, limit));
  while (i < starts) {
    const char* first = records + i * af::kRecordSize;
    // A correction starts at its first question, a record valid on its own.
    if (Byte(first + af::kPositionOffset) != 1 || !ValidRecord(first)) {
      ++i;
      continue;
    }
    const size_t count = Byte(first + af::kCountOffset);
    if (i + count > n) {
      if (more) return i;
      ++i;
      continue;
    }
    // Each next record has the first one's moment, test and count, and only its own fields to check.
    NextRecords next(first);
    size_t k = 1;
    while (k < count && next.Follows(first + k * af::kRecordSize)) ++k;
    if (k == count) visit(first, count);
    // Records 2..k of a run cut short start nothing: the search goes on after them.
    i += k;
  }
  return i;
}

// The walk over the corrections that start at records `begin` to `end` of `total`, which `read`
// fetches `n` at a time from record `at` (a pointer to them): the block grows when one
// correction does not fit in it.
//
// A walk may start anywhere and find what a walk from the start finds from there on: the records
// that a correction, or a run of one cut short, holds after its first have positions 2 and on,
// and so start nothing whichever walk meets them.
template <typename Read>
Status WalkBlocks(uint64_t begin, uint64_t end, uint64_t total, size_t block, const Read& read,
                  const CorrectionVisitor& visit) {
  uint64_t at = begin;
  block = std::max<size_t>(block, 1);
  while (at < end) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(block, total - at));
    const char* records = nullptr;
    QUIZ_RETURN_IF_ERROR(read(at, n, &records));
    const bool more = at + n < total;
    const size_t done = FindCorrections(records, n, end - at, more, visit);
    if (done == 0 && more) {
      block *= 2;
      continue;
    }
    at += done;
  }
  return Status::Ok();
}

// Walks `total` records in runs of at least `min_records`, one per visitor (fewer when the
// records are few), the first on this thread and each other on its own. `walk(begin, end, visit)`
// walks one run.
template <typename Walk>
Status WalkParts(uint64_t total, const std::vector<CorrectionVisitor>& visitors, uint64_t min_records,
                 const Walk& walk) {
  const uint64_t parts =
      std::clamp<uint64_t>(total / std::max<uint64_t>(min_records, 1), 1, std::max<size_t>(visitors.size(), 1));
  if (visitors.empty()) return Status::Ok();
  std::vector<Status> statuses(parts, Status::Ok());
  std::vector<std::exception_ptr> thrown(parts);
  const auto run = [&](uint64_t p) {
    try {
      statuses[p] = walk(total * p / parts, total * (p + 1) / parts, visitors[p]);
    } catch (...) {
      thrown[p] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(parts - 1);
  for (uint64_t p = 1; p < parts; ++p) {
    try {
      threads.emplace_back(run, p);
    } catch (const std::system_error&) {
      run(p);  // no thread to be had: this one walks that run too
    }
  }
  run(0);
  for (std::thread& t : threads) t.join();
  for (uint64_t p = 0; p < parts; ++p) {
    if (thrown[p]) std::rethrow_exception(thrown[p]);
    QUIZ_RETURN_IF_ERROR(statuses[p]);
  }
  return Status::Ok();
}

}  // namespace

void WalkCorrections(const char* bytes, size_t size, const CorrectionVisitor& visit, size_t block_records) {
  WalkCorrectionsInParts(bytes, size, {visit}, block_records, UINT64_MAX);
}

void WalkCorrectionsInParts(const char* bytes, size_t size, const std::vector<CorrectionVisitor>& visitors,
                            size_t block_records, uint64_t min_records) {
  const uint64_t total = size / af::kRecordSize;
  (void)WalkParts(total, visitors, min_records, [&](uint64_t begin, uint64_t end, const CorrectionVisitor& visit) {
    return WalkBlocks(begin, end, total, block_records,
                      [bytes](uint64_t at, size_t, const char** records) {
                        *records = bytes + at * af::kRecordSize;
                        return Status::Ok();
                      },
                      visit);
  });
}

Status WalkAnswerLog(const CorrectionVisitor& visit, const std::string& name) {
  return WalkAnswerLogInParts({visit}, name);
}

Status WalkAnswerLogInParts(const std::vector<CorrectionVisitor>& visitors, const std::string& name,
                            uint64_t min_records) {
  RecordFile file;
  const Status opened = file.Open(name, af::kRecordSize, RecordFile::Mode::kReadOnly);
  if (opened.code() == Status::Code::kNotFound) return Status::Ok();
  QUIZ_RETURN_IF_ERROR(opened);
  uint64_t total = 0;
  QUIZ_RETURN_IF_ERROR(file.Count(&total));
  return WalkParts(total, visitors, min_records, [&](uint64_t begin, uint64_t end, const CorrectionVisitor& visit) {
    std::unique_ptr<char[]> buffer;  // read over at once: not cleared first
    size_t capacity = 0;
    return WalkBlocks(begin, end, total, 8192,  // records: 704 kB
                      [&](uint64_t at, size_t n, const char** records) {
                        if (n > capacity) {
                          buffer.reset(new char[n * af::kRecordSize]);
                          capacity = n;
                        }
                        *records = buffer.get();
                        return file.Read(at, n, buffer.get());
                      },
                      visit);
  });
}

size_t AnswerLogThreads() { return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4); }

std::string AnswerBytes(const std::vector<AnswerRecord>& records) {
  std::string bytes(records.size() * af::kRecordSize, '\0');
  for (size_t i = 0; i < records.size(); ++i) EncodeAnswerRecord(records[i], &bytes[i * af::kRecordSize]);
  return bytes;
}

Status AppendCorrection(const std::vector<AnswerRecord>& records, const std::string& name) {
  if (records.empty()) return Status::Ok();
  const std::string bytes = AnswerBytes(records);
  RecordFile file;
  Status opened = file.Open(name, af::kRecordSize, RecordFile::Mode::kExisting);
  if (opened.code() == Status::Code::kNotFound) {
    // The first correction makes the log whole in one step: a kill leaves no log, or all of it.
    SafeWriter writer;
    QUIZ_RETURN_IF_ERROR(writer.Open(name));
    QUIZ_RETURN_IF_ERROR(writer.Append(bytes));
    bool existed = false;
    QUIZ_RETURN_IF_ERROR(writer.CommitNew(&existed));
    if (!existed) return Status::Ok();
    opened = file.Open(name, af::kRecordSize, RecordFile::Mode::kExisting);  // another program made it
  }
  QUIZ_RETURN_IF_ERROR(opened);
  // After the last whole record: a torn one goes. The records of a correction that a kill left
  // part-way stay where they are, unread, so that a failing append never loses a byte.
  QUIZ_RETURN_IF_ERROR(file.Append(records.size(), bytes.data()));
  return file.Sync();
}

uint16_t Correction::right() const {
  uint16_t n = 0;
  for (const auto& a : answers) n += a.result == AnswerResult::kRight;
  return n;
}
uint16_t Correction::wrong() const {
  uint16_t n = 0;
  for (const auto& a : answers) n += a.result == AnswerResult::kWrong;
  return n;
}

namespace {

CorrectionVisitor Decoding(std::vector<Correction>* corrections) {
  return [corrections](const char* records, size_t count) {
    Correction& c = corrections->emplace_back();
    c.answers.resize(count);
    for (size_t k = 0; k < count; ++k) DecodeAnswerRecord(records + k * af::kRecordSize, &c.answers[k]);
  };
}

}  // namespace

std::vector<Correction> CorrectionsOf(const char* bytes, size_t size) {
  std::vector<Correction> corrections;
  WalkCorrections(bytes, size, Decoding(&corrections));
  return corrections;
}

Status ReadAnswerLog(std::vector<Correction>* corrections, const std::string& name) {
  corrections->clear();
  return WalkAnswerLog(Decoding(corrections), name);
}

const Correction* CorrectionOfScore(const std::vector<ScoreRecord>& scores, size_t n,
                                    const std::vector<Correction>& corrections) {
  if (n >= scores.size()) return nullptr;
  const auto kind = [](const Date& date, const std::string& name, uint16_t count, uint16_t right, uint16_t wrong) {
    return std::make_tuple(date.year, date.month, date.day, name, count, right, wrong);
  };
  const auto& s = scores[n];
  const auto wanted = kind(s.date, s.test_name, s.question_count, s.correct, s.errors);
  size_t before = 0;
  for (size_t i = 0; i < n; ++i) {
    const auto& e = scores[i];
    before += kind(e.date, e.test_name, e.question_count, e.correct, e.errors) == wanted;
  }
  for (const Correction& c : corrections) {
    const AnswerRecord& first = c.answers.front();
    if (kind(first.date, first.test_name, first.count, c.right(), c.wrong()) != wanted) continue;
    if (before == 0) return &c;
    --before;
  }
  return nullptr;
}

}  // namespace quiz
