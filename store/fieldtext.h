#pragma once
// Plain text forms of field values (the report) and display formats (grids, edits).
#include <string>

#include "store/variant.h"

namespace quillet {

enum class FieldType { Integer, Text, Float, Boolean, DateTime, Memo };

// The user's formats, taken from the system locale by the window and handed to the core.
// Date and time patterns use d, dd, M, MM, yy, yyyy, h, hh, H, HH, m, mm, s, ss, AP/ap and
// quoted literal text, as the locale reports them.
struct Formats {
  std::string decimalSeparator = ".";
  std::string shortDate = "dd.MM.yyyy";
  std::string longTime = "HH:mm:ss";
};

// Shortest general form with at most 15 significant digits: fixed notation for magnitudes
// from 1e-5 up to 15 integer digits, otherwise scientific with an unpadded exponent (1E20, 1.5E-7).
std::string FloatText(double value, const std::string& decimalSeparator = ".");

// Text form of a value of the given type; empty for an empty value whatever the type.
// Booleans read "True"/"False"; date-times the short date, then a blank and the long time
// unless the time is midnight. A width > 0 cuts text results to that many bytes.
std::string ValueText(const Variant& value, FieldType type, const Formats& formats, int width = 0);

// A display format such as "#########0.###": no thousands separator, at least as many
// integer digits as there are '0's before the point, rounded to the number of decimals
// after it, trailing zeros dropped where they are '#', a bare separator dropped.
std::string FormatFloat(double value, const std::string& pattern, const std::string& decimalSeparator = ".");

// A date-time value in a locale pattern (see Formats).
std::string FormatDateTime(double dayCount, const std::string& pattern);

}  // namespace quillet
