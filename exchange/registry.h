#pragma once
// The typed per-user settings store, shared by the window and quillet-cli. A key is one
// small text file below the user's configuration folder; every value keeps its kind, and
// reading a value that is missing or of another kind fails as the platform registry would.
// A key is read whole when opened and written whole (temporary file, then rename) by Commit().
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillet::exchange {

class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class ValueKind { Dword, Sz, ExpandSz, Binary };

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config.
std::string ConfigHome();

// The program's own key and the sync software's key.
inline constexpr const char* kProgramSettingsKey = "KorvellInc/QuilletDesktop";
inline constexpr const char* kPalmDesktopKey = "U.S. Robotics/Pilot Desktop/Core";

// A settings file larger than this is not read (its key reads as empty).
inline constexpr std::size_t kMaxSettingsFileSize = 1 << 20;

class SettingsKey {
 public:
  // Opens the key below ConfigHome(). With create, the key's folder is made when missing
  // (raises SettingsError when it cannot be); without, a missing key reads as empty.
  // A file that cannot be read or parsed contributes only its well-formed values.
  explicit SettingsKey(const std::string& keyPath, bool create = true);

  // The file holding the key.
  static std::string FileOf(const std::string& keyPath);
  const std::string& FileName() const { return file_; }

  bool ValueExists(const std::string& name) const { return values_.count(name) != 0; }

  // Raise SettingsError when the value is missing or not a DWORD.
  std::uint32_t ReadInteger(const std::string& name) const;
  bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
  // SZ or EXPAND_SZ text, unchanged; a missing value reads as empty; another kind raises.
  std::string ReadString(const std::string& name) const;
  // Size in bytes of a value; 0 when missing.
  std::size_t GetDataSize(const std::string& name) const;
  // Copies a BINARY value into the buffer and returns its size; a missing value reads as
  // zero bytes; another kind, or a value larger than the buffer, raises.
  std::size_t ReadBinaryData(const std::string& name, void* buffer, std::size_t bufferSize) const;

  void WriteInteger(const std::string& name, std::uint32_t value);
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1u : 0u); }
  void WriteString(const std::string& name, const std::string& value);
  void WriteBinaryData(const std::string& name, const void* data, std::size_t size);

  // Writes the whole key to a temporary file in its folder and renames it into place.
  // Raises SettingsError; the previous file then stays as it was.
  void Commit() const;

  // The file's text form of a key's values, and the parse of one (exposed for tests).
  struct Value {
    ValueKind kind = ValueKind::Dword;
    std::uint32_t dword = 0;
    std::string bytes;  // text or binary bytes
  };
  using Values = std::map<std::string, Value>;
  static std::string Serialize(const Values& values);
  static Values Parse(const std::string& text);

 private:
  std::string folder_;
  std::string file_;
  Values values_;
};

}  // namespace quillet::exchange
