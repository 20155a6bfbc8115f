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

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(std::string name, TKADaoTable& dataSet) : name_(std::move(name)), dataSet_(&dataSet) {
  dataSet_->source_ = this;
}

TDataSource::~TDataSource() {
  if (dataSet_->source_ == this) dataSet_->source_ = nullptr;
}

void TDataSource::addListener(DataSourceListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void TDataSource::removeListener(DataSourceListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

// ---------------------------------------------------------------- TField

TField::TField(TKADaoTable& view, std::string name, std::string fieldName, FieldType type, int size, int column)
    : view_(&view), name_(std::move(name)), fieldName_(std::move(fieldName)), type_(type), size_(size), column_(column) {}

Variant TField::lookupFor(const Variant& key) const {
  if (lookupResultColumn_ < 0) {
    const TField* match = lookupView_->FindField("ID");
    const TField* result = lookupView_->FindField(resultColumn_);
    if (!match || !result || match->IsLookup() || result->IsLookup())
      throw StoreError(lookupView_->Name() + ": Field '" + (match ? resultColumn_ : std::string("ID")) + "' not found");
    lookupKeyColumn_ = match->column_;
    lookupResultColumn_ = result->column_;
  }
  Variant v = lookupView_->lookupAt(lookupKeyColumn_, key, lookupResultColumn_);
  if (v.kind() == Variant::Kind::Text && size_ > 0 && v.text().size() > static_cast<std::size_t>(size_))
    return Variant::fromText(v.text().substr(0, static_cast<std::size_t>(size_)));
  return v;
}

Variant TField::AsVariant() const {
  view_->requireActive(name_.c_str());
  if (IsLookup()) return lookupFor(keyField_->AsVariant());
  return view_->currentValue(column_);
}

bool TField::IsNull() const { return AsVariant().isEmpty(); }

std::int32_t TField::AsInteger() const {
  const Variant v = AsVariant();
  if (v.isEmpty()) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v.toInteger()));
}

double TField::AsFloat() const {
  const Variant v = AsVariant();
  return v.isEmpty() ? 0.0 : v.toFloat();
}

bool TField::AsBoolean() const {
  const Variant v = AsVariant();
  return !v.isEmpty() && v.toFloat() != 0;
}

std::string TField::AsString() const {
  const Variant v = AsVariant();
  if (v.kind() == Variant::Kind::Text) return v.text();
  return ValueText(v, type_, Formats{});
}

double TField::AsDateTime() const { return AsFloat(); }

void TField::SetAsVariant(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      Clear();
      return;
    case Variant::Kind::Integer:
      switch (type_) {
        case FieldType::Integer:
        case FieldType::Boolean:
          view_->setPending(column_, value);
          return;
        case FieldType::Float:
        case FieldType::DateTime:
          view_->setPending(column_, Variant::fromFloat(static_cast<double>(value.integer())));
          return;
        default:
          SetAsString(std::to_string(value.integer()));
          return;
      }
    case Variant::Kind::Float:
      SetAsFloat(value.floating());
      return;
    case Variant::Kind::Text:
      SetAsString(value.text());
      return;
  }
}

void TField::SetAsInteger(std::int32_t value) {
  if (IsLookup()) throw StoreError(name_ + ": Cannot modify a lookup field");
  switch (type_) {
    case FieldType::Integer:
    case FieldType::Boolean:
      view_->pendingRef(column_).setInteger(value);
      return;
    case FieldType::Float:
    case FieldType::DateTime:
      view_->pendingRef(column_).setFloat(value);
      return;
    default:
      SetAsString(std::to_string(value));
      return;
  }
}

void TField::SetAsFloat(double value) {
  if (IsLookup()) throw StoreError(name_ + ": Cannot modify a lookup field");
  switch (type_) {
    case FieldType::Integer:
      if (!std::isfinite(value) || std::fabs(value) > 2147483647.0) throw ConvertError(kInvalidVariantConversion);
      view_->pendingRef(column_).setInteger(std::llround(value));
      return;
    case FieldType::Boolean:
      view_->pendingRef(column_).setInteger(value != 0 ? 1 : 0);
      return;
    case FieldType::Float:
    case FieldType::DateTime:
      view_->pendingRef(column_).setFloat(value);
      return;
    case FieldType::Text:
    case FieldType::Memo:
      SetAsString(FloatText(value));
      return;
  }
}

void TField::SetAsBoolean(bool value) {
  if (type_ == FieldType::Text || type_ == FieldType::Memo) {
    SetAsString(value ? "True" : "False");
    return;
  }
  SetAsInteger(value ? 1 : 0);
}

void TField::SetAsString(std::string_view value) {
  if (IsLookup()) throw StoreError(name_ + ": Cannot modify a lookup field");
  switch (type_) {
    case FieldType::Text:
    case FieldType::Memo: {
      if (size_ > 0 && value.size() > static_cast<std::size_t>(size_)) value = value.substr(0, static_cast<std::size_t>(size_));
      view_->pendingRef(column_).setText(value);
      return;
    }
    case FieldType::Boolean:
      if (sameName(value, "True")) return SetAsInteger(1);
      if (sameName(value, "False")) return SetAsInteger(0);
      break;
    default:
      break;
  }
  if (value.empty()) {
    Clear();
    return;
  }
  const Variant parsed = Variant::fromText(std::string(value));
  if (type_ == FieldType::Integer || type_ == FieldType::Boolean)
    SetAsVariant(Variant::fromInteger(parsed.toInteger()));
  else
    SetAsFloat(parsed.toFloat());
}

void TField::SetAsString(std::string&& value) {
  if ((type_ == FieldType::Text || type_ == FieldType::Memo) && !IsLookup()) {
    if (size_ > 0 && value.size() > static_cast<std::size_t>(size_)) value.resize(static_cast<std::size_t>(size_));
    view_->setPending(column_, Variant::fromText(std::move(value)));
    return;
  }
  SetAsString(std::string_view(value));
}

void TField::SetAsDateTime(double dayCount) { SetAsFloat(dayCount); }

void TField::Clear() {
  if (IsLookup()) throw StoreError(name_ + ": Cannot modify a lookup field");
  view_->setPending(column_, Variant());
}

Variant TField::ValueAt(int row) const {
  if (IsLookup()) return lookupFor(keyField_->ValueAt(row));
  if (row == view_->current_ && (view_->state_ == TKADaoTable::State::Edit)) return view_->pending_[column_];
  return view_->Value(row, column_);
}

std::string TField::DisplayTextAt(int row, const Formats& formats) const {
  const Variant v = ValueAt(row);
  if (v.isEmpty()) return {};
  if (type_ == FieldType::Float && !DisplayFormat.empty() && v.kind() != Variant::Kind::Text)
    return FormatFloat(v.toFloat(), DisplayFormat, formats.decimalSeparator);
  try {
    return ValueText(v, type_, formats, IsLookup() ? size_ : 0);
  } catch (const ConvertError&) {
    return v.toText();  // a stored value of another kind is shown as it is
  }
}

std::string FieldText(const TField& field, const Formats& formats) {
  return ValueText(field.AsVariant(), field.DataType(), formats, field.IsLookup() ? field.Size() : 0);
}

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

Variant TKADaoTable::cellValue(const Cell& cell) const {
  switch (cell.kind) {
    case Variant::Kind::Integer:
      return Variant::fromInteger(cell.i);
    case Variant::Kind::Float:
      return Variant::fromFloat(cell.f);
    case Variant::Kind::Text:
      return Variant::fromText(texts_[cell.text]);
    case Variant::Kind::Empty:
      break;
  }
  return {};
}

TKADaoTable::Cell TKADaoTable::storeCell(Variant&& value) {
  Cell c;
  c.kind = value.kind();
  switch (value.kind()) {
    case Variant::Kind::Integer:
      c.i = value.integer();
      break;
    case Variant::Kind::Float:
      c.f = value.floating();
      break;
    case Variant::Kind::Text:
      c.text = static_cast<std::uint32_t>(texts_.size());
      texts_.push_back(std::move(value).takeText());
      break;
    case Variant::Kind::Empty:
      break;
  }
  return c;
}

Variant TKADaoTable::Value(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) return {};
  return cellValue(cells_[static_cast<std::size_t>(row) * columns_.size() + static_cast<std::size_t>(column)]);
}

Variant TKADaoTable::currentValue(int column) const {
  if (state_ == State::Edit || state_ == State::Insert) return pending_[static_cast<std::size_t>(column)];
  return Value(current_, column);
}

void TKADaoTable::setPending(int column, Variant value) { pendingRef(column) = std::move(value); }

Variant& TKADaoTable::pendingRef(int column) {
  requireEditing();
  modified_ = true;
  return pending_[static_cast<std::size_t>(column)];
}

void TKADaoTable::readRows() {
  std::string sql = "SELECT rowid";
  for (const auto& c : columns_) sql += ", " + quoted(c.name);
  sql += " FROM " + quoted(tableName_);
  if (filtered_ && !filter_.empty()) sql += " WHERE (" + filter_ + ")";
  sql += " ORDER BY rowid";

  sqlite3* db = db_->handle();
  if (!db) throw StoreError(name_ + ": Database is not open");
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &raw, &tail) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(raw);
    throw StoreError(message);
  }
  struct Finalizer {
    sqlite3_stmt* s;
    ~Finalizer() { sqlite3_finalize(s); }
  } fin{raw};
  for (; tail && *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\n' && *tail != '\r')
      throw StoreError(name_ + ": Invalid filter expression: " + filter_);

  // Read into fresh buffers so that a failure leaves the rows held so far untouched.
  std::vector<std::int64_t> rowids;
  std::vector<Cell> cells;
  std::vector<std::string> texts;
  const int ncols = static_cast<int>(columns_.size());
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    rowids.push_back(sqlite3_column_int64(raw, 0));
    for (int c = 1; c <= ncols; ++c) {
      Cell cell;
      switch (sqlite3_column_type(raw, c)) {
        case SQLITE_INTEGER:
          cell.kind = Variant::Kind::Integer;
          cell.i = sqlite3_column_int64(raw, c);
          break;
        case SQLITE_FLOAT:
          cell.kind = Variant::Kind::Float;
          cell.f = sqlite3_column_double(raw, c);
          break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
          const auto* p = static_cast<const char*>(sqlite3_column_blob(raw, c));
          const int n = sqlite3_column_bytes(raw, c);
          cell.kind = Variant::Kind::Text;
          cell.text = static_cast<std::uint32_t>(texts.size());
          texts.emplace_back(p ? p : "", static_cast<std::size_t>(n));
          break;
        }
        default:
          break;
      }
      cells.push_back(cell);
    }
  }
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
  rowids_ = std::move(rowids);
  cells_ = std::move(cells);
  texts_ = std::move(texts);
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
  tell([](DataSourceListener& l) { l.dataReset(); });
  First();
}

void TKADaoTable::closeDataset(bool notify) {
  if (state_ == State::Inactive) return;
  state_ = State::Inactive;
  pending_.clear();
  modified_ = false;
  rowids_.clear();
  rowids_.shrink_to_fit();
  cells_.clear();
  cells_.shrink_to_fit();
  texts_.clear();
  texts_.shrink_to_fit();
  current_ = -1;
  eof_ = bof_ = true;
  insertStmt_ = Statement();
  updateStmt_ = Statement();
  deleteStmt_ = Statement();
  invalidateIndex();
  if (notify) tell([](DataSourceListener& l) { l.dataReset(); });
}

void TKADaoTable::Close() { closeDataset(true); }

// Moving away from a row being edited keeps its changes, as a dynaset does.
#define QUILLET_BROWSE_MODE()                                     \
  do {                                                            \
    if (state_ == State::Edit || state_ == State::Insert) {       \
      if (modified_) Post(); else Cancel();                       \
    }                                                             \
  } while (0)

void TKADaoTable::First() {
  requireActive(name_.c_str());
  QUILLET_BROWSE_MODE();
  bof_ = true;
  eof_ = IsEmpty();
  moveTo(IsEmpty() ? -1 : 0);
}

void TKADaoTable::Next() {
  requireActive(name_.c_str());
  QUILLET_BROWSE_MODE();
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
  QUILLET_BROWSE_MODE();
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
  QUILLET_BROWSE_MODE();
  eof_ = true;
  bof_ = IsEmpty();
  moveTo(rowCount() - 1);
}

void TKADaoTable::SetRecNo(int row) {
  requireActive(name_.c_str());
  QUILLET_BROWSE_MODE();
  if (IsEmpty()) return;
  row = std::clamp(row, 0, rowCount() - 1);
  bof_ = row == 0;
  eof_ = false;
  if (row != current_) moveTo(row);
}

void TKADaoTable::Insert() {
  requireActive(name_.c_str());
  QUILLET_BROWSE_MODE();
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
    if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
    rowids_.push_back(sqlite3_last_insert_rowid(db));
    const std::size_t base = cells_.size();
    cells_.resize(base + ncols);
    for (std::size_t c = 0; c < ncols; ++c) cells_[base + c] = storeCell(std::move(pending_[c]));
    state_ = State::Browse;
    modified_ = false;
    invalidateIndex();
    const int row = rowCount() - 1;
    current_ = row;
    eof_ = bof_ = false;
    tell([row](DataSourceListener& l) { l.rowInserted(row); });
    moveTo(row);
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
  sqlite3_clear_bindings(st);
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
  for (std::size_t c = 0; c < ncols; ++c)
    cells_[static_cast<std::size_t>(current_) * ncols + c] = storeCell(std::move(pending_[c]));
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
  if (IsEmpty() || current_ < 0) throw StoreError(name_ + ": Cannot perform this operation on an empty dataset");
  sqlite3* db = db_->handle();
  if (!deleteStmt_) deleteStmt_ = Statement(db, "DELETE FROM " + quoted(tableName_) + " WHERE rowid = ?");
  sqlite3_stmt* st = deleteStmt_.get();
  sqlite3_bind_int64(st, 1, rowids_[static_cast<std::size_t>(current_)]);
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
  const int row = current_;
  const std::size_t ncols = columns_.size();
  rowids_.erase(rowids_.begin() + row);
  cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row) * ncols),
               cells_.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row + 1) * ncols));
  invalidateIndex();
  current_ = std::min(row, rowCount() - 1);
  eof_ = IsEmpty();
  tell([row](DataSourceListener& l) { l.rowRemoved(row); });
  moveTo(current_);
}

void TKADaoTable::Refresh() {
  requireActive(name_.c_str());
  QUILLET_BROWSE_MODE();
  readRows();
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

#undef QUILLET_BROWSE_MODE

Variant TKADaoTable::Lookup(const std::string& keyColumns, const Variant& keyValue,
                            const std::string& resultColumns) const {
  if (!Active() || batchDepth_ > 0 || IsEmpty() || keyValue.isEmpty()) return {};
  const TField* key = FindField(keyColumns);
  const TField* result = FindField(resultColumns);
  if (!key || !result || key->IsLookup() || result->IsLookup())
    throw StoreError(name_ + ": Field '" + (key && !key->IsLookup() ? resultColumns : keyColumns) + "' not found");
  return lookupAt(key->column_, keyValue, result->column_);
}

Variant TKADaoTable::lookupAt(int keyCol, const Variant& keyValue, int resultCol) const {
  if (!Active() || batchDepth_ > 0 || IsEmpty() || keyValue.isEmpty()) return {};
  const std::size_t ncols = columns_.size();
  const FieldType keyType = columns_[static_cast<std::size_t>(keyCol)].type;

  std::int64_t wanted = 0;
  if ((keyType == FieldType::Integer || keyType == FieldType::Boolean) && integralKey(keyValue, wanted)) {
    if (keyIndexColumn_ != keyCol) {
      keyIndex_.clear();
      keyIndex_.reserve(rowids_.size());
      keyIndexMixed_ = false;
      for (int r = 0; r < rowCount(); ++r) {
        const Cell& c = cells_[static_cast<std::size_t>(r) * ncols + static_cast<std::size_t>(keyCol)];
        if (c.kind == Variant::Kind::Integer)
          keyIndex_.emplace(c.i, r);  // the first row wins
        else if (c.kind != Variant::Kind::Empty)
          keyIndexMixed_ = true;
      }
      keyIndexColumn_ = keyCol;
    }
    const auto it = keyIndex_.find(wanted);
    // Rows whose key was stored in another form are not indexed; look at them the slow way.
    int found = it == keyIndex_.end() ? rowCount() : it->second;
    for (int r = 0; keyIndexMixed_ && r < found; ++r) {
      const Cell& c = cells_[static_cast<std::size_t>(r) * ncols + static_cast<std::size_t>(keyCol)];
      if (c.kind != Variant::Kind::Integer && c.kind != Variant::Kind::Empty && sameValue(cellValue(c), keyValue)) {
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
  // The view already holds its memo texts; switching only changes how grids show them.
  cacheMemos_ = on;
  current_ = -1;
  tell([](DataSourceListener& l) { l.dataReset(); });
  First();
}

}  // namespace quillet
