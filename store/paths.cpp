#include "store/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quillet {

std::string DefaultStorePath() {
  std::filesystem::path base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) {
    base = std::filesystem::path(pw->pw_dir) / ".local" / "share";
  } else {
    base = std::filesystem::temp_directory_path();
  }
  return (base / "KorvellInc" / "QuilletDesktop" / kStoreFileName).string();
}

}  // namespace quillet
