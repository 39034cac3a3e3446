#include "manager/topic_params.h"

#include "data/topic_change.h"
#include "data/topic_format.h"
#include "toolkit/cp1252.h"
#include "toolkit/messages.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {

namespace {

int32_t NumberOf(const std::string& text) {
  int32_t value = 0;
  return ItemTextToInt(text, &value) ? value : 0;
}

Status OutOfRange(const char* field, int32_t value, int low, int high) {
  return Status::Refused(W("* dades no vàlides *"),
                         W(field) + " " + IntToText(value) + W(": ha de ser de ") + IntToText(low) +
                             " a " + IntToText(high));
}

}  // namespace

ParamsFields FieldsOf(const TopicEntry& e, bool with_names) {
  ParamsFields f;
  if (with_names) {
    f.title = e.title;
    f.file_name = e.file_name;
  }
  f.question_length = IntToText(e.layout.question_length);
  f.answer_length = IntToText(e.layout.answer_length);
  f.comment_length = IntToText(e.layout.comment_length);
  f.alternatives = IntToText(e.layout.alternatives);
  return f;
}

Status ReadParams(const ParamsFields& f, TopicEntry* entry) {
  TopicEntry e;
  e.file_name = CutText(f.file_name, topic_format::kFileNameCapacity);
  e.title = CutText(f.title, topic_format::kTitleCapacity);
  e.format_kind = 3;
  const int32_t question = NumberOf(f.question_length);
  const int32_t answer = NumberOf(f.answer_length);
  const int32_t comment = NumberOf(f.comment_length);
  const int32_t alternatives = NumberOf(f.alternatives);
  if (e.title.empty() || e.file_name.empty() || question == 0 || answer == 0) {
    return Status::Refused("* dades insuficients *", "manquen dades essencials");
  }
  if (question < 1 || question > kMaxFieldLength) {
    return OutOfRange("Longitud pregunta", question, 1, kMaxFieldLength);
  }
  if (answer < 1 || answer > kMaxFieldLength) return OutOfRange("Longitud resposta", answer, 1, kMaxFieldLength);
  if (comment < 0 || comment > kMaxFieldLength) {
    return OutOfRange("Longitud comentari", comment, 0, kMaxFieldLength);
  }
  if (alternatives < kMinAlternatives || alternatives > kMaxAlternatives) {
    return OutOfRange("Nombre d'alternatives", alternatives, kMinAlternatives, kMaxAlternatives);
  }
  if (const std::string fault = FileNameFault(e.file_name); !fault.empty()) {
    return Status::Refused(W("Nom d'arxiu no vàlid"), W("El nom d'arxiu «") + e.file_name + W("» ") + fault + ".");
  }
  e.layout = {static_cast<uint16_t>(question), static_cast<uint16_t>(answer),
              static_cast<uint16_t>(alternatives), static_cast<uint16_t>(comment)};
  e.record_size = RecordSizeFor(e.layout);
  *entry = e;
  return Status::Ok();
}

Status CheckFileNameFree(const TopicIndex& index, const std::string& own, const std::string& file_name) {
  if (!index.is_open()) return Status::Ok();
  for (uint16_t n = 1; n <= index.count(); ++n) {
    TopicEntry other;
    QUIZ_RETURN_IF_ERROR(index.Read(n, &other));
    if (!own.empty() && UpperCat(other.file_name) == UpperCat(own)) continue;
    if (UpperCat(other.file_name) == UpperCat(file_name)) {
      return Status::Refused(W("Nom d'arxiu en ús"),
                             file_name + W(".qst ja és el fitxer del tema ") + IntToText(n) + " (" +
                                 other.title + W("); trieu un altre nom"));
    }
  }
  return Status::Ok();
}

bool DropsAnswers(const Layout& from, const Layout& to, uint16_t questions) {
  return questions > 0 && to.alternatives < from.alternatives;
}

Status SaveTopicParams(TopicIndex* index, CurrentTopic* current, QuestionFile* bank, bool is_new,
                       const TopicEntry& entry, RelayoutResult* result) {
  *result = RelayoutResult{};
  // From the check of the names to the entry written, no other program changes the index.
  ScopedLock<TopicIndex> lock(index);
  QUIZ_RETURN_IF_ERROR(lock.Take());
  QUIZ_RETURN_IF_ERROR(CheckFileNameFree(*index, is_new ? "" : current->entry.file_name, entry.file_name));
  if (is_new) {
    QUIZ_RETURN_IF_ERROR(CheckRoomForTopic(*index));
    // The question file first: an entry is never written for a topic whose file cannot be made.
    QUIZ_RETURN_IF_ERROR(bank->Open(entry));
    if (const Status written = index->Write(static_cast<uint16_t>(index->count() + 1), entry); !written.ok()) {
      if (bank->created()) bank->Remove();
      bank->Close();
      return written;
    }
    current->number = index->count();  // after any topic another program added meanwhile
    return index->Read(current->number, &current->entry);
  }
  // The topic is found again by its file, wherever the index holds it now, and must be as it
  // was read: another program may have removed, moved or changed it.
  uint16_t n = 0;
  QUIZ_RETURN_IF_ERROR(index->FindUnchanged(current->entry, &n));
  current->number = n;
  // The file is never made here: one that has gone is said so.
  if (!bank->is_open()) QUIZ_RETURN_IF_ERROR(bank->Open(current->entry, QuestionFile::Access::kWrite));
  QUIZ_RETURN_IF_ERROR(ChangeTopic(index, n, bank, entry, result));
  return index->Read(n, &current->entry);
}

}  // namespace quiz
