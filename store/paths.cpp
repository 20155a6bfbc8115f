#include "store/paths.h"

#include <cstdlib>
#include <filesystem>

namespace quillet {

std::string DefaultStorePath() {
  std::filesystem::path base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    base = std::filesystem::current_path();
  }
  return (base / "KorvellInc" / "QuilletDesktop" / kStoreFileName).string();
}

}  // namespace quillet
