// Aiken: the question on one line, each option on its own line ("A. " or "A) "), then
// "ANSWER: A"; questions apart by empty lines.

#include "converter/exchange.h"
#include "converter/exchange_text.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

using namespace exchange;

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

Status ReadAiken(std::string_view bytes, ImportReport* report, const std::function<Status(const Question&)>& add) {
  std::string converted;
  std::string_view text;
  QUIZ_RETURN_IF_ERROR(SourceText(bytes, &converted, report, &text));

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
      PutAnswers(&q, options, correct);
      QUIZ_RETURN_IF_ERROR(HandOn(q, report, add));
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
    if (end == std::string_view::npos) end = text.size();
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

std::string WriteAiken(const std::vector<Question>& questions, LeftOut* left_out) {
  std::string out;
  size_t number = 0;
  for (const Question& q : questions) {
    ++number;
    if (LeftOutOfEveryFormat(q, number, left_out)) continue;
    char letter = 0;
    std::string_view ignored;
    if (AikenOption(q.question, &letter, &ignored) || AikenAnswer(q.question, &ignored)) {
      NoteLeftOut(number, W("la pregunta comença com una opció o una resposta, i Aiken no ho pot escriure"), left_out);
      continue;
    }
    out += Cp1252ToUtf8(q.question);
    out += '\n';
    letter = 'A';
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

}  // namespace quiz
