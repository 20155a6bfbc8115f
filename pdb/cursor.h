#pragma once
// Record cursor primitives. A cursor reads or writes at its position and moves past what
// it handled. Unlike a bare byte pointer it knows where its record (or buffer) ends: a read
// past the end of the record raises FormatError instead of touching the next bytes, and a
// write never goes past the end of its buffer.
//
// Everything is big-endian; floats are IEEE 754 single precision. Texts are bytes,
// passed through unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "pdb/container.h"

namespace quillet::pdb {

// "record 3" for index 3, "record" when the index is unknown (negative).
std::string recordLabel(int index);

// Reads one record. `index` only names the record in error texts.
struct ReadCursor {
  ReadCursor(const std::uint8_t* data, std::uint32_t length, int index = -1)
      : pos(data), end(data + length), begin(data), record(index) {}

  const std::uint8_t* pos;
  const std::uint8_t* end;
  const std::uint8_t* begin;
  int record;

  std::uint32_t remaining() const { return static_cast<std::uint32_t>(end - pos); }
  std::uint32_t length() const { return static_cast<std::uint32_t>(end - begin); }
  // Raises FormatError("record 3 is 12 bytes, shorter than its 74-byte fixed part")
  // unless the record holds at least `fixedPart` bytes.
  void requireFixedPart(std::uint32_t fixedPart) const;
};

// Each raises FormatError ("record 3 ends inside a 4-byte field at offset 70") when fewer
// bytes remain than the field needs, moving nothing then.
std::uint8_t getByte(ReadCursor& c);
std::uint16_t getWord(ReadCursor& c);
std::int32_t getLong(ReadCursor& c);
// Widened exactly to double.
double getFloat(ReadCursor& c);
// The bytes up to the next NUL inside the record (not included); the cursor moves past the
// NUL. The view points into the record. `what` names the text in the error:
// "record 3: notes text without its terminating NUL" for what = "notes text".
std::string_view getString(ReadCursor& c, const char* what = "text");

// Writes into a buffer, by default recordBuffer.
struct WriteCursor {
  WriteCursor() : pos(recordBuffer), end(recordBuffer + kRecordBufferSize), begin(recordBuffer) {}
  WriteCursor(std::uint8_t* buffer, std::uint32_t capacity) : pos(buffer), end(buffer + capacity), begin(buffer) {}

  std::uint8_t* pos;
  std::uint8_t* end;
  std::uint8_t* begin;

  std::uint32_t written() const { return static_cast<std::uint32_t>(pos - begin); }
};

// The value first, the cursor second. Each raises FormatError when the buffer has no room
// left, writing nothing then.
void putByte(std::uint32_t value, WriteCursor& c);   // low 8 bits
void putWord(std::uint32_t value, WriteCursor& c);   // low 16 bits, high byte first
void putLong(std::uint32_t value, WriteCursor& c);   // most significant byte first
// Rounded to the nearest single-precision value (ties to even); beyond the single range
// that is the largest finite value or infinity, as IEEE rounding gives.
void putFloat(double value, WriteCursor& c);
void putString(std::string_view text, WriteCursor& c);  // the bytes and one NUL

// The conversions behind getFloat/putFloat, for tests and the record layouts.
double floatFromBits(std::uint32_t bits);
std::uint32_t floatBits(double value);

}  // namespace quillet::pdb
