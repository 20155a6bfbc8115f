// Data sources and field objects of the table views.
#include <sqlite3.h>
#include <strings.h>

#include <algorithm>
#include <cmath>

#include "store/fieldtext.h"
#include "store/table.h"

namespace quillet {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
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

void TField::resolveLookup() const {
  if (lookupResultColumn_ < 0) {
    const TField* match = lookupView_->FindField("ID");
    const TField* result = lookupView_->FindField(resultColumn_);
    if (!match || !result || match->IsLookup() || result->IsLookup())
      throw StoreError(lookupView_->Name() + ": Field '" + (match ? resultColumn_ : std::string("ID")) + "' not found");
    lookupKeyColumn_ = match->column_;
    lookupResultColumn_ = result->column_;
  }
}

const detail::ViewCell* TField::lookedUpCell(const detail::ViewBlock** block, bool* answered) const {
  // The common case: an integer key stored in this row and an indexed looked-up view.
  *answered = false;
  const detail::ViewBlock* kb = nullptr;
  const detail::ViewCell* key = keyField_->storedCell(&kb);
  if (!key) return nullptr;
  *answered = true;
  if (key->kind != Variant::Kind::Integer) {
    *answered = key->kind == Variant::Kind::Empty;
    return nullptr;
  }
  resolveLookup();
  const FieldType matchType = lookupView_->columns_[static_cast<std::size_t>(lookupKeyColumn_)].type;
  if (matchType != FieldType::Integer && matchType != FieldType::Boolean) {
    *answered = false;
    return nullptr;
  }
  const detail::ViewCell* cell = lookupView_->lookupCell(lookupKeyColumn_, key->i, lookupResultColumn_, block);
  if (!cell && lookupView_->Active() && lookupView_->batchDepth_ == 0 && lookupView_->keyIndexMixed_) *answered = false;
  return cell;
}

Variant TField::lookupFor(const Variant& key) const {
  resolveLookup();
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

const detail::ViewCell* TField::storedCell(const detail::ViewBlock** block) const {
  // Reads of a stored value in browse mode go straight to the view's cells; the rest
  // (pending edits, lookups, values stored in another form) go through a variant.
  static const detail::ViewCell empty{};
  view_->requireActive(name_.c_str());
  if (IsLookup() || view_->state_ != TKADaoTable::State::Browse) return nullptr;
  view_->ensureRows();
  if (view_->current_ < 0) return &empty;
  return view_->cellAt(view_->current_, column_, block);
}

std::int32_t TField::AsInteger() const {
  const TKADaoTable::Block* b = nullptr;
  if (const auto* c = storedCell(&b)) {
    if (c->kind == Variant::Kind::Integer) return static_cast<std::int32_t>(static_cast<std::uint32_t>(c->i));
    if (c->kind == Variant::Kind::Empty) return 0;
  }
  const Variant v = AsVariant();
  if (v.isEmpty()) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v.toInteger()));
}

double TField::AsFloat() const {
  const TKADaoTable::Block* b = nullptr;
  bool answered = false;
  if (const auto* c = IsLookup() ? lookedUpCell(&b, &answered) : storedCell(&b); c || answered) {
    if (!c) return 0.0;
    if (c->kind == Variant::Kind::Float) return c->f;
    if (c->kind == Variant::Kind::Integer) return static_cast<double>(c->i);
    if (c->kind == Variant::Kind::Empty) return 0.0;
  }
  const Variant v = AsVariant();
  return v.isEmpty() ? 0.0 : v.toFloat();
}

bool TField::AsBoolean() const {
  const TKADaoTable::Block* b = nullptr;
  if (const auto* c = storedCell(&b)) {
    if (c->kind == Variant::Kind::Integer) return c->i != 0;
    if (c->kind == Variant::Kind::Empty) return false;
  }
  const Variant v = AsVariant();
  return !v.isEmpty() && v.toFloat() != 0;
}

std::string TField::AsString() const {
  const TKADaoTable::Block* b = nullptr;
  if (IsLookup()) {
    bool answered = false;
    const auto* c = lookedUpCell(&b, &answered);
    if (answered && (!c || c->kind == Variant::Kind::Empty)) return {};
    if (answered && c->kind == Variant::Kind::Text) {
      const std::string& t = b->texts[c->text];
      return size_ > 0 && t.size() > static_cast<std::size_t>(size_) ? t.substr(0, static_cast<std::size_t>(size_)) : t;
    }
  } else if (const auto* c = storedCell(&b)) {
    if (c->kind == Variant::Kind::Text) return b->texts[c->text];
    if (c->kind == Variant::Kind::Empty) return {};
  }
  Variant v = AsVariant();
  if (v.kind() == Variant::Kind::Text) return std::move(v).takeText();
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

}  // namespace quillet
