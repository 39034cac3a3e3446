#include "toolkit/dates.h"

#include <gtest/gtest.h>

#include <ctime>

namespace quiz {
namespace {

TEST(Dates, DateTextPadsDayAndMonth) {
  EXPECT_EQ(DateText(5, 3, 2013), "05/03/2013");
  EXPECT_EQ(DateText(25, 12, 2013), "25/12/2013");
  EXPECT_EQ(DateToText(Date{1, 1, 2004}), "01/01/2004");
  EXPECT_EQ(DateText(0, 0, 0), "00/00/0");
}

TEST(Dates, ReadDateCodesAndFields) {
  struct Case {
    const char* text;
    int code;
    Date date;  // what the date holds afterwards, starting from 9/9/2009
  } cases[] = {
      {"29/02/2012", kDateValid, {29, 2, 2012}},
      {"29/02/2013", kDateBadDay, {29, 2, 2013}},
      {"29/02/2100", kDateValid, {29, 2, 2100}},  // no century rule
      {"31/04/2013", kDateBadDay, {31, 4, 2013}},
      {"1/13/2013", kDateBadMonth, {1, 13, 2013}},
      {"1/1/2003", kDateBadYear, {1, 1, 2003}},
      {"1/1/03", kDateBadYear, {1, 1, 2003}},
      {"1/1/4", kDateValid, {1, 1, 2004}},
      {"5-3-13", kDateValid, {5, 3, 2013}},
      {"05.03.2013", kDateValid, {5, 3, 2013}},
      {"5/3/2013", kDateValid, {5, 3, 2013}},
      {"0/1/2013", kDateBadNumber, {9, 9, 2009}},
      {"1//2013", kDateBadNumber, {1, 9, 2009}},       // the day was already set
      {"10000/1/2013", kDateBadNumber, {9, 9, 2009}},  // only 10 characters, and > 9999
      {"", kDateValid, {0, 0, 0}},
      {"15/6", kDateValid, {15, 6, 2009}},  // the year keeps its value
      {"15/6/", kDateBadNumber, {15, 6, 2009}},  // a separator must be followed by a number
      {"1/1/2013/5", kDateValid, {1, 1, 2013}},  // numbers past the third are only checked
      {"1/1/2013/0", kDateBadNumber, {1, 1, 2013}},
      {"31/12/9999", kDateValid, {31, 12, 9999}},
      {"1/1/2013xxxxx", kDateBadNumber, {1, 1, 2013}},  // cut to "1/1/2013xx"
      {"9999999999", kDateBadNumber, {9, 9, 2009}},
  };
  for (const auto& c : cases) {
    Date date{9, 9, 2009};
    EXPECT_EQ(ReadDate(date, c.text), c.code) << c.text;
    EXPECT_EQ(date, c.date) << c.text;
  }
}

TEST(Dates, CalendarRules) {
  struct Case {
    uint16_t month, year;
    int days;
  } cases[] = {{1, 2013, 31}, {2, 2013, 28}, {2, 2012, 29}, {2, 2100, 29}, {4, 2013, 30},
               {6, 2013, 30}, {9, 2013, 30}, {11, 2013, 30}, {12, 2013, 31}, {7, 2013, 31}};
  for (const auto& c : cases) EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2100));
  EXPECT_FALSE(IsLeapYear(2013));
}

TEST(Dates, TodayIsTheLocalDate) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Date today;
  TodayDate(today);
  EXPECT_EQ(today.year, local.tm_year + 1900);
  EXPECT_EQ(today.month, local.tm_mon + 1);
  EXPECT_EQ(today.day, local.tm_mday);
  EXPECT_EQ(TodayText(), DateToText(today));
}

}  // namespace
}  // namespace quiz
