// The answer log of a long preparation: a million answers (twenty thousand tests of fifty
// questions over twenty topics), read into results by topic and into a review test's draw, next
// to reading the log's bytes.

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <string>

#include "bench/bench_files.h"
#include "data/answer_format.h"
#include "data/answer_log.h"
#include "data/answer_stats.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

constexpr int kCorrections = 20000;
constexpr int kPerTest = 50;
constexpr int kTopics = 20;
constexpr int kQuestionsPerTopic = 500;

void MakeLog() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  std::mt19937 random(1);
  std::string bytes(static_cast<size_t>(kCorrections) * kPerTest * answer_format::kRecordSize, '\0');
  size_t at = 0;
  for (int c = 0; c < kCorrections; ++c) {
    const Date day{static_cast<uint16_t>(c % 28 + 1), static_cast<uint16_t>(c / 28 % 12 + 1),
                   static_cast<uint16_t>(2020 + c / 336)};
    for (int k = 1; k <= kPerTest; ++k) {
      const int topic = static_cast<int>(random() % kTopics);
      const auto question = static_cast<uint16_t>(random() % kQuestionsPerTopic + 1);
      const auto result = static_cast<AnswerResult>(random() % 3);
      const AnswerRecord r{day, 10, 0, 0, "test_" + std::to_string(c % 100), "TEMA" + std::to_string(topic), question,
                           static_cast<uint64_t>(topic) * 100000 + question,
                           result == AnswerResult::kBlank ? ' ' : 'a', result, static_cast<uint8_t>(k),
                           static_cast<uint8_t>(kPerTest)};
      EncodeAnswerRecord(r, &bytes[at]);
      at += answer_format::kRecordSize;
    }
  }
  if (!ReplaceFile(kAnswerLogName, bytes).ok()) throw std::runtime_error("no s'ha pogut escriure");
  made = true;
}

void BM_ReadLogBytes(benchmark::State& state) {
  MakeLog();
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadFileBytes(kAnswerLogName));
}

// The log's corrections found and nothing done with them, on one thread.
void BM_WalkOnly(benchmark::State& state) {
  MakeLog();
  for (auto _ : state) {
    size_t n = 0;
    if (!WalkAnswerLog([&](const char*, size_t count) { n += count; }).ok()) throw std::runtime_error("log");
    benchmark::DoNotOptimize(n);
  }
}

// The log read whole, then every answer counted by topic, on the threads given (0: as many as
// the programs use here).
void BM_ResultsByTopic(benchmark::State& state) {
  MakeLog();
  const LogSplit split{state.range(0) == 0 ? AnswerLogThreads() : static_cast<size_t>(state.range(0))};
  for (auto _ : state) {
    std::vector<TopicTally> tallies;
    if (!ReadTallyByTopic(&tallies, kAnswerLogName, split).ok() || tallies.size() != kTopics) {
      throw std::runtime_error("log");
    }
    benchmark::DoNotOptimize(tallies.data());
  }
}

// The log read whole, every question of the twenty topics weighed, and a test of fifty drawn.
void BM_ReviewDraw(benchmark::State& state) {
  MakeLog();
  const LogSplit split{state.range(0) == 0 ? AnswerLogThreads() : static_cast<size_t>(state.range(0))};
  std::vector<ReviewCandidate> candidates;
  for (int t = 0; t < kTopics; ++t) {
    for (uint16_t q = 1; q <= kQuestionsPerTopic; ++q) {
      candidates.push_back({{static_cast<uint16_t>(t + 1), q}, "TEMA" + std::to_string(t),
                            static_cast<uint64_t>(t) * 100000 + q});
    }
  }
  std::mt19937 random(2);
  for (auto _ : state) {
    ReviewWeights weights({1, 1, 2027});
    if (!weights.Read(kAnswerLogName, split).ok()) throw std::runtime_error("log");
    benchmark::DoNotOptimize(DrawWeighted(candidates, weights.For(candidates), kPerTest, &random));
  }
}

BENCHMARK(BM_ReadLogBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultsByTopic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReviewDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quiz
