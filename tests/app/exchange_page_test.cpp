// The Import/Export page with the stand-in sync software: finding it, its users, the
// exchange type, browsing, and the import, clear and export commands in both types.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/radiogroup.h"
#include "app_fixture.h"
#include "exchange/transfer.h"
#include "palmdesktop_fixture.h"
#include "tests/exchange/recording_ui.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"
#include "text/messages.h"

namespace quillet::app::testing {
namespace {

namespace fs = std::filesystem;
namespace s = setting;
using text::message;

// Two users; "Ann" has a folder with a backup of the sample data.
constexpr const char* kTwoUsers = "000000FF\tAnn\tann_folder\n1A2B3C4D\tBob\tbob\n";

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFileBytes(path));
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

using exchange::testing::handheldFileNames;
using fixture::filesIn;

class ExchangePageTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    const char* tmp = std::getenv("TMPDIR");
    if (tmp) savedTmp_ = tmp;
    ::setenv("TMPDIR", home_->makeDir("tmp").c_str(), 1);
  }
  void TearDown() override {
    AppTest::TearDown();
    if (savedTmp_) ::setenv("TMPDIR", savedTmp_->c_str(), 1);
    else ::unsetenv("TMPDIR");
  }

  std::string Palm() const { return home_->file("palm"); }
  // The stand-in with two users, Ann's backup folder holding the sample data.
  void InstallWithBackup() {
    InstallStandIn(Palm(), kTwoUsers);
    fs::create_directories(Palm() + "/ann_folder/Backup");
    fixture::writeHandheldFolder(Palm() + "/ann_folder/Backup", fixture::sampleData());
    PointSyncSoftware(Palm());
  }
  // Settings that start in the automatic type with the user of the ID selected.
  void StoreAutomatic(std::uint32_t userId, bool confirmations = false) {
    SettingsKey::Values v;
    v[s::kExchangeType] = Dword(0);
    v[s::kCurrentUserID] = Dword(userId);
    v[s::kImportPath] = Sz("");
    v[s::kExportPath] = Sz("");
    v[s::kShowAllTables] = Dword(1);
    v[s::kShowHints] = Dword(1);
    v[s::kShowFilteredColumns] = Dword(0);
    v[s::kAllowFloating] = Dword(0);
    v[s::kConfirmations] = Dword(confirmations ? 1 : 0);
    v[s::kImportAtStartup] = Dword(0);
    WriteSettings(v);
  }
  QStringList ListedUsers() const {
    QStringList names;
    for (int i = 0; i < Form().SelectUserListBox->count(); ++i) names << Form().SelectUserListBox->item(i)->text();
    return names;
  }
  std::vector<std::string> Texts(DialogCall::Kind kind) const {
    std::vector<std::string> texts;
    for (const auto& c : dialogs_.calls)
      if (c.kind == kind) texts.push_back(c.text);
    return texts;
  }
  int Rows(int table) const { return Dm().DataView(table).RecordCount(); }
  std::vector<int> AllRows() const {
    std::vector<int> rows;
    for (int i = 0; i < 10; ++i) rows.push_back(Rows(i));
    return rows;
  }
  static std::vector<int> SampleRows() {
    const fixture::HandheldData d = fixture::sampleData();
    return {int(d.category1.size()),   int(d.category2.size()),    int(d.category3.size()),
            int(d.category4.size()),   int(d.currencies.size()),   int(d.balanceTypes.size()),
            int(d.remindTypes.size()), int(d.customNames.size()),  int(d.accounts.size()),
            int(d.transactions.size())};
  }
  void ChooseType(int index) { Form().ExchangeTypeRadioGroup->SetItemIndex(index); }
  bool ManualControlsEnabled() const {
    const TMainForm& f = Form();
    return f.ImportPathEdit->isEnabled() && f.ImportPathBrowseButton->isEnabled() && f.ExportPathEdit->isEnabled() &&
           f.ExportPathBrowseButton->isEnabled();
  }
  bool AutomaticControlsEnabled() const {
    const TMainForm& f = Form();
    return f.SelectUserListBox->isEnabled() && !f.ImportPathEdit->isEnabled() &&
           !f.ImportPathBrowseButton->isEnabled() && !f.ExportPathEdit->isEnabled() &&
           !f.ExportPathBrowseButton->isEnabled();
  }

  std::optional<std::string> savedTmp_;
};

// ---------------------------------------------------------------- finding the sync software

struct FindCase {
  const char* name;
  bool desktopPathLibs[2];  // UserData.dll, Instaide.dll in the "DesktopPath" folder
  bool pathLibs[2];         // the same in the "Path" folder
  bool trailingSlash;       // the "Path" value given with its separator
  bool listed;              // users listed
  bool automaticAllowed;
  const char* userDataFolder;  // "desktop", "path" or ""
};

TEST_F(ExchangePageTest, TheLibrariesAreLookedForInDesktopPathThenPath) {
  const FindCase cases[] = {
      {"no sync software", {false, false}, {false, false}, false, false, false, ""},
      {"both in DesktopPath", {true, true}, {false, false}, false, true, true, "desktop"},
      {"DesktopPath without the library, Path with it", {false, false}, {true, true}, false, true, true, "path"},
      {"Path given with its trailing separator", {false, false}, {true, true}, true, true, true, "path"},
      {"both folders have them: DesktopPath wins", {true, true}, {true, true}, false, true, true, "desktop"},
      {"only UserData.dll", {true, false}, {false, false}, false, true, false, "desktop"},
      {"only Instaide.dll", {false, true}, {false, false}, false, false, false, ""},
      {"each library from another folder", {true, false}, {false, true}, false, true, true, "desktop"},
  };
  int n = 0;
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.calls.clear();
    const std::string desktop = home_->file("desktop" + std::to_string(n));
    const std::string path = home_->file("path" + std::to_string(n++));
    InstallStandIn(desktop, kTwoUsers, c.desktopPathLibs[0], c.desktopPathLibs[1]);
    InstallStandIn(path, kTwoUsers, c.pathLibs[0], c.pathLibs[1]);
    PointSyncSoftware(desktop, c.trailingSlash ? path + "/" : path);
    Start();
    EXPECT_EQ(ListedUsers(), c.listed ? QStringList({"Ann", "Bob"}) : QStringList());
    const std::string expectedLib =
        *c.userDataFolder == 'd' ? desktop + "/UserData.dll" : *c.userDataFolder == 'p' ? path + "/UserData.dll" : "";
    EXPECT_EQ(Form().PalmDesktopSoftware().UserDataPath(), expectedLib);
    EXPECT_TRUE(dialogs_.calls.empty());

    ChooseType(0);
    if (c.automaticAllowed) {
      EXPECT_EQ(Form().ExchangeTypeRadioGroup->ItemIndex(), 0);
      EXPECT_TRUE(AutomaticControlsEnabled());
      EXPECT_FALSE(Form().PalmDesktopMissing);
      EXPECT_TRUE(dialogs_.calls.empty());
    } else {
      EXPECT_EQ(Form().ExchangeTypeRadioGroup->ItemIndex(), 1);
      EXPECT_TRUE(ManualControlsEnabled());
      EXPECT_FALSE(Form().SelectUserListBox->isEnabled());
      EXPECT_TRUE(Form().PalmDesktopMissing);
      ASSERT_EQ(dialogs_.calls.size(), 1u);
      EXPECT_EQ(dialogs_.calls[0].kind, DialogCall::Error);
      EXPECT_EQ(dialogs_.calls[0].caption, message(text::MsgErrorCaption));
      EXPECT_EQ(dialogs_.calls[0].text, message(text::MsgPalmDesktopNotFound));
    }
    // The list stays filled in the manual type, only disabled.
    ChooseType(1);
    EXPECT_EQ(ListedUsers().size(), c.listed ? 2 : 0);
    EXPECT_FALSE(Form().SelectUserListBox->isEnabled());
    Stop();
  }
}

TEST_F(ExchangePageTest, FolderValuesThatCannotNameALibrarySafelyFindNothing) {
  InstallStandIn(Palm(), kTwoUsers);
  const std::string cases[] = {"", "palm", "./palm", "/" + std::string(5000, 'a')};
  const fs::path cwd = fs::current_path();
  fs::current_path(home_->path());  // "palm" relative would name the real folder
  for (const std::string& value : cases) {
    SCOPED_TRACE(value.substr(0, 20));
    fs::remove(SettingsKey::FileOf(kPalmDesktopKey));
    if (!value.empty()) PointSyncSoftware(value, value);
    Start();
    EXPECT_EQ(ListedUsers(), QStringList());
    EXPECT_FALSE(Form().PalmDesktopSoftware().HasUserData());
    EXPECT_FALSE(Form().PalmDesktopSoftware().HasInstallAide());
    Stop();
  }
  fs::current_path(cwd);
}

TEST_F(ExchangePageTest, TheUserTableTakesAtMost128UsersAndCutsLongTexts) {
  std::string users;
  for (int i = 0; i < 130; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%08X\tuser %d\tfolder%d\n", i + 1, i, i);
    users += line;
  }
  users += "00000200\t" + std::string(1500, 'N') + "\t" + std::string(5000, 'd') + "\n";
  InstallStandIn(Palm(), users);
  PointSyncSoftware(Palm());
  Start();
  ASSERT_EQ(Form().SelectUserListBox->count(), 128);
  ASSERT_EQ(Form().PalmUsers.size(), 128u);
  EXPECT_EQ(Form().PalmUsers[127].ID, 128u);
  EXPECT_EQ(Form().SelectUserListBox->item(127)->text(), "user 127");
  Stop();

  // The long user comes first now: its texts are cut to their buffers, terminated.
  InstallStandIn(Palm(), "00000200\t" + std::string(1500, 'N') + "\t" + std::string(5000, 'd') + "\n");
  Start();
  ASSERT_EQ(Form().PalmUsers.size(), 1u);
  EXPECT_EQ(Form().PalmUsers[0].Name, std::string(1023, 'N'));
  EXPECT_EQ(Form().PalmUsers[0].Directory, std::string(4095, 'd'));
}

TEST_F(ExchangePageTest, TheSavedUserIsSelectedAndItsFolderShownWithAnEightDigitId) {
  InstallWithBackup();
  StoreAutomatic(0xFF);
  Start();
  TMainForm& f = Form();
  EXPECT_EQ(f.ExchangeTypeRadioGroup->ItemIndex(), 0);
  ASSERT_EQ(f.SelectUserListBox->currentRow(), 0);
  EXPECT_TRUE(f.SelectUserListBox->item(0)->isSelected());
  // Selecting at start-up is no click: the welcome text stays.
  EXPECT_EQ(f.StatusText().toStdString().rfind(message(text::MsgWelcome), 0), 0u);

  const struct {
    int row;
    std::string status;
  } clicks[] = {{1, "1A2B3C4D, " + Palm() + "/bob/Backup"}, {0, "000000FF, " + Palm() + "/ann_folder/Backup"}};
  for (const auto& c : clicks) {
    f.SelectUserListBox->setCurrentRow(c.row);
    EXPECT_EQ(f.StatusText().toStdString(), c.status);
  }
  // A click with nothing selected changes nothing.
  f.SetStatusText("unchanged");
  f.SelectUserListBox->clearSelection();
  f.SelectUserListBoxClick();
  EXPECT_EQ(f.StatusText(), "unchanged");
  EXPECT_TRUE(dialogs_.calls.empty());
}

// ---------------------------------------------------------------- browsing

TEST_F(ExchangePageTest, BrowsingStartsAtTheEditsFolderAndCancelKeepsIt) {
  Start();
  TMainForm& f = Form();
  struct Browse {
    QToolButton* button;
    QLineEdit* edit;
    int title;
  } browses[] = {{f.ImportPathBrowseButton, f.ImportPathEdit, text::MsgBrowseImportTitle},
                 {f.ExportPathBrowseButton, f.ExportPathEdit, text::MsgBrowseExportTitle}};
  for (const Browse& b : browses) {
    SCOPED_TRACE(b.title);
    dialogs_.calls.clear();
    b.edit->setText("");
    dialogs_.folders = {std::string("/chosen/one"), std::nullopt, std::string("/chosen/two")};
    b.button->click();
    EXPECT_EQ(b.edit->text(), "/chosen/one");
    b.button->click();  // cancelled
    EXPECT_EQ(b.edit->text(), "/chosen/one");
    b.button->click();
    EXPECT_EQ(b.edit->text(), "/chosen/two");
    ASSERT_EQ(dialogs_.calls.size(), 3u);
    const std::string starts[] = {"", "/chosen/one", "/chosen/one"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialogs_.calls[i].kind, DialogCall::ChooseFolder);
      EXPECT_EQ(dialogs_.calls[i].caption, message(b.title));
      EXPECT_EQ(dialogs_.calls[i].text, starts[i]);
    }
  }
}

// ---------------------------------------------------------------- import

TEST_F(ExchangePageTest, ImportInBothTypesFillsEveryTableAndGrid) {
  const std::string manual = home_->makeDir("handheld");
  fixture::writeHandheldFolder(manual, fixture::sampleData());
  InstallWithBackup();
  for (int type : {0, 1}) {
    SCOPED_TRACE(type);
    StoreAutomatic(0xFF, true);
    dialogs_.calls.clear();
    Start();
    TMainForm& f = Form();
    ChooseType(type);
    f.ImportPathEdit->setText(QString::fromStdString(manual + "/"));  // with its separator
    dialogs_.answers = {true};
    f.ImportButton->click();
    EXPECT_EQ(AllRows(), SampleRows());
    EXPECT_EQ(f.AccountsKADaoDBGrid->model()->rowCount(), 2);
    EXPECT_EQ(f.TransactionsKADaoDBGrid->model()->rowCount(), Rows(9));
    EXPECT_EQ(f.StatusText().toStdString(), message(text::MsgImportFinished));
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(dialogs_.calls[0].kind, DialogCall::Confirm);
    EXPECT_EQ(dialogs_.calls[0].caption, message(text::MsgConfirmationCaption));
    EXPECT_EQ(dialogs_.calls[0].text, message(text::MsgPerformImport));
    // The custom names label the filter panel.
    EXPECT_TRUE(f.Category1DBCheckBox->text().startsWith("Purpose")) << f.Category1DBCheckBox->text().toStdString();
    Stop();
    ExecOnStore("DELETE FROM Account");
  }
}

TEST_F(ExchangePageTest, MissingFilesEachGetTheirErrorAndTheRestIsImported) {
  const struct {
    const char* name;
    std::vector<int> missing;
  } cases[] = {{"category 4 missing", {3}}, {"all ten missing", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallWithBackup();
    for (int t : c.missing) fs::remove(Palm() + "/ann_folder/Backup/" + exchange::HandheldFileName(t));
    StoreAutomatic(0xFF);
    MakeStore("INSERT INTO Category4 (ID, NAME) VALUES (5, 'old');");
    dialogs_.calls.clear();
    Start();
    Form().ImportButton->click();
    std::vector<std::string> expectedErrors;
    std::vector<int> expectedRows = SampleRows();
    for (int t : c.missing) {
      expectedErrors.push_back(message(text::importErrorEntry(t)) + "\nno such file");
      expectedRows[static_cast<std::size_t>(t)] = 0;
    }
    EXPECT_EQ(Texts(DialogCall::Error), expectedErrors);
    EXPECT_EQ(AllRows(), expectedRows);
    EXPECT_EQ(Form().StatusText().toStdString(), message(text::MsgImportFinished));
    Stop();
  }
}

TEST_F(ExchangePageTest, ImportRefusedOrWithoutAUserChangesNothing) {
  InstallWithBackup();
  const struct {
    const char* name;
    std::uint32_t savedUser;  // matching none: nothing selected
    bool confirmations;
    std::vector<bool> answers;
    std::vector<int> warnings;  // message entries, read in the window's text set
  } cases[] = {
      {"answered No", 0xFF, true, {false}, {}},
      {"saved user matches none", 0x12345678, false, {}, {text::MsgSelectUser}},
      {"saved user matches none, confirmed", 0x12345678, true, {true}, {text::MsgSelectUser}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MakeStore("INSERT INTO Account (ID, NAME) VALUES (1, 'kept');");
    StoreAutomatic(c.savedUser, c.confirmations);
    dialogs_.calls.clear();
    Start();
    EXPECT_EQ(Form().SelectUserListBox->selectedItems().size(), c.savedUser == 0xFF ? 1 : 0);
    const QString before = Form().StatusText();
    dialogs_.answers.assign(c.answers.begin(), c.answers.end());
    dialogs_.answers.insert(dialogs_.answers.end(), c.answers.begin(), c.answers.end());
    Form().ImportButton->click();
    Form().ExportButton->click();  // the same rules hold for the export
    std::vector<std::string> warnings;  // once for the import, once for the export
    for (int round = 0; round < 2; ++round)
      for (int entry : c.warnings) warnings.push_back(message(entry));
    EXPECT_EQ(Texts(DialogCall::Warn), warnings);
    EXPECT_EQ(Rows(8), 1);
    EXPECT_EQ(Form().StatusText(), before);
    EXPECT_TRUE(filesIn(Palm() + "/ann_folder").size() == 1u) << "nothing installed";
    Stop();
    fs::remove(StorePath());
  }
}

TEST_F(ExchangePageTest, TheLookupBoxesShowTheNewListsAfterAnImport) {
  InstallWithBackup();
  StoreAutomatic(0xFF);
  // The filter row points at account 11 ("Card" in the new data) and at account 99, which
  // the new data does not have; the old store names both otherwise.
  MakeStore(
      "INSERT INTO Account (ID, NAME) VALUES (11, 'old eleven'), (99, 'old ninety-nine');"
      "INSERT INTO _AllFilters (ACC_TO_ID, ACC_FROM_ID, CURRENCY_ID) VALUES (11, 99, 2);");
  Start();
  TMainForm& f = Form();
  EXPECT_EQ(f.AccToDBLookupComboBox->currentText(), "old eleven");
  f.ImportButton->click();
  EXPECT_EQ(f.AccToDBLookupComboBox->currentText(), "Card");
  EXPECT_EQ(f.AccFromDBLookupComboBox->currentIndex(), -1);
  EXPECT_EQ(f.CurrencyDBLookupComboBox->currentText(), "USD");
  // The stored values end as they began.
  EXPECT_EQ(Dm().AllFiltersACC_TO_ID->AsInteger(), 11);
  EXPECT_EQ(Dm().AllFiltersACC_FROM_ID->AsInteger(), 99);
  EXPECT_EQ(Dm().AllFilters->state(), TKADaoTable::State::Browse);  // nothing left pending
  Stop();
  EXPECT_EQ(QueryStore("SELECT ACC_FROM_ID FROM _AllFilters"), 99);
}

// ---------------------------------------------------------------- clear all tables

TEST_F(ExchangePageTest, ClearAllTablesAlwaysAsks) {
  InstallWithBackup();
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    MakeStore("INSERT INTO Account (ID, NAME) VALUES (1, 'a'); INSERT INTO Category2 (ID, NAME) VALUES (1, 'c');");
    StoreAutomatic(0, false);  // confirmations off: clearing asks all the same
    dialogs_.calls.clear();
    Start();
    const QString before = Form().StatusText();
    dialogs_.answers = {yes};
    Form().ClearAllTables->click();
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(dialogs_.calls[0].text, message(text::MsgClearConfirm));
    EXPECT_EQ(Rows(8) + Rows(1), yes ? 0 : 2);
    EXPECT_EQ(Form().StatusText(), yes ? QString::fromStdString(message(text::MsgCleared)) : before);
    Stop();
    fs::remove(StorePath());
  }
}

// ---------------------------------------------------------------- export

TEST_F(ExchangePageTest, AutomaticExportHandsTenFilesToTheInstallServiceAndLeavesNothingBehind) {
  InstallWithBackup();
  StoreAutomatic(0xFF);
  Start();
  Form().ImportButton->click();
  dialogs_.calls.clear();
  Form().ExportButton->click();
  EXPECT_TRUE(dialogs_.calls.empty());
  EXPECT_EQ(Form().StatusText().toStdString(), message(text::MsgExportFinishedAuto));

  // Ten hand-offs for Ann in table order, each from a private folder below TMPDIR.
  const std::vector<std::string> log = readLines(Palm() + "/install.log");
  ASSERT_EQ(log.size(), 10u);
  std::string folder;
  for (int i = 0; i < 10; ++i) {
    const std::string& line = log[static_cast<std::size_t>(i)];
    EXPECT_EQ(line.substr(0, 4), "Ann\t");
    const std::string path = line.substr(4);
    EXPECT_EQ(fs::path(path).filename().string(), exchange::HandheldFileName(i));
    if (i == 0) folder = fs::path(path).parent_path().string();
    EXPECT_EQ(fs::path(path).parent_path().string(), folder);
  }
  EXPECT_EQ(fs::path(folder).parent_path().string(), home_->file("tmp"));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(filesIn(home_->file("tmp")).empty());

  // The installed files are the tables as exported: they read back as the backup's rows.
  EXPECT_EQ(filesIn(Palm() + "/ann_folder/Install"), handheldFileNames());
  for (int i = 0; i < 10; ++i) {
    const auto installed = fixture::parsePdbFile(Palm() + "/ann_folder/Install/" + exchange::HandheldFileName(i));
    EXPECT_EQ(installed.type, "DATA");
    EXPECT_EQ(installed.creator, "IDql");
    EXPECT_EQ(int(installed.records.size()), SampleRows()[static_cast<std::size_t>(i)]);
  }
}

TEST_F(ExchangePageTest, ManualExportWritesTheTenFilesOrReportsEachOne) {
  const std::string out = home_->makeDir("out");
  const struct {
    const char* name;
    std::string folder;
    bool written;
  } cases[] = {{"folder with separator", out + "/", true},
               {"folder without", out, true},
               {"folder that does not exist", home_->file("nowhere"), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    fs::create_directories(out);
    MakeStore("INSERT INTO Category1 (ID, NAME) VALUES (1, 'one');");
    dialogs_.calls.clear();
    Start();
    Form().ExportPathEdit->setText(QString::fromStdString(c.folder));
    dialogs_.answers = {true};
    Form().ExportButton->click();
    std::vector<std::string> expectedErrors;
    if (!c.written)
      for (int i = 0; i < 10; ++i) expectedErrors.push_back(message(text::exportErrorEntry(i)));
    std::vector<std::string> errors = Texts(DialogCall::Error);
    for (auto& e : errors) e = e.substr(0, e.find('\n'));  // the first line names the table
    EXPECT_EQ(errors, expectedErrors);
    EXPECT_EQ(filesIn(out), c.written ? handheldFileNames() : std::vector<std::string>());
    EXPECT_EQ(Form().StatusText().toStdString(), message(text::MsgExportFinishedManual));
    if (c.written) {
      EXPECT_EQ(fixture::parsePdbFile(out + "/QL_Category1.pdb").records.size(), 1u);
    }
    Stop();
    fs::remove(StorePath());
  }
}

TEST_F(ExchangePageTest, ShortenedNotesAreToldInOneBoxAfterTheExport) {
  const std::string out = home_->makeDir("out");
  const struct {
    int rows;
    std::size_t lines;
  } cases[] = {{0, 0}, {3, 3}, {25, 21}};  // at most 20 rows named, then an ellipsis
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    std::string sql;
    for (int i = 0; i < c.rows; ++i)
      sql += "INSERT INTO [Transaction] (ID, NOTES) VALUES (" + std::to_string(i + 1) +
             ", replace(hex(zeroblob(2500)), '0', 'x'));";
    MakeStore(sql);
    dialogs_.calls.clear();
    Start();
    Form().ExportPathEdit->setText(QString::fromStdString(out));
    dialogs_.answers = {true};
    Form().ExportButton->click();
    const std::vector<std::string> warnings = Texts(DialogCall::Warn);
    ASSERT_EQ(warnings.size(), c.rows ? 1u : 0u);
    if (c.rows) {
      EXPECT_EQ(static_cast<std::size_t>(std::count(warnings[0].begin(), warnings[0].end(), '\n')) + 1, c.lines);
      EXPECT_NE(warnings[0].find("5000"), std::string::npos) << warnings[0];
    }
    EXPECT_EQ(dialogs_.calls.back().kind, c.rows ? DialogCall::Warn : DialogCall::Confirm);
    EXPECT_EQ(fixture::parsePdbFile(out + "/QL_Transaction.pdb").records.size(), static_cast<std::size_t>(c.rows));
    Stop();
    fs::remove(StorePath());
  }
}

// ---------------------------------------------------------------- import at startup

TEST_F(ExchangePageTest, ImportAtStartupAsksBeforeTheWindowIsShown) {
  InstallWithBackup();
  StoreAutomatic(0xFF, true);
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger(s::kImportAtStartup, 1);
    key.WriteInteger(s::kActivePage, 0);
    key.Commit();
  }
  dialogs_.answers = {true};
  Start();
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_EQ(dialogs_.calls[0].text, message(text::MsgPerformImport));
  EXPECT_EQ(AllRows(), SampleRows());
}

TEST_F(ExchangePageTest, ImportAtStartupWithoutTheSyncSoftwareIsRefused) {
  StoreAutomatic(0xFF, true);
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger(s::kImportAtStartup, 1);
    key.WriteInteger(s::kActivePage, 0);
    key.Commit();
  }
  MakeStore("INSERT INTO Account (ID, NAME) VALUES (1, 'kept');");
  Start();
  ASSERT_EQ(dialogs_.calls.size(), 2u);
  EXPECT_EQ(dialogs_.calls[0].text, message(text::MsgPalmDesktopNotFound));
  EXPECT_EQ(dialogs_.calls[1].kind, DialogCall::Warn);
  EXPECT_EQ(dialogs_.calls[1].text, message(text::MsgImportAtStartupDisabled));
  EXPECT_FALSE(Form().Importatstartup1->isChecked());
  EXPECT_EQ(Rows(8), 1);
}

}  // namespace
}  // namespace quillet::app::testing
