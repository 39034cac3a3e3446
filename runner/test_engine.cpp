#include "runner/test_engine.h"

#include "data/answer_format.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/score_history.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return std::string();
  return buffer.data();
}

}  // namespace

bool ReadPenalty(std::string_view text, int* denominator) {
  std::string_view kept = text;
  if (const size_t slash = text.find('/'); slash != std::string_view::npos) {
    kept = text.substr(slash + 1, 1);
  }
  if (kept.empty() || !std::isdigit(static_cast<unsigned char>(kept[0]))) return false;
  int32_t d = 0;
  if (!ParseInt(TrimRight(kept), &d)) return false;
  *denominator = d;
  return true;
}

TestEngine::TestEngine(RunnerScreen* screen, const Date& day, uint32_t seed, TimeSource now)
    : screen_(screen), day_(day), random_(seed), now_(std::move(now)),
      start_dir_(CurrentDirectory()) {}

bool TestEngine::LoadTest(const std::string& path, const std::string& title) {
  return Load(path, title, /*repeat=*/false);
}

void TestEngine::Repeat() { Load(test_path_, title_, /*repeat=*/true); }

bool TestEngine::Load(const std::string& path, const std::string& title, bool repeat) {
  // Paths are relative to the folder the runner started in, whatever a dialog did since.
  if (!start_dir_.empty() && ::chdir(start_dir_.c_str()) != 0) {
    // The folder went away; the paths are then tried where we are.
  }
  if (path.empty()) {
    test_name_.clear();
    ShowLoaded();
    return false;
  }

  // The test file first, then the topic index, then the file's lines against the index.
  std::string bytes;
  if (const Status status = ReadWholeFile(path, &bytes); !status.ok()) {
    screen_->Message(status.caption(), status.text(), kMbOk | kMbIconExclamation);
    return false;
  }
  // An index kept open since an earlier load may have been replaced or grown by the manager.
  if (index_.is_open() && !index_.Refresh().ok()) index_.Close();
  if (!index_.is_open()) {
    if (const Status opened = index_.OpenForReading(kRunnerTopicIndexName); !opened.ok()) {
      // Without the index no question can be shown: the runner is left with none. An index that
      // is there but cannot be read yet (a change of another program left part-way) says why.
      const bool there = opened.code() == Status::Code::kCorrupt || opened.code() == Status::Code::kBusy;
      screen_->Message(there ? opened.caption() : W("No s'ha trobat els arxius de qüestions"),
                       there ? opened.text() : kRunnerTopicIndexName, kMbOk);
      items_.clear();
      count_ = 0;
      test_name_.clear();
      ShowLoaded();
      screen_->SetCorrectionButton(false, "Corregir");
      return false;
    }
  }
  std::vector<TestItem> read;
  if (const Status status = ParseTestFile(bytes, path, &read); !status.ok()) {
    screen_->Message(status.caption(), status.text(), kMbOk | kMbIconExclamation);
    return false;
  }
  for (const TestItem& t : read) {
    if (const Status status = index_.Lookup(t.topic); !status.ok()) {
      screen_->Message(status.caption(), status.text(), kMbOk);
      items_ = good_items_;
      count_ = good_count_;
      return false;
    }
  }

  const size_t used = std::min<size_t>(read.size(), kSheetQuestions);
  items_.assign(used, RunnerItem{});
  for (size_t i = 0; i < used; ++i) {
    items_[i].topic = read[i].topic;
    items_[i].question = read[i].question;
    DrawAnswerOrder(&items_[i]);
  }
  count_ = static_cast<uint16_t>(used);
  good_items_ = items_;
  good_count_ = count_;

  test_path_ = path;
  title_ = title;
  test_name_ = path.substr(LastPos('\\', path));
  screen_->SetWindowTitle("Test " + test_name_ + "  (" + IntToText(count_) + W(" qüestions)"));
  screen_->SetCorrectionButton(true, "Corregir");
  ShowLoaded();
  if (read.size() > kSheetQuestions && !repeat) {
    screen_->Message(W("Test massa llarg"),
                     W("Aquest test té ") + IntToText(static_cast<int32_t>(read.size())) +
                         W(" qüestions i el full de respostes en té 50: només es faran les 50 "
                           "primeres."),
                     kMbOk | kMbIconInformation);
  }
  return true;
}

// Clears the marks and shows the test from its first question, not corrected.
void TestEngine::ShowLoaded() {
  read_failure_shown_ = false;
  marks_.fill(0);
  results_.fill(QuestionResult::kUnanswered);
  screen_->DrawHeader();
  screen_->DrawSheet();
  screen_->ResetScroll(count_);
  corrected_ = false;
  answers_.clear();
  screen_->DrawQuestions();
}

void TestEngine::DrawAnswerOrder(RunnerItem* item) {
  std::uniform_int_distribution<int> letter(1, 4);
  std::array<bool, 5> used{};
  for (uint16_t& position : item->order) {
    int r;
    do {
      r = letter(random_);
    } while (used[static_cast<size_t>(r)]);
    used[static_cast<size_t>(r)] = true;
    position = static_cast<uint16_t>(r);
  }
}

uint16_t TestEngine::AnswerAt(uint16_t k, uint16_t position) const {
  const auto& order = item(k).order;
  const auto it = std::find(order.begin(), order.end(), position);
  return static_cast<uint16_t>(it - order.begin() + 1);
}

bool TestEngine::Mark(uint16_t question, uint16_t position) {
  if (question < 1 || question > count_ || position < 1 || position > 4) return false;
  uint16_t& mark = marks_[question - 1];
  if (mark != 0 && mark != position) {
    screen_->Message(W("només una resposta "), W("cal treure abans la marca de l'altra"),
                     kMbOk | kMbIconExclamation);
    return false;
  }
  mark = (mark == position) ? 0 : position;
  screen_->DrawBubble(question, position, mark != 0);
  return true;
}

void TestEngine::StartClock(const std::string& time_text) {
  if (!opened_) {
    screen_->Message(W("Res a començar"), "No hom ha obert cap test", kMbOk);
    return;
  }
  int32_t minutes = 0;
  // Minutes are kept in 16 bits; a negative time is no time limit either.
  if (!ItemTextToInt(time_text, &minutes) || minutes < 0 || minutes > UINT16_MAX) {
    screen_->Message(W("Temps no vàlid"), W("Cal un valor numèric"), kMbOk | kMbIconExclamation);
    return;
  }
  time_limit_ = static_cast<uint16_t>(minutes);
  limit_ = ClockValue::FromSeconds(static_cast<uint32_t>(minutes) * 60);
  const ClockValue now = Now();
  if (!running_) {
    end_ = ClockValue::FromSeconds(now.ToSeconds() + limit_.ToSeconds());
    screen_->SetEndText(end_.Text().substr(0, 5));
  }
  start_ = now;
  running_ = true;
}

void TestEngine::Tick() {
  if (!running_) return;
  const ClockValue elapsed = Elapsed(start_, Now());
  screen_->SetElapsedText(elapsed.Text());
  if (elapsed.ToSeconds() >= limit_.ToSeconds()) {
    running_ = false;
    screen_->Message("temps exhaurit", elapsed.Text(), kMbOk);
  }
}

uint32_t TestEngine::remaining_seconds() const {
  if (!running_) return 0;
  const uint32_t elapsed = Elapsed(start_, Now()).ToSeconds();
  return elapsed >= limit_.ToSeconds() ? 0 : limit_.ToSeconds() - elapsed;
}

void TestEngine::ResetClock() {
  screen_->SetElapsedText("");
  screen_->SetEndText("");
  screen_->SetTimeText(IntToText(time_limit_));
  screen_->ShowStartButton();
  running_ = false;
}

void TestEngine::PressCorrectionButton(const std::string& penalty_text) {
  if (corrected_) {
    Repeat();
  } else {
    Correct(penalty_text);
  }
}

void TestEngine::Correct(const std::string& penalty_text) {
  int d = 0;
  if (!ReadPenalty(penalty_text, &d)) {
    screen_->Message(W("Penalització no vàlida"), W(" Només fraccions 1/2..1/9, 0 o 1"), kMbOk);
    return;
  }
  penalty_ = d;
  corrected_ = true;
  screen_->SetCorrectionButton(true, "Repetir");

  hits_ = 0;
  errors_ = 0;
  for (uint16_t q = 1; q <= count_; ++q) {
    QuestionResult& result = results_[q - 1];
    if (marks_[q - 1] == 0) {
      result = QuestionResult::kUnanswered;
    } else if (marks_[q - 1] == CorrectPosition(q)) {
      result = QuestionResult::kRight;
      ++hits_;
    } else {
      result = QuestionResult::kWrong;
      ++errors_;
    }
  }
  answers_ = AnswersOfCorrection();
  screen_->DrawSolutions();
  screen_->ShowFromFirstQuestion();
  screen_->DrawQuestions();

  const ScoreRecord record = BuildScoreRecord(day_, test_name_, count_, hits_, errors_, d);
  const int answer = screen_->Message(ConfirmScoreCaption(record), ConfirmScoreText(record),
                                      kMbYesNoCancel | kMbIconInformation);
  if (answer != kIdYes) return;
  if (const Status status = RegisterScore(record); !status.ok()) {
    screen_->Message(status.caption(), status.text(), kMbOk | kMbIconStop);
    return;
  }
  // Beside the score, every answer; the score stands without them.
  if (const Status status = AppendCorrection(answers_); !status.ok()) {
    screen_->Message(status.caption(), status.text(), kMbOk | kMbIconExclamation);
  }
}

std::vector<AnswerRecord> TestEngine::AnswersOfCorrection() const {
  const TimeOfDay now = now_();
  std::vector<AnswerRecord> answers;
  for (uint16_t k = 1; k <= count_; ++k) {
    AnswerRecord a;
    a.date = day_;
    a.hour = static_cast<uint8_t>(now.hours);
    a.minute = static_cast<uint8_t>(now.minutes);
    a.second = static_cast<uint8_t>(now.seconds);
    a.test_name = CutText(test_name_, answer_format::kTestNameCapacity);
    // A question that cannot be read now keeps a hash of nothing, which no stored question has.
    TopicEntry entry;
    if (index_.is_open() && index_.Read(item(k).topic, &entry).ok()) a.file_name = entry.file_name;
    Question q;
    if (ReadQuestion(k, &q).ok()) a.hash = QuestionHash(q);
    a.question = item(k).question;
    const uint16_t mark = marks_[k - 1];
    a.answer = mark == 0 ? ' ' : static_cast<char>('a' + mark - 1);
    a.result = static_cast<AnswerResult>(results_[k - 1]);
    a.position = static_cast<uint8_t>(k);
    a.count = static_cast<uint8_t>(count_);
    answers.push_back(std::move(a));
  }
  return answers;
}

Status TestEngine::ReadQuestion(uint16_t k, Question* q) const {
  *q = Question{};
  if (k < 1 || k > count_ || !index_.is_open()) return Status::Ok();
  TopicEntry entry;
  QUIZ_RETURN_IF_ERROR(index_.Read(item(k).topic, &entry));
  QuestionFile file;
  QUIZ_RETURN_IF_ERROR(file.Open(entry, QuestionFile::Access::kRead));
  return file.Read(item(k).question, q);
}

Question TestEngine::ShownQuestion(uint16_t k) {
  Question q;
  if (const Status status = ReadQuestion(k, &q); !status.ok()) {
    q = Question{};
    if (!read_failure_shown_) {
      read_failure_shown_ = true;
      screen_->Message(status.caption(), status.text(), kMbOk | kMbIconExclamation);
    }
  }
  return q;
}

}  // namespace quiz
