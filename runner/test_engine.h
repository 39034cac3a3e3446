#pragma once
// The runner's engine: the test being taken, the random order of its answers, the marks, the
// clock against the time limit, the correction with its penalty and the score it hands to the
// history. The runner's window shows this state and turns clicks and commands into calls here.

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "data/answer_log.h"
#include "data/question_format.h"
#include "data/topic_index.h"
#include "runner/clock.h"
#include "runner/runner_screen.h"
#include "toolkit/dates.h"
#include "toolkit/status.h"

namespace quiz {

// The answer sheet has 50 rows: a longer test is taken on its first 50 questions.
inline constexpr uint16_t kSheetQuestions = 50;
inline constexpr uint16_t kDefaultTimeLimit = 30;  // minutes
inline constexpr int kDefaultPenalty = 4;          // a wrong answer costs 1/4

struct RunnerItem {
  uint16_t topic = 0;     // 1..255
  uint16_t question = 0;  // as written in the test file
  // order[j - 1] is the letter position (1 = a .. 4 = d) at which answer j is shown. Answer 1 is
  // the correct one.
  std::array<uint16_t, 4> order{};
  bool operator==(const RunnerItem&) const = default;
};

// The letter of a letter position: "a" for 1 .. "d" for 4.
inline std::string AnswerLetter(int position) { return std::string(1, static_cast<char>('a' + position - 1)); }

enum class QuestionResult : uint8_t { kUnanswered = 0, kRight = 1, kWrong = 2 };

// Reads the penalty box: with a "/", only the one character after the first "/" counts; the
// text kept must be a whole number that starts with a digit. "1/4" gives 4, "1/10" gives 1,
// "1/0" and "0" give 0 (no penalty), "1" gives 1. False for anything else.
bool ReadPenalty(std::string_view text, int* denominator);

class TestEngine {
 public:
  // `day` is the date the runner started on, used for every score; `seed` seeds the answer
  // orders once; `now` gives the time of day to the clock.
  TestEngine(RunnerScreen* screen, const Date& day, uint32_t seed,
             TimeSource now = SystemTimeOfDay);

  // Loads a generated test file ("Generats\<name>.tgn"). An empty path loads nothing and only
  // clears the marks and the screen. `title` is the header's title once the test is loaded. A
  // test that cannot be read, or names a topic beyond the topic index, leaves the test that was
  // there; a missing topic index leaves no test. False when nothing new was loaded.
  bool LoadTest(const std::string& path, const std::string& title = "Tema: ");
  // The correction button: Correct before the correction, Repeat after it.
  void PressCorrectionButton(const std::string& penalty_text);
  void Correct(const std::string& penalty_text);
  // Loads the same test again, with new answer orders.
  void Repeat();

  // Sets or clears the mark of `question` at letter `position` (1..4); refuses a second mark.
  // True when the mark changed.
  bool Mark(uint16_t question, uint16_t position);

  // The ">>" button with the text of the time box (minutes).
  void StartClock(const std::string& time_text);
  // Every 500 ms.
  void Tick();
  void ResetClock();

  // The opened flag: a test chosen from the list of generated tests. Required by the clock.
  bool opened() const { return opened_; }
  void set_opened(bool opened) { opened_ = opened; }

  uint16_t count() const { return count_; }
  const RunnerItem& item(uint16_t k) const { return items_.at(k - 1u); }
  // The answer (1..4) shown at letter `position` of question k.
  uint16_t AnswerAt(uint16_t k, uint16_t position) const;
  // The letter position of question k's correct answer.
  uint16_t CorrectPosition(uint16_t k) const { return item(k).order[0]; }
  uint16_t mark(uint16_t k) const { return marks_[k - 1]; }
  QuestionResult result(uint16_t k) const { return results_[k - 1]; }
  uint16_t hits() const { return hits_; }
  uint16_t errors() const { return errors_; }
  bool corrected() const { return corrected_; }
  bool running() const { return running_; }
  // The seconds left before the time is up; 0 when the clock is not running.
  uint32_t remaining_seconds() const;
  const std::string& test_path() const { return test_path_; }
  const std::string& test_name() const { return test_name_; }
  const std::string& title() const { return title_; }
  uint16_t time_limit() const { return time_limit_; }
  int penalty_denominator() const { return penalty_; }
  // The answers of the last correction, one per question, as the answer log keeps them; empty
  // before a correction.
  const std::vector<AnswerRecord>& answers() const { return answers_; }
  // The topic index the test's questions are read through.
  TopicIndex* topic_index() { return &index_; }

  // Question k of the test, read from its topic's question file (opened for reading only); an
  // empty question when the topic index is not open.
  Status ReadQuestion(uint16_t k, Question* q) const;
  // Question k for the screen: as ReadQuestion, but the first failure after each load is shown
  // to the user (the file and the reason), and the question is then empty.
  Question ShownQuestion(uint16_t k);

 private:
  bool Load(const std::string& path, const std::string& title, bool repeat);
  void ShowLoaded();
  void DrawAnswerOrder(RunnerItem* item);
  // The answer log's records of the correction just made.
  std::vector<AnswerRecord> AnswersOfCorrection() const;
  ClockValue Now() const { return ClockFromTimeOfDay(now_()); }

  RunnerScreen* screen_;
  Date day_;
  std::mt19937 random_;
  TimeSource now_;
  std::string start_dir_;

  TopicIndex index_;
  std::vector<RunnerItem> items_;
  uint16_t count_ = 0;
  std::vector<RunnerItem> good_items_;  // the last test loaded whole
  uint16_t good_count_ = 0;
  std::array<uint16_t, kSheetQuestions> marks_{};
  std::array<QuestionResult, kSheetQuestions> results_{};
  uint16_t hits_ = 0;
  uint16_t errors_ = 0;
  std::vector<AnswerRecord> answers_;
  std::string test_path_;
  std::string test_name_;
  std::string title_ = "Tema: ";
  bool opened_ = false;
  bool corrected_ = false;
  bool read_failure_shown_ = false;  // since the last load

  bool running_ = false;
  uint16_t time_limit_ = kDefaultTimeLimit;
  int penalty_ = kDefaultPenalty;
  ClockValue start_, limit_, end_;
};

}  // namespace quiz
