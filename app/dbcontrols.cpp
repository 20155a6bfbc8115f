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

std::string NotADateMessage(const QString& text) { return "'" + text.toStdString() + "' is not a valid date"; }

TDBDateEdit::TDBDateEdit(QWidget* parent) : QLineEdit(parent), binding_([this] { refresh(); }) {
  format_ = QLocale::system().dateFormat(QLocale::ShortFormat);
  if (!format_.contains(QLatin1String("yyyy"))) format_.replace(QLatin1String("yy"), QLatin1String("yyyy"));
}

QDate TDBDateEdit::parseDate(const QString& typed, const QString& shortFormat) {
  const QString t = typed.simplified();
  if (t.isEmpty()) return {};
  const QLocale locale = QLocale::system();
  QString lenient = shortFormat;  // one or two digits for day and month
  lenient.replace(QLatin1String("dd"), QLatin1String("d")).replace(QLatin1String("MM"), QLatin1String("M"));
  QString twoDigitYear = lenient;
  twoDigitYear.replace(QLatin1String("yyyy"), QLatin1String("yy"));
  const QString formats[] = {shortFormat,
                             lenient,
                             QStringLiteral("yyyy-MM-dd"),
                             locale.dateFormat(QLocale::LongFormat),
                             QStringLiteral("d MMM yyyy"),
                             QStringLiteral("d MMMM yyyy")};
  for (const QString& f : formats) {
    QDate d = locale.toDate(t, f);
    if (!d.isValid()) d = QDate::fromString(t, f);
    // A short year read as a four-digit one (year 2) is left to the two-digit reading below.
    if (d.isValid() && d.year() >= 1000) return d;
  }
  // A two-digit year means the nearest century: 00..49 are 2000..2049, 50..99 are 1950..1999.
  QDate d = locale.toDate(t, twoDigitYear);
  if (d.isValid() && twoDigitYear != lenient) {
    const int yy = d.year() % 100;
    return QDate(yy < 50 ? 2000 + yy : 1900 + yy, d.month(), d.day());
  }
  return {};
}

QDate TDBDateEdit::date() const { return parseDate(text(), format_); }

void TDBDateEdit::setDate(const QDate& date) { setText(date.isValid() ? date.toString(format_) : QString()); }

QSize TDBDateEdit::sizeHint() const {
  QSize size = QLineEdit::sizeHint();
  int widest = 0;
  for (int month = 1; month <= 12; ++month)
    widest = std::max(widest, fontMetrics().horizontalAdvance(QDate(2000, month, 28).toString(format_)));
  size.setWidth(widest + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
  return size;
}

void TDBDateEdit::refresh() {
  const QSignalBlocker block(this);
  QDate d;
  try {
    if (const TField* f = binding_.field(); f && !f->IsNull()) d = DateOfDayCount(f->AsDateTime());
  } catch (const std::exception&) {
  }
  setDate(d);
}

void TDBDateEdit::store() {
  const QString typed = text().trimmed();
  const TField* f = binding_.field();
  const bool stored = f && !f->IsNull();
  if (typed.isEmpty()) {
    if (stored)
      if (TField* e = binding_.editField()) e->Clear();
    return;
  }
  const QDate d = parseDate(typed, format_);
  if (!d.isValid()) throw ConvertError(NotADateMessage(typed));
  // The same day keeps its stored time of day.
  if (!stored || DateOfDayCount(f->AsDateTime()) != d)
    if (TField* e = binding_.editField()) e->SetAsDateTime(DayCountOf(d));
  setDate(d);
}

void TDBDateEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window or a popup taking the focus is not leaving the field.
  if (complaining_ || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
    return;
  try {
    store();
  } catch (const ConvertError& e) {
    // Refused: the text stays for the user to mend, and the focus comes back.
    complaining_ = true;
    if (binding_.onError) binding_.onError(e);
    complaining_ = false;
    setFocus(Qt::OtherFocusReason);
    return;
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
