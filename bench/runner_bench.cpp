// Loading a test in the runner.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "data/generated_tests.h"
#include "data/topic_index.h"
#include "runner/test_engine.h"

namespace quiz {
namespace {

constexpr uint16_t kTopics = 255;
constexpr uint16_t kItems = 500;
const std::string kTest = "Generats\\gran.tgn";

void Check(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.ToString());
}

void MakeData() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  TopicIndex index;
  Check(index.Create());
  for (uint16_t n = 1; n <= kTopics; ++n) {
    TopicEntry e;
    e.file_name = "TEMA" + std::to_string(n);
    e.title = "Tema " + std::to_string(n);
    e.layout = {120, 120, 4, 100};
    Check(index.Write(n, e));
  }
  std::vector<TestItem> items;
  for (uint16_t i = 0; i < kItems; ++i) {
    items.push_back({static_cast<uint16_t>(i % kTopics + 1), static_cast<uint16_t>(i + 1)});
  }
  Check(WriteTestFile("gran", items));
  made = true;
}

void BM_ReadTestAndTopicIndex(benchmark::State& state) {
  MakeData();
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench::ReadFileBytes("Generats/gran.tgn"));
    benchmark::DoNotOptimize(bench::ReadFileBytes("Bases/Arxs.rel"));
  }
}

void BM_LoadTestOf500Items(benchmark::State& state) {
  MakeData();
  QuietRunnerScreen screen;
  TestEngine engine(&screen, Date{7, 12, 2026}, 1);
  for (auto _ : state) {
    if (!engine.LoadTest(kTest)) throw std::runtime_error("no s'ha carregat");
  }
}

// The first load also opens the topic index.
void BM_FirstLoadTestOf500Items(benchmark::State& state) {
  MakeData();
  QuietRunnerScreen screen;
  for (auto _ : state) {
    TestEngine engine(&screen, Date{7, 12, 2026}, 1);
    if (!engine.LoadTest(kTest)) throw std::runtime_error("no s'ha carregat");
  }
}

BENCHMARK(BM_ReadTestAndTopicIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTestOf500Items)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstLoadTestOf500Items)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quiz
