#include "toolkit/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace quiz {

char UpperCatChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 'a' + 'A');
  switch (b) {
    case 0xE0: case 0xE1: case 0xE7: case 0xE8: case 0xE9: case 0xED:
    case 0xEF: case 0xF1: case 0xF2: case 0xF3: case 0xFA: case 0xFC:
      return static_cast<char>(b - 0x20);
    default:
      return c;
  }
}

std::string UpperCat(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperCatChar(c);
  return out;
}

std::string TrimLeft(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string TrimRight(std::string_view s) {
  const size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string TwoDigits(uint32_t n) {
  std::string s = std::to_string(n);
  if (s.size() < 2) s.insert(s.begin(), '0');
  return s;
}

std::string IntToText(int32_t n) { return std::to_string(n); }

namespace {

// x in fixed notation with `decimals` decimals, as printf's "%.*f" writes it, without its cost.
std::string Fixed(double x, int decimals) {
  char buffer[512];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed,
                                       std::min(decimals, 100));
  if (ec != std::errc()) return std::string();
  return std::string(buffer, end);
}

// A double holds 15 significant decimal digits; the digits a fixed format writes past
// them are binary noise (55 computed as 11 / 20 * 100 would show as 55.000000000000007).
constexpr int kSignificantDigits = 15;

}  // namespace

std::string RealToText(double x, int width, int decimals) {
  if (width < 0) width = 0;
  if (decimals < 0) decimals = 0;
  if (std::fabs(x) < 1) decimals = 6;
  if (!std::isfinite(x)) {
    std::string s = Fixed(x, 0);
    return Spaces(width - static_cast<int>(s.size())) + s;
  }

  // Round at the last significant digit, then write the requested decimals past it as zeros.
  const int int_digits = static_cast<int>(Fixed(std::trunc(std::fabs(x)), 0).size());
  const int shown = std::min(decimals, std::max(0, kSignificantDigits - int_digits));
  std::string s = Fixed(x, shown);
  if (decimals > 0 && shown == 0) s += '.';
  s.append(static_cast<size_t>(decimals - shown), '0');
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');

  // Without a point (0 decimals) there are no decimal zeros to remove.
  const size_t point = s.find('.');
  if (point == std::string::npos) return s;
  while (!s.empty() && s.back() == '0') s.pop_back();
  const size_t p = point + 1;  // 1-based position of the point
  if (p > 6) {
    // Scientific form: the point moves behind the first digit (the old one goes, so the
    // text stays one number) and the exponent counts the digits it moved past.
    const size_t first = (s[0] == '-') ? 1 : 0;
    const int32_t exponent = static_cast<int32_t>(point - first - 1);
    s.erase(point, 1);
    s.insert(first + 1, 1, '.');
    s.resize(std::min(s.size(), static_cast<size_t>(decimals) + 2 + first));
    if (s.back() == '.') s.pop_back();
    return s + "e" + IntToText(exponent);
  }
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string Spaces(int n) { return n > 0 ? std::string(static_cast<size_t>(n), ' ') : ""; }

std::string ReverseText(std::string_view s) { return std::string(s.rbegin(), s.rend()); }

size_t LastPos(char c, std::string_view s) {
  const size_t at = s.rfind(c);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string CutText(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

bool ParseInt(std::string_view s, int32_t* value) {
  if (s.empty()) return false;
  size_t start = 0;
  if (s[0] == '+') start = 1;  // from_chars takes '-' but not '+'
  if (start == s.size()) return false;
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(s.data() + start, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  if (start == 1 && s.size() > 1 && s[1] == '-') return false;  // "+-5"
  *value = v;
  return true;
}

bool ItemTextToInt(std::string_view text, int32_t* value) {
  *value = 0;
  const std::string trimmed = Trim(text.substr(0, std::min(text.size(), kMaxShownText)));
  if (trimmed.empty()) return true;
  if (!ParseInt(trimmed, value)) {
    *value = 0;
    return false;
  }
  return true;
}

}  // namespace quiz
