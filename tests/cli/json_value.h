#pragma once
// A small strict JSON reader for checking quillet-cli's output: objects, arrays, strings
// (with every escape, surrogate pairs included), numbers, true, false, null.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::testing {

struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string string;  // UTF-8
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  bool has(const std::string& key) const { return type == Type::Object && object.count(key) != 0; }
  const JsonValue& operator[](const std::string& key) const;
  const JsonValue& operator[](std::size_t index) const;
};

// Raises std::runtime_error naming the offset of the first fault; the whole text must be
// one value (surrounding white space allowed).
JsonValue parseJson(std::string_view text);

}  // namespace quillet::testing
