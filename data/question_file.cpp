#include "data/question_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#include "data/topic_change.h"
#include "data/topic_format.h"
#include "toolkit/coding.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

namespace qf = question_format;

// Records read or written per system call when the whole file is walked.
size_t BlockRecords(size_t record_size) { return std::max<size_t>(1, (64 * 1024) / record_size); }

// True when the two questions store the same texts in `l`: what lies outside the layout (answers
// beyond its alternatives, a comment where it has none) is never stored and does not count.
bool SameInLayout(const Question& a, const Question& b, const Layout& l) {
  if (CutText(a.question, l.question_length) != CutText(b.question, l.question_length)) return false;
  for (size_t k = 0; k < l.alternatives && k < a.answers.size(); ++k) {
    if (CutText(a.answers[k], l.answer_length) != CutText(b.answers[k], l.answer_length)) return false;
  }
  return l.comment_length == 0 || CutText(a.comment, l.comment_length) == CutText(b.comment, l.comment_length);
}

Status RecordTooLarge(const std::string& name, size_t record_size) {
  return Status::Corrupt(W("Format no vàlid"), name + W(": la mida de registre ") +
                                                   IntToText(static_cast<int32_t>(record_size)) +
                                                   W(" passa de ") + IntToText(kMaxRecordSize));
}

}  // namespace

void DecodeQuestion(const char* record, const Layout& l, Question* q) {
  GetLString(record, l.question_length, &q->question);
  for (int k = 1; k <= kMaxAlternatives; ++k) {
    std::string& answer = q->answers[static_cast<size_t>(k - 1)];
    if (k <= l.alternatives) {
      GetLString(record + qf::AnswerOffset(l, k), l.answer_length, &answer);
    } else {
      answer.clear();
    }
  }
  if (l.comment_length > 0) {
    GetLString(record + qf::CommentOffset(l), l.comment_length, &q->comment);
  } else {
    q->comment.clear();
  }
}

bool RecordLengthsFit(const char* record, const Layout& l, int* field, int* length) {
  auto fits = [&](int number, size_t offset, uint16_t capacity) {
    const int n = static_cast<unsigned char>(record[offset]);
    if (n <= capacity) return true;
    if (field) *field = number;
    if (length) *length = n;
    return false;
  };
  if (!fits(1, 0, l.question_length)) return false;
  for (int k = 1; k <= l.alternatives; ++k) {
    if (!fits(k + 1, qf::AnswerOffset(l, k), l.answer_length)) return false;
  }
  return l.comment_length == 0 || fits(l.alternatives + 2, qf::CommentOffset(l), l.comment_length);
}

bool TornRecordFits(std::string_view prefix, const Layout& l) {
  if (prefix.size() >= RecordSizeFor(l)) return false;
  // Each field: its length byte, its text, zeros to its capacity. Past the last field, zeros.
  size_t at = 0;
  auto field_fits = [&](size_t capacity) {
    if (at >= prefix.size()) return true;
    const size_t length = static_cast<unsigned char>(prefix[at]);
    if (length > capacity) return false;
    const size_t end = std::min(prefix.size(), at + 1 + capacity);
    for (size_t i = at + 1 + length; i < end; ++i) {
      if (prefix[i] != '\0') return false;
    }
    at += 1 + capacity;
    return true;
  };
  if (!field_fits(l.question_length)) return false;
  for (int k = 1; k <= l.alternatives; ++k) {
    if (!field_fits(l.answer_length)) return false;
  }
  return l.comment_length == 0 || field_fits(l.comment_length);
}

void EncodeQuestion(const Question& q, const Layout& l, size_t record_size, char* record) {
  const size_t used = RecordSizeFor(l);
  PutLString(record, l.question_length, q.question);
  for (int k = 1; k <= l.alternatives; ++k) {
    PutLString(record + qf::AnswerOffset(l, k), l.answer_length, q.answers[static_cast<size_t>(k - 1)]);
  }
  if (l.comment_length > 0) PutLString(record + qf::CommentOffset(l), l.comment_length, q.comment);
  if (record_size > used) std::fill(record + used, record + record_size, '\0');
}

Status QuestionFile::Open(const TopicEntry& entry, Access access) {
  const std::string name = QuestionFileName(entry);
  if (const std::string fault = FileNameFault(entry.file_name); !fault.empty()) {
    Close();
    return Status::Corrupt(W("Nom d'arxiu no vàlid"), W("El tema «") + entry.title + W("» té el nom d'arxiu «") +
                                                          entry.file_name + W("», que ") + fault + ".");
  }
  const Status opened = OpenChecked(name, name + W(" (tema «") + entry.title + W("»)"), entry.layout,
                                    entry.record_size, access);
  if (opened.ok()) topic_file_ = entry.file_name;
  return opened;
}

Status QuestionFile::OpenPath(const std::string& name, const Layout& layout, uint16_t record_size,
                              Access access) {
  return OpenChecked(name, name, layout, record_size, access);
}

Status QuestionFile::OpenChecked(const std::string& name, const std::string& what,
                                 const Layout& layout, uint16_t record_size, Access access) {
  Close();
  topic_file_.clear();
  QUIZ_RETURN_IF_ERROR(CheckLayout(layout, what));
  // The stored size is what the file is read with; one that does not hold the layout's fields,
  // or that would not fit the record buffer, comes from a damaged index and is never used.
  if (record_size < RecordSizeFor(layout) || record_size > kMaxRecordSize) {
    return Status::Corrupt(W("Format no vàlid"),
                           what + W(": la mida de registre ") + IntToText(record_size) +
                               W(" no és vàlida per al format, que en demana ") +
                               IntToText(RecordSizeFor(layout)) + W(" i com a màxim ") +
                               IntToText(kMaxRecordSize));
  }
  layout_ = layout;
  record_size_ = record_size;
  const auto mode = access == Access::kCreate  ? RecordFile::Mode::kCreate
                    : access == Access::kWrite ? RecordFile::Mode::kExisting
                                               : RecordFile::Mode::kReadOnly;
  QUIZ_RETURN_IF_ERROR(file_.Open(name, record_size, mode));
  created_ = file_.created();
  Status status = Recount();
  if (!status.ok()) Close();
  return status;
}

void QuestionFile::Remove() {
  const std::string path = file_.path();
  Close();
  if (!path.empty()) ::unlink(path.c_str());
}

void QuestionFile::Close() {
  file_.Close();
  count_ = 0;
}

Status QuestionFile::Recount() {
  uint64_t records = 0;
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  count_ = static_cast<uint16_t>(std::min<uint64_t>(records, UINT16_MAX));
  return Status::Ok();
}

Status QuestionFile::Read(uint16_t n, Question* q) const {
  if (n == 0 || n > count_) {
    *q = Question{};
    return Status::Ok();
  }
  RecordBuffer buffer;
  char* record = buffer.For(record_size_);
  if (record == nullptr) return RecordTooLarge(name(), record_size_);
  QUIZ_RETURN_IF_ERROR(file_.Read(n - 1u, 1, record));
  DecodeQuestion(record, layout_, q);
  return Status::Ok();
}

Status QuestionFile::CheckParameters() const {
  if (topic_file_.empty()) return Status::Ok();
  if (FileExists(kTopicChangeName)) {
    return Status::Changed(name(), "", W("els paràmetres del tema s'estan canviant; torneu-ho a provar"));
  }
  // The index as it is now, read without its lock: a change of parameters writes the entry after
  // the bank, under this file's lock, which is held here.
  RecordFile index;
  if (!index.Open(kTopicIndexName, topic_format::kEntrySize, RecordFile::Mode::kReadOnly).ok()) return Status::Ok();
  uint64_t entries = 0;
  QUIZ_RETURN_IF_ERROR(index.Count(&entries));
  std::vector<char> bytes(static_cast<size_t>(std::min<uint64_t>(entries, UINT16_MAX)) * topic_format::kEntrySize);
  QUIZ_RETURN_IF_ERROR(index.Read(0, bytes.size() / topic_format::kEntrySize, bytes.data()));
  bool named = false;
  for (size_t at = 0; at < bytes.size(); at += topic_format::kEntrySize) {
    const TopicEntry e = DecodeTopicEntry(bytes.data() + at);
    if (UpperCat(e.file_name) != UpperCat(topic_file_)) continue;
    if (e.layout == layout_ && e.record_size == record_size_) return Status::Ok();
    named = true;
  }
  if (!named) return Status::Ok();  // a topic removed from the index keeps its file, as it was
  return Status::Changed(name(), "", W("el tema ja té uns altres paràmetres"));
}

Status QuestionFile::CheckUnchanged(uint16_t n, const Question& expected, RecordLock* lock) {
  QUIZ_RETURN_IF_ERROR(lock->TakeUnchanged());
  QUIZ_RETURN_IF_ERROR(CheckParameters());
  QUIZ_RETURN_IF_ERROR(Recount());
  Question now;
  if (n >= 1 && n <= count_) QUIZ_RETURN_IF_ERROR(Read(n, &now));
  if (n < 1 || n > count_ || !SameInLayout(now, expected, layout_)) {
    return Status::Changed(name(), "", W("la qüestió ") + IntToText(n) + W(" ja no és la que s'havia llegit"));
  }
  return Status::Ok();
}

Status QuestionFile::Reload() {
  if (!is_open()) return Status::Ok();
  QUIZ_RETURN_IF_ERROR(file_.Refresh());
  return Recount();
}

Status QuestionFile::Find(const Question& q, uint16_t near, uint16_t* n) const {
  *n = 0;
  uint32_t best_distance = UINT32_MAX;
  return Scan(1, count_, [&](uint16_t k, const Question& read) {
    const uint32_t distance = k > near ? k - near : near - k;
    if (SameInLayout(read, q, layout_) && distance < best_distance) {
      *n = k;
      best_distance = distance;
    }
    return k < near || static_cast<uint32_t>(k - near) + 1 < best_distance;  // a nearer one may follow
  });
}

Status QuestionFile::Write(const Question& q, uint16_t n, const Question* expected) {
  if (!is_open()) return Status::Refused(W("Cap tema obert"), W("No hi ha cap fitxer de qüestions obert"));
  if (n == 0 || n > count_ + 1) {
    return Status::Refused(W("Qüestió inexistent"),
                           name() + W(": no hi ha la qüestió nº ") + IntToText(n));
  }
  // A new question goes after the last one in the file, whatever others added since.
  if (n > count_) return Append(q);
  RecordLock lock(&file_);
  if (expected) {
    QUIZ_RETURN_IF_ERROR(CheckUnchanged(n, *expected, &lock));
  } else {
    QUIZ_RETURN_IF_ERROR(lock.Take());
    QUIZ_RETURN_IF_ERROR(CheckParameters());
  }
  RecordBuffer buffer;
  char* record = buffer.For(record_size_);
  if (record == nullptr) return RecordTooLarge(name(), record_size_);
  EncodeQuestion(q, layout_, record_size_, record);
  QUIZ_RETURN_IF_ERROR(file_.Write(n - 1u, 1, record));
  return Recount();
}

Status QuestionFile::Append(const Question& q, uint16_t* number) {
  if (!is_open()) return Status::Refused(W("Cap tema obert"), W("No hi ha cap fitxer de qüestions obert"));
  RecordBuffer buffer;
  char* record = buffer.For(record_size_);
  if (record == nullptr) return RecordTooLarge(name(), record_size_);
  EncodeQuestion(q, layout_, record_size_, record);
  // The count this file was opened with may be old: the question goes after the last record of
  // the file as it is now, and the limit is checked against that, in one step under the lock.
  uint64_t records = 0;
  RecordLock lock(&file_);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  QUIZ_RETURN_IF_ERROR(CheckParameters());
  const Status appended = file_.Append(1, record, &records, UINT16_MAX);
  if (appended.code() == Status::Code::kRefused) {
    count_ = UINT16_MAX;
    return Status::Refused(W("Massa qüestions"), name() + W(": el fitxer ja té 65535 qüestions"));
  }
  QUIZ_RETURN_IF_ERROR(appended);
  count_ = static_cast<uint16_t>(records + 1);
  if (number) *number = count_;
  return Status::Ok();
}

Status QuestionFile::Delete(uint16_t* n, const Question* expected) {
  if (!is_open() || *n == 0) return Status::Ok();
  // From here to the end the file is the one the name gives now, with whatever others added,
  // and nobody else writes it.
  RecordLock lock(&file_);
  if (expected) {
    QUIZ_RETURN_IF_ERROR(CheckUnchanged(*n, *expected, &lock));
  } else {
    QUIZ_RETURN_IF_ERROR(lock.Take());
    QUIZ_RETURN_IF_ERROR(CheckParameters());
  }
  QUIZ_RETURN_IF_ERROR(Recount());
  if (*n > count_) return Status::Ok();
  if (*n == count_) {
    QUIZ_RETURN_IF_ERROR(file_.Truncate(count_ - 1u));
    --count_;
    --*n;
    return Status::Ok();
  }
  uint64_t records = 0;  // every record, also any beyond the 65535 that can be numbered
  QUIZ_RETURN_IF_ERROR(file_.Count(&records));
  SafeWriter out;
  QUIZ_RETURN_IF_ERROR(out.Open(file_.name()));
  const size_t block = BlockRecords(record_size_);
  std::vector<char> buffer(block * record_size_);
  for (uint64_t at = 0; at < records;) {
    const auto k = static_cast<size_t>(std::min<uint64_t>(block, records - at));
    QUIZ_RETURN_IF_ERROR(file_.Read(at, k, buffer.data()));
    const uint64_t skip = *n - 1u;  // 0-based record that goes
    if (skip >= at && skip < at + k) {
      const size_t before = static_cast<size_t>(skip - at) * record_size_;
      QUIZ_RETURN_IF_ERROR(out.Append(std::string_view(buffer.data(), before)));
      QUIZ_RETURN_IF_ERROR(out.Append(std::string_view(buffer.data() + before + record_size_,
                                                       (k * record_size_) - before - record_size_)));
    } else {
      QUIZ_RETURN_IF_ERROR(out.Append(std::string_view(buffer.data(), k * record_size_)));
    }
    at += k;
  }
  QUIZ_RETURN_IF_ERROR(out.Commit());
  const std::string name = file_.name();
  QUIZ_RETURN_IF_ERROR(file_.Open(name, record_size_, RecordFile::Mode::kExisting));
  return Recount();
}

Status QuestionFile::ScanRecords(uint16_t first, uint16_t last,
                                 const std::function<bool(uint16_t, const char*)>& visit) const {
  if (first == 0) first = 1;
  last = std::min(last, count_);
  if (first > last) return Status::Ok();
  const size_t block = BlockRecords(record_size_);
  std::vector<char> buffer(block * record_size_);
  for (uint32_t n = first; n <= last;) {
    const auto k = std::min<size_t>(block, last - n + 1);
    QUIZ_RETURN_IF_ERROR(file_.Read(n - 1, k, buffer.data()));
    for (size_t i = 0; i < k; ++i, ++n) {
      if (!visit(static_cast<uint16_t>(n), buffer.data() + i * record_size_)) return Status::Ok();
    }
  }
  return Status::Ok();
}

Status QuestionFile::Scan(uint16_t first, uint16_t last,
                          const std::function<bool(uint16_t, const Question&)>& visit) const {
  Question q;
  return ScanRecords(first, last, [&](uint16_t n, const char* record) {
    DecodeQuestion(record, layout_, &q);
    return visit(n, q);
  });
}

Status QuestionFile::ScanQuestionTexts(uint16_t first, uint16_t last,
                                       const std::function<bool(uint16_t, std::string_view)>& visit) const {
  const size_t capacity = layout_.question_length;
  return ScanRecords(first, last, [&](uint16_t n, const char* record) {
    return visit(n, qf::FieldText(record, capacity));
  });
}

Status QuestionFile::RelaidOut(const Layout& to,
                               const std::function<Status(std::string_view)>& sink) const {
  const uint16_t to_size = RecordSizeFor(to);
  const bool keep_comments = layout_.comment_length > 0 && to.comment_length > 0;
  std::string record(to_size, '\0');
  Status sunk = Status::Ok();
  QUIZ_RETURN_IF_ERROR(Scan(1, count_, [&](uint16_t, const Question& q) {
    Question copy = q;  // the encoder cuts every text to the new field
    if (!keep_comments) copy.comment.clear();
    EncodeQuestion(copy, to, to_size, record.data());
    sunk = sink(record);
    return sunk.ok();
  }));
  return sunk;
}

Status QuestionFile::WriteRelaidOut(const Layout& to, const std::string& name) const {
  SafeWriter out;
  QUIZ_RETURN_IF_ERROR(out.Open(name));
  QUIZ_RETURN_IF_ERROR(RelaidOut(to, [&](std::string_view record) { return out.Append(record); }));
  return out.Commit();
}

Status QuestionFile::Lock() {
  if (!is_open()) return Status::Refused(W("Cap tema obert"), W("No hi ha cap fitxer de qüestions obert"));
  QUIZ_RETURN_IF_ERROR(file_.Lock());
  const Status counted = Recount();
  if (!counted.ok()) file_.Unlock();
  return counted;
}

}  // namespace quiz
