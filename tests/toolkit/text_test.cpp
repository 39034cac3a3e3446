#include "toolkit/text.h"

#include <gtest/gtest.h>

#include "toolkit/cp1252.h"
#include "toolkit/text_list.h"

namespace quiz {
namespace {

TEST(UpperCat, MapsAsciiAndTheTwelveAccentedLettersOnly) {
  struct Case {
    const char* utf8_in;
    const char* utf8_out;
  } cases[] = {
      {"camió dolç", "CAMIÓ DOLÇ"},
      {"être", "êTRE"},
      {"àáçèéíïñòóúü", "ÀÁÇÈÉÍÏÑÒÓÚÜ"},
      {"âêìôùöäë", "âêìôùöäë"},  // other accented letters stay
      {"ÀÉ already", "ÀÉ ALREADY"},
      {"1-2_z{", "1-2_Z{"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(UpperCat(W(c.utf8_in))), c.utf8_out) << c.utf8_in;
  }
  // No byte outside the table changes: ÿ (FF) and µ (B5) would under a locale's toupper.
  for (int b = 0x80; b < 0x100; ++b) {
    const char c = static_cast<char>(b);
    const bool mapped = std::string("\xE0\xE1\xE7\xE8\xE9\xED\xEF\xF1\xF2\xF3\xFA\xFC").find(c) !=
                        std::string::npos;
    EXPECT_EQ(UpperCatChar(c), mapped ? static_cast<char>(b - 0x20) : c) << b;
  }
}

TEST(Trim, RemovesSpacesOnlyAtTheEnds) {
  struct Case {
    std::string in, left, right, both;
  } cases[] = {
      {"\t a ", "\t a ", "\t a", "\t a"},
      {"  a b  ", "a b  ", "  a b", "a b"},
      {"    ", "", "", ""},
      {"", "", "", ""},
      {"x", "x", "x", "x"},
      {" \n", "\n", " \n", "\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimLeft(c.in), c.left) << '[' << c.in << ']';
    EXPECT_EQ(TrimRight(c.in), c.right) << '[' << c.in << ']';
    EXPECT_EQ(Trim(c.in), c.both) << '[' << c.in << ']';
  }
}

TEST(RealToText, FormatsAsTheScoresNeed) {
  struct Case {
    double x;
    int width, decimals;
    std::string out;
  } cases[] = {
      {7.5, 0, 2, "7.5"},
      {10, 0, 2, "10"},
      {0.25, 0, 2, "0.25"},
      {0, 0, 2, "0"},
      {0.5, 0, 2, "0.5"},
      {0.125, 0, 2, "0.125"},      // six decimals below 1
      {0.1234567, 0, 2, "0.123457"},
      {123456.5, 0, 2, "1.23e5"},  // more than five characters before the point
      {12345.5, 0, 2, "12345.5"},
      {11, 4, 2, "11"},
      {55, 4, 1, "55"},
      {5.5, 4, 1, " 5.5"},         // the width pads on the left
      {3, 5, 2, " 3"},            // " 3.00" before the zeros go
      {-3.5, 5, 2, "-3.5"},
      {-0.25, 0, 2, "-0.25"},
      {2.0 / 3 * 100, 4, 1, "66.7"},
      {55, 4, 23, "55"},
      {12.5, 4, 23, "12.5"},
      {1234567.0, 0, 1, "1.2e6"},
      // Digits past the fifteenth significant one are noise, not shown.
      {11.0 / 20 * 100, 4, 23, "55"},
      {1.0 / 3 * 100, 4, 23, "33.3333333333333"},
      {-1.0 / 3 * 100, 5, 23, "-33.3333333333333"},
      {2.0 / 3, 4, 23, "0.666667"},
      {123456789.5, 0, 23, "1.234567895e8"},
      {-65535, 5, 2, "-6.55e4"},
      {100000, 0, 0, "100000"},  // no point, nothing to move
      {100000, 0, 2, "1.00e5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RealToText(c.x, c.width, c.decimals), c.out) << c.x << " " << c.width << " " << c.decimals;
  }
}

TEST(SmallTexts, IntSpacesReverseLastPosCut) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-42), "-42");
  EXPECT_EQ(IntToText(2147483647), "2147483647");
  EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(Spaces(0), "");
  EXPECT_EQ(Spaces(-3), "");
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(ReverseText("abc"), "cba");
  EXPECT_EQ(ReverseText(""), "");
  EXPECT_EQ(LastPos('\\', "Bases\\sub\\x.qst"), 10u);
  EXPECT_EQ(LastPos('\\', "x.qst"), 0u);
  EXPECT_EQ(LastPos('a', "a"), 1u);
  EXPECT_EQ(CutText("abcdef", 3), "abc");
  EXPECT_EQ(CutText("ab", 3), "ab");
}

TEST(ParseInt, AcceptsOnlyWholeNumbers) {
  struct Case {
    const char* in;
    bool ok;
    int32_t value;
  } cases[] = {
      {"0", true, 0},     {"42", true, 42},   {"-7", true, -7},   {"+7", true, 7},
      {"007", true, 7},   {"", false, 0},     {"4x", false, 0},   {"x4", false, 0},
      {" 4", false, 0},   {"+", false, 0},    {"-", false, 0},    {"+-4", false, 0},
      {"2147483648", false, 0}, {"1.5", false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = -99;
    EXPECT_EQ(ParseInt(c.in, &value), c.ok) << c.in;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.in;
    }
  }
}

TEST(TextList, KeepsOrderAndCutsItemsTo255) {
  TextList list;
  TextListAdd(list, "primer");
  TextListAdd(list, std::string(300, 'x'));
  TextListAdd(list, "");
  ASSERT_EQ(list.count(), 3u);
  EXPECT_EQ(list.items[0], "primer");
  EXPECT_EQ(list.items[1], std::string(255, 'x'));
  EXPECT_EQ(list.items[2], "");
  TextListClear(list);
  EXPECT_EQ(list.count(), 0u);
}

}  // namespace
}  // namespace quiz
