// Random tests and the text export at their largest: a 255-question test drawn from 40 topics
// that hold 65535 questions, and a bank of 65535 questions exported to text next to writing the
// same number of bytes plainly (flushed to the disk, as the export's safe replace is).

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>

#include "bench/bench_files.h"
#include "manager/generation.h"
#include "manager/listings.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

constexpr uint32_t kQuestions = 65535;

void Check(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.caption() + ": " + status.text());
}

void BM_Draw255From40Topics(benchmark::State& state) {
  std::vector<DrawTopic> topics;
  for (uint16_t t = 1; t <= 40; ++t) {
    // 65535 in all: 39 topics of 1638 and one of 1653
    topics.push_back({t, static_cast<uint16_t>(t == 40 ? kQuestions - 39 * 1638 : 1638)});
  }
  if (AvailableQuestions(topics) != kQuestions) throw std::runtime_error("count");
  std::mt19937 random(1);
  for (auto _ : state) {
    const auto items = DrawTest(topics, 255, &random);
    benchmark::DoNotOptimize(FormatTestFile(items));
  }
}

TopicEntry Entry() {
  TopicEntry e;
  e.file_name = "gran";
  e.title = W("Banc gran de proves");
  e.layout = kConverterLayout;
  e.record_size = RecordSizeFor(kConverterLayout);
  return e;
}

size_t ExportSize() {
  static size_t size = 0;
  if (size != 0) return size;
  bench::EnterScratchFolder();
  ::mkdir("Bases", 0755);
  const size_t record = RecordSizeFor(kConverterLayout);
  std::string bytes(kQuestions * record, '\0');
  for (uint32_t n = 1; n <= kQuestions; ++n) {
    Question q;
    q.question = W("Quina és la resposta correcta a la pregunta número ") + std::to_string(n) + "?";
    for (int k = 0; k < 4; ++k) q.answers[static_cast<size_t>(k)] = "Resposta " + std::to_string(k + 1) + " de " + std::to_string(n);
    q.comment = n % 3 == 0 ? "Un comentari breu" : "";
    EncodeQuestion(q, kConverterLayout, record, bytes.data() + (n - 1) * record);
  }
  bench::WriteFile("Bases/gran.qst", bytes, false);
  QuestionFile bank;
  Check(bank.Open(Entry(), QuestionFile::Access::kRead));
  std::string text;
  Check(ExportText(bank, Entry(), {true, true, true, true}, &text));
  size = text.size();
  return size;
}

void BM_WriteTheSameBytesPlainly(benchmark::State& state) {
  const std::string bytes(ExportSize(), 'x');
  for (auto _ : state) bench::WriteFile("plain.txt", bytes, true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// The same bytes through the safe whole-file replace that the export uses.
void BM_ReplaceWithTheSameBytes(benchmark::State& state) {
  const std::string bytes(ExportSize(), 'x');
  for (auto _ : state) Check(ReplaceFile("plain.txt", bytes));
}
BENCHMARK(BM_ReplaceWithTheSameBytes)->Unit(benchmark::kMillisecond);

void BM_ExportToText(benchmark::State& state) {
  const size_t size = ExportSize();
  QuestionFile bank;
  Check(bank.Open(Entry(), QuestionFile::Access::kRead));
  for (auto _ : state) Check(ExportQuestions(bank, Entry(), {true, true, true, true}));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

BENCHMARK(BM_Draw255From40Topics)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteTheSameBytesPlainly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quiz
