// A damaged data folder opened by the runner and listed by the manager: the input is a topic
// index, then a question file that every topic but the first names, then a generated test. The
// index's layouts and record sizes are taken as they come, so that no stored value can make a
// read go past a buffer; the first topic keeps its file name as it comes, and no name that
// could lead out of the folder Bases is ever opened.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "data/question_file.h"
#include "data/topic_format.h"
#include "data/topic_index.h"
#include "manager/topics.h"
#include "runner/runner_screen.h"
#include "runner/test_engine.h"
#include "runner/test_export.h"
#include "toolkit/paths.h"

namespace {

void Put(const char* path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/quizfuzz-XXXXXX";
  if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) std::abort();
  ::mkdir("Bases", 0700);
  ::mkdir("Generats", 0700);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes split the rest into the index, the question file and the test.
  const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const size_t index_size = std::min(rest.size(), size_t{data[0]} * 6);
  std::string index = rest.substr(0, index_size);
  const std::string tail = rest.substr(index_size);
  const size_t bank_size = std::min(tail.size(), size_t{data[1]} * 32);
  // Every topic's question file but the first one's is "q", so that the bank below is the one read.
  for (size_t at = quiz::topic_format::kEntrySize; at + quiz::topic_format::kEntrySize <= index.size();
       at += quiz::topic_format::kEntrySize) {
    index[at] = 1;
    index[at + 1] = 'q';
  }
  Put("Bases/Arxs.rel", index);
  Put("Bases/q.qst", tail.substr(0, bank_size));
  Put("Generats/t.tgn", tail.substr(bank_size));

  quiz::TopicIndex topics;
  if (topics.OpenForReading(quiz::kTopicIndexName).ok()) {
    for (uint16_t n = 1; n <= topics.count() && n <= 8; ++n) {
      quiz::TopicEntry entry;
      if (!topics.Read(n, &entry).ok()) std::abort();
      quiz::QuestionFile bank;
      if (!bank.Open(entry, quiz::QuestionFile::Access::kRead).ok()) continue;
      if (!quiz::FileNameFault(entry.file_name).empty()) std::abort();  // opened a name it must refuse
      quiz::Question q;
      for (uint16_t k = 0; k <= bank.count() && k <= 4; ++k) (void)bank.Read(k, &q);
      (void)bank.Scan(1, 64, [](uint16_t, const quiz::Question&) { return true; });
    }
  }
  // The manager's list shows every topic, one line each, whatever their entries hold.
  quiz::TextList lines;
  uint32_t total = 0;
  if (topics.is_open() && (!quiz::BuildTopicList(topics, &lines, &total, false).ok() ||
                           lines.items.size() != topics.count())) {
    std::abort();
  }
  quiz::QuietRunnerScreen screen;
  quiz::TestEngine engine(&screen, {1, 1, 2026}, 1);
  if (engine.LoadTest("Generats\\t.tgn")) {
    std::vector<std::string> lines;
    (void)quiz::ExportLines(engine, "fuzz", &lines);
  }
  return 0;
}
