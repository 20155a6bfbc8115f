#include "app/controltexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include <cstring>

#include "app/grid.h"
#include "app/navigator.h"
#include "app/radiogroup.h"

namespace quillet::app {
namespace {

using R = TextRole;

constexpr const char* kNavigatorHints =
    "First record\nPrior record\nNext record\nLast record\nInsert record\nDelete record\nEdit record\n"
    "Post edit\nCancel edit\nRefresh data";
constexpr const char* kYesNoItems = "all\nno\nyes";

constexpr ControlText kDesigned[] = {
    // Main menu.
    {"File1", R::Caption, nullptr, "&File"},
    {"Exportreport1", R::Caption, nullptr, "&Export report"},
    {"Language1", R::Caption, nullptr, "Langua&ge"},
    {"Exit1", R::Caption, nullptr, "E&xit"},
    {"View1", R::Caption, nullptr, "&View"},
    {"Showalltables1", R::Caption, nullptr, "Show all &tables"},
    {"Showhints1", R::Caption, nullptr, "Show &hints"},
    {"Showfilteredcolumns1", R::Caption, nullptr, "Show &filtered columns"},
    {"Showfilteringpanel1", R::Caption, nullptr, "Show filter &panel"},
    {"Allowfilterpanelfloating1", R::Caption, nullptr, "Allow filter panel f&loating"},
    {"Restoredefaultcolumns1", R::Caption, nullptr, "&Restore default columns"},
    {"ImportExportconfirmations1", R::Caption, nullptr, "Import/Export &confirmations"},
    {"Importatstartup1", R::Caption, nullptr, "Import at &startup"},
    {"Help1", R::Caption, nullptr, "&Help"},
    {"Contents1", R::Caption, nullptr, "&Contents"},
    {"About1", R::Caption, nullptr, "&About"},

    // Pages.
    {"ImportExportTabSheet", R::Caption, nullptr, "Import/Export"},
    {"AccountTabSheet", R::Caption, nullptr, "Accounts"},
    {"TransactionsTabSheet", R::Caption, nullptr, "Transactions"},
    {"CurrenciesTabSheet", R::Caption, nullptr, "Currencies"},
    {"Category1TabSheet", R::Caption, nullptr, "Category1"},
    {"Category2TabSheet", R::Caption, nullptr, "Category2"},
    {"Category3TabSheet", R::Caption, nullptr, "Category3"},
    {"Category4TabSheet", R::Caption, nullptr, "Category4"},
    {"BalanceTypeTabSheet", R::Caption, nullptr, "BalanceType"},
    {"RemindTypeTabSheet", R::Caption, nullptr, "RemindType"},
    {"CustomNamesTabSheet", R::Caption, nullptr, "CustomNames"},

    // Import/Export page.
    {"ExchangeTypeRadioGroup", R::Caption, nullptr, "Select an exchange type"},
    {"ExchangeTypeRadioGroup", R::Hint, nullptr,
     "You can exchange your data by PalmDesktop user profiles or through manually selected folders with handheld "
     "data"},
    {"ExchangeTypeRadioGroup", R::Items, nullptr,
     "Automatic exchange using PalmDesktop\nManual exchange using custom folders"},
    {"SelectUserGroupBox", R::Caption, nullptr, "Select your PalmDesktop user"},
    {"SelectUserListBox", R::Hint, nullptr,
     "Select here your PalmDesktop user in order not to select folders manually"},
    {"ImportGroupBox", R::Caption, nullptr, "Import data from handheld"},
    {"ImportPathLabel", R::Caption, nullptr, "Import path (only for manual exchange):"},
    {"ImportPathEdit", R::Hint, nullptr, "Enter here custom import path for manual exchange"},
    {"ImportPathBrowseButton", R::Hint, nullptr, "Browse import path"},
    {"ImportButton", R::Caption, nullptr, "Import"},
    {"ImportButton", R::Hint, nullptr, "Import your Quillet data from handheld"},
    {"ClearAllTables", R::Caption, nullptr, "Clear all tables"},
    {"ClearAllTables", R::Hint, nullptr, "Simply clear all your data for Quillet Desktop"},
    {"ExportGroupBox", R::Caption, nullptr, "Export data to handheld"},
    {"ExportpathLabel", R::Caption, nullptr, "Export path (only for manual exchange):"},
    {"ExportPathEdit", R::Hint, nullptr, "Enter here custom export path for manual exchange"},
    {"ExportPathBrowseButton", R::Hint, nullptr, "Browse export path"},
    {"ExportButton", R::Caption, nullptr, "Export"},
    {"ExportButton", R::Hint, nullptr, "Export your Quillet data to handheld"},

    // Accounts page.
    {"AccountNotesLabel", R::Caption, nullptr, "Notes:"},
    {"AccountsDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "FTOTAL", "Add to total"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "NAME", "Name"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "AMOUNT", "Amount"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "CurrencyName", "Currency"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "FACTIVE", "Active"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "NOTES", "Notes"},

    // Transactions page: the filter panel.
    {"TransactionsFilterPanel", R::Hint, nullptr,
     "This is the filtering panel. You can drag it, show and hide (Alt-P)."},
    {"AccToDBCheckBox", R::Caption, nullptr, "To account:"},
    {"AccToDBCheckBox", R::Hint, nullptr, "Enables or disables filtering by destination account"},
    {"AccToDBLookupComboBox", R::Hint, nullptr,
     "Select here destination account. Transactions only with this destination account will be displayed."},
    {"AccFromDBCheckBox", R::Caption, nullptr, "From account:"},
    {"AccFromDBCheckBox", R::Hint, nullptr, "Enables or disables filtering by source account"},
    {"AccFromDBLookupComboBox", R::Hint, nullptr,
     "Select here source account. Transactions only with this source account will be displayed."},
    {"DateFilterLabel", R::Caption, nullptr, "Date:"},
    {"FromDateDBCheckBox", R::Caption, nullptr, "From"},
    {"FromDateDBCheckBox", R::Hint, nullptr, "Enables or disables starting date for filtering by period"},
    {"FromDateDBEdit", R::Hint, nullptr, "Starting date for filtering by period. Leave this field to apply."},
    {"ToDateDBCheckBox", R::Caption, nullptr, "To"},
    {"ToDateDBCheckBox", R::Hint, nullptr, "Enables or disables ending date for filtering by period"},
    {"ToDateDBEdit", R::Hint, nullptr, "Ending date for filtering by period. Leave this field to apply."},
    {"TransactionsTotalLabel", R::Caption, nullptr, "Total balance:"},
    {"TransactionsTotalEdit", R::Text, nullptr, "123456789.000"},
    {"TransactionsTotalEdit", R::Hint, nullptr, "This is a total balance for displayed (filtered) transactions"},
    {"TransactionsTotalCurrencyDBLookupComboBox", R::Hint, nullptr, "This is a currency for a total balance"},
    {"Category1DBCheckBox", R::Caption, nullptr, "Category 1:"},
    {"Category1DBCheckBox", R::Hint, nullptr, "Enables or disables filtering by first category"},
    {"Category1DBLookupComboBox", R::Hint, nullptr,
     "Select here first category. Transactions only from this category will be displayed."},
    {"Category2DBCheckBox", R::Caption, nullptr, "Category 2:"},
    {"Category2DBCheckBox", R::Hint, nullptr, "Enables or disables filtering by second category"},
    {"Category2DBLookupComboBox", R::Hint, nullptr,
     "Select here second category. Transactions only from this category will be displayed."},
    {"Category3DBCheckBox", R::Caption, nullptr, "Category 3:"},
    {"Category3DBCheckBox", R::Hint, nullptr, "Enables or disables filtering by third category"},
    {"Category3DBLookupComboBox", R::Hint, nullptr,
     "Select here third category. Transactions only from this category will be displayed."},
    {"Category4DBCheckBox", R::Caption, nullptr, "Category 4:"},
    {"Category4DBCheckBox", R::Hint, nullptr, "Enables or disables filtering by fourth category"},
    {"Category4DBLookupComboBox", R::Hint, nullptr,
     "Select here fourth category. Transactions only from this category will be displayed."},
    {"CurrencyDBCheckBox", R::Caption, nullptr, "Currency:"},
    {"CurrencyDBCheckBox", R::Hint, nullptr, "Enables or disables filtering by currency"},
    {"CurrencyDBLookupComboBox", R::Hint, nullptr,
     "Select here currency. Transactions only with this currency will be displayed."},
    {"ReceiptLabel", R::Caption, nullptr, "Receipt:"},
    {"ReceiptComboBox", R::Items, nullptr, kYesNoItems},
    {"ReceiptComboBox", R::Hint, nullptr, "Filter for \"Receipt\" checkbox"},
    {"BillableLabel", R::Caption, nullptr, "Billable:"},
    {"BillableComboBox", R::Items, nullptr, kYesNoItems},
    {"BillableComboBox", R::Hint, nullptr, "Filter for \"Billable\" checkbox"},
    {"ClearedLabel", R::Caption, nullptr, "Cleared:"},
    {"ClearedComboBox", R::Items, nullptr, kYesNoItems},
    {"ClearedComboBox", R::Hint, nullptr, "Filter for \"Cleared\" checkbox"},

    // Transactions page: the grid and its navigator.
    {"TransactionsDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FADD", "Income"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "DATE", "Date/Time"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AccountToName", "To account"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AccountFromName", "From account"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AMOUNT", "Amount"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "CurrencyName", "Currency"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "NOTES", "Notes"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "Category1Name", "Category 1"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "Category2Name", "Category 2"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "Category3Name", "Category 3"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "Category4Name", "Category 4"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FRECEIPT", "Is receipt"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FBILLABLE", "Is billable"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FCLEARED", "Is cleared"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FMIRROR", "Mirror"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "BalanceTypeName", "Balance"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FREMIND", "Remind"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "RemindTypeName", "Remind by"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FOWNCURRENCY", "Has own rate"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "CURRENCY_RATE", "Own rate"},

    // Currencies page.
    {"CurrenciesDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    {"CurrenciesKADaoDBGrid", R::ColumnTitle, "NAME", "Currency name"},
    {"CurrenciesKADaoDBGrid", R::ColumnTitle, "RATE", "Exchange rate"},

    // The additional tables.
    {"Category1KADaoDBGrid", R::ColumnTitle, "NAME", "Category name"},
    {"Category2KADaoDBGrid", R::ColumnTitle, "NAME", "Category name"},
    {"Category3KADaoDBGrid", R::ColumnTitle, "NAME", "Category name"},
    {"Category4KADaoDBGrid", R::ColumnTitle, "NAME", "Category name"},
    {"BalanceTypeKADaoDBGrid", R::ColumnTitle, "ID", "ID"},
    {"BalanceTypeKADaoDBGrid", R::ColumnTitle, "NAME", "BalanceTypeName"},
    {"RemindTypeKADaoDBGrid", R::ColumnTitle, "ID", "ID"},
    {"RemindTypeKADaoDBGrid", R::ColumnTitle, "NAME", "RemindTypeName"},

    // Report save dialog.
    {"ReportSaveDialog", R::DialogTitle, nullptr, "Select file for report exporting"},
    {"ReportSaveDialog", R::FileTypes, nullptr,
     "Text (.txt) files|*.txt|Comma-separated value (.csv) files|*.csv"},
};

bool sameKey(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return std::strcmp(a, b) == 0;
}

QString text(const ControlText& t) { return QString::fromUtf8(t.english); }

// The tab widget that holds the page, if the object is a page of one.
QTabWidget* pageOwner(QWidget* page, int& index) {
  for (QWidget* w = page->parentWidget(); w; w = w->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      index = tabs->indexOf(page);
      return index >= 0 ? tabs : nullptr;
    }
  }
  return nullptr;
}

void applyCaption(QObject* o, const QString& s) {
  if (auto* a = qobject_cast<QAction*>(o)) {
    a->setText(s);
  } else if (auto* m = qobject_cast<QMenu*>(o)) {
    m->setTitle(s);
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    b->setText(s);
  } else if (auto* l = qobject_cast<QLabel*>(o)) {
    l->setText(s);
  } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
    g->setTitle(s);
  } else if (auto* w = qobject_cast<QWidget*>(o)) {
    int index = -1;
    if (QTabWidget* tabs = pageOwner(w, index)) tabs->setTabText(index, s);
  }
}

void applyItems(QObject* o, const QString& s) {
  const QStringList items = s.split(u'\n');
  if (auto* r = qobject_cast<TRadioGroup*>(o)) {
    r->SetItems(items);
  } else if (auto* c = qobject_cast<QComboBox*>(o)) {
    const int index = c->currentIndex();
    const QSignalBlocker block(c);
    c->clear();
    c->addItems(items);
    c->setCurrentIndex(index < c->count() ? index : -1);
  }
}

}  // namespace

std::span<const ControlText> DesignedControlTexts() { return kDesigned; }

QString DesignedText(const char* control, TextRole role, const char* key) {
  for (const ControlText& t : kDesigned)
    if (t.role == role && sameKey(t.control, control) && sameKey(t.key, key)) return text(t);
  return {};
}

QStringList FileDialogFilters(const QString& fileTypes) {
  const QStringList parts = fileTypes.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    filters << parts[i] + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}

void ApplyControlTexts(QObject* root, std::span<const ControlText> texts) {
  if (!root) return;
  for (const ControlText& t : texts) {
    QObject* o = root->objectName() == QLatin1String(t.control) ? root
                                                               : root->findChild<QObject*>(QLatin1String(t.control));
    if (!o) continue;
    const QString s = text(t);
    switch (t.role) {
      case TextRole::Caption:
        applyCaption(o, s);
        break;
      case TextRole::Hint:
        if (auto* a = qobject_cast<QAction*>(o)) a->setToolTip(s);
        else if (auto* w = qobject_cast<QWidget*>(o)) w->setToolTip(s);
        break;
      case TextRole::Items:
        applyItems(o, s);
        break;
      case TextRole::NavigatorHints:
        if (auto* n = qobject_cast<TDBNavigator*>(o)) n->SetHints(s.split(u'\n'));
        break;
      case TextRole::ColumnTitle:
        if (auto* g = qobject_cast<TKADaoDBGrid*>(o); g && t.key) g->SetColumnTitle(t.key, s);
        break;
      case TextRole::Text:
        if (auto* e = qobject_cast<QLineEdit*>(o)) e->setText(s);
        break;
      case TextRole::DialogTitle:
        if (auto* w = qobject_cast<QWidget*>(o)) w->setWindowTitle(s);
        break;
      case TextRole::FileTypes:
        if (auto* d = qobject_cast<QFileDialog*>(o)) d->setNameFilters(FileDialogFilters(s));
        break;
    }
  }
}

}  // namespace quillet::app
