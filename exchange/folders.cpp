#include "exchange/folders.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace quillet::exchange {

void AppendBackslash(std::string& text) {
  if (!text.empty() && text.back() != kSeparator) text.push_back(kSeparator);
}

void CopyFolderPath(std::string& destination, std::string_view folder) {
  destination.assign(folder);
  AppendBackslash(destination);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  CopyFolderPath(path, folder);
  path.append(name);
  return path;
}

std::string FolderOf(std::string_view path) {
  const auto slash = path.rfind(kSeparator);
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return std::string(1, kSeparator);
  return std::string(path.substr(0, slash));
}

std::string ProgramFolder() {
  // readlink does not terminate and truncates silently: a result that fills the buffer
  // may be cut, so grow until it fits.
  std::vector<char> buffer(PATH_MAX);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      return FolderOf(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    buffer.resize(buffer.size() * 2);
  }
  return {};
}

}  // namespace quillet::exchange
