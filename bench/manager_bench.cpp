// The manager's topic list at its largest: 255 topics whose question files hold 65535 questions
// in all, next to opening and sizing the same files plainly.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "bench/bench_files.h"
#include "manager/topics.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

constexpr Layout kLayout{120, 120, 4, 100};
constexpr int kTopics = 255;
constexpr uint32_t kQuestions = 65535;

void Check(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.caption() + ": " + status.text());
}

std::string BankName(int n) { return "T" + std::to_string(n); }

void MakeTopics() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  TopicIndex index;
  Check(index.Create());
  const uint16_t size = RecordSizeFor(kLayout);
  for (int n = 1; n <= kTopics; ++n) {
    TopicEntry e;
    e.file_name = BankName(n);
    e.title = "Tema " + std::to_string(n);
    e.layout = kLayout;
    Check(index.Write(static_cast<uint16_t>(n), e));
    // 65535 = 255 x 257
    bench::WriteFile("Bases/" + BankName(n) + ".qst", std::string(size_t{kQuestions / kTopics} * size, '\0'), false);
  }
  made = true;
}

void BM_OpenAndSizeFilesPlainly(benchmark::State& state) {
  MakeTopics();
  for (auto _ : state) {
    uint64_t total = 0;
    for (int n = 1; n <= kTopics; ++n) {
      const int fd = ::open(("Bases/" + BankName(n) + ".qst").c_str(), O_RDWR | O_CLOEXEC);
      struct stat st;
      if (fd < 0 || ::fstat(fd, &st) != 0) throw std::runtime_error("open");
      total += static_cast<uint64_t>(st.st_size) / RecordSizeFor(kLayout);
      ::close(fd);
    }
    if (total != kQuestions) throw std::runtime_error("count");
  }
}

void BM_TopicList(benchmark::State& state) {
  MakeTopics();
  TopicIndex index;
  Check(index.Open());
  for (auto _ : state) {
    TextList lines;
    uint32_t total = 0;
    Check(BuildTopicList(index, &lines, &total));
    if (total != kQuestions || lines.count() != kTopics) throw std::runtime_error("list");
  }
}

BENCHMARK(BM_OpenAndSizeFilesPlainly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TopicList)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quiz
