#pragma once
// Date-time values are day counts: days since 30 December 1899, the fraction being the
// time of day. Before day 0 the whole part counts back and the fraction still adds
// time forward from midnight of that day (so -1.25 is 29 December 1899, 06:00).
#include <cstdint>

namespace quillet {

inline constexpr const char* kInvalidDateEncode = "Invalid argument to date encode";
inline constexpr const char* kInvalidTimeEncode = "Invalid argument to time encode";

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Proleptic Gregorian calendar, years 1..9999; raises ConvertError(kInvalidDateEncode).
double EncodeDate(int year, int month, int day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999; raises ConvertError(kInvalidTimeEncode).
double EncodeTime(int hour, int minute, int second, int millisecond = 0);
// Date plus time of day, as one day count.
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);

// Splits a day count into its parts; the time is rounded to the nearest millisecond.
// Values outside years 1..9999 are clamped to that range.
DateTimeParts DecodeDateTime(double dayCount);

}  // namespace quillet
