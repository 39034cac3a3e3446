#pragma once
// Windows-1252, the one-byte character set of every stored text, and UTF-8, the encoding of the
// system around us (file names, source literals, the window layer).

#include <string>
#include <string_view>

namespace quiz {

// Every one of the 256 bytes has a code point: the five bytes that Windows-1252 leaves undefined
// (81 8D 8F 90 9D) map to the C1 controls of the same value, so that any byte string survives a
// round trip through UTF-8.
char32_t Cp1252ToCodePoint(unsigned char byte);

std::string Cp1252ToUtf8(std::string_view bytes);

// The Windows-1252 byte of a code point, or '?' when it has none.
char CodePointToCp1252(char32_t cp);

// Characters that Windows-1252 cannot hold, and bytes that are not valid UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// The same for a text that must be UTF-8: characters Windows-1252 cannot hold become '?' and are
// counted in *replaced; at the first byte that is not UTF-8 it stops, returns false and gives
// that byte's offset in *bad_at (*out then holds the text before it).
bool Utf8ToCp1252Counted(std::string_view utf8, std::string* out, size_t* replaced, size_t* bad_at);

// How many bytes at the start of `bytes` are ASCII, the same in UTF-8 and Windows-1252.
size_t AsciiLength(std::string_view bytes);

// The offset of the first byte of `bytes` that is not part of well-formed UTF-8, or npos.
size_t InvalidUtf8At(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 and holds at least one multi-byte sequence.
bool LooksLikeUtf8(std::string_view bytes);

// Shorthand for Catalan literals in the sources, which are UTF-8: W("qüestió") is the
// Windows-1252 text.
inline std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

}  // namespace quiz
