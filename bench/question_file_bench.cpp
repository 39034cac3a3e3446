// The question file at its largest: 65535 questions of the widest layout (about 50 MB).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "data/question_file.h"
#include "data/topic_change.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

constexpr Layout kWidest{128, 128, 4, 128};
constexpr uint16_t kQuestions = 65535;
const std::string kBank = "Bases/GRAN.qst";
const std::string kPristine = "gran.original";

void Check(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.caption() + ": " + status.text());
}

TopicEntry Topic(const Layout& layout) {
  TopicEntry e;
  e.file_name = "GRAN";
  e.title = "Banc gran";
  e.layout = layout;
  e.record_size = RecordSizeFor(layout);
  return e;
}

std::string Text(const char* stem, uint32_t n, size_t length) {
  std::string s = stem + std::to_string(n) + " ";
  while (s.size() < length) s += "abcdefghij klmnopqrst ";
  return s.substr(0, length);
}

// Writes the bank once per run, plus a pristine copy to restore after operations that change it.
void MakeBank() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  Check(MakeFolder("Bases"));
  const uint16_t size = RecordSizeFor(kWidest);
  std::string bytes(static_cast<size_t>(kQuestions) * size, '\0');
  for (uint32_t n = 1; n <= kQuestions; ++n) {
    Question q;
    q.question = Text("Pregunta ", n, 128);
    for (int k = 0; k < 4; ++k) q.answers[k] = Text("Resposta ", n * 4 + k, 90 + 10 * k);
    q.comment = Text("Comentari ", n, 100);
    EncodeQuestion(q, kWidest, size, &bytes[static_cast<size_t>(n - 1) * size]);
  }
  Check(ReplaceFile(kBank, bytes));
  bench::CopyFile(kBank, kPristine, false);
  made = true;
}

// Puts the untouched bank back and opens it, outside the timing.
void OpenFreshBank(benchmark::State& state, QuestionFile* file) {
  state.PauseTiming();
  bench::CopyFile(kPristine, kBank, false);
  Check(file->Open(Topic(kWidest)));
  state.ResumeTiming();
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kQuestions *
                          RecordSizeFor(kWidest));
}

// Baselines.
void BM_ReadFileBytes(benchmark::State& state) {
  MakeBank();
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadFileBytes(kBank));
  SetBytes(state);
}

void BM_CopyFileAndSync(benchmark::State& state) {
  MakeBank();
  for (auto _ : state) bench::CopyFile(kBank, "copia.qst", true);
  SetBytes(state);
}

// Operations.
void BM_OpenAndCount(benchmark::State& state) {
  MakeBank();
  for (auto _ : state) {
    QuestionFile file;
    Check(file.Open(Topic(kWidest)));
    benchmark::DoNotOptimize(file.count());
  }
}

void BM_ReadAllQuestions(benchmark::State& state) {
  MakeBank();
  QuestionFile file;
  Check(file.Open(Topic(kWidest)));
  for (auto _ : state) {
    size_t letters = 0;
    Check(file.Scan(1, kQuestions, [&](uint16_t, const Question& q) {
      letters += q.question.size();
      return true;
    }));
    if (letters != size_t{128} * kQuestions) throw std::runtime_error("lectura incompleta");
  }
  SetBytes(state);
}

void BM_ReadSevenRandomQuestions(benchmark::State& state) {
  MakeBank();
  QuestionFile file;
  Check(file.Open(Topic(kWidest)));
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(1, kQuestions);
  Question q;
  for (auto _ : state) {
    for (int i = 0; i < 7; ++i) Check(file.Read(static_cast<uint16_t>(pick(random)), &q));
    benchmark::DoNotOptimize(q.question.data());
  }
}

void BM_DeleteFirstQuestion(benchmark::State& state) {
  MakeBank();
  for (auto _ : state) {
    QuestionFile file;
    OpenFreshBank(state, &file);
    uint16_t n = 1;
    Check(file.Delete(&n));
  }
  SetBytes(state);
}

void BM_RelayoutToShorterAnswers(benchmark::State& state) {
  MakeBank();
  for (auto _ : state) {
    QuestionFile file;
    state.PauseTiming();
    // The topic's entry is the bank's: the change rewrites both, as a parameters save does.
    TopicIndex index;
    std::remove("Bases/Arxs.rel");
    Check(index.Create());
    Check(index.Write(1, Topic(kWidest)));
    state.ResumeTiming();
    OpenFreshBank(state, &file);
    ScopedLock<TopicIndex> lock(&index);
    Check(lock.Take());
    RelayoutResult result;
    Check(ChangeTopic(&index, 1, &file, Topic({128, 100, 4, 128}), &result));
    if (result.action != RelayoutResult::Action::kRewritten) throw std::runtime_error("sense canvi");
  }
  SetBytes(state);
}

// The editor's new question, at the end of a bank that grows with every iteration.
void BM_AppendQuestion(benchmark::State& state) {
  MakeBank();
  TopicEntry entry = Topic(kWidest);
  entry.file_name = "CREIX";
  QuestionFile file;
  Check(file.Open(entry));
  Question q;
  q.question = Text("Pregunta ", 1, 128);
  for (int k = 0; k < 4; ++k) q.answers[k] = Text("Resposta ", k, 100);
  for (auto _ : state) Check(file.Append(q));
  file.Close();
  std::remove("Bases/CREIX.qst");
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyFileAndSync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCount)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAllQuestions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSevenRandomQuestions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteFirstQuestion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RelayoutToShorterAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendQuestion)->Unit(benchmark::kMicrosecond)->Iterations(20000);

}  // namespace
}  // namespace quiz
