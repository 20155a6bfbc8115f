#pragma once
// The sync software: its two libraries found through its settings key, its users, their
// backup folders, and the install service. Shared by the window and quillet-cli.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "exchange/palmdesktop_abi.h"

namespace quillet::exchange {

inline constexpr const char* kUserDataLibrary = "UserData.dll";
inline constexpr const char* kInstallAideLibrary = "Instaide.dll";
// The values of the sync software's key that name the folders holding its libraries.
inline constexpr const char* kDesktopPathValue = "DesktopPath";
inline constexpr const char* kPathValue = "Path";

inline constexpr int kMaxPalmUsers = 128;
inline constexpr std::size_t kUserNameBufferSize = 1024;
inline constexpr std::size_t kFolderBufferSize = 4096;

// One user of the sync software.
struct PalmUser {
  std::uint32_t ID = 0;
  std::string Name;       // at most kUserNameBufferSize - 1 bytes
  std::string Directory;  // at most kFolderBufferSize - 1 bytes
};

// "%08lX": the ID as eight upper-case hexadecimal digits.
std::string UserIdText(std::uint32_t id);
// Reads an ID as the status text shows it: one to eight hexadecimal digits.
std::optional<std::uint32_t> ParseUserId(const std::string& text);

// The two libraries, each loaded or not, with their resolved entry points. Owns the handles
// and releases them in its destructor, UserData.dll first.
class PalmDesktop {
 public:
  PalmDesktop() = default;
  ~PalmDesktop();
  PalmDesktop(const PalmDesktop&) = delete;
  PalmDesktop& operator=(const PalmDesktop&) = delete;

  // Reads "DesktopPath" and "Path" of the sync software's settings key (missing or
  // unreadable: empty) and loads the libraries from them. Never raises.
  void Probe();
  // Each library from the first folder, else from the second. A folder that is empty or not
  // absolute, a path of kFolderBufferSize bytes or more, a file that does not load, or a
  // library lacking any of its entry points: not found in that folder.
  void Load(const std::string& firstFolder, const std::string& secondFolder);
  void Release();

  bool HasUserData() const { return userData_ != nullptr; }
  bool HasInstallAide() const { return installAide_ != nullptr; }
  bool Found() const { return HasUserData() && HasInstallAide(); }
  // Where each library was loaded from; empty when not loaded.
  const std::string& UserDataPath() const { return userDataPath_; }
  const std::string& InstallAidePath() const { return installAidePath_; }

  // The users in the user manager's order, at most kMaxPalmUsers; none without UserData.dll.
  std::vector<PalmUser> Users() const;
  // The root folder of the users' folders; empty without UserData.dll.
  std::string RootDirectory() const;
  // root + "/" + the user's folder + "/Backup/"; nothing when the root is not an absolute
  // path (a relative or empty root would name a folder below the working folder or the
  // file system's root).
  std::optional<std::string> BackupFolder(const std::string& userDirectory) const;
  // Hands a file to the install service; false without Instaide.dll.
  bool InstallFile(const std::string& userName, const std::string& path) const;

 private:
  void* userData_ = nullptr;
  void* installAide_ = nullptr;
  std::string userDataPath_;
  std::string installAidePath_;
  abi::UmGetUserCountFn getUserCount_ = nullptr;
  abi::UmGetUserIDFn getUserId_ = nullptr;
  abi::UmGetUserNameFn getUserName_ = nullptr;
  abi::UmGetUserDirectoryFn getUserDirectory_ = nullptr;
  abi::UmGetRootDirectoryFn getRootDirectory_ = nullptr;
  abi::PltInstallFileFn installFile_ = nullptr;
};

// A fresh private folder (mode 0700) below the system's temporary folder for the files of
// one automatic export; removed with whatever it still holds when the object goes.
class PrivateTempFolder {
 public:
  // The folder's name begins with the prefix.
  explicit PrivateTempFolder(const std::string& prefix = "quillet-export-");
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  // Empty when no folder could be made.
  const std::string& path() const { return path_; }
  // Removes the folder now; false when something of it is left.
  bool remove();

 private:
  std::string path_;
};

// $TMPDIR when it is an absolute path, else "/tmp".
std::string SystemTempFolder();

}  // namespace quillet::exchange
