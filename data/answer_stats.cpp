#include "data/answer_stats.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "data/question_file.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

namespace {

constexpr double kErrorWeight = 3;
constexpr double kMostStale = 2;
constexpr double kStaleDays = 30;

uint64_t NameHash(const std::string& file_name) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : UpperCat(file_name)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string PenaltyText(int d) { return d <= 1 ? IntToText(d) : "1/" + IntToText(d); }

}  // namespace

std::vector<TopicTally> TallyByTopic(const std::vector<AnswerRecord>& answers) {
  std::vector<TopicTally> tallies;
  std::map<std::string, size_t> at;  // upper-cased file name -> place in tallies
  for (const AnswerRecord& a : answers) {
    const auto [it, added] = at.emplace(UpperCat(a.file_name), tallies.size());
    if (added) tallies.push_back({a.file_name});
    TopicTally& t = tallies[it->second];
    switch (a.result) {
      case AnswerResult::kRight: ++t.right; break;
      case AnswerResult::kWrong: ++t.wrong; break;
      case AnswerResult::kBlank: ++t.blank; break;
    }
  }
  return tallies;
}

std::string TopicTallyLine(const std::string& title, const TopicTally& t) {
  return title + W(":  bé ") + IntToText(static_cast<int32_t>(t.right)) + "  malament " +
         IntToText(static_cast<int32_t>(t.wrong)) + "  en blanc " + IntToText(static_cast<int32_t>(t.blank)) +
         "  (" + RealToText(t.percent(), 4, 1) + "%)";
}

TextList RescoreLines(const ScoreRecord& score) {
  TextList lines;
  for (const int d : kRescorePenalties) {
    const ScoreRecord again =
        BuildScoreRecord(score.date, score.test_name, score.question_count, score.correct, score.errors, d);
    std::string line = W("Penalització ") + PenaltyText(d) + ": " + RealToText(again.NetScore(), 5, 2) + " / " +
                       IntToText(score.question_count);
    double percent = 0;
    if (again.Percentage(&percent)) line += " (" + RealToText(percent, 4, 1) + "%)";
    if (again.penalty == score.penalty) line += "  <- la registrada";
    TextListAdd(lines, line);
  }
  return lines;
}

int32_t DayNumber(const Date& date) {
  using namespace std::chrono;
  const year_month_day ymd{year(date.year), month(date.month), day(date.day)};
  return static_cast<int32_t>(sys_days(ymd).time_since_epoch().count());
}

Date DateOfDayNumber(int32_t n) {
  const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days(n)}};
  return {static_cast<uint16_t>(static_cast<unsigned>(ymd.day())),
          static_cast<uint16_t>(static_cast<unsigned>(ymd.month())), static_cast<uint16_t>(static_cast<int>(ymd.year()))};
}

Date MondayOf(const Date& date) {
  using namespace std::chrono;
  const sys_days days{std::chrono::days(DayNumber(date))};
  return DateOfDayNumber(static_cast<int32_t>((days - (weekday(days) - Monday)).time_since_epoch().count()));
}

uint64_t ReviewWeights::Key(uint64_t name_hash, uint64_t hash) { return name_hash * 0x9E3779B97F4A7C15ULL ^ hash; }

ReviewWeights::ReviewWeights(const std::vector<Correction>& corrections, const Date& today)
    : today_(DayNumber(today)) {
  // The same file name comes in every record of a topic: its hash is worked out once.
  std::unordered_map<std::string, uint64_t> names;
  for (const Correction& c : corrections) {
    const int32_t day = DayNumber(c.answers.front().date);
    for (const AnswerRecord& a : c.answers) {
      auto name = names.find(a.file_name);
      if (name == names.end()) name = names.emplace(a.file_name, NameHash(a.file_name)).first;
      Seen& seen = seen_[Key(name->second, a.hash)];
      seen.errors = a.result == AnswerResult::kRight ? seen.errors / 2 : seen.errors + 1;
      seen.last_day = std::max(seen.last_day, day);
    }
  }
}

double ReviewWeights::Of(const std::string& file_name, uint64_t hash) const {
  const auto it = seen_.find(Key(NameHash(file_name), hash));
  if (it == seen_.end()) return 1 + kMostStale;
  const double stale = std::clamp((today_ - it->second.last_day) / kStaleDays, 0.0, kMostStale);
  return 1 + kErrorWeight * it->second.errors + stale;
}

std::vector<TestItem> DrawWeighted(const std::vector<ReviewCandidate>& candidates,
                                   const std::vector<double>& weights, uint32_t n, std::mt19937* random) {
  std::vector<double> left(weights.begin(), weights.begin() + static_cast<long>(candidates.size()));
  double total = 0;
  for (const double w : left) total += w;
  std::vector<TestItem> drawn;
  n = std::min<uint32_t>(n, static_cast<uint32_t>(candidates.size()));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  while (drawn.size() < n) {
    double at = unit(*random) * total;
    size_t i = 0;
    // The last one not drawn yet takes what rounding leaves past the end.
    size_t last = 0;
    for (; i < left.size(); ++i) {
      if (left[i] <= 0) continue;
      last = i;
      if (at < left[i]) break;
      at -= left[i];
    }
    if (i == left.size()) i = last;
    drawn.push_back(candidates[i].item);
    total -= left[i];
    left[i] = 0;
  }
  return drawn;
}

DatedChart TopicProgressChart(const std::vector<Correction>& corrections,
                              const std::function<std::string(const std::string&)>& title_of) {
  DatedChart chart;
  chart.title = W("Progrés per temes");
  chart.value_title = W("% d'encerts");
  chart.empty_text = W("Encara no hi ha cap resposta registrada.");
  // topic (upper-cased file) -> Monday's day number -> right, total
  std::map<std::string, std::pair<std::string, std::map<int32_t, std::pair<uint32_t, uint32_t>>>> weeks;
  for (const Correction& c : corrections) {
    const int32_t monday = DayNumber(MondayOf(c.answers.front().date));
    for (const AnswerRecord& a : c.answers) {
      auto& topic = weeks[UpperCat(a.file_name)];
      if (topic.first.empty()) topic.first = a.file_name;
      auto& [right, total] = topic.second[monday];
      right += a.result == AnswerResult::kRight;
      ++total;
    }
  }
  for (const auto& [key, topic] : weeks) {
    DatedSeries series;
    series.name = title_of(topic.first);
    if (series.name.empty()) series.name = topic.first;
    for (const auto& [day, counts] : topic.second) {
      const Date monday = DateOfDayNumber(day);
      const double percent = 100.0 * counts.first / counts.second;
      series.points.push_back({monday, percent,
                               series.name + "\r\n" + W("Setmana del ") + DateToText(monday) + ": " +
                                   IntToText(static_cast<int32_t>(counts.first)) + " de " +
                                   IntToText(static_cast<int32_t>(counts.second)) + " (" +
                                   RealToText(percent, 4, 1) + "%)"});
    }
    chart.series.push_back(std::move(series));
  }
  return chart;
}

namespace {

std::string TitleOf(TopicIndex* index, const std::string& file_name) {
  uint16_t n = 0;
  TopicEntry entry;
  if (index != nullptr && index->is_open() && index->Find(file_name, &n, &entry).ok() && !entry.title.empty()) {
    return entry.title;
  }
  return file_name;
}

}  // namespace

Status ReviewCandidates(TopicIndex* index, const std::vector<uint16_t>& topics,
                        std::vector<ReviewCandidate>* candidates) {
  candidates->clear();
  for (const uint16_t t : topics) {
    TopicEntry entry;
    QUIZ_RETURN_IF_ERROR(index->Read(t, &entry));
    QuestionFile bank;
    const Status opened = bank.Open(entry, QuestionFile::Access::kRead);
    if (opened.code() == Status::Code::kNotFound) continue;
    QUIZ_RETURN_IF_ERROR(opened);
    QUIZ_RETURN_IF_ERROR(bank.Scan(1, bank.count(), [&](uint16_t n, const Question& q) {
      candidates->push_back({{t, n}, entry.file_name, QuestionHash(q)});
      return true;
    }));
  }
  return Status::Ok();
}

Status DrawReviewTest(TopicIndex* index, const std::vector<uint16_t>& topics, uint32_t n, const Date& today,
                      std::mt19937* random, std::vector<TestItem>* items, const std::string& log) {
  std::vector<ReviewCandidate> candidates;
  QUIZ_RETURN_IF_ERROR(ReviewCandidates(index, topics, &candidates));
  std::vector<Correction> corrections;
  QUIZ_RETURN_IF_ERROR(ReadAnswerLog(&corrections, log));
  const ReviewWeights weights(corrections, today);
  std::vector<double> w;
  w.reserve(candidates.size());
  for (const ReviewCandidate& c : candidates) w.push_back(weights.Of(c.file_name, c.hash));
  *items = DrawWeighted(candidates, w, n, random);
  return Status::Ok();
}

std::string RescoreTitle() { return W("Recalcular amb penalització..."); }
std::string NoAnswersToRescore() {
  return W("Aquest resultat es va registrar sense les respostes (abans que es guardessin, o en perdre's): "
           "no es pot recalcular.");
}

TextList TopicResultLines(const std::vector<AnswerRecord>& answers, TopicIndex* index) {
  TextList lines;
  for (const TopicTally& tally : TallyByTopic(answers)) {
    TextListAdd(lines, TopicTallyLine(TitleOf(index, tally.file_name), tally));
  }
  return lines;
}

Status RescoreHistoryLine(int picked, size_t most, TextList* lines, const std::string& history,
                          const std::string& log) {
  TextListClear(*lines);
  std::vector<ScoreRecord> scores;
  QUIZ_RETURN_IF_ERROR(ReadScoreHistory(&scores, history, false));
  const size_t first = scores.size() > most ? scores.size() - most : 0;
  if (picked < 1 || first + static_cast<size_t>(picked) > scores.size()) return Status::Ok();
  std::vector<Correction> corrections;
  QUIZ_RETURN_IF_ERROR(ReadAnswerLog(&corrections, log));
  const size_t n = first + static_cast<size_t>(picked) - 1;
  if (CorrectionOfScore(scores, n, corrections) != nullptr) *lines = RescoreLines(scores[n]);
  return Status::Ok();
}

Status ReadTopicProgressChart(DatedChart* chart, TopicIndex* index, const std::string& log) {
  std::vector<Correction> corrections;
  QUIZ_RETURN_IF_ERROR(ReadAnswerLog(&corrections, log));
  *chart = TopicProgressChart(corrections, [index](const std::string& file) { return TitleOf(index, file); });
  return Status::Ok();
}

}  // namespace quiz
