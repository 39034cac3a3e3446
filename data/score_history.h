#pragma once
// The score history, Punts.rel: one record per registered test result, only ever appended.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/dates.h"
#include "toolkit/status.h"
#include "toolkit/text_list.h"

namespace quiz {

inline constexpr char kScoreHistoryName[] = "Punts.rel";
inline constexpr char kScoreHistoryTitle[] = "Puntuacions Velmor";

struct ScoreRecord {
  Date date;
  std::string test_name;  // at most 30
  uint16_t question_count = 0;
  uint16_t correct = 0;
  uint16_t errors = 0;
  double penalty = 0.0;  // 1/n for a penalty denominator n >= 1, 0 for n = 0
  bool operator==(const ScoreRecord&) const = default;

  // correct - errors * penalty
  double NetScore() const;
  // question count - correct - errors
  int Unanswered() const;
  // net score / question count * 100; false, and no percentage, for a test of no questions.
  bool Percentage(double* percent) const;
};

void EncodeScoreRecord(const ScoreRecord& record, char* bytes);
ScoreRecord DecodeScoreRecord(const char* bytes);

// A record for the result of a test: the name cut to 30, the penalty fraction from its
// denominator.
ScoreRecord BuildScoreRecord(const Date& date, const std::string& test_name,
                             uint16_t question_count, uint16_t correct, uint16_t errors,
                             int penalty_denominator);

// The question asked before registering: caption "Resultat <test name>" and the text with the
// counts, the net score and the percentage, ending "Registrar puntuació?".
std::string ConfirmScoreCaption(const ScoreRecord& record);
std::string ConfirmScoreText(const ScoreRecord& record);

// One line of the history list: date, name, net score / question count and the percentage.
std::string ScoreHistoryLine(const ScoreRecord& record);

// Appends the record to the history (created when absent) and flushes it to disk.
Status RegisterScore(const ScoreRecord& record, const std::string& name = kScoreHistoryName);
// Every record in registration order. The history is only read; an absent one lists nothing and
// is created empty where the folder allows it, unless `create` is false.
Status ReadScoreHistory(std::vector<ScoreRecord>* records,
                        const std::string& name = kScoreHistoryName, bool create = true);
// The history's lines for the list viewer: the most recent `most` of them.
Status ScoreHistoryLines(TextList* lines, const std::string& name = kScoreHistoryName,
                         size_t most = SIZE_MAX);

}  // namespace quiz
