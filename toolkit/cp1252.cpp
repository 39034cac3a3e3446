#include "toolkit/cp1252.h"

#include <cstring>

#include <array>
#include <cstdint>

namespace quiz {
namespace {

// Code points of bytes 0x80..0x9F; the others are the byte value itself.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

int ByteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when it is not well-formed.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t* cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t len;
  char32_t value;
  char32_t min;
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, value = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, value = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, value = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return len;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

char CodePointToCp1252(char32_t cp) {
  const int byte = ByteFor(cp);
  return byte < 0 ? '?' : static_cast<char>(byte);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const size_t len = DecodeUtf8(utf8, i, &cp);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    const int byte = ByteFor(cp);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    i += len;
  }
  return out;
}

size_t AsciiLength(std::string_view bytes) {
  // Plain ASCII, the bulk of any text, is passed 32 bytes at a time, then eight.
  size_t i = 0;
  for (uint64_t w[4]; i + 32 <= bytes.size() && (std::memcpy(w, bytes.data() + i, 32), ((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080u) == 0);) {
    i += 32;
  }
  for (uint64_t word; i + 8 <= bytes.size() && (std::memcpy(&word, bytes.data() + i, 8), (word & 0x8080808080808080u) == 0);) {
    i += 8;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

bool Utf8ToCp1252Counted(std::string_view utf8, std::string* out, size_t* replaced, size_t* bad_at) {
  out->clear();
  out->reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    // Plain ASCII is copied as it is.
    const size_t ascii = i + AsciiLength(utf8.substr(i));
    if (ascii > i) {
      out->append(utf8.data() + i, ascii - i);
      i = ascii;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeUtf8(utf8, i, &cp);
    if (len == 0) {
      if (bad_at) *bad_at = i;
      return false;
    }
    const int byte = ByteFor(cp);
    if (byte < 0) {
      out->push_back('?');
      if (replaced) ++*replaced;
    } else {
      out->push_back(static_cast<char>(byte));
    }
    i += len;
  }
  return true;
}

size_t InvalidUtf8At(std::string_view bytes) {
  for (size_t i = AsciiLength(bytes); i < bytes.size();) {
    char32_t cp = 0;
    const size_t len = DecodeUtf8(bytes, i, &cp);
    if (len == 0) return i;
    i += len;
    i += AsciiLength(bytes.substr(i));
  }
  return std::string_view::npos;
}

bool LooksLikeUtf8(std::string_view bytes) {
  return AsciiLength(bytes) < bytes.size() && InvalidUtf8At(bytes) == std::string_view::npos;
}

}  // namespace quiz
