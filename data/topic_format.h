#pragma once
// Byte layout of an entry of the topic index, Bases\Arxs.rel: 318 bytes, little-endian, no header.

#include <cstddef>

namespace quiz::topic_format {

inline constexpr size_t kEntrySize = 318;

inline constexpr size_t kFileNameOffset = 0;  // length-prefixed, capacity 32
inline constexpr size_t kFileNameCapacity = 32;
inline constexpr size_t kTitleOffset = 34;  // length-prefixed, capacity 100
inline constexpr size_t kTitleCapacity = 100;
inline constexpr size_t kFormatKindOffset = 136;  // 32-bit
inline constexpr size_t kEditorNoteOffset = 142;  // length-prefixed, capacity 81
inline constexpr size_t kEditorNoteCapacity = 81;
inline constexpr size_t kQuestionLengthOffset = 224;  // 16-bit each from here on
inline constexpr size_t kAnswerLengthOffset = 309;
inline constexpr size_t kAlternativesOffset = 312;
inline constexpr size_t kCommentLengthOffset = 314;
inline constexpr size_t kRecordSizeOffset = 316;

static_assert(kFileNameOffset + 1 + kFileNameCapacity + 1 == kTitleOffset);
static_assert(kTitleOffset + 1 + kTitleCapacity + 1 == kFormatKindOffset);
static_assert(kFormatKindOffset + 4 + 2 == kEditorNoteOffset);
static_assert(kEditorNoteOffset + 1 + kEditorNoteCapacity == kQuestionLengthOffset);
static_assert(kQuestionLengthOffset + 2 + 83 == kAnswerLengthOffset);
static_assert(kAnswerLengthOffset + 2 + 1 == kAlternativesOffset);
static_assert(kRecordSizeOffset + 2 == kEntrySize);

}  // namespace quiz::topic_format
