// The pages of the main window and their layouts: what each page holds and how it shares out
// its room. Below the size that holds everything a page scrolls; nothing is drawn over anything.
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/mainform.h"
#include "app/navigator.h"
#include "app/radiogroup.h"

namespace quillet::app {
namespace {

// Characters a lookup list shows at least: a short name such as "Ремонт" whole.
constexpr int kShortName = 7;

// The filter panel's scroll area: as large as its rows want, as small as one row, so a small
// page keeps room for the grid and scrolls the panel instead.
class FilterPanelArea : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    const QWidget* w = widget();
    if (!w) return QScrollArea::sizeHint();
    const QSize inner = w->sizeHint();
    // Room for the horizontal scroll bar when the rows are wider than the window. The page keeps
    // the panel's height once laid out, so the window's width at that moment decides.
    const int bar = window()->width() < w->minimumSizeHint().width() + 2 * frameWidth() + 16
                        ? horizontalScrollBar()->sizeHint().height()
                        : 0;
    // Half a line to spare: the page's dock area takes a few pixels of its own.
    const int spare = fontMetrics().height() / 2;
    return {inner.width() + 2 * frameWidth(), inner.height() + bar + spare + 2 * frameWidth()};
  }
  QSize minimumSizeHint() const override {
    const QWidget* w = widget();
    const int row = w ? w->fontMetrics().height() + 12 : 24;
    return {80, row + horizontalScrollBar()->sizeHint().height()};
  }

};

}  // namespace

void TMainForm::buildImportExportPage() {
  ImportExportTabSheet = new QWidget(MainPageControl);
  ImportExportTabSheet->setObjectName(QStringLiteral("ImportExportTabSheet"));
  MainPageControl->addTab(ImportExportTabSheet, QString());
  // Below the size that holds everything the page scrolls; nothing is drawn over anything.
  auto* outer = new QVBoxLayout(ImportExportTabSheet);
  outer->setContentsMargins(0, 0, 0, 0);
  QWidget* content = scrolling(ImportExportTabSheet, "ImportExportScrollArea");
  outer->addWidget(content->parentWidget()->parentWidget());
  auto* page = new QVBoxLayout(content);
  page->setContentsMargins(4, 4, 4, 4);

  ExchangeTypeRadioGroup = new TRadioGroup(content, 2);
  ExchangeTypeRadioGroup->setObjectName(QStringLiteral("ExchangeTypeRadioGroup"));
  ExchangeTypeRadioGroup->SetItems(DesignedText("ExchangeTypeRadioGroup", TextRole::Items).split(u'\n'));
  ExchangeTypeRadioGroup->SetItemIndex(1);
  page->addWidget(ExchangeTypeRadioGroup);

  auto* below = new QHBoxLayout;
  page->addLayout(below, 1);

  SelectUserGroupBox = new QGroupBox(content);
  SelectUserGroupBox->setObjectName(QStringLiteral("SelectUserGroupBox"));
  auto* userBox = new QVBoxLayout(SelectUserGroupBox);
  userBox->setContentsMargins(0, 0, 0, 0);
  SelectUserPanel = new QWidget(SelectUserGroupBox);
  SelectUserPanel->setObjectName(QStringLiteral("SelectUserPanel"));
  auto* userPanel = new QVBoxLayout(SelectUserPanel);
  userPanel->setContentsMargins(8, 8, 8, 8);
  // The designed width at least; the box's title widens it further (a minimum set on the box
  // itself would override its title).
  SelectUserPanel->setMinimumWidth(221);
  SelectUserListBox = new QListWidget(SelectUserPanel);
  SelectUserListBox->setObjectName(QStringLiteral("SelectUserListBox"));
  SelectUserListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  SelectUserListBox->setMinimumHeight(3 * SelectUserListBox->fontMetrics().height());
  userPanel->addWidget(SelectUserListBox);
  userBox->addWidget(SelectUserPanel);
  below->addWidget(SelectUserGroupBox, 2);

  ImportExportPanel = new QWidget(content);
  ImportExportPanel->setObjectName(QStringLiteral("ImportExportPanel"));
  auto* panel = new QVBoxLayout(ImportExportPanel);
  panel->setContentsMargins(0, 0, 0, 0);
  below->addWidget(ImportExportPanel, 3);

  // One group box of the exchange: the path label over the path field and its browse button,
  // then the command button(s). The label wraps rather than being cut.
  auto exchangeBox = [this](const char* name, QLabel*& label, const char* labelName, QLineEdit*& edit,
                            const char* editName, QToolButton*& browse, const char* browseName, QPushButton*& button,
                            const char* buttonName, QStyle::StandardPixmap picture, QHBoxLayout*& buttons) {
    auto* box = new QGroupBox(ImportExportPanel);
    box->setObjectName(QLatin1String(name));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    label = new QLabel(box);
    label->setObjectName(QLatin1String(labelName));
    label->setWordWrap(true);
    grid->addWidget(label, 0, 0, 1, 2);
    edit = new QLineEdit(box);
    edit->setObjectName(QLatin1String(editName));
    edit->setMinimumWidth(80);
    grid->addWidget(edit, 1, 0);
    browse = new QToolButton(box);
    browse->setObjectName(QLatin1String(browseName));
    browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    browse->setMinimumSize(25, 25);
    grid->addWidget(browse, 1, 1);
    grid->setColumnStretch(0, 1);
    buttons = new QHBoxLayout;
    button = new QPushButton(box);
    button->setObjectName(QLatin1String(buttonName));
    button->setIcon(style()->standardIcon(picture));
    buttons->addWidget(button);
    grid->addLayout(buttons, 2, 0, 1, 2);
    return box;
  };
  QHBoxLayout* importButtons = nullptr;
  QHBoxLayout* exportButtons = nullptr;
  ImportGroupBox = exchangeBox("ImportGroupBox", ImportPathLabel, "ImportPathLabel", ImportPathEdit, "ImportPathEdit",
                               ImportPathBrowseButton, "ImportPathBrowseButton", ImportButton, "ImportButton",
                               QStyle::SP_ArrowDown, importButtons);
  ClearAllTables = new QPushButton(ImportGroupBox);
  ClearAllTables->setObjectName(QStringLiteral("ClearAllTables"));
  ClearAllTables->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  importButtons->addSpacing(6);
  importButtons->addWidget(ClearAllTables);
  importButtons->addStretch(1);
  ExportGroupBox = exchangeBox("ExportGroupBox", ExportpathLabel, "ExportpathLabel", ExportPathEdit, "ExportPathEdit",
                               ExportPathBrowseButton, "ExportPathBrowseButton", ExportButton, "ExportButton",
                               QStyle::SP_ArrowUp, exportButtons);
  exportButtons->addStretch(1);
  ExportButton->setLayoutDirection(Qt::RightToLeft);  // its picture right of its caption
  panel->addWidget(ImportGroupBox);
  panel->addWidget(ExportGroupBox);
  panel->addStretch(1);
}

QWidget* TMainForm::scrolling(QWidget* parent, const char* name) {
  auto* area = new QScrollArea(parent);
  area->setObjectName(QLatin1String(name));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  auto* content = new QWidget;
  content->setObjectName(QLatin1String(name) + QStringLiteral("Contents"));
  area->setWidget(content);
  return content;
}

void TMainForm::buildAccountsPage() {
  AccountTabSheet = new QWidget(MainPageControl);
  AccountTabSheet->setObjectName(QStringLiteral("AccountTabSheet"));
  MainPageControl->addTab(AccountTabSheet, QString());
  auto* page = new QVBoxLayout(AccountTabSheet);
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(2);

  AccountsKADaoDBGrid = newGrid(AccountTabSheet, "AccountsKADaoDBGrid");
  designColumns(AccountsKADaoDBGrid, "Account",
                {{"FTOTAL", 68}, {"NAME", 204}, {"AMOUNT", 77}, {"CurrencyName", 56}, {"FACTIVE", 51}, {"NOTES", 150}});
  page->addWidget(AccountsKADaoDBGrid, 1);

  AccountNotesLabel = new QLabel(AccountTabSheet);
  AccountNotesLabel->setObjectName(QStringLiteral("AccountNotesLabel"));
  page->addWidget(AccountNotesLabel);
  AccountNotesDBMemo = new TDBMemo(AccountTabSheet);
  AccountNotesDBMemo->setObjectName(QStringLiteral("AccountNotesDBMemo"));
  AccountNotesDBMemo->setFixedHeight(56);
  AccountNotesDBMemo->binding().onError = [this](const std::exception& e) { ShowException(e); };
  page->addWidget(AccountNotesDBMemo);

  AccountsDBNavigator = new TDBNavigator(AccountTabSheet);
  AccountsDBNavigator->setObjectName(QStringLiteral("AccountsDBNavigator"));
  AccountsDBNavigator->setFixedHeight(25);
  AccountsDBNavigator->setErrorHandler([this](const std::exception& e) { ShowException(e); });
  page->addWidget(AccountsDBNavigator);
}

void TMainForm::buildTransactionsPage() {
  TransactionsTabSheet = new QMainWindow(MainPageControl, Qt::Widget);
  TransactionsTabSheet->setObjectName(QStringLiteral("TransactionsTabSheet"));
  MainPageControl->addTab(TransactionsTabSheet, QString());

  auto* body = new QWidget(TransactionsTabSheet);
  body->setObjectName(QStringLiteral("TransactionsBody"));
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  TransactionsKADaoDBGrid = newGrid(body, "TransactionsKADaoDBGrid");
  designColumns(TransactionsKADaoDBGrid, "Transaction",
                {{"FADD", 50},          {"DATE", 48},          {"AccountToName", 100}, {"AccountFromName", 100},
                 {"AMOUNT", -1},        {"CurrencyName", 50},  {"NOTES", 100},         {"Category1Name", 100},
                 {"Category2Name", 100}, {"Category3Name", 100}, {"Category4Name", 100}, {"FRECEIPT", 50},
                 {"FBILLABLE", 50},     {"FCLEARED", -1},      {"FMIRROR", -1},        {"BalanceTypeName", 50},
                 {"FREMIND", -1},       {"RemindTypeName", 50}, {"FOWNCURRENCY", -1},   {"CURRENCY_RATE", -1}});
  layout->addWidget(TransactionsKADaoDBGrid, 1);
  TransactionsDBNavigator = new TDBNavigator(body);
  TransactionsDBNavigator->setObjectName(QStringLiteral("TransactionsDBNavigator"));
  TransactionsDBNavigator->setFixedHeight(25);
  TransactionsDBNavigator->setErrorHandler([this](const std::exception& e) { ShowException(e); });
  layout->addWidget(TransactionsDBNavigator);
  TransactionsTabSheet->setCentralWidget(body);

  TransactionsFilterPanel = new QDockWidget(TransactionsTabSheet);
  TransactionsFilterPanel->setObjectName(QStringLiteral("TransactionsFilterPanel"));
  // Nothing takes the panel back by dragging: only the View command and closing the window do.
  TransactionsFilterPanel->setAllowedAreas(Qt::NoDockWidgetArea);
  fixedPanelTitle_ = new QWidget(TransactionsFilterPanel);
  fixedPanelTitle_->setObjectName(QStringLiteral("TransactionsFilterPanelFixedTitle"));
  fixedPanelTitle_->setFixedHeight(0);
  // The panel keeps its rows whole: when the page is too small for them it scrolls.
  auto* area = new FilterPanelArea(TransactionsFilterPanel);
  area->setObjectName(QStringLiteral("TransactionsFilterPanelScrollArea"));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  auto* contents = new QWidget;
  contents->setObjectName(QStringLiteral("TransactionsFilterPanelContents"));
  buildFilterPanel(contents);
  area->setWidget(contents);
  TransactionsFilterPanel->setWidget(area);
  TransactionsTabSheet->addDockWidget(Qt::TopDockWidgetArea, TransactionsFilterPanel);
}

void TMainForm::buildFilterPanel(QWidget* panel) {
  auto onError = [this](const std::exception& e) { ShowException(e); };
  auto check = [&](TDBCheckBox*& box, const char* name) {
    box = new TDBCheckBox(panel);
    box->setObjectName(QLatin1String(name));
    box->binding().onError = onError;
    connect(box, &TDBCheckBox::userChanged, this, [this] { guarded([this] { AccToDBCheckBoxClick(); }); });
  };
  auto lookup = [&](TDBLookupComboBox*& box, const char* name, int rows) {
    box = new TDBLookupComboBox(panel);
    box->setObjectName(QLatin1String(name));
    box->SetDropDownRows(rows);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(1);
    box->binding().onError = onError;
    connect(box, &TDBLookupComboBox::userChanged, this, [this] { guarded([this] { AccToDBCheckBoxClick(); }); });
  };
  auto label = [&](QLabel*& l, const char* name) {
    l = new QLabel(panel);
    l->setObjectName(QLatin1String(name));
  };
  auto dateEdit = [&](TDBDateEdit*& e, const char* name) {
    e = new TDBDateEdit(panel);
    e->setObjectName(QLatin1String(name));
    e->binding().onError = onError;
    connect(e, &TDBDateEdit::userLeft, this, [this] { guarded([this] { AccToDBCheckBoxClick(); }); });
  };
  auto yesNo = [&](QComboBox*& box, const char* name) {
    box = new QComboBox(panel);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);  // a pick-only list
    box->addItems(DesignedText(name, TextRole::Items).split(u'\n'));
    box->setCurrentIndex(0);
    connect(box, &QComboBox::activated, this, [this] { guarded([this] { AccToDBCheckBoxClick(); }); });
  };

  check(AccToDBCheckBox, "AccToDBCheckBox");
  lookup(AccToDBLookupComboBox, "AccToDBLookupComboBox", 20);
  check(AccFromDBCheckBox, "AccFromDBCheckBox");
  lookup(AccFromDBLookupComboBox, "AccFromDBLookupComboBox", 20);
  label(DateFilterLabel, "DateFilterLabel");
  check(FromDateDBCheckBox, "FromDateDBCheckBox");
  dateEdit(FromDateDBEdit, "FromDateDBEdit");
  check(ToDateDBCheckBox, "ToDateDBCheckBox");
  dateEdit(ToDateDBEdit, "ToDateDBEdit");
  check(Category1DBCheckBox, "Category1DBCheckBox");
  lookup(Category1DBLookupComboBox, "Category1DBLookupComboBox", 20);
  check(Category2DBCheckBox, "Category2DBCheckBox");
  lookup(Category2DBLookupComboBox, "Category2DBLookupComboBox", 20);
  check(Category3DBCheckBox, "Category3DBCheckBox");
  lookup(Category3DBLookupComboBox, "Category3DBLookupComboBox", 20);
  check(Category4DBCheckBox, "Category4DBCheckBox");
  lookup(Category4DBLookupComboBox, "Category4DBLookupComboBox", 20);
  check(CurrencyDBCheckBox, "CurrencyDBCheckBox");
  lookup(CurrencyDBLookupComboBox, "CurrencyDBLookupComboBox", 7);
  label(ReceiptLabel, "ReceiptLabel");
  yesNo(ReceiptComboBox, "ReceiptComboBox");
  label(BillableLabel, "BillableLabel");
  yesNo(BillableComboBox, "BillableComboBox");
  label(ClearedLabel, "ClearedLabel");
  yesNo(ClearedComboBox, "ClearedComboBox");
  label(TransactionsTotalLabel, "TransactionsTotalLabel");
  TransactionsTotalEdit = new QLineEdit(panel);
  TransactionsTotalEdit->setObjectName(QStringLiteral("TransactionsTotalEdit"));
  TransactionsTotalEdit->setReadOnly(true);
  lookup(TransactionsTotalCurrencyDBLookupComboBox, "TransactionsTotalCurrencyDBLookupComboBox", 7);

  // The window's font; the total in bold.
  QFont bold = panel->font();
  bold.setBold(true);
  TransactionsTotalLabel->setFont(bold);
  TransactionsTotalEdit->setFont(bold);
  TransactionsTotalCurrencyDBLookupComboBox->setFont(bold);
  // Lookup lists wide enough for a short name ("Ремонт") beside their drop-down button.
  for (QComboBox* box : {static_cast<QComboBox*>(AccToDBLookupComboBox), static_cast<QComboBox*>(AccFromDBLookupComboBox),
                         static_cast<QComboBox*>(Category1DBLookupComboBox), static_cast<QComboBox*>(Category2DBLookupComboBox),
                         static_cast<QComboBox*>(Category3DBLookupComboBox), static_cast<QComboBox*>(Category4DBLookupComboBox)})
    box->setMinimumContentsLength(kShortName);

  // Four rows in three column groups: accounts, dates and total | categories | currency and
  // the three yes/no lists.
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 3, 0, 3);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(3);
  auto* accounts = new QGridLayout;
  accounts->setContentsMargins(0, 0, 0, 0);
  accounts->setHorizontalSpacing(2);
  accounts->addWidget(AccToDBCheckBox, 0, 0);
  accounts->addWidget(AccToDBLookupComboBox, 0, 1);
  accounts->addWidget(AccFromDBCheckBox, 1, 0);
  accounts->addWidget(AccFromDBLookupComboBox, 1, 1);
  accounts->setColumnStretch(1, 1);
  grid->addLayout(accounts, 0, 0, 2, 1);
  auto* dates = new QHBoxLayout;
  dates->setSpacing(2);
  dates->addWidget(DateFilterLabel);
  dates->addWidget(FromDateDBCheckBox);
  dates->addWidget(FromDateDBEdit, 1);
  dates->addWidget(ToDateDBCheckBox);
  dates->addWidget(ToDateDBEdit, 1);
  grid->addLayout(dates, 2, 0);
  auto* total = new QHBoxLayout;
  total->setSpacing(2);
  total->addWidget(TransactionsTotalLabel);
  total->addWidget(TransactionsTotalEdit, 1);
  total->addWidget(TransactionsTotalCurrencyDBLookupComboBox);
  grid->addLayout(total, 3, 0);

  TDBCheckBox* categoryChecks[4] = {Category1DBCheckBox, Category2DBCheckBox, Category3DBCheckBox, Category4DBCheckBox};
  TDBLookupComboBox* categoryLists[4] = {Category1DBLookupComboBox, Category2DBLookupComboBox,
                                         Category3DBLookupComboBox, Category4DBLookupComboBox};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(categoryChecks[i], i, 1);
    grid->addWidget(categoryLists[i], i, 2);
  }
  grid->addWidget(CurrencyDBCheckBox, 0, 3);
  grid->addWidget(CurrencyDBLookupComboBox, 0, 4);
  grid->addWidget(ReceiptLabel, 1, 3);
  grid->addWidget(ReceiptComboBox, 1, 4);
  grid->addWidget(BillableLabel, 2, 3);
  grid->addWidget(BillableComboBox, 2, 4);
  grid->addWidget(ClearedLabel, 3, 3);
  grid->addWidget(ClearedComboBox, 3, 4);
  // The designed widths share out the room: the first group, the category lists, the lists of
  // the third group.
  grid->setColumnStretch(0, 238);
  grid->setColumnStretch(2, 129);
  grid->setColumnStretch(4, 49);

  QWidget* order[] = {AccToDBCheckBox,          AccToDBLookupComboBox,
                      AccFromDBCheckBox,        AccFromDBLookupComboBox,
                      FromDateDBCheckBox,       FromDateDBEdit,
                      ToDateDBCheckBox,         ToDateDBEdit,
                      Category1DBCheckBox,      Category1DBLookupComboBox,
                      Category2DBCheckBox,      Category2DBLookupComboBox,
                      Category3DBCheckBox,      Category3DBLookupComboBox,
                      Category4DBCheckBox,      Category4DBLookupComboBox,
                      CurrencyDBCheckBox,       CurrencyDBLookupComboBox,
                      ReceiptComboBox,          BillableComboBox,
                      ClearedComboBox,          TransactionsTotalEdit,
                      TransactionsTotalCurrencyDBLookupComboBox};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TMainForm::buildCurrenciesPage() {
  CurrenciesTabSheet = new QWidget(MainPageControl);
  CurrenciesTabSheet->setObjectName(QStringLiteral("CurrenciesTabSheet"));
  MainPageControl->addTab(CurrenciesTabSheet, QString());
  auto* page = new QVBoxLayout(CurrenciesTabSheet);
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(2);
  CurrenciesKADaoDBGrid = newGrid(CurrenciesTabSheet, "CurrenciesKADaoDBGrid");
  designColumns(CurrenciesKADaoDBGrid, "Currency", {{"NAME", 150}, {"RATE", 80}});
  page->addWidget(CurrenciesKADaoDBGrid, 1);
  CurrenciesDBNavigator = new TDBNavigator(CurrenciesTabSheet);
  CurrenciesDBNavigator->setObjectName(QStringLiteral("CurrenciesDBNavigator"));
  CurrenciesDBNavigator->setFixedHeight(25);
  CurrenciesDBNavigator->setErrorHandler([this](const std::exception& e) { ShowException(e); });
  page->addWidget(CurrenciesDBNavigator);
}

void TMainForm::buildTablePages() {
  struct PageDef {
    QWidget** page;
    const char* pageName;
    TKADaoDBGrid** grid;
    const char* gridName;
  };
  const PageDef pages[] = {
      {&Category1TabSheet, "Category1TabSheet", &Category1KADaoDBGrid, "Category1KADaoDBGrid"},
      {&Category2TabSheet, "Category2TabSheet", &Category2KADaoDBGrid, "Category2KADaoDBGrid"},
      {&Category3TabSheet, "Category3TabSheet", &Category3KADaoDBGrid, "Category3KADaoDBGrid"},
      {&Category4TabSheet, "Category4TabSheet", &Category4KADaoDBGrid, "Category4KADaoDBGrid"},
      {&BalanceTypeTabSheet, "BalanceTypeTabSheet", &BalanceTypeKADaoDBGrid, "BalanceTypeKADaoDBGrid"},
      {&RemindTypeTabSheet, "RemindTypeTabSheet", &RemindTypeKADaoDBGrid, "RemindTypeKADaoDBGrid"},
      {&CustomNamesTabSheet, "CustomNamesTabSheet", &CustomNamesKADaoDBGrid, "CustomNamesKADaoDBGrid"},
  };
  for (const PageDef& d : pages) {
    *d.page = new QWidget(MainPageControl);
    (*d.page)->setObjectName(QLatin1String(d.pageName));
    MainPageControl->addTab(*d.page, QString());
    auto* layout = new QVBoxLayout(*d.page);
    layout->setContentsMargins(0, 0, 0, 0);
    *d.grid = newGrid(*d.page, d.gridName);
    layout->addWidget(*d.grid);
  }
  designColumns(Category1KADaoDBGrid, "Category1", {{"NAME", 300}});
  designColumns(Category2KADaoDBGrid, "Category2", {{"NAME", 300}});
  designColumns(Category3KADaoDBGrid, "Category3", {{"NAME", 300}});
  designColumns(Category4KADaoDBGrid, "Category4", {{"NAME", 300}});
  designColumns(BalanceTypeKADaoDBGrid, "BalanceType", {{"ID", -1}, {"NAME", 300}});
  designColumns(RemindTypeKADaoDBGrid, "RemindType", {{"ID", -1}, {"NAME", 300}});
  // CustomNamesKADaoDBGrid has no designed columns: it shows its table's fields once bound.
}

}  // namespace quillet::app
