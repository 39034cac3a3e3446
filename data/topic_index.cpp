#include "data/topic_index.h"

#include <algorithm>
#include <array>

#include "data/topic_change.h"
#include "data/topic_format.h"
#include "toolkit/coding.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {

namespace tf = topic_format;

Status CheckLayout(const Layout& l, const std::string& what) {
  auto out_of_range = [&](const char* field, int value, int low, int high) {
    return Status::Refused(W("Format no vàlid"),
                           what + ": " + W(field) + " " + IntToText(value) + W(" (ha de ser de ") +
                               IntToText(low) + " a " + IntToText(high) + ")");
  };
  if (l.question_length < 1 || l.question_length > kMaxFieldLength) {
    return out_of_range("longitud de la pregunta", l.question_length, 1, kMaxFieldLength);
  }
  if (l.answer_length < 1 || l.answer_length > kMaxFieldLength) {
    return out_of_range("longitud de la resposta", l.answer_length, 1, kMaxFieldLength);
  }
  if (l.alternatives < kMinAlternatives || l.alternatives > kMaxAlternatives) {
    return out_of_range("nombre d'alternatives", l.alternatives, kMinAlternatives,
                        kMaxAlternatives);
  }
  if (l.comment_length > kMaxFieldLength) {
    return out_of_range("longitud del comentari", l.comment_length, 0, kMaxFieldLength);
  }
  return Status::Ok();
}

void EncodeTopicEntry(const TopicEntry& e, char* b) {
  std::fill(b, b + tf::kEntrySize, '\0');
  PutLString(b + tf::kFileNameOffset, tf::kFileNameCapacity, e.file_name);
  PutLString(b + tf::kTitleOffset, tf::kTitleCapacity, e.title);
  PutU32(b + tf::kFormatKindOffset, e.format_kind);
  if (e.HasEditorNote()) PutLString(b + tf::kEditorNoteOffset, tf::kEditorNoteCapacity, e.editor_note);
  PutU16(b + tf::kQuestionLengthOffset, e.layout.question_length);
  PutU16(b + tf::kAnswerLengthOffset, e.layout.answer_length);
  PutU16(b + tf::kAlternativesOffset, e.layout.alternatives);
  PutU16(b + tf::kCommentLengthOffset, e.layout.comment_length);
  PutU16(b + tf::kRecordSizeOffset, e.record_size);
}

TopicEntry DecodeTopicEntry(const char* b) {
  TopicEntry e;
  e.file_name = GetLString(b + tf::kFileNameOffset, tf::kFileNameCapacity);
  e.title = GetLString(b + tf::kTitleOffset, tf::kTitleCapacity);
  e.format_kind = GetU32(b + tf::kFormatKindOffset);
  if (e.HasEditorNote()) e.editor_note = GetLString(b + tf::kEditorNoteOffset, tf::kEditorNoteCapacity);
  e.layout.question_length = GetU16(b + tf::kQuestionLengthOffset);
  e.layout.answer_length = GetU16(b + tf::kAnswerLengthOffset);
  e.layout.alternatives = GetU16(b + tf::kAlternativesOffset);
  e.layout.comment_length = GetU16(b + tf::kCommentLengthOffset);
  e.record_size = GetU16(b + tf::kRecordSizeOffset);
  return e;
}

std::string QuestionFileName(const TopicEntry& entry) {
  return std::string(kBasesFolder) + "\\" + entry.file_name + ".qst";
}

Status TopicIndex::Open(const std::string& name) { return OpenWith(name, RecordFile::Mode::kExisting); }

Status TopicIndex::OpenForReading(const std::string& name) {
  return OpenWith(name, RecordFile::Mode::kReadOnly);
}

Status TopicIndex::OpenWith(const std::string& name, RecordFile::Mode mode) {
  count_ = 0;
  read_only_ = mode == RecordFile::Mode::kReadOnly;
  QUIZ_RETURN_IF_ERROR(file_.Open(name, tf::kEntrySize, mode));
  Status status = Recount();
  if (status.ok()) status = EndPendingChange();
  if (!status.ok()) Close();
  return status;
}

Status TopicIndex::EndPendingChange() {
  if (!TopicChangePending() || locked()) return Status::Ok();  // a lock ends it when it is taken
  if (!read_only_) {
    QUIZ_RETURN_IF_ERROR(Lock());
    Unlock();
    return Status::Ok();
  }
  // Read only here: the change is ended through an index opened for writing, where the folder
  // lets one be; where it does not, no topic is read half-changed.
  TopicIndex writable;
  if (const Status opened = writable.Open(file_.name()); !opened.ok()) {
    if (opened.code() != Status::Code::kIoError) return opened;
    return Status::Corrupt(W("Canvi interromput"),
                           std::string(kTopicChangeName) +
                               W(": un canvi dels paràmetres d'un tema es va interrompre, i aquí no es pot acabar "
                                 "perquè no es pot escriure a la carpeta (") +
                               opened.text() + W("). Fins que s'acabi no es llegeix cap tema."));
  }
  writable.Close();
  QUIZ_RETURN_IF_ERROR(file_.Refresh());
  return Recount();
}

Status TopicIndex::Create(const std::string& name) {
  count_ = 0;
  const size_t slash = name.rfind('\\');
  if (slash != std::string::npos) QUIZ_RETURN_IF_ERROR(MakeFolder(name.substr(0, slash)));
  QUIZ_RETURN_IF_ERROR(file_.Open(name, tf::kEntrySize, RecordFile::Mode::kCreate));
  return Recount();
}

void TopicIndex::Close() {
  file_.Close();
  count_ = 0;
}

Status TopicIndex::Recount() {
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  count_ = static_cast<uint16_t>(std::min<uint64_t>(records, UINT16_MAX));
  return Status::Ok();
}

Status TopicIndex::Refresh() {
  QUIZ_RETURN_IF_ERROR(file_.Refresh());
  QUIZ_RETURN_IF_ERROR(Recount());
  return EndPendingChange();
}

Status TopicIndex::Reopen() {
  const std::string name = file_.name();
  return Open(name);
}

Status TopicIndex::CheckNumber(uint16_t n, uint16_t limit) const {
  if (!is_open()) return Status::Refused(W("Índex de temes tancat"), W("No hi ha cap índex de temes obert"));
  if (n < 1 || n > limit) {
    return Status::Refused(W("Tema inexistent"),
                           file_.name() + W(": no hi ha el tema nº ") + IntToText(n));
  }
  return Status::Ok();
}

Status TopicIndex::Read(uint16_t n, TopicEntry* entry) const {
  QUIZ_RETURN_IF_ERROR(CheckNumber(n, count_));
  std::array<char, tf::kEntrySize> bytes;
  QUIZ_RETURN_IF_ERROR(file_.Read(n - 1, 1, bytes.data()));
  *entry = DecodeTopicEntry(bytes.data());
  return Status::Ok();
}

Status TopicIndex::Write(uint16_t n, const TopicEntry& entry) {
  if (n == UINT16_MAX && n > count_) {
    return Status::Refused(W("Massa temes"), file_.name() + W(": l'índex ja té 65535 temes"));
  }
  QUIZ_RETURN_IF_ERROR(CheckNumber(n, static_cast<uint16_t>(count_ + 1)));
  QUIZ_RETURN_IF_ERROR(CheckLayout(entry.layout, entry.file_name));
  TopicEntry stored = entry;
  stored.record_size = RecordSizeFor(entry.layout);
  std::array<char, tf::kEntrySize> bytes;
  EncodeTopicEntry(stored, bytes.data());
  // A new topic goes after the last one in the index now, whatever others added since.
  if (n > count_) {
    QUIZ_RETURN_IF_ERROR(file_.Append(1, bytes.data()));
  } else {
    QUIZ_RETURN_IF_ERROR(file_.Write(n - 1, 1, bytes.data()));
  }
  QUIZ_RETURN_IF_ERROR(file_.Sync());
  return Recount();
}

namespace {

// Reads every whole entry of the index as it is now (`current` is locked).
Status ReadEntries(const RecordFile& current, std::vector<char>* bytes, uint16_t* count) {
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(current.Count(&records));
  *count = static_cast<uint16_t>(std::min<uint64_t>(records, UINT16_MAX));
  bytes->resize(static_cast<size_t>(*count) * tf::kEntrySize);
  return current.Read(0, *count, bytes->data());
}

}  // namespace

Status TopicIndex::Delete(uint16_t n) {
  QUIZ_RETURN_IF_ERROR(CheckNumber(n, count_));
  QUIZ_RETURN_IF_ERROR(RewriteRecordFile(file_.name(), tf::kEntrySize, [&](const RecordFile& current, SafeWriter* out) {
    std::vector<char> bytes;
    uint16_t count = 0;
    QUIZ_RETURN_IF_ERROR(ReadEntries(current, &bytes, &count));
    QUIZ_RETURN_IF_ERROR(CheckNumber(n, count));
    bytes.erase(bytes.begin() + static_cast<ptrdiff_t>((n - 1) * tf::kEntrySize),
                bytes.begin() + static_cast<ptrdiff_t>(n * tf::kEntrySize));
    return out->Append(std::string_view(bytes.data(), bytes.size()));
  }));
  return Reopen();
}

Status TopicIndex::Reorder(const std::vector<uint8_t>& order) {
  if (!is_open()) return CheckNumber(1, 0);
  if (count_ > 255) {
    return Status::Refused(W("No es pot reordenar"),
                           W("L'índex té ") + IntToText(count_) +
                               W(" temes i només se'n poden reordenar fins a 255"));
  }
  std::vector<bool> seen(count_ + 1u, false);
  bool permutation = order.size() == count_;
  for (size_t i = 0; permutation && i < order.size(); ++i) {
    const uint8_t old = order[i];
    permutation = old >= 1 && old <= count_ && !seen[old];
    if (permutation) seen[old] = true;
  }
  if (!permutation) {
    return Status::Refused(W("No es pot reordenar"),
                           W("L'ordre no conté cada tema exactament una vegada"));
  }
  QUIZ_RETURN_IF_ERROR(RewriteRecordFile(file_.name(), tf::kEntrySize, [&](const RecordFile& current, SafeWriter* out) {
    std::vector<char> old_bytes;
    uint16_t count = 0;
    QUIZ_RETURN_IF_ERROR(ReadEntries(current, &old_bytes, &count));
    // The order was made for the index as it was shown; topics added since keep their places
    // after it.
    if (count < count_) {
      return Status::Refused(W("No es pot reordenar"), W("Un altre programa ha esborrat temes de l'índex"));
    }
    std::string new_bytes;
    new_bytes.reserve(old_bytes.size());
    for (uint8_t old : order) new_bytes.append(old_bytes.data() + (old - 1) * tf::kEntrySize, tf::kEntrySize);
    new_bytes.append(old_bytes.data() + static_cast<size_t>(count_) * tf::kEntrySize,
                     static_cast<size_t>(count - count_) * tf::kEntrySize);
    return out->Append(new_bytes);
  }));
  return Reopen();
}

namespace {

// The number of the entry whose file name is `file_name`, letter case aside; 0 when none.
uint16_t FindIn(const std::vector<char>& bytes, uint16_t count, const std::string& file_name) {
  const std::string wanted = UpperCat(file_name);
  for (uint16_t n = 1; n <= count; ++n) {
    const char* entry = bytes.data() + static_cast<size_t>(n - 1) * tf::kEntrySize;
    if (UpperCat(GetLString(entry + tf::kFileNameOffset, tf::kFileNameCapacity)) == wanted) return n;
  }
  return 0;
}

// Where `expected` is in the entries `bytes`, checked to be unchanged.
Status LocateUnchanged(const std::vector<char>& bytes, uint16_t count, const TopicEntry& expected,
                       const std::string& index_name, uint16_t* n) {
  *n = FindIn(bytes, count, expected.file_name);
  if (*n == 0) {
    return Status::Changed(index_name, "", W("el tema «") + expected.title + W("» ja no hi és"));
  }
  if (DecodeTopicEntry(bytes.data() + static_cast<size_t>(*n - 1) * tf::kEntrySize) != expected) {
    return Status::Changed(index_name, "", W("el tema «") + expected.title + W("» té uns altres paràmetres"));
  }
  return Status::Ok();
}

}  // namespace

Status TopicIndex::Find(const std::string& file_name, uint16_t* n, TopicEntry* entry) {
  *n = 0;
  if (!is_open()) return CheckNumber(1, 0);
  QUIZ_RETURN_IF_ERROR(Refresh());
  std::vector<char> bytes;
  uint16_t count = 0;
  QUIZ_RETURN_IF_ERROR(ReadEntries(file_, &bytes, &count));
  *n = FindIn(bytes, count, file_name);
  if (*n == 0) {
    return Status::NotFound(W("Tema inexistent"), file_.name() + W(": cap tema no té el fitxer ") + file_name + ".qst");
  }
  if (entry) *entry = DecodeTopicEntry(bytes.data() + static_cast<size_t>(*n - 1) * tf::kEntrySize);
  return Status::Ok();
}

Status TopicIndex::Lock() {
  if (!is_open()) return CheckNumber(1, 0);
  QUIZ_RETURN_IF_ERROR(file_.Lock());
  // A change of parameters that a killed program left part-way is ended before anything else.
  Status status = Recount();
  if (status.ok()) status = SettleTopicChange(this);
  if (status.ok()) status = Recount();
  if (!status.ok()) file_.Unlock();
  return status;
}

void TopicIndex::Unlock() { file_.Unlock(); }

Status TopicIndex::FindUnchanged(const TopicEntry& expected, uint16_t* n) {
  *n = 0;
  RecordLock lock(&file_);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  QUIZ_RETURN_IF_ERROR(Recount());
  std::vector<char> bytes;
  uint16_t count = 0;
  QUIZ_RETURN_IF_ERROR(ReadEntries(file_, &bytes, &count));
  return LocateUnchanged(bytes, count, expected, file_.name(), n);
}

Status TopicIndex::WriteUnchanged(const TopicEntry& expected, const TopicEntry& entry, uint16_t* n) {
  if (!is_open()) return CheckNumber(1, 0);
  RecordLock lock(&file_);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  QUIZ_RETURN_IF_ERROR(FindUnchanged(expected, n));
  return Write(*n, entry);
}

Status TopicIndex::DeleteUnchanged(const TopicEntry& expected) {
  if (!is_open()) return CheckNumber(1, 0);
  QUIZ_RETURN_IF_ERROR(RewriteRecordFile(file_.name(), tf::kEntrySize, [&](const RecordFile& current, SafeWriter* out) {
    std::vector<char> bytes;
    uint16_t count = 0;
    QUIZ_RETURN_IF_ERROR(ReadEntries(current, &bytes, &count));
    uint16_t n = 0;
    QUIZ_RETURN_IF_ERROR(LocateUnchanged(bytes, count, expected, current.name(), &n));
    bytes.erase(bytes.begin() + static_cast<ptrdiff_t>((n - 1) * tf::kEntrySize),
                bytes.begin() + static_cast<ptrdiff_t>(n * tf::kEntrySize));
    return out->Append(std::string_view(bytes.data(), bytes.size()));
  }));
  return Reopen();
}

Status TopicIndex::Lookup(uint16_t n, TopicEntry* entry) const {
  if (n < 1 || n > count_) return Status::NotFound("Test inexistent", W("Test nº ") + IntToText(n));
  return entry ? Read(n, entry) : Status::Ok();
}

}  // namespace quiz
