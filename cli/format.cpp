#include "cli/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "store/datetime.h"

namespace quillet::cli {

std::string jsonString(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out.push_back('"');
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

std::string quotedText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out.push_back('"');
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", c);
          out += buf;
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::string hexBytes(const std::uint8_t* data, std::size_t length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0x0F]);
  }
  return out;
}

namespace {

// Civil date of a count of days since 1 January 1970 (proleptic Gregorian).
void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

std::string palmTimeText(std::uint32_t secondsSince1904) {
  constexpr std::int64_t kDays1904To1970 = 24107;
  const std::int64_t days = static_cast<std::int64_t>(secondsSince1904 / 86400) - kDays1904To1970;
  const std::uint32_t rest = secondsSince1904 % 86400;
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  civilFromDays(days, y, m, d);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02u:%02u:%02u", static_cast<long long>(y), m, d, rest / 3600,
                rest / 60 % 60, rest % 60);
  return buf;
}

std::string dayCountText(double dayCount) {
  const DateTimeParts p = DecodeDateTime(dayCount);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                p.second);
  return buf;
}

}  // namespace quillet::cli
