#include <gtest/gtest.h>

#include "platform/TextEncoding.h"

using namespace orrelin;

TEST(MacOSRoman, AccentsAndSymbolsMapToTheirBytes) {
  EXPECT_EQ(convertToMacOSRoman("plain ASCII"), "plain ASCII");
  EXPECT_EQ(convertToMacOSRoman("\xc3\xa9"), "\x8e");          // é
  EXPECT_EQ(convertToMacOSRoman("\xc3\x84"), "\x80");          // Ä
  EXPECT_EQ(convertToMacOSRoman("\xe2\x80\xa0"), "\xa0");      // †
  EXPECT_EQ(convertToMacOSRoman("\xe2\x82\xac"), "\xdb");      // €
  EXPECT_EQ(convertToMacOSRoman("\xef\xa3\xbf"), "\xf0");      // the Apple logo
}

TEST(MacOSRoman, WhatItCannotHoldBecomesAQuestionMark) {
  EXPECT_EQ(convertToMacOSRoman("\xe4\xb8\xad"), "?");   // a CJK character
  EXPECT_EQ(convertToMacOSRoman("a\xff" "b"), "a?b");     // not UTF-8 at all
  EXPECT_EQ(convertToMacOSRoman(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(MacOSRoman, ConvertsBack) {
  EXPECT_EQ(convertFromMacOSRoman("\x8e\xdb"), "\xc3\xa9\xe2\x82\xac");
}

TEST(UTF8, IllFormedSequencesAreReplacedOneByOne) {
  EXPECT_TRUE(isValidUTF8("Gr\xc3\xbc\xc3\x9f" "e \xf0\x9f\x98\x80"));
  EXPECT_EQ(replacingInvalidUTF8("ok \xe2\x82\xac"), "ok \xe2\x82\xac");
  EXPECT_FALSE(isValidUTF8("\xc0\xaf"));           // overlong "/"
  EXPECT_FALSE(isValidUTF8("\xed\xa0\x80"));       // a surrogate
  EXPECT_EQ(replacingInvalidUTF8("a\xff" "b"), "a\xef\xbf\xbd" "b");
  EXPECT_EQ(replacingInvalidUTF8("\xe2\x82"), "\xef\xbf\xbd");   // cut short at the end
}
