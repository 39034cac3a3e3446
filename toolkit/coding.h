#pragma once
// Byte-level encoding of the record formats: little-endian integers and length-prefixed
// strings (one length byte, then the characters) with a fixed capacity.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quiz {

inline void PutU16(char* p, uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}

inline uint16_t GetU16(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) |
                               (static_cast<unsigned char>(p[1]) << 8));
}

inline void PutU32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline uint32_t GetU32(const char* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}

inline void PutU64(char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline uint64_t GetU64(const char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}

// FNV-1a (64 bits) of `bytes`, going on from `hash` to hash several pieces as one.
inline constexpr uint64_t kFnv1aStart = 0xcbf29ce484222325ULL;
inline uint64_t Fnv1a(std::string_view bytes, uint64_t hash = kFnv1aStart) {
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return hash;
}

inline void PutF64(char* p, double d) {
  const auto v = std::bit_cast<uint64_t>(d);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline double GetF64(const char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return std::bit_cast<double>(v);
}

// Writes `s` cut to `capacity` (at most 255) as a length byte and its characters at `p`; the
// rest of the field's capacity bytes are zeroed. The field occupies 1 + capacity bytes.
inline void PutLString(char* p, size_t capacity, std::string_view s) {
  const size_t n = s.size() < capacity ? s.size() : capacity;
  p[0] = static_cast<char>(n);
  std::memcpy(p + 1, s.data(), n);
  std::memset(p + 1 + n, 0, capacity - n);
}

// Reads the string of a field of `capacity` characters at `p`. A length byte beyond the capacity
// (a damaged file, or a layout that does not match the file) is cut to the capacity, so nothing
// past the field is read.
inline void GetLString(const char* p, size_t capacity, std::string* out) {
  size_t n = static_cast<unsigned char>(p[0]);
  if (n > capacity) n = capacity;
#if defined(__GNUC__)
  // Knowing n < 256, GCC copies with an inline "rep movs", which costs more than the texts
  // themselves on a bank walked whole; hiding the bound keeps the library's memcpy.
  asm("" : "+r"(n));
#endif
  out->assign(p + 1, n);
}

inline std::string GetLString(const char* p, size_t capacity) {
  std::string s;
  GetLString(p, capacity, &s);
  return s;
}

}  // namespace quiz
