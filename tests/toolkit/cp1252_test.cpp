#include "toolkit/cp1252.h"

#include <gtest/gtest.h>

namespace quiz {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToCodePoint(undefined), undefined);
  }
}

TEST(Cp1252, KnownCharactersBothWays) {
  struct Case {
    const char* utf8;
    std::string cp1252;
  } cases[] = {
      {"qüestió", "q\xFC" "esti\xF3"},
      {"€", "\x80"},
      {"Œuvre — “x”", "\x8Cuvre \x97 \x93x\x94"},
      {"l·l", "l\xB7l"},
      {"ÿ", "\xFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
  }
}

TEST(Cp1252, WhatItCannotHoldBecomesAQuestionMark) {
  struct Case {
    std::string utf8, cp1252;
  } cases[] = {
      {"Ω", "?"},                       // Greek: not in the code page
      {"a😀b", "a?b"},                  // four-byte sequence
      {"\xC3", "?"},                    // truncated sequence
      {"\xC3(", "?("},                  // bad continuation
      {"\xC0\xAF", "??"},               // overlong form of '/'
      {"\xED\xA0\x80", "???"},          // surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
}

TEST(Cp1252, LooksLikeUtf8NeedsAWellFormedMultiByteSequence) {
  EXPECT_TRUE(LooksLikeUtf8("qüestió"));
  EXPECT_FALSE(LooksLikeUtf8("plain ascii"));
  EXPECT_FALSE(LooksLikeUtf8("q\xFC" "estio"));  // Windows-1252
  EXPECT_FALSE(LooksLikeUtf8(""));
}

}  // namespace
}  // namespace quiz
