#include <gtest/gtest.h>

#include <cmath>

#include "store/datetime.h"
#include "store/fieldtext.h"

using namespace quillet;

TEST(DateTime, EncodesDayCounts) {
  struct Case {
    int y, m, d;
    double expected;
  } cases[] = {
      {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1899, 12, 29, -1}, {1900, 3, 1, 61},
      {2002, 8, 15, 37483}, {2002, 8, 1, 37469}, {2000, 2, 29, 36585}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DateTime, RejectsInvalidDatesAndTimes) {
  struct Case {
    int y, m, d;
  } badDates[] = {{2001, 2, 29}, {1900, 2, 29}, {2002, 0, 1}, {2002, 13, 1}, {0, 1, 1}, {10000, 1, 1}, {2002, 4, 31}, {2002, 1, 0}};
  for (const auto& c : badDates) {
    try {
      EncodeDate(c.y, c.m, c.d);
      ADD_FAILURE() << "accepted " << c.y << "-" << c.m << "-" << c.d;
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), "Invalid argument to date encode");
    }
  }
  struct TimeCase {
    int h, m, s;
  } badTimes[] = {{24, 0, 0}, {0, 60, 0}, {0, 0, 60}, {-1, 0, 0}};
  for (const auto& c : badTimes) {
    try {
      EncodeTime(c.h, c.m, c.s);
      ADD_FAILURE() << "accepted " << c.h << ":" << c.m << ":" << c.s;
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), "Invalid argument to time encode");
    }
  }
  EXPECT_EQ(EncodeTime(12, 0, 0), 0.5);
}

TEST(DateTime, DecodeRoundTripsEveryFieldIncludingBeforeDayZero) {
  struct Case {
    int y, mo, d, h, mi, s;
  } cases[] = {{2002, 8, 9, 14, 15, 30}, {1899, 12, 30, 0, 0, 0}, {1899, 12, 29, 6, 0, 0}, {1850, 1, 1, 23, 59, 59},
               {2000, 2, 29, 12, 0, 1},  {9999, 12, 31, 23, 59, 59}, {1, 1, 1, 0, 0, 1},   {2100, 3, 1, 0, 0, 0}};
  for (const auto& c : cases) {
    const double v = EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
    const DateTimeParts p = DecodeDateTime(v);
    EXPECT_EQ(p.year, c.y);
    EXPECT_EQ(p.month, c.mo);
    EXPECT_EQ(p.day, c.d);
    EXPECT_EQ(p.hour, c.h);
    EXPECT_EQ(p.minute, c.mi);
    EXPECT_EQ(p.second, c.s) << c.y << "-" << c.mo << "-" << c.d;
  }
  // A value just short of the next second (binary fractions) still reads as that second.
  const DateTimeParts p = DecodeDateTime(37477.0 + (14 * 3600 + 15 * 60 + 30) / 86400.0 - 1e-10);
  EXPECT_EQ(p.second, 30);
  // Garbage from a file never produces an out-of-range date.
  for (double v : {1e300, -1e300, std::nan("")}) {
    const DateTimeParts q = DecodeDateTime(v);
    EXPECT_GE(q.year, 1);
    EXPECT_LE(q.year, 9999);
  }
}

TEST(FieldTextForms, FloatsInTheShortestGeneralForm) {
  struct Case {
    double v;
    const char* sep;
    const char* expected;
  } cases[] = {
      {100, ".", "100"},          {0.1, ".", "0.1"},     {0.1, ",", "0,1"},          {-2.5, ".", "-2.5"},
      {1e20, ".", "1E20"},        {1.5e-7, ".", "1.5E-7"}, {0.00001, ".", "0.00001"}, {0.000001, ".", "1E-6"},
      {123456789012345.0, ".", "123456789012345"},       {1e15, ".", "1E15"},        {0, ".", "0"},
      {static_cast<double>(0.1f), ".", "0.100000001490116"}, {37469.5, ".", "37469.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatText(c.v, c.sep), c.expected) << c.v;
}

TEST(FieldTextForms, DisplayPatterns) {
  struct Case {
    double v;
    const char* pattern;
    const char* expected;
  } cases[] = {
      {1234.5, "#########0.###", "1234.5"}, {0.1, "#########0.###", "0.1"},  {2, "#########0.###", "2"},
      {1.23456, "#########0.###", "1.235"}, {0.0004, "#########0.###", "0"}, {-0.0004, "#########0.###", "0"},
      {-12.5, "#########0.###", "-12.5"},   {0.5, "###0.####", "0.5"},       {1.00005, "###0.####", "1.0001"},
      {12345678901.0, "#########0.###", "12345678901"}, {3, "0.00", "3.00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.v, c.pattern), c.expected) << c.v << " " << c.pattern;
  EXPECT_EQ(FormatFloat(1.5, "#########0.###", ","), "1,5");
}

TEST(FieldTextForms, ValueTextPerType) {
  Formats f;
  f.decimalSeparator = ",";
  f.shortDate = "dd.MM.yyyy";
  f.longTime = "H:mm:ss";
  EXPECT_EQ(ValueText(Variant::fromInteger(-42), FieldType::Integer, f), "-42");
  EXPECT_EQ(ValueText(Variant::fromFloat(0.1), FieldType::Float, f), "0,1");
  EXPECT_EQ(ValueText(Variant::fromInteger(1), FieldType::Boolean, f), "True");
  EXPECT_EQ(ValueText(Variant::fromInteger(0), FieldType::Boolean, f), "False");
  EXPECT_EQ(ValueText(Variant(), FieldType::DateTime, f), "");
  EXPECT_EQ(ValueText(Variant(), FieldType::Integer, f), "");
  EXPECT_EQ(ValueText(Variant::fromFloat(37483), FieldType::DateTime, f), "15.08.2002");
  EXPECT_EQ(ValueText(Variant::fromFloat(EncodeDateTime(2002, 8, 9, 14, 15, 30)), FieldType::DateTime, f),
            "09.08.2002 14:15:30");
  EXPECT_EQ(ValueText(Variant::fromText("line1\r\nline2"), FieldType::Memo, f), "line1\r\nline2");
  EXPECT_EQ(ValueText(Variant::fromText("Hryvnias"), FieldType::Text, f, 3), "Hry");
  EXPECT_EQ(FormatDateTime(EncodeDateTime(2002, 8, 9, 14, 5, 3), "M/d/yy h:mm AP"), "8/9/02 2:05 PM");
  EXPECT_EQ(FormatDateTime(37483, "d MMM yyyy 'at' dddd"), "15 Aug 2002 at Thursday");
}

TEST(VariantConversion, EmptyConvertsToNoNumber) {
  try {
    (void)Variant().toFloat();
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid variant type conversion");
  }
  EXPECT_THROW((void)Variant().toInteger(), ConvertError);
  EXPECT_THROW((void)Variant::fromText("abc").toInteger(), ConvertError);
  EXPECT_EQ(Variant::fromText("12").toInteger(), 12);
  EXPECT_EQ(Variant::fromFloat(2.6).toInteger(), 3);
}
