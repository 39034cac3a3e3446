#include "converter/exchange_text.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "converter/html_entities.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

void CountCuts(const Question& q, ImportReport* report) {
  const Layout& layout = kConverterLayout;
  report->cut += q.question.size() > layout.question_length ? 1 : 0;
  for (const std::string& a : q.answers) report->cut += a.size() > layout.answer_length ? 1 : 0;
  report->cut += q.comment.size() > layout.comment_length ? 1 : 0;
}

namespace exchange {

Status Stopped(const std::string& text) { return Status::Refused(W("Conversió aturada"), text); }

std::string Where(uint32_t question, size_t line) {
  return W("Qüestió ") + IntToText(static_cast<int32_t>(question)) + W(", línia ") +
         IntToText(static_cast<int32_t>(line));
}

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

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

Status HandOn(const Question& q, ImportReport* report, const std::function<Status(const Question&)>& add) {
  CountCuts(q, report);
  QUIZ_RETURN_IF_ERROR(add(q));
  ++report->read;
  return Status::Ok();
}

namespace {

// The longest name HTML gives a character ("CounterClockwiseContourIntegral"), with "&".
constexpr size_t kLongestEntity = 33;

// True for a tag (what stands between "<" and ">") that ends a line or a block of text.
bool BreaksText(std::string_view tag) {
  static constexpr std::string_view kBlocks[] = {
      "address", "article", "aside", "blockquote", "br", "caption", "center", "dd", "div", "dl", "dt",
      "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header",
      "hr", "legend", "li", "main", "nav", "ol", "p", "pre", "section", "table", "tbody", "td", "tfoot",
      "th", "thead", "tr", "ul"};
  if (tag.starts_with('/')) tag.remove_prefix(1);
  size_t length = 0;
  while (length < tag.size() && std::isalnum(static_cast<unsigned char>(tag[length]))) ++length;
  std::string name(tag.substr(0, length));
  for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return std::find(std::begin(kBlocks), std::end(kBlocks), name) != std::end(kBlocks);
}

}  // namespace

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
      // A tag that starts a line or a block parts the words around it; an inline one (bold, a
      // link, a span) joins them, as a browser shows them.
      if (BreaksText(s.substr(i + 1, end - i - 1))) space = true;
      i = end + 1;
    } else if (c == '&') {
      const size_t end = s.find(';', i);
      const std::string_view name = end == std::string_view::npos || end - i > kLongestEntity ? std::string_view() : s.substr(i + 1, end - i - 1);
      int code = -1;
      char32_t first = 0, second = 0;
      if (name == "nbsp") {
        code = ' ';  // a space like the others in a line of plain text
      } else if (name.size() > 1 && name[0] != '#' && NamedCharacter(name, &first, &second)) {
        code = static_cast<int>(first);
        // The few references of two characters (a letter and a mark over it) keep both.
        if (second != 0) {
          const char byte = CodePointToCp1252(first);
          put(std::string_view(&byte, 1));
          code = static_cast<int>(second);
        }
      } else if (name.size() > 1 && name[0] == '#') {
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

void NoteLeftOut(size_t number, const std::string& why, LeftOut* left_out) {
  if (left_out) left_out->push_back(W("Qüestió ") + IntToText(static_cast<int32_t>(number)) + W(": no s'ha escrit, ") + why);
}

bool LeftOutOfEveryFormat(const Question& q, size_t number, LeftOut* left_out) {
  if (Trimmed(q.question).empty()) {
    NoteLeftOut(number, W("la pregunta és buida"), left_out);
    return true;
  }
  if (Trimmed(q.answers[0]).empty()) {
    NoteLeftOut(number, W("la resposta correcta és buida"), left_out);
    return true;
  }
  return false;
}

}  // namespace exchange
}  // namespace quiz
