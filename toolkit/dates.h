#pragma once
// The calendar of the system: dates written dd/mm/yyyy, read back with checks, and today.

#include <cstdint>
#include <string>
#include <string_view>

namespace quiz {

struct Date {
  uint16_t day = 0;
  uint16_t month = 0;
  uint16_t year = 0;  // in full: 2013, not 13
  bool operator==(const Date&) const = default;
};

// Codes of ReadDate.
enum DateCode : int {
  kDateValid = 0,        // a valid date, or an empty text
  kDateBadDay = 1,       // day out of range for the month
  kDateBadMonth = 2,     // month out of range
  kDateBadYear = 3,      // year outside 2004..9999
  kDateBadNumber = 4,    // a number is missing, zero or greater than 9999
};

// dd/mm/yyyy, day and month with two digits, the year in full.
std::string DateText(uint16_t day, uint16_t month, uint16_t year);
std::string DateToText(const Date& date);
std::string TodayText();

// Reads day, month and year from `text` (its first 10 characters), separated by exactly one
// non-digit character each; a year of fewer than four digits gets 2000 added. Fields that the
// text does not reach keep their values. Returns a DateCode.
int ReadDate(Date& date, std::string_view text);
void TodayDate(Date& date);

// Every year divisible by 4 is a leap year here, 2100 included.
bool IsLeapYear(uint16_t year);
int DaysInMonth(uint16_t month, uint16_t year);

}  // namespace quiz
