// The question editor over the largest bank: 65535 questions of the largest layout. The search
// next to a plain scan of the file's bytes for the same text, and the step to another question
// (read, fields, status line) at the end of the bank.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_files.h"
#include "manager/question_editor.h"
#include "manager/search.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

constexpr Layout kLayout{128, 128, 4, 128};
constexpr uint32_t kQuestions = 65535;
constexpr uint32_t kEvery = 97;  // one question in 97 holds the text searched

void Check(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.caption() + ": " + status.text());
}

TopicEntry Entry() {
  TopicEntry e;
  e.file_name = "gran";
  e.title = "Banc gran";
  e.layout = kLayout;
  e.record_size = RecordSizeFor(kLayout);
  return e;
}

// Question texts of about 100 characters; answers and comments full, and holding the text
// searched too, so that only the question texts can give the right count.
void MakeBank() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  ::mkdir("Bases", 0755);
  const size_t size = RecordSizeFor(kLayout);
  std::string bytes(kQuestions * size, '\0');
  for (uint32_t n = 1; n <= kQuestions; ++n) {
    Question q;
    q.question = "Pregunta " + std::to_string(n) + " sobre la latitud, la longitud i el temps solar de cada lloc";
    if (n % kEvery == 0) q.question += W(" al meridià");
    for (auto& a : q.answers) a = std::string(120, 'r') + W(" MERIDIÀ");
    q.comment = std::string(100, 'c') + W(" meridià");
    EncodeQuestion(q, kLayout, size, bytes.data() + (n - 1) * size);
  }
  bench::WriteFile("Bases/gran.qst", bytes, false);
  made = true;
}

// The same file read in 1 MB blocks and scanned for the text's bytes, nothing decoded.
void BM_PlainScanOfTheBytes(benchmark::State& state) {
  MakeBank();
  std::vector<char> block(1 << 20);
  const std::string text = W("meridià");
  const size_t wanted = text.size();
  for (auto _ : state) {
    const int fd = ::open("Bases/gran.qst", O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("open");
    size_t found = 0;
    for (ssize_t got; (got = ::read(fd, block.data(), block.size())) > 0;) {
      const char* p = block.data();
      const char* end = p + got;
      while (const void* at = memmem(p, static_cast<size_t>(end - p), text.data(), wanted)) {
        ++found;
        p = static_cast<const char*>(at) + wanted;
      }
    }
    ::close(fd);
    benchmark::DoNotOptimize(found);
  }
}

void BM_Search(benchmark::State& state) {
  MakeBank();
  QuestionFile bank;
  Check(bank.Open(Entry(), QuestionFile::Access::kRead));
  for (auto _ : state) {
    SearchHits hits;
    Check(SearchQuestions(bank, W("meridià"), &hits));
    if (hits.count != kQuestions / kEvery) throw std::runtime_error("count");
  }
}

class NoMessages : public Messages {
 public:
  int Message(const std::string&, const std::string&, uint32_t) override { return kIdNo; }
};

// Show question k at the end of the bank, as ">|" and "<" do: read it, hand over the fields,
// and the status line.
void BM_ShowQuestionAtTheEnd(benchmark::State& state) {
  MakeBank();
  QuestionFile bank;
  Check(bank.Open(Entry(), QuestionFile::Access::kRead));
  NoMessages messages;
  Question record, fields;
  QuestionEditor editor(&bank, kLayout, &record, &messages);
  uint32_t k = kQuestions;
  for (auto _ : state) {
    if (!editor.Show(k, false, &fields)) throw std::runtime_error("show");
    benchmark::DoNotOptimize(editor.StatusText());
    k = k == kQuestions ? kQuestions - 1 : kQuestions;
  }
}

BENCHMARK(BM_PlainScanOfTheBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowQuestionAtTheEnd)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quiz
