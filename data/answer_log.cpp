#include "data/answer_log.h"

#include <array>
#include <filesystem>
#include <map>
#include <tuple>

#include "data/answer_format.h"
#include "toolkit/coding.h"
#include "toolkit/files.h"

namespace quiz {

namespace af = answer_format;

namespace {

uint64_t Fnv1a(uint64_t hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

void PutU64(char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint64_t GetU64(const char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}
uint8_t Byte(const char* p) { return static_cast<uint8_t>(*p); }

// Records k and k + 1 of one correction: the same moment, test and size.
bool SameCorrection(const AnswerRecord& a, const AnswerRecord& b) {
  return a.date == b.date && a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
         a.test_name == b.test_name && a.count == b.count;
}

}  // namespace

uint64_t QuestionHash(const Question& question) {
  uint64_t hash = Fnv1a(0xcbf29ce484222325ULL, question.question);
  hash = Fnv1a(hash, std::string_view("\0", 1));
  return Fnv1a(hash, question.answers[0]);
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
  r->date.year = GetU16(bytes + af::kYearOffset);
  r->date.month = Byte(bytes + af::kMonthOffset);
  r->date.day = Byte(bytes + af::kDayOffset);
  r->hour = Byte(bytes + af::kHourOffset);
  r->minute = Byte(bytes + af::kMinuteOffset);
  r->second = Byte(bytes + af::kSecondOffset);
  r->answer = bytes[af::kAnswerOffset];
  const uint8_t result = Byte(bytes + af::kResultOffset);
  r->position = Byte(bytes + af::kPositionOffset);
  r->count = Byte(bytes + af::kCountOffset);
  r->question = GetU16(bytes + af::kQuestionOffset);
  r->hash = GetU64(bytes + af::kHashOffset);
  const auto test_length = Byte(bytes + af::kTestNameOffset);
  const auto file_length = Byte(bytes + af::kFileNameOffset);
  if (test_length > af::kTestNameCapacity || file_length > af::kFileNameCapacity) return false;
  GetLString(bytes + af::kTestNameOffset, af::kTestNameCapacity, &r->test_name);
  GetLString(bytes + af::kFileNameOffset, af::kFileNameCapacity, &r->file_name);
  if (result > 2) return false;
  r->result = static_cast<AnswerResult>(result);
  const bool blank = r->answer == ' ';
  const bool letter = r->answer >= 'a' && r->answer <= 'd';
  return r->date.month >= 1 && r->date.month <= 12 && r->date.day >= 1 &&
         r->date.day <= DaysInMonth(r->date.month, r->date.year) && r->hour < 24 && r->minute < 60 &&
         r->second <= 60 && r->count >= 1 && r->position >= 1 && r->position <= r->count &&
         (blank || letter) && blank == (r->result == AnswerResult::kBlank) && r->question >= 1 &&
         Byte(bytes + af::kReservedOffset) == 0 && GetU16(bytes + af::kReserved2Offset) == 0;
}

Status AppendCorrection(const std::vector<AnswerRecord>& records, const std::string& name) {
  if (records.empty()) return Status::Ok();
  std::vector<char> bytes(records.size() * af::kRecordSize);
  for (size_t i = 0; i < records.size(); ++i) EncodeAnswerRecord(records[i], &bytes[i * af::kRecordSize]);
  RecordFile file;
  Status opened = file.Open(name, af::kRecordSize, RecordFile::Mode::kExisting);
  if (opened.code() == Status::Code::kNotFound) {
    // The first correction makes the log whole in one step: a kill leaves no log, or all of it.
    SafeWriter writer;
    QUIZ_RETURN_IF_ERROR(writer.Open(name));
    QUIZ_RETURN_IF_ERROR(writer.Append(std::string_view(bytes.data(), bytes.size())));
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

std::vector<Correction> CorrectionsOf(const char* bytes, size_t size) {
  std::vector<Correction> corrections;
  Correction current;
  for (size_t at = 0; at + af::kRecordSize <= size; at += af::kRecordSize) {
    AnswerRecord r;
    const bool valid = DecodeAnswerRecord(bytes + at, &r);
    const bool follows = valid && !current.answers.empty() && r.position == current.answers.size() + 1 &&
                         SameCorrection(current.answers.back(), r);
    if (!follows) current.answers.clear();
    // A record that does not follow starts a correction only at its first question.
    if (follows || (valid && r.position == 1)) current.answers.push_back(std::move(r));
    if (!current.answers.empty() && current.answers.size() == current.answers.front().count) {
      corrections.push_back(std::move(current));
      current = Correction{};
    }
  }
  return corrections;
}

Status ReadAnswerLog(std::vector<Correction>* corrections, const std::string& name) {
  corrections->clear();
  RecordFile file;
  const Status opened = file.Open(name, af::kRecordSize, RecordFile::Mode::kReadOnly);
  if (opened.code() == Status::Code::kNotFound) return Status::Ok();
  QUIZ_RETURN_IF_ERROR(opened);
  uint64_t count = 0;
  QUIZ_RETURN_IF_ERROR(file.Count(&count));
  std::vector<char> bytes(count * af::kRecordSize);
  QUIZ_RETURN_IF_ERROR(file.Read(0, count, bytes.data()));
  *corrections = CorrectionsOf(bytes.data(), bytes.size());
  return Status::Ok();
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
