#pragma once
// What the answer log tells: the results of each topic, a past result under another penalty, the
// chance of each question in a review test, and each topic's weekly progress.

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/answer_log.h"
#include "data/generated_tests.h"
#include "data/score_history.h"
#include "toolkit/dated_chart.h"
#include "toolkit/dates.h"
#include "toolkit/text_list.h"

namespace quiz {

// The answers given to one topic's questions.
struct TopicTally {
  std::string file_name;
  uint32_t right = 0, wrong = 0, blank = 0;
  uint32_t total() const { return right + wrong + blank; }
  // Right answers per hundred questions; 0 for none.
  double percent() const { return total() == 0 ? 0 : 100.0 * right / total(); }
  bool operator==(const TopicTally&) const = default;
};
// Per topic (its question file, letter case aside), in the order the topics first come.
std::vector<TopicTally> TallyByTopic(const std::vector<AnswerRecord>& answers);

// One line of the table of results by topic: title, right, wrong, blank, percentage.
std::string TopicTallyLine(const std::string& title, const TopicTally& tally);

// The penalties a result can be scored again with, as the runner offers them: 0, 1, 1/2 .. 1/9.
inline constexpr int kRescorePenalties[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
// The result's score under each of those penalties, one line each, the history untouched.
TextList RescoreLines(const ScoreRecord& score);

// How strongly a review test draws each question: weight = 1 + 3 x e + s, where
//  - e, the recent errors, goes up by 1 for each wrong or blank answer and is halved by each
//    right one, in the order of the log;
//  - s, for questions not seen for long: 2 for a question never answered, else the days since
//    its last answer / 30, at most 2.
// A question is known by its file (letter case aside) and its hash: log records whose question is
// no longer stored match nothing and count for nothing.
class ReviewWeights {
 public:
  ReviewWeights(const std::vector<Correction>& corrections, const Date& today);
  double Of(const std::string& file_name, uint64_t hash) const;

 private:
  struct Seen {
    double errors = 0;
    int32_t last_day = 0;
  };
  static uint64_t Key(uint64_t name_hash, uint64_t hash);
  std::unordered_map<uint64_t, Seen> seen_;
  int32_t today_;
};

// A question that a review test may draw.
struct ReviewCandidate {
  TestItem item;
  std::string file_name;
  uint64_t hash = 0;
};

// Draws `n` (at most all) of the candidates without putting any back: at each step each one not
// drawn yet comes with a chance proportional to its weight.
std::vector<TestItem> DrawWeighted(const std::vector<ReviewCandidate>& candidates,
                                   const std::vector<double>& weights, uint32_t n, std::mt19937* random);

// Days from 1 January 1970, and back; the Monday on or before a date.
int32_t DayNumber(const Date& date);
Date DateOfDayNumber(int32_t n);
Date MondayOf(const Date& date);

// Each topic's share of right answers per week (the point on the week's Monday), one series per
// topic named by `title_of` (its file name when that gives nothing).
DatedChart TopicProgressChart(const std::vector<Correction>& corrections,
                              const std::function<std::string(const std::string& file_name)>& title_of);

}  // namespace quiz
