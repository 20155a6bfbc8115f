#include "store/datamodule.h"

#include <exception>

namespace quillet {

TDM* DM = nullptr;

namespace {

std::vector<ColumnDef> columnsOf(const std::string& table) { return TableSchema(table).columns; }

#define QUILLET_VIEW_COLUMN(view, col, type, width) ColumnDef{#col, FieldType::type, width},

}  // namespace

TDM::TDM(StoreUi& ui, std::string configuredPath, std::string programFolder)
    : Database(std::make_unique<TKADaoDatabase>()), ui_(&ui) {
  Database->Database = std::move(configuredPath);
  Database->ProgramFolder = std::move(programFolder);
  Database->SmartOpen = true;
  Database->Exclusive = true;
  Database->ReadOnly = false;

  auto view = [&](std::unique_ptr<TKADaoTable>& v, std::unique_ptr<TDataSource>& s, const char* name,
                  const char* table, std::vector<ColumnDef> columns) {
    v = std::make_unique<TKADaoTable>(*Database, name, table, std::move(columns));
    s = std::make_unique<TDataSource>(std::string("S") + name, *v);
  };
  view(Category1, SCategory1, "Category1", "Category1", columnsOf("Category1"));
  view(Category2, SCategory2, "Category2", "Category2", columnsOf("Category2"));
  view(Category3, SCategory3, "Category3", "Category3", columnsOf("Category3"));
  view(Category4, SCategory4, "Category4", "Category4", columnsOf("Category4"));
  view(Currency, SCurrency, "Currency", "Currency", columnsOf("Currency"));
  view(BalanceType, SBalanceType, "BalanceType", "BalanceType", columnsOf("BalanceType"));
  view(RemindType, SRemindType, "RemindType", "RemindType", columnsOf("RemindType"));
  view(CustomNames, SCustomNames, "CustomNames", "CustomNames", columnsOf("CustomNames"));
  view(Account, SAccount, "Account", "Account", columnsOf("Account"));
  view(Transaction, STransaction, "Transaction", "Transaction", columnsOf("Transaction"));
  view(AllFilters, SAllFilters, "AllFilters", "_AllFilters",
       {QUILLET_ALLFILTERS_COLUMNS(QUILLET_VIEW_COLUMN, AllFilters)});
  view(BalanceTrans, SBalanceTrans, "BalanceTrans", "Transaction",
       {QUILLET_BALANCETRANS_COLUMNS(QUILLET_VIEW_COLUMN, BalanceTrans)});

#define QUILLET_BIND_FIELD(view, col, type, width) view##col = &view->FieldByName(#col);
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, Category1)
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, Category2)
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, Category3)
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, Category4)
  QUILLET_CURRENCY_COLUMNS(QUILLET_BIND_FIELD, Currency)
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, BalanceType)
  QUILLET_IDNAME_COLUMNS(QUILLET_BIND_FIELD, RemindType)
  QUILLET_CUSTOMNAMES_COLUMNS(QUILLET_BIND_FIELD, CustomNames)
  QUILLET_ACCOUNT_COLUMNS(QUILLET_BIND_FIELD, Account)
  QUILLET_TRANSACTION_COLUMNS(QUILLET_BIND_FIELD, Transaction)
  QUILLET_ALLFILTERS_COLUMNS(QUILLET_BIND_FIELD, AllFilters)
  QUILLET_BALANCETRANS_COLUMNS(QUILLET_BIND_FIELD, BalanceTrans)
#undef QUILLET_BIND_FIELD

  AccountCurrencyName = &Account->AddLookupField("AccountCurrencyName", "CurrencyName", FieldType::Text, 8,
                                                 "CURRENCY_ID", *Currency, "NAME");
  TransactionAccountToName = &Transaction->AddLookupField("TransactionAccountToName", "AccountToName",
                                                          FieldType::Text, 255, "ACC_TO_ID", *Account, "NAME");
  TransactionAccountFromName = &Transaction->AddLookupField("TransactionAccountFromName", "AccountFromName",
                                                            FieldType::Text, 255, "ACC_FROM_ID", *Account, "NAME");
  TransactionCurrencyName = &Transaction->AddLookupField("TransactionCurrencyName", "CurrencyName", FieldType::Text,
                                                         8, "CURRENCY_ID", *Currency, "NAME");
  TransactionRemindTypeName = &Transaction->AddLookupField("TransactionRemindTypeName", "RemindTypeName",
                                                           FieldType::Text, 255, "REMINDTYPE_ID", *RemindType, "NAME");
  TransactionBalanceTypeName = &Transaction->AddLookupField(
      "TransactionBalanceTypeName", "BalanceTypeName", FieldType::Text, 255, "BALANCETYPE_ID", *BalanceType, "NAME");
  TransactionCategory1Name = &Transaction->AddLookupField("TransactionCategory1Name", "Category1Name",
                                                          FieldType::Text, 255, "CATEGORY1_ID", *Category1, "NAME");
  TransactionCategory2Name = &Transaction->AddLookupField("TransactionCategory2Name", "Category2Name",
                                                          FieldType::Text, 255, "CATEGORY2_ID", *Category2, "NAME");
  TransactionCategory3Name = &Transaction->AddLookupField("TransactionCategory3Name", "Category3Name",
                                                          FieldType::Text, 255, "CATEGORY3_ID", *Category3, "NAME");
  TransactionCategory4Name = &Transaction->AddLookupField("TransactionCategory4Name", "Category4Name",
                                                          FieldType::Text, 255, "CATEGORY4_ID", *Category4, "NAME");
  BalanceTransLookupCurrencyRate = &BalanceTrans->AddLookupField("BalanceTransLookupCurrencyRate", "LookupCurrencyRate",
                                                                 FieldType::Float, 0, "CURRENCY_ID", *Currency, "RATE");

  AccountAMOUNT->DisplayFormat = "#########0.###";
  TransactionAMOUNT->DisplayFormat = "#########0.###";
  CurrencyRATE->DisplayFormat = "###0.####";
  TransactionCURRENCY_RATE->DisplayFormat = "###0.###";

  if (!DM) DM = this;
}

#undef QUILLET_VIEW_COLUMN

TDM::~TDM() {
  try {
    DataModuleDestroy();
  } catch (...) {
    // Destruction cannot report; callers that want the error call DataModuleDestroy first.
  }
  if (DM == this) DM = nullptr;
}

TKADaoTable& TDM::DataView(int index) const {
  const std::unique_ptr<TKADaoTable>* views[10] = {&Category1,   &Category2,  &Category3,   &Category4, &Currency,
                                                   &BalanceType, &RemindType, &CustomNames, &Account,   &Transaction};
  if (index < 0 || index >= 10) throw StoreError("No data view " + std::to_string(index));
  return **views[index];
}

void TDM::DataModuleCreate() {
  StoreBusy = true;
  opened_ = false;
  Database->SetActive(true);
  AllFilters->Open();
  for (int i = 0; i < 10; ++i) DataView(i).Open();
  BalanceTrans->Open();
  ApplyCustomNames();
  const TField* yesNo[3] = {AllFiltersFRECEIPT, AllFiltersFBILLABLE, AllFiltersFCLEARED};
  for (int i = 0; i < 3; ++i) {
    int index = AllFilters->IsEmpty() ? 0 : yesNo[i]->AsInteger();
    if (index < 0 || index > 2) index = 0;  // a stored value outside the list reads as "all"
    ui_->setYesNoIndex(i, index);
  }
  opened_ = true;
  StoreBusy = false;
  ui_->refreshFilter();
}

void TDM::DataModuleDestroy() {
  if (!Database->Active()) return;
  if (!opened_) {
    // The window's state never came from this store: saving it would overwrite the
    // stored choices, and a compaction would rewrite a file that may not even be ours.
    StoreBusy = true;
    Database->SetActive(false);
    return;
  }
  // A store the user may not write keeps even its filter row; the compaction below then
  // reports that it left the file as it was.
  if (!Database->IsReadOnly()) SaveFilterState();
  StoreBusy = true;
  opened_ = false;
  Database->CloseAndCompact(false);
}

void TDM::Reopen() {
  std::exception_ptr compaction;
  if (Database->Active()) {
    if (opened_) {
      if (!Database->IsReadOnly()) SaveFilterState();
      StoreBusy = true;
      opened_ = false;
      try {
        Database->CloseAndCompact(true);
      } catch (const CompactError&) {
        // The data is saved; the store is opened again and the failure told afterwards.
        compaction = std::current_exception();
      }
    } else {
      Database->SetActive(false);
    }
  }
  DataModuleCreate();
  if (compaction) std::rethrow_exception(compaction);
}

void TDM::SaveFilterState() {
  AllFilters->Edit();
  AllFiltersFRECEIPT->SetAsInteger(ui_->yesNoIndex(0));
  AllFiltersFBILLABLE->SetAsInteger(ui_->yesNoIndex(1));
  AllFiltersFCLEARED->SetAsInteger(ui_->yesNoIndex(2));
  AllFilters->Post();
}

void TDM::ApplyCustomNames() {
  CustomNames->First();
  if (CustomNames->IsEmpty()) return;
  static const char* const columns[4] = {"Category1Name", "Category2Name", "Category3Name", "Category4Name"};
  for (int n = 1; n <= 4; ++n) {
    const std::string name = CustomNamesNAME->AsString();
    ui_->setCategoryCheckBoxCaption(n, name + ":");
    ui_->setTransactionColumnTitle(columns[n - 1], name);
    CustomNames->Next();
  }
}

void TDM::EmptyAllTables() {
  // One transaction for the ten deletions: one write to disk instead of ten. A table that
  // cannot be emptied keeps its rows; the others are emptied all the same.
  Database->BeginTransaction();
  for (const char* table : kDataTables) Database->EmptyTable(table);
  Database->CommitTransaction();
  Reopen();
}

void TDM::BeginReplaceAll() {
  Database->BeginTransaction();
  try {
    for (const char* table : kDataTables) Database->EmptyTable(table);
    if (Database->TransactionLost()) throw StoreError("the store could not be emptied");
    for (int i = 0; i < 10; ++i) {
      if (DataView(i).Active()) DataView(i).Refresh();
    }
  } catch (...) {
    RollbackReplaceAll();
    throw;
  }
}

void TDM::CommitReplaceAll() {
  try {
    Database->CommitTransaction();
  } catch (...) {
    RollbackReplaceAll();
    throw;
  }
}

void TDM::RollbackReplaceAll() noexcept {
  Database->RollbackTransaction();
  for (int i = 0; i < 10; ++i) {
    try {
      if (DataView(i).Active()) DataView(i).Refresh();
    } catch (...) {
    }
  }
  try {
    if (BalanceTrans->Active()) BalanceTrans->Refresh();
  } catch (...) {
  }
}

void TDM::BatchModeOn() {
  Database->BeginTransaction();
  for (int i = 0; i < 10; ++i) DataView(i).F_SetBatchMode(true);
  try {
    Transaction->SetFiltered(false);
  } catch (...) {
    BatchModeOff();
    throw;
  }
}

void TDM::BatchModeOff() {
  for (int i = 0; i < 10; ++i) DataView(i).F_SetBatchMode(false);
  // The bulk work is kept whatever happened during it; the filter comes back in any case.
  std::exception_ptr error;
  try {
    Database->CommitTransaction();
  } catch (...) {
    error = std::current_exception();
  }
  Transaction->SetFiltered(true);
  if (error) std::rethrow_exception(error);
}

BatchModeGuard::~BatchModeGuard() {
  if (!dm_) return;
  try {
    dm_->BatchModeOff();
  } catch (...) {
    // Already unwinding from the bulk work's own error, which is the one to report.
  }
}

void BatchModeGuard::finish() {
  TDM* dm = dm_;
  dm_ = nullptr;
  dm->BatchModeOff();
}

}  // namespace quillet
