#pragma once
// The data module: the store's connection, its twelve views with their data sources and
// named field objects, and the whole-store operations used by import and export.
#include <memory>
#include <string>

#include "store/database.h"
#include "store/schema.h"
#include "store/table.h"

namespace quillet {

// What the data module does to the window, which implements this (tests fake it).
// Texts passed here are stored handheld bytes.
class StoreUi {
 public:
  virtual ~StoreUi() = default;
  // Caption of the filter panel's check box of category list 1..4.
  virtual void setCategoryCheckBoxCaption(int list, const std::string& caption) = 0;
  // Title of the first transaction grid column bound to the field.
  virtual void setTransactionColumnTitle(const std::string& fieldName, const std::string& title) = 0;
  // The three yes/no lists: 0 receipt, 1 billable, 2 cleared; index 0 all, 1 no, 2 yes.
  virtual int yesNoIndex(int which) const = 0;
  virtual void setYesNoIndex(int which, int index) = 0;
  // The filter refresh, run after the store has opened.
  virtual void refreshFilter() = 0;
};

// A window-less StoreUi (the command-line companion): keeps the yes/no indices it was
// given so that saving the filter state writes back what was read.
class HeadlessStoreUi : public StoreUi {
 public:
  void setCategoryCheckBoxCaption(int, const std::string&) override {}
  void setTransactionColumnTitle(const std::string&, const std::string&) override {}
  int yesNoIndex(int which) const override { return which >= 0 && which < 3 ? yesNo_[which] : 0; }
  void setYesNoIndex(int which, int index) override {
    if (which >= 0 && which < 3) yesNo_[which] = index;
  }
  void refreshFilter() override {}

 private:
  int yesNo_[3] = {0, 0, 0};
};

class TDM;
// The one data module of the process, set while a TDM exists.
extern TDM* DM;

class TDM {
 public:
  // configuredPath: where the store file is expected; programFolder: where SmartOpen looks next.
  TDM(StoreUi& ui, std::string configuredPath, std::string programFolder);
  // Closes the store if it is still open (errors swallowed); call DataModuleDestroy first to see them.
  ~TDM();
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  // Open the store: the connection, AllFilters, the ten data views, BalanceTrans; custom
  // names; the yes/no indices; then the filter refresh. Raises StoreError; after a failure
  // StoreBusy stays set.
  void DataModuleCreate();
  // Save the filter state, close the store and compact the file. Does nothing when the
  // store is not open. After a failed open the store is only closed: nothing is saved and
  // the file is not compacted, so it stays byte for byte as it was. A failed compaction
  // raises CompactError (the data is saved, the store closed).
  void DataModuleDestroy();
  // The store could be opened completely; until then closing writes nothing.
  bool Opened() const { return opened_; }

  void SaveFilterState();
  void ApplyCustomNames();
  // Deletes every row of the ten data tables in one transaction, then closes, compacts and
  // reopens the store without letting it go in between. A failed compaction still
  // reopens the store and then raises CompactError.
  void EmptyAllTables();
  // The import's replacement of the data as one unit: BeginReplaceAll starts a transaction
  // and deletes every row of the ten data tables inside it (the data views are re-read,
  // empty); the rows appended after it join the same transaction. CommitReplaceAll commits
  // it; a commit the engine refuses or that it rolled back by itself raises StoreError with
  // the old data in place. RollbackReplaceAll puts the old data back and re-reads the views.
  void BeginReplaceAll();
  void CommitReplaceAll();
  void RollbackReplaceAll() noexcept;
  // Closes, compacts and reopens the store without letting it go in between (the last
  // steps of EmptyAllTables). A failed compaction still reopens the store and then raises
  // CompactError.
  void Reopen();
  void BatchModeOn();
  void BatchModeOff();
  // The total of the transactions the Transaction view shows, in the currency BALANCE_CURRENCY
  // of the filter row names (store/balancetotal.h).
  float BalanceTotal();

  StoreUi& ui() const { return *ui_; }
  // The ten data views in their fixed order (index 0..9).
  TKADaoTable& DataView(int index) const;

  bool StoreBusy = false;

  std::unique_ptr<TKADaoDatabase> Database;

  std::unique_ptr<TKADaoTable> Category1, Category2, Category3, Category4, Currency, BalanceType, RemindType,
      CustomNames, Account, Transaction, AllFilters, BalanceTrans;
  std::unique_ptr<TDataSource> SCategory1, SCategory2, SCategory3, SCategory4, SCurrency, SBalanceType, SRemindType,
      SCustomNames, SAccount, STransaction, SAllFilters, SBalanceTrans;

#define QUILLET_FIELD_MEMBER(view, col, type, width) TField* view##col = nullptr;
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, Category1)
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, Category2)
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, Category3)
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, Category4)
  QUILLET_CURRENCY_COLUMNS(QUILLET_FIELD_MEMBER, Currency)
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, BalanceType)
  QUILLET_IDNAME_COLUMNS(QUILLET_FIELD_MEMBER, RemindType)
  QUILLET_CUSTOMNAMES_COLUMNS(QUILLET_FIELD_MEMBER, CustomNames)
  QUILLET_ACCOUNT_COLUMNS(QUILLET_FIELD_MEMBER, Account)
  QUILLET_TRANSACTION_COLUMNS(QUILLET_FIELD_MEMBER, Transaction)
  QUILLET_ALLFILTERS_COLUMNS(QUILLET_FIELD_MEMBER, AllFilters)
  QUILLET_BALANCETRANS_COLUMNS(QUILLET_FIELD_MEMBER, BalanceTrans)
#undef QUILLET_FIELD_MEMBER

  // Lookup fields.
  TField* AccountCurrencyName = nullptr;
  TField* TransactionAccountToName = nullptr;
  TField* TransactionAccountFromName = nullptr;
  TField* TransactionCurrencyName = nullptr;
  TField* TransactionRemindTypeName = nullptr;
  TField* TransactionBalanceTypeName = nullptr;
  TField* TransactionCategory1Name = nullptr;
  TField* TransactionCategory2Name = nullptr;
  TField* TransactionCategory3Name = nullptr;
  TField* TransactionCategory4Name = nullptr;
  TField* BalanceTransLookupCurrencyRate = nullptr;

 private:
  StoreUi* ui_;
  bool opened_ = false;
};

// Batch mode for the length of a scope; switched off on every path, errors included.
class BatchModeGuard {
 public:
  explicit BatchModeGuard(TDM& dm) : dm_(&dm) { dm_->BatchModeOn(); }
  ~BatchModeGuard();
  // Switch off now and let its errors through.
  void finish();
  BatchModeGuard(const BatchModeGuard&) = delete;
  BatchModeGuard& operator=(const BatchModeGuard&) = delete;

 private:
  TDM* dm_;
};

}  // namespace quillet
