#pragma once
// Text forms for the command-line companion's output.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::cli {

// A JSON string literal (quotes included) of UTF-8 text: quote, backslash and every
// control character escaped.
std::string jsonString(std::string_view utf8);

// Shortest text that reads back as the same double; JSON has no NaN or infinity, so
// those give "null".
std::string jsonNumber(double value);

// A quoted, readable form of UTF-8 text for the plain dump: control characters escaped
// as \r, \n, \t or \xNN.
std::string quotedText(std::string_view utf8);

// Lower-case hexadecimal digits of the bytes, no separators.
std::string hexBytes(const std::uint8_t* data, std::size_t length);

// "YYYY-MM-DD HH:MM:SS" (UTC) of a Palm time stamp, seconds since 1 January 1904.
std::string palmTimeText(std::uint32_t secondsSince1904);

// "YYYY-MM-DDTHH:MM:SS" of a day count (days since 30 December 1899).
std::string dayCountText(double dayCount);

}  // namespace quillet::cli
