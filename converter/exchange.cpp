#include "converter/exchange.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <sstream>

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

// Without spaces, tabs, stray carriage returns and line ends at either end.
std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Texts are scanned eight bytes at a time: a byte of value b is found in a word w where
// ZeroBytes(w ^ (b * kEveryByte)) is not zero.
constexpr uint64_t kEveryByte = 0x0101010101010101u;
constexpr uint64_t ZeroBytes(uint64_t w) {  // 0x80 at each byte of w that is zero, 0 elsewhere
  constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Fu;
  return ~(((w & kLow) + kLow) | w | kLow);
}

// The first byte at or after `from` that is one of `Stops`, or the size.
template <char... Stops>
size_t FindAny(std::string_view s, size_t from) {
  size_t i = from;
  for (uint64_t w; i + 8 <= s.size(); i += 8) {
    std::memcpy(&w, s.data() + i, 8);
    if ((ZeroBytes(w ^ (static_cast<unsigned char>(Stops) * kEveryByte)) | ...) != 0) break;
  }
  while (i < s.size() && ((s[i] != Stops) && ...)) ++i;
  return i;
}

// The end of the run of bytes from `from` on that holds no control character, no `a` and no `b`;
// *doubled is set when two spaces follow each other in it, or the run starts after a space with one.
size_t PlainRunEnd(std::string_view s, size_t from, char a, char b, bool* doubled) {
  size_t end = from;
  for (uint64_t w; end + 8 <= s.size(); end += 8) {
    std::memcpy(&w, s.data() + end, 8);
    const uint64_t controls = (w - 0x20 * kEveryByte) & ~w & (0x80 * kEveryByte);
    if ((ZeroBytes(w ^ (static_cast<unsigned char>(a) * kEveryByte)) | ZeroBytes(w ^ (static_cast<unsigned char>(b) * kEveryByte)) | controls) != 0) break;
    const uint64_t spaces = ZeroBytes(w ^ (' ' * kEveryByte));
    *doubled |= (spaces & (spaces << 8)) != 0 || (end > 0 && s[end] == ' ' && s[end - 1] == ' ');
  }
  for (; end < s.size(); ++end) {
    const char c = s[end];
    if (static_cast<unsigned char>(c) < 0x20 || c == a || c == b) break;
    *doubled |= c == ' ' && end > 0 && s[end - 1] == ' ';
  }
  return end;
}

Status NotUtf8(std::string_view bytes, size_t bad_at) {
  const auto line = 1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(bad_at), '\n'));
  return Stopped(W("Línia ") + IntToText(static_cast<int32_t>(line)) + W(": el text no és UTF-8"));
}

// The text as Windows-1252, or the line of its first byte that is not UTF-8. A text all in ASCII
// is the same in both and is read where it is: `text` is then left empty.
Status SourceText(std::string_view bytes, std::string* text, ImportReport* report, std::string_view* view) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  if (AsciiLength(bytes) == bytes.size()) {
    text->clear();
    *view = bytes;
    return Status::Ok();
  }
  size_t replaced = 0;
  size_t bad_at = 0;
  if (!Utf8ToCp1252Counted(bytes, text, &replaced, &bad_at)) return NotUtf8(bytes, bad_at);
  report->replaced += static_cast<uint32_t>(replaced);
  *view = *text;
  return Status::Ok();
}

// The options in a record: the right one first, the others in their order.
template <typename Options>
void PutAnswers(Question* q, const Options& options, typename Options::const_iterator right) {
  q->answers[0] = right->text;
  size_t next = 1;
  for (auto it = options.begin(); it != options.end(); ++it) {
    if (it != right) q->answers[next++] = it->text;
  }
}

// Hands a question that fits a record on, counting it and its cut texts.
Status HandOn(const Question& q, ImportReport* report, const std::function<Status(const Question&)>& add) {
  CountCuts(q, report);
  QUIZ_RETURN_IF_ERROR(add(q));
  ++report->read;
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

namespace {

// GIFT's special characters, which a backslash makes plain.
bool GiftSpecial(char c) { return c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':'; }

// The position of the first `c` at or after `from` that no backslash escapes, or npos.
size_t FindUnescaped(std::string_view s, char c, size_t from = 0) {
  for (size_t i = s.find(c, from); i != std::string_view::npos; i = s.find(c, i + 1)) {
    // An odd run of backslashes before it escapes it.
    size_t slashes = 0;
    while (i > slashes && s[i - slashes - 1] == '\\') ++slashes;
    if (slashes % 2 == 0) return i;
  }
  return std::string_view::npos;
}

// Plain text from a piece of GIFT: escapes undone ("\n" is a line end), line ends and runs of
// spaces made one space, the ends trimmed.
std::string GiftPlain(std::string_view s) {
  // Most pieces have no escape, no line end and no run of spaces: they are only trimmed.
  const std::string_view trimmed = Trimmed(s);
  bool doubled = false;
  if (PlainRunEnd(trimmed, 0, '\\', '\\', &doubled) == trimmed.size() && !doubled) return std::string(trimmed);
  std::string out;
  out.reserve(s.size());
  bool space = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 1 < s.size() && (GiftSpecial(s[i + 1]) || s[i + 1] == 'n' || s[i + 1] == '\\')) {
      c = s[++i] == 'n' ? ' ' : s[i];
      if (c == ' ') {
        space = true;
        continue;
      }
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      space = true;
      continue;
    }
    if (space && !out.empty()) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

// HTML made plain text: tags out, "<br>" and "<p>" a space, the usual entities decoded (in
// Windows-1252, '?' for a character it lacks), runs of spaces one, the ends trimmed.
std::string HtmlPlain(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool space = false;  // a space is owed before the next character
  auto put = [&](std::string_view piece) {
    if (space && !out.empty()) out += ' ';
    space = false;
    out += piece;
  };
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      space = true;
      ++i;
    } else if (c == '<') {
      const size_t end = s.find('>', i);
      if (end == std::string_view::npos) {
        put(s.substr(i));
        break;
      }
      space = true;
      i = end + 1;
    } else if (c == '&') {
      const size_t end = s.find(';', i);
      const std::string_view name = end == std::string_view::npos || end - i > 10 ? std::string_view() : s.substr(i + 1, end - i - 1);
      int code = -1;
      if (name == "amp") code = '&';
      else if (name == "lt") code = '<';
      else if (name == "gt") code = '>';
      else if (name == "quot") code = '"';
      else if (name == "apos") code = '\'';
      else if (name == "nbsp") code = ' ';  // a space like the others in a line of plain text
      else if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        if (!digits.empty() && digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string::npos && digits.size() <= 7) {
          code = static_cast<int>(std::stol(digits, nullptr, hex ? 16 : 10));
        }
      }
      if (code < 0) {
        put("&");
        ++i;
        continue;
      }
      i = end + 1;
      if (code == ' ' || code == '\t' || code == '\r' || code == '\n') {
        space = true;
        continue;
      }
      const char byte = CodePointToCp1252(static_cast<char32_t>(code));
      put(std::string_view(&byte, 1));
    } else {
      // A run up to the next tag, entity or line end goes in whole, its spaces collapsed.
      bool doubled = false;
      const size_t end = PlainRunEnd(s, i + 1, '<', '&', &doubled);
      if (!doubled && s[end - 1] != ' ') {
        put(s.substr(i, end - i));
        i = end;
        continue;
      }
      // It starts with a character that is not a space, as every piece of it put below does.
      for (std::string_view run = s.substr(i, end - i); !run.empty();) {
        const size_t spaces = run.find("  ");
        if (spaces == std::string_view::npos) {
          const size_t last = run.find_last_not_of(' ');
          put(run.substr(0, last + 1));
          space = last + 1 < run.size();
          break;
        }
        put(run.substr(0, spaces));
        space = true;
        const size_t next = run.find_first_not_of(' ', spaces);
        if (next == std::string_view::npos) break;
        run.remove_prefix(next);
      }
      i = end;
    }
  }
  return out;
}

struct GiftAnswer {
  bool right = false;
  int weight = 0;      // "%50%": the share of the mark; 100 for "=" without one
  std::string text;
};

// A question's name and where it starts, for the report and the errors.
std::string GiftWhere(uint32_t number, const std::string& name, size_t line) {
  std::string where = W("Qüestió ") + IntToText(static_cast<int32_t>(number));
  if (!name.empty()) where += " (" + name + ")";
  return where + W(", línia ") + IntToText(static_cast<int32_t>(line));
}

}  // namespace

Status ReadGift(std::string_view bytes, bool true_false, ImportReport* report,
                const std::function<Status(const Question&)>& add) {
  std::string converted;
  std::string_view text;
  QUIZ_RETURN_IF_ERROR(SourceText(bytes, &converted, report, &text));

  // The text comes in items apart by empty lines, comment lines dropped; each is a question,
  // read as soon as it ends.
  struct Item {
    std::string_view text;
    size_t line = 0;
  };
  uint32_t number = 0;
  auto process = [&](const Item& item) -> Status {
    std::string_view body = Trimmed(item.text);
    if (body.starts_with("$CATEGORY:")) return Status::Ok();
    ++number;
    std::string name;
    if (body.starts_with("::")) {
      const size_t close = body.find("::", 2);
      if (close != std::string_view::npos) {
        name = GiftPlain(body.substr(2, close - 2));
        body = Trimmed(body.substr(close + 2));
      }
    }
    auto where = [&] { return GiftWhere(number, name, item.line); };
    auto skip = [&](const std::string& why) { report->skipped.push_back(where() + W(": no s'ha afegit, ") + why); };
    const size_t open = FindUnescaped(body, '{');
    if (open == std::string_view::npos) {
      skip(W("no té respostes"));
      return Status::Ok();
    }
    const size_t close = FindUnescaped(body, '}', open + 1);
    if (close == std::string_view::npos) {
      const auto line = item.line + static_cast<size_t>(std::count(body.begin(), body.begin() + static_cast<ptrdiff_t>(open), '\n'));
      return Stopped(where() + W(": la clau oberta a la línia ") + IntToText(static_cast<int32_t>(line)) + W(" no es tanca"));
    }
    // The text's format marker, and the text around the answers.
    std::string_view before = body.substr(0, open);
    const std::string_view after = Trimmed(body.substr(close + 1));
    bool html = false;
    for (const std::string_view marker : {"[html]", "[markdown]", "[plain]", "[moodle]"}) {
      if (Trimmed(before).starts_with(marker)) {
        html = marker == "[html]";
        before = Trimmed(before).substr(marker.size());
        break;
      }
    }
    auto plain = [&](std::string_view piece) { return html ? HtmlPlain(GiftPlain(piece)) : GiftPlain(piece); };
    std::string question = plain(before);
    if (!after.empty()) {
      if (!question.empty()) question += ' ';
      question += "_____";
      if (const std::string rest = plain(after); !rest.empty()) question += ' ' + rest;
    }

    const std::string_view answers = Trimmed(body.substr(open + 1, close - open - 1));
    if (answers.empty()) {
      skip(W("és de resposta oberta"));
      return Status::Ok();
    }
    if (answers[0] == '#') {
      skip(W("és de resposta numèrica"));
      return Status::Ok();
    }
    // True or false, with the feedback of each after '#'.
    std::string head;
    if (answers[0] == 'T' || answers[0] == 'F' || answers[0] == 't' || answers[0] == 'f') {
      head = UpperCat(std::string(Trimmed(answers.substr(0, FindUnescaped(answers, '#')))));
    }
    if (head == "T" || head == "TRUE" || head == "F" || head == "FALSE") {
      if (!true_false) {
        skip(W("és de cert o fals (--tf les afegeix)"));
        return Status::Ok();
      }
      const bool yes = head[0] == 'T';
      Question q;
      q.question = question;
      q.answers[0] = yes ? "Cert" : "Fals";
      q.answers[1] = yes ? "Fals" : "Cert";
      return HandOn(q, report, add);
    }
    // The answers: "=" or "~" each, with an optional "%weight%", then "#feedback"; "####" the
    // general feedback.
    std::vector<GiftAnswer> list;
    std::string general;
    bool matching = false;
    for (size_t i = 0; i < answers.size();) {
      const char c = answers[i];
      if (c == '#' && answers.substr(i, 4) == "####") {
        general = plain(answers.substr(i + 4));
        break;
      }
      if (c != '=' && c != '~') {
        ++i;
        continue;
      }
      // This answer ends at the next unescaped '=', '~' or "####"; its feedback starts at '#'.
      size_t end = i + 1;
      size_t feedback = std::string_view::npos;
      while ((end = FindAny<'\\', '=', '~', '#'>(answers, end)) < answers.size()) {
        if (answers[end] == '\\') {
          end += 2;
        } else if (answers[end] == '#' && answers.substr(end, 4) != "####") {
          feedback = std::min(feedback, end);
          ++end;
        } else {
          break;
        }
      }
      end = std::min(end, answers.size());
      std::string_view piece = answers.substr(i + 1, std::min(end, feedback) - i - 1);
      GiftAnswer a;
      a.right = c == '=';
      a.weight = a.right ? 100 : 0;
      piece = Trimmed(piece);
      if (piece.starts_with('%')) {
        const size_t percent = piece.find('%', 1);
        if (percent != std::string_view::npos) {
          a.weight = std::atoi(std::string(piece.substr(1, percent - 1)).c_str());
          a.right = a.weight >= 100;
          piece = piece.substr(percent + 1);
        }
      }
      if (piece.find("->") != std::string_view::npos) matching = true;
      a.text = plain(piece);
      list.push_back(std::move(a));
      i = end;
    }
    const auto rights = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return a.right; });
    const auto partial = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return !a.right && a.weight > 0; });
    const auto wrongs = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return !a.right; });
    if (matching && wrongs == 0) {
      skip(W("és d'aparellar"));
    } else if (list.empty()) {
      skip(W("no té respostes"));
    } else if (wrongs == 0) {
      skip(W("és de resposta curta"));
    } else if (rights == 0 && partial == 0) {
      skip(W("no té cap resposta correcta"));
    } else if (rights != 1 || partial > 0) {
      skip(W("té més d'una resposta correcta"));
    } else if (list.size() > 4) {
      skip(W("té ") + IntToText(static_cast<int32_t>(list.size())) + W(" opcions i n'hi caben 4"));
    } else if (std::any_of(list.begin(), list.end(), [](const GiftAnswer& a) { return a.text.empty(); })) {
      skip(W("té una opció buida"));
    } else {
      Question q;
      q.question = question;
      PutAnswers(&q, list, std::find_if(list.begin(), list.end(), [](const GiftAnswer& a) { return a.right; }));
      q.comment = general;
      QUIZ_RETURN_IF_ERROR(HandOn(q, report, add));
    }
    return Status::Ok();
  };

  // An item is read where it is, unless comment lines come among its lines: it is then put
  // together without them.
  size_t item_start = std::string_view::npos;  // none begun
  size_t item_end = 0;
  size_t item_line = 0;
  bool joined = false;
  std::string joined_text;
  auto end_item = [&]() -> Status {
    if (item_start == std::string_view::npos) return Status::Ok();
    const Item item{joined ? std::string_view(joined_text) : text.substr(item_start, item_end - item_start), item_line};
    item_start = std::string_view::npos;
    return process(item);
  };
  size_t line_number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line(text.data() + start, end - start);
    const size_t next = std::min(end + 1, text.size());
    start = end + 1;
    ++line_number;
    size_t first = 0;
    while (first < line.size() && (line[first] == ' ' || line[first] == '\t' || line[first] == '\r')) ++first;
    if (line.substr(first).starts_with("//")) {
      if (item_start != std::string_view::npos && !joined) {
        joined_text.assign(text.substr(item_start, item_end - item_start));
        joined = true;
      }
      continue;
    }
    if (first == line.size()) {
      QUIZ_RETURN_IF_ERROR(end_item());
      continue;
    }
    if (item_start == std::string_view::npos) {
      item_start = static_cast<size_t>(line.data() - text.data());
      item_line = line_number;
      joined = false;
    }
    if (joined) {
      joined_text += line;
      joined_text += '\n';
    }
    item_end = next;
  }
  QUIZ_RETURN_IF_ERROR(end_item());

  return Status::Ok();
}

namespace {

// A text as GIFT writes it: in UTF-8, its special characters escaped.
std::string GiftEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (GiftSpecial(c) || c == '\\') out += '\\';
    out += c;
  }
  return Cp1252ToUtf8(out);
}

}  // namespace

std::string WriteGift(const std::vector<Question>& questions) {
  std::string out;
  for (const Question& q : questions) {
    // A text that would read as a format marker, a category or a comment is marked plain.
    const std::string_view text = q.question;
    if (text.starts_with('[') || text.starts_with('$') || text.starts_with("//")) out += "[plain]";
    out += GiftEscaped(q.question) + " {\n";
    bool first = true;
    for (const std::string& a : q.answers) {
      if (a.empty()) continue;
      out += first ? "=" : "~";
      out += GiftEscaped(a) + "\n";
      first = false;
    }
    if (!q.comment.empty()) out += "####" + GiftEscaped(q.comment) + "\n";
    out += "}\n\n";
  }
  return out;
}

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

std::string WriteMoodleXml(const std::vector<Question>& questions) {
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
  for (const Question& q : questions) {
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

Status ExportTopic(SourceFormat format, const std::string& topic, const std::string& destination, uint32_t* written) {
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
  const std::string written_text = format == SourceFormat::kGift     ? WriteGift(questions)
                                   : format == SourceFormat::kMoodle ? WriteMoodleXml(questions)
                                                                     : WriteAiken(questions);
  QUIZ_RETURN_IF_ERROR(ReplaceFile(destination, written_text));
  *written = static_cast<uint32_t>(questions.size());
  return Status::Ok();
}

}  // namespace quiz
