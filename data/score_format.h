#pragma once
// Byte layout of a score record of Punts.rel: 52 bytes, little-endian, no header.

#include <cstddef>

namespace quiz::score_format {

inline constexpr size_t kRecordSize = 52;
inline constexpr size_t kDayOffset = 0;    // 16-bit
inline constexpr size_t kMonthOffset = 2;  // 16-bit
inline constexpr size_t kYearOffset = 4;   // 16-bit
inline constexpr size_t kTestNameOffset = 6;  // length-prefixed, capacity 30
inline constexpr size_t kTestNameCapacity = 30;
inline constexpr size_t kQuestionCountOffset = 38;  // 16-bit
inline constexpr size_t kCorrectOffset = 40;        // 16-bit
inline constexpr size_t kErrorsOffset = 42;         // 16-bit
inline constexpr size_t kPenaltyOffset = 44;        // IEEE 754 double

static_assert(kTestNameOffset + 1 + kTestNameCapacity + 1 == kQuestionCountOffset);
static_assert(kPenaltyOffset + 8 == kRecordSize);

}  // namespace quiz::score_format
