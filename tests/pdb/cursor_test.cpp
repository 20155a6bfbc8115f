#include "pdb/cursor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace quillet::pdb {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CursorTest, ReadsBigEndianFieldsAndMovesPastThem) {
  const Bytes b = {0x12, 0xAB, 0xCD, 0xFF, 0xFF, 0xFF, 0xFE, 0x3D, 0xCC, 0xCC, 0xCD, 'F', 'o', 'o', 'd', 0, 0x7F};
  ReadCursor c(b.data(), static_cast<std::uint32_t>(b.size()));
  EXPECT_EQ(getByte(c), 0x12);
  EXPECT_EQ(getWord(c), 0xABCD);
  EXPECT_EQ(getLong(c), -2);  // FF FF FF FE as a signed 32-bit value
  EXPECT_EQ(getFloat(c), static_cast<double>(0.1f));
  EXPECT_EQ(getString(c), "Food");
  EXPECT_EQ(c.remaining(), 1u);
  EXPECT_EQ(getByte(c), 0x7F);
  EXPECT_EQ(c.remaining(), 0u);
}

TEST(CursorTest, FloatIsWidenedExactlyNotRounded) {
  const Bytes b = {0x3D, 0xCC, 0xCC, 0xCD};
  ReadCursor c(b.data(), 4);
  const double v = getFloat(c);
  EXPECT_NE(v, 0.1);
  EXPECT_NEAR(v, 0.100000001490116, 1e-15);
  EXPECT_EQ(v, 0.100000001490116119384765625);  // the single value, exactly
}

struct ShortRead {
  const char* name;
  Bytes bytes;
  void (*read)(ReadCursor&);
  const char* message;
};

class CursorBoundsTest : public ::testing::TestWithParam<ShortRead> {};

TEST_P(CursorBoundsTest, RaisesInsteadOfReadingPastTheRecord) {
  const ShortRead& p = GetParam();
  // The bytes live in a buffer of exactly their length, so a read past it would be caught
  // by AddressSanitizer even if the check were missing.
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[p.bytes.size() + (p.bytes.empty() ? 1 : 0)]);
  std::copy(p.bytes.begin(), p.bytes.end(), exact.get());
  ReadCursor c(exact.get(), static_cast<std::uint32_t>(p.bytes.size()), 3);
  const auto* before = c.pos;
  try {
    p.read(c);
    FAIL() << "no error for " << p.name;
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), p.message);
  }
  EXPECT_EQ(c.pos, before) << "a failed read must not move the cursor";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CursorBoundsTest,
    ::testing::Values(
        ShortRead{"byte", {}, [](ReadCursor& c) { getByte(c); }, "record 3 ends inside a 1-byte field at offset 0"},
        ShortRead{"word", {1}, [](ReadCursor& c) { getWord(c); }, "record 3 ends inside a 2-byte field at offset 0"},
        ShortRead{"long", {1, 2, 3}, [](ReadCursor& c) { getLong(c); },
                  "record 3 ends inside a 4-byte field at offset 0"},
        ShortRead{"float", {1, 2, 3}, [](ReadCursor& c) { getFloat(c); },
                  "record 3 ends inside a 4-byte field at offset 0"},
        ShortRead{"text", {'a', 'b'}, [](ReadCursor& c) { getString(c, "name text"); },
                  "record 3: name text without its terminating NUL"},
        ShortRead{"empty text", {}, [](ReadCursor& c) { getString(c, "notes text"); },
                  "record 3: notes text without its terminating NUL"}),
    [](const auto& tc) {
      std::string n = tc.param.name;
      for (auto& ch : n)
        if (ch == ' ') ch = '_';
      return n;
    });

TEST(CursorTest, FixedPartCheckNamesTheRecordAndBothLengths) {
  std::uint8_t b[12] = {};
  ReadCursor c(b, 12, 3);
  EXPECT_NO_THROW(c.requireFixedPart(12));
  try {
    c.requireFixedPart(74);
    FAIL();
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), "record 3 is 12 bytes, shorter than its 74-byte fixed part");
  }
  ReadCursor unnamed(b, 4);
  EXPECT_THROW(unnamed.requireFixedPart(5), FormatError);
  try {
    unnamed.requireFixedPart(5);
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), "record is 4 bytes, shorter than its 5-byte fixed part");
  }
}

TEST(CursorTest, WritesBigEndianLowBitsAndTexts) {
  std::uint8_t buf[32] = {};
  WriteCursor c(buf, sizeof buf);
  putByte(0x1FF, c);         // low 8 bits
  putWord(0x12345678u, c);   // low 16 bits
  putLong(static_cast<std::uint32_t>(-1), c);
  putFloat(0.1, c);
  putString("Food", c);
  putString("", c);
  const Bytes expected = {0xFF, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0xFF, 0x3D, 0xCC, 0xCC, 0xCD, 'F', 'o', 'o', 'd', 0, 0};
  EXPECT_EQ(Bytes(buf, buf + c.written()), expected);
}

TEST(CursorTest, DefaultWriteCursorFillsRecordBufferAndNeverPassesItsEnd) {
  WriteCursor c;
  EXPECT_EQ(c.begin, recordBuffer);
  const std::string big(kRecordBufferSize - 2, 'x');
  putString(big, c);  // kRecordBufferSize - 1 bytes
  EXPECT_EQ(c.written(), kRecordBufferSize - 1);
  EXPECT_THROW(putWord(1, c), FormatError);
  EXPECT_THROW(putString("a", c), FormatError);
  EXPECT_EQ(c.written(), kRecordBufferSize - 1) << "a refused write writes nothing";
  putByte(7, c);
  EXPECT_EQ(recordBuffer[kRecordBufferSize - 1], 7);
  EXPECT_THROW(putByte(1, c), FormatError);
}

struct FloatCase {
  double value;
  std::uint32_t bits;
};

class FloatRoundingTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatRoundingTest, RoundsToNearestSingle) { EXPECT_EQ(floatBits(GetParam().value), GetParam().bits); }

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatRoundingTest,
    ::testing::Values(FloatCase{0.1, 0x3DCCCCCDu}, FloatCase{1.0, 0x3F800000u}, FloatCase{-1.5, 0xBFC00000u},
                      FloatCase{0.0, 0x00000000u},
                      // halfway between 1 and the next single: ties to even (down), just above: up
                      FloatCase{1.0 + std::ldexp(1.0, -24), 0x3F800000u},
                      FloatCase{1.0 + std::ldexp(1.0, -24) + std::ldexp(1.0, -40), 0x3F800001u},
                      FloatCase{1e39, 0x7F800000u},     // beyond the single range: infinity
                      FloatCase{-1e39, 0xFF800000u},
                      FloatCase{3.4028235e38, 0x7F7FFFFFu},  // just past FLT_MAX, below the midpoint
                      FloatCase{std::numeric_limits<double>::infinity(), 0x7F800000u}));

TEST(CursorTest, NaNStaysNaN) {
  const std::uint32_t bits = floatBits(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isnan(floatFromBits(bits)));
}

TEST(CursorTest, RecordLabel) {
  EXPECT_EQ(recordLabel(0), "record 0");
  EXPECT_EQ(recordLabel(-1), "record");
}

}  // namespace
}  // namespace quillet::pdb
