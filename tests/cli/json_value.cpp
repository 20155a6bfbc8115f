#include "tests/cli/json_value.h"

#include <cstdlib>

namespace quillet::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  JsonValue document() {
    JsonValue v = value();
    space();
    if (pos_ != s_.size()) fail("text after the value");
    return v;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw std::runtime_error("JSON: " + why + " at offset " + std::to_string(pos_));
  }
  void space() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) ++pos_;
  }
  char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
  void expect(char c) {
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }
  void literal(std::string_view word) {
    if (s_.substr(pos_, word.size()) != word) fail("bad literal");
    pos_ += word.size();
  }

  JsonValue value() {
    space();
    JsonValue v;
    switch (peek()) {
      case '{': {
        v.type = JsonValue::Type::Object;
        ++pos_;
        space();
        if (peek() == '}') {
          ++pos_;
          return v;
        }
        for (;;) {
          space();
          std::string key = string();
          space();
          expect(':');
          if (v.object.count(key)) fail("duplicate key " + key);
          v.object.emplace(key, value());
          space();
          if (peek() == ',') {
            ++pos_;
            continue;
          }
          expect('}');
          return v;
        }
      }
      case '[': {
        v.type = JsonValue::Type::Array;
        ++pos_;
        space();
        if (peek() == ']') {
          ++pos_;
          return v;
        }
        for (;;) {
          v.array.push_back(value());
          space();
          if (peek() == ',') {
            ++pos_;
            continue;
          }
          expect(']');
          return v;
        }
      }
      case '"':
        v.type = JsonValue::Type::String;
        v.string = string();
        return v;
      case 't':
        literal("true");
        v.type = JsonValue::Type::Bool;
        v.boolean = true;
        return v;
      case 'f':
        literal("false");
        v.type = JsonValue::Type::Bool;
        return v;
      case 'n':
        literal("null");
        return v;
      default:
        v.type = JsonValue::Type::Number;
        v.number = number();
        return v;
    }
  }

  double number() {
    const std::size_t start = pos_;
    if (peek() == '-') ++pos_;
    if (peek() == '0') {
      ++pos_;
    } else if (peek() >= '1' && peek() <= '9') {
      while (peek() >= '0' && peek() <= '9') ++pos_;
    } else {
      fail("bad number");
    }
    if (peek() == '.') {
      ++pos_;
      if (!(peek() >= '0' && peek() <= '9')) fail("bad fraction");
      while (peek() >= '0' && peek() <= '9') ++pos_;
    }
    if (peek() == 'e' || peek() == 'E') {
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      if (!(peek() >= '0' && peek() <= '9')) fail("bad exponent");
      while (peek() >= '0' && peek() <= '9') ++pos_;
    }
    return std::strtod(std::string(s_.substr(start, pos_ - start)).c_str(), nullptr);
  }

  unsigned hex4() {
    if (pos_ + 4 > s_.size()) fail("short \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[pos_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
      else fail("bad \\u escape");
    }
    return v;
  }

  static void utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  std::string string() {
    expect('"');
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) fail("unterminated string");
      const auto c = static_cast<unsigned char>(s_[pos_++]);
      if (c == '"') return out;
      if (c < 0x20) fail("raw control character in string");
      if (c != '\\') {
        out.push_back(static_cast<char>(c));
        continue;
      }
      if (pos_ >= s_.size()) fail("unterminated escape");
      const char e = s_[pos_++];
      switch (e) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u': {
          unsigned cp = hex4();
          if (cp >= 0xD800 && cp < 0xDC00) {
            if (s_.substr(pos_, 2) != "\\u") fail("lone surrogate");
            pos_ += 2;
            const unsigned low = hex4();
            if (low < 0xDC00 || low >= 0xE000) fail("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp < 0xE000) {
            fail("lone surrogate");
          }
          utf8(out, cp);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
  if (type != Type::Object) throw std::runtime_error("JSON: not an object, looking for " + key);
  const auto it = object.find(key);
  if (it == object.end()) throw std::runtime_error("JSON: no key " + key);
  return it->second;
}

const JsonValue& JsonValue::operator[](std::size_t index) const {
  if (type != Type::Array) throw std::runtime_error("JSON: not an array");
  if (index >= array.size()) throw std::runtime_error("JSON: index out of range");
  return array[index];
}

JsonValue parseJson(std::string_view text) { return Parser(text).document(); }

}  // namespace quillet::testing
