// quillet-cli run as a program: its three commands, usage text and exit statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "tests/cli/json_value.h"
#include "tests/exchange/recording_ui.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/handheld_fixture.h"
#include "store/database.h"
#include "tests/support/temp_store.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using exchange::testing::asExported;
using exchange::testing::kExportError;
using exchange::testing::kExportStatus;
using exchange::testing::kImportError;
using exchange::testing::kImportStatus;
using exchange::testing::kTables;
using exchange::testing::richData;
using testing::JsonValue;
using testing::parseJson;

using Result = testing::CliResult;
using testing::readText;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// Well-formed UTF-8: lead bytes with the right number of continuation bytes.
bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int follow = 0;
    if (c < 0x80) follow = 0;
    else if ((c & 0xE0) == 0xC0) follow = 1;
    else if ((c & 0xF0) == 0xE0) follow = 2;
    else if ((c & 0xF8) == 0xF0) follow = 3;
    else return false;
    for (int k = 0; k < follow; ++k) {
      if (++i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return false;
    }
  }
  return true;
}

// Each test gets its own home: the default store, the configuration and the temporary
// folder all lie below it.
class CliTest : public ::testing::Test {
 protected:
  fixture::TempDir home;
  fixture::HandheldData data = richData();

  CliTest() { fs::create_directories(tmpDir()); }

  std::string tmpDir() const { return home.file("tmp"); }
  std::string defaultStore() const { return home.file("data/KorvellInc/QuilletDesktop/Quillet.mdb"); }

  // fileLimit: how far the program's files may grow (a full disk).
  Result run(const std::vector<std::string>& args, rlim_t fileLimit = RLIM_INFINITY) {
    testing::CliRun how(home.path(), tmpDir());
    how.fileLimit = fileLimit;
    return testing::runCli(args, how);
  }

  std::string handheldFolder(const fixture::HandheldData& d) {
    const std::string dir = home.makeDir("handheld");
    fixture::writeHandheldFolder(dir, d);
    return dir;
  }
};

std::vector<std::string> importLines() {
  std::vector<std::string> v = {"Clearing all tables..."};
  v.insert(v.end(), kImportStatus.begin(), kImportStatus.end());
  v.push_back("Data importing from handheld is finished");
  return v;
}
std::vector<std::string> exportLines() {
  std::vector<std::string> v = kExportStatus;
  v.push_back("Data exporting to handheld is finished");
  return v;
}

TEST_F(CliTest, HelpPrintsTheUsageAndSucceeds) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-h"}, {"--help"}, {"import", "somewhere", "--help"}}) {
    const Result r = run(args);
    EXPECT_EQ(r.exit, 0) << args[0];
    EXPECT_EQ(r.out.rfind("Usage: quillet-cli dump FILE.pdb [--json]\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("quillet-cli import FOLDER [--db FILE]"), std::string::npos);
    EXPECT_NE(r.out.find("quillet-cli export FOLDER [--db FILE]"), std::string::npos);
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(CliTest, BadArgumentsGiveTheUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"dump"},
      {"dump", "a.pdb", "b.pdb"},
      {"dump", "a.pdb", "--db", "x"},
      {"dump", "a.pdb", "--json", "--json"},
      {"import"},
      {"import", ""},
      {"import", "folder", "--db"},
      {"import", "folder", "--json"},
      {"export", "folder", "--db", "a", "--db", "b"},
      {"export", "folder", "other"},
      {"export", "folder", "--bogus"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += "[" + a + "]";
    const Result r = run(args);
    EXPECT_EQ(r.exit, 2) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_NE(r.err.find("Usage: quillet-cli"), std::string::npos) << shown << r.err;
  }
  // Nothing was created by a refused command.
  EXPECT_FALSE(fs::exists(defaultStore()));
}

TEST_F(CliTest, ImportThenExportRoundTripsEveryRecord) {
  const std::string store = home.file("mine.mdb");
  const Result in = run({"import", handheldFolder(data), "--db", store});
  EXPECT_EQ(in.exit, 0) << in.err;
  EXPECT_EQ(lines(in.out), importLines());
  EXPECT_EQ(in.err, "");

  const std::string out = home.makeDir("out");
  const Result ex = run({"export", out, "--db", store});
  EXPECT_EQ(ex.exit, 0) << ex.err;
  EXPECT_EQ(lines(ex.out), exportLines());
  EXPECT_EQ(ex.err, "");

  const fixture::HandheldData expected = asExported(data);
  for (int i = 0; i < 10; ++i) {
    const auto file = fixture::parsePdbFile((fs::path(out) / fixture::handheldFileName(kTables[i])).string());
    EXPECT_EQ(file.type, "DATA");
    EXPECT_EQ(file.creator, "IDql");
    const auto want = fixture::tableRecords(expected, kTables[i]);
    ASSERT_EQ(file.records.size(), want.size()) << kTables[i];
    for (std::size_t k = 0; k < want.size(); ++k) EXPECT_EQ(fixture::hex(file.records[k].data), fixture::hex(want[k]));
  }
  EXPECT_FALSE(fs::exists(defaultStore()));
}

TEST_F(CliTest, WithoutDbTheDefaultStoreIsUsedAndKept) {
  const Result in = run({"import", handheldFolder(data)});
  ASSERT_EQ(in.exit, 0) << in.err;
  EXPECT_TRUE(fs::exists(defaultStore()));

  const std::string out = home.makeDir("out");
  const Result ex = run({"export", out});
  ASSERT_EQ(ex.exit, 0) << ex.err;
  EXPECT_EQ(fixture::parsePdbFile(out + "/QL_Transaction.pdb").records.size(), data.transactions.size());
  EXPECT_EQ(fixture::parsePdbFile(out + "/QL_Currency.pdb").records.size(), data.currencies.size());
}

TEST_F(CliTest, AMissingFileIsReportedAndExitsOne) {
  const std::string dir = handheldFolder(data);
  fs::remove(dir + "/QL_Category4.pdb");
  const Result r = run({"import", dir, "--db", home.file("s.mdb")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err, "Can't import category 4\nno such file\n");
  EXPECT_EQ(lines(r.out), importLines());
}

TEST_F(CliTest, ADamagedFileIsReportedWithWhatIsWrong) {
  data.transactions[1].date.month = 13;
  const Result r = run({"import", handheldFolder(data), "--db", home.file("s.mdb")});
  EXPECT_EQ(r.exit, 1);
  const auto err = lines(r.err);
  ASSERT_EQ(err.size(), 2u) << r.err;
  EXPECT_EQ(err[0], "Can't import transactions");
  EXPECT_NE(err[1].find("Invalid argument to date encode"), std::string::npos) << err[1];
}

TEST_F(CliTest, ExportToAMissingFolderGivesTenErrors) {
  ASSERT_EQ(run({"import", handheldFolder(data), "--db", home.file("s.mdb")}).exit, 0);
  const Result r = run({"export", home.file("missing/folder"), "--db", home.file("s.mdb")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(lines(r.err), kExportError);
  EXPECT_EQ(lines(r.out), exportLines());
}

TEST_F(CliTest, AnEmptyFolderImportsNothingAndExitsOne) {
  const Result r = run({"import", home.makeDir("empty"), "--db", home.file("s.mdb")});
  EXPECT_EQ(r.exit, 1);
  std::vector<std::string> expected;
  for (const std::string& text : kImportError) {
    expected.push_back(text);
    expected.push_back("no such file");
  }
  EXPECT_EQ(lines(r.err), expected);
  EXPECT_EQ(lines(r.out).back(), "Data importing from handheld is finished");
}

class CliStoreTest : public CliTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliStoreTest, AStoreThatIsNotADatabaseIsLeftAsItWas) {
  std::string junk;
  while (junk.size() < 8192) junk += "This is a text file, not a store.\n";
  const std::string store = home.file("junk.mdb");
  fixture::writeFileBytes(store, fixture::Bytes(junk.begin(), junk.end()));
  const std::string folder = handheldFolder(data);

  const Result r = run({GetParam(), folder, "--db", store});

  EXPECT_EQ(r.exit, 2);
  EXPECT_NE(r.err.find("not a database"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readText(store), junk);
  // Nothing appeared beside it (no compacted copy, no journal).
  for (const auto& entry : fs::directory_iterator(home.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind("mdb", 0), std::string::npos) << entry.path();
    EXPECT_EQ(entry.path().filename().string().find("junk.mdb-"), std::string::npos) << entry.path();
  }
  // The handheld files were not touched either.
  EXPECT_EQ(fixture::readFileBytes(folder + "/QL_Account.pdb"),
            fixture::pdbBytes("QL_Account", fixture::tableRecords(data, "Account")));
}

INSTANTIATE_TEST_SUITE_P(Commands, CliStoreTest, ::testing::Values("import", "export"),
                         [](const auto& param) { return std::string(param.param); });

TEST_F(CliTest, DumpShowsHeaderRecordsAndDecodedFields) {
  data.category2 = {{7, "Food"}, {-1, "\xCF\xF0\xE8"}};
  const std::string file = fixture::writeHandheldFile(home.makeDir("h"), data, "Category2");

  const Result r = run({"dump", file});

  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto l = lines(r.out);
  auto has = [&](const std::string& want) { return std::find(l.begin(), l.end(), want) != l.end(); };
  EXPECT_TRUE(has("Name: \"QL_Category2\"")) << r.out;
  EXPECT_TRUE(has("Type: \"DATA\""));
  EXPECT_TRUE(has("Creator: \"IDql\""));
  EXPECT_TRUE(has("Records: 2"));
  EXPECT_TRUE(has("Record 0: offset 96, attributes 0x00, unique ID 0, length 9")) << r.out;
  EXPECT_TRUE(has("Record 1: offset 105, attributes 0x00, unique ID 1, length 8")) << r.out;
  EXPECT_TRUE(has("  ID: 7"));
  EXPECT_TRUE(has("  NAME: \"Food\""));
  EXPECT_TRUE(has("  ID: -1"));
  EXPECT_TRUE(has("  NAME: \"При\"")) << r.out;
  EXPECT_TRUE(fs::is_empty(tmpDir()));
}

TEST_F(CliTest, DumpJsonIsOneValidObjectWithRecordsAndRows) {
  data.transactions[2].notes = std::string("tab\there \"quoted\" back\\slash \x01\x1f end");
  const std::string file = fixture::writeHandheldFile(home.makeDir("h"), data, "Transaction");

  const Result r = run({"dump", file, "--json"});

  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  ASSERT_TRUE(validUtf8(r.out));
  JsonValue j;
  ASSERT_NO_THROW(j = parseJson(r.out)) << r.out;
  EXPECT_EQ(j["name"].string, "QL_Transaction");
  EXPECT_EQ(j["type"].string, "DATA");
  EXPECT_EQ(j["creator"].string, "IDql");
  EXPECT_EQ(j["attributes"].number, 0);
  EXPECT_EQ(j["version"].number, 0);
  EXPECT_EQ(j["creationDate"].number, static_cast<double>(fixture::PdbOptions{}.creationDate));
  EXPECT_EQ(j["modificationDate"].number, static_cast<double>(fixture::PdbOptions{}.modificationDate));

  const auto records = fixture::tableRecords(data, "Transaction");
  ASSERT_EQ(j["records"].array.size(), records.size());
  std::uint32_t offset = 80 + 8 * 3;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const JsonValue& rec = j["records"][k];
    EXPECT_EQ(rec["offset"].number, offset);
    EXPECT_EQ(rec["attributes"].number, 0);
    EXPECT_EQ(rec["uniqueId"].number, static_cast<double>(k));
    EXPECT_EQ(rec["length"].number, static_cast<double>(records[k].size()));
    std::string hex = fixture::hex(records[k]);
    std::erase(hex, ' ');
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(rec["hex"].string, hex);
    offset += static_cast<std::uint32_t>(records[k].size());
  }

  ASSERT_EQ(j["rows"].array.size(), records.size());
  const JsonValue& first = j["rows"][0];
  EXPECT_EQ(first["ID"].number, 100);
  EXPECT_EQ(first["ACC_TO_ID"].number, 10);
  EXPECT_EQ(first["AMOUNT"].number, 12.5);
  EXPECT_EQ(first["CURRENCY_RATE"].number, 0);  // FF FF FF FF: no own rate
  EXPECT_EQ(first["FADD"].type, JsonValue::Type::Bool);
  EXPECT_TRUE(first["FADD"].boolean);
  EXPECT_FALSE(first["FMIRROR"].boolean);
  EXPECT_EQ(first["DATE"].string, "2002-08-09T14:15:30");
  EXPECT_EQ(first["NOTES"].string, "first\r\nsecond");
  EXPECT_EQ(j["rows"][1]["NOTES"].string, "покупка");
  EXPECT_EQ(j["rows"][1]["CURRENCY_RATE"].number, 0.5);
  EXPECT_EQ(j["rows"][2]["AMOUNT"].number, static_cast<double>(0.1f));
  EXPECT_EQ(j["rows"][2]["NOTES"].string, data.transactions[2].notes);
  EXPECT_FALSE(j.has("errors"));
}

TEST_F(CliTest, DumpJsonOfAnotherDatabaseHasNoRows) {
  const std::string file = home.file("other.pdb");
  fixture::writeFileBytes(file, fixture::pdbBytes("MemoDB", {fixture::Bytes{1, 2, 0xFE}}, {.type = "DATA", .creator = "memo"}));
  const Result r = run({"dump", file, "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const JsonValue j = parseJson(r.out);
  EXPECT_EQ(j["name"].string, "MemoDB");
  EXPECT_EQ(j["creator"].string, "memo");
  EXPECT_EQ(j["records"][0]["hex"].string, "0102fe");
  EXPECT_FALSE(j.has("rows"));
}

TEST_F(CliTest, DumpOfARecordThatDoesNotDecodeExitsOne) {
  data.transactions[1].date.hour = 24;
  const std::string file = fixture::writeHandheldFile(home.makeDir("h"), data, "Transaction");
  const Result r = run({"dump", file, "--json"});
  EXPECT_EQ(r.exit, 1);
  const JsonValue j = parseJson(r.out);
  EXPECT_EQ(j["rows"].array.size(), 3u);
  EXPECT_EQ(j["rows"][1].type, JsonValue::Type::Null);
  EXPECT_EQ(j["rows"][2]["ID"].number, 102);  // the records after it are still shown
  ASSERT_EQ(j["errors"].array.size(), 1u);
  EXPECT_EQ(j["errors"][0]["record"].number, 1);
  EXPECT_NE(j["errors"][0]["message"].string.find("Invalid argument to time encode"), std::string::npos);
  EXPECT_NE(r.err.find("Invalid argument to time encode"), std::string::npos);
}

TEST_F(CliTest, DumpOfAMissingOrDamagedFile) {
  const Result missing = run({"dump", home.file("nothing.pdb")});
  EXPECT_EQ(missing.exit, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("nothing.pdb"), std::string::npos);

  fixture::Bytes bytes = fixture::pdbBytes("QL_Account", fixture::tableRecords(data, "Account"));
  bytes.resize(50);  // shorter than the header
  const std::string file = home.file("short.pdb");
  fixture::writeFileBytes(file, bytes);
  const Result damaged = run({"dump", file, "--json"});
  EXPECT_EQ(damaged.exit, 1);
  EXPECT_EQ(damaged.out, "");
  EXPECT_NE(damaged.err.find("short.pdb"), std::string::npos);
}

// Fault: a mistyped --db became a new, empty store, and the export then wrote its empty
// tables over ten good handheld files.
TEST_F(CliTest, AMistypedStoreIsRefusedAndNothingIsWritten) {
  const std::string store = home.file("Quillet.mdb");
  ASSERT_EQ(run({"import", handheldFolder(data), "--db", store}).exit, 0);
  const std::string out = home.makeDir("out");
  ASSERT_EQ(run({"export", out, "--db", store}).exit, 0);
  const fixture::Bytes accounts = fixture::readFileBytes(out + "/QL_Account.pdb");

  const std::string typo = home.file("Quilet.mdb");
  const Result r = run({"export", out, "--db", typo});
  EXPECT_EQ(r.exit, 2);
  EXPECT_EQ(r.err, "no store at " + typo + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(fs::exists(typo));
  EXPECT_EQ(fixture::readFileBytes(out + "/QL_Account.pdb"), accounts);

  // The import alone makes a new store where --db names none.
  const Result in = run({"import", handheldFolder(data), "--db", typo});
  EXPECT_EQ(in.exit, 0) << in.err;
  EXPECT_TRUE(fs::exists(typo));
}

TEST_F(CliTest, WithoutAnyStoreOnlyTheImportCreatesTheDefaultOne) {
  const Result ex = run({"export", home.makeDir("out")});
  EXPECT_EQ(ex.exit, 2);
  EXPECT_EQ(ex.err, "no store at " + defaultStore() + "\n");
  EXPECT_FALSE(fs::exists(defaultStore()));
  EXPECT_TRUE(fs::is_empty(home.file("out")));
}

TEST_F(CliTest, AStoreInUseIsRefusedNamingIt) {
  const std::string store = home.file("busy.mdb");
  ASSERT_EQ(run({"import", handheldFolder(data), "--db", store}).exit, 0);
  TKADaoDatabase holder;
  holder.Database = store;
  holder.SetActive(true);
  for (const char* command : {"import", "export"}) {
    const Result r = run({command, home.makeDir(std::string("f-") + command), "--db", store});
    EXPECT_EQ(r.exit, 2) << command;
    EXPECT_EQ(r.err, "database is locked: another program is using the store " + store + "\n") << command;
    EXPECT_EQ(r.out, "") << command;
  }
}

// Fault: an import whose fill failed on a full disk printed "finished", exited 1, and left
// every table empty.
TEST_F(CliTest, AnImportThatCannotBeSavedExitsTwoAndKeepsThePreviousData) {
  const std::string store = home.file("s.mdb");
  ASSERT_EQ(run({"import", handheldFolder(data), "--db", store}).exit, 0);
  const std::string before = home.makeDir("before");
  ASSERT_EQ(run({"export", before, "--db", store}).exit, 0);

  const std::string big = home.makeDir("big");
  fixture::writeHandheldFolder(big, fixture::syntheticData(4000, 40));
  const Result r = run({"import", big, "--db", store}, fs::file_size(store) + 16384);

  EXPECT_EQ(r.exit, 2);
  EXPECT_EQ(r.err.rfind("nothing was imported; the store keeps its previous data\n", 0), 0u) << r.err;
  const auto out = lines(r.out);
  EXPECT_EQ(std::find(out.begin(), out.end(), "Data importing from handheld is finished"), out.end());
  const std::string after = home.makeDir("after");
  ASSERT_EQ(run({"export", after, "--db", store}).exit, 0);
  for (int i = 0; i < 10; ++i) {
    const std::string name = fixture::handheldFileName(kTables[i]);
    EXPECT_EQ(fixture::parsePdbFile(after + "/" + name).records.size(),
              fixture::parsePdbFile(before + "/" + name).records.size())
        << name;
  }
}

// Fault: when only the compaction at the close failed, a completed export exited 2 with
// nothing but the compaction's text.
TEST_F(CliTest, OnlyAFailedCompactionSaysTheDataIsSavedAndExitsThree) {
  const std::string store = home.file("s.mdb");
  ASSERT_EQ(run({"import", handheldFolder(data), "--db", store}).exit, 0);
  const auto size = fs::file_size(store);
  ASSERT_GT(size, 24576u);
  const std::string out = home.makeDir("out");

  // Room for the handheld files and the filter row, not for a compacted copy of the store.
  const Result r = run({"export", out, "--db", store}, 16384);

  EXPECT_EQ(r.exit, 3) << r.err;
  EXPECT_EQ(lines(r.out), exportLines());
  EXPECT_EQ(r.err.rfind("The data is saved; only the compaction of " + store + " failed: ", 0), 0u) << r.err;
  EXPECT_EQ(fixture::parsePdbFile(out + "/QL_Transaction.pdb").records.size(), data.transactions.size());
  for (const auto& entry : fs::directory_iterator(home.path()))
    EXPECT_NE(entry.path().filename().string().rfind("mdb", 0), 0u) << entry.path();
  const Result again = run({"export", out, "--db", store});
  EXPECT_EQ(again.exit, 0) << again.err;
}

}  // namespace
}  // namespace quillet
