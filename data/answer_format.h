#pragma once
// Byte layout of a record of the answer log, Respostes.rel: 88 bytes, little-endian, no header.
// One record per question of a registered correction, the correction's records in one append.

#include <cstddef>

namespace quiz::answer_format {

inline constexpr size_t kRecordSize = 88;
inline constexpr size_t kYearOffset = 0;      // 16-bit
inline constexpr size_t kMonthOffset = 2;     // 8-bit, 1..12
inline constexpr size_t kDayOffset = 3;       // 8-bit, 1..31
inline constexpr size_t kHourOffset = 4;      // 8-bit, 0..23
inline constexpr size_t kMinuteOffset = 5;    // 8-bit, 0..59
inline constexpr size_t kSecondOffset = 6;    // 8-bit, 0..60
inline constexpr size_t kAnswerOffset = 7;    // 'a'..'d', or ' ' when left blank
inline constexpr size_t kResultOffset = 8;    // 0 blank, 1 right, 2 wrong
inline constexpr size_t kPositionOffset = 9;  // 8-bit: the question's place in the test, 1..count
inline constexpr size_t kCountOffset = 10;    // 8-bit: the test's questions, 1..50
inline constexpr size_t kReservedOffset = 11;     // 8-bit, 0
inline constexpr size_t kQuestionOffset = 12;     // 16-bit: the question's number in its file
inline constexpr size_t kReserved2Offset = 14;    // 16-bit, 0
inline constexpr size_t kHashOffset = 16;         // 64-bit: the question's stored text
inline constexpr size_t kTestNameOffset = 24;     // length-prefixed, capacity 30
inline constexpr size_t kTestNameCapacity = 30;
inline constexpr size_t kFileNameOffset = 55;     // length-prefixed, capacity 32
inline constexpr size_t kFileNameCapacity = 32;

static_assert(kHashOffset + 8 == kTestNameOffset);
static_assert(kTestNameOffset + 1 + kTestNameCapacity == kFileNameOffset);
static_assert(kFileNameOffset + 1 + kFileNameCapacity == kRecordSize);

}  // namespace quiz::answer_format
