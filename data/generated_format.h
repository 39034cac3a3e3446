#pragma once
// Byte layout of an entry of the generated test index, Generats\Generats.rel: 116 bytes, no header.

#include <cstddef>

namespace quiz::generated_format {

inline constexpr size_t kEntrySize = 116;
inline constexpr size_t kFileNameOffset = 0;  // length-prefixed, capacity 32
inline constexpr size_t kFileNameCapacity = 32;
inline constexpr size_t kDescriptionOffset = 34;  // length-prefixed, capacity 80
inline constexpr size_t kDescriptionCapacity = 80;

static_assert(kFileNameOffset + 1 + kFileNameCapacity + 1 == kDescriptionOffset);
static_assert(kDescriptionOffset + 1 + kDescriptionCapacity + 1 == kEntrySize);

}  // namespace quiz::generated_format
