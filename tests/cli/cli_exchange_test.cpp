// quillet-cli with the sync software (import and export --user) and the sample folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "exchange/registry.h"
#include "exchange/transfer.h"
#include "tests/exchange/recording_ui.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"
#include "text/codepage.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using exchange::testing::kImportError;

using Result = testing::CliResult;
using testing::readText;

std::size_t lineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

using exchange::testing::handheldFileNames;
using fixture::filesIn;

// Record bytes of each of the ten files of a folder, table by table.
std::vector<std::vector<fixture::Bytes>> recordsOf(const std::string& folder) {
  std::vector<std::vector<fixture::Bytes>> tables;
  for (int i = 0; i < 10; ++i) {
    std::vector<fixture::Bytes> records;
    for (const auto& r : fixture::parsePdbFile(folder + "/" + exchange::HandheldFileName(i)).records)
      records.push_back(r.data);
    tables.push_back(records);
  }
  return tables;
}

class CliExchangeTest : public ::testing::Test {
 protected:
  fixture::TempDir home;

  CliExchangeTest() { fs::create_directories(home.file("tmp")); }

  std::string palm() const { return home.file("palm"); }
  std::string db() const { return home.file("store.mdb"); }

  Result run(const std::vector<std::string>& args) {
    return testing::runCli(args, testing::CliRun(home.path(), home.file("tmp")));
  }

  // The stand-in with the chosen libraries and users, and the sync software's key on it.
  void installSyncSoftware(const std::string& users, bool userData = true, bool installAide = true) {
    fs::create_directories(palm());
    for (const auto& [wanted, name] : {std::pair{userData, "UserData.dll"}, std::pair{installAide, "Instaide.dll"}})
      if (wanted) fs::copy_file(fs::path(QUILLET_STANDIN_DIR) / name, fs::path(palm()) / name);
    fixture::writeFileBytes(palm() + "/users.tsv", fixture::Bytes(users.begin(), users.end()));
    exchange::SettingsKey::Values values;
    values["DesktopPath"].kind = exchange::ValueKind::Sz;
    values["DesktopPath"].bytes = palm();
    const std::string key = home.file("config/U.S. Robotics/Pilot Desktop/Core");
    fs::create_directories(key);
    const std::string text = exchange::SettingsKey::Serialize(values);
    fixture::writeFileBytes(key + "/settings", fixture::Bytes(text.begin(), text.end()));
  }
  void writeBackup(const std::string& userFolder, const fixture::HandheldData& data) {
    fs::create_directories(palm() + "/" + userFolder + "/Backup");
    fixture::writeHandheldFolder(palm() + "/" + userFolder + "/Backup", data);
  }
};

TEST_F(CliExchangeTest, UserArgumentsThatCannotBeUsedExitTwoAndTouchNothing) {
  installSyncSoftware("000000FF\tAnn\tann\n");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"import", "--user"}, "--user needs an ID"},
      {{"import", "--user", "zz"}, "hexadecimal"},
      {{"export", "--user", "123456789"}, "hexadecimal"},
      {{"import", "--user", "ff", "folder"}, "not both"},
      {{"export", "--user", "ff", "--user", "ff"}, "given twice"},
      {{"import", "--user", "42", "--db", "x"}, "no such user: 00000042"},
      {{"export", "--user", "0", "--db", "x"}, "no such user: 00000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + (c.args.size() > 2 ? c.args[2] : ""));
    const Result r = run(c.args);
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(home.file("x")));
  EXPECT_FALSE(fs::exists(home.file("data")));
}

TEST_F(CliExchangeTest, WithoutTheSyncSoftwareUserCommandsExitTwo) {
  const struct {
    const char* name;
    bool userData, installAide;
    bool importFinds, exportFinds;
  } cases[] = {{"nothing installed", false, false, false, false},
               {"only UserData.dll", true, false, true, false},
               {"only Instaide.dll", false, true, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(palm());
    fs::remove_all(home.file("config"));
    if (c.userData || c.installAide) installSyncSoftware("000000FF\tAnn\tann\n", c.userData, c.installAide);
    writeBackup("ann", fixture::sampleData());
    for (const auto& [command, finds] : {std::pair{"import", c.importFinds}, std::pair{"export", c.exportFinds}}) {
      SCOPED_TRACE(command);
      fs::remove(db());
      const Result r = run({command, "--user", "000000FF", "--db", db()});
      EXPECT_EQ(r.exit, finds ? 0 : 2) << r.err;
      EXPECT_EQ(r.err.find("no sync software") != std::string::npos, !finds) << r.err;
      EXPECT_EQ(fs::exists(db()), finds);
    }
  }
}

TEST_F(CliExchangeTest, ImportReadsTheUsersBackupFolder) {
  installSyncSoftware("00000001\tBob\tbob\n000000FF\tAnn\tann folder\n");
  writeBackup("ann folder", fixture::sampleData());
  writeBackup("bob", fixture::HandheldData{});
  Result r = run({"import", "--user", "ff", "--db", db()});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("Data importing from handheld is finished"), std::string::npos);

  // What was imported goes back out as the same records.
  fs::create_directories(home.file("out"));
  r = run({"export", home.file("out"), "--db", db()});
  ASSERT_EQ(r.exit, 0) << r.err;
  const auto exported = recordsOf(home.file("out"));
  const fixture::HandheldData expected = exchange::testing::asExported(fixture::sampleData());
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(exported[static_cast<std::size_t>(i)], fixture::tableRecords(expected, kDataTables[i])) << kDataTables[i];
}

TEST_F(CliExchangeTest, ABackupFolderLackingFilesGivesTheErrorTextsAndExitOne) {
  installSyncSoftware("000000FF\tAnn\tann\n");
  writeBackup("ann", fixture::sampleData());
  fs::remove(palm() + "/ann/Backup/QL_Account.pdb");
  fs::remove(palm() + "/ann/Backup/QL_Currency.pdb");
  Result r = run({"import", "--user", "FF", "--db", db()});
  EXPECT_EQ(r.exit, 1);
  // Each missing file: its table's error text, then why.
  EXPECT_EQ(r.err, kImportError[4] + "\nno such file\n" + kImportError[8] + "\nno such file\n");

  fs::remove_all(palm() + "/ann/Backup");
  r = run({"import", "--user", "FF", "--db", db()});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(lineCount(r.err), 20u);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), kImportError[0]);
}

TEST_F(CliExchangeTest, ExportHandsTheTenFilesToTheInstallServiceAndLeavesNothingBehind) {
  installSyncSoftware("000000FF\tAnn\tann\n");
  writeBackup("ann", fixture::sampleData());
  ASSERT_EQ(run({"import", "--user", "ff", "--db", db()}).exit, 0);
  const Result r = run({"export", "--user", "000000ff", "--db", db()});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_NE(r.out.find("Data exporting is finished, syncronize now to update handhelds data"), std::string::npos);
  EXPECT_EQ(filesIn(palm() + "/ann/Install"), handheldFileNames());
  std::istringstream log(readText(palm() + "/install.log"));
  int i = 0;
  for (std::string line; std::getline(log, line); ++i) {
    ASSERT_LT(i, 10);
    EXPECT_EQ(line.substr(0, 4), "Ann\t");
    EXPECT_EQ(fs::path(line.substr(4)).filename().string(), exchange::HandheldFileName(i));
    EXPECT_EQ(fs::path(line.substr(4)).parent_path().parent_path().string(), home.file("tmp"));
  }
  EXPECT_EQ(i, 10);
  EXPECT_TRUE(filesIn(home.file("tmp")).empty());
  const auto installed = recordsOf(palm() + "/ann/Install");
  const fixture::HandheldData expected = exchange::testing::asExported(fixture::sampleData());
  for (int t = 0; t < 10; ++t)
    EXPECT_EQ(installed[static_cast<std::size_t>(t)], fixture::tableRecords(expected, kDataTables[t])) << kDataTables[t];
}

// ---------------------------------------------------------------- sample

TEST_F(CliExchangeTest, SampleWritesARealisticFolderThatTheSameSeedRepeats) {
  const auto sample = [&](const std::string& name, std::vector<std::string> extra) {
    std::vector<std::string> args = {"sample", home.file(name)};
    args.insert(args.end(), extra.begin(), extra.end());
    const Result r = run(args);
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return recordsOf(home.file(name));
  };
  const auto a = sample("a", {"--transactions", "300", "--seed", "7"});
  const auto b = sample("b", {"--seed", "7", "--transactions", "300"});
  const auto c = sample("c", {"--transactions", "300", "--seed", "8"});
  const auto d = sample("d", {});
  EXPECT_EQ(filesIn(home.file("a")), handheldFileNames());
  EXPECT_EQ(a, b);
  EXPECT_NE(a[9], c[9]);
  EXPECT_EQ(a[0], c[0]);  // the lists do not depend on the seed
  EXPECT_EQ(a[9].size(), 300u);
  EXPECT_EQ(d[9].size(), 500u);
  EXPECT_EQ(sample("none", {"--transactions", "0"})[9].size(), 0u);

  // Every table has rows; names in two scripts; four custom names.
  for (int t = 0; t < 9; ++t) EXPECT_FALSE(a[static_cast<std::size_t>(t)].empty()) << kDataTables[t];
  EXPECT_EQ(a[7].size(), 4u);
  bool cyrillic = false, latin = false;
  for (const auto& record : a[0]) {
    const std::string name(record.begin() + 4, record.end() - 1);  // ID, then the NUL-terminated name
    const std::string utf8 = text::cp1251ToUtf8(name);
    cyrillic = cyrillic || utf8.find("Продукты") != std::string::npos;
    latin = latin || name == "Transport";
  }
  EXPECT_TRUE(cyrillic);
  EXPECT_TRUE(latin);
  EXPECT_GE(a[4].size(), 2u);  // currencies

  // The folder imports without a complaint, and dates spread over two years.
  const Result r = run({"import", home.file("a"), "--db", db()});
  EXPECT_EQ(r.exit, 0) << r.err;
  std::set<int> years;
  for (const auto& record : a[9]) years.insert(record[62] << 8 | record[63]);  // the date's year word
  EXPECT_EQ(years, (std::set<int>{2024, 2025}));
}

TEST_F(CliExchangeTest, SampleArgumentsThatCannotBeUsedExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"sample"},
      {"sample", "f", "--transactions"},
      {"sample", "f", "--transactions", "-1"},
      {"sample", "f", "--transactions", "65536"},
      {"sample", "f", "--seed", "x"},
      {"sample", "f", "g"},
      {"sample", "f", "--frobnicate"},
  };
  for (const auto& args : cases) {
    const Result r = run(args);
    EXPECT_EQ(r.exit, 2) << args.size();
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(home.file("f")));
}

}  // namespace
}  // namespace quillet
