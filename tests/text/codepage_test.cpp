#include "text/codepage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace quillet::text {
namespace {

std::string byte(unsigned b) { return std::string(1, static_cast<char>(b)); }

// UTF-8 of a code point below U+10000, written out independently of the code under test.
std::string utf8(char32_t cp) {
  std::string s;
  const auto c = static_cast<unsigned>(cp);
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

TEST(CodePage, AsciiPassesThroughBothWays) {
  std::string ascii;
  for (unsigned b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);  // NUL included
  EXPECT_EQ(cp1251ToUtf8(ascii), ascii);
  EXPECT_EQ(utf8ToCp1251(ascii), ascii);
  EXPECT_EQ(cp1251ToUtf8(""), "");
  EXPECT_EQ(utf8ToCp1251(""), "");
}

TEST(CodePage, CyrillicLettersRoundTrip) {
  for (unsigned b = 0xC0; b <= 0xFF; ++b) {
    SCOPED_TRACE(b);
    const std::string expected = utf8(static_cast<char32_t>(0x0410 + (b - 0xC0)));  // А..я
    EXPECT_EQ(cp1251ToUtf8(byte(b)), expected);
    EXPECT_EQ(utf8ToCp1251(expected), byte(b));
  }
}

TEST(CodePage, NamedCharacters) {
  struct Case {
    unsigned byte;
    const char* utf8;
  };
  const Case cases[] = {
      {0xA8, "Ё"}, {0xB8, "ё"}, {0xB9, "№"}, {0x88, "€"}, {0x80, "Ђ"},       {0x82, "‚"},
      {0x85, "…"}, {0x96, "–"}, {0x97, "—"}, {0x99, "™"}, {0xA0, "\u00A0"}, {0xA5, "Ґ"},
      {0xAB, "«"}, {0xBB, "»"}, {0xB2, "І"}, {0xB3, "і"}, {0xBF, "ї"},       {0xC0, "А"},
      {0xDF, "Я"}, {0xE0, "а"}, {0xFF, "я"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.byte);
    EXPECT_EQ(cp1251ToUtf8(byte(c.byte)), c.utf8);
    EXPECT_EQ(utf8ToCp1251(c.utf8), byte(c.byte));
  }
}

TEST(CodePage, EveryDefinedByteRoundTripsToItself) {
  std::string all;
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    if (b != 0x98) all += static_cast<char>(b);
  }
  // A duplicated code point in the table would send two bytes back to one.
  EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(CodePage, UndefinedByteDecodesToReplacement) {
  EXPECT_EQ(cp1251ToUtf8(byte(0x98)), "\xEF\xBF\xBD");
  EXPECT_EQ(cp1251ToUtf8("a" + byte(0x98) + "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(byte(0x98))), "?");
}

TEST(CodePage, MixedText) {
  const std::string cp = "\xCF\xF0\xE8\xE2\xE5\xF2, world \xB9" "5";
  EXPECT_EQ(cp1251ToUtf8(cp), "Привет, world №5");
  EXPECT_EQ(utf8ToCp1251("Привет, world №5"), cp);
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"é", "?"},                 // Latin-1 letter absent from the code page
      {"\xC2\x98", "?"},          // U+0098: not the undefined byte 0x98
      {"\xEF\xBF\xBD", "?"},      // U+FFFD
      {"日本", "??"},             // three-byte characters
      {"\xF0\x9F\x98\x80", "?"},  // four-byte character counts once
      {"a€é ё", "a\x88? \xB8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(utf8ToCp1251(c.utf8), c.expected);
  }
}

TEST(CodePage, MalformedUtf8BecomesOneQuestionMarkPerByte) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"\x80", "?"},                    // lone continuation byte
      {"\xBF\xBF", "??"},
      {"\xFF", "?"},                    // never a UTF-8 byte
      {"\xF5\x80\x80\x80", "????"},     // lead byte beyond U+10FFFF
      {"\xC0\xAF", "??"},               // overlong '/'
      {"\xC1\xBF", "??"},
      {"\xE0\x80\xAF", "???"},          // overlong three-byte form
      {"\xF0\x80\x80\xAF", "????"},     // overlong four-byte form
      {"\xED\xA0\x80", "???"},          // surrogate
      {"\xF4\x90\x80\x80", "????"},     // above U+10FFFF
      {"\xD0" "A", "?A"},               // a lead byte never swallows the ASCII after it
      {"\xE2\x82" "A", "??A"},
      {"\xD0\xD0\x81", "?\xA8"},        // a broken sequence does not hide the valid one after it
      {"x\xD1\x91\x80y", "x\xB8?y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(utf8ToCp1251(c.utf8), c.expected);
  }
}

TEST(CodePage, TruncatedSequenceAtTheEnd) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"\xD0", "?"},
      {"ab\xE2", "ab?"},
      {"ab\xE2\x82", "ab??"},
      {"\xF0\x9F\x98", "???"},
      {"\xD0\x81\xF0", "\xA8?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    // An allocation of exactly the input's size, so a read past its end is a sanitizer fault.
    const std::size_t n = std::strlen(c.utf8);
    auto exact = std::make_unique<char[]>(n);
    std::memcpy(exact.get(), c.utf8, n);
    EXPECT_EQ(utf8ToCp1251(std::string_view(exact.get(), n)), c.expected);
  }
}

}  // namespace
}  // namespace quillet::text
