#include "manager/topics.h"

#include <algorithm>

#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {

namespace {
constexpr size_t kTopicLineSplit = 56;
constexpr size_t kTopicLineTwo = 80;  // characters 57..136
}  // namespace

std::string TopicListLine(uint16_t n, const std::string& title, uint16_t questions) {
  return IntToText(n) + ")" + title + "  " + IntToText(questions);
}

Status BuildTopicList(const TopicIndex& index, TextList* lines, uint32_t* total, bool make_missing,
                      std::vector<TopicEntry>* entries) {
  TextListClear(*lines);
  *total = 0;
  if (entries) entries->clear();
  if (!index.is_open()) return Status::Ok();
  if (make_missing) QUIZ_RETURN_IF_ERROR(MakeFolder(kBasesFolder));
  for (uint16_t n = 1; n <= index.count(); ++n) {
    TopicEntry entry;
    QUIZ_RETURN_IF_ERROR(index.Read(n, &entry));
    if (entries) entries->push_back(entry);
    // Counting only reads; a missing file is made empty, as the list always did. A topic whose
    // file cannot be read is listed all the same, with the reason in short: picking it tells
    // the whole of it.
    QuestionFile bank;
    Status opened = bank.Open(entry, QuestionFile::Access::kRead);
    if (opened.code() == Status::Code::kNotFound && make_missing) opened = bank.Open(entry);
    if (!opened.ok()) {
      TextListAdd(*lines, IntToText(n) + ")" + entry.title + "  ? (" + opened.caption() + ")");
      continue;
    }
    TextListAdd(*lines, TopicListLine(n, entry.title, bank.count()));
    *total += bank.count();
  }
  return Status::Ok();
}

std::string TopicListSuffix(uint32_t total) {
  return W(" (total qüestions = ") + IntToText(static_cast<int32_t>(total)) + ")";
}

bool OrderChanged(const std::vector<uint8_t>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] != i + 1) return true;
  }
  return false;
}

std::pair<std::string, std::string> TopicAreaLines(const CurrentTopic& current) {
  if (current.number == 0) {
    return {"", Spaces(17) + "-------------- per seleccionar --------------"};
  }
  const std::string& title = current.entry.title;
  if (title.size() <= kTopicLineSplit) return {title, ""};
  return {title.substr(0, kTopicLineSplit), title.substr(kTopicLineSplit, kTopicLineTwo)};
}

bool MenuItemEnabled(int id, uint16_t current_topic, uint16_t topic_count) {
  switch (id) {
    case command::kParameters:
    case command::kDelete:
    case command::kQuestionsMenu:
    case command::kEdit:
    case command::kList:
    case command::kExport:
      return current_topic != 0;
    case command::kOpen:
    case command::kGenerate:
    case command::kReview:
      return topic_count != 0;
    default:
      return true;
  }
}

std::string DeleteTopicCaption() { return W("* Confirmar eliminació Test *"); }

std::string DeleteTopicText(const std::string& title) { return " Eliminar \"" + title + "\"?"; }

Status DeleteCurrentTopic(TopicIndex* index, CurrentTopic* current, QuestionFile* bank) {
  QUIZ_RETURN_IF_ERROR(index->DeleteUnchanged(current->entry));
  bank->Close();
  current->number = 0;
  return Status::Ok();
}

Status FindTopic(TopicIndex* index, const TopicEntry& listed, uint16_t* n, TopicEntry* entry) {
  const Status found = index->Find(listed.file_name, n, entry);
  if (found.code() != Status::Code::kNotFound) return found;
  return Status::NotFound(W("Tema desaparegut"),
                          W("El tema «") + listed.title + W("» ja no és a l'índex de temes (") + index->name() +
                              W("): un altre programa l'ha esborrat o li ha canviat el nom d'arxiu."));
}

Status RelocateCurrentTopic(TopicIndex* index, CurrentTopic* current) {
  if (current->number == 0 || !index->is_open()) return Status::Ok();
  uint16_t n = 0;
  TopicEntry entry;
  const Status found = FindTopic(index, current->entry, &n, &entry);
  if (found.code() == Status::Code::kNotFound) *current = CurrentTopic{};
  QUIZ_RETURN_IF_ERROR(found);
  current->number = n;
  current->entry = entry;
  return Status::Ok();
}

Status CheckRoomForTopic(const TopicIndex& index) {
  if (index.count() < kMaxTopics) return Status::Ok();
  return Status::Refused(W("Massa temes"), W("L'índex ja té 255 temes, els que hi caben; no se'n pot crear cap més."));
}

}  // namespace quiz
