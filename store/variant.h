#pragma once
// Field values of the store: empty, integer, floating point or text (bytes).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace quillet {

// Every error the store raises carries the engine's or the layer's own message text.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The engine failed to write a row (a full disk, an I/O error): a fault of the store, not
// of the value written.
class EngineError : public StoreError {
 public:
  using StoreError::StoreError;
};

// A value that cannot become what was asked of it (an empty variant read as a number,
// an invalid date or time).
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kInvalidVariantConversion = "Invalid variant type conversion";

class Variant {
 public:
  enum class Kind : std::uint8_t { Empty, Integer, Float, Text };

  Variant() = default;
  static Variant fromInteger(std::int64_t v) {
    Variant r;
    r.kind_ = Kind::Integer;
    r.i_ = v;
    return r;
  }
  static Variant fromFloat(double v) {
    Variant r;
    r.kind_ = Kind::Float;
    r.f_ = v;
    return r;
  }
  static Variant fromText(std::string v) {
    Variant r;
    r.kind_ = Kind::Text;
    r.s_ = std::move(v);
    return r;
  }

  Kind kind() const { return kind_; }
  bool isEmpty() const { return kind_ == Kind::Empty; }

  // Numeric reads of an empty variant raise ConvertError("Invalid variant type conversion");
  // so does text that is not a number.
  std::int64_t toInteger() const;
  double toFloat() const;
  // Text of a text variant; a number in its plain decimal form; empty for an empty variant.
  std::string toText() const;

  std::int64_t integer() const { return i_; }
  double floating() const { return f_; }
  const std::string& text() const { return s_; }

  std::string takeText() && { return std::move(s_); }
  // In-place assignment, reusing the text's storage.
  void setInteger(std::int64_t v) {
    kind_ = Kind::Integer;
    i_ = v;
  }
  void setFloat(double v) {
    kind_ = Kind::Float;
    f_ = v;
  }
  void setText(std::string_view v) {
    kind_ = Kind::Text;
    s_.assign(v.data(), v.size());
  }
  void clear() {
    kind_ = Kind::Empty;
    s_.clear();
  }

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  Kind kind_ = Kind::Empty;
  union {
    std::int64_t i_ = 0;
    double f_;
  };
  std::string s_;
};

}  // namespace quillet
