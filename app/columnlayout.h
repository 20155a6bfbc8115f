#pragma once
// The column collection of a grid as one byte stream: the columns in display order, each with
// its field name, title, width and visibility. Stored in the settings as a binary value and
// kept in memory for the designed layout.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::app {

struct ColumnDesc {
  std::string fieldName;  // the field the column shows
  std::string title;      // UTF-8
  int width = 0;          // pixels
  bool visible = true;

  friend bool operator==(const ColumnDesc&, const ColumnDesc&) = default;
};

using ColumnLayout = std::vector<ColumnDesc>;
using ByteStream = std::vector<std::uint8_t>;

// Limits of a readable stream; a stream beyond them does not load.
inline constexpr int kMaxLayoutColumns = 256;
inline constexpr int kMaxLayoutTitle = 1024;
inline constexpr int kMaxLayoutWidth = 32767;

// "QCL", version 1, a 16-bit column count, then per column: field name (8-bit length),
// title (16-bit length), width (32-bit), flags (bit 0 visible). Little-endian.
ByteStream EncodeColumnLayout(const ColumnLayout& columns);

// The columns of a stream, or nothing when it cannot be loaded: empty, another format or
// version, a count of zero or above the limit, a field name that is not an identifier,
// any field running past the end, or bytes left over.
std::optional<ColumnLayout> DecodeColumnLayout(const std::uint8_t* data, std::size_t size);
inline std::optional<ColumnLayout> DecodeColumnLayout(const ByteStream& stream) {
  return DecodeColumnLayout(stream.data(), stream.size());
}

}  // namespace quillet::app
