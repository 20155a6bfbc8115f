#include "store/fieldtext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "store/datetime.h"

namespace quillet {

std::string FloatText(double value, const std::string& decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // 15 significant digits, then decide between fixed and scientific notation.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);
  std::string s(buf);
  const bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  const auto ePos = s.find('e');
  int exponent = std::atoi(s.c_str() + ePos + 1);
  std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);  // 15 digits
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out += "0" + decimalSeparator + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
      const auto intDigits = static_cast<std::size_t>(exponent + 1);
      if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits) + decimalSeparator + digits.substr(intDigits);
      }
    }
  } else {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += decimalSeparator + digits.substr(1);
    out += "E" + std::to_string(exponent);
  }
  return out;
}

std::string FormatFloat(double value, const std::string& pattern, const std::string& decimalSeparator) {
  if (!std::isfinite(value)) return FloatText(value, decimalSeparator);
  const auto point = pattern.find('.');
  const std::string intPart = pattern.substr(0, point);
  const std::string fracPart = point == std::string::npos ? std::string() : pattern.substr(point + 1);
  int minInt = 0;
  for (char c : intPart) minInt += c == '0';
  int maxFrac = 0, minFrac = 0;
  for (std::size_t i = 0; i < fracPart.size(); ++i) {
    if (fracPart[i] == '0' || fracPart[i] == '#') {
      ++maxFrac;
      if (fracPart[i] == '0') minFrac = maxFrac;
    }
  }

  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", maxFrac, std::fabs(value));
  std::string s(buf);
  std::string whole = s, frac;
  if (const auto dot = s.find('.'); dot != std::string::npos) {
    whole = s.substr(0, dot);
    frac = s.substr(dot + 1);
  }
  while (static_cast<int>(frac.size()) > minFrac && !frac.empty() && frac.back() == '0') frac.pop_back();
  // Leading zeros beyond the pattern's required digits go.
  while (static_cast<int>(whole.size()) > std::max(minInt, 1) && whole[0] == '0') whole.erase(0, 1);
  if (whole == "0" && minInt == 0 && !frac.empty()) whole.clear();
  while (static_cast<int>(whole.size()) < minInt) whole.insert(0, "0");

  bool zero = true;
  for (char c : whole + frac) zero = zero && c == '0';
  std::string out = value < 0 && !zero ? "-" : "";
  out += whole;
  if (!frac.empty()) out += decimalSeparator + frac;
  if (out.empty() || out == "-") out += "0";
  return out;
}

namespace {

const char* const kMonthShort[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthLong[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
const char* const kDayShort[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kDayLong[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

std::string pad(int v, int width) {
  std::string s = std::to_string(v);
  while (static_cast<int>(s.size()) < width) s.insert(0, "0");
  return s;
}

}  // namespace

std::string FormatDateTime(double dayCount, const std::string& pattern) {
  const DateTimeParts p = DecodeDateTime(dayCount);
  // 30 December 1899 was a Saturday; index 0 is Monday.
  const auto dayIndex = static_cast<long long>(std::floor(dayCount));
  const int weekday = static_cast<int>(((dayIndex + 5) % 7 + 7) % 7);
  const bool ampm = pattern.find("AP") != std::string::npos || pattern.find("ap") != std::string::npos ||
                    pattern.find('A') != std::string::npos || pattern.find('a') != std::string::npos;

  std::string out;
  const std::size_t n = pattern.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = pattern[i];
    std::size_t run = 1;
    while (i + run < n && pattern[i + run] == c) ++run;
    switch (c) {
      case '\'': {
        if (run >= 2) {  // '' is a literal quote
          out += std::string(run / 2, '\'');
          i += run / 2 * 2;
          continue;
        }
        std::size_t j = i + 1;
        while (j < n) {
          if (pattern[j] == '\'') {
            if (j + 1 < n && pattern[j + 1] == '\'') {
              out += '\'';
              j += 2;
              continue;
            }
            break;
          }
          out += pattern[j++];
        }
        i = j + 1;
        continue;
      }
      case 'd':
        run = std::min<std::size_t>(run, 4);
        if (run == 1) out += std::to_string(p.day);
        else if (run == 2) out += pad(p.day, 2);
        else out += run == 3 ? kDayShort[weekday] : kDayLong[weekday];
        break;
      case 'M':
        run = std::min<std::size_t>(run, 4);
        if (run == 1) out += std::to_string(p.month);
        else if (run == 2) out += pad(p.month, 2);
        else out += run == 3 ? kMonthShort[p.month - 1] : kMonthLong[p.month - 1];
        break;
      case 'y':
        if (run >= 4) {
          run = 4;
          out += pad(p.year, 4);
        } else {
          run = std::min<std::size_t>(run, 2);
          out += pad(p.year % 100, 2);
        }
        break;
      case 'h':
      case 'H': {
        run = std::min<std::size_t>(run, 2);
        int h = p.hour;
        if (c == 'h' && ampm) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += run == 2 ? pad(h, 2) : std::to_string(h);
        break;
      }
      case 'm':
        run = std::min<std::size_t>(run, 2);
        out += run == 2 ? pad(p.minute, 2) : std::to_string(p.minute);
        break;
      case 's':
        run = std::min<std::size_t>(run, 2);
        out += run == 2 ? pad(p.second, 2) : std::to_string(p.second);
        break;
      case 'z':
        run = run >= 3 ? 3 : 1;
        out += run == 3 ? pad(p.millisecond, 3) : std::to_string(p.millisecond);
        break;
      case 'A':
      case 'a': {
        const bool pm = p.hour >= 12;
        run = (i + 1 < n && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) ? 2 : 1;
        out += c == 'A' ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
        break;
      }
      case 't':  // time zone: day counts carry none
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string ValueText(const Variant& value, FieldType type, const Formats& formats, int width) {
  if (value.isEmpty()) return {};
  std::string out;
  switch (type) {
    case FieldType::Integer:
      out = std::to_string(value.toInteger());
      break;
    case FieldType::Float:
      out = FloatText(value.toFloat(), formats.decimalSeparator);
      break;
    case FieldType::Boolean:
      out = value.toFloat() != 0 ? "True" : "False";
      break;
    case FieldType::DateTime: {
      const double v = value.toFloat();
      const DateTimeParts p = DecodeDateTime(v);
      out = FormatDateTime(v, formats.shortDate);
      if (p.hour || p.minute || p.second || p.millisecond) out += " " + FormatDateTime(v, formats.longTime);
      break;
    }
    case FieldType::Text:
    case FieldType::Memo:
      out = value.toText();
      break;
  }
  if (width > 0 && out.size() > static_cast<std::size_t>(width)) out.resize(static_cast<std::size_t>(width));
  return out;
}

}  // namespace quillet
