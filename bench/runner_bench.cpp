// Loading a test in the runner.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include <fcntl.h>
#include <unistd.h>

#include "data/generated_tests.h"
#include "data/question_file.h"
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
    e.record_size = RecordSizeFor(e.layout);
    if (n <= 7) {
      QuestionFile file;
      Check(file.Open(e));
      for (int i = 0; i < 600; ++i) Check(file.Append({"Pregunta " + std::to_string(i), {"a", "b", "c", "d"}, ""}));
    }
  }
  std::vector<TestItem> items;
  for (uint16_t i = 0; i < kItems; ++i) {
    items.push_back({static_cast<uint16_t>(i % kTopics + 1), static_cast<uint16_t>(i + 1)});  // topics 1..7 hold the first questions
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

// A screen of the question area: seven questions, each through its topic entry and question
// file, as every drawing reads them again.
void BM_ReadScreenOfQuestions(benchmark::State& state) {
  MakeData();
  QuietRunnerScreen screen;
  TestEngine engine(&screen, Date{7, 12, 2026}, 1);
  if (!engine.LoadTest(kTest)) throw std::runtime_error("no s'ha carregat");
  Question q;
  for (auto _ : state) {
    for (uint16_t k = 1; k <= 7; ++k) Check(engine.ReadQuestion(k, &q));
    benchmark::DoNotOptimize(q.question.data());
  }
}

// The plain cost of the same: open each of the seven files and read one record.
void BM_ReadSevenRecordsPlainly(benchmark::State& state) {
  MakeData();
  std::string record(706, '\0');
  for (auto _ : state) {
    for (int k = 1; k <= 7; ++k) {
      const std::string name = "Bases/TEMA" + std::to_string(k) + ".qst";
      const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0 || ::pread(fd, record.data(), record.size(), 0) < 0) throw std::runtime_error(name);
      ::close(fd);
    }
  }
}

BENCHMARK(BM_ReadScreenOfQuestions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadSevenRecordsPlainly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadTestAndTopicIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTestOf500Items)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstLoadTestOf500Items)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quiz
