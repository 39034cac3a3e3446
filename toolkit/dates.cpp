#include "toolkit/dates.h"

#include <ctime>

#include "toolkit/text.h"

namespace quiz {
namespace {

int Validity(const Date& d) {
  if (d.year < 2004 || d.year > 9999) return kDateBadYear;
  if (d.month < 1 || d.month > 12) return kDateBadMonth;
  if (d.day < 1 || d.day > DaysInMonth(d.month, d.year)) return kDateBadDay;
  return kDateValid;
}

}  // namespace

std::string DateText(uint16_t day, uint16_t month, uint16_t year) {
  return TwoDigits(day) + "/" + TwoDigits(month) + "/" + std::to_string(year);
}

std::string DateToText(const Date& date) { return DateText(date.day, date.month, date.year); }

std::string TodayText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateText(static_cast<uint16_t>(local.tm_mday), static_cast<uint16_t>(local.tm_mon + 1),
                  static_cast<uint16_t>(local.tm_year + 1900));
}

int ReadDate(Date& date, std::string_view text) {
  text = text.substr(0, 10);
  if (text.empty()) {
    date = Date{};
    return kDateValid;
  }
  int field = 0;
  size_t pos = 0;
  while (true) {
    const size_t start = pos;
    uint64_t value = 0;  // ten digits at most: no overflow
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      value = value * 10 + static_cast<uint64_t>(text[pos] - '0');
      ++pos;
    }
    const size_t digits = pos - start;
    if (digits == 0 || value == 0 || value > 9999) return kDateBadNumber;
    const auto number = static_cast<uint16_t>(value);
    if (field == 0) date.day = number;
    if (field == 1) date.month = number;
    if (field == 2) date.year = digits < 4 ? static_cast<uint16_t>(number + 2000) : number;
    ++field;
    if (pos == text.size()) break;
    ++pos;  // the one separator; a run must follow it, even at the end of the text
  }
  return Validity(date);
}

void TodayDate(Date& date) { (void)ReadDate(date, TodayText()); }

bool IsLeapYear(uint16_t year) { return year % 4 == 0; }

int DaysInMonth(uint16_t month, uint16_t year) {
  switch (month) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return IsLeapYear(year) ? 29 : 28;
    default: return 31;
  }
}

}  // namespace quiz
