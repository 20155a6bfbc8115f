#include "pdb/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/datamodule.h"
#include "store/datetime.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::pdb {
namespace {

using fixture::Bytes;
using fixture::hex;

const TableLayout& layout(const std::string& table) {
  for (const auto& l : kTableLayouts)
    if (table == l.table) return l;
  throw std::invalid_argument(table);
}

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override { takeExportWarnings(); }

  static void decode(const std::string& table, const Bytes& record) {
    layout(table).decode(record.data(), static_cast<std::uint32_t>(record.size()));
  }

  TKADaoTable& view(const std::string& table) const { return store.dm().DataView(indexOf(table)); }
  static int indexOf(const std::string& table) {
    for (int i = 0; i < 10; ++i)
      if (table == kTableLayouts[i].table) return i;
    throw std::invalid_argument(table);
  }

  // Exports the table through the writer and returns its records.
  std::vector<Bytes> exportTable(const std::string& table) const {
    const TableLayout& l = layout(table);
    const std::string path = store.dir.file("QL_" + table + ".pdb");
    EXPECT_EQ(exportPdb(path.c_str(), ("QL_" + table).c_str(), "DATA", "IDql", view(table).RecordCount(), l.size,
                        l.data, nullptr),
              0);
    std::vector<Bytes> out;
    for (auto& r : fixture::parsePdbFile(path).records) out.push_back(r.data);
    return out;
  }

  fixture::TempStore store;
};

// The DM view behind a layout index, found through the data module (not through pdb/).
TKADaoTable& viewAt(int index) { return DM->DataView(index); }

// ---------------------------------------------------------------- reference tables

struct IdNameTable {
  const char* table;
  TField* TDM::*id;
  TField* TDM::*name;
};

const IdNameTable kIdNameTables[] = {
    {"Category1", &TDM::Category1ID, &TDM::Category1NAME},       {"Category2", &TDM::Category2ID, &TDM::Category2NAME},
    {"Category3", &TDM::Category3ID, &TDM::Category3NAME},       {"Category4", &TDM::Category4ID, &TDM::Category4NAME},
    {"BalanceType", &TDM::BalanceTypeID, &TDM::BalanceTypeNAME}, {"RemindType", &TDM::RemindTypeID, &TDM::RemindTypeNAME},
};

class IdNameRecordTest : public RecordsTest, public ::testing::WithParamInterface<IdNameTable> {};

TEST_P(IdNameRecordTest, FoodRecordBecomesItsOwnTablesRowAndComesBackByteForByte) {
  const IdNameTable& t = GetParam();
  const Bytes food = {0x00, 0x00, 0x00, 0x07, 0x46, 0x6F, 0x6F, 0x64, 0x00};
  decode(t.table, food);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(viewAt(i).RecordCount(), kTableLayouts[i].table == std::string(t.table) ? 1 : 0);
  TDM& d = store.dm();
  view(t.table).First();
  EXPECT_EQ((d.*t.id)->AsInteger(), 7);
  EXPECT_EQ((d.*t.name)->AsString(), "Food");
  EXPECT_EQ(exportTable(t.table), std::vector<Bytes>{food});
}

TEST_P(IdNameRecordTest, MinusOneIdEmptyNameAndFiftyCharacterCut) {
  const IdNameTable& t = GetParam();
  Bytes longName = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::string sixty(60, 'a');
  longName.insert(longName.end(), sixty.begin(), sixty.end());
  longName.push_back(0);
  decode(t.table, longName);
  decode(t.table, {0x80, 0x00, 0x00, 0x00, 0x00});  // empty name, most negative ID
  TDM& d = store.dm();
  view(t.table).First();
  EXPECT_EQ((d.*t.id)->AsInteger(), -1);
  EXPECT_EQ((d.*t.name)->AsString(), std::string(50, 'a'));
  view(t.table).Next();
  EXPECT_EQ((d.*t.id)->AsInteger(), INT32_MIN);
  EXPECT_EQ((d.*t.name)->AsString(), "");

  Bytes cut = {0xFF, 0xFF, 0xFF, 0xFF};
  cut.insert(cut.end(), sixty.begin(), sixty.begin() + 50);
  cut.push_back(0);
  EXPECT_EQ(exportTable(t.table), (std::vector<Bytes>{cut, {0x80, 0, 0, 0, 0}}));
  EXPECT_TRUE(takeExportWarnings().empty());
}

TEST_P(IdNameRecordTest, EmptyFieldsAreWrittenAsEmptyValues) {
  const IdNameTable& t = GetParam();
  view(t.table).Insert();
  view(t.table).Post();
  EXPECT_EQ(exportTable(t.table), std::vector<Bytes>{Bytes(5, 0)});
}

INSTANTIATE_TEST_SUITE_P(Tables, IdNameRecordTest, ::testing::ValuesIn(kIdNameTables),
                         [](const auto& tc) { return std::string(tc.param.table); });

TEST_F(RecordsTest, CurrencyRecordAndItsTwelveByteExport) {
  const Bytes usd = {0x00, 0x00, 0x00, 0x02, 0x3F, 0x80, 0x00, 0x00, 'U', 'S', 'D', 0x00};
  decode("Currency", usd);
  TDM& d = store.dm();
  EXPECT_EQ(d.CurrencyID->AsInteger(), 2);
  EXPECT_EQ(d.CurrencyRATE->AsFloat(), 1.0);
  EXPECT_EQ(d.CurrencyNAME->AsString(), "USD");
  EXPECT_EQ(exportTable("Currency"), std::vector<Bytes>{usd});
}

TEST_F(RecordsTest, RateOfOneTenthIsWrittenAsTheNearestSingleAndReadsBackAsIt) {
  TDM& d = store.dm();
  d.Currency->Insert();
  d.CurrencyID->SetAsInteger(-1);
  d.CurrencyRATE->SetAsFloat(0.1);
  d.CurrencyNAME->SetAsString("XTS");
  d.Currency->Post();
  d.Currency->Insert();  // all empty: 0, 0.0, ""
  d.Currency->Post();
  const auto records = exportTable("Currency");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(hex(records[0]), "FF FF FF FF 3D CC CC CD 58 54 53 00");
  EXPECT_EQ(records[1], Bytes(9, 0));

  EXPECT_TRUE(d.Database->EmptyTable("Currency"));
  d.Currency->Refresh();
  decode("Currency", records[0]);
  d.Currency->First();
  EXPECT_EQ(d.CurrencyID->AsInteger(), -1);
  EXPECT_NE(d.CurrencyRATE->AsFloat(), 0.1);
  EXPECT_EQ(d.CurrencyRATE->AsFloat(), 0.100000001490116119384765625);
}

TEST_F(RecordsTest, CustomNamesAreBareNamesAndAllRecordsAreKeptInOrder) {
  const char* names[] = {"Purpose", "Kind", "", "Place", "Fifth", "Sixth"};
  std::vector<Bytes> records;
  for (const char* n : names) records.push_back(fixture::customNameRecord(n));
  for (const auto& r : records) decode("CustomNames", r);
  TDM& d = store.dm();
  ASSERT_EQ(d.CustomNames->RecordCount(), 6);
  d.CustomNames->First();
  for (const char* n : names) {
    EXPECT_EQ(d.CustomNamesNAME->AsString(), n);
    d.CustomNames->Next();
  }
  const auto out = exportTable("CustomNames");
  EXPECT_EQ(out, records);
  EXPECT_EQ(out[2], Bytes{0});
}

// ---------------------------------------------------------------- accounts

TEST_F(RecordsTest, AccountRecordFieldsAndFlags) {
  fixture::AccountRow a{.id = 9, .amount = 0.1f, .currencyId = -1, .active = 2, .total = 0, .name = "Wallet",
                        .notes = "line1\r\nline2"};
  decode("Account", fixture::recordOf(a));
  TDM& d = store.dm();
  EXPECT_EQ(d.AccountID->AsInteger(), 9);
  EXPECT_EQ(d.AccountAMOUNT->AsFloat(), static_cast<double>(0.1f));
  EXPECT_EQ(d.AccountCURRENCY_ID->AsInteger(), -1);
  EXPECT_TRUE(d.AccountFACTIVE->AsBoolean());
  EXPECT_FALSE(d.AccountFTOTAL->AsBoolean());
  EXPECT_EQ(d.AccountNAME->AsString(), "Wallet");
  EXPECT_EQ(d.AccountNOTES->AsString(), "line1\r\nline2") << "notes are stored as they arrive";

  a.active = 1;
  a.notes = "line1\nline2";
  const auto out = exportTable("Account");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], fixture::recordOf(a));
  EXPECT_EQ(out[0].size(), 16u + 6 + 11);
}

TEST_F(RecordsTest, SixteenByteAccountHasEmptyNameAndNotes) {
  Bytes rec(16, 0);
  rec[3] = 5;
  decode("Account", rec);
  TDM& d = store.dm();
  EXPECT_EQ(d.AccountID->AsInteger(), 5);
  EXPECT_EQ(d.AccountNAME->AsString(), "");
  EXPECT_EQ(d.AccountNOTES->AsString(), "");
  EXPECT_EQ(exportTable("Account"), std::vector<Bytes>{rec});
}

// ---------------------------------------------------------------- transactions

fixture::TransactionRow plainTransaction() {
  fixture::TransactionRow t;
  t.id = 123;
  t.mirrorId = -1;
  t.accToId = 2;
  t.accFromId = 3;
  t.amount = 0.1f;
  t.currencyId = 4;
  t.ownRate = 2.5f;
  t.remindTypeId = 5;
  t.balanceTypeId = 6;
  t.category1Id = 7;
  t.category2Id = 8;
  t.category3Id = 9;
  t.category4Id = 10;
  t.date = {30, 15, 14, 9, 8, 2002, 3};
  t.ownCurrency = 1;
  t.cleared = 1;
  return t;
}

TEST_F(RecordsTest, TransactionFieldsAndDateWords) {
  decode("Transaction", fixture::recordOf(plainTransaction()));
  TDM& d = store.dm();
  EXPECT_EQ(d.TransactionID->AsInteger(), 123);
  EXPECT_EQ(d.TransactionMIRROR_ID->AsInteger(), -1);
  EXPECT_EQ(d.TransactionACC_TO_ID->AsInteger(), 2);
  EXPECT_EQ(d.TransactionACC_FROM_ID->AsInteger(), 3);
  EXPECT_EQ(d.TransactionAMOUNT->AsFloat(), 0.100000001490116119384765625);
  EXPECT_EQ(d.TransactionCURRENCY_ID->AsInteger(), 4);
  EXPECT_EQ(d.TransactionCURRENCY_RATE->AsFloat(), 2.5);
  EXPECT_EQ(d.TransactionREMINDTYPE_ID->AsInteger(), 5);
  EXPECT_EQ(d.TransactionBALANCETYPE_ID->AsInteger(), 6);
  EXPECT_EQ(d.TransactionCATEGORY1_ID->AsInteger(), 7);
  EXPECT_EQ(d.TransactionCATEGORY2_ID->AsInteger(), 8);
  EXPECT_EQ(d.TransactionCATEGORY3_ID->AsInteger(), 9);
  EXPECT_EQ(d.TransactionCATEGORY4_ID->AsInteger(), 10);
  EXPECT_EQ(d.TransactionDATE->AsDateTime(), EncodeDateTime(2002, 8, 9, 14, 15, 30));
  EXPECT_TRUE(d.TransactionFOWNCURRENCY->AsBoolean());
  EXPECT_FALSE(d.TransactionFADD->AsBoolean());
  EXPECT_FALSE(d.TransactionFMIRROR->AsBoolean());
  EXPECT_FALSE(d.TransactionFREMIND->AsBoolean());
  EXPECT_FALSE(d.TransactionFRECEIPT->AsBoolean());
  EXPECT_FALSE(d.TransactionFBILLABLE->AsBoolean());
  EXPECT_TRUE(d.TransactionFCLEARED->AsBoolean());
  EXPECT_EQ(d.TransactionNOTES->AsString(), "");

  const auto out = exportTable("Transaction");
  ASSERT_EQ(out.size(), 1u);
  ASSERT_EQ(out[0].size(), 74u);
  EXPECT_EQ(hex(Bytes(out[0].begin() + 52, out[0].begin() + 66)), "00 1E 00 0F 00 0E 00 09 00 08 07 D2 00 00");
  EXPECT_EQ(hex(Bytes(out[0].begin() + 16, out[0].begin() + 20)), "3D CC CC CD");
  fixture::TransactionRow expected = plainTransaction();
  expected.date.seventh = 0;
  EXPECT_EQ(out[0], fixture::recordOf(expected));
}

TEST_F(RecordsTest, NoOwnRateMarkerIsStoredAsZeroAndWrittenAsZeros) {
  fixture::TransactionRow t = plainTransaction();
  t.ownRate.reset();
  const Bytes rec = fixture::recordOf(t);
  EXPECT_EQ(hex(Bytes(rec.begin() + 24, rec.begin() + 28)), "FF FF FF FF");
  decode("Transaction", rec);
  EXPECT_EQ(store.dm().TransactionCURRENCY_RATE->AsFloat(), 0.0);
  const auto out = exportTable("Transaction");
  EXPECT_EQ(hex(Bytes(out.at(0).begin() + 24, out.at(0).begin() + 28)), "00 00 00 00");
}

TEST_F(RecordsTest, AnyNonZeroFlagReadsTrueAndIsWrittenAsOne) {
  fixture::TransactionRow t = plainTransaction();
  t.ownCurrency = 2;
  t.add = 0x80;
  t.mirror = 0xFF;
  t.remind = 1;
  t.receipt = 0;
  t.billable = 3;
  t.cleared = 0;
  decode("Transaction", fixture::recordOf(t));
  const auto out = exportTable("Transaction");
  EXPECT_EQ(hex(Bytes(out.at(0).begin() + 66, out.at(0).begin() + 73)), "01 01 01 01 00 01 00");
}

TEST_F(RecordsTest, EmptyRowIsWrittenWithZerosAndTheZeroDate) {
  TDM& d = store.dm();
  d.Transaction->Insert();
  d.Transaction->Post();
  const auto out = exportTable("Transaction");
  ASSERT_EQ(out.size(), 1u);
  Bytes expected(74, 0);
  // second, minute, hour 0; day 30, month 12, year 1899 (0x076B); seventh 0
  const Bytes date = {0, 0, 0, 0, 0, 0, 0, 30, 0, 12, 0x07, 0x6B, 0, 0};
  std::copy(date.begin(), date.end(), expected.begin() + 52);
  EXPECT_EQ(hex(out[0]), hex(expected));
}

TEST_F(RecordsTest, CarriageReturnsAreRemovedFromNotesOnExport) {
  fixture::TransactionRow t = plainTransaction();
  t.notes = "first\r\nsecond";
  ASSERT_EQ(t.notes.size(), 13u);
  decode("Transaction", fixture::recordOf(t));
  EXPECT_EQ(store.dm().TransactionNOTES->AsString(), "first\r\nsecond");
  const auto out = exportTable("Transaction");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].size(), 86u);
  EXPECT_EQ(std::string(out[0].begin() + 73, out[0].end()), std::string("first\nsecond\0", 13));
}

TEST_F(RecordsTest, SeventyFourByteTransactionHasEmptyNotes) {
  fixture::TransactionRow t = plainTransaction();
  const Bytes rec = fixture::recordOf(t);
  ASSERT_EQ(rec.size(), 74u);
  decode("Transaction", rec);
  EXPECT_TRUE(store.dm().TransactionNOTES->AsString().empty());
}

TEST_F(RecordsTest, StripCR) {
  EXPECT_EQ(stripCR(""), "");
  EXPECT_EQ(stripCR("\r\r"), "");
  EXPECT_EQ(stripCR("a\r\nb\rc\n"), "a\nbc\n");
}

// Date words: the date is checked before the time, each with its own error text.
struct DateCase {
  const char* name;
  fixture::DateWords words;
  const char* error;  // nullptr: accepted
};

const DateCase kDateCases[] = {
    {"Feb29In2001", {0, 0, 0, 29, 2, 2001, 0}, kInvalidDateEncode},
    {"Feb29In2000", {0, 0, 0, 29, 2, 2000, 0}, nullptr},
    {"Feb29In1900", {0, 0, 0, 29, 2, 1900, 0}, kInvalidDateEncode},
    {"Month0", {0, 0, 0, 1, 0, 2002, 0}, kInvalidDateEncode},
    {"Month13", {0, 0, 0, 1, 13, 2002, 0}, kInvalidDateEncode},
    {"Year0", {0, 0, 0, 1, 1, 0, 0}, kInvalidDateEncode},
    {"Year10000", {0, 0, 0, 1, 1, 10000, 0}, kInvalidDateEncode},
    {"Day0", {0, 0, 0, 0, 1, 2002, 0}, kInvalidDateEncode},
    {"April31", {0, 0, 0, 31, 4, 2002, 0}, kInvalidDateEncode},
    {"Hour24", {0, 0, 24, 1, 1, 2002, 0}, kInvalidTimeEncode},
    {"Minute60", {0, 60, 0, 1, 1, 2002, 0}, kInvalidTimeEncode},
    {"Second60", {60, 0, 0, 1, 1, 2002, 0}, kInvalidTimeEncode},
    {"BadDateAndTime", {60, 60, 24, 0, 0, 0, 0}, kInvalidDateEncode},
    {"LastSecondOf9999", {59, 59, 23, 31, 12, 9999, 0xFFFF}, nullptr},
    {"Year1", {0, 0, 12, 1, 1, 1, 0}, nullptr},
};

class TransactionDateTest : public RecordsTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(TransactionDateTest, ValidWordsRoundTripInvalidOnesFailAndKeepEarlierRows) {
  const DateCase& c = GetParam();
  fixture::TransactionRow before = plainTransaction();
  before.id = 1;
  fixture::TransactionRow probe = plainTransaction();
  probe.id = 2;
  probe.date = c.words;
  fixture::TransactionRow after = plainTransaction();
  after.id = 3;
  const Bytes file = fixture::pdbBytes(
      "QL_Transaction", std::vector<Bytes>{fixture::recordOf(before), fixture::recordOf(probe), fixture::recordOf(after)});
  TDM& d = store.dm();
  if (c.error) {
    try {
      importPdbMemory(file.data(), file.size(), importTransaction);
      FAIL() << "accepted";
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
    ASSERT_EQ(d.Transaction->RecordCount(), 1) << "the row before stays, the bad one and those after are not added";
    d.Transaction->First();
    EXPECT_EQ(d.TransactionID->AsInteger(), 1);
    EXPECT_EQ(d.Transaction->state(), TKADaoTable::State::Browse);
  } else {
    EXPECT_EQ(importPdbMemory(file.data(), file.size(), importTransaction), 0);
    ASSERT_EQ(d.Transaction->RecordCount(), 3);
    const auto out = exportTable("Transaction");
    ASSERT_EQ(out.size(), 3u);
    probe.date.seventh = 0;
    EXPECT_EQ(hex(out[1]), hex(fixture::recordOf(probe)));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, TransactionDateTest, ::testing::ValuesIn(kDateCases),
                         [](const auto& tc) { return std::string(tc.param.name); });

// ---------------------------------------------------------------- what the export cuts

TEST_F(RecordsTest, LongNotesAreShortenedWithAWarningAndTheFileIsWritten) {
  TDM& d = store.dm();
  std::string notes(4000, 'a');
  notes += "\r\n";
  notes += std::string(999, 'b');  // 5001 bytes, 5000 after the CR goes
  d.Transaction->Insert();
  d.TransactionID->SetAsInteger(123);
  d.TransactionNOTES->SetAsString(notes);
  d.Transaction->Post();
  d.Account->Insert();
  d.AccountID->SetAsInteger(9);
  d.AccountNAME->SetAsString("Wallet");
  d.AccountNOTES->SetAsString(std::string(40000, 'n'));
  d.Account->Post();

  const auto tx = exportTable("Transaction");
  ASSERT_EQ(tx.size(), 1u);
  ASSERT_EQ(tx[0].size(), 74u + kMaxNotes);
  EXPECT_EQ(std::string(tx[0].begin() + 73, tx[0].end() - 1), stripCR(notes).substr(0, kMaxNotes));
  EXPECT_EQ(tx[0].back(), 0);
  const auto ac = exportTable("Account");
  ASSERT_EQ(ac.size(), 1u);
  EXPECT_EQ(ac[0].size(), 16u + 6 + kMaxNotes);

  EXPECT_EQ(takeExportWarnings(),
            (std::vector<std::string>{"Notes of Transaction row 0 (ID 123) shortened from 5000 to 4095 bytes",
                                      "Notes of Account row 0 (ID 9) shortened from 40000 to 4095 bytes"}));
  EXPECT_TRUE(takeExportWarnings().empty()) << "taking the warnings empties the list";

  // Exactly 4095 bytes are not cut.
  d.Database->EmptyTable("Transaction");
  d.Transaction->Refresh();
  d.Transaction->Insert();
  d.TransactionNOTES->SetAsString(std::string(kMaxNotes, 'c'));
  d.Transaction->Post();
  EXPECT_EQ(exportTable("Transaction").at(0).size(), 74u + kMaxNotes);
  EXPECT_TRUE(takeExportWarnings().empty());
}

TEST_F(RecordsTest, TextsFromADamagedStoreAreCutToWhatTheHandheldTakes) {
  TDM& d = store.dm();
  // Written behind the views' backs, as another program could: a 70-byte name and a NUL inside.
  d.Database->exec("INSERT INTO [Category1] (ID, NAME) VALUES (5, '" + std::string(70, 'x') + "')");
  d.Database->exec("INSERT INTO [Category1] (ID, NAME) VALUES (6, CAST(X'41004243' AS TEXT))");
  d.Category1->Refresh();
  ASSERT_EQ(d.Category1->RecordCount(), 2);
  const auto out = exportTable("Category1");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].size(), 5u + 50);
  EXPECT_EQ(hex(out[1]), "00 00 00 06 41 00");
  EXPECT_EQ(takeExportWarnings(),
            (std::vector<std::string>{"Name of Category1 row 0 (ID 5) shortened from 70 to 50 bytes",
                                      "Name of Category1 row 1 (ID 6) shortened from 4 to 1 bytes"}));
}

TEST_F(RecordsTest, DataPassMustBuildWhatTheLengthPassMeasured) {
  TDM& d = store.dm();
  d.Category1->Insert();
  d.Category1NAME->SetAsString("Food");
  d.Category1->Post();
  EXPECT_EQ(category1Size(0), 9u);
  d.Category1->First();
  d.Category1->Edit();
  d.Category1NAME->SetAsString("Fuel and oil");
  d.Category1->Post();
  try {
    category1Data(0);
    FAIL();
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), "Category1: row 0 changed between the length pass and the data pass");
  }
}

TEST_F(RecordsTest, AskingForMoreRowsThanTheTableHoldsIsAnError) {
  TDM& d = store.dm();
  d.Category3->Insert();
  d.Category3->Post();
  const std::string path = store.dir.file("QL_Category3.pdb");
  EXPECT_THROW(exportPdb(path.c_str(), "QL_Category3", "DATA", "IDql", 2, category3Size, category3Data, nullptr),
               FormatError);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// ---------------------------------------------------------------- damaged records

struct BadRecord {
  const char* name;
  const char* table;
  Bytes bytes;
  const char* message;  // for record 1 of a file
};

Bytes transactionWithNotes(const std::string& notes, bool nul) {
  fixture::TransactionRow t = plainTransaction();
  t.notes = notes;
  Bytes b = fixture::recordOf(t);
  if (!nul) b.pop_back();
  return b;
}

const BadRecord kBadRecords[] = {
    {"Category1Short", "Category1", {0, 0, 0, 1}, "record 1 is 4 bytes, shorter than its 5-byte fixed part"},
    {"Category2NoNul", "Category2", {0, 0, 0, 1, 'a', 'b'}, "record 1: name text without its terminating NUL"},
    {"Category3Short", "Category3", {}, "record 1 is 0 bytes, shorter than its 5-byte fixed part"},
    {"Category4NoNul", "Category4", {0, 0, 0, 1, 'a'}, "record 1: name text without its terminating NUL"},
    {"BalanceTypeShort", "BalanceType", {0, 0}, "record 1 is 2 bytes, shorter than its 5-byte fixed part"},
    {"RemindTypeNoNul", "RemindType", {0, 0, 0, 1, 'x'}, "record 1: name text without its terminating NUL"},
    {"CurrencyShort", "Currency", {0, 0, 0, 1, 0x3F, 0x80, 0, 0}, "record 1 is 8 bytes, shorter than its 9-byte fixed part"},
    {"CurrencyNoNul", "Currency", {0, 0, 0, 1, 0x3F, 0x80, 0, 0, 'U'}, "record 1: name text without its terminating NUL"},
    {"CustomNamesEmpty", "CustomNames", {}, "record 1 is 0 bytes, shorter than its 1-byte fixed part"},
    {"CustomNamesNoNul", "CustomNames", {'K', 'i', 'n', 'd'}, "record 1: name text without its terminating NUL"},
    {"AccountShort", "Account", Bytes(15, 0), "record 1 is 15 bytes, shorter than its 16-byte fixed part"},
    {"AccountNameNoNul", "Account", Bytes{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 'a', 'b'},
     "record 1: name text without its terminating NUL"},
    {"AccountNotesNoNul", "Account", Bytes{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 'b'},
     "record 1: notes text without its terminating NUL"},
    {"TransactionShort", "Transaction", Bytes(73, 0), "record 1 is 73 bytes, shorter than its 74-byte fixed part"},
    {"TransactionNotesNoNul", "Transaction", transactionWithNotes("abc", false),
     "record 1: notes text without its terminating NUL"},
};

class BadRecordTest : public RecordsTest, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(BadRecordTest, RaisesWithTheRecordIndexAndKeepsTheRecordBefore) {
  const BadRecord& c = GetParam();
  const std::string table = c.table;
  // A good record of the same table first.
  Bytes good;
  if (table == "Currency") {
    good = fixture::recordOf(fixture::CurrencyRow{1, 1.0f, "RUB"});
  } else if (table == "CustomNames") {
    good = fixture::customNameRecord("Purpose");
  } else if (table == "Account") {
    good = fixture::recordOf(fixture::AccountRow{.id = 1, .name = "Wallet", .notes = ""});
  } else if (table == "Transaction") {
    good = fixture::recordOf(plainTransaction());
  } else {
    good = fixture::recordOf(fixture::IdNameRow{1, "Food"});
  }
  const Bytes file = fixture::pdbBytes("QL_" + table, std::vector<Bytes>{good, c.bytes, good});
  try {
    importPdbMemory(file.data(), file.size(), layout(table).decode);
    FAIL() << "accepted";
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), c.message);
  }
  EXPECT_EQ(view(table).RecordCount(), 1);
  EXPECT_EQ(view(table).state(), TKADaoTable::State::Browse);

  // Called on its own, the decoder does not know the index.
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[c.bytes.size() + 1]);
  std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
  try {
    layout(table).decode(exact.get(), static_cast<std::uint32_t>(c.bytes.size()));
    FAIL() << "accepted";
  } catch (const FormatError& e) {
    std::string expected = c.message;
    expected.replace(0, std::strlen("record 1"), "record");
    EXPECT_EQ(e.what(), expected);
  }
  EXPECT_EQ(view(table).RecordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadRecordTest, ::testing::ValuesIn(kBadRecords),
                         [](const auto& tc) { return std::string(tc.param.name); });

TEST(RecordsLayoutTest, TablesInTheirFixedOrder) {
  const char* order[10] = {"Category1",   "Category2",  "Category3",   "Category4", "Currency",
                           "BalanceType", "RemindType", "CustomNames", "Account",   "Transaction"};
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(kTableLayouts[i].table, order[i]);
    EXPECT_NE(kTableLayouts[i].size, nullptr);
    EXPECT_NE(kTableLayouts[i].data, nullptr);
    EXPECT_NE(kTableLayouts[i].decode, nullptr);
  }
}

}  // namespace
}  // namespace quillet::pdb
