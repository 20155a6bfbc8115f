// Start-up and shutdown: the order, the settings read and written around them, Shift,
// damaged settings, and stores that cannot be opened.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>

#include "app/columnlayout.h"
#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/radiogroup.h"
#include "app_fixture.h"
#include "palmdesktop_fixture.h"
#include "store/database.h"

namespace quillet::app::testing {
namespace {

namespace s = setting;

// The transaction grid as designed: field, title, width (-1: the grid's own width).
struct DesignedColumn {
  const char* field;
  const char* title;
  int width;
};
constexpr DesignedColumn kTransactionColumns[] = {
    {"FADD", "Income", 50},           {"DATE", "Date/Time", 48},          {"AccountToName", "To account", 100},
    {"AccountFromName", "From account", 100}, {"AMOUNT", "Amount", -1}, {"CurrencyName", "Currency", 50},
    {"NOTES", "Notes", 100},          {"Category1Name", "Category 1", 100}, {"Category2Name", "Category 2", 100},
    {"Category3Name", "Category 3", 100}, {"Category4Name", "Category 4", 100}, {"FRECEIPT", "Is receipt", 50},
    {"FBILLABLE", "Is billable", 50}, {"FCLEARED", "Is cleared", -1},   {"FMIRROR", "Mirror", -1},
    {"BalanceTypeName", "Balance", 50}, {"FREMIND", "Remind", -1},      {"RemindTypeName", "Remind by", 50},
    {"FOWNCURRENCY", "Has own rate", -1}, {"CURRENCY_RATE", "Own rate", -1},
};

void ExpectDesignedTransactionColumns(const ColumnLayout& columns) {
  ASSERT_EQ(columns.size(), std::size(kTransactionColumns));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    SCOPED_TRACE(kTransactionColumns[i].field);
    EXPECT_EQ(columns[i].fieldName, kTransactionColumns[i].field);
    // The Russian set titles sixteen of them; the four category columns keep their design.
    const QString russian = RussianText("TransactionsKADaoDBGrid", TextRole::ColumnTitle, kTransactionColumns[i].field);
    EXPECT_EQ(QString::fromStdString(columns[i].title),
              russian.isEmpty() ? QString::fromUtf8(kTransactionColumns[i].title) : russian);
    // Designed widths are scaled from the designed font to the grid's.
    const TKADaoDBGrid probe;
    if (kTransactionColumns[i].width >= 0)
      EXPECT_EQ(columns[i].width, probe.ScaledWidth(kTransactionColumns[i].width));
    else
      EXPECT_GT(columns[i].width, 20);
    EXPECT_TRUE(columns[i].visible);
  }
}

// The state of a start without stored values (after the three start-up inversions).
void ExpectFirstRunState(const TMainForm& f) {
  EXPECT_EQ(f.ExchangeTypeRadioGroup->ItemIndex(), 1);
  EXPECT_EQ(f.CurrentUserID, 0u);
  EXPECT_EQ(f.ImportPathEdit->text(), QString());
  EXPECT_EQ(f.ExportPathEdit->text(), QString());
  EXPECT_FALSE(f.Showalltables1->isChecked());
  EXPECT_TRUE(f.Showhints1->isChecked());
  EXPECT_TRUE(f.HintsEnabled());
  EXPECT_FALSE(f.Showfilteredcolumns1->isChecked());
  EXPECT_TRUE(f.Showfilteringpanel1->isChecked());
  EXPECT_FALSE(f.Allowfilterpanelfloating1->isChecked());
  EXPECT_EQ(f.TransactionsFilterPanel->features(), QDockWidget::NoDockWidgetFeatures);
  EXPECT_TRUE(f.ImportExportconfirmations1->isChecked());
  EXPECT_FALSE(f.Importatstartup1->isChecked());
  EXPECT_EQ(f.MainPageControl->currentIndex(), 0);
  for (int i = 0; i < TMainForm::kPageCount; ++i) EXPECT_EQ(f.MainPageControl->isTabVisible(i), i < 4) << i;
  ExpectDesignedTransactionColumns(f.TransactionsKADaoDBGrid->Columns());
}

// A layout unlike the designed one: moved, resized, one column hidden, a title changed.
ColumnLayout ChangedLayout() {
  ColumnLayout columns;
  for (const auto& c : kTransactionColumns) columns.push_back({c.field, c.title, c.width < 0 ? 60 : c.width, true});
  std::swap(columns[0], columns[4]);
  columns[2].width = 177;
  columns[6].visible = false;  // NOTES: the filter refresh sets only the filtered columns
  columns[8].title = "Projects";
  return columns;
}

// Every value stored, each unlike its default (Importatstartup1 excepted: stored on, it
// would run the import at start).
SettingsKey::Values FullValues() {
  SettingsKey::Values v;
  v[s::kExchangeType] = Dword(0);
  v[s::kCurrentUserID] = Dword(0x1234);
  v[s::kImportPath] = Sz("/in/path");
  v[s::kExportPath] = Sz("/out/path");
  v[s::kShowAllTables] = Dword(1);
  v[s::kShowHints] = Dword(0);
  v[s::kShowFilteredColumns] = Dword(1);
  v[s::kAllowFloating] = Dword(1);
  v[s::kConfirmations] = Dword(0);
  v[s::kImportAtStartup] = Dword(0);
  v[s::kActivePage] = Dword(3);
  v[s::kTransactionColumns] = Binary(EncodeColumnLayout(ChangedLayout()));
  return v;
}

// For each of the twelve values in order: does the window show the value of FullValues()?
std::vector<bool> AppliedValues(const TMainForm& f) {
  return {f.ExchangeTypeRadioGroup->ItemIndex() == 0,
          f.CurrentUserID == 0x1234,
          f.ImportPathEdit->text() == "/in/path",
          f.ExportPathEdit->text() == "/out/path",
          f.Showalltables1->isChecked() && f.MainPageControl->isTabVisible(10),
          !f.Showhints1->isChecked() && !f.HintsEnabled(),
          f.Showfilteredcolumns1->isChecked(),
          f.Allowfilterpanelfloating1->isChecked() &&
              (f.TransactionsFilterPanel->features() & QDockWidget::DockWidgetFloatable),
          !f.ImportExportconfirmations1->isChecked(),
          !f.Importatstartup1->isChecked(),
          f.MainPageControl->currentIndex() == 3,
          f.TransactionsKADaoDBGrid->Columns() == ChangedLayout()};
}

void ExpectTwelveValuesOfTheirKinds(const SettingsKey::Values& values) {
  const std::pair<const char*, ValueKind> expected[] = {
      {s::kExchangeType, ValueKind::Dword},        {s::kCurrentUserID, ValueKind::Dword},
      {s::kImportPath, ValueKind::Sz},             {s::kExportPath, ValueKind::Sz},
      {s::kShowAllTables, ValueKind::Dword},       {s::kShowHints, ValueKind::Dword},
      {s::kShowFilteredColumns, ValueKind::Dword}, {s::kAllowFloating, ValueKind::Dword},
      {s::kConfirmations, ValueKind::Dword},       {s::kImportAtStartup, ValueKind::Dword},
      {s::kActivePage, ValueKind::Dword},          {s::kTransactionColumns, ValueKind::Binary},
  };
  EXPECT_EQ(values.size(), 12u);
  for (const auto& [name, kind] : expected) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(values.count(name));
    EXPECT_EQ(values.at(name).kind, kind);
  }
  const auto& layout = values.at(s::kTransactionColumns).bytes;
  EXPECT_TRUE(DecodeColumnLayout(reinterpret_cast<const std::uint8_t*>(layout.data()), layout.size()).has_value());
}

// The sync software is installed (without users), so a stored automatic exchange type holds.
class StartupTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    InstallStandIn(home_->file("palm"), "");
    PointSyncSoftware(home_->file("palm"));
  }
};

TEST_F(StartupTest, TheVeryFirstStartShowsNoMessageAndTheDocumentedDefaults) {
  ASSERT_FALSE(FileExists(SettingsFile()));
  Start();
  EXPECT_TRUE(dialogs_.calls.empty());
  EXPECT_TRUE(Form().isVisible());
  ExpectFirstRunState(Form());
  EXPECT_EQ(Form().StatusText(), Msg(text::MsgWelcome) + Msg(text::MsgTitle));
  EXPECT_EQ(Form().StatusText(), QString::fromUtf8("Вас приветствует Quillet Десктоп v1.0"));
  EXPECT_TRUE(Dm().Database->Active()) << "a new store was created and opened";
  EXPECT_FALSE(Dm().StoreBusy);
  ExpectDesignedTransactionColumns(*DecodeColumnLayout(Form().DefaultColumnLayout));
  Stop();

  EXPECT_TRUE(dialogs_.calls.empty());
  const SettingsKey::Values values = StoredValues();
  ExpectTwelveValuesOfTheirKinds(values);
  EXPECT_EQ(values.at(s::kExchangeType).dword, 1u);
  EXPECT_EQ(values.at(s::kCurrentUserID).dword, 0u);
  EXPECT_EQ(values.at(s::kImportPath).bytes, "");
  EXPECT_EQ(values.at(s::kExportPath).bytes, "");
  EXPECT_EQ(values.at(s::kShowAllTables).dword, 0u);
  EXPECT_EQ(values.at(s::kShowHints).dword, 1u);
  EXPECT_EQ(values.at(s::kShowFilteredColumns).dword, 0u);
  EXPECT_EQ(values.at(s::kAllowFloating).dword, 0u);
  EXPECT_EQ(values.at(s::kConfirmations).dword, 1u);
  EXPECT_EQ(values.at(s::kImportAtStartup).dword, 0u);
  EXPECT_EQ(values.at(s::kActivePage).dword, 0u);
  const auto& layout = values.at(s::kTransactionColumns).bytes;
  ExpectDesignedTransactionColumns(
      *DecodeColumnLayout(reinterpret_cast<const std::uint8_t*>(layout.data()), layout.size()));
}

TEST_F(StartupTest, TheDataModuleLivesInsideTheWindowsLifetime) {
  Start();
  // The data module was created after the window, over the default store, and opened.
  EXPECT_EQ(quillet::DM, &Dm());
  EXPECT_EQ(Dm().Database->Database, StorePath());
  EXPECT_TRUE(Dm().Transaction->Active());
  // The window's yes/no lists were written into the filter row when the data module closed,
  // so the window still existed then.
  Form().ReceiptComboBox->setCurrentIndex(2);
  Form().ClearedComboBox->setCurrentIndex(1);
  Stop();
  EXPECT_EQ(quillet::DM, nullptr);
  EXPECT_EQ(QueryStore("SELECT FRECEIPT FROM _AllFilters"), 2);
  EXPECT_EQ(QueryStore("SELECT FCLEARED FROM _AllFilters"), 1);
}

TEST_F(StartupTest, StoredSettingsAreAppliedAndWrittenBack) {
  WriteSettings(FullValues());
  Start();
  EXPECT_TRUE(dialogs_.calls.empty());
  const std::vector<bool> applied = AppliedValues(Form());
  for (std::size_t i = 0; i < applied.size(); ++i) EXPECT_TRUE(applied[i]) << "value " << i + 1;
  const SettingsKey::Values full = FullValues();
  const std::string& stored = full.at(s::kTransactionColumns).bytes;
  EXPECT_EQ(Form().StoredColumnLayout, ByteStream(stored.begin(), stored.end()));
  // The designed layout was captured before the stored one replaced it.
  ExpectDesignedTransactionColumns(*DecodeColumnLayout(Form().DefaultColumnLayout));
  Stop();

  SettingsKey::Values expected = FullValues();
  ColumnLayout allVisible = ChangedLayout();
  for (auto& c : allVisible) c.visible = true;  // stored after every column is made visible
  expected[s::kTransactionColumns] = Binary(EncodeColumnLayout(allVisible));
  expected[s::kCurrentUserID] = Dword(0);  // no user selected at exit
  const SettingsKey::Values written = StoredValues();
  ExpectTwelveValuesOfTheirKinds(written);
  for (const auto& [name, value] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(written.at(name).dword, value.dword);
    EXPECT_EQ(written.at(name).bytes, value.bytes);
  }
}

TEST_F(StartupTest, WhatTheUserChangedComesBackAtTheNextStart) {
  Start();
  TMainForm& f = Form();
  QHeaderView* titles = f.TransactionsKADaoDBGrid->horizontalHeader();
  titles->moveSection(0, 5);                                                 // drag "Income" to the right
  titles->resizeSection(titles->logicalIndex(f.TransactionsKADaoDBGrid->ColumnIndex("NOTES")), 222);
  titles->hideSection(titles->logicalIndex(f.TransactionsKADaoDBGrid->ColumnIndex("FMIRROR")));
  ColumnLayout expected = f.TransactionsKADaoDBGrid->Columns();
  ASSERT_EQ(expected[5].fieldName, "FADD");
  for (auto& c : expected) c.visible = true;
  f.Showalltables1Click();
  f.Showhints1Click();
  f.Allowfilterpanelfloating1Click();
  f.ImportPathEdit->setText("/from/here");
  f.ExportPathEdit->setText(QString::fromUtf8("/to/\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0 with blanks"));
  f.MainPageControl->setCurrentIndex(8);
  Stop();

  Start();
  TMainForm& g = Form();
  EXPECT_EQ(g.TransactionsKADaoDBGrid->Columns(), expected);
  EXPECT_EQ(g.TransactionsKADaoDBGrid->ColumnWidth(g.TransactionsKADaoDBGrid->ColumnIndex("NOTES")), 222);
  EXPECT_TRUE(g.Showalltables1->isChecked());
  EXPECT_FALSE(g.Showhints1->isChecked());
  EXPECT_TRUE(g.Allowfilterpanelfloating1->isChecked());
  EXPECT_EQ(g.ImportPathEdit->text(), "/from/here");
  EXPECT_EQ(g.ExportPathEdit->text(), QString::fromUtf8("/to/\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0 with blanks"));
  EXPECT_EQ(g.MainPageControl->currentIndex(), 8);
  ExpectDesignedTransactionColumns(*DecodeColumnLayout(g.DefaultColumnLayout));
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(StartupTest, ShiftAtStartKeepsTheDesignedStateAndShiftAtExitKeepsTheStoredValues) {
  WriteSettings(FullValues());
  const std::string before = ReadFileBytes(SettingsFile());
  shiftAtStart_ = true;
  shiftAtExit_ = true;
  Start();
  ExpectFirstRunState(Form());
  Stop();
  EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(StartupTest, ShiftAtStartOnlyWritesTheDesignedStateAtExit) {
  WriteSettings(FullValues());
  shiftAtStart_ = true;
  Start();
  Stop();
  const auto values = StoredValues();
  ExpectTwelveValuesOfTheirKinds(values);
  EXPECT_EQ(values.at(s::kExchangeType).dword, 1u);
  EXPECT_EQ(values.at(s::kShowAllTables).dword, 0u);
  EXPECT_EQ(values.at(s::kShowHints).dword, 1u);
  EXPECT_EQ(values.at(s::kImportPath).bytes, "");
}

TEST_F(StartupTest, ShiftAtExitOnlyLeavesTheFileAsItWas) {
  WriteSettings(FullValues());
  const std::string before = ReadFileBytes(SettingsFile());
  shiftAtExit_ = true;
  Start();
  Form().Showalltables1Click();
  Form().ImportPathEdit->setText("/changed");
  Stop();
  EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
}

struct DamageCase {
  const char* name;
  std::function<std::string()> file;  // the settings file's bytes
  std::size_t applied;                // values 1..applied are applied, the others are not
  int unreadable = -1;                // a value that reads as its empty form (0-based), if any
};

std::string Serialized(const std::function<void(SettingsKey::Values&)>& change) {
  SettingsKey::Values v = FullValues();
  change(v);
  return SettingsKey::Serialize(v);
}

TEST_F(StartupTest, ADamagedSettingsFileAppliesWhatWasReadBeforeTheFailure) {
  const DamageCase cases[] = {
      {"binary garbage",
       [] {
         static const char bytes[] = "\x7f" "ELF\x02\x01\x01\0\0\xff\xfe QuilletSettings 1\nDWORD CurrentUserID 1\n";
         return std::string(bytes, sizeof bytes - 1);
       },
       0},
      {"header only", [] { return std::string("QuilletSettings 1\n"); }, 0},
      {"exchange type stored as text", [] { return Serialized([](auto& v) { v[s::kExchangeType] = Sz("0"); }); }, 0},
      {"user ID missing", [] { return Serialized([](auto& v) { v.erase(s::kCurrentUserID); }); }, 1},
      {"import path missing reads as empty",
       [] { return Serialized([](auto& v) { v.erase(s::kImportPath); }); }, 12, 2},
      {"export path stored as a number", [] { return Serialized([](auto& v) { v[s::kExportPath] = Dword(5); }); }, 3},
      {"Showalltables1 stored as text", [] { return Serialized([](auto& v) { v[s::kShowAllTables] = Sz("1"); }); }, 4},
      {"Showhints1 stored as binary",
       [] { return Serialized([](auto& v) { v[s::kShowHints] = Binary({0, 0, 0, 0}); }); }, 5},
      {"page index missing", [] { return Serialized([](auto& v) { v.erase(s::kActivePage); }); }, 10},
      {"layout missing", [] { return Serialized([](auto& v) { v.erase(s::kTransactionColumns); }); }, 11},
      {"layout empty", [] { return Serialized([](auto& v) { v[s::kTransactionColumns] = Binary({}); }); }, 11},
      {"layout stored as a number",
       [] { return Serialized([](auto& v) { v[s::kTransactionColumns] = Dword(1); }); }, 11},
      {"layout truncated",
       [] {
         return Serialized([](auto& v) {
           ByteStream b = EncodeColumnLayout(ChangedLayout());
           b.resize(b.size() - 3);
           v[s::kTransactionColumns] = Binary(b);
         });
       },
       11},
      {"layout beyond its 4096-byte buffer",
       [] {
         return Serialized([](auto& v) {
           ColumnLayout big = ChangedLayout();
           for (auto& c : big) c.title = std::string(300, 'x');
           ByteStream b = EncodeColumnLayout(big);
           EXPECT_GT(b.size(), kColumnLayoutBufferSize);
           v[s::kTransactionColumns] = Binary(b);
         });
       },
       11},
      {"layout naming a field the grid does not have",
       [] {
         return Serialized([](auto& v) {
           ColumnLayout l = ChangedLayout();
           l[3].fieldName = "NO_SUCH_FIELD";
           v[s::kTransactionColumns] = Binary(EncodeColumnLayout(l));
         });
       },
       11},
      {"one line cut short in the middle",
       [] {
         std::string text = SettingsKey::Serialize(FullValues());
         const auto at = text.find("DWORD Showhints1");
         return text.substr(0, at) + "DWORD Showhin\n" + text.substr(text.find('\n', at) + 1);
       },
       5},
      {"all values good", [] { return SettingsKey::Serialize(FullValues()); }, 12},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.calls.clear();
    WriteFileBytes(SettingsFile(), c.file());
    Start();
    const std::vector<bool> applied = AppliedValues(Form());
    for (std::size_t i = 0; i < applied.size(); ++i) {
      if (static_cast<int>(i) == c.unreadable || i == 9) continue;  // value 10 is stored as its default
      EXPECT_EQ(applied[i], i < c.applied) << "value " << i + 1;
    }
    if (c.unreadable == 2) {
      EXPECT_EQ(Form().ImportPathEdit->text(), QString());
    }
    if (c.applied < 12) {
      ExpectDesignedTransactionColumns(Form().TransactionsKADaoDBGrid->Columns());
    }
    Stop();
    EXPECT_TRUE(dialogs_.calls.empty());
    ExpectTwelveValuesOfTheirKinds(StoredValues());  // the next exit wrote a whole, good file
  }
}

TEST_F(StartupTest, HiddenPagesKeepTheirIndexes) {
  const char* pages[] = {"ImportExportTabSheet", "AccountTabSheet",   "TransactionsTabSheet", "CurrenciesTabSheet",
                         "Category1TabSheet",    "Category2TabSheet", "Category3TabSheet",    "Category4TabSheet",
                         "BalanceTypeTabSheet",  "RemindTypeTabSheet", "CustomNamesTabSheet"};
  Start();
  TMainForm& f = Form();
  ASSERT_EQ(f.MainPageControl->count(), 11);
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(pages[i]);
    EXPECT_EQ(f.Page(i)->objectName(), pages[i]);
    EXPECT_EQ(f.MainPageControl->tabText(i), RussianText(pages[i], TextRole::Caption));
    EXPECT_FALSE(f.MainPageControl->tabText(i).isEmpty());
    EXPECT_EQ(f.MainPageControl->isTabVisible(i), i < 4);
  }
  f.MainPageControl->setCurrentWidget(f.CurrenciesTabSheet);
  Stop();
  EXPECT_EQ(StoredValues().at(s::kActivePage).dword, 3u);

  // Shown again, the pages have the same indexes; a stored hidden page comes back in front.
  SettingsKey::Values v = StoredValues();
  v[s::kShowAllTables] = Dword(1);
  v[s::kActivePage] = Dword(9);
  WriteSettings(v);
  Start();
  for (int i = 0; i < 11; ++i) EXPECT_TRUE(Form().MainPageControl->isTabVisible(i));
  EXPECT_EQ(Form().MainPageControl->currentWidget(), Form().RemindTypeTabSheet);
  // Hiding the page in front leaves a page with a tab in front.
  Form().Showalltables1Click();
  EXPECT_FALSE(Form().MainPageControl->isTabVisible(9));
  EXPECT_LT(Form().MainPageControl->currentIndex(), 4);
  EXPECT_EQ(Form().StatusText(), Msg(text::MsgMainTablesVisible));
  Stop();
}

TEST_F(StartupTest, AStoreThatIsNotADatabaseShowsTheEnginesMessageAndStaysUntouched) {
  const std::string garbage = "This is a text file where the store should be.\n" + std::string(4000, '#');
  WriteFileBytes(StorePath(), garbage);
  std::string engineText;
  {
    TKADaoDatabase probe;
    probe.Database = StorePath();
    try {
      probe.SetActive(true);
    } catch (const StoreError& e) {
      engineText = e.what();
    }
  }
  ASSERT_FALSE(engineText.empty());
  ASSERT_EQ(ReadFileBytes(StorePath()), garbage);

  Start();
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_EQ(dialogs_.calls[0].kind, DialogCall::Error);
  EXPECT_EQ(dialogs_.calls[0].caption, Msg(text::MsgTitle).toStdString());
  EXPECT_EQ(dialogs_.calls[0].text, engineText);
  EXPECT_TRUE(Form().isVisible());
  for (TKADaoDBGrid* grid : Form().Grids()) EXPECT_EQ(grid->Model()->rowCount(), 0) << grid->objectName().toStdString();
  EXPECT_TRUE(Dm().StoreBusy);
  Stop();
  EXPECT_EQ(dialogs_.calls.size(), 1u) << "closing a store that never opened shows nothing";
  EXPECT_EQ(ReadFileBytes(StorePath()), garbage);
  ExpectTwelveValuesOfTheirKinds(StoredValues());
}

TEST_F(StartupTest, AStoreLockedByAnotherOpenShowsTheEnginesMessageAndStaysUntouched) {
  MakeStore("INSERT INTO Category1 VALUES (1, 'Food'); INSERT INTO Account (ID, NAME) VALUES (3, 'Cash');");
  TKADaoDatabase holder;  // a second copy of the program holding the store
  holder.Database = StorePath();
  holder.SetActive(true);
  const std::string before = ReadFileBytes(StorePath());
  std::string engineText;
  {
    TKADaoDatabase probe;
    probe.Database = StorePath();
    try {
      probe.SetActive(true);
    } catch (const StoreError& e) {
      engineText = e.what();
    }
  }
  ASSERT_FALSE(engineText.empty());

  Start();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].caption, Msg(text::MsgTitle).toStdString());
  EXPECT_EQ(Errors()[0].text, engineText);
  EXPECT_EQ(Form().AccountsKADaoDBGrid->Model()->rowCount(), 0);
  EXPECT_EQ(Form().AccToDBLookupComboBox->count(), 0);
  Stop();
  EXPECT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_EQ(ReadFileBytes(StorePath()), before);
  holder.SetActive(false);
  EXPECT_EQ(QueryStore("SELECT COUNT(*) FROM Category1"), 1);
}

TEST_F(StartupTest, ClosingTheWindowPutsAFloatingFilterPanelBackIntoItsPage) {
  Start();
  TMainForm& f = Form();
  f.Allowfilterpanelfloating1Click();
  EXPECT_EQ(f.StatusText(), Msg(text::MsgFloatingEnabled));
  ASSERT_TRUE(f.TransactionsFilterPanel->features() & QDockWidget::DockWidgetFloatable);
  f.TransactionsFilterPanel->setFloating(true);
  ASSERT_TRUE(f.TransactionsFilterPanel->isFloating());
  f.close();
  EXPECT_FALSE(f.TransactionsFilterPanel->isFloating());
  EXPECT_EQ(f.TransactionsTabSheet->dockWidgetArea(f.TransactionsFilterPanel), Qt::TopDockWidgetArea);
  EXPECT_TRUE(f.TransactionsFilterPanel->isVisibleTo(f.TransactionsTabSheet));
}

TEST_F(StartupTest, EachStartUpToggleTwiceReturnsToItsStateWithItsMessage) {
  Start();
  TMainForm& f = Form();
  struct Toggle {
    QAction* item;
    void (TMainForm::*handler)();
    int on;
    int off;
  };
  const Toggle toggles[] = {
      {f.Showalltables1, &TMainForm::Showalltables1Click, text::MsgAllTablesVisible, text::MsgMainTablesVisible},
      {f.Showhints1, &TMainForm::Showhints1Click, text::MsgHintsEnabled, text::MsgHintsDisabled},
      {f.Allowfilterpanelfloating1, &TMainForm::Allowfilterpanelfloating1Click, text::MsgFloatingEnabled,
       text::MsgFloatingDisabled},
      {f.Importatstartup1, &TMainForm::Importatstartup1Click, text::MsgImportAtStartupEnabled,
       text::MsgImportAtStartupDisabled},
  };
  for (const Toggle& t : toggles) {
    SCOPED_TRACE(t.item->objectName().toStdString());
    const bool first = t.item->isChecked();
    (f.*t.handler)();
    EXPECT_NE(t.item->isChecked(), first);
    EXPECT_EQ(f.StatusText(), Msg(first ? t.off : t.on));
    t.item->trigger();  // through the menu item
    EXPECT_EQ(t.item->isChecked(), first);
    EXPECT_EQ(f.StatusText(), Msg(first ? t.on : t.off));
  }
  // The effects follow the checks.
  f.Showalltables1Click();
  EXPECT_TRUE(f.MainPageControl->isTabVisible(4));
  f.Showhints1Click();
  EXPECT_FALSE(f.HintsEnabled());
}

}  // namespace
}  // namespace quillet::app::testing
