#pragma once
// The layout of a question file's records, kept in its topic's entry of the topic index.

#include <cstdint>

#include "toolkit/status.h"

namespace quiz {

inline constexpr uint16_t kMaxFieldLength = 128;   // question, answer and comment capacities
inline constexpr uint16_t kMaxAlternatives = 4;
inline constexpr uint16_t kMinAlternatives = 2;
// The largest record: (128 + 1) + 4 * (128 + 1) + (128 + 1).
inline constexpr uint16_t kMaxRecordSize = 774;

struct Layout {
  uint16_t question_length = 0;  // LP, 1..128
  uint16_t answer_length = 0;    // LR, 1..128
  uint16_t alternatives = 0;     // N, 2..4
  uint16_t comment_length = 0;   // LC, 0..128; 0 = no comment field
  bool operator==(const Layout&) const = default;
};

// (LP + 1) + N * (LR + 1) + (LC + 1 when LC > 0).
constexpr uint16_t RecordSizeFor(const Layout& l) {
  return static_cast<uint16_t>((l.question_length + 1) + l.alternatives * (l.answer_length + 1) +
                               (l.comment_length > 0 ? l.comment_length + 1 : 0));
}

// The layout of every file written by the text converter.
inline constexpr Layout kConverterLayout{120, 120, 4, 100};

static_assert(RecordSizeFor(Layout{128, 128, 4, 128}) == kMaxRecordSize);
static_assert(RecordSizeFor(kConverterLayout) == 706);

// Refuses a layout outside the ranges above, before it reaches a file. `what` names the file or
// the topic in the message.
Status CheckLayout(const Layout& layout, const std::string& what);

}  // namespace quiz
