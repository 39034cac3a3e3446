#include "converter/exchange.h"

#include "converter/exchange_text.h"
#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr size_t kDetectionBytes = size_t{64} << 10;

}  // namespace

bool SourceFormatNamed(std::string_view name, SourceFormat* format) {
  if (name == "text") {
    *format = SourceFormat::kText;
  } else if (name == "aiken") {
    *format = SourceFormat::kAiken;
  } else if (name == "gift") {
    *format = SourceFormat::kGift;
  } else if (name == "moodle") {
    *format = SourceFormat::kMoodle;
  } else {
    return false;
  }
  return true;
}

SourceFormat DetectSourceFormat(std::string_view name, std::string_view bytes) {
  if (name.size() >= 5 && UpperCat(std::string(name.substr(name.size() - 5))) == ".GIFT") return SourceFormat::kGift;
  if (name.size() >= 4 && UpperCat(std::string(name.substr(name.size() - 4))) == ".XML") return SourceFormat::kMoodle;
  // The first question's answer line comes early; a large five-line text is not read through.
  bytes = bytes.substr(0, kDetectionBytes);
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    if (exchange::Trimmed(bytes.substr(start, end - start)).starts_with("ANSWER:")) return SourceFormat::kAiken;
    start = end + 1;
  }
  return SourceFormat::kText;
}

Status ExportTopic(SourceFormat format, const std::string& topic, const std::string& destination, uint32_t* written,
                   LeftOut* left_out) {
  *written = 0;
  LeftOut ignored;
  if (!left_out) left_out = &ignored;
  left_out->clear();
  TopicIndex index;
  QUIZ_RETURN_IF_ERROR(index.OpenForReading());
  TopicEntry entry;
  bool found = false;
  for (uint16_t n = 1; n <= index.count() && !found; ++n) {
    QUIZ_RETURN_IF_ERROR(index.Read(n, &entry));
    found = UpperCat(entry.file_name) == UpperCat(topic);
  }
  if (!found) return Status::NotFound(W("Tema inexistent"), topic + W(": cap tema de l'índex no té aquest fitxer"));
  QuestionFile bank;
  QUIZ_RETURN_IF_ERROR(bank.Open(entry, QuestionFile::Access::kRead));
  std::vector<Question> questions;
  QUIZ_RETURN_IF_ERROR(bank.Scan(1, bank.count(), [&](uint16_t, const Question& q) {
    questions.push_back(q);
    return true;
  }));
  const std::string written_text = format == SourceFormat::kGift     ? WriteGift(questions, left_out)
                                   : format == SourceFormat::kMoodle ? WriteMoodleXml(questions, left_out)
                                                                     : WriteAiken(questions, left_out);
  QUIZ_RETURN_IF_ERROR(ReplaceFile(destination, written_text));
  *written = static_cast<uint32_t>(questions.size() - left_out->size());
  return Status::Ok();
}

}  // namespace quiz
