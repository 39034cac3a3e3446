// Listing a long score history.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "bench/bench_files.h"
#include "data/score_format.h"
#include "data/score_history.h"
#include "toolkit/files.h"
#include "toolkit/text_list.h"

namespace quiz {
namespace {

// Ten years of a test a day, and some more.
constexpr int kRecords = 5000;

void MakeHistory() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  std::string bytes(static_cast<size_t>(kRecords) * score_format::kRecordSize, '\0');
  for (int i = 0; i < kRecords; ++i) {
    const ScoreRecord r = BuildScoreRecord({static_cast<uint16_t>(i % 28 + 1), static_cast<uint16_t>(i % 12 + 1), 2020},
                                           "historia_" + std::to_string(i % 40) + ".tgn", 50,
                                           static_cast<uint16_t>(i % 50), static_cast<uint16_t>((i * 7) % 10), 4);
    EncodeScoreRecord(r, &bytes[static_cast<size_t>(i) * score_format::kRecordSize]);
  }
  if (!ReplaceFile(kScoreHistoryName, bytes).ok()) throw std::runtime_error("no s'ha pogut escriure");
  made = true;
}

void BM_ReadHistoryBytes(benchmark::State& state) {
  MakeHistory();
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadFileBytes(kScoreHistoryName));
}

void BM_ScoreHistoryLines(benchmark::State& state) {
  MakeHistory();
  for (auto _ : state) {
    TextList lines;
    if (!ScoreHistoryLines(&lines).ok() || lines.count() != kRecords) throw std::runtime_error("llista");
    benchmark::DoNotOptimize(lines.items.data());
  }
}

BENCHMARK(BM_ReadHistoryBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScoreHistoryLines)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quiz
