#include "store/variant.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "store/fieldtext.h"

namespace quillet {

namespace {

bool parseInteger(const std::string& s, std::int64_t& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

bool parseFloat(const std::string& s, double& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

std::int64_t Variant::toInteger() const {
  switch (kind_) {
    case Kind::Integer:
      return i_;
    case Kind::Float:
      if (!std::isfinite(f_) || std::fabs(f_) > 9.2e18) throw ConvertError(kInvalidVariantConversion);
      return static_cast<std::int64_t>(std::llround(f_));
    case Kind::Text: {
      std::int64_t v = 0;
      if (parseInteger(s_, v)) return v;
      double d = 0;
      if (parseFloat(s_, d) && std::isfinite(d) && std::fabs(d) < 9.2e18) return std::llround(d);
      throw ConvertError(kInvalidVariantConversion);
    }
    case Kind::Empty:
      break;
  }
  throw ConvertError(kInvalidVariantConversion);
}

double Variant::toFloat() const {
  switch (kind_) {
    case Kind::Integer:
      return static_cast<double>(i_);
    case Kind::Float:
      return f_;
    case Kind::Text: {
      double d = 0;
      if (parseFloat(s_, d)) return d;
      throw ConvertError(kInvalidVariantConversion);
    }
    case Kind::Empty:
      break;
  }
  throw ConvertError(kInvalidVariantConversion);
}

std::string Variant::toText() const {
  switch (kind_) {
    case Kind::Integer:
      return std::to_string(i_);
    case Kind::Float:
      return FloatText(f_);
    case Kind::Text:
      return s_;
    case Kind::Empty:
      break;
  }
  return {};
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.kind_ != b.kind_) return false;
  switch (a.kind_) {
    case Variant::Kind::Empty:
      return true;
    case Variant::Kind::Integer:
      return a.i_ == b.i_;
    case Variant::Kind::Float:
      return a.f_ == b.f_;
    case Variant::Kind::Text:
      return a.s_ == b.s_;
  }
  return false;
}

}  // namespace quillet
