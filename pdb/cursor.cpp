#include "pdb/cursor.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace quillet::pdb {

std::string recordLabel(int index) {
  return index >= 0 ? "record " + std::to_string(index) : std::string("record");
}

void ReadCursor::requireFixedPart(std::uint32_t fixedPart) const {
  if (length() < fixedPart) {
    throw FormatError(recordLabel(record) + " is " + std::to_string(length()) + " bytes, shorter than its " +
                      std::to_string(fixedPart) + "-byte fixed part");
  }
}

namespace {

void need(const ReadCursor& c, std::uint32_t bytes) {
  if (c.remaining() < bytes) {
    throw FormatError(recordLabel(c.record) + " ends inside a " + std::to_string(bytes) + "-byte field at offset " +
                      std::to_string(c.pos - c.begin));
  }
}

void room(const WriteCursor& c, std::size_t bytes) {
  if (static_cast<std::size_t>(c.end - c.pos) < bytes) {
    throw FormatError("a record of more than " + std::to_string(c.end - c.begin) +
                      " bytes does not fit the record buffer");
  }
}

std::uint32_t readBig32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void writeBig32(std::uint32_t v, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

}  // namespace

std::uint8_t getByte(ReadCursor& c) {
  need(c, 1);
  return *c.pos++;
}

std::uint16_t getWord(ReadCursor& c) {
  need(c, 2);
  auto v = static_cast<std::uint16_t>((c.pos[0] << 8) | c.pos[1]);
  c.pos += 2;
  return v;
}

std::int32_t getLong(ReadCursor& c) {
  need(c, 4);
  auto v = static_cast<std::int32_t>(readBig32(c.pos));
  c.pos += 4;
  return v;
}

double getFloat(ReadCursor& c) {
  need(c, 4);
  double v = floatFromBits(readBig32(c.pos));
  c.pos += 4;
  return v;
}

std::string_view getString(ReadCursor& c, const char* what) {
  const void* nul = c.pos < c.end ? std::memchr(c.pos, 0, c.remaining()) : nullptr;
  if (!nul) throw FormatError(recordLabel(c.record) + ": " + what + " without its terminating NUL");
  const auto* stop = static_cast<const std::uint8_t*>(nul);
  std::string_view text(reinterpret_cast<const char*>(c.pos), static_cast<std::size_t>(stop - c.pos));
  c.pos = stop + 1;
  return text;
}

void putByte(std::uint32_t value, WriteCursor& c) {
  room(c, 1);
  *c.pos++ = static_cast<std::uint8_t>(value);
}

void putWord(std::uint32_t value, WriteCursor& c) {
  room(c, 2);
  c.pos[0] = static_cast<std::uint8_t>(value >> 8);
  c.pos[1] = static_cast<std::uint8_t>(value);
  c.pos += 2;
}

void putLong(std::uint32_t value, WriteCursor& c) {
  room(c, 4);
  writeBig32(value, c.pos);
  c.pos += 4;
}

void putFloat(double value, WriteCursor& c) {
  room(c, 4);
  writeBig32(floatBits(value), c.pos);
  c.pos += 4;
}

void putString(std::string_view text, WriteCursor& c) {
  room(c, text.size() + 1);
  if (!text.empty()) std::memcpy(c.pos, text.data(), text.size());
  c.pos[text.size()] = 0;
  c.pos += text.size() + 1;
}

double floatFromBits(std::uint32_t bits) { return static_cast<double>(std::bit_cast<float>(bits)); }

std::uint32_t floatBits(double value) {
  float f;
  if (std::isnan(value)) {
    f = std::numeric_limits<float>::quiet_NaN();
    if (std::signbit(value)) f = -f;
  } else if (std::fabs(value) > static_cast<double>(FLT_MAX)) {
    // Converting an out-of-range double is undefined in C++; IEEE rounding to nearest gives
    // FLT_MAX below the midpoint to the next power of two and infinity from it on.
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    f = std::fabs(value) >= overflow ? std::numeric_limits<float>::infinity() : FLT_MAX;
    if (value < 0) f = -f;
  } else {
    f = static_cast<float>(value);
  }
  return std::bit_cast<std::uint32_t>(f);
}

}  // namespace quillet::pdb
