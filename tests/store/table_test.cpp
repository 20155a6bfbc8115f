#include <gtest/gtest.h>

#include <memory>

#include "store/database.h"
#include "store/schema.h"
#include "store/table.h"
#include "temp_dir.h"

using namespace quillet;

namespace {

// Counts what a bound control would be told.
struct Recorder : DataSourceListener {
  int resets = 0, inserted = 0, removed = 0, changed = 0, moves = 0;
  void dataReset() override { ++resets; }
  void rowInserted(int) override { ++inserted; }
  void rowRemoved(int) override { ++removed; }
  void rowChanged(int) override { ++changed; }
  void currentChanged(int) override { ++moves; }
  int total() const { return resets + inserted + removed + changed + moves; }
};

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Database = dir / "Quillet.mdb";
    db.SetActive(true);
    currency = std::make_unique<TKADaoTable>(db, "Currency", "Currency", TableSchema("Currency").columns);
    account = std::make_unique<TKADaoTable>(db, "Account", "Account", TableSchema("Account").columns);
    source = std::make_unique<TDataSource>("SCurrency", *currency);
    source->addListener(&recorder);
    currency->Open();
    account->Open();
  }
  void addCurrency(int id, const std::string& name, double rate) {
    currency->Insert();
    currency->FieldByName("ID").SetAsInteger(id);
    currency->FieldByName("NAME").SetAsString(name);
    currency->FieldByName("RATE").SetAsFloat(rate);
    currency->Post();
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (currency->First(); !currency->Eof(); currency->Next()) out.push_back(currency->FieldByName("NAME").AsString());
    return out;
  }

  TempDir dir;
  TKADaoDatabase db;
  std::unique_ptr<TKADaoTable> currency, account;
  std::unique_ptr<TDataSource> source;
  Recorder recorder;
};

}  // namespace

TEST_F(TableTest, RowsComeBackInInsertionOrderAndDuplicatesAreKept) {
  addCurrency(5, "USD", 1);
  addCurrency(2, "EUR", 1.1);
  addCurrency(5, "UAH", 0.03);
  currency->Refresh();
  EXPECT_EQ(names(), (std::vector<std::string>{"USD", "EUR", "UAH"}));
  currency->First();
  EXPECT_EQ(currency->Lookup("ID", Variant::fromInteger(5), "NAME").text(), "USD");
  EXPECT_EQ(currency->Lookup("ID", Variant::fromFloat(2.0), "RATE").floating(), 1.1);
  EXPECT_TRUE(currency->Lookup("ID", Variant::fromInteger(9), "NAME").isEmpty());
  EXPECT_TRUE(currency->Lookup("ID", Variant(), "NAME").isEmpty());
  currency->F_SetBatchMode(true);
  EXPECT_TRUE(currency->Lookup("ID", Variant::fromInteger(5), "NAME").isEmpty());
  currency->F_SetBatchMode(false);
  EXPECT_EQ(currency->RecNo(), 0);  // the lookups never moved the cursor
}

TEST_F(TableTest, LookupOnAnEmptyViewAnswersEmpty) {
  EXPECT_TRUE(currency->IsEmpty());
  EXPECT_TRUE(currency->Lookup("ID", Variant::fromInteger(1), "NAME").isEmpty());
}

TEST_F(TableTest, NavigationStopsAtTheEnds) {
  currency->First();
  EXPECT_TRUE(currency->Eof());
  EXPECT_EQ(currency->RecNo(), -1);
  addCurrency(1, "A", 1);
  addCurrency(2, "B", 1);
  currency->First();
  EXPECT_FALSE(currency->Eof());
  currency->Next();
  EXPECT_EQ(currency->RecNo(), 1);
  EXPECT_FALSE(currency->Eof());
  currency->Next();
  EXPECT_TRUE(currency->Eof());
  EXPECT_EQ(currency->RecNo(), 1);
  EXPECT_EQ(currency->FieldByName("NAME").AsString(), "B");
}

TEST_F(TableTest, EmptyValuesReadAsZeroFalseAndEmptyText) {
  account->Insert();
  account->Post();
  account->Refresh();
  EXPECT_EQ(account->FieldByName("ID").AsInteger(), 0);
  EXPECT_EQ(account->FieldByName("AMOUNT").AsFloat(), 0.0);
  EXPECT_FALSE(account->FieldByName("FACTIVE").AsBoolean());
  EXPECT_EQ(account->FieldByName("NOTES").AsString(), "");
  EXPECT_TRUE(account->FieldByName("NAME").IsNull());
  try {
    (void)account->FieldByName("AMOUNT").AsVariant().toFloat();
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid variant type conversion");
  }
}

TEST_F(TableTest, TextIsCutToItsWidthButMemosAreNot) {
  const std::string sixty(60, 'n');
  const std::string longNotes(10000, 'm');
  account->Insert();
  account->FieldByName("NAME").SetAsString(sixty);
  account->FieldByName("NOTES").SetAsString(longNotes);
  account->FieldByName("FTOTAL").SetAsBoolean(true);
  account->Post();
  account->Refresh();
  EXPECT_EQ(account->FieldByName("NAME").AsString(), sixty.substr(0, 50));
  EXPECT_EQ(account->FieldByName("NOTES").AsString(), longNotes);
  EXPECT_TRUE(account->FieldByName("FTOTAL").AsBoolean());
}

TEST_F(TableTest, HandheldBytesAreStoredUnchanged) {
  const std::string bytes = "\xC5\xE4\xE0 \x01\xFF\x80\r\n";
  account->Insert();
  account->FieldByName("NOTES").SetAsString(bytes);
  account->Post();
  account->Close();
  account->Open();
  EXPECT_EQ(account->FieldByName("NOTES").AsString(), bytes);
}

TEST_F(TableTest, EditOnAnEmptyViewStartsANewRow) {
  currency->Edit();
  EXPECT_EQ(currency->state(), TKADaoTable::State::Insert);
  currency->FieldByName("NAME").SetAsString("EUR");
  currency->Post();
  currency->Refresh();
  EXPECT_EQ(currency->RecordCount(), 1);
  currency->Edit();
  currency->FieldByName("RATE").SetAsFloat(2.5);
  currency->Post();
  currency->Refresh();
  EXPECT_EQ(currency->RecordCount(), 1);
  EXPECT_EQ(currency->FieldByName("RATE").AsFloat(), 2.5);
}

TEST_F(TableTest, WritingNeedsEditOrInsertMode) {
  addCurrency(1, "A", 1);
  EXPECT_THROW(currency->FieldByName("NAME").SetAsString("B"), StoreError);
  currency->Close();
  EXPECT_THROW((void)currency->FieldByName("NAME").AsString(), StoreError);
}

TEST_F(TableTest, SettingTheFilterReReadsAndMovesToTheFirstRowEvenWhenUnchanged) {
  addCurrency(1, "A", 1);
  addCurrency(2, "B", 2);
  addCurrency(3, "C", 3);
  currency->SetFilter("RATE >= 2");
  EXPECT_EQ(currency->RecordCount(), 3);  // not filtered yet
  currency->SetFiltered(true);
  EXPECT_EQ(names(), (std::vector<std::string>{"B", "C"}));
  currency->Last();
  // A row added behind the view's back shows after the same filter is set again.
  db.exec("INSERT INTO [Currency] VALUES (4, 'D', 4);");
  currency->SetFilter("RATE >= 2");
  EXPECT_EQ(currency->RecNo(), 0);
  EXPECT_EQ(currency->RecordCount(), 3);
  currency->SetFilter("");
  EXPECT_EQ(currency->RecordCount(), 4);
  currency->SetFiltered(false);
  EXPECT_EQ(currency->Filter(), "");
}

TEST_F(TableTest, APendingChangeIsPostedBeforeTheReRead) {
  addCurrency(1, "A", 1);
  currency->SetFiltered(true);
  currency->Edit();
  currency->FieldByName("RATE").SetAsFloat(9);
  currency->SetFilter("RATE = 9");
  EXPECT_EQ(currency->RecordCount(), 1);
  EXPECT_EQ(currency->state(), TKADaoTable::State::Browse);
}

TEST_F(TableTest, AnInvalidFilterRaisesAndKeepsTheRows) {
  addCurrency(1, "A", 1);
  addCurrency(2, "B", 2);
  currency->SetFiltered(true);
  EXPECT_THROW(currency->SetFilter("RATE >="), StoreError);
  EXPECT_THROW(currency->SetFilter("1; DROP TABLE [Currency]"), StoreError);
  EXPECT_EQ(currency->RecordCount(), 2);
  currency->SetFilter("");
  EXPECT_EQ(currency->RecordCount(), 2);
}

TEST_F(TableTest, NullMatchesNeitherABareBooleanNorItsNot) {
  auto tx = std::make_unique<TKADaoTable>(db, "Transaction", "Transaction", TableSchema("Transaction").columns);
  tx->Open();
  for (int v : {1, 0, -1}) {
    tx->Insert();
    tx->FieldByName("ID").SetAsInteger(v);
    if (v >= 0) tx->FieldByName("FRECEIPT").SetAsBoolean(v == 1);
    tx->Post();
  }
  tx->SetFiltered(true);
  tx->SetFilter("FRECEIPT");
  EXPECT_EQ(tx->RecordCount(), 1);
  tx->SetFilter("NOT FRECEIPT");
  EXPECT_EQ(tx->RecordCount(), 1);
  EXPECT_EQ(tx->FieldByName("ID").AsInteger(), 0);
  tx->SetFilter("DATE >= 37469");
  EXPECT_EQ(tx->RecordCount(), 0);
}

TEST_F(TableTest, DeleteRemovesTheCurrentRowFromTheTable) {
  addCurrency(1, "A", 1);
  addCurrency(2, "B", 2);
  addCurrency(3, "C", 3);
  currency->First();
  currency->Next();
  currency->Delete();
  EXPECT_EQ(currency->FieldByName("NAME").AsString(), "C");
  currency->Refresh();
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "C"}));
  currency->Last();
  currency->Delete();
  currency->Delete();
  EXPECT_TRUE(currency->IsEmpty());
  EXPECT_THROW(currency->Delete(), StoreError);
}

TEST_F(TableTest, BatchModeNestsAndSilencesTheControls) {
  recorder = Recorder{};
  currency->F_SetBatchMode(true);
  currency->F_SetBatchMode(true);
  addCurrency(1, "A", 1);
  currency->First();
  currency->F_SetBatchMode(false);
  EXPECT_EQ(recorder.total(), 0);
  EXPECT_TRUE(currency->BatchMode());
  currency->F_SetBatchMode(false);
  EXPECT_FALSE(currency->BatchMode());
  EXPECT_EQ(recorder.resets, 1);
  EXPECT_EQ(currency->Lookup("ID", Variant::fromInteger(1), "NAME").text(), "A");
  addCurrency(2, "B", 2);
  EXPECT_EQ(recorder.inserted, 1);
}

TEST_F(TableTest, LookupFieldsFollowTheirKeyAndWidth) {
  TField& name = account->AddLookupField("AccountCurrencyName", "CurrencyName", FieldType::Text, 8, "CURRENCY_ID",
                                         *currency, "NAME");
  addCurrency(3, "Hryvnia of Ukraine", 0.03);
  account->Insert();
  account->FieldByName("CURRENCY_ID").SetAsInteger(3);
  account->Post();
  account->Insert();
  account->FieldByName("CURRENCY_ID").SetAsInteger(99);
  account->Post();
  account->Insert();
  account->Post();
  EXPECT_EQ(name.ValueAt(0).text(), "Hryvnia ");
  EXPECT_TRUE(name.ValueAt(1).isEmpty());
  EXPECT_TRUE(name.ValueAt(2).isEmpty());
  account->First();
  EXPECT_EQ(name.AsString(), "Hryvnia ");
  EXPECT_EQ(FieldText(name, Formats{}), "Hryvnia ");
  currency->F_SetBatchMode(true);
  EXPECT_TRUE(name.IsNull());
  currency->F_SetBatchMode(false);
  EXPECT_THROW(name.SetAsString("x"), StoreError);
}

TEST_F(TableTest, DisplayTextUsesTheFieldsFormat) {
  addCurrency(1, "A", 1.23456);
  TField& rate = currency->FieldByName("RATE");
  rate.DisplayFormat = "###0.####";
  Formats f;
  f.decimalSeparator = ",";
  EXPECT_EQ(rate.DisplayTextAt(0, f), "1,2346");
  EXPECT_EQ(FieldText(rate, f), "1,23456");
}

// Views larger than one block of rows: reading, changing and deleting across blocks.
TEST_F(TableTest, ManyRowsKeepTheirValuesAcrossBlocks) {
  constexpr int kRows = 1300;
  db.exec("BEGIN;");
  for (int i = 0; i < kRows; ++i)
    db.exec("INSERT INTO [Currency] VALUES (" + std::to_string(i) + ", 'C" + std::to_string(i) + "', " +
            std::to_string(i) + ".5);");
  db.exec("COMMIT;");
  currency->Refresh();
  ASSERT_EQ(currency->RecordCount(), kRows);
  TField& id = currency->FieldByName("ID");
  TField& name = currency->FieldByName("NAME");
  currency->SetRecNo(1100);
  EXPECT_EQ(id.AsInteger(), 1100);
  EXPECT_EQ(name.AsString(), "C1100");

  // An edit in a late block, a delete in an early one: every later row moves up by one.
  currency->Edit();
  name.SetAsString("edited");
  currency->Post();
  currency->SetRecNo(10);
  currency->Delete();
  EXPECT_EQ(currency->RecordCount(), kRows - 1);
  for (int row : {9, 10, 511, 512, 1023, 1098, 1099, kRows - 2}) {
    const int expectedId = row < 10 ? row : row + 1;
    EXPECT_EQ(currency->Value(row, 0).integer(), expectedId) << row;
    EXPECT_EQ(name.ValueAt(row).text(), expectedId == 1100 ? "edited" : "C" + std::to_string(expectedId)) << row;
  }
  EXPECT_EQ(currency->Lookup("ID", Variant::fromInteger(1299), "NAME").text(), "C1299");
  EXPECT_TRUE(currency->Lookup("ID", Variant::fromInteger(10), "NAME").isEmpty());

  // Rows appended after the blocks were read join the end.
  addCurrency(5000, "appended", 1);
  EXPECT_EQ(currency->RecordCount(), kRows);
  EXPECT_EQ(name.ValueAt(kRows - 1).text(), "appended");
  EXPECT_EQ(currency->Lookup("ID", Variant::fromInteger(5000), "NAME").text(), "appended");

  // The same store read afresh agrees with what the view showed.
  auto fresh = std::make_unique<TKADaoTable>(db, "Currency2", "Currency", TableSchema("Currency").columns);
  fresh->Open();
  ASSERT_EQ(fresh->RecordCount(), kRows);
  for (int row = 0; row < kRows; row += 97)
    EXPECT_EQ(fresh->Value(row, 1).text(), currency->Value(row, 1).text()) << row;

  // A filtered view read block by block skips the table's rows between its own.
  auto thirds = std::make_unique<TKADaoTable>(db, "Currency3", "Currency", TableSchema("Currency").columns);
  thirds->SetFilter("ID % 3 = 0");
  thirds->SetFiltered(true);
  thirds->Open();
  std::vector<int> ids, expected;
  for (thirds->First(); !thirds->Eof(); thirds->Next()) ids.push_back(thirds->FieldByName("ID").AsInteger());
  for (int i = 0; i < kRows; i += 3) expected.push_back(i);  // neither the deleted 10 nor 5000 is a third
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(thirds->FieldByName("NAME").AsString(), "C1299");
}

TEST_F(TableTest, AnOpenedViewReadsTheRowsWhenFirstAsked) {
  addCurrency(1, "A", 1);
  auto second = std::make_unique<TKADaoTable>(db, "Currency2", "Currency", TableSchema("Currency").columns);
  second->Open();
  db.exec("INSERT INTO [Currency] VALUES (2, 'B', 2);");
  // Nothing was read at open, so the row written since is there; the first row is current.
  EXPECT_EQ(second->RecordCount(), 2);
  EXPECT_EQ(second->RecNo(), 0);
  EXPECT_EQ(second->FieldByName("NAME").AsString(), "A");
  // A missing column is still reported when the view opens.
  std::vector<ColumnDef> columns = TableSchema("Currency").columns;
  columns.push_back({"NO_SUCH_COLUMN", FieldType::Integer, 0});
  TKADaoTable broken(db, "Broken", "Currency", columns);
  EXPECT_THROW(broken.Open(), StoreError);
  EXPECT_FALSE(broken.Active());
}
