#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/transfer.h"
#include "pdb/records.h"
#include "store/schema.h"
#include "tests/exchange/recording_ui.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"
#include "text/messages.h"

namespace quillet::exchange {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// The ten error texts, each followed by the reason of a missing file.
std::vector<std::string> missingErrors() {
  std::vector<std::string> out;
  for (const std::string& text : kImportError) out.push_back(text + "\nno such file");
  return out;
}

std::size_t rowsOf(const fixture::HandheldData& data, int table) {
  return fixture::tableRecords(data, kTables[table]).size();
}

class ImportTest : public ::testing::Test {
 protected:
  fixture::TempStore store;
  RecordingUi ui;
  fixture::HandheldData data = richData();

  std::string folder(const std::string& name = "handheld") { return store.dir.makeDir(name); }

  // Rows that an import must remove.
  void fillStoreWithOtherData() {
    fixture::HandheldData other;
    other.category4 = {{99, "old"}};
    other.transactions.resize(4);
    const std::string old = folder("old");
    fixture::writeHandheldFolder(old, other);
    RecordingUi quiet;
    ASSERT_EQ(importFromFolder(store.dm(), old, quiet), 0);
    ASSERT_EQ(store.dm().Transaction->RecordCount(), 4);
  }

  void expectBatchModeOff() {
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(store.dm().DataView(i).BatchMode()) << kTables[i];
  }
};

TEST(LayoutOrderTest, LayoutsFollowTheTableOrder) {
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(pdb::kTableLayouts[i].table, kDataTables[i]);
    EXPECT_STREQ(kDataTables[i], kTables[i]);
    EXPECT_EQ(HandheldFileName(i), std::string("QL_") + kTables[i] + ".pdb");
    EXPECT_EQ(HandheldDatabaseName(i), std::string("QL_") + kTables[i]);
  }
}

TEST_F(ImportTest, WholeFolderFillsEveryTableWithTheStepsInOrder) {
  fillStoreWithOtherData();
  const std::string dir = folder();
  fixture::writeHandheldFolder(dir, data);

  EXPECT_EQ(importFromFolder(store.dm(), dir, ui), 0);

  std::vector<std::string> expected = {"Clearing all tables..."};
  expected.insert(expected.end(), kImportStatus.begin(), kImportStatus.end());
  expected.push_back("Data importing from handheld is finished");
  EXPECT_EQ(ui.texts(Kind::Status), expected);
  EXPECT_EQ(ui.count(Kind::Error), 0);
  EXPECT_EQ(ui.count(Kind::Beep), 1);
  // The window's lookup boxes are refreshed before the final status, the beep comes last.
  EXPECT_LT(ui.indexOf(Kind::AfterImport), ui.indexOf(Kind::Status, "Data importing from handheld is finished"));
  EXPECT_EQ(ui.events.back().kind, Kind::Beep);

  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(store.dm().DataView(i).RecordCount(), static_cast<int>(rowsOf(data, i))) << kTables[i];
  }
  EXPECT_EQ(store.dm().Category4->Value(0, 0).toInteger(), 40);
  expectBatchModeOff();
}

TEST_F(ImportTest, FolderWithAndWithoutTrailingSeparatorReadsTheSameFiles) {
  const std::string dir = folder();
  fixture::writeHandheldFolder(dir, data);
  for (const std::string& given : {dir, dir + "/"}) {
    RecordingUi run;
    EXPECT_EQ(importFromFolder(store.dm(), given, run), 0) << given;
    EXPECT_EQ(run.count(Kind::Error), 0) << given;
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(store.dm().DataView(i).RecordCount(), static_cast<int>(rowsOf(data, i))) << given << " " << kTables[i];
    }
  }
}

TEST_F(ImportTest, OnlyCategory4MissingGivesOneErrorAndLeavesThatTableEmpty) {
  fillStoreWithOtherData();
  const std::string dir = folder();
  fixture::writeHandheldFolder(dir, data);
  fs::remove(fs::path(dir) / "QL_Category4.pdb");

  EXPECT_EQ(importFromFolder(store.dm(), dir, ui), 1);

  EXPECT_EQ(ui.texts(Kind::Error), std::vector<std::string>{"Can't import category 4\nno such file"});
  // The error belongs to its step: after its status, before the next one.
  const int error = ui.indexOf(Kind::Error);
  EXPECT_EQ(ui.indexOf(Kind::Status, "Importing category 4..."), error - 1);
  EXPECT_EQ(ui.indexOf(Kind::Status, "Importing currencies..."), error + 1);
  EXPECT_EQ(store.dm().Category4->RecordCount(), 0);
  for (int i = 0; i < 10; ++i) {
    if (i == 3) continue;
    EXPECT_EQ(store.dm().DataView(i).RecordCount(), static_cast<int>(rowsOf(data, i))) << kTables[i];
  }
}

TEST_F(ImportTest, EmptyFolderGivesTenErrorsInOrderAndStillFinishes) {
  fillStoreWithOtherData();
  const std::string dir = folder();

  EXPECT_EQ(importFromFolder(store.dm(), dir, ui), 10);

  EXPECT_EQ(ui.texts(Kind::Error), missingErrors());
  EXPECT_EQ(ui.texts(Kind::Status).back(), "Data importing from handheld is finished");
  EXPECT_EQ(ui.count(Kind::Beep), 1);
  EXPECT_EQ(ui.events.back().kind, Kind::Beep);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(store.dm().DataView(i).RecordCount(), 0) << kTables[i];
  expectBatchModeOff();
}

TEST_F(ImportTest, MissingFolderIsReadLikeAnEmptyOne) {
  EXPECT_EQ(importFromFolder(store.dm(), store.dir.file("does/not/exist"), ui), 10);
  EXPECT_EQ(ui.texts(Kind::Error), missingErrors());
}

// A damaged file or record: the table's error text, a line saying what is wrong, the rows
// before the damage kept, and the tables after it still imported.
struct DamageCase {
  const char* name;
  int table;               // 0..9
  std::size_t rowsKept;    // rows of that table before the damage
  const char* detailPart;  // a piece of the detail line
};

class DamagedImportTest : public ImportTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedImportTest, ReportsDetailKeepsEarlierRowsAndGoesOn) {
  const DamageCase& c = GetParam();
  const std::string dir = folder();
  fixture::writeHandheldFolder(dir, data);
  const std::string file = (fs::path(dir) / fixture::handheldFileName(kTables[c.table])).string();
  std::vector<fixture::Bytes> records = fixture::tableRecords(data, kTables[c.table]);
  switch (c.table) {
    case 9: {  // 29 February 2001 in the second transaction
      auto t = data.transactions;
      t[1].date.day = 29;
      t[1].date.month = 2;
      t[1].date.year = 2001;
      records = {fixture::recordOf(t[0]), fixture::recordOf(t[1]), fixture::recordOf(t[2])};
      break;
    }
    case 4:  // the second currency cut inside its rate
      records[1].resize(6);
      break;
    case 8:  // the first account's notes lose their NUL: the record ends in the text
      records[0].pop_back();
      break;
    case 0:  // handled below: the container itself is cut
      break;
  }
  fixture::Bytes bytes = fixture::pdbBytes(std::string("QL_") + kTables[c.table], records);
  if (c.table == 0) bytes.resize(78 + 12);  // the header claims 3 entries, the file ends in the second
  fixture::writeFileBytes(file, bytes);

  EXPECT_EQ(importFromFolder(store.dm(), dir, ui), 1);

  const auto errors = ui.texts(Kind::Error);
  ASSERT_EQ(errors.size(), 1u);
  const std::string head = kImportError[c.table] + "\n";
  ASSERT_EQ(errors[0].substr(0, head.size()), head) << errors[0];
  const std::string detail = errors[0].substr(head.size());
  EXPECT_FALSE(detail.empty());
  EXPECT_EQ(detail.find('\n'), std::string::npos) << detail;
  EXPECT_NE(detail.find(c.detailPart), std::string::npos) << detail;

  EXPECT_EQ(store.dm().DataView(c.table).RecordCount(), static_cast<int>(c.rowsKept));
  for (int i = 0; i < 10; ++i) {
    if (i == c.table) continue;
    EXPECT_EQ(store.dm().DataView(i).RecordCount(), static_cast<int>(rowsOf(data, i))) << kTables[i];
  }
  EXPECT_EQ(ui.texts(Kind::Status).back(), "Data importing from handheld is finished");
  expectBatchModeOff();
  // A record that failed half-way is not posted later by anything that moves its view.
  store.dm().DataView(c.table).Refresh();
  EXPECT_EQ(store.dm().DataView(c.table).RecordCount(), static_cast<int>(c.rowsKept));
}

const DamageCase kDamageCases[] = {
    {"InvalidDate", 9, 1, "Invalid argument to date encode"},
    {"ShortCurrency", 4, 1, "record"},
    {"NotesWithoutNul", 8, 0, "NUL"},
    {"FileEndsInsideRecordList", 0, 0, ""},
};

INSTANTIATE_TEST_SUITE_P(Damage, DamagedImportTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& param) { return std::string(param.param.name); });

// The window's filter refresh sets the transaction filter; batch mode must give it back
// after an import with errors, and the refresh must run once the rows are in.
class FilteringUi : public HeadlessStoreUi {
 public:
  void refreshFilter() override {
    ++refreshes;
    if (DM && DM->Transaction && DM->Transaction->Active()) {
      DM->Transaction->SetFilter("[AMOUNT] > 100");
      DM->Transaction->SetFiltered(true);
    }
  }
  int refreshes = 0;
};

TEST(ImportFilterTest, BatchModeEndsAndTheFilterIsBackAfterErrors) {
  fixture::TempDir dir;
  FilteringUi storeUi;
  TDM dm(storeUi, dir.file("store/Quillet.mdb"), dir.path());
  dm.DataModuleCreate();

  fixture::HandheldData data = richData();
  const std::string folder = dir.makeDir("handheld");
  fixture::writeHandheldFolder(folder, data);
  fs::remove(fs::path(folder) / "QL_Account.pdb");
  fixture::writeFileBytes((fs::path(folder) / "QL_Currency.pdb").string(), {1, 2, 3});

  RecordingUi ui;
  const int refreshesBefore = storeUi.refreshes;
  EXPECT_EQ(importFromFolder(dm, folder, ui), 2);

  for (int i = 0; i < 10; ++i) EXPECT_FALSE(dm.DataView(i).BatchMode()) << kTables[i];
  EXPECT_TRUE(dm.Transaction->Filtered());
  EXPECT_EQ(dm.Transaction->Filter(), "[AMOUNT] > 100");
  EXPECT_EQ(dm.Transaction->RecordCount(), 1);  // 250 only: the filter is in force again
  EXPECT_GT(storeUi.refreshes, refreshesBefore);
  dm.DataModuleDestroy();
}

// A store that fails while it is reopened after the new data was saved: the error reaches
// the caller and nothing after it runs; the saved data stays.
TEST(ImportStoreErrorTest, AnErrorWhileReopeningReachesTheCaller) {
  class FailingUi : public HeadlessStoreUi {
   public:
    void refreshFilter() override {
      if (fail) throw StoreError("the store went away");
    }
    bool fail = false;
  } storeUi;
  fixture::TempDir dir;
  TDM dm(storeUi, dir.file("store/Quillet.mdb"), dir.path());
  dm.DataModuleCreate();
  const std::string folderPath = dir.makeDir("handheld");
  fixture::writeHandheldFolder(folderPath, richData());

  storeUi.fail = true;
  RecordingUi ui;
  EXPECT_THROW(importFromFolder(dm, folderPath, ui), StoreError);

  std::vector<std::string> expected = {"Clearing all tables..."};
  expected.insert(expected.end(), kImportStatus.begin(), kImportStatus.end());
  EXPECT_EQ(ui.texts(Kind::Status), expected);
  EXPECT_EQ(ui.count(Kind::Error), 0);
  EXPECT_EQ(ui.count(Kind::Beep), 0);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(dm.DataView(i).BatchMode()) << kTables[i];
  storeUi.fail = false;
  dm.DataModuleDestroy();
  dm.DataModuleCreate();
  EXPECT_EQ(dm.Transaction->RecordCount(), static_cast<int>(richData().transactions.size()));
  dm.DataModuleDestroy();
}

TEST(ImportCaptionTest, CustomNamesLabelTheCategoryListsAfterTheImport) {
  class CaptionUi : public HeadlessStoreUi {
   public:
    void setCategoryCheckBoxCaption(int list, const std::string& caption) override {
      if (list >= 1 && list <= 4) captions[list - 1] = caption;
    }
    std::string captions[4];
  } storeUi;
  fixture::TempDir dir;
  TDM dm(storeUi, dir.file("store/Quillet.mdb"), dir.path());
  dm.DataModuleCreate();
  fixture::HandheldData data = richData();
  data.customNames = {"Alpha", "Beta"};
  const std::string folderPath = dir.makeDir("handheld");
  fixture::writeHandheldFolder(folderPath, data);
  for (auto& caption : storeUi.captions) caption.clear();

  RecordingUi ui;
  EXPECT_EQ(importFromFolder(dm, folderPath, ui), 0);

  EXPECT_EQ(storeUi.captions[0], "Alpha:");
  EXPECT_EQ(storeUi.captions[1], "Beta:");
  EXPECT_EQ(storeUi.captions[3], "Beta:");
  dm.DataModuleDestroy();
}

TEST_F(ImportTest, TextsAreReadFromTheMessageTableWhenShown) {
  struct EnglishAgain {
    ~EnglishAgain() { text::applyEnglishMessages(); }
  } restore;
  text::applyRussianMessages();
  const std::string clearing = text::message(text::MsgClearing);
  const std::string firstError = text::message(text::importErrorEntry(0));
  const std::string finished = text::message(text::MsgImportFinished);
  importFromFolder(store.dm(), folder(), ui);

  ASSERT_NE(firstError, kImportError[0]);
  EXPECT_EQ(ui.texts(Kind::Status).front(), clearing);
  EXPECT_EQ(ui.texts(Kind::Error).front(), firstError + "\nno such file");
  EXPECT_EQ(ui.texts(Kind::Status).back(), finished);
}

TEST_F(ImportTest, ClearAllTablesEmptiesTheTenTables) {
  const std::string dir = folder();
  fixture::writeHandheldFolder(dir, data);
  ASSERT_EQ(importFromFolder(store.dm(), dir, ui), 0);
  RecordingUi clear;
  clearAllTables(store.dm(), clear);
  EXPECT_EQ(clear.texts(Kind::Status), (std::vector<std::string>{"Clearing all tables...", "All tables are cleared"}));
  EXPECT_EQ(clear.count(Kind::Beep), 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(store.dm().DataView(i).RecordCount(), 0) << kTables[i];
}

}  // namespace
}  // namespace quillet::exchange
