#pragma once
// Controls bound to one field of a view's current row: they show the row's value and
// write the user's change into it (the view goes into edit mode; the row is posted by
// whoever posts the view). A change by the user emits userChanged() after it is written.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <string>

#include "store/table.h"

namespace quillet::app {

// Follows a data source and runs a callback whenever its rows or its current row change.
class DataLink : public DataSourceListener {
 public:
  explicit DataLink(std::function<void()> changed, bool followCursor = true)
      : changed_(std::move(changed)), followCursor_(followCursor) {}
  ~DataLink() override;
  DataLink(const DataLink&) = delete;
  DataLink& operator=(const DataLink&) = delete;

  // Unbind (nullptr) before the data source goes away.
  void setDataSource(TDataSource* source);
  TDataSource* dataSource() const { return source_; }
  TKADaoTable* view() const { return source_ ? &source_->DataSet() : nullptr; }
  bool active() const { return view() && view()->Active(); }

  void dataReset() override { changed_(); }
  void rowInserted(int) override { changed_(); }
  void rowRemoved(int) override { changed_(); }
  void rowChanged(int) override { changed_(); }
  void currentChanged(int) override {
    if (followCursor_) changed_();
  }

 private:
  std::function<void()> changed_;
  bool followCursor_;
  TDataSource* source_ = nullptr;
};

// The bound field of a control, with the error display for failed writes.
class FieldBinding {
 public:
  explicit FieldBinding(std::function<void()> changed) : link_(std::move(changed)) {}
  void bind(TDataSource* source, std::string fieldName);
  void unbind() { link_.setDataSource(nullptr); }
  TDataSource* dataSource() const { return link_.dataSource(); }
  const std::string& fieldName() const { return fieldName_; }
  // The field of the current row, or nullptr when the view is closed or has no row to show.
  TField* field() const;
  // Puts the view into edit mode (inserting the row of an empty view) and returns the field.
  TField* editField() const;

  std::function<void(const std::exception&)> onError;

 private:
  DataLink link_;
  std::string fieldName_;
};

class TDBCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit TDBCheckBox(QWidget* parent = nullptr);
  FieldBinding& binding() { return binding_; }
  void refresh();
 signals:
  void userChanged();

 private:
  FieldBinding binding_;
};

// Lists the NAME of every row of a list view and stores the chosen row's ID in the bound field.
class TDBLookupComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TDBLookupComboBox(QWidget* parent = nullptr);
  ~TDBLookupComboBox() override;
  FieldBinding& binding() { return binding_; }
  void SetListSource(TDataSource* source, std::string keyField = "ID", std::string listField = "NAME");
  void SetDropDownRows(int rows) { setMaxVisibleItems(rows); }
  void refreshList();
  void refresh();  // selects the item of the bound field's value
 signals:
  void userChanged();

 private:
  FieldBinding binding_;
  DataLink list_;
  std::string keyField_ = "ID";
  std::string listField_ = "NAME";
};

// A date field, typed like a plain edit field. It shows the date in the user's short date
// format (four-digit years) and an empty value as an empty field. Leaving it stores what it
// holds: a date typed in the short date format (also with a two-digit year or one-digit day
// and month), in the locale's long format, or as YYYY-MM-DD; nothing, for an emptied field.
// Text that is no date is refused: the conversion error is shown and the field keeps the focus.
class TDBDateEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TDBDateEdit(QWidget* parent = nullptr);
  FieldBinding& binding() { return binding_; }
  void refresh();
  // The date the field holds; invalid when it is empty or holds no date.
  QDate date() const;
  // Shows a date; an invalid date empties the field. Stored when the field is left.
  void setDate(const QDate& date);
  bool isEmptyValue() const { return text().trimmed().isEmpty(); }
  QString displayFormat() const { return format_; }
  // Stores what the field holds now, as leaving it does but without the userLeft signal;
  // raises ConvertError for text that is no date.
  void commitText() { store(); }
  // A typed date in the given short date format or one of the other accepted forms.
  static QDate parseDate(const QString& text, const QString& shortFormat);
  // As wide as the longest date of its format.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
 signals:
  // Emitted when the user leaves the field holding an empty value or a date (whether or not
  // the value changed).
  void userLeft();

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void store();
  FieldBinding binding_;
  QString format_;
  bool complaining_ = false;  // the error box of a refused text is up
};

// The conversion error of text that is no date.
std::string NotADateMessage(const QString& text);

// Shows a memo field of the current row; read-only.
class TDBMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TDBMemo(QWidget* parent = nullptr);
  FieldBinding& binding() { return binding_; }
  void refresh();

 private:
  FieldBinding binding_;
};

// Day counts and dates.
double DayCountOf(const QDate& date);
QDate DateOfDayCount(double dayCount);

}  // namespace quillet::app
