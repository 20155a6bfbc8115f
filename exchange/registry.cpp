#include "exchange/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillet::exchange {
namespace {

// File layout: a header line, then one value per line: KIND NAME PAYLOAD.
// NAME has blanks, backslashes and control bytes escaped (\s, \\, \xHH); an SZ payload is the
// rest of the line with backslashes and control bytes escaped; DWORD is decimal; BINARY hex.
constexpr const char* kHeader = "QuilletSettings 1";
constexpr const char* kFileName = "settings";

const char* kindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::Dword:
      return "DWORD";
    case ValueKind::Sz:
      return "SZ";
    case ValueKind::ExpandSz:
      return "EXPAND_SZ";
    case ValueKind::Binary:
      return "BINARY";
  }
  return "?";
}

bool kindFromName(const std::string& s, ValueKind& kind) {
  if (s == "DWORD") kind = ValueKind::Dword;
  else if (s == "SZ") kind = ValueKind::Sz;
  else if (s == "EXPAND_SZ") kind = ValueKind::ExpandSz;
  else if (s == "BINARY") kind = ValueKind::Binary;
  else return false;
  return true;
}

constexpr char kHex[] = "0123456789abcdef";

void appendHexByte(std::string& out, unsigned char c) {
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string escape(const std::string& s, bool escapeBlank) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == ' ' && escapeBlank) {
      out += "\\s";
    } else if (c < 0x20 || c == 0x7f) {
      out += "\\x";
      appendHexByte(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool unescape(const std::string& s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 >= s.size()) return false;
    const char e = s[++i];
    if (e == '\\') {
      out += '\\';
    } else if (e == 's') {
      out += ' ';
    } else if (e == 'x') {
      if (i + 2 >= s.size()) return false;
      const int hi = hexDigit(s[i + 1]);
      const int lo = hexDigit(s[i + 2]);
      if (hi < 0 || lo < 0) return false;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

bool parseDword(const std::string& s, std::uint32_t& value) {
  if (s.empty() || s.size() > 10) return false;
  std::uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > 0xFFFFFFFFull) return false;
  value = static_cast<std::uint32_t>(v);
  return true;
}

bool parseHex(const std::string& s, std::string& out) {
  if (s.size() % 2 != 0) return false;
  out.clear();
  out.reserve(s.size() / 2);
  for (std::size_t i = 0; i < s.size(); i += 2) {
    const int hi = hexDigit(s[i]);
    const int lo = hexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

// Whole regular file of at most kMaxSettingsFileSize bytes; empty text otherwise.
std::string readSmallFile(const std::string& path) {
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
      static_cast<std::uint64_t>(st.st_size) <= kMaxSettingsFileSize) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
      if (text.size() > kMaxSettingsFileSize) {  // grew while being read
        text.clear();
        break;
      }
    }
  }
  ::close(fd);
  return text;
}

SettingsKey::Value& slot(SettingsKey::Values& values, const std::string& name, ValueKind kind) {
  SettingsKey::Value& v = values[name];
  v.kind = kind;
  v.dword = 0;
  v.bytes.clear();
  return v;
}

}  // namespace

std::string ConfigHome() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && home[0] != '\0') return std::string(home) + "/.config";
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return std::string(pw->pw_dir) + "/.config";
  return ".config";
}

std::string SettingsKey::FileOf(const std::string& keyPath) { return ConfigHome() + "/" + keyPath + "/" + kFileName; }

SettingsKey::SettingsKey(const std::string& keyPath, bool create)
    : folder_(ConfigHome() + "/" + keyPath), file_(folder_ + "/" + kFileName) {
  if (create) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (!std::filesystem::is_directory(folder_, ec))
      throw SettingsError("Failed to create key " + keyPath);
  }
  values_ = Parse(readSmallFile(file_));
}

std::uint32_t SettingsKey::ReadInteger(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end() || it->second.kind != ValueKind::Dword)
    throw SettingsError("Invalid data type for '" + name + "'");
  return it->second.dword;
}

std::string SettingsKey::ReadString(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return {};
  if (it->second.kind != ValueKind::Sz && it->second.kind != ValueKind::ExpandSz)
    throw SettingsError("Invalid data type for '" + name + "'");
  return it->second.bytes;
}

std::size_t SettingsKey::GetDataSize(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return 0;
  return it->second.kind == ValueKind::Dword ? 4 : it->second.bytes.size();
}

std::size_t SettingsKey::ReadBinaryData(const std::string& name, void* buffer, std::size_t bufferSize) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return 0;
  if (it->second.kind != ValueKind::Binary) throw SettingsError("Invalid data type for '" + name + "'");
  const std::string& bytes = it->second.bytes;
  if (bytes.size() > bufferSize) throw SettingsError("Invalid data size for '" + name + "'");
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  return bytes.size();
}

void SettingsKey::WriteInteger(const std::string& name, std::uint32_t value) {
  slot(values_, name, ValueKind::Dword).dword = value;
}

void SettingsKey::WriteString(const std::string& name, const std::string& value) {
  slot(values_, name, ValueKind::Sz).bytes = value;
}

void SettingsKey::WriteBinaryData(const std::string& name, const void* data, std::size_t size) {
  slot(values_, name, ValueKind::Binary).bytes.assign(static_cast<const char*>(data), size);
}

std::string SettingsKey::Serialize(const Values& values) {
  std::string out = kHeader;
  out += '\n';
  for (const auto& [name, v] : values) {
    out += kindName(v.kind);
    out += ' ';
    out += escape(name, true);
    out += ' ';
    switch (v.kind) {
      case ValueKind::Dword:
        out += std::to_string(v.dword);
        break;
      case ValueKind::Sz:
      case ValueKind::ExpandSz:
        out += escape(v.bytes, false);
        break;
      case ValueKind::Binary:
        for (unsigned char c : v.bytes) appendHexByte(out, c);
        break;
    }
    out += '\n';
  }
  return out;
}

SettingsKey::Values SettingsKey::Parse(const std::string& text) {
  Values values;
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      if (line != kHeader) return {};  // not a settings file of this format
      first = false;
      continue;
    }
    // Lines that do not parse are not values; the others still are.
    const std::size_t s1 = line.find(' ');
    if (s1 == std::string::npos) continue;
    const std::size_t s2 = line.find(' ', s1 + 1);
    if (s2 == std::string::npos) continue;
    Value v;
    std::string name;
    if (!kindFromName(line.substr(0, s1), v.kind)) continue;
    if (!unescape(line.substr(s1 + 1, s2 - s1 - 1), name) || name.empty()) continue;
    const std::string payload = line.substr(s2 + 1);
    bool ok = false;
    switch (v.kind) {
      case ValueKind::Dword:
        ok = parseDword(payload, v.dword);
        break;
      case ValueKind::Sz:
      case ValueKind::ExpandSz:
        ok = unescape(payload, v.bytes);
        break;
      case ValueKind::Binary:
        ok = parseHex(payload, v.bytes);
        break;
    }
    if (ok) values[name] = std::move(v);
  }
  return values;
}

void SettingsKey::Commit() const {
  const std::string text = Serialize(values_);
  std::string temp = folder_ + "/." + kFileName + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw SettingsError(std::string("Cannot write settings: ") + std::strerror(errno));
  bool ok = ::fchmod(fd, 0600) == 0;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), file_.c_str()) == 0;
  if (!ok) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw SettingsError(std::string("Cannot write settings: ") + std::strerror(err));
  }
}

}  // namespace quillet::exchange
