#pragma once
// What the readers of the exchange formats share: the source made Windows-1252, trimming and
// scanning of texts, HTML made plain text, and the handing on of each question read.

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "converter/exchange.h"
#include "toolkit/status.h"

namespace quiz::exchange {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A conversion stopped by what the source holds.
Status Stopped(const std::string& text);

// "Qüestió <n>, línia <l>", for the report and the errors.
std::string Where(uint32_t question, size_t line);

// Without spaces, tabs, stray carriage returns and line ends at either end.
std::string_view Trimmed(std::string_view s);

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
size_t PlainRunEnd(std::string_view s, size_t from, char a, char b, bool* doubled);

// The line of the first byte that is not UTF-8, as a stop.
Status NotUtf8(std::string_view bytes, size_t bad_at);

// The text as Windows-1252, or the line of its first byte that is not UTF-8. A text all in ASCII
// is the same in both and is read where it is: `text` is then left empty.
Status SourceText(std::string_view bytes, std::string* text, ImportReport* report, std::string_view* view);

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
Status HandOn(const Question& q, ImportReport* report, const std::function<Status(const Question&)>& add);

// HTML made plain text: tags out, those that start a line or a block ("<br>", "<p>", "<li>", ...)
// a space and inline ones ("<b>", "<span>", "<a>", ...) nothing; every character reference that
// HTML names and every numbered one decoded (in Windows-1252, '?' for a character it lacks), an
// unknown name left as written; runs of spaces one, the ends trimmed.
std::string HtmlPlain(std::string_view s);

// For the writers: why no format can write question `number` (its text or its right answer is
// empty: the answer key would change), noted in `left_out`; false when it can be written.
bool LeftOutOfEveryFormat(const Question& q, size_t number, LeftOut* left_out);
// Notes in `left_out` that question `number` is not written, and why.
void NoteLeftOut(size_t number, const std::string& why, LeftOut* left_out);

}  // namespace quiz::exchange
