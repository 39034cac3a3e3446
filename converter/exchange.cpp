#include "converter/exchange.h"

#include <algorithm>
#include <array>

#include "data/layout.h"
#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/cp1252.h"
#include "toolkit/files.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr size_t kDetectionBytes = size_t{64} << 10;

Status Stopped(const std::string& text) { return Status::Refused(W("Conversió aturada"), text); }

std::string Where(uint32_t question, size_t line) {
  return W("Qüestió ") + IntToText(static_cast<int32_t>(question)) + W(", línia ") +
         IntToText(static_cast<int32_t>(line));
}

// Without spaces, tabs and stray carriage returns at either end.
std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The text as Windows-1252, or the line of its first byte that is not UTF-8.
Status SourceText(std::string_view bytes, std::string* text, ImportReport* report) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  size_t replaced = 0;
  size_t bad_at = 0;
  if (!Utf8ToCp1252Counted(bytes, text, &replaced, &bad_at)) {
    const auto line = 1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(bad_at), '\n'));
    return Stopped(W("Línia ") + IntToText(static_cast<int32_t>(line)) + W(": el text no és UTF-8"));
  }
  report->replaced += static_cast<uint32_t>(replaced);
  return Status::Ok();
}

// An option line, "A. text" or "A) text": its letter and its text.
bool AikenOption(std::string_view line, char* letter, std::string_view* text) {
  line = Trimmed(line);
  if (line.size() < 2 || line[0] < 'A' || line[0] > 'Z' || (line[1] != '.' && line[1] != ')')) return false;
  if (line.size() > 2 && line[2] != ' ' && line[2] != '\t') return false;
  *letter = line[0];
  *text = Trimmed(line.substr(2));
  return true;
}

// An answer line, "ANSWER: B": what follows the colon.
bool AikenAnswer(std::string_view line, std::string_view* letter) {
  line = Trimmed(line);
  if (!line.starts_with("ANSWER:")) return false;
  *letter = Trimmed(line.substr(7));
  return true;
}

}  // namespace

bool SourceFormatNamed(std::string_view name, SourceFormat* format) {
  if (name == "text") {
    *format = SourceFormat::kText;
  } else if (name == "aiken") {
    *format = SourceFormat::kAiken;
  } else {
    return false;
  }
  return true;
}

SourceFormat DetectSourceFormat(std::string_view bytes) {
  // The first question's answer line comes early; a large five-line text is not read through.
  bytes = bytes.substr(0, kDetectionBytes);
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    if (Trimmed(bytes.substr(start, end - start)).starts_with("ANSWER:")) return SourceFormat::kAiken;
    start = end + 1;
  }
  return SourceFormat::kText;
}

void CountCuts(const Question& q, ImportReport* report) {
  const Layout& layout = kConverterLayout;
  report->cut += q.question.size() > layout.question_length ? 1 : 0;
  for (const std::string& a : q.answers) report->cut += a.size() > layout.answer_length ? 1 : 0;
  report->cut += q.comment.size() > layout.comment_length ? 1 : 0;
}

Status ReadAiken(std::string_view bytes, ImportReport* report, const std::function<Status(const Question&)>& add) {
  std::string text;
  QUIZ_RETURN_IF_ERROR(SourceText(bytes, &text, report));

  struct Option {
    char letter;
    std::string text;
  };
  uint32_t number = 0;      // of the question being read
  size_t question_line = 0;  // where it starts; 0 while between questions
  std::string question;
  std::vector<Option> options;

  // The question read so far ends with its answer line.
  auto finish = [&](std::string_view letter, size_t line) -> Status {
    if (letter.size() != 1) {
      return Stopped(Where(number, line) + W(": la resposta ha de ser una lletra, \"ANSWER: A\""));
    }
    const auto correct = std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.letter == letter[0]; });
    if (correct == options.end()) {
      return Stopped(Where(number, line) + W(": la resposta ") + std::string(letter) + W(" no és cap de les opcions"));
    }
    std::string why;
    if (options.size() < 2) why = W("té una sola opció");
    if (options.size() > 4) why = W("té ") + IntToText(static_cast<int32_t>(options.size())) + W(" opcions i n'hi caben 4");
    if (why.empty() && std::any_of(options.begin(), options.end(), [](const Option& o) { return o.text.empty(); })) {
      why = W("té una opció buida");
    }
    if (!why.empty()) {
      report->skipped.push_back(Where(number, question_line) + W(": no s'ha afegit, ") + why);
    } else {
      Question q;
      q.question = question;
      q.answers[0] = correct->text;
      size_t next = 1;
      for (auto it = options.begin(); it != options.end(); ++it) {
        if (it != correct) q.answers[next++] = it->text;
      }
      CountCuts(q, report);
      QUIZ_RETURN_IF_ERROR(add(q));
      ++report->read;
    }
    question_line = 0;
    question.clear();
    options.clear();
    return Status::Ok();
  };

  size_t line_number = 0;
  // A last line end ends the last line: no empty line follows it.
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    while (line.ends_with('\r')) line.remove_suffix(1);
    ++line_number;
    const bool blank = Trimmed(line).empty();
    char letter = 0;
    std::string_view option_text;
    std::string_view answer;
    if (question_line == 0) {
      if (!blank) {
        ++number;
        question_line = line_number;
        question = std::string(line);
      }
    } else if (AikenAnswer(line, &answer)) {
      QUIZ_RETURN_IF_ERROR(finish(answer, line_number));
    } else if (blank) {
      return Stopped(Where(number, question_line) + W(": falta la línia \"ANSWER:\" abans de la línia ") +
                     IntToText(static_cast<int32_t>(line_number)));
    } else if (AikenOption(line, &letter, &option_text)) {
      options.push_back({letter, std::string(option_text)});
    } else if (options.empty()) {
      // A question written over several lines is read as one.
      question += ' ';
      question += Trimmed(line);
    } else {
      return Stopped(Where(number, line_number) + W(": la línia no és cap opció (\"A. ...\") ni la resposta (\"ANSWER: ...\")"));
    }
    start = end + 1;
  }
  if (question_line != 0) {
    return Stopped(Where(number, question_line) + W(": el text s'acaba sense la línia \"ANSWER:\""));
  }
  return Status::Ok();
}

std::string WriteAiken(const std::vector<Question>& questions) {
  std::string out;
  for (const Question& q : questions) {
    out += Cp1252ToUtf8(q.question);
    out += '\n';
    char letter = 'A';
    for (const std::string& a : q.answers) {
      if (a.empty()) continue;
      out += letter++;
      out += ". ";
      out += Cp1252ToUtf8(a);
      out += '\n';
    }
    out += "ANSWER: A\n\n";
  }
  return out;
}

Status ExportTopicToAiken(const std::string& topic, const std::string& destination, uint32_t* written) {
  *written = 0;
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
  QUIZ_RETURN_IF_ERROR(ReplaceFile(destination, WriteAiken(questions)));
  *written = static_cast<uint32_t>(questions.size());
  return Status::Ok();
}

}  // namespace quiz
