#include "data/answer_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "data/answer_format.h"
#include "data/answer_stats.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

// Answer k of a correction of `count` questions on 7/12/2026 at 10:30:05.
AnswerRecord Answer(uint8_t k, uint8_t count, AnswerResult result, const std::string& file = "GEO",
                    uint64_t hash = 0, const std::string& test = "t1") {
  const char letter = result == AnswerResult::kBlank ? ' ' : result == AnswerResult::kRight ? 'b' : 'c';
  return {{7, 12, 2026}, 10, 30, 5, test, file, static_cast<uint16_t>(k + 100), hash ? hash : k, letter,
          result, k, count};
}

std::string Bytes(const std::vector<AnswerRecord>& records) {
  std::string bytes(records.size() * answer_format::kRecordSize, '\0');
  for (size_t i = 0; i < records.size(); ++i) EncodeAnswerRecord(records[i], &bytes[i * answer_format::kRecordSize]);
  return bytes;
}

TEST(AnswerLog, ARecordsBytesAreTheDocumentedLayout) {
  AnswerRecord r{{7, 12, 2026}, 10, 30, 5, W("Història"), "GEO", 300, 0x0102030405060708ULL, 'c',
                 AnswerResult::kWrong, 3, 20};
  const std::string b = Bytes({r});
  ASSERT_EQ(b.size(), 88u);
  const std::string head("\xEA\x07\x0C\x07\x0A\x1E\x05" "c" "\x02\x03\x14\x00\x2C\x01\x00\x00"
                         "\x08\x07\x06\x05\x04\x03\x02\x01" "\x08" "Hist\xF2ria",
                         33);
  EXPECT_EQ(b.substr(0, head.size()), head);
  EXPECT_EQ(b.substr(55, 4), std::string("\x03GEO", 4));
  EXPECT_EQ(b.substr(59), std::string(29, '\0'));
  AnswerRecord back;
  ASSERT_TRUE(DecodeAnswerRecord(b.data(), &back));
  EXPECT_EQ(back, r);
  // The hash is the question's text and right answer, and nothing else.
  const Question q{"Quina és la capital?", {"Lleida", "Girona", "Tarragona", ""}, "comentari"};
  Question other_answers = q;
  other_answers.answers[2] = "Reus";
  other_answers.comment = "";
  Question other_right = q;
  other_right.answers[0] = "Girona";
  EXPECT_EQ(QuestionHash(q), QuestionHash(other_answers));
  EXPECT_NE(QuestionHash(q), QuestionHash(other_right));
  EXPECT_NE(QuestionHash({"ab", {"c"}, ""}), QuestionHash({"a", {"bc"}, ""}));
}

TEST(AnswerLog, BytesThatAreNoRecordAreRefused) {
  const struct {
    const char* what;
    std::function<void(std::string&)> spoil;
  } cases[] = {
      {"month 13", [](std::string& b) { b[2] = 13; }},
      {"30 February", [](std::string& b) { b[2] = 2, b[3] = 30; }},
      {"hour 24", [](std::string& b) { b[4] = 24; }},
      {"an answer 'e'", [](std::string& b) { b[7] = 'e'; }},
      {"a result 3", [](std::string& b) { b[8] = 3; }},
      {"blank but wrong", [](std::string& b) { b[7] = ' '; }},
      {"position past the count", [](std::string& b) { b[9] = 21; }},
      {"position 0", [](std::string& b) { b[9] = 0; }},
      {"question 0", [](std::string& b) { b[12] = 0, b[13] = 0; }},
      {"a reserved byte", [](std::string& b) { b[11] = 1; }},
      {"a test name longer than its field", [](std::string& b) { b[24] = 31; }},
      {"a file name longer than its field", [](std::string& b) { b[55] = 33; }},
  };
  const std::string good = Bytes({Answer(3, 20, AnswerResult::kWrong)});
  AnswerRecord r;
  ASSERT_TRUE(DecodeAnswerRecord(good.data(), &r));
  for (const auto& c : cases) {
    std::string bad = good;
    c.spoil(bad);
    EXPECT_FALSE(DecodeAnswerRecord(bad.data(), &r)) << c.what;
  }
}

// Readers see whole corrections only, whatever a kill or a damaged disk left around them.
TEST(AnswerLog, OnlyWholeCorrectionsAreRead) {
  const auto correction = [](uint8_t count, const std::string& test) {
    std::vector<AnswerRecord> c;
    for (uint8_t k = 1; k <= count; ++k) c.push_back(Answer(k, count, AnswerResult::kRight, "GEO", 0, test));
    return c;
  };
  const auto a = correction(3, "a"), b = correction(2, "b");
  const auto cut = [](std::vector<AnswerRecord> c, size_t n) {
    c.resize(n);
    return c;
  };
  const auto join = [](std::initializer_list<std::vector<AnswerRecord>> parts) {
    std::string bytes;
    for (const auto& p : parts) bytes += Bytes(p);
    return bytes;
  };
  int later_runs_found = 0;
  // Record 2 of `a` spoiled at byte `at`: `a` is no whole correction then.
  const auto spoiled = [&](size_t at, char value) {
    std::string bytes = join({a});
    bytes[88 + at] = value;
    return bytes;
  };
  const std::string damaged_middle = spoiled(8, 9);  // result 9
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> tests;  // of the corrections read
  } cases[] = {
      {"two whole", join({a, b}), {"a", "b"}},
      {"the last cut short", join({a, cut(b, 1)}), {"a"}},
      {"one cut short before a whole one", join({cut(a, 2), b}), {"b"}},
      {"a torn record at the end", join({a, b}) + std::string(40, 'x'), {"a", "b"}},
      {"a damaged record inside", damaged_middle + join({b}), {"b"}},
      {"another second", spoiled(6, 7) + join({b}), {"b"}},
      {"another count", spoiled(10, 4) + join({b}), {"b"}},
      {"another test name", spoiled(25, 'z') + join({b}), {"b"}},
      {"another test name's length", spoiled(24, 2) + join({b}), {"b"}},
      {"a test name's last byte", spoiled(54, 'z') + join({b}), {"b"}},
      {"a reserved byte", spoiled(11, 1) + join({b}), {"b"}},
      {"the last reserved byte", spoiled(15, 1) + join({b}), {"b"}},
      {"question 0", spoiled(12, 0) + join({b}), {"b"}},
      {"an answer that is no letter", spoiled(7, 'e') + join({b}), {"b"}},
      {"a file name longer than its field", spoiled(55, 33) + join({b}), {"b"}},
      {"its own hash", spoiled(16, 'h') + join({b}), {"a", "b"}},
      {"its own file name", spoiled(56, 'X') + join({b}), {"a", "b"}},
      {"the same correction twice over", join({a, a}), {"a", "a"}},
      {"out of order", join({{a[1], a[0], a[2]}, b}), {"b"}},
      {"nothing", "", {}},
  };
  for (const auto& c : cases) {
    // Read whole, and in blocks of every size that cuts a correction somewhere.
    for (size_t block : {SIZE_MAX, size_t{1}, size_t{2}, size_t{3}, size_t{4}}) {
      std::vector<std::string> tests;
      std::string seen;
      WalkCorrections(c.bytes.data(), c.bytes.size(), [&](const char* records, size_t count) {
        tests.push_back(std::string(records + 25, static_cast<unsigned char>(records[24])));
        seen.append(records, count * 88);
      }, block);
      EXPECT_EQ(tests, c.tests) << c.what << ", blocks of " << block;
      std::string expected;
      for (const Correction& read : CorrectionsOf(c.bytes.data(), c.bytes.size())) expected += Bytes(read.answers);
      EXPECT_EQ(seen, expected) << c.what << ", blocks of " << block;
    }
    // In runs walked at once, wherever a run's end cuts a correction: each correction once.
    for (size_t runs = 2; runs <= 4; ++runs) {
      for (uint64_t least : {1, 2, 3}) {
        std::vector<std::vector<std::string>> parts(runs);
        std::vector<CorrectionVisitor> visitors;
        for (auto& part : parts) {
          visitors.push_back([&part](const char* records, size_t) {
            part.push_back(std::string(records + 25, static_cast<unsigned char>(records[24])));
          });
        }
        WalkCorrectionsInParts(c.bytes.data(), c.bytes.size(), visitors, 2, least);
        std::vector<std::string> joined;
        for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
        EXPECT_EQ(joined, c.tests) << c.what << ", " << runs << " runs of at least " << least;
        later_runs_found += !parts.back().empty();
      }
    }
  }
  EXPECT_GT(later_runs_found, 0) << "no walk was split";
}

class AnswerLogFile : public testing::InTempDir {};

// The first correction makes the log; the next ones go after its last whole record.
TEST_F(AnswerLogFile, CorrectionsAreAppendedAndReadBack) {
  std::vector<Correction> read;
  ASSERT_TRUE(ReadAnswerLog(&read).ok());
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(std::filesystem::exists("Respostes.rel"));
  const std::vector<AnswerRecord> first = {Answer(1, 2, AnswerResult::kRight), Answer(2, 2, AnswerResult::kBlank)};
  const std::vector<AnswerRecord> second = {Answer(1, 1, AnswerResult::kWrong, "HIST")};
  ASSERT_TRUE(AppendCorrection(first).ok());
  testing::PutFile("Respostes.rel", testing::FileBytes("Respostes.rel") + "torn");
  ASSERT_TRUE(AppendCorrection(second).ok());
  EXPECT_EQ(testing::FileBytes("Respostes.rel"), Bytes(first) + Bytes(second));
  ASSERT_TRUE(ReadAnswerLog(&read).ok());
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].answers, first);
  EXPECT_EQ(read[1].right(), 0);
  EXPECT_EQ(read[1].wrong(), 1);
}

// A long log is walked in runs at once: what each view shows is what one walk from the start
// shows, names first written in a later run, errors halved there and questions first met there
// included.
TEST_F(AnswerLogFile, TheViewsAreTheSameHoweverTheWalkIsSplit) {
  using R = AnswerResult;
  const auto correction = [](Date date, std::vector<AnswerRecord> answers) {
    for (auto& a : answers) a.date = date;
    return answers;
  };
  const std::vector<std::vector<AnswerRecord>> log = {
      correction({2, 11, 2026}, {Answer(1, 2, R::kWrong, "GEO", 11), Answer(2, 2, R::kWrong, "HIST", 21)}),
      correction({3, 11, 2026}, {Answer(1, 3, R::kWrong, "GEO", 11), Answer(2, 3, R::kBlank, "GEO", 12),
                                 Answer(3, 3, R::kRight, "HIST", 21)}),
      correction({16, 11, 2026}, {Answer(1, 1, R::kRight, "geo", 11)}),
      correction({17, 11, 2026}, {Answer(1, 2, R::kWrong, "ART", 31), Answer(2, 2, R::kRight, "Geo", 12)}),
      correction({30, 11, 2026}, {Answer(1, 2, R::kWrong, "art", 31), Answer(2, 2, R::kWrong, "GEO", 11)}),
  };
  for (const auto& c : log) ASSERT_TRUE(AppendCorrection(c).ok());
  const Date today{1, 12, 2026};
  const auto views = [&](const LogSplit& split, std::vector<TopicTally>* tallies, DatedChart* chart,
                         std::vector<double>* weights) {
    ASSERT_TRUE(ReadTallyByTopic(tallies, kAnswerLogName, split).ok());
    ASSERT_TRUE(ReadTopicProgressChart(chart, nullptr, kAnswerLogName, split).ok());
    ReviewWeights read(today);
    ASSERT_TRUE(read.Read(kAnswerLogName, split).ok());
    weights->clear();
    for (const char* file : {"GEO", "HIST", "ART"}) {
      for (uint64_t hash : {11, 12, 21, 31}) weights->push_back(read.Of(file, hash));
    }
  };
  std::vector<TopicTally> tallies;
  DatedChart chart;
  std::vector<double> weights;
  views({1, UINT64_MAX}, &tallies, &chart, &weights);
  // Wrong twice, then right, then wrong (errors 2, 1, 2), last on the 30th.
  EXPECT_DOUBLE_EQ(weights[0], 1 + 3 * 2 + 1 / 30.0);
  const std::vector<TopicTally> expected_tallies = {{"GEO", 2, 3, 1}, {"HIST", 1, 1, 0}, {"ART", 0, 2, 0}};
  EXPECT_EQ(tallies, expected_tallies);
  for (size_t threads = 2; threads <= 4; ++threads) {
    for (uint64_t least : {1, 2, 3, 4}) {
      std::vector<TopicTally> split_tallies;
      DatedChart split_chart;
      std::vector<double> split_weights;
      views({threads, least}, &split_tallies, &split_chart, &split_weights);
      EXPECT_EQ(split_tallies, tallies) << threads << " threads, runs of " << least;
      EXPECT_EQ(split_weights, weights) << threads << " threads, runs of " << least;
      ASSERT_EQ(split_chart.series.size(), chart.series.size());
      for (size_t s = 0; s < chart.series.size(); ++s) {
        EXPECT_EQ(split_chart.series[s].name, chart.series[s].name);
        ASSERT_EQ(split_chart.series[s].points.size(), chart.series[s].points.size()) << chart.series[s].name;
        for (size_t p = 0; p < chart.series[s].points.size(); ++p) {
          EXPECT_EQ(split_chart.series[s].points[p].tip, chart.series[s].points[p].tip);
        }
      }
    }
  }
}

// A past result finds its answers by its day, test and counts: the k-th of a kind the k-th.
TEST(AnswerLog, AScoreFindsTheCorrectionOfItsAnswers) {
  const auto correction = [](const std::string& test, std::vector<AnswerResult> results) {
    Correction c;
    for (size_t k = 1; k <= results.size(); ++k) {
      c.answers.push_back(Answer(static_cast<uint8_t>(k), static_cast<uint8_t>(results.size()), results[k - 1],
                                 "GEO", 0, test));
    }
    return c;
  };
  using R = AnswerResult;
  const std::vector<Correction> log = {correction("t1", {R::kRight, R::kWrong}),
                                       correction("t1", {R::kRight, R::kRight}),
                                       correction("t1", {R::kRight, R::kWrong})};
  const std::vector<ScoreRecord> scores = {
      BuildScoreRecord({7, 12, 2026}, "t1", 2, 1, 1, 4), BuildScoreRecord({1, 1, 2026}, "t1", 2, 1, 1, 4),
      BuildScoreRecord({7, 12, 2026}, "t1", 2, 1, 1, 2), BuildScoreRecord({7, 12, 2026}, "t1", 2, 2, 0, 4),
      BuildScoreRecord({7, 12, 2026}, "t1", 2, 1, 1, 4), BuildScoreRecord({7, 12, 2026}, "t2", 2, 2, 0, 4)};
  const Correction* expected[] = {&log[0], nullptr, &log[2], &log[1], nullptr, nullptr};
  for (size_t n = 0; n < scores.size(); ++n) EXPECT_EQ(CorrectionOfScore(scores, n, log), expected[n]) << n;
}

TEST(AnswerStats, TopicsAreTalliedAsTheLogSays) {
  using R = AnswerResult;
  const std::vector<AnswerRecord> answers = {
      Answer(1, 6, R::kRight, "GEO"), Answer(2, 6, R::kWrong, "HIST"), Answer(3, 6, R::kBlank, "geo"),
      Answer(4, 6, R::kRight, "GEO"), Answer(5, 6, R::kRight, "HIST"), Answer(6, 6, R::kWrong, "GEO")};
  const std::vector<TopicTally> expected = {{"GEO", 2, 1, 1}, {"HIST", 1, 1, 0}};
  EXPECT_EQ(TallyByTopic(answers), expected);
  EXPECT_DOUBLE_EQ(expected[0].percent(), 50.0);
  EXPECT_EQ(TopicTallyLine("Geografia", expected[0]), W("Geografia:  bé 2  malament 1  en blanc 1  (50%)"));
}

// Each penalty gives right - wrong x penalty, as the runner scores; the one registered is marked.
TEST(AnswerStats, APastResultIsScoredAgainUnderEveryPenalty) {
  const ScoreRecord score = BuildScoreRecord({7, 12, 2026}, "t1", 20, 12, 6, 4);
  const TextList lines = RescoreLines(score);
  ASSERT_EQ(lines.count(), 10u);
  const struct {
    int line;
    const char* text;
  } cases[] = {
      {1, "Penalització 0: 12 / 20 (60%)"},
      {2, "Penalització 1:  6 / 20 (30%)"},
      {3, "Penalització 1/2:  9 / 20 (45%)"},
      {5, "Penalització 1/4: 10.5 / 20 (52.5%)  <- la registrada"},
      {10, "Penalització 1/9: 11.33 / 20 (56.7%)"},
  };
  for (const auto& c : cases) EXPECT_EQ(lines.items[c.line - 1], W(c.text)) << c.line;
}

TEST(AnswerStats, AQuestionsWeightFollowsItsErrorsAndItsAge) {
  using R = AnswerResult;
  const auto day = [](uint16_t d, std::vector<AnswerRecord> answers) {
    Correction c;
    for (auto& a : answers) a.date = {d, 11, 2026};
    c.answers = std::move(answers);
    return c;
  };
  const std::vector<Correction> log = {
      day(1, {Answer(1, 3, R::kWrong, "GEO", 11), Answer(2, 3, R::kBlank, "GEO", 12), Answer(3, 3, R::kRight, "GEO", 13)}),
      day(21, {Answer(1, 2, R::kWrong, "GEO", 11), Answer(2, 2, R::kRight, "GEO", 12)}),
  };
  const ReviewWeights weights(log, {1, 12, 2026});  // 30 days after the 1st, 10 after the 21st
  const struct {
    const char* file;
    uint64_t hash;
    double weight;
  } cases[] = {
      {"GEO", 11, 1 + 3 * 2 + 10 / 30.0},   // wrong twice
      {"geo", 11, 1 + 3 * 2 + 10 / 30.0},   // letter case aside
      {"GEO", 12, 1 + 3 * 0.5 + 10 / 30.0}, // blank, then right
      {"GEO", 13, 1 + 0 + 1.0},             // right once, 30 days ago
      {"GEO", 14, 3},                       // never answered
      {"HIST", 11, 3},                      // the same hash in another file
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(weights.Of(c.file, c.hash), c.weight) << c.file << c.hash;
}

// Over many draws of one question, each comes as often as its weight says (chi-square at the
// 0.1% level), one of weight 0 never; a draw of several never repeats one, takes those of weight 0
// only after all the others, and takes them all at most.
TEST(AnswerStats, TheWeightedDrawFollowsTheWeights) {
  const struct {
    std::vector<double> weights;
    double chi_limit;  // for as many degrees of freedom as positive weights, less one
  } cases[] = {
      {{1, 2, 3, 10}, 16.27},
      {{1, 2, 3, 10, 0.5, 4, 7}, 22.46},
      {{0, 5, 0, 1, 2}, 13.82},
  };
  std::mt19937 random(7);
  for (const auto& c : cases) {
    std::vector<ReviewCandidate> candidates;
    for (uint16_t q = 1; q <= c.weights.size(); ++q) candidates.push_back({{1, q}, "GEO", q});
    double total = 0;
    size_t positive = 0;
    for (const double w : c.weights) total += w, positive += w > 0;
    // The first question drawn, and the second, which comes from those left.
    std::map<uint16_t, int> first, second;
    const int draws = 32000;
    for (int i = 0; i < draws; ++i) {
      const std::vector<TestItem> two = DrawWeighted(candidates, c.weights, 2, &random);
      ++first[two[0].question];
      ++second[two[1].question];
    }
    double chi_first = 0, chi_second = 0;
    for (uint16_t q = 1; q <= c.weights.size(); ++q) {
      const double w = c.weights[q - 1];
      double then = 0;  // the chance that q comes second
      for (const double before : c.weights) then += before / total * w / (total - before);
      then -= w / total * w / (total - w);  // not after itself
      if (w == 0) {
        EXPECT_EQ(first[q] + second[q], 0) << "weight 0 drawn, question " << q;
        continue;
      }
      chi_first += std::pow(first[q] - draws * w / total, 2) / (draws * w / total);
      chi_second += std::pow(second[q] - draws * then, 2) / (draws * then);
    }
    EXPECT_LT(chi_first, c.chi_limit) << c.weights.size() << " questions";
    EXPECT_LT(chi_second, c.chi_limit) << c.weights.size() << " questions, the second drawn";
    for (uint32_t n : {0u, 2u, 4u, 9u}) {
      const std::vector<TestItem> drawn = DrawWeighted(candidates, c.weights, n, &random);
      EXPECT_EQ(drawn.size(), std::min<size_t>(n, c.weights.size()));
      std::set<uint16_t> distinct;
      for (size_t k = 0; k < drawn.size(); ++k) {
        distinct.insert(drawn[k].question);
        EXPECT_EQ(c.weights[drawn[k].question - 1] > 0, k < positive) << "draw " << k << " of " << n;
      }
      EXPECT_EQ(distinct.size(), drawn.size()) << n;
    }
  }
}

TEST(AnswerStats, EachTopicGetsItsShareOfRightAnswersPerWeek) {
  using R = AnswerResult;
  const auto on = [](Date date, std::vector<AnswerRecord> answers) {
    Correction c;
    for (auto& a : answers) a.date = date;
    c.answers = std::move(answers);
    return c;
  };
  // Monday 30/11/2026 .. Sunday 6/12/2026 is one week; 7/12/2026 starts the next.
  const std::vector<Correction> log = {
      on({30, 11, 2026}, {Answer(1, 2, R::kRight, "GEO"), Answer(2, 2, R::kWrong, "HIST")}),
      on({6, 12, 2026}, {Answer(1, 2, R::kRight, "GEO"), Answer(2, 2, R::kBlank, "GEO")}),
      on({7, 12, 2026}, {Answer(1, 1, R::kRight, "geo")}),
  };
  const DatedChart chart = TopicProgressChart(log, [](const std::string& file) {
    return file == "GEO" ? std::string("Geografia") : std::string();
  });
  ASSERT_EQ(chart.series.size(), 2u);
  EXPECT_EQ(chart.series[0].name, "Geografia");
  ASSERT_EQ(chart.series[0].points.size(), 2u);
  EXPECT_EQ(chart.series[0].points[0].date, (Date{30, 11, 2026}));
  EXPECT_NEAR(chart.series[0].points[0].value, 200.0 / 3, 1e-9);
  EXPECT_EQ(chart.series[0].points[1].date, (Date{7, 12, 2026}));
  EXPECT_DOUBLE_EQ(chart.series[0].points[1].value, 100);
  EXPECT_EQ(chart.series[0].points[0].tip, W("Geografia\r\nSetmana del 30/11/2026: 2 de 3 (66.7%)"));
  EXPECT_EQ(chart.series[1].name, "HIST");
  ASSERT_EQ(chart.series[1].points.size(), 1u);
  EXPECT_DOUBLE_EQ(chart.series[1].points[0].value, 0);
}

}  // namespace
}  // namespace quiz
