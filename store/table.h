#pragma once
// Table views over the store: a cursor over one table's rows in insertion order, with a
// current row, one field object per column, lookup fields and an optional filter.
// A view holds the rows it has read; writing goes through to the table at once.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/database.h"
#include "store/fieldtext.h"
#include "store/variant.h"

namespace quillet {

class TKADaoTable;

namespace detail {
// One stored value as a view holds it.
struct ViewCell {
  Variant::Kind kind = Variant::Kind::Empty;
  union {
    std::int64_t i = 0;
    double f;
    std::uint32_t text;  // index into its block's texts
  };
};
// A run of consecutive rows of a view, row-major.
struct ViewBlock {
  std::vector<ViewCell> cells;
  std::vector<std::string> texts;
};
}  // namespace detail

struct ColumnDef {
  std::string name;
  FieldType type;
  int size = 0;  // text width in bytes (Text columns); 0 otherwise
};

// What a bound control learns of its view. Calls stop while the view is in batch mode;
// leaving batch mode sends one dataReset().
class DataSourceListener {
 public:
  virtual ~DataSourceListener() = default;
  virtual void dataReset() = 0;           // opened, closed, re-read, or batch mode ended
  virtual void rowInserted(int row) = 0;  // a posted new row now sits at this index
  virtual void rowRemoved(int row) = 0;
  virtual void rowChanged(int row) = 0;   // values of a row changed (posted edit)
  virtual void currentChanged(int row) = 0;
};

// The data source through which controls bind to a view ("S" + the view's name).
class TDataSource {
 public:
  TDataSource(std::string name, TKADaoTable& dataSet);
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  const std::string& Name() const { return name_; }
  TKADaoTable& DataSet() const { return *dataSet_; }

  void addListener(DataSourceListener* listener);
  void removeListener(DataSourceListener* listener);

 private:
  friend class TKADaoTable;
  template <typename F>
  void notify(F&& f) {
    auto copy = listeners_;  // a listener may detach itself while being told
    for (auto* l : copy) f(*l);
  }
  std::string name_;
  TKADaoTable* dataSet_;
  std::vector<DataSourceListener*> listeners_;
};

// One column of a view, or a lookup field worked out from another view.
class TField {
 public:
  const std::string& Name() const { return name_; }            // component name, "TransactionAMOUNT"
  const std::string& FieldName() const { return fieldName_; }  // "AMOUNT", "CurrencyName"
  FieldType DataType() const { return type_; }
  int Size() const { return size_; }  // text width; lookup width; 0 when unlimited
  bool IsLookup() const { return lookupView_ != nullptr; }
  TKADaoTable& DataSet() const { return *view_; }

  std::string DisplayFormat;  // float display pattern, e.g. "#########0.###"

  // Current row (the pending values while the view edits or inserts).
  bool IsNull() const;
  std::int32_t AsInteger() const;  // empty reads 0
  double AsFloat() const;          // empty reads 0.0
  bool AsBoolean() const;          // empty reads false; any non-zero number is true
  std::string AsString() const;    // stored bytes; numbers in plain text form; empty reads ""
  double AsDateTime() const;       // day count; empty reads 0.0
  Variant AsVariant() const;       // empty reads the empty variant

  // Writing needs the view in edit or insert mode. Text is cut to the field's width.
  void SetAsInteger(std::int32_t value);
  void SetAsFloat(double value);
  void SetAsBoolean(bool value);
  void SetAsString(std::string_view value);
  void SetAsString(std::string&& value);  // takes the text's storage
  void SetAsString(const char* value) { SetAsString(std::string_view(value)); }
  void SetAsString(const std::string& value) { SetAsString(std::string_view(value)); }
  void SetAsDateTime(double dayCount);
  void SetAsVariant(const Variant& value);
  void Clear();

  // Value in any row of the view, without moving its current row (grids).
  Variant ValueAt(int row) const;
  // Display text of a row: floats through DisplayFormat, booleans "True"/"False",
  // date-times as FieldText shows them, texts as stored bytes, lookups cut to their width.
  std::string DisplayTextAt(int row, const Formats& formats) const;

 private:
  friend class TKADaoTable;
  TField(TKADaoTable& view, std::string name, std::string fieldName, FieldType type, int size, int column);
  Variant lookupFor(const Variant& key) const;
  void resolveLookup() const;
  // The looked-up value's cell without building a variant; answered is false when only
  // the general path can tell.
  const detail::ViewCell* lookedUpCell(const detail::ViewBlock** block, bool* answered) const;
  const detail::ViewCell* storedCell(const detail::ViewBlock** block) const;

  TKADaoTable* view_;
  std::string name_;
  std::string fieldName_;
  FieldType type_;
  int size_;
  int column_;  // index among the view's columns; -1 for lookups
  // lookup fields
  TField* keyField_ = nullptr;
  TKADaoTable* lookupView_ = nullptr;
  std::string resultColumn_;
  mutable int lookupKeyColumn_ = -1;  // resolved in the looked-up view on first use
  mutable int lookupResultColumn_ = -1;
};

// Text form of the current row's value of a field, for reports.
std::string FieldText(const TField& field, const Formats& formats);

class TKADaoTable {
 public:
  enum class State { Inactive, Browse, Edit, Insert };

  // name: the view's component name; tableName: the stored table; columns: those the view
  // reads, each with a field object named name + column name.
  TKADaoTable(TKADaoDatabase& database, std::string name, std::string tableName, std::vector<ColumnDef> columns);
  ~TKADaoTable();
  TKADaoTable(const TKADaoTable&) = delete;
  TKADaoTable& operator=(const TKADaoTable&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& TableName() const { return tableName_; }
  TKADaoDatabase& Database() const { return *db_; }
  TDataSource* DataSource() const { return source_; }

  // Field objects: data columns in column order, then lookup fields.
  const std::vector<std::unique_ptr<TField>>& Fields() const { return fields_; }
  TField* FindField(std::string_view fieldName) const;
  TField& FieldByName(std::string_view fieldName) const;  // raises StoreError when missing
  TField& AddLookupField(std::string name, std::string fieldName, FieldType type, int width,
                         const std::string& keyField, TKADaoTable& lookupView, std::string resultColumn);

  void Open();   // reads the rows (filtered when Filtered), first row current
  void Close();
  bool Active() const { return state_ != State::Inactive; }
  State state() const { return state_; }

  void First();
  void Next();   // at the last row stays there and raises Eof
  void Prior();
  void Last();
  void SetRecNo(int row);  // 0-based
  int RecNo() const {  // 0-based; -1 when the view has no row
    ensureRows();
    return current_;
  }
  bool Eof() const {
    ensureRows();
    return eof_;
  }
  bool Bof() const {
    ensureRows();
    return bof_;
  }
  bool IsEmpty() const { return rowCount() == 0; }
  int RecordCount() const { return rowCount(); }

  void Insert();  // starts a new row
  void Edit();    // edits the current row; on an empty view starts a new row
  void Post();    // writes the new or changed row; nothing to do in browse mode
  void Cancel();
  void Delete();  // deletes the current row from the table
  bool Modified() const { return modified_; }

  // Setting the filter text re-reads an open filtered view and moves to its first row,
  // also when the text is unchanged; a pending edit is posted first when changed,
  // cancelled otherwise.
  void SetFilter(const std::string& expression);
  const std::string& Filter() const { return filter_; }
  void SetFiltered(bool on);
  bool Filtered() const { return filtered_; }

  // Re-read the rows with the current filter, first row current.
  void Refresh();

  // Result column of the first row whose key column equals the key; empty when no row
  // matches, the view has no row, the key is empty, or the view is in batch mode.
  Variant Lookup(const std::string& keyColumns, const Variant& keyValue, const std::string& resultColumns) const;

  // Nesting: each switch-on needs its switch-off before bound controls follow again.
  void F_SetBatchMode(bool on);
  bool BatchMode() const { return batchDepth_ > 0; }

  // Memo display for grids: switching closes, reopens and moves to the first row.
  bool CacheMemos() const { return cacheMemos_; }
  void SetCacheMemos(bool on);

  // Stored value of a row and column (column index as in the view's columns).
  Variant Value(int row, int column) const;
  const std::vector<ColumnDef>& Columns() const { return columns_; }

 private:
  friend class TField;
  friend class TDataSource;
  friend class TKADaoDatabase;

  using Cell = detail::ViewCell;
  using Block = detail::ViewBlock;
  // Rows are read in blocks of this many, when first asked for.
  static constexpr std::size_t kBlockRows = 512;

  int rowCount() const {
    ensureRows();
    return static_cast<int>(rowids_.size());
  }
  void requireActive(const char* operation) const;
  void requireEditing() const;
  void readRows();          // prepares the view's row selection; rows are read on demand
  void readAllRows();       // reads every row and value at once
  void readCells(sqlite3_stmt* st, Cell* cells, Block& block) const;
  void ensureRows() const;  // reads which rows the view holds
  const Block& block(std::size_t index) const;
  void dropBlocksFrom(std::size_t index);
  const Cell* cellAt(int row, int column, const Block** owner) const;
  void closeDataset(bool notify);
  void browseMode();
  void moveTo(int row);
  static Variant cellValue(const Cell& cell, const Block& block);
  Variant currentValue(int column) const;
  void setPending(int column, Variant value);
  Variant& pendingRef(int column);  // the pending value about to be written
  Variant lookupAt(int keyColumn, const Variant& keyValue, int resultColumn) const;
  const Cell* lookupCell(int keyColumn, std::int64_t key, int resultColumn, const Block** owner) const;
  void buildKeyIndex(int keyColumn) const;
  void invalidateIndex() { keyIndex_.clear(); keyIndexColumn_ = -1; }
  void bindRow(sqlite3_stmt* stmt) const;

  // Notifications, held back in batch mode.
  template <typename F>
  void tell(F&& f) {
    if (source_ && batchDepth_ == 0) source_->notify(std::forward<F>(f));
  }

  TKADaoDatabase* db_;
  std::string name_;
  std::string tableName_;
  std::vector<ColumnDef> columns_;
  std::vector<std::unique_ptr<TField>> fields_;
  TDataSource* source_ = nullptr;

  State state_ = State::Inactive;
  std::string filter_;
  bool filtered_ = false;
  bool cacheMemos_ = false;
  int batchDepth_ = 0;

  // Which rows the view holds (their rowids, in order) and their values, block by block.
  // Both are read when first needed, so opening a view reads nothing yet.
  mutable bool rowsKnown_ = false;
  mutable bool firstPending_ = false;  // move to the first row once the rows are known
  mutable std::vector<std::int64_t> rowids_;
  mutable std::vector<std::unique_ptr<Block>> blocks_;
  mutable int current_ = -1;
  mutable bool eof_ = true;
  mutable bool bof_ = true;
  Statement rowidStmt_;
  Statement blockStmt_;

  // Pending row of Edit/Insert.
  std::vector<Variant> pending_;
  bool modified_ = false;

  Statement insertStmt_;
  Statement updateStmt_;
  Statement deleteStmt_;

  // Index of a key column's values to their first row, built on first lookup.
  mutable std::unordered_map<std::int64_t, int> keyIndex_;
  mutable int keyIndexColumn_ = -1;
  mutable bool keyIndexMixed_ = false;  // some keys stored as floats or texts
};

}  // namespace quillet
