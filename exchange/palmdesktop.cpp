#include "exchange/palmdesktop.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "exchange/folders.h"
#include "exchange/registry.h"

namespace quillet::exchange {
namespace {

// dlsym answers an object pointer; copy its bits into the function pointer.
template <typename Fn>
bool resolve(void* library, const char* name, Fn& fn) {
  void* address = ::dlsym(library, name);
  if (!address) return false;
  static_assert(sizeof fn == sizeof address);
  std::memcpy(&fn, &address, sizeof fn);
  return true;
}

// folder + file name, loaded; nothing when the folder cannot name a library safely.
void* loadPalmLibrary(const std::string& folder, const char* fileName, std::string& loadedPath) {
  // dlopen takes a name without a separator for a search of the system's library folders,
  // and a relative one for a path below the working folder: only an absolute folder counts.
  if (folder.empty() || folder.front() != kSeparator) return nullptr;
  const std::string path = JoinPath(folder, fileName);
  if (path.size() >= kFolderBufferSize) return nullptr;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle) loadedPath = path;
  return handle;
}

// A text out of a fixed buffer the library filled: up to its first NUL, never past the end.
std::string bufferText(const char* buffer, std::size_t size) {
  return std::string(buffer, ::strnlen(buffer, size));
}

}  // namespace

std::string UserIdText(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(id));
  return text;
}

std::optional<std::uint32_t> ParseUserId(const std::string& text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

PalmDesktop::~PalmDesktop() { Release(); }

void PalmDesktop::Probe() {
  std::string desktopPath;
  std::string path;
  try {
    const SettingsKey key(kPalmDesktopKey, false);
    try {
      desktopPath = key.ReadString(kDesktopPathValue);
    } catch (const std::exception&) {
    }
    try {
      path = key.ReadString(kPathValue);
    } catch (const std::exception&) {
    }
  } catch (const std::exception&) {
  }
  Load(desktopPath, path);
}

void PalmDesktop::Load(const std::string& firstFolder, const std::string& secondFolder) {
  Release();
  for (const std::string* folder : {&firstFolder, &secondFolder}) {
    std::string loaded;
    void* handle = loadPalmLibrary(*folder, kUserDataLibrary, loaded);
    if (!handle) continue;
    // A library lacking an entry point would be called through a null address: not found.
    if (resolve(handle, "UmGetUserCount", getUserCount_) && resolve(handle, "UmGetUserID", getUserId_) &&
        resolve(handle, "UmGetUserName", getUserName_) &&
        resolve(handle, "UmGetUserDirectory", getUserDirectory_) &&
        resolve(handle, "UmGetRootDirectory", getRootDirectory_)) {
      userData_ = handle;
      userDataPath_ = loaded;
      break;
    }
    ::dlclose(handle);
  }
  if (!userData_) {
    getUserCount_ = nullptr;
    getUserId_ = nullptr;
    getUserName_ = nullptr;
    getUserDirectory_ = nullptr;
    getRootDirectory_ = nullptr;
  }
  for (const std::string* folder : {&firstFolder, &secondFolder}) {
    std::string loaded;
    void* handle = loadPalmLibrary(*folder, kInstallAideLibrary, loaded);
    if (!handle) continue;
    if (resolve(handle, "PltInstallFile", installFile_)) {
      installAide_ = handle;
      installAidePath_ = loaded;
      break;
    }
    ::dlclose(handle);
  }
  if (!installAide_) installFile_ = nullptr;
}

void PalmDesktop::Release() {
  if (userData_) ::dlclose(userData_);
  if (installAide_) ::dlclose(installAide_);
  userData_ = installAide_ = nullptr;
  userDataPath_.clear();
  installAidePath_.clear();
  getUserCount_ = nullptr;
  getUserId_ = nullptr;
  getUserName_ = nullptr;
  getUserDirectory_ = nullptr;
  getRootDirectory_ = nullptr;
  installFile_ = nullptr;
}

std::vector<PalmUser> PalmDesktop::Users() const {
  std::vector<PalmUser> users;
  if (!userData_) return users;
  const int count = getUserCount_();
  // The table has room for kMaxPalmUsers; a negative count lists none.
  const int listed = count < 0 ? 0 : (count > kMaxPalmUsers ? kMaxPalmUsers : count);
  users.reserve(static_cast<std::size_t>(listed));
  for (int i = 0; i < listed; ++i) {
    PalmUser user;
    (void)getUserId_(static_cast<std::int16_t>(i), &user.ID);
    char name[kUserNameBufferSize] = {};
    std::uint16_t size = static_cast<std::uint16_t>(sizeof name);
    (void)getUserName_(user.ID, name, &size);
    user.Name = bufferText(name, sizeof name - 1);
    std::vector<char> directory(kFolderBufferSize, '\0');
    size = static_cast<std::uint16_t>(directory.size());
    (void)getUserDirectory_(user.ID, directory.data(), &size);
    user.Directory = bufferText(directory.data(), directory.size() - 1);
    users.push_back(std::move(user));
  }
  return users;
}

std::string PalmDesktop::RootDirectory() const {
  if (!userData_) return {};
  std::vector<char> buffer(kFolderBufferSize, '\0');
  std::uint16_t size = static_cast<std::uint16_t>(buffer.size());
  (void)getRootDirectory_(buffer.data(), &size);
  return bufferText(buffer.data(), buffer.size() - 1);
}

std::optional<std::string> PalmDesktop::BackupFolder(const std::string& userDirectory) const {
  std::string folder = RootDirectory();
  if (folder.empty() || folder.front() != kSeparator) return std::nullopt;
  AppendBackslash(folder);
  folder += userDirectory;
  AppendBackslash(folder);
  folder += "Backup";
  AppendBackslash(folder);
  return folder;
}

bool PalmDesktop::InstallFile(const std::string& userName, const std::string& path) const {
  if (!installAide_) return false;
  (void)installFile_(userName.c_str(), path.c_str());
  return true;
}

std::string SystemTempFolder() {
  if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == kSeparator) return tmp;
  return "/tmp";
}

PrivateTempFolder::PrivateTempFolder(const std::string& prefix) {
  std::string pattern = JoinPath(SystemTempFolder(), prefix + "XXXXXX");
  if (::mkdtemp(pattern.data())) path_ = pattern;  // mkdtemp makes it with mode 0700
}

PrivateTempFolder::~PrivateTempFolder() { (void)remove(); }

bool PrivateTempFolder::remove() {
  if (path_.empty()) return true;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);  // does not follow links inside
  const bool gone = !std::filesystem::exists(std::filesystem::symlink_status(path_, ec));
  if (gone) path_.clear();
  return gone;
}

}  // namespace quillet::exchange
