// The sync software's libraries, loaded from folders, and the stand-in pair built from our
// sources: users, root folder, install hand-off, and the automatic export's private folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <optional>

#include "exchange/automatic.h"
#include "exchange/palmdesktop.h"
#include "exchange/registry.h"
#include "tests/exchange/recording_ui.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::exchange {
namespace {

namespace fs = std::filesystem;
using testing::kExportError;
using testing::Kind;
using testing::RecordingUi;

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Copies the chosen stand-in libraries into the folder with the users file.
void installStandIn(const std::string& folder, const std::string& users, bool userData = true,
                    bool installAide = true) {
  fs::create_directories(folder);
  if (userData) fs::copy_file(fs::path(QUILLET_STANDIN_DIR) / kUserDataLibrary, fs::path(folder) / kUserDataLibrary);
  if (installAide)
    fs::copy_file(fs::path(QUILLET_STANDIN_DIR) / kInstallAideLibrary, fs::path(folder) / kInstallAideLibrary);
  writeText(folder + "/users.tsv", users);
}

// An environment variable set for one test and put back after it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserIdTest, IdsAreEightUpperCaseHexDigitsAndReadBack) {
  const struct {
    std::uint32_t id;
    const char* text;
  } cases[] = {{0, "00000000"}, {0xFF, "000000FF"}, {0x1A2B3C4D, "1A2B3C4D"}, {0xFFFFFFFF, "FFFFFFFF"}};
  for (const auto& c : cases) {
    EXPECT_EQ(UserIdText(c.id), c.text);
    EXPECT_EQ(ParseUserId(c.text), c.id);
  }
  EXPECT_EQ(ParseUserId("ff"), 0xFFu);
  EXPECT_EQ(ParseUserId("1a2b3c4d"), 0x1A2B3C4Du);
  for (const char* bad : {"", "123456789", "0x12", "12 ", "-1", "g"}) EXPECT_EQ(ParseUserId(bad), std::nullopt) << bad;
}

class PalmDesktopTest : public ::testing::Test {
 protected:
  fixture::TempDir dir;
  std::string root() const { return dir.file("palm"); }
};

TEST_F(PalmDesktopTest, TheStandInListsItsUsersAndItsOwnFolderAsRoot) {
  installStandIn(root(),
                 "000000FF\tAnn\tann\r\n"
                 "not a user line\n"
                 "zz\tBad id\tx\n"
                 "00000001\t\tno name\n"
                 "1a2b3c4d\tБорис\tboris folder\n"
                 "00000002\tNo folder\n"
                 "00000003\tEmpty folder\t\n");
  PalmDesktop palm;
  palm.Load(root(), "");
  ASSERT_TRUE(palm.Found());
  EXPECT_EQ(palm.UserDataPath(), root() + "/UserData.dll");
  EXPECT_EQ(palm.InstallAidePath(), root() + "/Instaide.dll");
  EXPECT_EQ(palm.RootDirectory(), root() + "/");
  const std::vector<PalmUser> users = palm.Users();
  ASSERT_EQ(users.size(), 3u);
  EXPECT_EQ(users[0].ID, 0xFFu);
  EXPECT_EQ(users[0].Name, "Ann");
  EXPECT_EQ(users[0].Directory, "ann");
  EXPECT_EQ(users[1].ID, 0x1A2B3C4Du);
  EXPECT_EQ(users[1].Name, "Борис");
  EXPECT_EQ(users[1].Directory, "boris folder");
  EXPECT_EQ(users[2].Directory, "");
  EXPECT_EQ(palm.BackupFolder("ann"), root() + "/ann/Backup/");
  EXPECT_EQ(palm.BackupFolder("ann/"), root() + "/ann/Backup/");
}

TEST_F(PalmDesktopTest, AMissingUsersFileListsNoOne) {
  installStandIn(root(), "");
  fs::remove(root() + "/users.tsv");
  PalmDesktop palm;
  palm.Load(root(), root());
  EXPECT_TRUE(palm.Found());
  EXPECT_TRUE(palm.Users().empty());
}

TEST_F(PalmDesktopTest, ALibraryLackingAnEntryPointCountsAsNotFound) {
  const std::string incomplete = QUILLET_INCOMPLETE_DIR;
  installStandIn(root(), "00000009\tReal\treal\n", true, false);
  const struct {
    const char* name;
    std::string first, second;
    std::string loaded;
  } cases[] = {{"incomplete only", incomplete, "", ""},
               {"incomplete first, complete second", incomplete, root(), root() + "/UserData.dll"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PalmDesktop palm;
    palm.Load(c.first, c.second);
    EXPECT_EQ(palm.UserDataPath(), c.loaded);
    EXPECT_EQ(palm.HasUserData(), !c.loaded.empty());
    EXPECT_FALSE(palm.HasInstallAide());
    // Without the user manager nothing is called: no users, no root, no backup folder.
    if (c.loaded.empty()) {
      EXPECT_TRUE(palm.Users().empty());
      EXPECT_EQ(palm.RootDirectory(), "");
      EXPECT_EQ(palm.BackupFolder("x"), std::nullopt);
    } else {
      ASSERT_EQ(palm.Users().size(), 1u);
      EXPECT_EQ(palm.Users()[0].Name, "Real");
    }
    EXPECT_FALSE(palm.InstallFile("Real", "/nonexistent"));
  }
}

TEST_F(PalmDesktopTest, TheProbeReadsTheSyncSoftwaresKey) {
  ScopedEnv config("XDG_CONFIG_HOME", dir.makeDir("config"));
  installStandIn(root(), "00000001\tA\ta\n");
  {
    PalmDesktop palm;
    palm.Probe();  // no key at all
    EXPECT_FALSE(palm.HasUserData());
  }
  const struct {
    const char* name;
    std::function<void(SettingsKey&)> write;
    bool found;
  } cases[] = {
      {"DesktopPath", [&](SettingsKey& k) { k.WriteString(kDesktopPathValue, root()); }, true},
      {"Path only", [&](SettingsKey& k) { k.WriteString(kPathValue, root() + "/"); }, true},
      {"DesktopPath of the wrong kind, Path good",
       [&](SettingsKey& k) {
         k.WriteInteger(kDesktopPathValue, 1);
         k.WriteString(kPathValue, root());
       },
       true},
      {"both of the wrong kind",
       [&](SettingsKey& k) {
         k.WriteInteger(kDesktopPathValue, 1);
         k.WriteBinaryData(kPathValue, "ab", 2);
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(SettingsKey::FileOf(kPalmDesktopKey));
    SettingsKey key(kPalmDesktopKey);
    c.write(key);
    key.Commit();
    PalmDesktop palm;
    palm.Probe();
    EXPECT_EQ(palm.Found(), c.found);
  }
}

TEST_F(PalmDesktopTest, InstallCopiesTheFileIntoTheUsersInstallFolder) {
  installStandIn(root(), "00000001\tAnn\tann\n00000002\tBob\tbob\n");
  const std::string file = dir.file("QL_Account.pdb");
  writeText(file, std::string("\0\1\2payload", 10));
  PalmDesktop palm;
  palm.Load(root(), "");
  ASSERT_TRUE(palm.InstallFile("Bob", file));
  EXPECT_EQ(readText(root() + "/bob/Install/QL_Account.pdb"), std::string("\0\1\2payload", 10));
  EXPECT_FALSE(fs::exists(root() + "/ann"));
  EXPECT_EQ(readText(root() + "/install.log"), "Bob\t" + file + "\n");
  // An unknown user or a missing file installs nothing.
  EXPECT_TRUE(palm.InstallFile("Nobody", file));
  EXPECT_TRUE(palm.InstallFile("Ann", dir.file("missing.pdb")));
  EXPECT_FALSE(fs::exists(root() + "/ann/Install/missing.pdb"));
  EXPECT_EQ(readText(root() + "/install.log"), "Bob\t" + file + "\n");
}

TEST_F(PalmDesktopTest, ThePrivateFolderIsFreshOnlyOursAndRemovedWithItsFiles) {
  ScopedEnv tmp("TMPDIR", dir.makeDir("tmp"));
  std::string first;
  {
    PrivateTempFolder a;
    PrivateTempFolder b;
    ASSERT_FALSE(a.path().empty());
    EXPECT_NE(a.path(), b.path());
    EXPECT_EQ(fs::path(a.path()).parent_path(), fs::path(dir.file("tmp")));
    struct stat st {};
    ASSERT_EQ(::stat(a.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    writeText(a.path() + "/left.pdb", "x");
    first = a.path();
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_TRUE(fs::is_empty(dir.file("tmp")));

  // A relative TMPDIR is not used: the folder goes below /tmp instead.
  ScopedEnv relative("TMPDIR", "relative/tmp");
  PrivateTempFolder c;
  EXPECT_EQ(c.path().rfind("/tmp/", 0), 0u) << c.path();
}

class AutomaticExportTest : public ::testing::Test {
 protected:
  fixture::TempStore store;
  std::string root() const { return store.dir.file("palm"); }
};

TEST_F(AutomaticExportTest, TenFilesAreHandedOverInTableOrderAndNothingIsLeft) {
  ScopedEnv tmp("TMPDIR", store.dir.makeDir("tmp"));
  installStandIn(root(), "00000001\tAnn\tann\n");
  PalmDesktop palm;
  palm.Load(root(), "");
  RecordingUi ui;
  EXPECT_EQ(exportToInstallService(store.dm(), palm, "Ann", ui), 0);
  EXPECT_TRUE(ui.texts(Kind::Error).empty());
  EXPECT_EQ(ui.texts(Kind::Status).back(), "Data exporting is finished, syncronize now to update handhelds data");
  EXPECT_EQ(ui.count(Kind::Beep), 1);
  std::istringstream log(readText(root() + "/install.log"));
  int i = 0;
  for (std::string line; std::getline(log, line); ++i) {
    ASSERT_LT(i, 10);
    EXPECT_EQ(fs::path(line.substr(line.find('\t') + 1)).filename().string(), HandheldFileName(i));
  }
  EXPECT_EQ(i, 10);
  EXPECT_TRUE(fs::is_empty(store.dir.file("tmp")));
  for (int t = 0; t < 10; ++t)
    EXPECT_EQ(fixture::parsePdbFile(root() + "/ann/Install/" + HandheldFileName(t)).records.size(), 0u);
}

TEST_F(AutomaticExportTest, WithoutAPrivateFolderEveryTableReportsItsErrorAndNothingIsWritten) {
  ScopedEnv tmp("TMPDIR", store.dir.file("no such folder"));
  installStandIn(root(), "00000001\tAnn\tann\n");
  PalmDesktop palm;
  palm.Load(root(), "");
  RecordingUi ui;
  EXPECT_EQ(exportToInstallService(store.dm(), palm, "Ann", ui), 10);
  EXPECT_EQ(ui.texts(Kind::Error), kExportError);
  EXPECT_EQ(ui.texts(Kind::Status).back(), "Data exporting is finished, syncronize now to update handhelds data");
  EXPECT_EQ(ui.count(Kind::Beep), 1);
  EXPECT_FALSE(fs::exists(root() + "/install.log"));
  EXPECT_FALSE(fs::exists(store.dir.file("no such folder")));
}

}  // namespace
}  // namespace quillet::exchange
