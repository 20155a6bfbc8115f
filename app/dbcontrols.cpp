#include "app/uitext.h"
#include "app/dbcontrols.h"

#include <QFocusEvent>
#include <QLocale>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "text/codepage.h"

namespace quillet::app {
namespace {


const QDate kDayZero(1899, 12, 30);
const QDate kEmptyDate(1752, 9, 14);  // QDateEdit's own earliest date

}  // namespace

double DayCountOf(const QDate& date) { return static_cast<double>(kDayZero.daysTo(date)); }

QDate DateOfDayCount(double dayCount) {
  if (!std::isfinite(dayCount) || std::fabs(dayCount) > 3.0e6) return {};
  return kDayZero.addDays(static_cast<qint64>(std::trunc(dayCount)));
}

// ---------------------------------------------------------------- DataLink

DataLink::~DataLink() {
  if (source_) source_->removeListener(this);
}

void DataLink::setDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) source_->removeListener(this);
  source_ = source;
  if (source_) source_->addListener(this);
  changed_();
}

// ---------------------------------------------------------------- FieldBinding

void FieldBinding::bind(TDataSource* source, std::string fieldName) {
  fieldName_ = std::move(fieldName);
  link_.setDataSource(source);
}

TField* FieldBinding::field() const {
  TKADaoTable* v = link_.view();
  if (!v || !v->Active()) return nullptr;
  if (v->IsEmpty() && v->state() == TKADaoTable::State::Browse) return nullptr;
  return v->FindField(fieldName_);
}

TField* FieldBinding::editField() const {
  TKADaoTable* v = link_.view();
  if (!v || !v->Active()) return nullptr;
  TField* f = v->FindField(fieldName_);
  if (f && v->state() == TKADaoTable::State::Browse) v->Edit();
  return f;
}

// ---------------------------------------------------------------- TDBCheckBox

TDBCheckBox::TDBCheckBox(QWidget* parent) : QCheckBox(parent), binding_([this] { refresh(); }) {
  connect(this, &QCheckBox::clicked, this, [this](bool checked) {
    try {
      if (TField* f = binding_.editField()) f->SetAsBoolean(checked);
    } catch (const std::exception& e) {
      if (binding_.onError) binding_.onError(e);
      refresh();
      return;
    }
    emit userChanged();
  });
}

void TDBCheckBox::refresh() {
  const QSignalBlocker block(this);
  bool on = false;
  try {
    if (const TField* f = binding_.field()) on = f->AsBoolean();
  } catch (const std::exception&) {
  }
  setChecked(on);
}

// ---------------------------------------------------------------- TDBLookupComboBox

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent)
    : QComboBox(parent), binding_([this] { refresh(); }), list_([this] { refreshList(); }, false) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, [this](int index) {
    const QVariant id = itemData(index);
    if (!id.isValid()) return;
    try {
      if (TField* f = binding_.editField()) f->SetAsInteger(static_cast<std::int32_t>(id.toLongLong()));
    } catch (const std::exception& e) {
      if (binding_.onError) binding_.onError(e);
      refresh();
      return;
    }
    emit userChanged();
  });
}

TDBLookupComboBox::~TDBLookupComboBox() = default;

void TDBLookupComboBox::SetListSource(TDataSource* source, std::string keyField, std::string listField) {
  keyField_ = std::move(keyField);
  listField_ = std::move(listField);
  list_.setDataSource(source);
}

void TDBLookupComboBox::refreshList() {
  {
    const QSignalBlocker block(this);
    clear();
    TKADaoTable* v = list_.view();
    try {
      const TField* key = v && v->Active() ? v->FindField(keyField_) : nullptr;
      const TField* name = v && v->Active() ? v->FindField(listField_) : nullptr;
      for (int r = 0; key && name && r < v->RecordCount(); ++r) {
        const Variant id = key->ValueAt(r);
        QVariant itemId;
        if (id.kind() == Variant::Kind::Integer) itemId = QVariant::fromValue<qlonglong>(id.integer());
        addItem(handheldText(name->ValueAt(r).toText()), itemId);
      }
    } catch (const std::exception&) {
      // Told from inside a store operation: a list that cannot be read stays as far as it got.
    }
  }
  refresh();
}

void TDBLookupComboBox::refresh() {
  const QSignalBlocker block(this);
  int index = -1;
  try {
    if (const TField* f = binding_.field(); f && !f->IsNull())
      index = findData(QVariant::fromValue<qlonglong>(f->AsInteger()));
  } catch (const std::exception&) {
  }
  setCurrentIndex(index);
}

// ---------------------------------------------------------------- TDBDateEdit

TDBDateEdit::TDBDateEdit(QWidget* parent) : QDateEdit(parent), binding_([this] { refresh(); }) {
  setMinimumDate(kEmptyDate);
  setSpecialValueText(QStringLiteral(" "));
  QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  setDisplayFormat(format);
  // Typed in like a plain edit field, as the design has it.
  setButtonSymbols(QAbstractSpinBox::NoButtons);
  setDate(kEmptyDate);
}

QSize TDBDateEdit::sizeHint() const {
  QSize size = QDateEdit::sizeHint();
  int widest = 0;
  for (int month = 1; month <= 12; ++month)
    widest = std::max(widest, fontMetrics().horizontalAdvance(QDate(2000, month, 28).toString(displayFormat())));
  size.setWidth(widest + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
  return size;
}

void TDBDateEdit::refresh() {
  const QSignalBlocker block(this);
  QDate d = kEmptyDate;
  try {
    if (const TField* f = binding_.field(); f && !f->IsNull()) {
      const QDate stored = DateOfDayCount(f->AsDateTime());
      if (stored.isValid() && stored > kEmptyDate) d = stored;
    }
  } catch (const std::exception&) {
  }
  setDate(d);
}

void TDBDateEdit::store() {
  const TField* f = binding_.field();
  QDate current = kEmptyDate;
  if (f && !f->IsNull()) current = DateOfDayCount(f->AsDateTime());
  if (current == date()) return;
  if (TField* e = binding_.editField()) {
    if (isEmptyValue())
      e->Clear();
    else
      e->SetAsDateTime(DayCountOf(date()));
  }
}

void TDBDateEdit::focusOutEvent(QFocusEvent* event) {
  QDateEdit::focusOutEvent(event);
  // A calendar popup taking the focus is not leaving the field.
  if (event->reason() == Qt::PopupFocusReason) return;
  try {
    store();
  } catch (const std::exception& e) {
    if (binding_.onError) binding_.onError(e);
    refresh();
    return;
  }
  emit userLeft();
}

// ---------------------------------------------------------------- TDBMemo

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent), binding_([this] { refresh(); }) {
  setReadOnly(true);
}

void TDBMemo::refresh() {
  QString s;
  try {
    if (const TField* f = binding_.field()) s = handheldText(f->AsString());
  } catch (const std::exception&) {
  }
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (s != toPlainText()) setPlainText(s);
}

}  // namespace quillet::app
