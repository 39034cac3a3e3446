#include "converter/convert.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "data/layout.h"
#include "data/question_format.h"
#include "data/topic_change.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr uint16_t kRecordSize = RecordSizeFor(kConverterLayout);
constexpr uint32_t kMaxRecords = 65535;
// Records gathered before one write to the destination.
constexpr size_t kBlockRecords = 1024;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

Status Stopped(const std::string& text) { return Status::Refused(W("Conversió aturada"), text); }

Status NotABank(const std::string& name, const std::string& why) {
  return Status::Refused(W("El destí no és un fitxer de qüestions del convertidor"),
                         name + ": " + why + W(". No s'hi ha afegit res."));
}

// The field of a converter record, as RecordLengthsFit numbers it.
std::string FieldName(int field) {
  if (field == 1) return W("una pregunta");
  if (field <= 5) return W("una resposta");
  return W("un comentari");
}

Status EmptyAnswer(uint32_t question, int answer) {
  return Stopped(W("Qüestió ") + IntToText(static_cast<int32_t>(question)) + ": la resposta " +
                 IntToText(answer) + W(" és buida o hi falta"));
}

// Brings the source's text to Windows-1252, whatever it was written in.
void ToCp1252(std::string* bytes) {
  if (std::string_view(*bytes).starts_with(kUtf8Mark)) {
    *bytes = Utf8ToCp1252(std::string_view(*bytes).substr(kUtf8Mark.size()));
  } else if (LooksLikeUtf8(*bytes)) {
    *bytes = Utf8ToCp1252(*bytes);
  }
}

// Trim without a new string: the answers of a large text go through here.
void TrimInPlace(std::string* s) {
  const size_t last = s->find_last_not_of(' ');
  if (last == std::string::npos) {
    s->clear();
    return;
  }
  s->erase(last + 1);
  s->erase(0, s->find_first_not_of(' '));
}

// Appends records to the end of the destination in blocks. Whatever was gathered goes to the
// file before the conversion ends, also when it ends on a bad block.
class Appender {
 public:
  // Opens the destination, and refuses one that is not a bank of the converter's records: its
  // tail would be lost under the new records, or they would be read with another layout. A torn
  // last record that a killed append left is no part of the bank, and is written over.
  Status Open(const std::string& name) {
    QUIZ_RETURN_IF_ERROR(OpenRecordFile(name, kRecordSize, &file_));
    // Under the lock, so that the size is not that of another program's write half-way.
    RecordLock lock(&file_);
    QUIZ_RETURN_IF_ERROR(lock.Take());
    return CheckDestination(name);
  }

  Status CheckDestination(const std::string& name) {
    uint64_t size = 0;
    QUIZ_RETURN_IF_ERROR(file_.Size(&size));
    if (size % kRecordSize != 0) {
      // What a conversion or an editor killed half-way through an append leaves: the start of a
      // record, which the first block appended writes over. Anything else is another file's.
      std::string tail;
      QUIZ_RETURN_IF_ERROR(file_.ReadTail(&tail));
      if (!TornRecordFits(tail, kConverterLayout)) {
        return NotABank(name, W("fa ") + std::to_string(size) +
                                  W(" bytes, que no són un nombre sencer de registres de 706 bytes"));
      }
    }
    next_ = size / kRecordSize;
    std::vector<char> block(kBlockRecords * kRecordSize);
    for (uint64_t at = 0; at < next_;) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(kBlockRecords, next_ - at));
      QUIZ_RETURN_IF_ERROR(file_.Read(at, n, block.data()));
      for (size_t i = 0; i < n; ++i) {
        int field = 0, length = 0;
        if (!RecordLengthsFit(&block[i * kRecordSize], kConverterLayout, &field, &length)) {
          return NotABank(name, W("el registre ") + std::to_string(at + i + 1) + W(" té ") +
                                    FieldName(field) + W(" de ") + std::to_string(length) +
                                    W(" caràcters, més del que hi cap en un registre de 706 bytes"));
        }
      }
      at += n;
    }
    return Status::Ok();
  }

  Status Add(const Question& q) {
    if (next_ + pending_ >= kMaxRecords) {
      QUIZ_RETURN_IF_ERROR(Flush());
      return Full();
    }
    buffer_.resize((pending_ + 1) * kRecordSize);
    EncodeQuestion(q, kConverterLayout, kRecordSize, &buffer_[pending_ * kRecordSize]);
    ++pending_;
    ++added_;
    if (pending_ == kBlockRecords) return Flush();
    return Status::Ok();
  }

  Status Flush() {
    if (pending_ == 0) return Status::Ok();
    // After whatever other programs appended meanwhile.
    Status status = file_.Append(pending_, buffer_.data(), &next_, kMaxRecords);
    if (status.code() == Status::Code::kRefused) status = Full();
    if (!status.ok()) {
      added_ -= static_cast<uint32_t>(pending_);
      pending_ = 0;
      return status;
    }
    next_ += pending_;
    pending_ = 0;
    return Status::Ok();
  }

  // Puts the last records in the file and on the disk.
  Status Finish() {
    QUIZ_RETURN_IF_ERROR(Flush());
    return file_.Sync();
  }

  uint32_t added() const { return added_; }

 private:
  Status Full() const { return Stopped(file_.name() + W(" ja té 65535 qüestions, les que pot tenir un fitxer")); }

  RecordFile file_;
  uint64_t next_ = 0;  // the records in the file after the last write
  size_t pending_ = 0;
  uint32_t added_ = 0;
  std::string buffer_;
};

}  // namespace

std::string CorrectAnswerModeName(CorrectAnswerMode mode) {
  return mode == CorrectAnswerMode::kMarked ? "RESPOSTA CORRECTA = VARIABLE"
                                            : "RESPOSTA CORRECTA = LA PRIMERA";
}

std::string DestinationWithExtension(const std::string& typed) {
  return typed.find('.') == std::string::npos ? typed + ".qst" : typed;
}

std::string ConversionConfirmText(const std::string& source, const std::string& destination,
                                  CorrectAnswerMode mode) {
  const std::string text = "Origen: " + source + "\r\n" + W("Destí: ") + destination + "\r\n" +
                           W("Opció: ") + CorrectAnswerModeName(mode) + "\r\n" +
                           "         Continuar? ";
  return CutText(text, kMaxShownText);
}

Status ReadQuestionBlocks(std::string text, CorrectAnswerMode mode, Messages* messages,
                          const std::function<Status(const Question&)>& add) {
  ToCp1252(&text);
  TextReader in;
  in.OpenBytes(std::move(text));
  uint32_t question_number = 0;
  std::array<std::string, 4> answers;
  Question q;
  std::string line;
  while (in.ReadLine(&line)) {
    if (line.empty()) continue;
    ++question_number;
    q.question = line;
    int correct = 0;
    for (int k = 1; k <= 4; ++k) {
      std::string& answer = answers[static_cast<size_t>(k - 1)];
      if (!in.ReadLine(&answer)) answer.clear();
      TrimInPlace(&answer);
      if (answer.empty()) return EmptyAnswer(question_number, k);
      if (mode == CorrectAnswerMode::kMarked && answer[0] == '*') {
        correct = k;
        answer.erase(0, 1);
      }
    }
    if (mode == CorrectAnswerMode::kFirst) correct = 1;
    if (correct == 0) {
      const std::string caption = W("Error a la qüestió ") + IntToText(static_cast<int32_t>(question_number));
      const std::string why = "La resposta correcta ha de començar amb \"*\"";
      if (messages) messages->Message(caption, W(why), kMbOk);
      return Stopped(caption + ": " + W("cap resposta no comença amb \"*\""));
    }
    q.answers[0] = answers[static_cast<size_t>(correct - 1)];
    size_t next = 1;
    for (int k = 1; k <= 4; ++k) {
      if (k != correct) q.answers[next++] = answers[static_cast<size_t>(k - 1)];
    }
    q.comment.clear();
    QUIZ_RETURN_IF_ERROR(add(q));
  }
  return Status::Ok();
}

std::vector<std::string> ReportLines(const ImportReport& report) {
  std::vector<std::string> lines = report.skipped;
  lines.insert(lines.end(), report.noted.begin(), report.noted.end());
  if (report.replaced > 0) {
    lines.push_back(IntToText(static_cast<int32_t>(report.replaced)) +
                    W(report.replaced == 1 ? " caràcter no té lloc en Windows-1252 i és \"?\""
                                           : " caràcters no tenen lloc en Windows-1252 i són \"?\""));
  }
  if (report.cut > 0) {
    lines.push_back(IntToText(static_cast<int32_t>(report.cut)) +
                    W(report.cut == 1 ? " text era més llarg que el seu camp i s'ha tallat"
                                      : " textos eren més llargs que el seu camp i s'han tallat"));
  }
  return lines;
}

Status ConvertTextFile(const std::string& source, const std::string& destination,
                       CorrectAnswerMode mode, Messages* messages, uint32_t* appended,
                       ImportReport* report, const ImportOptions& options) {
  if (appended) *appended = 0;
  if (source.empty() || !FileExists(source)) {
    return Status::NotFound(OpenFailedCaption(), source + ": no existeix");
  }
  std::string text;
  QUIZ_RETURN_IF_ERROR(ReadWholeFile(source, &text));
  if (destination.empty()) {
    return Stopped(W("No s'ha donat el fitxer de qüestions"));
  }
  // A bank of the folder may be half-way through a change of its topic's parameters that a killed
  // program left: it is ended before anything is added to it.
  if (TopicChangePending() && FileExists(kTopicIndexName)) {
    TopicIndex index;
    QUIZ_RETURN_IF_ERROR(index.Open());
  }
  Appender out;
  QUIZ_RETURN_IF_ERROR(out.Open(destination));
  ImportReport ignored;
  if (!report) report = &ignored;
  const SourceFormat format = options.format ? *options.format : DetectSourceFormat(source, text);
  auto add = [&](const Question& q) { return out.Add(q); };
  // Whatever ends the reading, the records gathered so far go to the file.
  Status converted;
  switch (format) {
    case SourceFormat::kAiken: converted = ReadAiken(text, report, add); break;
    case SourceFormat::kGift: converted = ReadGift(text, options.true_false, report, add); break;
    case SourceFormat::kMoodle: converted = ReadMoodleXml(text, options.true_false, report, add); break;
    case SourceFormat::kText: {
      // A marked answer of a star alone is an empty right answer: added as it always was, and
      // named, since no exchange format can write it.
      uint32_t number = 0;
      converted = ReadQuestionBlocks(std::move(text), mode, messages, [&](const Question& q) {
        ++number;
        if (q.answers[0].empty()) {
          report->noted.push_back(W("Qüestió ") + IntToText(static_cast<int32_t>(number)) +
                                  W(": la resposta correcta és buida; s'ha afegit igualment"));
        }
        return add(q);
      });
      break;
    }
  }
  const Status finished = out.Finish();
  if (appended) *appended = out.added();
  if (!converted.ok()) return converted;
  return finished;
}

}  // namespace quiz
