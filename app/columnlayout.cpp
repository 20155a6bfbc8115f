#include "app/columnlayout.h"

#include <algorithm>

namespace quillet::app {
namespace {

constexpr std::uint8_t kMagic[3] = {'Q', 'C', 'L'};
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kVisibleFlag = 1;

void put16(ByteStream& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(ByteStream& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

bool isIdentifier(const std::string& s) {
  if (s.empty()) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool u8(std::uint32_t& v) {
    if (size_ - pos_ < 1) return false;
    v = data_[pos_++];
    return true;
  }
  bool u16(std::uint32_t& v) {
    if (size_ - pos_ < 2) return false;
    v = static_cast<std::uint32_t>(data_[pos_]) | static_cast<std::uint32_t>(data_[pos_ + 1]) << 8;
    pos_ += 2;
    return true;
  }
  bool u32(std::uint32_t& v) {
    std::uint32_t lo = 0, hi = 0;
    if (!u16(lo) || !u16(hi)) return false;
    v = lo | hi << 16;
    return true;
  }
  bool bytes(std::size_t n, std::string& out) {
    if (size_ - pos_ < n) return false;
    out.assign(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return true;
  }
  bool atEnd() const { return pos_ == size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

ByteStream EncodeColumnLayout(const ColumnLayout& columns) {
  ByteStream out(kMagic, kMagic + 3);
  out.push_back(kVersion);
  const std::size_t count = std::min<std::size_t>(columns.size(), kMaxLayoutColumns);
  put16(out, static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const ColumnDesc& c = columns[i];
    const std::size_t nameLength = std::min<std::size_t>(c.fieldName.size(), 255);
    out.push_back(static_cast<std::uint8_t>(nameLength));
    out.insert(out.end(), c.fieldName.begin(), c.fieldName.begin() + static_cast<std::ptrdiff_t>(nameLength));
    const std::size_t titleLength = std::min<std::size_t>(c.title.size(), kMaxLayoutTitle);
    put16(out, static_cast<std::uint32_t>(titleLength));
    out.insert(out.end(), c.title.begin(), c.title.begin() + static_cast<std::ptrdiff_t>(titleLength));
    put32(out, static_cast<std::uint32_t>(std::clamp(c.width, 0, kMaxLayoutWidth)));
    out.push_back(c.visible ? kVisibleFlag : 0);
  }
  return out;
}

std::optional<ColumnLayout> DecodeColumnLayout(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 6) return std::nullopt;
  if (!std::equal(kMagic, kMagic + 3, data) || data[3] != kVersion) return std::nullopt;
  Reader in(data + 4, size - 4);
  std::uint32_t count = 0;
  if (!in.u16(count) || count == 0 || count > kMaxLayoutColumns) return std::nullopt;
  ColumnLayout columns;
  columns.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    ColumnDesc c;
    std::uint32_t nameLength = 0, titleLength = 0, width = 0, flags = 0;
    if (!in.u8(nameLength) || !in.bytes(nameLength, c.fieldName) || !isIdentifier(c.fieldName)) return std::nullopt;
    if (!in.u16(titleLength) || titleLength > kMaxLayoutTitle || !in.bytes(titleLength, c.title)) return std::nullopt;
    if (!in.u32(width) || width > kMaxLayoutWidth) return std::nullopt;
    if (!in.u8(flags) || (flags & ~static_cast<std::uint32_t>(kVisibleFlag)) != 0) return std::nullopt;
    c.width = static_cast<int>(width);
    c.visible = (flags & kVisibleFlag) != 0;
    columns.push_back(std::move(c));
  }
  if (!in.atEnd()) return std::nullopt;
  return columns;
}

}  // namespace quillet::app
