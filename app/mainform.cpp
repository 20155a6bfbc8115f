#include "app/uitext.h"
#include "app/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/icons.h"
#include "app/navigator.h"
#include "app/radiogroup.h"
#include "app/settings.h"
#include "store/schema.h"
#include "text/codepage.h"
#include "text/messages.h"

namespace quillet::app {
namespace {


// Qt's long time patterns may name the time zone ('t'), which the store's patterns lack.
QString withoutTimeZone(const QString& pattern) {
  QString out;
  bool quoted = false;
  for (QChar c : pattern) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    out += c;
  }
  return out.simplified();
}

// The lookup fields of the transaction view, which a column may show besides its columns.
constexpr const char* kTransactionLookups[] = {"AccountToName",   "AccountFromName", "CurrencyName",
                                               "RemindTypeName",  "BalanceTypeName", "Category1Name",
                                               "Category2Name",   "Category3Name",   "Category4Name"};

bool isTransactionField(const std::string& name) {
  for (const ColumnDef& c : TableSchema("Transaction").columns)
    if (c.name == name) return true;
  return std::any_of(std::begin(kTransactionLookups), std::end(kTransactionLookups),
                     [&](const char* l) { return name == l; });
}

FieldType designedFieldType(const char* table, const std::string& field) {
  for (const ColumnDef& c : TableSchema(table).columns)
    if (c.name == field) return c.type;
  return FieldType::Text;  // lookup fields show names
}

}  // namespace

Formats SystemFormats() {
  const QLocale locale = QLocale::system();
  Formats f;
  const QString point = locale.decimalPoint();
  if (!point.isEmpty()) f.decimalSeparator = point.toStdString();
  const QString date = locale.dateFormat(QLocale::ShortFormat);
  if (!date.isEmpty()) f.shortDate = date.toStdString();
  const QString time = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
  if (!time.isEmpty()) f.longTime = time.toStdString();
  return f;
}

// ---------------------------------------------------------------- construction

TMainForm::TMainForm(const Environment& environment, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(environment.dialogs),
      shiftHeld_(environment.shiftHeld),
      formats_(SystemFormats()) {
  if (!dialogs_) throw std::invalid_argument("TMainForm needs its dialogs");
  setObjectName(QStringLiteral("MainForm"));
  setWindowIcon(ProgramIcon());

  // The window and its controls with their designed properties.
  setMinimumSize(370, 230);
  resize(600, 430);
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - QPoint(300, 215));

  buildMenu();
  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  statusText_ = new QLabel(StatusBar);
  statusText_->setObjectName(QStringLiteral("StatusBarText"));
  StatusBar->addWidget(statusText_, 1);
  setStatusBar(StatusBar);

  MainPageControl = new QTabWidget(this);
  MainPageControl->setObjectName(QStringLiteral("MainPageControl"));
  MainPageControl->setFocusPolicy(Qt::NoFocus);
  MainPageControl->tabBar()->setFocusPolicy(Qt::NoFocus);
  setCentralWidget(MainPageControl);
  buildImportExportPage();
  buildAccountsPage();
  buildTransactionsPage();
  buildCurrenciesPage();
  buildTablePages();

  ApplyControlTexts(this, DesignedControlTexts());
  MainPageControl->setCurrentIndex(0);

  wireExchangePage();
  wireFilterPanel();
  wireViewCommands();
  wireCharts();
  qApp->installEventFilter(this);

  // The program's folder.
  ProgramFolder = environment.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : environment.programFolder;
  while (ProgramFolder.size() > 1 && ProgramFolder.endsWith(u'/')) ProgramFolder.chop(1);
  PalmDesktopMissing = false;

  // The Russian texts, then the caption and the application title from the title message.
  Language1Click();
  setWindowTitle(msg(text::MsgTitle));
  ApplicationTitle = windowTitle();

  ProbePalmDesktop();

  DefaultColumnLayout.clear();
  StoredColumnLayout.clear();

  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  DisconnectDataModule();
  qApp->removeEventFilter(this);
}

void TMainForm::buildMenu() {
  MainMenu = menuBar();
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  auto menu = [this](QMenu*& m, const char* name) {
    m = MainMenu->addMenu(QString());
    m->setObjectName(QLatin1String(name));
  };
  // check: -1 not checkable, else the designed check.
  auto item = [this](QMenu* m, QAction*& a, const char* name, const char* keys, int check) {
    a = new QAction(this);
    a->setObjectName(QLatin1String(name));
    if (keys) a->setShortcut(QKeySequence(QLatin1String(keys)));
    if (check >= 0) {
      a->setCheckable(true);
      a->setChecked(check != 0);
    }
    m->addAction(a);
  };
  auto separator = [](QMenu* m, QAction*& a, const char* name) {
    a = m->addSeparator();
    a->setObjectName(QLatin1String(name));
  };

  menu(File1, "File1");
  item(File1, Exportreport1, "Exportreport1", "Alt+E", -1);
  item(File1, Language1, "Language1", "Alt+G", -1);
  separator(File1, FileMenuSeparator1, "FileMenuSeparator1");
  item(File1, Exit1, "Exit1", "Alt+X", -1);

  menu(View1, "View1");
  item(View1, Showalltables1, "Showalltables1", "Alt+T", 1);
  item(View1, Showhints1, "Showhints1", "Alt+H", 0);
  item(View1, Showfilteredcolumns1, "Showfilteredcolumns1", "Alt+F", 0);
  item(View1, Showfilteringpanel1, "Showfilteringpanel1", "Alt+P", 1);
  item(View1, Allowfilterpanelfloating1, "Allowfilterpanelfloating1", "Alt+L", 1);
  separator(View1, ViewMenuSeparator1, "ViewMenuSeparator1");
  item(View1, Restoredefaultcolumns1, "Restoredefaultcolumns1", "Alt+R", -1);
  separator(View1, ViewMenuSeparator2, "ViewMenuSeparator2");
  item(View1, ImportExportconfirmations1, "ImportExportconfirmations1", "Alt+C", 1);
  item(View1, Importatstartup1, "Importatstartup1", "Alt+S", 0);

  menu(Help1, "Help1");
  item(Help1, Contents1, "Contents1", "F1", -1);
  item(Help1, About1, "About1", "Alt+A", -1);

  connectItem(Exportreport1, &TMainForm::Exportreport1Click);
  connectItem(Language1, &TMainForm::Language1Click);
  connectItem(Exit1, &TMainForm::Exit1Click);
  connectItem(Showalltables1, &TMainForm::Showalltables1Click);
  connectItem(Showhints1, &TMainForm::Showhints1Click);
  connectItem(Showfilteredcolumns1, &TMainForm::Showfilteredcolumns1Click);
  connectItem(Showfilteringpanel1, &TMainForm::Showfilteringpanel1Click);
  connectItem(Allowfilterpanelfloating1, &TMainForm::Allowfilterpanelfloating1Click);
  connectItem(Restoredefaultcolumns1, &TMainForm::Restoredefaultcolumns1Click);
  connectItem(ImportExportconfirmations1, &TMainForm::ImportExportconfirmations1Click);
  connectItem(Importatstartup1, &TMainForm::Importatstartup1Click);
  connectItem(Contents1, &TMainForm::Contents1Click);
  connectItem(About1, &TMainForm::About1Click);
}

void TMainForm::connectItem(QAction* item, void (TMainForm::*handler)()) {
  connect(item, &QAction::triggered, this, [this, item, handler] {
    // The handler owns the check: undo the toggle Qt made before telling us.
    if (item->isCheckable()) {
      const QSignalBlocker block(item);
      item->setChecked(!item->isChecked());
    }
    if (handler) guarded([this, handler] { (this->*handler)(); });
  });
}

TKADaoDBGrid* TMainForm::newGrid(QWidget* parent, const char* name) {
  auto* grid = new TKADaoDBGrid(parent);
  grid->setObjectName(QLatin1String(name));
  grid->setDialogs(dialogs_);
  grid->setErrorHandler([this](const std::exception& e) { ShowException(e); });
  grid->SetFormats(formats_);
  return grid;
}

void TMainForm::designColumns(TKADaoDBGrid* grid, const char* table,
                              std::initializer_list<std::pair<const char*, int>> columns) {
  const QByteArray gridName = grid->objectName().toLatin1();
  ColumnLayout layout;
  for (const auto& [field, width] : columns) {
    QString title = DesignedText(gridName.constData(), TextRole::ColumnTitle, field);
    if (title.isEmpty()) title = QLatin1String(field);
    const int w = width >= 0 ? grid->ScaledWidth(width) : grid->DefaultColumnWidth(designedFieldType(table, field), title);
    layout.push_back({field, title.toStdString(), w, true});
  }
  grid->SetColumns(layout);
}

QWidget* TMainForm::Page(int index) const {
  return index >= 0 && index < MainPageControl->count() ? MainPageControl->widget(index) : nullptr;
}

std::vector<TKADaoDBGrid*> TMainForm::Grids() const {
  return {AccountsKADaoDBGrid,  TransactionsKADaoDBGrid, CurrenciesKADaoDBGrid, Category1KADaoDBGrid,
          Category2KADaoDBGrid, Category3KADaoDBGrid,    Category4KADaoDBGrid,  BalanceTypeKADaoDBGrid,
          RemindTypeKADaoDBGrid, CustomNamesKADaoDBGrid};
}

// ---------------------------------------------------------------- data module

void TMainForm::ConnectDataModule(TDM& dm) {
  DisconnectDataModule();
  dm_ = &dm;
  AccountsKADaoDBGrid->SetDataSource(dm.SAccount.get());
  TransactionsKADaoDBGrid->SetDataSource(dm.STransaction.get());
  CurrenciesKADaoDBGrid->SetDataSource(dm.SCurrency.get());
  Category1KADaoDBGrid->SetDataSource(dm.SCategory1.get());
  Category2KADaoDBGrid->SetDataSource(dm.SCategory2.get());
  Category3KADaoDBGrid->SetDataSource(dm.SCategory3.get());
  Category4KADaoDBGrid->SetDataSource(dm.SCategory4.get());
  BalanceTypeKADaoDBGrid->SetDataSource(dm.SBalanceType.get());
  RemindTypeKADaoDBGrid->SetDataSource(dm.SRemindType.get());

  // One column per field of the table, titled with the field's name.
  ColumnLayout customNames;
  for (const auto& f : dm.CustomNames->Fields()) {
    const QString title = QString::fromStdString(f->FieldName());
    customNames.push_back(
        {f->FieldName(), f->FieldName(), CustomNamesKADaoDBGrid->DefaultColumnWidth(f->DataType(), title), true});
  }
  CustomNamesKADaoDBGrid->SetColumns(customNames);
  CustomNamesKADaoDBGrid->SetDataSource(dm.SCustomNames.get());

  AccountsDBNavigator->SetDataSource(dm.SAccount.get());
  TransactionsDBNavigator->SetDataSource(dm.STransaction.get());
  CurrenciesDBNavigator->SetDataSource(dm.SCurrency.get());
  AccountNotesDBMemo->binding().bind(dm.SAccount.get(), "NOTES");

  TDataSource* filters = dm.SAllFilters.get();
  AccToDBCheckBox->binding().bind(filters, "ACC_TO_ENABLED");
  AccFromDBCheckBox->binding().bind(filters, "ACC_FROM_ENABLED");
  FromDateDBCheckBox->binding().bind(filters, "DATE_FROM_ENABLED");
  ToDateDBCheckBox->binding().bind(filters, "DATE_TO_ENABLED");
  Category1DBCheckBox->binding().bind(filters, "CATEGORY1_ENABLED");
  Category2DBCheckBox->binding().bind(filters, "CATEGORY2_ENABLED");
  Category3DBCheckBox->binding().bind(filters, "CATEGORY3_ENABLED");
  Category4DBCheckBox->binding().bind(filters, "CATEGORY4_ENABLED");
  CurrencyDBCheckBox->binding().bind(filters, "CURRENCY_ENABLED");
  FromDateDBEdit->binding().bind(filters, "DATE_FROM");
  ToDateDBEdit->binding().bind(filters, "DATE_TO");
  const struct {
    TDBLookupComboBox* box;
    const char* field;
    TDataSource* list;
  } lookups[] = {
      {AccToDBLookupComboBox, "ACC_TO_ID", dm.SAccount.get()},
      {AccFromDBLookupComboBox, "ACC_FROM_ID", dm.SAccount.get()},
      {Category1DBLookupComboBox, "CATEGORY1_ID", dm.SCategory1.get()},
      {Category2DBLookupComboBox, "CATEGORY2_ID", dm.SCategory2.get()},
      {Category3DBLookupComboBox, "CATEGORY3_ID", dm.SCategory3.get()},
      {Category4DBLookupComboBox, "CATEGORY4_ID", dm.SCategory4.get()},
      {CurrencyDBLookupComboBox, "CURRENCY_ID", dm.SCurrency.get()},
      {TransactionsTotalCurrencyDBLookupComboBox, "BALANCE_CURRENCY", dm.SCurrency.get()},
  };
  for (const auto& l : lookups) {
    l.box->SetListSource(l.list);
    l.box->binding().bind(filters, l.field);
  }
}

void TMainForm::DisconnectDataModule() {
  if (!dm_) return;
  for (TKADaoDBGrid* grid : Grids()) grid->SetDataSource(nullptr);
  AccountsDBNavigator->SetDataSource(nullptr);
  TransactionsDBNavigator->SetDataSource(nullptr);
  CurrenciesDBNavigator->SetDataSource(nullptr);
  AccountNotesDBMemo->binding().unbind();
  for (TDBCheckBox* b : {AccToDBCheckBox, AccFromDBCheckBox, FromDateDBCheckBox, ToDateDBCheckBox, Category1DBCheckBox,
                         Category2DBCheckBox, Category3DBCheckBox, Category4DBCheckBox, CurrencyDBCheckBox})
    b->binding().unbind();
  FromDateDBEdit->binding().unbind();
  ToDateDBEdit->binding().unbind();
  for (TDBLookupComboBox* b : {AccToDBLookupComboBox, AccFromDBLookupComboBox, Category1DBLookupComboBox,
                               Category2DBLookupComboBox, Category3DBLookupComboBox, Category4DBLookupComboBox,
                               CurrencyDBLookupComboBox, TransactionsTotalCurrencyDBLookupComboBox}) {
    b->binding().unbind();
    b->SetListSource(nullptr);
  }
  dm_ = nullptr;
}

void TMainForm::setCategoryCheckBoxCaption(int list, const std::string& caption) {
  TDBCheckBox* boxes[4] = {Category1DBCheckBox, Category2DBCheckBox, Category3DBCheckBox, Category4DBCheckBox};
  if (list >= 1 && list <= 4) boxes[list - 1]->setText(handheldText(caption));
}

void TMainForm::setTransactionColumnTitle(const std::string& fieldName, const std::string& title) {
  TransactionsKADaoDBGrid->SetColumnTitle(fieldName, handheldText(title));
}

int TMainForm::yesNoIndex(int which) const {
  const QComboBox* boxes[3] = {ReceiptComboBox, BillableComboBox, ClearedComboBox};
  return which >= 0 && which < 3 ? boxes[which]->currentIndex() : 0;
}

void TMainForm::setYesNoIndex(int which, int index) {
  QComboBox* boxes[3] = {ReceiptComboBox, BillableComboBox, ClearedComboBox};
  if (which < 0 || which >= 3) return;
  const QSignalBlocker block(boxes[which]);  // setting the index is no change by the user
  boxes[which]->setCurrentIndex(index >= 0 && index < boxes[which]->count() ? index : 0);
}

// ---------------------------------------------------------------- events

bool TMainForm::shiftHeld() const {
  if (shiftHeld_) return shiftHeld_();
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

void TMainForm::guarded(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

void TMainForm::ShowException(const std::exception& error) {
  dialogs_->error(ApplicationTitle.toStdString(), error.what());
}

void TMainForm::FormCreate() {
  guarded([this] {
    DefaultColumnLayout = SaveTransactionColumns();
    if (!shiftHeld()) ReadSettings();
    FillUserList();
    ExchangeTypeRadioGroupClick();
    Showalltables1Click();
    Showhints1Click();
    Allowfilterpanelfloating1Click();
    SetStatusText(msg(text::MsgWelcome) + windowTitle());
  });
}

void TMainForm::FormShow() {
  guarded([this] {
    AccountsKADaoDBGrid->SetShowMemos(true);
    TransactionsKADaoDBGrid->SetShowMemos(true);
    if (!Importatstartup1->isChecked()) return;
    if (PalmDesktopMissing) {
      Importatstartup1Click();
      dialogs_->warn(text::message(text::MsgWarningCaption), StatusText().toStdString());
    } else {
      ImportButtonClick();
    }
  });
}

void TMainForm::FormClose() {
  // Back into its page, whether docked or floating.
  TransactionsFilterPanel->setFloating(false);
}

void TMainForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  guarded([this] {
    if (!shiftHeld()) WriteSettings();
    ReleasePalmDesktop();
    DefaultColumnLayout.clear();
    StoredColumnLayout.clear();
  });
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    // The designed sizes are those of the outer window, frame and title bar included; the
    // frame is known once the window is on the screen.
    QTimer::singleShot(0, this, [this] { FitOuterSize(); });
    FormShow();
  }
}

void TMainForm::FitOuterSize() {
  const QWindow* handle = windowHandle();
  if (!handle) return;
  const QMargins frame = handle->frameMargins();
  const int across = frame.left() + frame.right();
  const int down = frame.top() + frame.bottom();
  if (across == 0 && down == 0) return;
  setMinimumSize(370 - across, 230 - down);
  resize(600 - across, 430 - down);
  if (const QScreen* s = screen()) {
    QRect outer(QPoint(), QSize(600, 430));
    outer.moveCenter(s->availableGeometry().center());
    move(outer.topLeft());
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  guarded([this] { FormClose(); });
  QMainWindow::closeEvent(event);
}

bool TMainForm::ownsWidget(const QObject* object) const {
  for (const QWidget* w = qobject_cast<const QWidget*>(object); w; w = w->parentWidget())
    if (w == this) return true;
  return false;
}

QAction* TMainForm::itemForKeys(const QKeySequence& keys) const {
  for (QAction* a : {Exportreport1, Language1, Exit1, Showalltables1, Showhints1, Showfilteredcolumns1,
                     Showfilteringpanel1, Allowfilterpanelfloating1, Restoredefaultcolumns1,
                     ImportExportconfirmations1, Importatstartup1, Contents1, About1})
    if (a->shortcut() == keys) return a;
  return nullptr;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip:
      // The window's hint switch.
      if (!hintsEnabled_ && ownsWidget(watched)) return true;
      break;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
      // A menu item's shortcut goes before the menu bar's access keys (Alt+F, Alt+H).
      const auto* w = qobject_cast<const QWidget*>(watched);
      if (!w || w->window() != this) break;
      auto* key = static_cast<QKeyEvent*>(event);
      QAction* item = itemForKeys(QKeySequence(key->keyCombination()));
      if (!item) break;
      if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
      }
      if (item->isEnabled()) item->trigger();
      return true;
    }
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- settings

std::uint32_t TMainForm::SelectedUserID() const {
  const int row = SelectUserListBox->currentRow();
  if (row < 0 || !SelectUserListBox->item(row)->isSelected()) return 0;
  return static_cast<std::size_t>(row) < PalmUsers.size() ? PalmUsers[static_cast<std::size_t>(row)].ID : 0;
}

ByteStream TMainForm::SaveTransactionColumns() const {
  return EncodeColumnLayout(TransactionsKADaoDBGrid->Columns());
}

void TMainForm::LoadTransactionColumns(const ByteStream& stream) {
  const std::optional<ColumnLayout> layout = DecodeColumnLayout(stream);
  if (!layout) throw SettingsError("Invalid column layout");
  for (const ColumnDesc& c : *layout)
    if (!isTransactionField(c.fieldName)) throw SettingsError("Invalid column layout: " + c.fieldName);
  TransactionsKADaoDBGrid->SetColumns(*layout);
}

void TMainForm::ReadSettings() {
  // The first failure ends the reading; what was applied before it stays.
  try {
    SettingsKey key(kProgramSettingsKey);
    ExchangeTypeRadioGroup->SetItemIndex(static_cast<std::int32_t>(key.ReadInteger(setting::kExchangeType)));
    CurrentUserID = key.ReadInteger(setting::kCurrentUserID);
    ImportPathEdit->setText(QString::fromStdString(key.ReadString(setting::kImportPath)));
    ExportPathEdit->setText(QString::fromStdString(key.ReadString(setting::kExportPath)));
    // These three are stored as they end; their start-up handlers invert them once more.
    Showalltables1->setChecked(!key.ReadBool(setting::kShowAllTables));
    Showhints1->setChecked(!key.ReadBool(setting::kShowHints));
    Showfilteredcolumns1->setChecked(key.ReadBool(setting::kShowFilteredColumns));
    Allowfilterpanelfloating1->setChecked(!key.ReadBool(setting::kAllowFloating));
    ImportExportconfirmations1->setChecked(key.ReadBool(setting::kConfirmations));
    Importatstartup1->setChecked(key.ReadBool(setting::kImportAtStartup));
    const auto page = static_cast<std::int32_t>(key.ReadInteger(setting::kActivePage));
    if (page >= 0 && page < MainPageControl->count()) MainPageControl->setCurrentIndex(page);

    std::uint8_t buffer[kColumnLayoutBufferSize];
    (void)key.GetDataSize(setting::kTransactionColumns);
    const std::size_t size = key.ReadBinaryData(setting::kTransactionColumns, buffer, sizeof buffer);
    StoredColumnLayout.assign(buffer, buffer + size);
    LoadTransactionColumns(StoredColumnLayout);
  } catch (const std::exception&) {
    // Silent, as the settings are.
  }
}

void TMainForm::WriteSettings() {
  std::optional<SettingsKey> key;
  try {
    key.emplace(kProgramSettingsKey);
  } catch (const std::exception&) {
    return;
  }
  // The first failure ends the writing; what was written before it is kept.
  try {
    key->WriteInteger(setting::kExchangeType, static_cast<std::uint32_t>(ExchangeTypeRadioGroup->ItemIndex()));
    key->WriteInteger(setting::kCurrentUserID, SelectedUserID());
    key->WriteString(setting::kImportPath, ImportPathEdit->text().toStdString());
    key->WriteString(setting::kExportPath, ExportPathEdit->text().toStdString());
    key->WriteBool(setting::kShowAllTables, Showalltables1->isChecked());
    key->WriteBool(setting::kShowHints, Showhints1->isChecked());
    key->WriteBool(setting::kShowFilteredColumns, Showfilteredcolumns1->isChecked());
    key->WriteBool(setting::kAllowFloating, Allowfilterpanelfloating1->isChecked());
    key->WriteBool(setting::kConfirmations, ImportExportconfirmations1->isChecked());
    key->WriteBool(setting::kImportAtStartup, Importatstartup1->isChecked());
    key->WriteInteger(setting::kActivePage, static_cast<std::uint32_t>(MainPageControl->currentIndex()));
    // Columns hidden by the filter are stored visible; the next start's filter hides them again.
    StoredColumnLayout.clear();
    TransactionsKADaoDBGrid->ShowAllColumns();
    StoredColumnLayout = SaveTransactionColumns();
    key->WriteBinaryData(setting::kTransactionColumns, StoredColumnLayout.data(), StoredColumnLayout.size());
  } catch (const std::exception&) {
  }
  try {
    key->Commit();
  } catch (const std::exception&) {
  }
}

// ---------------------------------------------------------------- commands

void TMainForm::SetStatusText(const QString& text) { statusText_->setText(text); }

QString TMainForm::StatusText() const { return statusText_->text(); }

}  // namespace quillet::app
