#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "store/datamodule.h"
#include "temp_dir.h"

using namespace quillet;

namespace {

struct FakeUi : StoreUi {
  std::map<int, std::string> captions;
  std::map<std::string, std::string> titles;
  int yesNo[3] = {0, 0, 0};
  int refreshes = 0;
  bool busyAtRefresh = true;
  TDM* dm = nullptr;
  void setCategoryCheckBoxCaption(int list, const std::string& caption) override { captions[list] = caption; }
  void setTransactionColumnTitle(const std::string& field, const std::string& title) override { titles[field] = title; }
  int yesNoIndex(int which) const override { return yesNo[which]; }
  void setYesNoIndex(int which, int index) override { yesNo[which] = index; }
  void refreshFilter() override {
    ++refreshes;
    if (dm) busyAtRefresh = dm->StoreBusy;
  }
};

class DataModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { open(); }
  void open() {
    dm = std::make_unique<TDM>(ui, dir / "Quillet.mdb", dir / "program");
    ui.dm = dm.get();
    dm->DataModuleCreate();
  }
  void reopen() {
    dm->DataModuleDestroy();
    dm.reset();
    open();
  }
  void addRow(TKADaoTable& view, std::initializer_list<std::pair<const char*, Variant>> values) {
    view.Insert();
    for (const auto& [name, value] : values) view.FieldByName(name).SetAsVariant(value);
    view.Post();
  }
  static Variant I(std::int64_t v) { return Variant::fromInteger(v); }
  static Variant T(const char* v) { return Variant::fromText(v); }

  TempDir dir;
  FakeUi ui;
  std::unique_ptr<TDM> dm;
};

}  // namespace

TEST_F(DataModuleTest, OpensEveryViewWithItsNamedParts) {
  EXPECT_EQ(DM, dm.get());
  EXPECT_FALSE(dm->StoreBusy);
  EXPECT_EQ(ui.refreshes, 1);
  EXPECT_FALSE(ui.busyAtRefresh);
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE(dm->DataView(i).Active());
    EXPECT_EQ(dm->DataView(i).Name(), kDataTables[i]);
    EXPECT_EQ(dm->DataView(i).DataSource()->Name(), std::string("S") + kDataTables[i]);
  }
  EXPECT_EQ(dm->AllFilters->TableName(), "_AllFilters");
  EXPECT_EQ(dm->BalanceTrans->TableName(), "Transaction");
  EXPECT_EQ(dm->TransactionAMOUNT->Name(), "TransactionAMOUNT");
  EXPECT_EQ(dm->TransactionAMOUNT->DisplayFormat, "#########0.###");
  EXPECT_EQ(dm->CurrencyRATE->DisplayFormat, "###0.####");
  EXPECT_EQ(dm->TransactionCURRENCY_RATE->DisplayFormat, "###0.###");
  EXPECT_EQ(dm->AllFilters->FindField("HOME_CURRENCY"), nullptr);
  EXPECT_EQ(dm->BalanceTrans->Fields().size(), 5u);
  EXPECT_EQ(dm->TransactionCategory3Name->FieldName(), "Category3Name");
  EXPECT_EQ(dm->TransactionCategory3Name->Size(), 255);
  EXPECT_EQ(dm->AccountCurrencyName->Size(), 8);
}

TEST_F(DataModuleTest, AnEmptyFilterRowReadsAllAndTheFirstSaveInsertsIt) {
  EXPECT_TRUE(dm->AllFilters->IsEmpty());
  EXPECT_EQ(ui.yesNo[0], 0);
  ui.yesNo[0] = 1;
  ui.yesNo[1] = 2;
  ui.yesNo[2] = 0;
  reopen();
  EXPECT_EQ(dm->AllFilters->RecordCount(), 1);
  ui.yesNo[0] = ui.yesNo[1] = 9;
  dm->DataModuleDestroy();
  dm.reset();
  ui.yesNo[0] = ui.yesNo[1] = ui.yesNo[2] = -1;
  open();
  EXPECT_EQ(ui.yesNo[0], 0);  // 9 is no item of the list
  ui.yesNo[0] = 1;
  ui.yesNo[1] = 2;
  reopen();
  EXPECT_EQ(ui.yesNo[0], 1);
  EXPECT_EQ(ui.yesNo[1], 2);
  EXPECT_EQ(ui.yesNo[2], 0);
  EXPECT_EQ(dm->AllFilters->RecordCount(), 1);
}

TEST_F(DataModuleTest, SavingTheFilterStateKeepsTheBoundControlsChanges) {
  dm->AllFilters->Edit();
  dm->AllFiltersACC_TO_ID->SetAsInteger(3);
  dm->AllFiltersACC_TO_ENABLED->SetAsBoolean(true);
  reopen();
  EXPECT_EQ(dm->AllFiltersACC_TO_ID->AsInteger(), 3);
  EXPECT_TRUE(dm->AllFiltersACC_TO_ENABLED->AsBoolean());
}

TEST_F(DataModuleTest, CustomNamesLabelTheFourListsAndTheLastNameRepeats) {
  dm->ApplyCustomNames();
  EXPECT_TRUE(ui.captions.empty());  // no rows: captions stay as they were
  addRow(*dm->CustomNames, {{"NAME", T("A")}});
  addRow(*dm->CustomNames, {{"NAME", T("B")}});
  dm->ApplyCustomNames();
  EXPECT_EQ(ui.captions, (std::map<int, std::string>{{1, "A:"}, {2, "B:"}, {3, "B:"}, {4, "B:"}}));
  EXPECT_EQ(ui.titles, (std::map<std::string, std::string>{
                           {"Category1Name", "A"}, {"Category2Name", "B"}, {"Category3Name", "B"}, {"Category4Name", "B"}}));
}

TEST_F(DataModuleTest, EmptyAllTablesEmptiesTheTenAndKeepsTheFilterRow) {
  for (int i = 0; i < 10; ++i) addRow(dm->DataView(i), {{i == 7 ? "NAME" : "ID", I(1)}});
  ui.yesNo[2] = 2;
  dm->AllFilters->Edit();
  dm->AllFiltersCURRENCY_ID->SetAsInteger(4);
  dm->EmptyAllTables();
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(dm->DataView(i).IsEmpty()) << kDataTables[i];
  EXPECT_EQ(dm->AllFiltersCURRENCY_ID->AsInteger(), 4);
  EXPECT_EQ(ui.yesNo[2], 2);
  EXPECT_EQ(ui.refreshes, 2);
  EXPECT_TRUE(std::filesystem::exists(dir / "Quillet.mdb"));
}

TEST_F(DataModuleTest, BatchModeShowsEveryTransactionAndEmptyLookups) {
  addRow(*dm->Account, {{"ID", I(1)}, {"NAME", T("Cash")}});
  addRow(*dm->Transaction, {{"ID", I(10)}, {"ACC_TO_ID", I(1)}});
  addRow(*dm->Transaction, {{"ID", I(11)}, {"ACC_TO_ID", I(2)}});
  dm->Transaction->SetFilter("ACC_TO_ID = 1");
  dm->Transaction->SetFiltered(true);
  ASSERT_EQ(dm->Transaction->RecordCount(), 1);
  EXPECT_EQ(dm->TransactionAccountToName->AsString(), "Cash");

  dm->BatchModeOn();
  EXPECT_EQ(dm->Transaction->RecordCount(), 2);
  EXPECT_TRUE(dm->TransactionAccountToName->IsNull());
  addRow(*dm->Transaction, {{"ID", I(12)}, {"ACC_TO_ID", I(1)}});
  dm->BatchModeOff();
  EXPECT_TRUE(dm->Transaction->Filtered());
  EXPECT_EQ(dm->Transaction->Filter(), "ACC_TO_ID = 1");
  EXPECT_EQ(dm->Transaction->RecordCount(), 2);
  EXPECT_EQ(dm->TransactionAccountToName->AsString(), "Cash");
  reopen();  // the batch's rows were committed
  EXPECT_EQ(dm->Transaction->RecordCount(), 3);
}

TEST_F(DataModuleTest, TheBatchGuardSwitchesOffWhenTheWorkFails) {
  dm->Transaction->SetFilter("ID = 1");
  dm->Transaction->SetFiltered(true);
  try {
    BatchModeGuard batch(*dm);
    addRow(*dm->Currency, {{"ID", I(1)}});
    throw std::runtime_error("record 3 is damaged");
  } catch (const std::runtime_error&) {
  }
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(dm->DataView(i).BatchMode()) << kDataTables[i];
  EXPECT_TRUE(dm->Transaction->Filtered());
  reopen();
  EXPECT_EQ(dm->Currency->RecordCount(), 1);  // work before the error is kept
}

TEST_F(DataModuleTest, LookupFieldsOfTheDataModule) {
  addRow(*dm->Currency, {{"ID", I(2)}, {"NAME", T("Dollars US")}, {"RATE", Variant::fromFloat(1.5)}});
  addRow(*dm->Category1, {{"ID", I(7)}, {"NAME", T("Food")}});
  addRow(*dm->Transaction, {{"ID", I(1)}, {"CURRENCY_ID", I(2)}, {"CATEGORY1_ID", I(7)}});
  addRow(*dm->Account, {{"ID", I(1)}, {"CURRENCY_ID", I(2)}});
  dm->BalanceTrans->Refresh();
  dm->Transaction->First();
  EXPECT_EQ(dm->TransactionCurrencyName->AsString(), "Dollars ");
  EXPECT_EQ(dm->AccountCurrencyName->AsString(), "Dollars ");
  EXPECT_EQ(dm->TransactionCategory1Name->AsString(), "Food");
  EXPECT_TRUE(dm->TransactionCategory2Name->IsNull());
  EXPECT_EQ(dm->BalanceTransLookupCurrencyRate->AsFloat(), 1.5);
}

TEST(DataModuleFailure, AStoreThatCannotOpenStaysBusyAndIsNotWritten) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  writeFile(path, std::string(4096, '\x7f'));
  FakeUi ui;
  {
    TDM dm(ui, path, dir / "program");
    EXPECT_THROW(dm.DataModuleCreate(), StoreError);
    EXPECT_TRUE(dm.StoreBusy);
    EXPECT_EQ(ui.refreshes, 0);
    EXPECT_NO_THROW(dm.DataModuleDestroy());
  }
  EXPECT_EQ(readFile(path), std::string(4096, '\x7f'));
}
