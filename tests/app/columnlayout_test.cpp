// The column layout stream: what is written reads back equal; anything else does not load.
#include <gtest/gtest.h>

#include "app/columnlayout.h"

namespace quillet::app {
namespace {

ColumnLayout Sample() {
  return {{"FADD", "Income", 50, true},
          {"Category1Name", "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", 0, false},
          {"CURRENCY_RATE", "", 32767, true}};
}

TEST(ColumnLayoutTest, WhatIsWrittenReadsBackEqual) {
  const ColumnLayout columns = Sample();
  const ByteStream stream = EncodeColumnLayout(columns);
  const auto back = DecodeColumnLayout(stream);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, columns);
}

TEST(ColumnLayoutTest, EveryTruncationFailsToLoad) {
  const ByteStream stream = EncodeColumnLayout(Sample());
  for (std::size_t n = 0; n < stream.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(DecodeColumnLayout(stream.data(), n).has_value());
  }
}

TEST(ColumnLayoutTest, MalformedStreamsFailToLoad) {
  const ByteStream good = EncodeColumnLayout({{"ID", "T", 10, true}});
  // Layout: "QCL" 01 | count(2) | name length, name | title length(2), title | width(4) | flags
  ASSERT_EQ(good.size(), 4u + 2 + 1 + 2 + 2 + 1 + 4 + 1);
  struct Case {
    const char* name;
    std::size_t at;
    std::uint8_t value;
  };
  const Case cases[] = {
      {"magic", 0, 'X'},           {"version", 3, 2},          {"count zero", 4, 0},
      {"count too large", 5, 1},   {"name length zero", 6, 0}, {"name not an identifier", 7, '-'},
      {"title past the end", 9, 9}, {"width above the limit", 15, 1}, {"unknown flag", 16, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ByteStream bad = good;
    bad[c.at] = c.value;
    EXPECT_FALSE(DecodeColumnLayout(bad).has_value());
  }
  ByteStream longer = good;
  longer.push_back(0);
  EXPECT_FALSE(DecodeColumnLayout(longer).has_value()) << "bytes left over";
  EXPECT_FALSE(DecodeColumnLayout(nullptr, 0).has_value());
  EXPECT_FALSE(DecodeColumnLayout(EncodeColumnLayout({})).has_value()) << "no columns";
}

}  // namespace
}  // namespace quillet::app
