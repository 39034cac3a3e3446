// The record of a change of a topic's parameters that a killed program left, as the next program
// that opens the folder finds it: the input is a flags byte, the index's length / 6, then the
// record (641 bytes), the index and a bank that the flags put under the old name, as the copy
// and under the new name. Opening the index ends the change or refuses it; it never writes
// outside Bases, never takes bytes that are no record as one, and leaves no record behind it
// when it says the change is ended.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/topic_change.h"
#include "data/topic_index.h"
#include "toolkit/paths.h"

namespace {

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/quizfuzz-change-XXXXXX";
  if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string record = rest.substr(0, std::min(rest.size(), quiz::kTopicChangeSize));
  const std::string after = rest.substr(record.size());
  const std::string index = after.substr(0, std::min(after.size(), size_t{data[1]} * 6));
  const std::string bank = after.substr(index.size());

  std::filesystem::remove_all("Bases");
  ::mkdir("Bases", 0700);
  Put("Bases/Canvi.jnl", record);
  Put("Bases/Arxs.rel", index);
  quiz::TopicChange change;
  const bool decoded = quiz::DecodeTopicChange(record, "Bases\\Canvi.jnl", &change).ok();
  if (decoded) {
    quiz::TopicChange again;
    if (!quiz::DecodeTopicChange(quiz::EncodeTopicChange(change), "x", &again).ok() || !(again == change)) {
      std::abort();
    }
    if (flags & 1) Put(quiz::NativePath(quiz::QuestionFileName(change.old_entry)), bank);
    if (flags & 2) Put("Bases/Canvi.nou", bank);
    if (flags & 4) Put(quiz::NativePath(quiz::QuestionFileName(change.new_entry)), bank);
  }

  quiz::TopicIndex topics;
  const quiz::Status opened = topics.Open();
  topics.Close();
  if (opened.ok() && !decoded) std::abort();  // bytes that are no record were taken as one
  if (opened.ok() && quiz::FileExists(quiz::kTopicChangeName)) std::abort();  // ended, yet left
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (entry.path().filename() != "Bases") std::abort();  // written outside Bases
  }
  return 0;
}
