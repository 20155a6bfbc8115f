// The typed settings store: kinds, reading rules as the registry has them, a tolerant parse
// of damaged files, and whole-file writing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings.h"
#include "app_fixture.h"

namespace quillet::app::testing {
namespace {

class SettingsTest : public AppTest {};

TEST_F(SettingsTest, ValuesOfEveryKindComeBackUnchanged) {
  const std::string awkward = std::string("a b\\c\td\ne\rf") + '\0' + "g \xD0\x96 \x7F\\x41";
  const std::string bytes("\x00\xFF\x10\n\r \\", 7);
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger("zero", 0);
    key.WriteInteger("max", 0xFFFFFFFFu);
    key.WriteString("awkward", awkward);
    key.WriteString("empty", "");
    key.WriteBinaryData("bytes", bytes.data(), bytes.size());
    key.WriteBinaryData("nothing", nullptr, 0);
    key.WriteBool("name with blanks\\ and \\s", true);
    key.Commit();
  }
  const SettingsKey key(kProgramSettingsKey);
  EXPECT_EQ(key.ReadInteger("zero"), 0u);
  EXPECT_EQ(key.ReadInteger("max"), 0xFFFFFFFFu);
  EXPECT_EQ(key.ReadString("awkward"), awkward);
  EXPECT_EQ(key.ReadString("empty"), "");
  EXPECT_TRUE(key.ValueExists("empty"));
  char buffer[16] = {};
  ASSERT_EQ(key.ReadBinaryData("bytes", buffer, sizeof buffer), bytes.size());
  EXPECT_EQ(std::string(buffer, bytes.size()), bytes);
  EXPECT_EQ(key.GetDataSize("bytes"), bytes.size());
  EXPECT_EQ(key.ReadBinaryData("nothing", buffer, sizeof buffer), 0u);
  EXPECT_TRUE(key.ValueExists("nothing"));
  EXPECT_TRUE(key.ReadBool("name with blanks\\ and \\s"));
}

TEST_F(SettingsTest, ReadingFailsWhereTheRegistryFails) {
  SettingsKey::Values values;
  values["dword"] = Dword(7);
  values["text"] = Sz("7");
  values["expand"] = Sz("%HOME%");
  values["expand"].kind = ValueKind::ExpandSz;
  values["binary"] = Binary({1, 2, 3, 4, 5});
  WriteSettings(values);
  const SettingsKey key(kProgramSettingsKey);
  char buffer[4] = {};

  EXPECT_THROW(key.ReadInteger("missing"), SettingsError);
  EXPECT_THROW(key.ReadInteger("text"), SettingsError);
  EXPECT_THROW(key.ReadInteger("binary"), SettingsError);
  EXPECT_THROW(key.ReadBool("text"), SettingsError);
  EXPECT_EQ(key.ReadString("missing"), "");  // a missing text reads as empty
  EXPECT_THROW(key.ReadString("dword"), SettingsError);
  EXPECT_THROW(key.ReadString("binary"), SettingsError);
  EXPECT_EQ(key.ReadString("expand"), "%HOME%");  // used unchanged
  EXPECT_EQ(key.ReadBinaryData("missing", buffer, sizeof buffer), 0u);
  EXPECT_THROW(key.ReadBinaryData("dword", buffer, sizeof buffer), SettingsError);
  EXPECT_THROW(key.ReadBinaryData("text", buffer, sizeof buffer), SettingsError);
  EXPECT_THROW(key.ReadBinaryData("binary", buffer, sizeof buffer), SettingsError);  // 5 > 4
  EXPECT_EQ(key.GetDataSize("missing"), 0u);
  EXPECT_EQ(key.ReadInteger("dword"), 7u);
}

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<std::string> present;  // values that parse
};

TEST_F(SettingsTest, DamagedFilesKeepOnlyTheirWellFormedValues) {
  const std::string h = "QuilletSettings 1\n";
  const ParseCase cases[] = {
      {"empty file", "", {}},
      {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {}},
      {"other header", "QuilletSettings 2\nDWORD a 1\n", {}},
      {"no header", "DWORD a 1\n", {}},
      {"good lines around bad ones",
       h + "DWORD a 1\nDWORD b -1\nDWORD c 4294967296\nDWORD d 12x\nDWORD e \nSZ f ok\nSZ g bad\\q\nSZ h \\x4\n"
           "BINARY i abc\nBINARY j zz\nBINARY k 00ff\nWORD l 1\nDWORD\nDWORD m\n\nSZ n  two blanks\n",
       {"a", "f", "k", "n"}},
      {"lines ending in CR LF", h.substr(0, h.size() - 1) + "\r\nDWORD a 5\r\nSZ b x\r\n", {"a", "b"}},
      {"last line without its end", h + "DWORD a 5\nSZ b unfinished", {"a", "b"}},
      {"empty name", h + "DWORD  5\n", {}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SettingsKey::Values values = SettingsKey::Parse(c.text);
    std::vector<std::string> names;
    for (const auto& [name, v] : values) names.push_back(name);
    EXPECT_EQ(names, c.present);
  }
  const auto values = SettingsKey::Parse(h + "SZ n  two blanks\nBINARY k 00ff\n");
  EXPECT_EQ(values.at("n").bytes, " two blanks");
  EXPECT_EQ(values.at("k").bytes, std::string("\x00\xff", 2));
}

TEST_F(SettingsTest, AFileTooLargeToBeSettingsReadsAsAnEmptyKey) {
  std::string text = "QuilletSettings 1\nDWORD a 1\n";
  text += "SZ big " + std::string(kMaxSettingsFileSize, 'x') + "\n";
  WriteFileBytes(SettingsFile(), text);
  const SettingsKey key(kProgramSettingsKey);
  EXPECT_FALSE(key.ValueExists("a"));
}

TEST_F(SettingsTest, CommitReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  WriteFileBytes(SettingsFile(), "garbage\nDWORD a 1\n");
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger("b", 2);
    key.Commit();
  }
  EXPECT_EQ(ReadFileBytes(SettingsFile()), "QuilletSettings 1\nDWORD b 2\n");
  const auto folder = std::filesystem::path(SettingsFile()).parent_path();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
  struct stat st {};
  ASSERT_EQ(::stat(SettingsFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SettingsTest, AFolderWhereTheFileShouldBeReadsEmptyAndCannotBeReplaced) {
  std::filesystem::create_directories(SettingsFile());
  SettingsKey key(kProgramSettingsKey);
  EXPECT_FALSE(key.ValueExists(setting::kExchangeType));
  key.WriteInteger("a", 1);
  EXPECT_THROW(key.Commit(), SettingsError);
  EXPECT_TRUE(std::filesystem::is_directory(SettingsFile()));
  const auto folder = std::filesystem::path(SettingsFile()).parent_path();
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "the temporary file is gone";
}

TEST_F(SettingsTest, OpeningCreatesTheKeyFolderButNoFile) {
  const auto folder = std::filesystem::path(SettingsFile()).parent_path();
  ASSERT_FALSE(std::filesystem::exists(folder));
  const SettingsKey key(kProgramSettingsKey);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(FileExists(SettingsFile()));
}

TEST_F(SettingsTest, AKeyThatCannotBeCreatedFailsToOpen) {
  // A file where the key's folder should be.
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  WriteFileBytes(config + "/KorvellInc", "not a folder");
  EXPECT_THROW(SettingsKey key(kProgramSettingsKey), SettingsError);
}

TEST_F(SettingsTest, TheConfigurationFolderFollowsXdgConfigHomeThenHome) {
  const std::string home = std::getenv("HOME");
  ::setenv("XDG_CONFIG_HOME", "/somewhere/else", 1);
  EXPECT_EQ(ConfigHome(), "/somewhere/else");
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  EXPECT_EQ(ConfigHome(), home + "/.config");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ConfigHome(), home + "/.config");
  EXPECT_EQ(SettingsKey::FileOf(kProgramSettingsKey), home + "/.config/KorvellInc/QuilletDesktop/settings");
}

}  // namespace
}  // namespace quillet::app::testing
