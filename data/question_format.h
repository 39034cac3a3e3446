#pragma once
// Byte layout of a question record. The record has no fixed shape: its fields follow one
// another at offsets given by the topic's layout (see layout.h).
//
//   question   at 0,                              1 + LP bytes
//   answer k   at LP + 1 + (k - 1) * (LR + 1),    1 + LR bytes, k = 1..N (answer 1 is correct)
//   comment    at LP + 1 + N * (LR + 1),          1 + LC bytes, only when LC > 0

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "data/layout.h"

namespace quiz {

struct Question {
  std::string question;
  std::array<std::string, 4> answers;  // answers[0] is the correct one
  std::string comment;
  bool operator==(const Question&) const = default;
};

namespace question_format {

constexpr size_t AnswerOffset(const Layout& l, int k) {  // k from 1
  return static_cast<size_t>(l.question_length + 1) +
         static_cast<size_t>(k - 1) * (l.answer_length + 1);
}
constexpr size_t CommentOffset(const Layout& l) { return AnswerOffset(l, l.alternatives + 1); }

// The text of the field at `field` (its length byte first), cut to `capacity`, without a copy.
inline std::string_view FieldText(const char* field, size_t capacity) {
  size_t length = static_cast<unsigned char>(field[0]);
  if (length > capacity) length = capacity;
#if defined(__GNUC__)
  // As in GetLString: a length known to be below 256 makes GCC copy the text with an inline
  // "rep movs", slower than the library's memcpy for texts this short.
  asm("" : "+r"(length));
#endif
  return std::string_view(field + 1, length);
}

static_assert(AnswerOffset(kConverterLayout, 2) == 242);
static_assert(CommentOffset(kConverterLayout) == 605);

}  // namespace question_format

// The buffer one question record is read into or encoded in, as large as the largest record.
// A record size beyond it is never handed out, whatever a damaged topic entry says.
class RecordBuffer {
 public:
  // The first `record_size` bytes of the buffer, or nullptr when a record that size does not fit.
  char* For(size_t record_size) { return record_size <= bytes_.size() ? bytes_.data() : nullptr; }

 private:
  std::array<char, kMaxRecordSize + 1> bytes_;  // not cleared: every use writes what it reads
};

// Decodes a record of `layout`. Every string is cut to its field (and so to 128 characters);
// answers beyond the layout's alternatives, and the comment when the layout has none, are empty.
void DecodeQuestion(const char* record, const Layout& layout, Question* q);

// True when every length byte of the record is within its field: a record of another layout, or
// bytes that are no record at all, mostly fail this. `field` gets the 1-based field that does not
// fit (1 question, 2..N+1 answers, N+2 comment) and `length` its length byte.
bool RecordLengthsFit(const char* record, const Layout& layout, int* field = nullptr,
                      int* length = nullptr);

// True when `prefix`, shorter than a record, is the start of a record as EncodeQuestion makes it:
// every length byte it holds within its field and every byte past a text zero. A writer killed
// in the middle of an append leaves such a prefix after the last whole record; bytes of another
// layout or of another kind of file almost never are one.
bool TornRecordFits(std::string_view prefix, const Layout& layout);

// Encodes `q` into `record`, which has `record_size` bytes (at least RecordSizeFor(layout)).
// Each string is cut to its field; bytes past a text, and past the last field, are zeroed.
// Answers beyond the layout's alternatives and a comment without a field are not stored.
void EncodeQuestion(const Question& q, const Layout& layout, size_t record_size, char* record);

}  // namespace quiz
