#include "data/generated_tests.h"

#include <unistd.h>

#include <algorithm>
#include <array>

#include "data/generated_format.h"
#include "toolkit/coding.h"
#include "toolkit/paths.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

namespace gf = generated_format;

void EncodeGeneratedEntry(const GeneratedTestEntry& e, char* b) {
  std::fill(b, b + gf::kEntrySize, '\0');
  PutLString(b + gf::kFileNameOffset, gf::kFileNameCapacity, e.file_name);
  PutLString(b + gf::kDescriptionOffset, gf::kDescriptionCapacity, e.description);
}

GeneratedTestEntry DecodeGeneratedEntry(const char* b) {
  return {GetLString(b + gf::kFileNameOffset, gf::kFileNameCapacity),
          GetLString(b + gf::kDescriptionOffset, gf::kDescriptionCapacity)};
}

std::string TestFileName(std::string_view file_name) {
  return std::string(kGeneratedFolder) + "\\" + std::string(file_name) + ".tgn";
}

Status GeneratedTestIndex::OpenForManager(const std::string& name) {
  count_ = 0;
  Status status = file_.Open(name, gf::kEntrySize, RecordFile::Mode::kExisting);
  if (status.code() == Status::Code::kNotFound) return Status::Ok();
  QUIZ_RETURN_IF_ERROR(status);
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  count_ = static_cast<uint32_t>(std::min<uint64_t>(records, UINT32_MAX));
  return Status::Ok();
}

Status ReadGeneratedEntries(std::vector<GeneratedTestEntry>* entries, const std::string& name) {
  entries->clear();
  GeneratedTestIndex index;
  QUIZ_RETURN_IF_ERROR(index.OpenForManager(name));
  return index.ReadAll(entries);
}

Status GeneratedTestIndex::OpenForRunner(const std::string& name) {
  count_ = 0;
  Status status = file_.Open(name, gf::kEntrySize, RecordFile::Mode::kReadOnly);
  if (status.code() == Status::Code::kNotFound) {
    const size_t slash = name.rfind('\\');
    status = slash == std::string::npos ? Status::Ok() : MakeFolder(name.substr(0, slash));
    if (status.ok()) status = file_.Open(name, gf::kEntrySize, RecordFile::Mode::kCreate);
    // Nothing to list is what a folder without an index and without room for one holds.
    if (!status.ok() && !PathExists(name)) return Status::Ok();
  }
  QUIZ_RETURN_IF_ERROR(status);
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  count_ = static_cast<uint32_t>(std::min<uint64_t>(records, UINT32_MAX));
  return Status::Ok();
}

void GeneratedTestIndex::Close() {
  file_.Close();
  count_ = 0;
}

Status GeneratedTestIndex::Read(uint32_t n, GeneratedTestEntry* entry) const {
  if (n < 1 || n > count_) {
    return Status::Refused(W("Test inexistent"),
                           file_.name() + W(": no hi ha el test nº ") + std::to_string(n));
  }
  std::array<char, gf::kEntrySize> bytes;
  QUIZ_RETURN_IF_ERROR(file_.Read(n - 1, 1, bytes.data()));
  *entry = DecodeGeneratedEntry(bytes.data());
  return Status::Ok();
}

Status GeneratedTestIndex::ReadAll(std::vector<GeneratedTestEntry>* entries) const {
  entries->clear();
  if (count_ == 0) return Status::Ok();
  std::vector<char> bytes(static_cast<size_t>(count_) * gf::kEntrySize);
  QUIZ_RETURN_IF_ERROR(file_.Read(0, count_, bytes.data()));
  entries->reserve(count_);
  for (uint32_t i = 0; i < count_; ++i) entries->push_back(DecodeGeneratedEntry(&bytes[i * gf::kEntrySize]));
  return Status::Ok();
}

Status GeneratedTestIndex::Append(const GeneratedTestEntry& entry, const std::string& name) {
  Close();
  const size_t slash = name.rfind('\\');
  if (slash != std::string::npos) QUIZ_RETURN_IF_ERROR(MakeFolder(name.substr(0, slash)));
  QUIZ_RETURN_IF_ERROR(file_.Open(name, gf::kEntrySize, RecordFile::Mode::kCreate));
  std::array<char, gf::kEntrySize> bytes;
  EncodeGeneratedEntry(entry, bytes.data());
  QUIZ_RETURN_IF_ERROR(file_.Append(1, bytes.data()));
  QUIZ_RETURN_IF_ERROR(file_.Sync());
  Close();
  return Status::Ok();
}

Status GeneratedTestIndex::Replace(uint32_t n, const GeneratedTestEntry& entry, const std::string& name) {
  Close();
  QUIZ_RETURN_IF_ERROR(file_.Open(name, gf::kEntrySize, RecordFile::Mode::kExisting));
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  if (n == 0 || n > records) {
    Close();
    return Status::Refused(W("Test inexistent"), name + W(": no hi ha l'entrada nº ") + IntToText(static_cast<int32_t>(n)));
  }
  std::array<char, gf::kEntrySize> bytes;
  EncodeGeneratedEntry(entry, bytes.data());
  QUIZ_RETURN_IF_ERROR(file_.Write(n - 1, 1, bytes.data()));
  QUIZ_RETURN_IF_ERROR(file_.Sync());
  Close();
  return Status::Ok();
}

uint32_t EntryNamed(const std::vector<GeneratedTestEntry>& entries, const std::string& name) {
  const std::string wanted = UpperCat(CutText(name, gf::kFileNameCapacity));
  for (size_t i = 0; i < entries.size(); ++i) {
    if (UpperCat(entries[i].file_name) == wanted) return static_cast<uint32_t>(i + 1);
  }
  return 0;
}

std::string FormatTestFile(const std::vector<TestItem>& items) {
  std::string bytes;
  bytes.reserve(items.size() * 12);
  for (const TestItem& item : items) {
    bytes += IntToText(item.topic) + "\r\n" + IntToText(item.question) + "\r\n";
  }
  return bytes;
}

Status WriteTestFile(const std::string& file_name, const std::vector<TestItem>& items) {
  QUIZ_RETURN_IF_ERROR(MakeFolder(kGeneratedFolder));
  return ReplaceFile(TestFileName(file_name), FormatTestFile(items));
}

namespace {

// What a save decided under the lock: the entry, and the number of the one it replaces (0 to
// append). A failed status writes nothing.
struct SaveChoice {
  Status status;
  GeneratedTestEntry entry;
  uint32_t replace = 0;
};

Status SaveLocked(const std::function<SaveChoice(const std::vector<GeneratedTestEntry>&)>& choose,
                  const std::vector<TestItem>& items, GeneratedTestEntry* written) {
  QUIZ_RETURN_IF_ERROR(MakeFolder(kGeneratedFolder));
  RecordFile index;
  QUIZ_RETURN_IF_ERROR(index.Open(kGeneratedIndexName, gf::kEntrySize, RecordFile::Mode::kCreate));
  RecordLock lock(&index);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  uint64_t count = 0;
  QUIZ_RETURN_IF_ERROR(index.Count(&count));
  std::vector<char> bytes(static_cast<size_t>(count) * gf::kEntrySize);
  if (count > 0) QUIZ_RETURN_IF_ERROR(index.Read(0, static_cast<size_t>(count), bytes.data()));
  std::vector<GeneratedTestEntry> entries;
  entries.reserve(static_cast<size_t>(count));
  for (uint64_t i = 0; i < count; ++i) entries.push_back(DecodeGeneratedEntry(&bytes[i * gf::kEntrySize]));

  const SaveChoice choice = choose(entries);
  QUIZ_RETURN_IF_ERROR(choice.status);
  const std::string file = TestFileName(choice.entry.file_name);
  const bool existed = FileExists(file);
  QUIZ_RETURN_IF_ERROR(WriteTestFile(choice.entry.file_name, items));
  std::array<char, gf::kEntrySize> entry;
  EncodeGeneratedEntry(choice.entry, entry.data());
  Status added = choice.replace != 0 ? index.Write(choice.replace - 1, 1, entry.data()) : index.Append(1, entry.data());
  if (added.ok()) added = index.Sync();
  // A test of its own that no entry names would only be in the way.
  if (!added.ok() && !existed) ::unlink(NativePath(file).c_str());
  QUIZ_RETURN_IF_ERROR(added);
  if (written) *written = choice.entry;
  return Status::Ok();
}

Status NameTaken(const std::string& name) {
  return Status::Refused(W("Test existent"), W("Ja hi ha un test amb el nom «") + name + W("»."));
}

}  // namespace

Status SaveGeneratedTest(const GeneratedTestEntry& entry, const std::vector<TestItem>& items, bool replace,
                         bool* taken) {
  if (taken) *taken = false;
  return SaveLocked(
      [&](const std::vector<GeneratedTestEntry>& entries) {
        SaveChoice choice{Status::Ok(), entry, EntryNamed(entries, entry.file_name)};
        if (choice.replace != 0) choice.entry.file_name = entries[choice.replace - 1].file_name;
        const bool in_use = choice.replace != 0 || FileExists(TestFileName(entry.file_name));
        if (in_use && !replace) {
          if (taken) *taken = true;
          choice.status = NameTaken(choice.entry.file_name);
        }
        return choice;
      },
      items, nullptr);
}

Status SaveGeneratedTestNamed(const std::function<GeneratedTestEntry(const std::vector<GeneratedTestEntry>&)>& choose,
                              const std::vector<TestItem>& items, GeneratedTestEntry* written) {
  return SaveLocked(
      [&](const std::vector<GeneratedTestEntry>& entries) {
        SaveChoice choice{Status::Ok(), choose(entries), 0};
        if (EntryNamed(entries, choice.entry.file_name) != 0 || FileExists(TestFileName(choice.entry.file_name))) {
          choice.status = NameTaken(choice.entry.file_name);
        }
        return choice;
      },
      items, written);
}

Status ParseTestFile(std::string_view bytes, const std::string& name, std::vector<TestItem>* items) {
  items->clear();
  TextReader reader;
  reader.OpenBytes(std::string(bytes));
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(&line)) lines.push_back(line);
  while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();

  auto bad = [&](size_t line_number, const std::string& why) {
    items->clear();
    return Status::Corrupt(W("Test no vàlid"),
                           name + W(", línia ") + std::to_string(line_number) + ": " + W(why));
  };
  uint32_t topic = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string text = Trim(lines[i]);
    const bool digits_only =
        !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    int32_t value = 0;
    if (!digits_only || !ParseInt(text, &value)) return bad(i + 1, "no és un nombre enter");
    if (i % 2 == 0) {
      if (value < 1 || static_cast<uint32_t>(value) > kMaxTestTopic) {
        return bad(i + 1, "el número de tema ha de ser d'1 a 255");
      }
      topic = static_cast<uint32_t>(value);
    } else {
      if (value > UINT16_MAX) return bad(i + 1, "el número de qüestió passa de 65535");
      items->push_back({static_cast<uint16_t>(topic), static_cast<uint16_t>(value)});
    }
  }
  if (lines.size() % 2 != 0) return bad(lines.size() + 1, "hi falta el número de qüestió");
  return Status::Ok();
}

Status ReadTestFile(const std::string& name, std::vector<TestItem>* items) {
  std::string bytes;
  QUIZ_RETURN_IF_ERROR(ReadWholeFile(name, &bytes));
  return ParseTestFile(bytes, name, items);
}

}  // namespace quiz
