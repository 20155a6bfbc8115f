#include "store/table.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <strings.h>

#include "store/fieldtext.h"

namespace quillet {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string quoted(const std::string& name) { return "[" + name + "]"; }

bool integralKey(const Variant& v, std::int64_t& out) {
  switch (v.kind()) {
    case Variant::Kind::Integer:
      out = v.integer();
      return true;
    case Variant::Kind::Float:
      if (std::isfinite(v.floating()) && std::trunc(v.floating()) == v.floating() && std::fabs(v.floating()) < 9e18) {
        out = static_cast<std::int64_t>(v.floating());
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool sameValue(const Variant& a, const Variant& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  if (a.kind() == Variant::Kind::Text || b.kind() == Variant::Kind::Text) {
    return a.kind() == b.kind() && a.text() == b.text();
  }
  return a.toFloat() == b.toFloat();
}

}  // namespace

// ---------------------------------------------------------------- TKADaoTable

TKADaoTable::TKADaoTable(TKADaoDatabase& database, std::string name, std::string tableName,
                         std::vector<ColumnDef> columns)
    : db_(&database), name_(std::move(name)), tableName_(std::move(tableName)), columns_(std::move(columns)) {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const auto& c = columns_[i];
    fields_.emplace_back(new TField(*this, name_ + c.name, c.name, c.type, c.size, static_cast<int>(i)));
  }
  db_->registerView(this);
}

TKADaoTable::~TKADaoTable() {
  closeDataset(false);
  db_->unregisterView(this);
}

TField* TKADaoTable::FindField(std::string_view fieldName) const {
  for (const auto& f : fields_)
    if (sameName(f->FieldName(), fieldName)) return f.get();
  return nullptr;
}

TField& TKADaoTable::FieldByName(std::string_view fieldName) const {
  if (TField* f = FindField(fieldName)) return *f;
  throw StoreError(name_ + ": Field '" + std::string(fieldName) + "' not found");
}

TField& TKADaoTable::AddLookupField(std::string name, std::string fieldName, FieldType type, int width,
                                    const std::string& keyField, TKADaoTable& lookupView, std::string resultColumn) {
  TField& key = FieldByName(keyField);
  auto* field = new TField(*this, std::move(name), std::move(fieldName), type, width, -1);
  field->keyField_ = &key;
  field->lookupView_ = &lookupView;
  field->resultColumn_ = std::move(resultColumn);
  fields_.emplace_back(field);
  return *field;
}

void TKADaoTable::requireActive(const char* what) const {
  if (state_ == State::Inactive) throw StoreError(std::string(what) + ": Cannot perform this operation on a closed dataset");
}

void TKADaoTable::requireEditing() const {
  if (state_ != State::Edit && state_ != State::Insert) throw StoreError(name_ + ": Dataset not in edit or insert mode");
}

Variant TKADaoTable::cellValue(const Cell& cell, const Block& block) {
  switch (cell.kind) {
    case Variant::Kind::Integer:
      return Variant::fromInteger(cell.i);
    case Variant::Kind::Float:
      return Variant::fromFloat(cell.f);
    case Variant::Kind::Text:
      return Variant::fromText(block.texts[cell.text]);
    case Variant::Kind::Empty:
      break;
  }
  return {};
}

// ---- rows, read when first needed

void TKADaoTable::ensureRows() const {
  if (rowsKnown_ || state_ == State::Inactive) return;
  sqlite3_stmt* st = rowidStmt_.get();
  std::vector<std::int64_t> rowids;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) rowids.push_back(sqlite3_column_int64(st, 0));
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db_->handle()));
  rowids_ = std::move(rowids);
  blocks_.clear();
  blocks_.resize((rowids_.size() + kBlockRows - 1) / kBlockRows);
  rowsKnown_ = true;
  if (firstPending_) {
    firstPending_ = false;
    current_ = rowids_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rowids_.empty();
  }
}

void TKADaoTable::readCells(sqlite3_stmt* st, Cell* cells, Block& block) const {
  const std::size_t ncols = columns_.size();
  for (std::size_t c = 0; c < ncols; ++c) {
    const int col = static_cast<int>(c) + 1;
    Cell& cell = cells[c];
    switch (sqlite3_column_type(st, col)) {
      case SQLITE_INTEGER:
        cell.kind = Variant::Kind::Integer;
        cell.i = sqlite3_column_int64(st, col);
        break;
      case SQLITE_FLOAT:
        cell.kind = Variant::Kind::Float;
        cell.f = sqlite3_column_double(st, col);
        break;
      case SQLITE_TEXT:
      case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
        const int n = sqlite3_column_bytes(st, col);
        cell.kind = Variant::Kind::Text;
        cell.text = static_cast<std::uint32_t>(block.texts.size());
        block.texts.emplace_back(p ? p : "", static_cast<std::size_t>(n));
        break;
      }
      default:
        cell = Cell{};
        break;
    }
  }
}

void TKADaoTable::readAllRows() {
  // A re-read view is about to be shown, so its rows and values are read in one pass.
  std::string sql = "SELECT rowid";
  for (const auto& c : columns_) sql += ", " + quoted(c.name);
  sql += " FROM " + quoted(tableName_);
  if (filtered_ && !filter_.empty()) sql += " WHERE (" + filter_ + ")";
  sql += " ORDER BY rowid";
  Statement all(db_->handle(), sql);
  sqlite3_stmt* st = all.get();
  const std::size_t ncols = columns_.size();
  std::vector<std::int64_t> rowids;
  std::vector<std::unique_ptr<Block>> blocks;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (rowids.size() % kBlockRows == 0) {
      blocks.push_back(std::make_unique<Block>());
      blocks.back()->cells.reserve(kBlockRows * ncols);
    }
    rowids.push_back(sqlite3_column_int64(st, 0));
    Block& b = *blocks.back();
    b.cells.resize(b.cells.size() + ncols);
    readCells(st, &b.cells[b.cells.size() - ncols], b);
  }
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db_->handle()));
  rowids_ = std::move(rowids);
  blocks_ = std::move(blocks);
  rowsKnown_ = true;
  invalidateIndex();
}

const TKADaoTable::Block& TKADaoTable::block(std::size_t index) const {
  if (blocks_.size() <= index) blocks_.resize(index + 1);
  if (blocks_[index]) return *blocks_[index];

  // One range of rowids at a time; rows of the table that the view does not hold (posted
  // elsewhere, or outside its filter) are skipped, rows it holds but the table lost read empty.
  const std::size_t first = index * kBlockRows;
  const std::size_t end = std::min(first + kBlockRows, rowids_.size());
  const std::size_t ncols = columns_.size();
  auto b = std::make_unique<Block>();
  b->cells.resize((end - first) * ncols);
  if (end > first) {
    sqlite3_stmt* st = blockStmt_.get();
    sqlite3_bind_int64(st, 1, rowids_[first]);
    sqlite3_bind_int64(st, 2, rowids_[end - 1]);
    std::size_t k = first;
    int rc;
    while (k < end && (rc = sqlite3_step(st)) == SQLITE_ROW) {
      const std::int64_t rowid = sqlite3_column_int64(st, 0);
      while (k < end && rowids_[k] < rowid) ++k;
      if (k == end || rowids_[k] != rowid) continue;
      readCells(st, &b->cells[(k - first) * ncols], *b);
      ++k;
    }
    const bool failed = k < end && rc != SQLITE_DONE && rc != SQLITE_ROW;
    sqlite3_reset(st);
    if (failed) throw StoreError(sqlite3_errmsg(db_->handle()));
  }
  blocks_[index] = std::move(b);
  return *blocks_[index];
}

void TKADaoTable::dropBlocksFrom(std::size_t index) {
  for (std::size_t b = index; b < blocks_.size(); ++b) blocks_[b].reset();
  blocks_.resize((rowids_.size() + kBlockRows - 1) / kBlockRows);
}

const TKADaoTable::Cell* TKADaoTable::cellAt(int row, int column, const Block** owner) const {
  const Block& b = block(static_cast<std::size_t>(row) / kBlockRows);
  *owner = &b;
  return &b.cells[(static_cast<std::size_t>(row) % kBlockRows) * columns_.size() + static_cast<std::size_t>(column)];
}

Variant TKADaoTable::Value(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) return {};
  const Block* b = nullptr;
  const Cell* cell = cellAt(row, column, &b);
  return cellValue(*cell, *b);
}

Variant TKADaoTable::currentValue(int column) const {
  if (state_ == State::Edit || state_ == State::Insert) return pending_[static_cast<std::size_t>(column)];
  ensureRows();
  return Value(current_, column);
}

void TKADaoTable::setPending(int column, Variant value) { pendingRef(column) = std::move(value); }

Variant& TKADaoTable::pendingRef(int column) {
  requireEditing();
  modified_ = true;
  return pending_[static_cast<std::size_t>(column)];
}

void TKADaoTable::readRows() {
  sqlite3* db = db_->handle();
  if (!db) throw StoreError(name_ + ": Database is not open");

  std::string sql = "SELECT rowid FROM " + quoted(tableName_);
  if (filtered_ && !filter_.empty()) sql += " WHERE (" + filter_ + ")";
  sql += " ORDER BY rowid";
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()) + 1, SQLITE_PREPARE_PERSISTENT, &raw, &tail) !=
      SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(raw);
    throw StoreError(message);
  }
  Statement rowids;
  rowids.adopt(raw);
  for (; tail && *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\n' && *tail != '\r')
      throw StoreError(name_ + ": Invalid filter expression: " + filter_);

  if (!blockStmt_) {
    // Prepared now so that a missing column is reported when the view opens.
    std::string cols = "SELECT rowid";
    for (const auto& c : columns_) cols += ", " + quoted(c.name);
    blockStmt_ = Statement(db, cols + " FROM " + quoted(tableName_) + " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
  }

  // Nothing held so far is dropped before the new statement is known to be good.
  rowidStmt_ = std::move(rowids);
  rowsKnown_ = false;
  rowids_.clear();
  blocks_.clear();
  invalidateIndex();
}

void TKADaoTable::moveTo(int row) {
  current_ = row;
  tell([row](DataSourceListener& l) { l.currentChanged(row); });
}

void TKADaoTable::Open() {
  if (Active()) return;
  readRows();
  state_ = State::Browse;
  current_ = -1;
  firstPending_ = true;
  tell([](DataSourceListener& l) { l.dataReset(); });
}

void TKADaoTable::closeDataset(bool notify) {
  if (state_ == State::Inactive) return;
  state_ = State::Inactive;
  pending_.clear();
  modified_ = false;
  rowids_.clear();
  rowids_.shrink_to_fit();
  blocks_.clear();
  blocks_.shrink_to_fit();
  rowsKnown_ = false;
  firstPending_ = false;
  current_ = -1;
  eof_ = bof_ = true;
  rowidStmt_ = Statement();
  blockStmt_ = Statement();
  insertStmt_ = Statement();
  updateStmt_ = Statement();
  deleteStmt_ = Statement();
  invalidateIndex();
  if (notify) tell([](DataSourceListener& l) { l.dataReset(); });
}

void TKADaoTable::Close() { closeDataset(true); }

// Moving away from a row being edited keeps its changes, as a dynaset does.
void TKADaoTable::browseMode() {
  if (state_ == State::Edit || state_ == State::Insert) {
    if (modified_)
      Post();
    else
      Cancel();
  }
}

void TKADaoTable::First() {
  requireActive(name_.c_str());
  browseMode();
  if (!rowsKnown_) {
    firstPending_ = true;  // settled when the rows are read
    return;
  }
  bof_ = true;
  eof_ = IsEmpty();
  moveTo(IsEmpty() ? -1 : 0);
}

void TKADaoTable::Next() {
  requireActive(name_.c_str());
  browseMode();
  ensureRows();
  if (current_ + 1 < rowCount()) {
    bof_ = false;
    eof_ = false;
    moveTo(current_ + 1);
  } else {
    eof_ = true;
  }
}

void TKADaoTable::Prior() {
  requireActive(name_.c_str());
  browseMode();
  ensureRows();
  if (current_ > 0) {
    eof_ = false;
    bof_ = false;
    moveTo(current_ - 1);
  } else {
    bof_ = true;
  }
}

void TKADaoTable::Last() {
  requireActive(name_.c_str());
  browseMode();
  ensureRows();
  eof_ = true;
  bof_ = IsEmpty();
  moveTo(rowCount() - 1);
}

void TKADaoTable::SetRecNo(int row) {
  requireActive(name_.c_str());
  browseMode();
  ensureRows();
  if (IsEmpty()) return;
  row = std::clamp(row, 0, rowCount() - 1);
  bof_ = row == 0;
  eof_ = false;
  if (row != current_) moveTo(row);
}

void TKADaoTable::Insert() {
  requireActive(name_.c_str());
  browseMode();
  ensureRows();
  pending_.resize(columns_.size());
  for (auto& v : pending_) v.clear();
  modified_ = false;
  state_ = State::Insert;
}

void TKADaoTable::Edit() {
  requireActive(name_.c_str());
  if (state_ == State::Edit || state_ == State::Insert) return;
  if (IsEmpty()) {
    Insert();
    return;
  }
  pending_.resize(columns_.size());
  for (std::size_t c = 0; c < columns_.size(); ++c) pending_[c] = Value(current_, static_cast<int>(c));
  modified_ = false;
  state_ = State::Edit;
}

void TKADaoTable::bindRow(sqlite3_stmt* stmt) const {
  for (std::size_t c = 0; c < pending_.size(); ++c) {
    const int i = static_cast<int>(c) + 1;
    const Variant& v = pending_[c];
    switch (v.kind()) {
      case Variant::Kind::Empty:
        sqlite3_bind_null(stmt, i);
        break;
      case Variant::Kind::Integer:
        sqlite3_bind_int64(stmt, i, v.integer());
        break;
      case Variant::Kind::Float:
        sqlite3_bind_double(stmt, i, v.floating());
        break;
      case Variant::Kind::Text:
        sqlite3_bind_text(stmt, i, v.text().data(), static_cast<int>(v.text().size()), SQLITE_STATIC);
        break;
    }
  }
}

void TKADaoTable::Post() {
  requireActive(name_.c_str());
  if (state_ != State::Edit && state_ != State::Insert) return;
  // After the engine rolled a batch back by itself, a row written now would be saved on
  // its own, outside the work it belongs to.
  if (db_->TransactionLost()) throw StoreError(name_ + ": the store's transaction was rolled back by the engine");
  sqlite3* db = db_->handle();
  const std::size_t ncols = columns_.size();
  if (state_ == State::Insert) {
    if (!insertStmt_) {
      std::string sql = "INSERT INTO " + quoted(tableName_) + " (";
      for (std::size_t c = 0; c < ncols; ++c) sql += (c ? ", " : "") + quoted(columns_[c].name);
      sql += ") VALUES (";
      for (std::size_t c = 0; c < ncols; ++c) sql += c ? ", ?" : "?";
      sql += ")";
      insertStmt_ = Statement(db, sql);
    }
    sqlite3_stmt* st = insertStmt_.get();
    bindRow(st);  // binds every column, so no earlier row's value stays bound
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) throw EngineError(sqlite3_errmsg(db));
    // The new row joins the end of the view. Outside batch mode its values stay in the last
    // block when that block is held (or starts with it), so that a walk after the append
    // reads no file. In batch mode rows come in bulk and are read back later, if at all
    // (the import reopens the store after its fill): keeping them would cost every row a
    // copy, so the block they fall in is let go and read again when asked for.
    rowids_.push_back(sqlite3_last_insert_rowid(db));
    const int row = rowCount() - 1;
    const std::size_t b = static_cast<std::size_t>(row) / kBlockRows;
    if (blocks_.size() <= b) blocks_.resize(b + 1);
    if (batchDepth_ > 0) {
      blocks_[b].reset();
    } else if (!blocks_[b] && row % static_cast<int>(kBlockRows) == 0) {
      blocks_[b] = std::make_unique<Block>();
    }
    if (Block* last = blocks_[b].get()) {
      last->cells.resize(last->cells.size() + ncols);
      Cell* cells = &last->cells[last->cells.size() - ncols];
      for (std::size_t c = 0; c < ncols; ++c) {
        Variant& v = pending_[c];
        Cell& cell = cells[c];
        cell.kind = v.kind();
        switch (v.kind()) {
          case Variant::Kind::Integer:
            cell.i = v.integer();
            break;
          case Variant::Kind::Float:
            cell.f = v.floating();
            break;
          case Variant::Kind::Text:
            cell.text = static_cast<std::uint32_t>(last->texts.size());
            last->texts.push_back(std::move(v).takeText());
            break;
          case Variant::Kind::Empty:
            break;
        }
      }
    }
    state_ = State::Browse;
    modified_ = false;
    invalidateIndex();
    current_ = row;
    eof_ = bof_ = false;
    tell([row](DataSourceListener& l) { l.rowInserted(row); });
    moveTo(row);
    return;
  }

  // A row whose values are all as stored is not written again.
  bool changed = false;
  for (std::size_t c = 0; c < ncols && !changed; ++c) changed = !(pending_[c] == Value(current_, static_cast<int>(c)));
  if (!changed) {
    Cancel();
    return;
  }
  if (!updateStmt_) {
    std::string sql = "UPDATE " + quoted(tableName_) + " SET ";
    for (std::size_t c = 0; c < ncols; ++c) sql += (c ? ", " : "") + quoted(columns_[c].name) + " = ?";
    sql += " WHERE rowid = ?";
    updateStmt_ = Statement(db, sql);
  }
  sqlite3_stmt* st = updateStmt_.get();
  bindRow(st);
  sqlite3_bind_int64(st, static_cast<int>(ncols) + 1, rowids_[static_cast<std::size_t>(current_)]);
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw EngineError(sqlite3_errmsg(db));
  const std::size_t b = static_cast<std::size_t>(current_) / kBlockRows;
  if (b < blocks_.size()) blocks_[b].reset();
  state_ = State::Browse;
  modified_ = false;
  invalidateIndex();
  const int row = current_;
  tell([row](DataSourceListener& l) { l.rowChanged(row); });
}

void TKADaoTable::Cancel() {
  if (state_ != State::Edit && state_ != State::Insert) return;
  state_ = State::Browse;
  pending_.clear();
  modified_ = false;
}

void TKADaoTable::Delete() {
  requireActive(name_.c_str());
  if (state_ == State::Insert) {
    Cancel();
    return;
  }
  Cancel();
  ensureRows();
  if (IsEmpty() || current_ < 0) throw StoreError(name_ + ": Cannot perform this operation on an empty dataset");
  sqlite3* db = db_->handle();
  if (!deleteStmt_) deleteStmt_ = Statement(db, "DELETE FROM " + quoted(tableName_) + " WHERE rowid = ?");
  sqlite3_stmt* st = deleteStmt_.get();
  sqlite3_bind_int64(st, 1, rowids_[static_cast<std::size_t>(current_)]);
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
  const int row = current_;
  rowids_.erase(rowids_.begin() + row);
  dropBlocksFrom(static_cast<std::size_t>(row) / kBlockRows);  // the rows after it moved up
  invalidateIndex();
  current_ = std::min(row, rowCount() - 1);
  eof_ = IsEmpty();
  tell([row](DataSourceListener& l) { l.rowRemoved(row); });
  moveTo(current_);
}

void TKADaoTable::Refresh() {
  requireActive(name_.c_str());
  browseMode();
  readRows();
  readAllRows();
  current_ = -1;
  tell([](DataSourceListener& l) { l.dataReset(); });
  First();
}

void TKADaoTable::SetFilter(const std::string& expression) {
  filter_ = expression;
  if (Active() && filtered_) Refresh();
}

void TKADaoTable::SetFiltered(bool on) {
  if (on == filtered_) return;
  filtered_ = on;
  if (!Active()) return;
  if (filter_.empty()) {
    // An empty expression filters nothing: the rows held are already the right ones.
    First();
    tell([](DataSourceListener& l) { l.dataReset(); });
    return;
  }
  Refresh();
}

Variant TKADaoTable::Lookup(const std::string& keyColumns, const Variant& keyValue,
                            const std::string& resultColumns) const {
  if (!Active() || batchDepth_ > 0 || IsEmpty() || keyValue.isEmpty()) return {};
  const TField* key = FindField(keyColumns);
  const TField* result = FindField(resultColumns);
  if (!key || !result || key->IsLookup() || result->IsLookup())
    throw StoreError(name_ + ": Field '" + (key && !key->IsLookup() ? resultColumns : keyColumns) + "' not found");
  return lookupAt(key->column_, keyValue, result->column_);
}

const TKADaoTable::Cell* TKADaoTable::lookupCell(int keyCol, std::int64_t key, int resultCol, const Block** owner) const {
  if (!Active() || batchDepth_ > 0 || IsEmpty()) return nullptr;
  const FieldType keyType = columns_[static_cast<std::size_t>(keyCol)].type;
  if (keyType != FieldType::Integer && keyType != FieldType::Boolean) return nullptr;
  buildKeyIndex(keyCol);
  if (keyIndexMixed_) return nullptr;  // the general path looks at the odd rows too
  const auto it = keyIndex_.find(key);
  if (it == keyIndex_.end()) return nullptr;
  return cellAt(it->second, resultCol, owner);
}

void TKADaoTable::buildKeyIndex(int keyCol) const {
  if (keyIndexColumn_ == keyCol) return;
  const Block* b = nullptr;
  keyIndex_.clear();
  keyIndex_.reserve(rowids_.size());
  keyIndexMixed_ = false;
  for (int r = 0; r < rowCount(); ++r) {
    const Cell& c = *cellAt(r, keyCol, &b);
    if (c.kind == Variant::Kind::Integer)
      keyIndex_.emplace(c.i, r);  // the first row wins
    else if (c.kind != Variant::Kind::Empty)
      keyIndexMixed_ = true;
  }
  keyIndexColumn_ = keyCol;
}

Variant TKADaoTable::lookupAt(int keyCol, const Variant& keyValue, int resultCol) const {
  if (!Active() || batchDepth_ > 0 || IsEmpty() || keyValue.isEmpty()) return {};
  const FieldType keyType = columns_[static_cast<std::size_t>(keyCol)].type;
  const Block* b = nullptr;

  std::int64_t wanted = 0;
  if ((keyType == FieldType::Integer || keyType == FieldType::Boolean) && integralKey(keyValue, wanted)) {
    buildKeyIndex(keyCol);
    const auto it = keyIndex_.find(wanted);
    // Rows whose key was stored in another form are not indexed; look at them the slow way.
    int found = it == keyIndex_.end() ? rowCount() : it->second;
    for (int r = 0; keyIndexMixed_ && r < found; ++r) {
      const Cell& c = *cellAt(r, keyCol, &b);
      if (c.kind != Variant::Kind::Integer && c.kind != Variant::Kind::Empty && sameValue(cellValue(c, *b), keyValue)) {
        found = r;
        break;
      }
    }
    return found < rowCount() ? Value(found, resultCol) : Variant();
  }
  for (int r = 0; r < rowCount(); ++r)
    if (sameValue(Value(r, keyCol), keyValue)) return Value(r, resultCol);
  return {};
}

void TKADaoTable::F_SetBatchMode(bool on) {
  if (on) {
    ++batchDepth_;
    return;
  }
  if (batchDepth_ == 0) return;
  if (--batchDepth_ == 0) tell([](DataSourceListener& l) { l.dataReset(); });
}

void TKADaoTable::SetCacheMemos(bool on) {
  requireActive(name_.c_str());
  // The view reads its memo texts with the other values; switching only changes how grids show them.
  cacheMemos_ = on;
  current_ = -1;
  tell([](DataSourceListener& l) { l.dataReset(); });
  if (rowsKnown_) {
    First();
  } else {
    firstPending_ = true;
  }
}

}  // namespace quillet
