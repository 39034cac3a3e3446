// Moodle XML: <quiz><question type="multichoice"> with <questiontext>, <answer fraction="100">
// and <generalfeedback>.

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>

#include "converter/exchange.h"
#include "converter/exchange_text.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {
using namespace exchange;
}  // namespace

namespace {

// The line of a byte of the source.
size_t LineAt(std::string_view bytes, ptrdiff_t offset) {
  if (offset < 0) return 0;
  const auto end = std::min(static_cast<size_t>(offset), bytes.size());
  return 1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(end), '\n'));
}

// Lines of bytes asked for in the order of the text, each counted from the one before.
struct LineCounter {
  std::string_view bytes;
  size_t offset = 0;
  size_t line = 1;
  size_t At(ptrdiff_t at) {
    if (at < 0) return 0;
    const auto end = std::min(static_cast<size_t>(at), bytes.size());
    if (end < offset) return LineAt(bytes, at);
    line += static_cast<size_t>(std::count(bytes.begin() + static_cast<ptrdiff_t>(offset), bytes.begin() + static_cast<ptrdiff_t>(end), '\n'));
    offset = end;
    return line;
  }
};

// The text of an element with a <text> child and a format attribute, in Windows-1252: HTML made
// plain unless the format says plain text.
std::string MoodleText(const pugi::xml_node& node, ImportReport* report) {
  const std::string_view utf8 = node.child("text").text().get();
  const bool html = std::string_view(node.attribute("format").as_string("html")) == "html";
  // A text in ASCII is the same in Windows-1252 and is read where it is.
  if (AsciiLength(utf8) == utf8.size()) return html ? HtmlPlain(utf8) : std::string(utf8);
  std::string text;
  size_t replaced = 0;
  Utf8ToCp1252Counted(utf8, &text, &replaced, nullptr);
  report->replaced += static_cast<uint32_t>(replaced);
  return html ? HtmlPlain(text) : text;
}

constexpr unsigned kMoodleParse = pugi::parse_default | pugi::parse_embed_pcdata;

// The questions of a quiz, read one after the other: each that fits a record is handed on, the
// others are reported.
class MoodleReader {
 public:
  MoodleReader(std::string_view bytes, bool true_false, ImportReport* report,
               const std::function<Status(const Question&)>& add)
      : lines_{bytes}, true_false_(true_false), report_(report), add_(add) {}

  // A <question> element, parsed from a buffer that starts at `offset` in the source.
  Status Read(const pugi::xml_node& node, size_t offset) {
    ++elements_;
    const std::string_view type = node.attribute("type").as_string();
    if (type == "category") return Status::Ok();
    ++number_;
    // Where the question is, for the report: told only for a question left out.
    auto where = [&] {
      std::string name;
      Utf8ToCp1252Counted(node.child("name").child("text").text().get(), &name, nullptr, nullptr);
      std::string text = W("Qüestió ") + IntToText(static_cast<int32_t>(number_));
      if (!name.empty()) text += " (" + name + ")";
      const auto at = static_cast<ptrdiff_t>(offset) + node.offset_debug();
      return text + W(", línia ") + IntToText(static_cast<int32_t>(lines_.At(at)));
    };
    auto skip = [&](const std::string& why) {
      report_->skipped.push_back(where() + W(": no s'ha afegit, ") + why);
      return Status::Ok();
    };
    if (type != "multichoice" && type != "truefalse") return skip(W("és de tipus ") + std::string(type));
    if (type == "truefalse" && !true_false_) return skip(W("és de cert o fals (--tf les afegeix)"));
    struct Answer {
      double fraction;
      std::string text;
    };
    std::vector<Answer> answers;
    for (const pugi::xml_node& a : node.children("answer")) {
      answers.push_back({a.attribute("fraction").as_double(0), MoodleText(a, report_)});
    }
    Question q;
    q.question = MoodleText(node.child("questiontext"), report_);
    q.comment = MoodleText(node.child("generalfeedback"), report_);
    auto is_right = [](const Answer& a) { return a.fraction >= 100; };
    const auto rights = std::count_if(answers.begin(), answers.end(), is_right);
    const auto partial = std::count_if(answers.begin(), answers.end(), [](const Answer& a) { return a.fraction > 0 && a.fraction < 100; });
    const auto right = std::find_if(answers.begin(), answers.end(), is_right);
    if (type == "truefalse") {
      // Its answers read "true" and "false"; the first is true when they read otherwise.
      if (rights != 1 || answers.size() != 2) return skip(W("és de cert o fals sense una sola resposta correcta"));
      const std::string said = UpperCat(right->text);
      const bool yes = said == "TRUE" || (said != "FALSE" && right == answers.begin());
      q.answers[0] = yes ? "Cert" : "Fals";
      q.answers[1] = yes ? "Fals" : "Cert";
    } else if (answers.size() < 2 || answers.size() > 4) {
      return skip(W("té ") + IntToText(static_cast<int32_t>(answers.size())) + W(" opcions i n'hi caben de 2 a 4"));
    } else if (rights == 0 && partial == 0) {
      return skip(W("no té cap resposta correcta"));
    } else if (rights != 1 || partial > 0) {
      return skip(W("té més d'una resposta correcta o respostes amb part de la nota"));
    } else if (std::any_of(answers.begin(), answers.end(), [](const Answer& a) { return a.text.empty(); })) {
      return skip(W("té una opció buida"));
    } else {
      PutAnswers(&q, answers, right);
    }
    return HandOn(q, report_, add_);
  }

  // How many <question> elements have been read, categories counted.
  size_t elements() const { return elements_; }

 private:
  LineCounter lines_;
  bool true_false_;
  ImportReport* report_;
  const std::function<Status(const Question&)>& add_;
  size_t elements_ = 0;
  uint32_t number_ = 0;
};

// Whether a parsed piece of a quiz has the quiz element as its only element, and nothing in it.
bool OnlyAnEmptyQuiz(const pugi::xml_document& doc) {
  const pugi::xml_node quiz = doc.document_element();
  if (std::string_view(quiz.name()) != "quiz" || quiz.first_child()) return false;
  for (pugi::xml_node n = quiz.next_sibling(); n; n = n.next_sibling()) {
    if (n.type() == pugi::node_element) return false;
  }
  return true;
}

// Reads a quiz as it is usually laid out, a <question> element at a time, each parsed by itself
// with what comes before it (white space, comments), so that the document is never held whole: a
// quiz of tens of megabytes has millions of nodes, and their memory slows the writing of the bank.
// *whole is set when the quiz has been read to its end; anything unusual (a question inside
// another element, a "</question>" inside a text, a damaged element) leaves it unset, and the
// caller parses the whole document, from the question where this stopped.
Status ReadQuestionByQuestion(std::string_view bytes, MoodleReader* reader, bool* whole) {
  constexpr std::string_view kOpen = "<question", kClose = "</question>";
  size_t at = bytes.find(kOpen);
  while (at != std::string_view::npos && !(at + kOpen.size() < bytes.size() &&
                                          std::string_view(" \t\r\n/>").find(bytes[at + kOpen.size()]) != std::string_view::npos)) {
    at = bytes.find(kOpen, at + 1);
  }
  if (at == std::string_view::npos) return Status::Ok();
  // What comes before the first question must open the quiz, the only element of the document.
  std::string buffer(bytes.substr(0, at));
  buffer += "</quiz>";
  pugi::xml_document doc;
  // The parser takes a NUL byte for the end of its text: a piece with one is not read by itself.
  auto parse = [&] {
    return !std::memchr(buffer.data(), 0, buffer.size()) &&
           doc.load_buffer_inplace(buffer.data(), buffer.size(), kMoodleParse, pugi::encoding_utf8);
  };
  if (!parse() || !OnlyAnEmptyQuiz(doc)) return Status::Ok();
  // A search that stops at every "<" of the texts would take longer than the parsing.
  auto find_close = [&](size_t from) {
    const void* found = ::memmem(bytes.data() + from, bytes.size() - from, kClose.data(), kClose.size());
    return found ? static_cast<size_t>(static_cast<const char*>(found) - bytes.data()) : std::string_view::npos;
  };
  for (size_t close; (close = find_close(at)) != std::string_view::npos;) {
    const size_t end = close + kClose.size();
    buffer.assign(bytes.substr(at, end - at));
    if (!parse()) return Status::Ok();
    const pugi::xml_node question = doc.first_child();
    if (question != doc.last_child() || question.type() != pugi::node_element ||
        std::string_view(question.name()) != "question") {
      return Status::Ok();
    }
    QUIZ_RETURN_IF_ERROR(reader->Read(question, at));
    at = end;
  }
  // What comes after the last question must close the quiz and end the document.
  buffer = "<quiz>";
  buffer += bytes.substr(at);
  *whole = parse() && OnlyAnEmptyQuiz(doc);
  return Status::Ok();
}

}  // namespace

namespace {

Status ReadMoodleXmlAs(std::string_view bytes, bool question_by_question, bool true_false, ImportReport* report,
                       const std::function<Status(const Question&)>& add) {
  // The whole source must be UTF-8; the parser gets it as it is, and each text is made
  // Windows-1252 (its replaced characters counted) as it is read.
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  if (const size_t bad_at = InvalidUtf8At(bytes); bad_at != std::string_view::npos) return NotUtf8(bytes, bad_at);
  MoodleReader reader(bytes, true_false, report, add);
  if (question_by_question) {
    bool whole = false;
    QUIZ_RETURN_IF_ERROR(ReadQuestionByQuestion(bytes, &reader, &whole));
    if (whole) return Status::Ok();
  }
  // The whole document. The parser works on a copy, so that the lines of the questions are
  // counted in the source as it is (the parser makes every CR a line end in its copy).
  // The questions read above are not read again.
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size(), kMoodleParse, pugi::encoding_utf8);
  if (!parsed) {
    return Stopped(W("Línia ") + IntToText(static_cast<int32_t>(LineAt(bytes, parsed.offset))) +
                   W(": el XML no és vàlid (") + parsed.description() + ")");
  }
  const pugi::xml_node quiz = doc.child("quiz");
  if (!quiz) return Stopped(W("El fitxer no és un qüestionari de Moodle: no hi ha l'element <quiz>"));
  const size_t read = reader.elements();
  size_t element = 0;
  for (const pugi::xml_node& node : quiz.children("question")) {
    if (element++ < read) continue;
    QUIZ_RETURN_IF_ERROR(reader.Read(node, 0));
  }
  return Status::Ok();
}

}  // namespace

Status ReadMoodleXml(std::string_view bytes, bool true_false, ImportReport* report,
                     const std::function<Status(const Question&)>& add) {
  return ReadMoodleXmlAs(bytes, true, true_false, report, add);
}

Status ReadMoodleXmlWhole(std::string_view bytes, bool true_false, ImportReport* report,
                          const std::function<Status(const Question&)>& add) {
  return ReadMoodleXmlAs(bytes, false, true_false, report, add);
}

namespace {

// True when a text of `q` holds a character that XML 1.0 cannot hold in any form.
bool HoldsControlCharacter(const Question& q) {
  auto bad = [](const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
  };
  return bad(q.question) || bad(q.comment) || std::any_of(q.answers.begin(), q.answers.end(), bad);
}

}  // namespace

std::string WriteMoodleXml(const std::vector<Question>& questions, LeftOut* left_out) {
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node quiz = doc.append_child("quiz");
  auto text = [](pugi::xml_node parent, const char* name, const std::string& value) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute("format") = "plain_text";
    node.append_child("text").text().set(Cp1252ToUtf8(value).c_str());
    return node;
  };
  uint32_t number = 0;
  size_t index = 0;
  for (const Question& q : questions) {
    ++index;
    if (LeftOutOfEveryFormat(q, index, left_out)) continue;
    if (HoldsControlCharacter(q)) {
      NoteLeftOut(index, W("té un caràcter de control, que el XML no pot contenir"), left_out);
      continue;
    }
    pugi::xml_node question = quiz.append_child("question");
    question.append_attribute("type") = "multichoice";
    question.append_child("name").append_child("text").text().set(
        Cp1252ToUtf8(W("Qüestió ") + IntToText(static_cast<int32_t>(++number))).c_str());
    text(question, "questiontext", q.question);
    text(question, "generalfeedback", q.comment);
    question.append_child("single").text().set("true");
    question.append_child("shuffleanswers").text().set("true");
    bool first = true;
    for (const std::string& a : q.answers) {
      if (a.empty()) continue;
      text(question, "answer", a).append_attribute("fraction") = first ? "100" : "0";
      first = false;
    }
  }
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace quiz
