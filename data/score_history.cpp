#include "data/score_history.h"

#include <array>

#include "data/score_format.h"
#include "toolkit/coding.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {

namespace sf = score_format;

double ScoreRecord::NetScore() const { return correct - errors * penalty; }

int ScoreRecord::Unanswered() const {
  return static_cast<int>(question_count) - static_cast<int>(correct) - static_cast<int>(errors);
}

bool ScoreRecord::Percentage(double* percent) const {
  if (question_count == 0) return false;
  *percent = NetScore() / question_count * 100;
  return true;
}

void EncodeScoreRecord(const ScoreRecord& r, char* b) {
  std::fill(b, b + sf::kRecordSize, '\0');
  PutU16(b + sf::kDayOffset, r.date.day);
  PutU16(b + sf::kMonthOffset, r.date.month);
  PutU16(b + sf::kYearOffset, r.date.year);
  PutLString(b + sf::kTestNameOffset, sf::kTestNameCapacity, r.test_name);
  PutU16(b + sf::kQuestionCountOffset, r.question_count);
  PutU16(b + sf::kCorrectOffset, r.correct);
  PutU16(b + sf::kErrorsOffset, r.errors);
  PutF64(b + sf::kPenaltyOffset, r.penalty);
}

ScoreRecord DecodeScoreRecord(const char* b) {
  ScoreRecord r;
  r.date = {GetU16(b + sf::kDayOffset), GetU16(b + sf::kMonthOffset), GetU16(b + sf::kYearOffset)};
  r.test_name = GetLString(b + sf::kTestNameOffset, sf::kTestNameCapacity);
  r.question_count = GetU16(b + sf::kQuestionCountOffset);
  r.correct = GetU16(b + sf::kCorrectOffset);
  r.errors = GetU16(b + sf::kErrorsOffset);
  r.penalty = GetF64(b + sf::kPenaltyOffset);
  return r;
}

ScoreRecord BuildScoreRecord(const Date& date, const std::string& test_name,
                             uint16_t question_count, uint16_t correct, uint16_t errors,
                             int penalty_denominator) {
  ScoreRecord r;
  r.date = date;
  r.test_name = CutText(test_name, sf::kTestNameCapacity);
  r.question_count = question_count;
  r.correct = correct;
  r.errors = errors;
  r.penalty = penalty_denominator > 0 ? 1.0 / penalty_denominator : 0.0;
  return r;
}

std::string ConfirmScoreCaption(const ScoreRecord& r) { return "Resultat " + r.test_name; }

std::string ConfirmScoreText(const ScoreRecord& r) {
  std::string text = "encerts: " + IntToText(r.correct) + "    errors: " + IntToText(r.errors) +
                     "     NC: " + IntToText(r.Unanswered()) + "\r\n\r\n" + " = " +
                     RealToText(r.NetScore(), 4, 2) + " / " + IntToText(r.question_count);
  double percent = 0;
  if (r.Percentage(&percent)) text += "    => " + RealToText(percent, 4, 1) + "% ";
  return text + "\r\n\r\n" + W("   Registrar puntuació?");
}

std::string ScoreHistoryLine(const ScoreRecord& r) {
  std::string line = DateToText(r.date) + "  " + r.test_name + " " + RealToText(r.NetScore(), 5, 2) +
                     " / " + IntToText(r.question_count);
  double percent = 0;
  if (r.Percentage(&percent)) line += " (" + RealToText(percent, 4, 23) + "%)";
  return line;
}

Status RegisterScore(const ScoreRecord& record, const std::string& name) {
  RecordFile file;
  QUIZ_RETURN_IF_ERROR(OpenRecordFile(name, sf::kRecordSize, &file));
  std::array<char, sf::kRecordSize> bytes;
  EncodeScoreRecord(record, bytes.data());
  QUIZ_RETURN_IF_ERROR(file.Append(1, bytes.data()));
  return file.Sync();
}

Status ReadScoreHistory(std::vector<ScoreRecord>* records, const std::string& name, bool create) {
  records->clear();
  RecordFile file;
  Status opened = file.Open(name, sf::kRecordSize, RecordFile::Mode::kReadOnly);
  if (opened.code() == Status::Code::kNotFound) {
    // The history starts here; where it cannot be made (a read-only folder) there is nothing
    // to list either.
    if (create) (void)file.Open(name, sf::kRecordSize, RecordFile::Mode::kCreate);
    return Status::Ok();
  }
  QUIZ_RETURN_IF_ERROR(opened);
  uint64_t count = 0;
  QUIZ_RETURN_IF_ERROR(file.Count(&count));
  count = std::min<uint64_t>(count, UINT16_MAX);
  std::vector<char> bytes(count * sf::kRecordSize);
  QUIZ_RETURN_IF_ERROR(file.Read(0, count, bytes.data()));
  records->reserve(count);
  for (uint64_t i = 0; i < count; ++i) records->push_back(DecodeScoreRecord(&bytes[i * sf::kRecordSize]));
  return Status::Ok();
}

Status ScoreHistoryLines(TextList* lines, const std::string& name, size_t most) {
  TextListClear(*lines);
  std::vector<ScoreRecord> records;
  QUIZ_RETURN_IF_ERROR(ReadScoreHistory(&records, name));
  const size_t first = records.size() > most ? records.size() - most : 0;
  for (size_t i = first; i < records.size(); ++i) TextListAdd(*lines, ScoreHistoryLine(records[i]));
  return Status::Ok();
}

}  // namespace quiz
