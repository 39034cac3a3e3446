#include "data/answer_stats.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

#include "data/answer_format.h"
#include "data/question_file.h"
#include "toolkit/coding.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

namespace {

constexpr double kErrorWeight = 3;
constexpr double kMostStale = 2;
constexpr double kStaleDays = 30;

// A file's name letter case aside, as the weights know it.
uint64_t NameHash(const std::string& file_name) { return Fnv1a(UpperCat(file_name)); }

std::string PenaltyText(int d) { return d <= 1 ? IntToText(d) : "1/" + IntToText(d); }

}  // namespace

// The topics of a log walk: each distinct file name as written gets a number the first time it
// comes, found again by its field's bytes; names that differ in letter case only share a topic.
class TopicNumbers {
 public:
  // A way of writing a name met in the walk.
  struct alignas(64) Written {
    uint64_t words[5];   // its field's bytes as they stand (the fifth: its last byte)
    uint64_t salt;       // its topic's name hash times the golden ratio, as ReviewWeights keys it
    uint32_t topic;
    uint32_t used;
  };

  TopicNumbers() : slots_(256) {}

  // The field at `field` (its length byte and 32 characters): bytes past the name's length
  // (zeros, as written) only tell apart two ways of writing one name, which share its topic.
  const Written& OfField(const char* field) {
    static_assert(answer_format::kFileNameOffset + 1 + answer_format::kFileNameCapacity == answer_format::kRecordSize);
    uint64_t w[5];
    std::memcpy(w, field, 32);
    w[4] = static_cast<unsigned char>(field[32]);
    const size_t mask = slots_.size() - 1;
    const Written* slots = slots_.data();
    for (size_t at = SlotOf(w[0], w[1]);; at = (at + 1) & mask) {
      const Written& s = slots[at];
      // The words stay in registers: a name new to the walk is read again from the field.
      if (s.used == 0) return Add(field, at);
      // One test for the five words, without a branch for each.
      if (((s.words[0] ^ w[0]) | (s.words[1] ^ w[1]) | (s.words[2] ^ w[2]) | (s.words[3] ^ w[3]) |
           (s.words[4] ^ w[4])) == 0) {
        return s;
      }
    }
  }
  const Written& Of(const char* record) { return OfField(record + answer_format::kFileNameOffset); }
  // The topic of a name, as the first of its ways of writing was written (another walk's).
  uint32_t OfName(const std::string& name) { return Named(name).first; }
  size_t size() const { return names_.size(); }
  const std::string& name(uint32_t topic) const { return names_[topic]; }

 private:
  // The topic of `name` and its salt, a new topic when no name like it came before.
  std::pair<uint32_t, uint64_t> Named(const std::string& name) {
    const std::string upper = UpperCat(name);
    auto [it, added] = topic_of_upper_.emplace(upper, static_cast<uint32_t>(names_.size()));
    if (added) {
      names_.push_back(name);
      salts_.push_back(ReviewWeights::Salt(Fnv1a(upper)));
    }
    return {it->second, salts_[it->second]};
  }
  // A name written this way for the first time, into free slot `at`.
  [[gnu::noinline]] const Written& Add(const char* field, size_t at) {
    const auto [topic, salt] =
        Named(std::string(field + 1, std::min<size_t>(static_cast<unsigned char>(field[0]), 32)));
    Written& slot = slots_[at];
    std::memcpy(slot.words, field, 32);
    slot.words[4] = static_cast<unsigned char>(field[32]);
    slot.salt = salt;
    slot.topic = topic;
    slot.used = 1;
    if (++used_ * 4 <= slots_.size()) return slot;
    Grow();
    return OfField(field);
  }
  // From the length and the first 15 characters, which tell most names apart (names alike in
  // them only probe further): the top bits of a product, which every bit of the words moves.
  size_t SlotOf(uint64_t w0, uint64_t w1) const {
    return static_cast<size_t>(((w0 ^ w1 * 0xC2B2AE3D27D4EB4FULL) * 0x9E3779B97F4A7C15ULL) >> (64 - bits_));
  }
  void Grow() {
    std::vector<Written> old(slots_.size() * 2);
    old.swap(slots_);
    ++bits_;
    for (const Written& slot : old) {
      if (slot.used == 0) continue;
      size_t at = SlotOf(slot.words[0], slot.words[1]);
      while (slots_[at].used != 0) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }
  std::vector<Written> slots_;  // the names as written, at most a quarter full
  int bits_ = 8;                // slots_ has 2^bits_ of them
  size_t used_ = 0;
  std::map<std::string, uint32_t> topic_of_upper_;
  std::vector<std::string> names_;  // as first written
  std::vector<uint64_t> salts_;
};

namespace {

std::string BytesOf(const std::vector<Correction>& corrections) {
  std::string bytes;
  for (const Correction& c : corrections) bytes += AnswerBytes(c.answers);
  return bytes;
}

// Walks the log with one `Part` of `parts` for each thread and merges them, in the log's order,
// into the first. A Part has Add(records, count) and Merge(later part).
template <typename Part>
Status WalkInParts(std::vector<Part>* parts, const std::string& log, const LogSplit& split) {
  std::vector<CorrectionVisitor> visitors;
  for (Part& part : *parts) visitors.push_back([&part](const char* records, size_t count) { part.Add(records, count); });
  QUIZ_RETURN_IF_ERROR(WalkAnswerLogInParts(visitors, log, split.min_records));
  for (size_t p = 1; p < parts->size(); ++p) (*parts)[0].Merge((*parts)[p]);
  return Status::Ok();
}

// Counts the answers of each topic, correction after correction.
class TopicTallies {
 public:
  void Add(const char* records, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const char* r = records + k * answer_format::kRecordSize;
      const uint32_t topic = topics_.Of(r).topic;
      if (topic >= counts_.size()) counts_.resize(topic + 1, {0, 0, 0});
      ++counts_[topic][static_cast<size_t>(answer_record::Result(r))];
    }
  }
  // Adds the counts of the walk of the records after these.
  void Merge(const TopicTallies& later) {
    for (uint32_t t = 0; t < later.topics_.size(); ++t) {
      const uint32_t topic = topics_.OfName(later.topics_.name(t));
      if (topic >= counts_.size()) counts_.resize(topic + 1, {0, 0, 0});
      for (size_t r = 0; r < 3; ++r) counts_[topic][r] += later.counts_[t][r];
    }
  }
  std::vector<TopicTally> Tallies() const {
    std::vector<TopicTally> tallies;
    for (uint32_t t = 0; t < topics_.size(); ++t) {
      tallies.push_back({topics_.name(t), counts_[t][1], counts_[t][2], counts_[t][0]});
    }
    return tallies;
  }

 private:
  TopicNumbers topics_;
  std::vector<std::array<uint32_t, 3>> counts_;  // blank, right, wrong per topic
};

}  // namespace

std::vector<TopicTally> TallyByTopic(const std::vector<AnswerRecord>& answers) {
  // The answers need not make whole corrections here: each is counted on its own.
  TopicTallies tallies;
  char record[answer_format::kRecordSize];
  for (AnswerRecord a : answers) {
    a.position = a.count = 1;
    EncodeAnswerRecord(a, record);
    tallies.Add(record, 1);
  }
  return tallies.Tallies();
}

Status ReadTallyByTopic(std::vector<TopicTally>* tallies, const std::string& log, const LogSplit& split) {
  std::vector<TopicTallies> parts(std::max<size_t>(split.threads, 1));
  QUIZ_RETURN_IF_ERROR(WalkInParts(&parts, log, split));
  *tallies = parts[0].Tallies();
  return Status::Ok();
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

namespace {

// A bijection of the 64-bit words that moves every bit of the result with every bit of the key:
// questions of one file have nearby hashes in some logs, and the low bits choose a slot.
uint64_t Spread(uint64_t key) {
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCDULL;
  return key ^ key >> 29;
}

}  // namespace

uint64_t ReviewWeights::Salt(uint64_t name_hash) { return name_hash * 0x9E3779B97F4A7C15ULL; }

uint64_t ReviewWeights::Key(uint64_t salt, uint64_t hash) {
  const uint64_t key = salt ^ hash;
  return Spread(key == 0 ? 1 : key);  // 0 marks a free slot, and only 0 spreads to 0
}

void ReviewWeights::Reserve(size_t more) {
  if ((used_ + more) * 2 <= seen_.size()) return;
  size_t size = std::max<size_t>(1024, seen_.size());
  while ((used_ + more) * 2 > size) size *= 2;
  std::vector<Seen> old(size);
  old.swap(seen_);
  used_ = 0;
  for (const Seen& s : old) {
    if (s.key != 0) *Probe(s.key) = s;
  }
}

// The key's slot, taken for it when it is not there yet (Reserve made room).
ReviewWeights::Seen* ReviewWeights::Probe(uint64_t key) {
  const size_t mask = seen_.size() - 1;
  size_t at = key & mask;
  while (seen_[at].key != 0 && seen_[at].key != key) at = (at + 1) & mask;
  if (seen_[at].key == 0) {
    seen_[at].key = key;
    ++used_;
  }
  return &seen_[at];
}

const ReviewWeights::Seen* ReviewWeights::Find(uint64_t key) const {
  if (seen_.empty()) return nullptr;
  const size_t mask = seen_.size() - 1;
  for (size_t at = key & mask; seen_[at].key != 0; at = (at + 1) & mask) {
    if (seen_[at].key == key) return &seen_[at];
  }
  return nullptr;
}

ReviewWeights::ReviewWeights(const Date& today)
    : today_(DayNumber(today)), topics_(std::make_unique<TopicNumbers>()) {}

ReviewWeights::ReviewWeights(const std::vector<Correction>& corrections, const Date& today) : ReviewWeights(today) {
  const std::string bytes = BytesOf(corrections);
  WalkCorrections(bytes.data(), bytes.size(), [this](const char* records, size_t count) { Add(records, count); });
}

ReviewWeights::~ReviewWeights() = default;
ReviewWeights::ReviewWeights(ReviewWeights&&) noexcept = default;
ReviewWeights& ReviewWeights::operator=(ReviewWeights&&) noexcept = default;

void ReviewWeights::Add(const char* records, size_t count) {
  const auto day = static_cast<uint32_t>(std::clamp<int32_t>(DayNumber(answer_record::DateOf(records)), 0, Seen::kDays));
  Reserve(std::max(count, expected_));
  expected_ = 0;
  // The slots of a correction's questions lie anywhere in a table bigger than the nearest
  // caches: all of them are asked for first, then updated in order.
  std::array<uint64_t, 256> keys;  // a correction has at most 255 records
  count = std::min(count, keys.size());
  const size_t mask = seen_.size() - 1;
  for (size_t k = 0; k < count; ++k) {
    const char* r = records + k * answer_format::kRecordSize;
    keys[k] = Key(topics_->Of(r).salt, answer_record::Hash(r));
    __builtin_prefetch(&seen_[keys[k] & mask], 1);
  }
  for (size_t k = 0; k < count; ++k) {
    Seen& seen = *Probe(keys[k]);
    const uint32_t right = answer_record::Result(records + k * answer_format::kRecordSize) == AnswerResult::kRight;
    // Without a branch: right and wrong answers come in no order that a processor foresees.
    static constexpr float kTimes[2] = {1, 0.5f}, kPlus[2] = {1, 0};
    seen.errors = seen.errors * kTimes[right] + kPlus[right];
    const uint32_t rights = std::min<uint32_t>(seen.rights() + right, 255);
    seen.last = std::max(seen.last & Seen::kDays, day) | rights << 24;
  }
}

void ReviewWeights::Merge(const ReviewWeights& later) {
  for (const Seen& s : later.seen_) {
    if (s.key == 0) continue;
    if ((used_ + 1) * 2 > seen_.size()) Reserve(1);
    // What came before the later walk is halved once for each right answer in it.
    Seen& seen = *Probe(s.key);
    seen.errors = std::ldexp(seen.errors, -static_cast<int>(s.rights())) + s.errors;
    const uint32_t rights = std::min<uint32_t>(seen.rights() + s.rights(), 255);
    seen.last = std::max(seen.last & Seen::kDays, s.last & Seen::kDays) | rights << 24;
  }
}

Status ReviewWeights::Read(const std::string& log, const LogSplit& split) {
  std::vector<ReviewWeights> parts;
  for (size_t t = 1; t < split.threads; ++t) parts.emplace_back(DateOfDayNumber(today_));
  // Each walk's table is made big enough at its first correction, rather than grown again and
  // again: for as many questions as its share of the log's answers, at most 16384.
  std::error_code error;
  const uintmax_t bytes = std::filesystem::file_size(log, error);
  const size_t answers = error ? 0 : static_cast<size_t>(bytes / answer_format::kRecordSize);
  expected_ = std::min<size_t>(answers / std::max<size_t>(split.threads, 1), 16384);
  for (ReviewWeights& w : parts) w.expected_ = expected_;
  std::vector<CorrectionVisitor> visitors{[this](const char* records, size_t count) { Add(records, count); }};
  for (ReviewWeights& w : parts) visitors.push_back([&w](const char* records, size_t count) { w.Add(records, count); });
  QUIZ_RETURN_IF_ERROR(WalkAnswerLogInParts(visitors, log, split.min_records));
  for (const ReviewWeights& w : parts) Merge(w);
  return Status::Ok();
}

double ReviewWeights::Of(const std::string& file_name, uint64_t hash) const {
  return WeightOf(Find(Key(Salt(NameHash(file_name)), hash)));
}

double ReviewWeights::WeightOf(const Seen* seen) const {
  if (seen == nullptr) return 1 + kMostStale;
  const double stale = std::clamp((today_ - seen->last_day()) / kStaleDays, 0.0, kMostStale);
  return 1 + kErrorWeight * seen->errors + stale;
}

std::vector<double> ReviewWeights::For(const std::vector<ReviewCandidate>& candidates) const {
  std::vector<double> weights;
  weights.reserve(candidates.size());
  const std::string* file = nullptr;  // the questions of one file come together: its name is hashed once
  uint64_t salt = 0;
  for (const ReviewCandidate& c : candidates) {
    if (file == nullptr || *file != c.file_name) {
      file = &c.file_name;
      salt = Salt(NameHash(c.file_name));
    }
    weights.push_back(WeightOf(Find(Key(salt, c.hash))));
  }
  return weights;
}

namespace {
size_t LowBit(size_t j) { return j & (~j + 1); }
}  // namespace

std::vector<TestItem> DrawWeighted(const std::vector<ReviewCandidate>& candidates,
                                   const std::vector<double>& weights, uint32_t n, std::mt19937* random) {
  const size_t m = std::min(candidates.size(), weights.size());
  // A Fenwick tree over the weights not drawn yet: tree[i] sums those of i - lowbit(i) + 1 .. i
  // (1-based), so that each draw finds its question, and takes it out, in steps of log m.
  std::vector<double> left(m), tree(m + 1, 0.0);
  double total = 0;
  for (size_t i = 0; i < m; ++i) {
    left[i] = std::max(weights[i], 0.0);
    total += left[i];
    tree[i + 1] += left[i];
    const size_t parent = i + 1 + LowBit(i + 1);
    if (parent <= m) tree[parent] += tree[i + 1];
  }
  std::vector<bool> taken(m, false);
  std::vector<TestItem> drawn;
  n = static_cast<uint32_t>(std::min<size_t>(n, m));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const size_t top = m == 0 ? 0 : std::bit_floor(m);
  while (drawn.size() < n) {
    // The first question whose weights up to it pass the point drawn.
    double at = unit(*random) * total;
    size_t i = 0;  // questions wholly before the point
    for (size_t step = top; step > 0; step >>= 1) {
      if (i + step <= m && tree[i + step] <= at) {
        i += step;
        at -= tree[i];
      }
    }
    // Rounding can put the point past the last one left, or on one already drawn: the nearest one
    // left before it takes it, else the first one left after it (a weight of 0 only when no other
    // is left).
    if (i >= m || taken[i] || left[i] <= 0) {
      size_t before = std::min(i, m);
      while (before > 0 && (taken[before - 1] || left[before - 1] <= 0)) --before;
      if (before > 0) {
        i = before - 1;
      } else {
        i = 0;
        while (taken[i]) ++i;
      }
    }
    drawn.push_back(candidates[i].item);
    taken[i] = true;
    total -= left[i];
    for (size_t j = i + 1; j <= m; j += LowBit(j)) tree[j] -= left[i];
    left[i] = 0;
  }
  return drawn;
}

namespace {

// Each topic's right answers and answers per week.
class TopicProgress {
 public:
  void Add(const char* records, size_t count) {
    const int32_t monday = DayNumber(MondayOf(answer_record::DateOf(records)));
    for (size_t k = 0; k < count; ++k) {
      const char* r = records + k * answer_format::kRecordSize;
      const uint32_t topic = topics_.Of(r).topic;
      if (topic >= weeks_.size()) weeks_.resize(topic + 1);
      auto& [right, total] = weeks_[topic][monday];
      right += answer_record::Result(r) == AnswerResult::kRight;
      ++total;
    }
  }

  void Merge(const TopicProgress& later) {
    for (uint32_t t = 0; t < later.topics_.size(); ++t) {
      const uint32_t topic = topics_.OfName(later.topics_.name(t));
      if (topic >= weeks_.size()) weeks_.resize(topic + 1);
      for (const auto& [monday, counts] : later.weeks_[t]) {
        auto& [right, total] = weeks_[topic][monday];
        right += counts.first;
        total += counts.second;
      }
    }
  }

  DatedChart Chart(const std::function<std::string(const std::string&)>& title_of) const {
    DatedChart chart;
    chart.title = W("Progrés per temes");
    chart.value_title = W("% d'encerts");
    chart.empty_text = W("Encara no hi ha cap resposta registrada.");
    for (uint32_t t = 0; t < topics_.size(); ++t) {
      DatedSeries series;
      series.name = title_of(topics_.name(t));
      if (series.name.empty()) series.name = topics_.name(t);
      for (const auto& [day, counts] : weeks_[t]) {
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

 private:
  TopicNumbers topics_;
  std::vector<std::map<int32_t, std::pair<uint32_t, uint32_t>>> weeks_;  // topic -> Monday -> right, total
};

}  // namespace

DatedChart TopicProgressChart(const std::vector<Correction>& corrections,
                              const std::function<std::string(const std::string&)>& title_of) {
  TopicProgress progress;
  const std::string bytes = BytesOf(corrections);
  WalkCorrections(bytes.data(), bytes.size(), [&](const char* records, size_t count) { progress.Add(records, count); });
  return progress.Chart(title_of);
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
  ReviewWeights weights(today);
  QUIZ_RETURN_IF_ERROR(weights.Read(log));
  *items = DrawWeighted(candidates, weights.For(candidates), n, random);
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

Status ReadTopicProgressChart(DatedChart* chart, TopicIndex* index, const std::string& log, const LogSplit& split) {
  std::vector<TopicProgress> parts(std::max<size_t>(split.threads, 1));
  QUIZ_RETURN_IF_ERROR(WalkInParts(&parts, log, split));
  const TopicProgress& progress = parts[0];
  // Without a test on screen the runner has no index open: the titles come from one read here.
  TopicIndex own;
  if (index == nullptr || !index->is_open()) {
    index = own.OpenForReading().ok() ? &own : nullptr;
  }
  *chart = progress.Chart([index](const std::string& file) { return TitleOf(index, file); });
  return Status::Ok();
}

}  // namespace quiz
