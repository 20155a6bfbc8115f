#include "text/codepage.h"

#include <cstdint>

namespace quillet::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80..0xFF of Windows-1251; 0x98 is the one byte it leaves unassigned.
constexpr char32_t kHigh[128] = {
    // 0x80
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    // 0x90
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    kReplacement, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    // 0xA0
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    // 0xB0
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0: А..П
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    // 0xD0: Р..Я
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    // 0xE0: а..п
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    // 0xF0: р..я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void appendUtf8(std::string& out, char32_t cp) {
  auto put = [&out](std::uint32_t v) { out.push_back(static_cast<char>(v)); };
  const auto c = static_cast<std::uint32_t>(cp);
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else {
    // Every code point of the table lies in the Basic Multilingual Plane.
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

// The byte for a code point, or '?' when the code page has none.
char encodeOne(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp == kReplacement) return '?';
  for (unsigned i = 0; i < 128; ++i) {
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one well-formed UTF-8 sequence starting at `at`, rejecting overlong forms,
// surrogates and values above U+10FFFF. Answers its length, or 0 when the bytes there
// do not form one; never looks past the end of `in`.
std::size_t decodeOne(std::string_view in, std::size_t at, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(in[at]);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (in.size() - at < length) return 0;

  const auto second = static_cast<unsigned char>(in[at + 1]);
  if (second < low || second > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (!isContinuation(static_cast<unsigned char>(in[at + k]))) return 0;
  }

  const std::uint32_t leadBits = length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07;
  std::uint32_t value = lead & leadBits;
  for (std::size_t k = 1; k < length; ++k) {
    value = (value << 6) | (static_cast<unsigned char>(in[at + k]) & 0x3Fu);
  }
  cp = static_cast<char32_t>(value);
  return length;
}

}  // namespace

std::string cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out.push_back(ch);
    } else {
      appendUtf8(out, kHigh[b - 0x80]);
    }
  }
  return out;
}

std::string utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[at]);
    if (b < 0x80) {
      out.push_back(utf8[at]);
      ++at;
      continue;
    }
    char32_t cp = 0;
    const std::size_t length = decodeOne(utf8, at, cp);
    if (length == 0) {
      // One '?' for the offending byte; what follows is decoded afresh.
      out.push_back('?');
      ++at;
    } else {
      out.push_back(encodeOne(cp));
      at += length;
    }
  }
  return out;
}

}  // namespace quillet::text
