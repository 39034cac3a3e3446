#include "data/topic_change.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/topic_format.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/messages.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr char kMagic[] = "QZC1";
constexpr size_t kOldAt = 4;
constexpr size_t kNewAt = kOldAt + topic_format::kEntrySize;
constexpr size_t kKindAt = kNewAt + topic_format::kEntrySize;
static_assert(kKindAt + 1 == kTopicChangeSize);

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsEmptyFile(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

Status NameTaken(const std::string& name) {
  return Status::Refused(W("Nom d'arxiu en ús"), name + W(" ja existeix i és d'un altre tema; trieu un altre nom"));
}

// A change that cannot be ended: nothing more is done, and no topic is read meanwhile.
Status CannotEnd(const TopicChange& change, const std::string& why) {
  return Status::Corrupt(W("Canvi interromput"),
                         std::string(kTopicChangeName) + W(": el canvi dels paràmetres del tema «") +
                             change.new_entry.title + W("» es va interrompre i no es pot acabar: ") + why +
                             W(". No s'ha tocat cap fitxer; quan ho hàgiu resolt, torneu a obrir el programa."));
}

Status CheckEntry(const TopicEntry& e, const std::string& name, const char* which) {
  const std::string what = name + W(": l'entrada ") + which;
  if (const std::string fault = FileNameFault(e.file_name); !fault.empty()) {
    return Status::Corrupt(W("Canvi interromput"), what + W(" té el nom d'arxiu «") + e.file_name + W("», que ") + fault);
  }
  QUIZ_RETURN_IF_ERROR(CheckLayout(e.layout, what));
  if (e.record_size < RecordSizeFor(e.layout) || e.record_size > kMaxRecordSize) {
    return Status::Corrupt(W("Canvi interromput"), what + W(" té una mida de registre que no és vàlida"));
  }
  return Status::Ok();
}

// Steps 3 to 5 of a change whose record is written, each one skipped when an earlier run of it
// already made it. The index's lock is held.
Status EndChange(TopicIndex* index, const TopicChange& change, RelayoutResult* result) {
  const std::string old_name = QuestionFileName(change.old_entry);
  const std::string new_name = QuestionFileName(change.new_entry);
  const std::string old_path = NativePath(old_name);
  const std::string new_path = NativePath(new_name);
  const std::string copy_path = NativePath(kTopicChangeBankName);
  const bool renamed = UpperCat(change.old_entry.file_name) != UpperCat(change.new_entry.file_name) &&
                       !SameFile(old_path, new_path);
  // 3. The questions under the topic's new file name.
  if (change.rewrite) {
    if (Exists(copy_path)) {
      if (renamed && Exists(new_path)) {
        return CannotEnd(change, new_name + W(" ja existeix i és d'un altre fitxer"));
      }
      if (::rename(copy_path.c_str(), new_path.c_str()) != 0) {
        return Status::IoError(WriteFailedCaption(), new_name, errno);
      }
    } else if (!Exists(new_path)) {
      return CannotEnd(change, W("no hi ha ni ") + kTopicChangeBankName + W(" ni ") + new_name);
    }
    if (renamed && Exists(old_path) && ::unlink(old_path.c_str()) != 0 && errno != ENOENT) {
      result->old_file_left = Status::IoError(W("No s'ha pogut esborrar l'arxiu antic"), old_name, errno);
    }
  } else if (renamed) {
    // An empty file under the old name is what a list of topics made, reading the old entry.
    if (Exists(old_path) && Exists(new_path) && IsEmptyFile(old_path)) (void)::unlink(old_path.c_str());
    if (Exists(old_path)) {
      if (Exists(new_path)) return CannotEnd(change, new_name + W(" ja existeix i és d'un altre fitxer"));
      if (::rename(old_path.c_str(), new_path.c_str()) != 0) {
        return Status::IoError(WriteFailedCaption(), new_name, errno);
      }
    } else if (!Exists(new_path)) {
      return CannotEnd(change, W("no hi ha ni ") + old_name + W(" ni ") + new_name);
    }
  }
  SyncFolder(FolderOfPath(new_path));
  // 4. The entry, found by its old file name wherever it is now. Already the new one: written
  // before the kill. Neither: the topic was removed meanwhile, and nothing is left to end.
  TopicEntry stored_new = change.new_entry;
  stored_new.record_size = RecordSizeFor(stored_new.layout);
  for (uint16_t n = 1; n <= index->count(); ++n) {
    TopicEntry e;
    QUIZ_RETURN_IF_ERROR(index->Read(n, &e));
    if (e == change.old_entry) {
      QUIZ_RETURN_IF_ERROR(index->Write(n, stored_new));
      break;
    }
    if (e == stored_new) break;
  }
  // 5. The record goes.
  const std::string record = NativePath(kTopicChangeName);
  if (::unlink(record.c_str()) != 0 && errno != ENOENT) {
    return Status::IoError(WriteFailedCaption(), kTopicChangeName, errno);
  }
  SyncFolder(FolderOfPath(record));
  return Status::Ok();
}

}  // namespace

std::string EncodeTopicChange(const TopicChange& change) {
  std::string bytes(kTopicChangeSize, '\0');
  std::memcpy(bytes.data(), kMagic, 4);
  EncodeTopicEntry(change.old_entry, bytes.data() + kOldAt);
  EncodeTopicEntry(change.new_entry, bytes.data() + kNewAt);
  bytes[kKindAt] = change.rewrite ? 1 : 0;
  return bytes;
}

Status DecodeTopicChange(std::string_view bytes, const std::string& name, TopicChange* change) {
  if (bytes.size() != kTopicChangeSize || bytes.substr(0, 4) != kMagic ||
      (bytes[kKindAt] != 0 && bytes[kKindAt] != 1)) {
    return Status::Corrupt(W("Canvi interromput"),
                           name + W(": no és el registre d'un canvi de paràmetres d'un tema, i mentre hi sigui "
                                    "no es llegeix cap tema. No s'hi ha tocat res: traieu aquest fitxer de la "
                                    "carpeta Bases i torneu a obrir el programa."));
  }
  TopicChange c;
  c.old_entry = DecodeTopicEntry(bytes.data() + kOldAt);
  c.new_entry = DecodeTopicEntry(bytes.data() + kNewAt);
  c.rewrite = bytes[kKindAt] == 1;
  QUIZ_RETURN_IF_ERROR(CheckEntry(c.old_entry, name, "antiga"));
  QUIZ_RETURN_IF_ERROR(CheckEntry(c.new_entry, name, "nova"));
  *change = c;
  return Status::Ok();
}

bool TopicChangePending() { return FileExists(kTopicChangeName) || FileExists(kTopicChangeBankName); }

Status SettleTopicChange(TopicIndex* index) {
  if (FileExists(kTopicChangeName)) {
    std::string bytes;
    QUIZ_RETURN_IF_ERROR(ReadWholeFile(kTopicChangeName, &bytes));
    TopicChange change;
    QUIZ_RETURN_IF_ERROR(DecodeTopicChange(bytes, kTopicChangeName, &change));
    RelayoutResult ended;
    return EndChange(index, change, &ended);
  }
  // A copy without its record: the change never started, and its owner, who held the lock, is gone.
  if (FileExists(kTopicChangeBankName)) (void)::unlink(NativePath(kTopicChangeBankName).c_str());
  return Status::Ok();
}

Status ChangeTopic(TopicIndex* index, uint16_t n, QuestionFile* bank, const TopicEntry& new_entry,
                   RelayoutResult* result) {
  *result = RelayoutResult{};
  ScopedLock<TopicIndex> index_lock(index);
  QUIZ_RETURN_IF_ERROR(index_lock.Take());
  TopicChange change;
  QUIZ_RETURN_IF_ERROR(index->Read(n, &change.old_entry));
  change.new_entry = new_entry;
  change.new_entry.record_size = RecordSizeFor(new_entry.layout);
  const std::string new_name = QuestionFileName(new_entry);
  QUIZ_RETURN_IF_ERROR(CheckLayout(new_entry.layout, new_name));
  const bool renamed = UpperCat(change.old_entry.file_name) != UpperCat(new_entry.file_name);
  change.rewrite = change.old_entry.layout != new_entry.layout;
  result->file_name = new_name;
  if (!change.rewrite && !renamed) return index->Write(n, change.new_entry);

  if (!bank->is_open()) return Status::Refused(W("Cap tema obert"), W("No hi ha cap fitxer de qüestions obert"));
  // The questions are read from the file as it is now, and none can be added until the new file
  // has taken its place.
  ScopedLock<QuestionFile> bank_lock(bank);
  QUIZ_RETURN_IF_ERROR(bank_lock.Take());
  const std::string old_path = NativePath(bank->name());
  if (renamed && FileExists(new_name) && !SameFile(old_path, NativePath(new_name))) return NameTaken(new_name);
  // 1 and 2: until the record is on the disk, the topic is as it was.
  if (change.rewrite) QUIZ_RETURN_IF_ERROR(bank->WriteRelaidOut(new_entry.layout, kTopicChangeBankName));
  if (const Status recorded = ReplaceFile(kTopicChangeName, EncodeTopicChange(change)); !recorded.ok()) {
    if (change.rewrite) (void)::unlink(NativePath(kTopicChangeBankName).c_str());
    return recorded;
  }
  result->action = change.rewrite ? RelayoutResult::Action::kRewritten : RelayoutResult::Action::kRenamed;
  const Status ended = EndChange(index, change, result);
  bank->Close();
  QUIZ_RETURN_IF_ERROR(ended);
  return bank->Open(change.new_entry, QuestionFile::Access::kWrite);
}

}  // namespace quiz
