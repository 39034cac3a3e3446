// GIFT: "::name:: text { =right ~wrong #feedback ####general feedback }", questions apart by
// empty lines, "//" comments.

#include <algorithm>
#include <array>
#include <cstdlib>

#include "converter/exchange.h"
#include "converter/exchange_text.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

using namespace exchange;


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

struct GiftAnswer {
  bool right = false;
  bool equals = false;  // given with "=" (an accepted answer), not "~"
  int weight = 0;       // "%50%": the share of the mark; 100 for "=" without one
  std::string text;
};

// Takes a format mark ("[html]", "[markdown]", "[plain]", "[moodle]") off the start of `text`,
// which is left trimmed; whether the text is HTML: by its mark, or `html` when it has none.
bool TakeFormatMark(std::string_view* text, bool html) {
  *text = Trimmed(*text);
  for (const std::string_view mark : {"[html]", "[markdown]", "[plain]", "[moodle]"}) {
    if (text->starts_with(mark)) {
      text->remove_prefix(mark.size());
      return mark == "[html]";
    }
  }
  return html;
}

// A piece of GIFT as plain text, in HTML or not.
std::string InFormat(std::string_view piece, bool html) { return html ? HtmlPlain(GiftPlain(piece)) : GiftPlain(piece); }

// One item of the source: the lines of a question, or of a category.
struct GiftItem {
  std::string_view text;
  size_t line = 0;  // of its first line
};

// Hands on the items of the text, apart by empty lines, as each ends. An item is handed on where
// it is, unless comment lines ("//") come among its lines: it is then put together without them.
Status ForEachItem(std::string_view text, const std::function<Status(const GiftItem&)>& visit) {
  size_t item_start = std::string_view::npos;  // none begun
  size_t item_end = 0;
  size_t item_line = 0;
  bool joined = false;
  std::string joined_text;
  auto end_item = [&]() -> Status {
    if (item_start == std::string_view::npos) return Status::Ok();
    const GiftItem item{joined ? std::string_view(joined_text) : text.substr(item_start, item_end - item_start), item_line};
    item_start = std::string_view::npos;
    return visit(item);
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
  return end_item();
}

// The answers between the braces: "=" or "~" each, with an optional "%weight%", then "#feedback";
// "####" the general feedback. `plain` makes a piece plain text in its format.
void ReadAnswers(std::string_view answers, const std::function<std::string(std::string_view)>& plain,
                 std::vector<GiftAnswer>* list, std::string* general, bool* matching) {
  for (size_t i = 0; i < answers.size();) {
    const char c = answers[i];
    if (c == '#' && answers.substr(i, 4) == "####") {
      *general = plain(answers.substr(i + 4));
      return;
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
    std::string_view piece = Trimmed(answers.substr(i + 1, std::min(end, feedback) - i - 1));
    GiftAnswer a;
    a.right = a.equals = c == '=';
    a.weight = a.right ? 100 : 0;
    if (piece.starts_with('%')) {
      const size_t percent = piece.find('%', 1);
      if (percent != std::string_view::npos) {
        a.weight = std::atoi(std::string(piece.substr(1, percent - 1)).c_str());
        a.right = a.weight >= 100;
        piece = piece.substr(percent + 1);
      }
    }
    if (piece.find("->") != std::string_view::npos) *matching = true;
    a.text = plain(piece);
    list->push_back(std::move(a));
    i = end;
  }
}

// Why the answers make no record (a kind of question a record cannot hold); "" when they do.
std::string WhyNoRecord(const std::vector<GiftAnswer>& list, bool matching) {
  const auto rights = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return a.right; });
  const auto partial = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return !a.right && a.weight > 0; });
  const auto wrongs = std::count_if(list.begin(), list.end(), [](const GiftAnswer& a) { return !a.right; });
  // Answers all given with "=" are accepted answers, whatever their weights: a short answer.
  const bool all_equals = std::all_of(list.begin(), list.end(), [](const GiftAnswer& a) { return a.equals; });
  if (matching && all_equals) return W("és d'aparellar");
  if (list.empty()) return W("no té respostes");
  if (wrongs == 0 || all_equals) return W("és de resposta curta");
  if (rights == 0 && partial == 0) return W("no té cap resposta correcta");
  if (rights != 1 || partial > 0) return W("té més d'una resposta correcta");
  if (list.size() > 4) return W("té ") + IntToText(static_cast<int32_t>(list.size())) + W(" opcions i n'hi caben 4");
  if (std::any_of(list.begin(), list.end(), [](const GiftAnswer& a) { return a.text.empty(); })) {
    return W("té una opció buida");
  }
  return "";
}

// Reads the questions of a source one item at a time, in steps: its name, its braces, its text,
// then its answers as true or false or as options; each that fits a record is handed on and the
// others named in the report.
class GiftReader {
 public:
  GiftReader(bool true_false, ImportReport* report, const std::function<Status(const Question&)>& add)
      : true_false_(true_false), report_(report), add_(add) {}

  Status Read(const GiftItem& item) {
    std::string_view body = Trimmed(item.text);
    if (body.starts_with("$CATEGORY:")) return Status::Ok();
    ++number_;
    line_ = item.line;
    name_ = TakeName(&body);
    const size_t open = FindUnescaped(body, '{');
    if (open == std::string_view::npos) return Skip(W("no té respostes"));
    const size_t close = FindUnescaped(body, '}', open + 1);
    if (close == std::string_view::npos) {
      const auto line = line_ + static_cast<size_t>(std::count(body.begin(), body.begin() + static_cast<ptrdiff_t>(open), '\n'));
      return Stopped(Where() + W(": la clau oberta a la línia ") + IntToText(static_cast<int32_t>(line)) + W(" no es tanca"));
    }
    // The text's format mark, and the text around the answers. An answer or a feedback may carry
    // a mark of its own; without one it is in the question's format.
    std::string_view before = body.substr(0, open);
    html_ = TakeFormatMark(&before, false);
    const std::string question = QuestionText(before, Trimmed(body.substr(close + 1)));
    const std::string_view answers = Trimmed(body.substr(open + 1, close - open - 1));
    if (answers.empty()) return Skip(W("és de resposta oberta"));
    if (answers[0] == '#') return Skip(W("és de resposta numèrica"));
    if (IsTrueFalse(answers)) return ReadTrueFalse(question, answers);
    return ReadOptions(question, answers);
  }

 private:
  // "::name::" at the start, taken off the body.
  std::string TakeName(std::string_view* body) const {
    if (!body->starts_with("::")) return "";
    const size_t close = body->find("::", 2);
    if (close == std::string_view::npos) return "";
    std::string name = GiftPlain(body->substr(2, close - 2));
    *body = Trimmed(body->substr(close + 2));
    return name;
  }

  // The text before the braces, and "_____" where they stand when text follows them.
  std::string QuestionText(std::string_view before, std::string_view after) const {
    std::string question = InFormat(before, html_);
    if (!after.empty()) {
      if (!question.empty()) question += ' ';
      question += "_____";
      if (const std::string rest = InFormat(after, html_); !rest.empty()) question += ' ' + rest;
    }
    return question;
  }

  // A piece of an answer or a feedback as plain text, by its own format mark or the question's.
  std::string Plain(std::string_view piece) const {
    const bool html = TakeFormatMark(&piece, html_);  // before the piece is read: it takes the mark off
    return InFormat(piece, html);
  }

  static bool IsTrueFalse(std::string_view answers) {
    const char c = answers[0];
    if (c != 'T' && c != 'F' && c != 't' && c != 'f') return false;
    const std::string head = UpperCat(std::string(Trimmed(answers.substr(0, FindUnescaped(answers, '#')))));
    return head == "T" || head == "TRUE" || head == "F" || head == "FALSE";
  }

  // True or false, with the feedback of each after '#' (dropped) and the general one after "####".
  Status ReadTrueFalse(const std::string& question, std::string_view answers) {
    if (!true_false_) return Skip(W("és de cert o fals (--tf les afegeix)"));
    const bool yes = answers[0] == 'T' || answers[0] == 't';
    Question q;
    q.question = question;
    q.answers[0] = yes ? "Cert" : "Fals";
    q.answers[1] = yes ? "Fals" : "Cert";
    if (const size_t general = answers.find("####"); general != std::string_view::npos) {
      q.comment = Plain(answers.substr(general + 4));
    }
    return HandOn(q, report_, add_);
  }

  Status ReadOptions(const std::string& question, std::string_view answers) {
    std::vector<GiftAnswer> list;
    std::string general;
    bool matching = false;
    ReadAnswers(answers, [this](std::string_view piece) { return Plain(piece); }, &list, &general, &matching);
    if (const std::string why = WhyNoRecord(list, matching); !why.empty()) return Skip(why);
    Question q;
    q.question = question;
    PutAnswers(&q, list, std::find_if(list.begin(), list.end(), [](const GiftAnswer& a) { return a.right; }));
    q.comment = general;
    return HandOn(q, report_, add_);
  }

  // The question's number, name and first line, for the report and the errors.
  std::string Where() const {
    std::string where = W("Qüestió ") + IntToText(static_cast<int32_t>(number_));
    if (!name_.empty()) where += " (" + name_ + ")";
    return where + W(", línia ") + IntToText(static_cast<int32_t>(line_));
  }

  Status Skip(const std::string& why) {
    report_->skipped.push_back(Where() + W(": no s'ha afegit, ") + why);
    return Status::Ok();
  }

  const bool true_false_;
  ImportReport* report_;
  const std::function<Status(const Question&)>& add_;
  uint32_t number_ = 0;
  size_t line_ = 0;
  std::string name_;
  bool html_ = false;
};

}  // namespace

Status ReadGift(std::string_view bytes, bool true_false, ImportReport* report,
                const std::function<Status(const Question&)>& add) {
  std::string converted;
  std::string_view text;
  QUIZ_RETURN_IF_ERROR(SourceText(bytes, &converted, report, &text));
  GiftReader reader(true_false, report, add);
  return ForEachItem(text, [&](const GiftItem& item) { return reader.Read(item); });
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

// An answer or a feedback as GIFT writes it: escaped, and marked plain when it starts like a
// format mark, which would be taken off it.
std::string GiftText(const std::string& text) {
  std::string_view rest = text;
  TakeFormatMark(&rest, false);
  return (rest.size() != Trimmed(text).size() ? "[plain]" : "") + GiftEscaped(text);
}

}  // namespace

std::string WriteGift(const std::vector<Question>& questions, LeftOut* left_out) {
  std::string out;
  size_t number = 0;
  for (const Question& q : questions) {
    ++number;
    if (LeftOutOfEveryFormat(q, number, left_out)) continue;
    // A text that would read as a format mark, a category or a comment is marked plain.
    const std::string_view text = q.question;
    if (text.starts_with('[') || text.starts_with('$') || text.starts_with("//")) out += "[plain]";
    out += GiftEscaped(q.question) + " {\n";
    // An answer that starts like a weight is read as one unless every answer has its weight;
    // a right answer with "->" is read as a matching pair by some readers unless a wrong answer
    // comes first.
    std::vector<std::pair<bool, const std::string*>> answers;  // right, text
    bool weights = false;
    for (size_t k = 0; k < q.answers.size(); ++k) {
      if (q.answers[k].empty()) continue;
      answers.push_back({k == 0, &q.answers[k]});
      weights |= q.answers[k].starts_with('%');
    }
    if (q.answers[0].find("->") != std::string::npos && answers.size() > 1) {
      std::rotate(answers.begin(), answers.begin() + 1, answers.end());
    }
    for (const auto& [right, answer] : answers) {
      out += right ? (weights ? "=%100%" : "=") : (weights ? "~%0%" : "~");
      out += GiftText(*answer) + "\n";
    }
    if (!Trimmed(q.comment).empty()) out += "####" + GiftText(q.comment) + "\n";
    out += "}\n\n";
  }
  return out;
}

}  // namespace quiz
