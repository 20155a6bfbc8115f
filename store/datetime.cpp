#include "store/datetime.h"

#include <cmath>

#include "store/variant.h"

namespace quillet {

namespace {

constexpr double kMsPerDay = 86400000.0;
// Day number of 30 December 1899 counted from 1 January of year 1 (day 1).
constexpr std::int64_t kEpochOffset = 693594;

std::int64_t daysBeforeYear(int year) {
  const std::int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

int daysBeforeMonth(int year, int month) {
  static const int cumulative[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  return cumulative[month - 1] + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

double EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    throw ConvertError(kInvalidDateEncode);
  const std::int64_t n = daysBeforeYear(year) + daysBeforeMonth(year, month) + day;
  return static_cast<double>(n - kEpochOffset);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    throw ConvertError(kInvalidTimeEncode);
  return ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const double date = EncodeDate(year, month, day);
  const double time = EncodeTime(hour, minute, second, millisecond);
  // Before day 0 the fraction still counts forward from that day's midnight.
  return date >= 0 ? date + time : date - time;
}

DateTimeParts DecodeDateTime(double dayCount) {
  constexpr double kMin = -693593.99999999;  // 1 January 0001, last moment
  constexpr double kMax = 2958465.99999999;  // 31 December 9999
  if (!std::isfinite(dayCount)) dayCount = 0;
  if (dayCount < kMin) dayCount = kMin;
  if (dayCount > kMax) dayCount = kMax;

  double whole = std::trunc(dayCount);
  std::int64_t ms = std::llround(std::fabs(dayCount - whole) * kMsPerDay);
  if (ms >= static_cast<std::int64_t>(kMsPerDay)) {  // rounding reached the next midnight
    ms = 0;
    whole += dayCount >= 0 ? 1 : -1;
  }

  DateTimeParts parts;
  std::int64_t n = static_cast<std::int64_t>(whole) + kEpochOffset;  // day number from 0001-01-01 = 1
  if (n < 1) n = 1;
  // Year from the 400/100/4/1-year cycles.
  std::int64_t d = n - 1;
  const std::int64_t n400 = d / 146097;
  d %= 146097;
  std::int64_t n100 = d / 36524;
  if (n100 == 4) n100 = 3;
  d -= n100 * 36524;
  const std::int64_t n4 = d / 1461;
  d %= 1461;
  std::int64_t n1 = d / 365;
  if (n1 == 4) n1 = 3;
  d -= n1 * 365;
  parts.year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
  int month = 1;
  while (month < 12 && d >= DaysInMonth(parts.year, month)) {
    d -= DaysInMonth(parts.year, month);
    ++month;
  }
  parts.month = month;
  parts.day = static_cast<int>(d) + 1;

  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

}  // namespace quillet
