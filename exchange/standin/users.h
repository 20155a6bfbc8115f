#pragma once
// The stand-in sync software's user list: "users.tsv" in the folder its library lies in,
// one user a line: ID as hexadecimal digits, a tab, the name, a tab, the user's folder name.
// Lines that do not have this form are skipped; a missing or unreadable file lists no one.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quillet::standin {

struct User {
  std::uint32_t id = 0;
  std::string name;
  std::string folder;
};

// A users file larger than this is not read.
inline constexpr long kMaxUsersFileSize = 1 << 20;

// The folder of the library holding `address`, without trailing separator.
inline std::string libraryFolder(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || !info.dli_fname) return {};
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

inline bool parseId(const std::string& text, std::uint32_t& id) {
  if (text.empty() || text.size() > 8) return false;
  id = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    id = id * 16 + static_cast<std::uint32_t>(d);
  }
  return true;
}

inline std::vector<User> readUsers(const std::string& root) {
  std::vector<User> users;
  std::FILE* f = std::fopen((root + "/users.tsv").c_str(), "rb");
  if (!f) return users;
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
    text.append(chunk, n);
    if (text.size() > static_cast<std::size_t>(kMaxUsersFileSize)) {
      std::fclose(f);
      return users;
    }
  }
  std::fclose(f);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto tab1 = line.find('\t');
    if (tab1 == std::string::npos) continue;
    const auto tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    User u;
    if (!parseId(line.substr(0, tab1), u.id)) continue;
    u.name = line.substr(tab1 + 1, tab2 - tab1 - 1);
    u.folder = line.substr(tab2 + 1);
    if (u.name.empty() || u.name.find('\0') != std::string::npos || u.folder.find('\0') != std::string::npos)
      continue;
    users.push_back(std::move(u));
  }
  return users;
}

// Copies the text into a caller's buffer of *size bytes: cut to fit, always terminated.
// *size becomes the bytes written, the NUL included.
inline std::int32_t copyOut(const std::string& text, char* buffer, std::uint16_t* size) {
  if (!buffer || !size || *size == 0) return -1;
  const std::size_t n = text.size() < *size ? text.size() : static_cast<std::size_t>(*size) - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  *size = static_cast<std::uint16_t>(n + 1);
  return 0;
}

}  // namespace quillet::standin
