#pragma once
// What the answer log tells: the results of each topic, a past result under another penalty, the
// chance of each question in a review test, and each topic's weekly progress.

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/answer_log.h"
#include "data/generated_tests.h"
#include "data/score_history.h"
#include "data/topic_index.h"
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
// The same over the whole log.
Status ReadTallyByTopic(std::vector<TopicTally>* tallies, const std::string& log = kAnswerLogName,
                        const LogSplit& split = {});

// One line of the table of results by topic: title, right, wrong, blank, percentage.
std::string TopicTallyLine(const std::string& title, const TopicTally& tally);

// The penalties a result can be scored again with, as the runner offers them: 0, 1, 1/2 .. 1/9.
inline constexpr int kRescorePenalties[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
// The result's score under each of those penalties, one line each, the history untouched.
TextList RescoreLines(const ScoreRecord& score);

// A question that a review test may draw.
struct ReviewCandidate {
  TestItem item;
  std::string file_name;
  uint64_t hash = 0;
};

// How strongly a review test draws each question: weight = 1 + 3 x e + s, where
//  - e, the recent errors, goes up by 1 for each wrong or blank answer and is halved by each
//    right one, in the order of the log;
//  - s, for questions not seen for long: 2 for a question never answered, else the days since
//    its last answer / 30, at most 2.
// A question is known by its file (letter case aside) and its hash: log records whose question is
// no longer stored match nothing and count for nothing.
class ReviewWeights {
 public:
  // Nothing seen yet: Read gives it the log's corrections.
  explicit ReviewWeights(const Date& today);
  ReviewWeights(const std::vector<Correction>& corrections, const Date& today);
  ~ReviewWeights();
  ReviewWeights(ReviewWeights&&) noexcept;
  ReviewWeights& operator=(ReviewWeights&&) noexcept;
  // Adds every correction of the log, in order, walked on as many threads as it is worth.
  Status Read(const std::string& log = kAnswerLogName, const LogSplit& split = {});
  double Of(const std::string& file_name, uint64_t hash) const;
  // The weight of each candidate, in order.
  std::vector<double> For(const std::vector<ReviewCandidate>& candidates) const;

 private:
  friend class TopicNumbers;  // which keeps each file's salt
  // Open addressing over the (file, hash) keys; key 0 marks a free slot.
  struct Seen {
    uint64_t key = 0;
    float errors = 0;
    // Bits 0..23: the last day it was answered, counted from 1970-01-01 (days before count as
    // that one). Bits 24..31: its right answers since the walk began, at most 255: what halves
    // the errors of an earlier walk.
    uint32_t last = 0;
    static constexpr uint32_t kDays = 0xFFFFFF;
    int32_t last_day() const { return static_cast<int32_t>(last & kDays); }
    uint32_t rights() const { return last >> 24; }
  };
  // One whole correction of the log (its records' bytes).
  void Add(const char* records, size_t count);
  // What a walk of the corrections that come after all those seen here saw (settled).
  void Merge(const ReviewWeights& later);
  // A file's part of its questions' keys, from the FNV-1a of its upper-cased name.
  static uint64_t Salt(uint64_t name_hash);
  // The question's slot key: never 0, its low bits as good as any.
  static uint64_t Key(uint64_t salt, uint64_t hash);
  void Reserve(size_t more);
  Seen* Probe(uint64_t key);
  const Seen* Find(uint64_t key) const;
  double WeightOf(const Seen* seen) const;
  std::vector<Seen> seen_;
  size_t used_ = 0;
  size_t expected_ = 0;  // the questions that the first correction added makes room for
  int32_t today_;
  std::unique_ptr<class TopicNumbers> topics_;
};

// Draws `n` (at most all) of the candidates without putting any back: at each step each one not
// drawn yet comes with a chance proportional to its weight.
std::vector<TestItem> DrawWeighted(const std::vector<ReviewCandidate>& candidates,
                                   const std::vector<double>& weights, uint32_t n, std::mt19937* random);

// Every question of the topics numbered `topics` in `index`, each with its file and hash. A topic
// whose file is missing has none.
Status ReviewCandidates(TopicIndex* index, const std::vector<uint16_t>& topics,
                        std::vector<ReviewCandidate>* candidates);
// A review test of `n` questions (at most all) over those topics, drawn with the weights the log
// gives them on `today`.
Status DrawReviewTest(TopicIndex* index, const std::vector<uint16_t>& topics, uint32_t n, const Date& today,
                      std::mt19937* random, std::vector<TestItem>* items, const std::string& log = kAnswerLogName);

// Days from 1 January 1970, and back; the Monday on or before a date.
int32_t DayNumber(const Date& date);
Date DateOfDayNumber(int32_t n);
Date MondayOf(const Date& date);

// Each topic's share of right answers per week (the point on the week's Monday), one series per
// topic named by `title_of` (its file name when that gives nothing).
DatedChart TopicProgressChart(const std::vector<Correction>& corrections,
                              const std::function<std::string(const std::string& file_name)>& title_of);

// The window titles and texts of these views.
inline constexpr char kTopicResultsTitle[] = "Resultats per tema";
std::string RescoreTitle();  // "Recalcular amb penalització..."
// Said for a result whose answers the log does not hold.
std::string NoAnswersToRescore();

// The lines of "Resultats per tema" for `answers`: each topic by its title in `index` (its file's
// name when the index has no topic with that file).
TextList TopicResultLines(const std::vector<AnswerRecord>& answers, TopicIndex* index);

// The result on line `picked` (from 1) of the history list, which shows the last `most` results,
// scored again under every penalty. `lines` stays empty when the log holds no answers for it (a
// result registered before the log, or with its answers lost).
Status RescoreHistoryLine(int picked, size_t most, TextList* lines, const std::string& history = kScoreHistoryName,
                          const std::string& log = kAnswerLogName);

// The weekly progress of each topic in the log, titled from `index`. The log is only read.
Status ReadTopicProgressChart(DatedChart* chart, TopicIndex* index, const std::string& log = kAnswerLogName,
                              const LogSplit& split = {});

}  // namespace quiz
