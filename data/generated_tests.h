#pragma once
// Generated tests: the index Generats\Generats.rel and the test files Generats\<name>.tgn, which
// list a test's questions as (topic number, question number) pairs, one number per line.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/files.h"
#include "toolkit/status.h"

namespace quiz {

inline constexpr char kGeneratedFolder[] = "Generats";
inline constexpr char kGeneratedIndexName[] = "Generats\\Generats.rel";
// Topic numbers of a test file are held in 8 bits by the runner.
inline constexpr uint32_t kMaxTestTopic = 255;

struct GeneratedTestEntry {
  std::string file_name;    // at most 32: the .tgn file without folder and extension
  std::string description;  // at most 80
  bool operator==(const GeneratedTestEntry&) const = default;
};

struct TestItem {
  uint16_t topic = 0;     // 1..255
  uint16_t question = 0;  // question number within the topic's file
  bool operator==(const TestItem&) const = default;
};

void EncodeGeneratedEntry(const GeneratedTestEntry& entry, char* bytes);
GeneratedTestEntry DecodeGeneratedEntry(const char* bytes);

// The number (from 1) of the entry whose file name is `name` cut to its field, letter case
// aside; 0 when none.
uint32_t EntryNamed(const std::vector<GeneratedTestEntry>& entries, const std::string& name);

// "Generats\" + file name + ".tgn".
std::string TestFileName(std::string_view file_name);

// The index of generated tests. The count is not limited to a byte: an index of any length
// keeps all its entries.
class GeneratedTestIndex {
 public:
  // The manager's open: an absent index gives count 0 and is not created here.
  Status OpenForManager(const std::string& name = kGeneratedIndexName);
  // The runner's open: creates the folder Generats and an empty index when they are missing. An
  // existing index is opened for reading only, so that tests on read-only media can be taken;
  // a missing one that cannot be created (a read-only folder) lists no test.
  Status OpenForRunner(const std::string& name = kGeneratedIndexName);
  void Close();

  bool is_open() const { return file_.is_open(); }
  uint32_t count() const { return count_; }

  // Entry n, 1 <= n <= count.
  Status Read(uint32_t n, GeneratedTestEntry* entry) const;
  Status ReadAll(std::vector<GeneratedTestEntry>* entries) const;
  // Adds the entry after the last one (creating folder and index when needed), then closes.
  Status Append(const GeneratedTestEntry& entry, const std::string& name = kGeneratedIndexName);
  // Rewrites entry n (1 <= n <= the index's count) in place, then closes.
  Status Replace(uint32_t n, const GeneratedTestEntry& entry, const std::string& name = kGeneratedIndexName);

 private:
  RecordFile file_;
  uint32_t count_ = 0;
};

// Every entry of the index as it is now, none when there is no index; the index is not kept open.
Status ReadGeneratedEntries(std::vector<GeneratedTestEntry>* entries, const std::string& name = kGeneratedIndexName);

// Writes a generated test while holding the lock of the index of generated tests (made, with its
// folder, when missing), from the choice of its name to its entry: its .tgn whole first, then
// its entry. An interruption never leaves an entry without its test; a new test whose entry
// cannot be added leaves no file behind.
//
// The name is taken under the lock: when an entry already has it (letter case aside) or a file
// Generats\<name>.tgn exists, nothing is written unless `replace` is true, and the status is
// kRefused with *taken (when given) set, so that two programs saving at once never write one
// file. With `replace`, the test of that name and its entry are rewritten in place (the entry
// appended when none has the name).
Status SaveGeneratedTest(const GeneratedTestEntry& entry, const std::vector<TestItem>& items, bool replace = false,
                         bool* taken = nullptr);
// The same, the entry chosen under the lock from the entries there are then (a name no entry
// and no file has yet): `*written` gets it.
Status SaveGeneratedTestNamed(const std::function<GeneratedTestEntry(const std::vector<GeneratedTestEntry>&)>& choose,
                              const std::vector<TestItem>& items, GeneratedTestEntry* written);

// Writes the test file: two lines per item, topic and question number, CR LF. The file is
// replaced whole.
Status WriteTestFile(const std::string& file_name, const std::vector<TestItem>& items);
// The bytes of a test file.
std::string FormatTestFile(const std::vector<TestItem>& items);

// Reads the items of a test file's bytes. A line that is not a whole number, a topic number of 0
// or above 255, a question number above 65535, or a topic without its question number, fails
// with a kCorrupt status that names `name` and the line. Empty lines at the very end are allowed.
Status ParseTestFile(std::string_view bytes, const std::string& name, std::vector<TestItem>* items);
// Reads the test file `name` (a full name such as "Generats\t1.tgn").
Status ReadTestFile(const std::string& name, std::vector<TestItem>* items);

}  // namespace quiz
