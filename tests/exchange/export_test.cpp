#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/transfer.h"
#include "pdb/container.h"
#include "store/schema.h"
#include "tests/exchange/recording_ui.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::exchange {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const char* const kManualEnd = "Data exporting to handheld is finished";
const char* const kAutomaticEnd = "Data exporting is finished, syncronize now to update handhelds data";

class ExportTest : public ::testing::Test {
 protected:
  fixture::TempStore store;
  RecordingUi ui;
  fixture::HandheldData data = richData();

  void importData() {
    const std::string dir = store.dir.makeDir("handheld");
    fixture::writeHandheldFolder(dir, data);
    RecordingUi quiet;
    ASSERT_EQ(importFromFolder(store.dm(), dir, quiet), 0);
  }
  std::string fileIn(const std::string& folder, int table) const {
    return (fs::path(folder) / fixture::handheldFileName(kTables[table])).string();
  }
};

// Clears the install hand-off again whatever the test did.
struct InstallHandlerReset {
  ~InstallHandlerReset() { pdb::setInstallHandler(nullptr); }
};

TEST_F(ExportTest, ManualExportWritesTenDatabasesOfTypeDataAndCreatorIDql) {
  importData();
  const std::string out = store.dir.makeDir("out");

  EXPECT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 0);

  std::vector<std::string> expected = kExportStatus;
  expected.push_back(kManualEnd);
  EXPECT_EQ(ui.texts(Kind::Status), expected);
  EXPECT_EQ(ui.count(Kind::Error), 0);
  EXPECT_EQ(ui.count(Kind::Warning), 0);
  EXPECT_EQ(ui.count(Kind::Beep), 1);
  EXPECT_EQ(ui.events.back().kind, Kind::Beep);
  EXPECT_LT(ui.indexOf(Kind::AfterExport), ui.indexOf(Kind::Status, kManualEnd));

  for (int i = 0; i < 10; ++i) {
    const fixture::ParsedPdb file = fixture::parsePdbFile(fileIn(out, i));
    EXPECT_EQ(file.name, std::string("QL_") + kTables[i]);
    EXPECT_EQ(file.type, "DATA");
    EXPECT_EQ(file.creator, "IDql");
    EXPECT_EQ(file.attributes, 0);
    EXPECT_EQ(file.recordCount, fixture::tableRecords(data, kTables[i]).size()) << kTables[i];
  }
  // Nothing but the ten files: no temporary names left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 10);
  // The export changes nothing in the tables.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(store.dm().DataView(i).RecordCount(), static_cast<int>(fixture::tableRecords(data, kTables[i]).size()));
    EXPECT_FALSE(store.dm().DataView(i).BatchMode());
  }
}

TEST_F(ExportTest, ImportThenExportGivesBackTheSameRecordBytes) {
  importData();
  const std::string out = store.dir.makeDir("out");
  ASSERT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 0);

  const fixture::HandheldData expected = asExported(data);
  // The data carries every change the export makes on purpose, so the comparison sees them.
  ASSERT_NE(fixture::tableRecords(data, "Transaction"), fixture::tableRecords(expected, "Transaction"));
  ASSERT_NE(fixture::tableRecords(data, "Account"), fixture::tableRecords(expected, "Account"));
  for (int i = 0; i < 10; ++i) {
    const fixture::ParsedPdb file = fixture::parsePdbFile(fileIn(out, i));
    const std::vector<fixture::Bytes> want = fixture::tableRecords(expected, kTables[i]);
    ASSERT_EQ(file.records.size(), want.size()) << kTables[i];
    for (std::size_t r = 0; r < want.size(); ++r) {
      EXPECT_EQ(fixture::hex(file.records[r].data), fixture::hex(want[r])) << kTables[i] << " record " << r;
    }
  }
}

TEST_F(ExportTest, MissingFolderGivesTenErrorsInOrderThenTheManualEndStatus) {
  importData();
  const std::string missing = store.dir.file("no/such/folder");

  EXPECT_EQ(exportToFolder(store.dm(), missing, std::nullopt, ui), 10);

  EXPECT_EQ(ui.texts(Kind::Error), kExportError);
  // Each error follows its own step's status.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(ui.indexOf(Kind::Status, kExportStatus[i]) + 1, ui.indexOf(Kind::Error, kExportError[i]));
  }
  EXPECT_EQ(ui.texts(Kind::Status).back(), kManualEnd);
  EXPECT_EQ(ui.events.back().kind, Kind::Beep);
  EXPECT_FALSE(fs::exists(missing));
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(store.dm().DataView(i).BatchMode()) << kTables[i];
}

TEST_F(ExportTest, EmptyTablesAreWrittenAsDatabasesWithoutRecords) {
  const std::string out = store.dir.makeDir("out");
  EXPECT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 0);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(fs::file_size(fileIn(out, i)), 80u) << kTables[i];
    EXPECT_EQ(fixture::parsePdbFile(fileIn(out, i)).recordCount, 0);
  }
}

TEST_F(ExportTest, TheTransactionFilterDoesNotLimitTheExport) {
  importData();
  TKADaoTable& transactions = *store.dm().Transaction;
  transactions.SetFilter("[AMOUNT] > 100");
  transactions.SetFiltered(true);
  ASSERT_EQ(transactions.RecordCount(), 1);
  const std::string out = store.dir.makeDir("out");

  EXPECT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 0);

  EXPECT_EQ(fixture::parsePdbFile(fileIn(out, 9)).records.size(), data.transactions.size());
  // Afterwards the view shows the filtered rows again.
  EXPECT_FALSE(transactions.BatchMode());
  EXPECT_TRUE(transactions.Filtered());
  EXPECT_EQ(transactions.RecordCount(), 1);
}

TEST_F(ExportTest, NotesBeyondTheHandheldLimitAreShortenedWithAWarning) {
  data.accounts[1].notes = std::string(4100, 'a');
  data.transactions[2].notes = std::string(3000, 'b') + std::string(2000, 'c');
  importData();
  const std::string out = store.dir.makeDir("out");

  EXPECT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 0);

  EXPECT_EQ(ui.count(Kind::Error), 0);
  // Each warning is told within its table's step.
  auto warningsBetween = [&](const std::string& from, const std::string& to) {
    int n = 0;
    for (int k = ui.indexOf(Kind::Status, from) + 1; k < ui.indexOf(Kind::Status, to); ++k) {
      if (ui.events[k].kind == Kind::Warning) ++n;
    }
    return n;
  };
  EXPECT_GE(warningsBetween("Exporting accounts...", "Exporting transactions..."), 1);
  EXPECT_GE(warningsBetween("Exporting transactions...", kManualEnd), 1);
  EXPECT_EQ(warningsBetween("Exporting category 1...", "Exporting accounts..."), 0);
  for (const std::string& w : ui.texts(Kind::Warning)) EXPECT_FALSE(w.empty());

  const fixture::ParsedPdb accounts = fixture::parsePdbFile(fileIn(out, 8));
  EXPECT_EQ(accounts.records[1].data.size(), 16u + data.accounts[1].name.size() + 4095u);
  const fixture::ParsedPdb transactions = fixture::parsePdbFile(fileIn(out, 9));
  const fixture::Bytes& record = transactions.records[2].data;
  ASSERT_EQ(record.size(), 74u + 4095u);
  const std::string notes(record.begin() + 73, record.end() - 1);
  EXPECT_EQ(notes, data.transactions[2].notes.substr(0, 4095));
  // The rows themselves keep their whole notes.
  store.dm().Transaction->SetRecNo(2);
  EXPECT_EQ(store.dm().TransactionNOTES->AsString().size(), 5000u);
}

TEST_F(ExportTest, ARowThatCannotBeWrittenIsReportedAndTheOtherTablesFollow) {
  importData();
  const std::string out = store.dir.makeDir("out");
  // A store damaged from outside: text where the account's identifier belongs.
  store.dm().Database->exec("UPDATE [Account] SET [ID] = 'eleven' WHERE [ID] = 11");
  store.dm().Account->Refresh();

  EXPECT_EQ(exportToFolder(store.dm(), out, std::nullopt, ui), 1);

  const auto errors = ui.texts(Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  const std::string head = "Can't export accounts\n";
  ASSERT_EQ(errors[0].substr(0, head.size()), head) << errors[0];
  EXPECT_GT(errors[0].size(), head.size());
  EXPECT_EQ(ui.indexOf(Kind::Status, "Exporting accounts...") + 1, ui.indexOf(Kind::Error));
  EXPECT_EQ(ui.texts(Kind::Status).back(), kManualEnd);
  // No half-written file, and the tables after it were still written.
  EXPECT_FALSE(fs::exists(fileIn(out, 8)));
  EXPECT_EQ(fixture::parsePdbFile(fileIn(out, 9)).records.size(), data.transactions.size());
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 9);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(store.dm().DataView(i).BatchMode()) << kTables[i];
  EXPECT_TRUE(store.dm().Transaction->Filtered());
}

TEST_F(ExportTest, AutomaticExportHandsEveryFileToTheInstallServiceAndDeletesIt) {
  importData();
  const std::string temp = store.dir.makeDir("Temp");
  struct HandOff {
    std::string user, path;
    std::size_t records;
  };
  std::vector<HandOff> handOffs;
  InstallHandlerReset reset;
  pdb::setInstallHandler([&](const std::string& user, const std::string& path) {
    // The file is complete when it is handed over.
    handOffs.push_back({user, path, fixture::parsePdbFile(path).records.size()});
  });

  EXPECT_EQ(exportToFolder(store.dm(), temp, std::string("Jane Doe"), ui), 0);

  ASSERT_EQ(handOffs.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(handOffs[i].user, "Jane Doe");
    EXPECT_EQ(handOffs[i].path, fileIn(temp, i));
    EXPECT_EQ(handOffs[i].records, fixture::tableRecords(data, kTables[i]).size());
    EXPECT_FALSE(fs::exists(handOffs[i].path));
  }
  EXPECT_TRUE(fs::is_empty(temp));
  EXPECT_EQ(ui.texts(Kind::Status).back(), kAutomaticEnd);
  EXPECT_EQ(ui.events.back().kind, Kind::Beep);
}

TEST_F(ExportTest, FolderWithAndWithoutTrailingSeparatorGivesTheSamePaths) {
  const std::string out = store.dir.makeDir("out");
  std::vector<std::string> paths;
  InstallHandlerReset reset;
  pdb::setInstallHandler([&](const std::string&, const std::string& path) { paths.push_back(path); });
  for (const std::string& given : {out, out + "/"}) {
    RecordingUi run;
    EXPECT_EQ(exportToFolder(store.dm(), given, std::string("u"), run), 0) << given;
  }
  ASSERT_EQ(paths.size(), 20u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(paths[i], fileIn(out, i));
    EXPECT_EQ(paths[i + 10], paths[i]);
  }
}

// Fault: without an install service the files were deleted and the export reported success.
TEST_F(ExportTest, WithoutAnInstallServiceEveryStepFailsAndTheFilesStay) {
  importData();
  const std::string temp = store.dir.makeDir("Temp");
  pdb::setInstallHandler(nullptr);

  EXPECT_EQ(exportToFolder(store.dm(), temp, std::string("Jane Doe"), ui), 10);

  const std::vector<std::string> errors = ui.texts(Kind::Error);
  ASSERT_EQ(errors.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(errors[i].substr(0, errors[i].find('\n')), kExportError[i]);
    EXPECT_NE(errors[i].find("no install service"), std::string::npos) << errors[i];
    EXPECT_EQ(fixture::parsePdbFile(fileIn(temp, i)).records.size(), fixture::tableRecords(data, kTables[i]).size());
  }
}

}  // namespace
}  // namespace quillet::exchange
