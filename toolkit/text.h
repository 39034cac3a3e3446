#pragma once
// Text routines for Windows-1252 byte strings. Each returns a new text and leaves its argument
// unchanged.

#include <cstdint>
#include <string>
#include <string_view>

namespace quiz {

// Every text handed to a control, a message box or a list is cut to this many characters.
inline constexpr size_t kMaxShownText = 255;

// a-z and the twelve accented lower-case letters of Catalan and Spanish (à á ç è é í ï ñ ò ó ú ü)
// to upper case; every other byte, other accented letters included, stays as it is.
std::string UpperCat(std::string_view s);
char UpperCatChar(char c);

// Only the space (0x20) is trimmed; tabs and other blanks stay.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);

// n with at least two digits: a leading "0" below 10.
std::string TwoDigits(uint32_t n);

std::string IntToText(int32_t n);

// `x` in fixed notation with at least `width` characters (leading spaces) and `decimals`
// decimals (six when |x| < 1); trailing zeros and a final point are removed, and a number whose
// part before the point is longer than five characters is written as d.ddde<exponent>.
std::string RealToText(double x, int width, int decimals);

std::string Spaces(int n);
std::string ReverseText(std::string_view s);

// 1-based position of the last `c` in `s`, 0 when there is none.
size_t LastPos(char c, std::string_view s);

// `s` cut to at most `n` characters.
std::string CutText(std::string_view s, size_t n);

// Reads a whole decimal number: optional sign, then digits only. False for anything else,
// an empty text included, and for values outside 32 bits.
bool ParseInt(std::string_view s, int32_t* value);

// How a number typed in a control is read: at most kMaxShownText characters, trimmed, then a
// whole decimal number. An empty text is 0. False, with *value 0, for anything else.
bool ItemTextToInt(std::string_view text, int32_t* value);

}  // namespace quiz
