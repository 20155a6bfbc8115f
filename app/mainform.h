#pragma once
// The program's one window: the eleven pages with their grids, the exchange controls, the
// transaction filter panel, the main menu and the status bar; the settings it keeps between
// runs; and what the data module asks of it.
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/columnlayout.h"
#include "app/dialogs.h"
#include "exchange/palmdesktop.h"
#include "store/datamodule.h"

class QAction;
class QComboBox;
class QDockWidget;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace quillet::app {

class TDBCheckBox;
class TDBDateEdit;
class TDBLookupComboBox;
class TDBMemo;
class TDBNavigator;
class TKADaoDBGrid;
class TRadioGroup;

// What the window needs from its surroundings; tests replace each part.
struct Environment {
  Dialogs* dialogs = nullptr;        // required
  std::function<bool()> shiftHeld;   // empty: the keyboard's Shift key at the moment of asking
  QString programFolder;             // empty: the folder of the running executable
};

// One user of the sync software.
struct PalmUser {
  std::uint32_t ID = 0;
  std::string Name;
  std::string Directory;
};

// Names of the twelve settings values, in the order they are read and written.
namespace setting {
inline constexpr const char* kExchangeType = "ExchangeTypeRadioGroup->ItemIndex";
inline constexpr const char* kCurrentUserID = "CurrentUserID";
inline constexpr const char* kImportPath = "ImportPathEdit->Text";
inline constexpr const char* kExportPath = "ExportPathEdit->Text";
inline constexpr const char* kShowAllTables = "Showalltables1->Checked";
inline constexpr const char* kShowHints = "Showhints1->Checked";
inline constexpr const char* kShowFilteredColumns = "Showfilteredcolumns1->Checked";
inline constexpr const char* kAllowFloating = "Allowfilterpanelfloating1->Checked";
inline constexpr const char* kConfirmations = "ImportExportconfirmations1->Checked";
inline constexpr const char* kImportAtStartup = "Importatstartup1->Checked";
inline constexpr const char* kActivePage = "MainPageControl->ActivePageIndex";
inline constexpr const char* kTransactionColumns = "TransactionsKADaoDBGrid->Columns";
}  // namespace setting

// A stored column layout is read through a buffer of this size.
inline constexpr std::size_t kColumnLayoutBufferSize = 4096;

// The system's decimal separator, short date and long time.
Formats SystemFormats();

class ChartWindow;

class TMainForm : public QMainWindow, public StoreUi {
  Q_OBJECT

 public:
  // Builds the window as designed and runs FormCreate.
  explicit TMainForm(const Environment& environment, QWidget* parent = nullptr);
  // Runs FormDestroy first.
  ~TMainForm() override;

  // The data module's sources, bound to the grids, navigators and filter controls; unbind
  // before the data module is destroyed.
  void ConnectDataModule(TDM& dm);
  void DisconnectDataModule();

  // StoreUi
  void setCategoryCheckBoxCaption(int list, const std::string& caption) override;
  void setTransactionColumnTitle(const std::string& fieldName, const std::string& title) override;
  int yesNoIndex(int which) const override;
  void setYesNoIndex(int which, int index) override;
  void refreshFilter() override { AccToDBCheckBoxClick(); }

  // Window events.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();

  void ReadSettings();
  void WriteSettings();
  // Loads the transaction grid's columns from a layout stream; raises SettingsError when
  // the stream cannot be loaded (the grid then keeps its columns).
  void LoadTransactionColumns(const ByteStream& stream);
  ByteStream SaveTransactionColumns() const;

  void SetStatusText(const QString& text);
  QString StatusText() const;
  bool HintsEnabled() const { return hintsEnabled_; }

  // The application's error display: the error's text in an error box.
  void ShowException(const std::exception& error);
  Dialogs& dialogs() const { return *dialogs_; }
  const Formats& formats() const { return formats_; }
  bool shiftHeld() const;

  // The page of each index, in page order.
  QWidget* Page(int index) const;
  static constexpr int kPageCount = 11;
  // Grids of the pages, in page order (the Import/Export page has none).
  std::vector<TKADaoDBGrid*> Grids() const;

  // Members.
  QString ProgramFolder;
  QString ApplicationTitle;
  ByteStream DefaultColumnLayout;
  ByteStream StoredColumnLayout;
  bool PalmDesktopMissing = false;
  std::vector<PalmUser> PalmUsers;
  std::uint32_t CurrentUserID = 0;  // as read from the settings; 0 when not read

  // Controls, named as the design names them.
  QMenuBar* MainMenu = nullptr;
  QMenu* File1 = nullptr;
  QAction* Exportreport1 = nullptr;
  QAction* Language1 = nullptr;
  QAction* FileMenuSeparator1 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* View1 = nullptr;
  QAction* Showalltables1 = nullptr;
  QAction* Showhints1 = nullptr;
  QAction* Showfilteredcolumns1 = nullptr;
  QAction* Showfilteringpanel1 = nullptr;
  QAction* Allowfilterpanelfloating1 = nullptr;
  QAction* ViewMenuSeparator1 = nullptr;
  QAction* Restoredefaultcolumns1 = nullptr;
  QAction* ViewMenuSeparator2 = nullptr;
  QAction* ImportExportconfirmations1 = nullptr;
  QAction* Importatstartup1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction* Contents1 = nullptr;
  QAction* About1 = nullptr;

  QStatusBar* StatusBar = nullptr;
  QTabWidget* MainPageControl = nullptr;
  QWidget* ImportExportTabSheet = nullptr;
  QWidget* AccountTabSheet = nullptr;
  QMainWindow* TransactionsTabSheet = nullptr;
  QWidget* CurrenciesTabSheet = nullptr;
  QWidget* Category1TabSheet = nullptr;
  QWidget* Category2TabSheet = nullptr;
  QWidget* Category3TabSheet = nullptr;
  QWidget* Category4TabSheet = nullptr;
  QWidget* BalanceTypeTabSheet = nullptr;
  QWidget* RemindTypeTabSheet = nullptr;
  QWidget* CustomNamesTabSheet = nullptr;

  // Import/Export page.
  TRadioGroup* ExchangeTypeRadioGroup = nullptr;
  QGroupBox* SelectUserGroupBox = nullptr;
  QWidget* SelectUserPanel = nullptr;
  QListWidget* SelectUserListBox = nullptr;
  QWidget* ImportExportPanel = nullptr;
  QGroupBox* ImportGroupBox = nullptr;
  QLabel* ImportPathLabel = nullptr;
  QLineEdit* ImportPathEdit = nullptr;
  QToolButton* ImportPathBrowseButton = nullptr;
  QPushButton* ImportButton = nullptr;
  QPushButton* ClearAllTables = nullptr;
  QGroupBox* ExportGroupBox = nullptr;
  QLabel* ExportpathLabel = nullptr;
  QLineEdit* ExportPathEdit = nullptr;
  QToolButton* ExportPathBrowseButton = nullptr;
  QPushButton* ExportButton = nullptr;

  // Accounts page.
  TKADaoDBGrid* AccountsKADaoDBGrid = nullptr;
  QLabel* AccountNotesLabel = nullptr;
  TDBMemo* AccountNotesDBMemo = nullptr;
  TDBNavigator* AccountsDBNavigator = nullptr;

  // Transactions page.
  QDockWidget* TransactionsFilterPanel = nullptr;
  TDBCheckBox* AccToDBCheckBox = nullptr;
  TDBLookupComboBox* AccToDBLookupComboBox = nullptr;
  TDBCheckBox* AccFromDBCheckBox = nullptr;
  TDBLookupComboBox* AccFromDBLookupComboBox = nullptr;
  QLabel* DateFilterLabel = nullptr;
  TDBCheckBox* FromDateDBCheckBox = nullptr;
  TDBDateEdit* FromDateDBEdit = nullptr;
  TDBCheckBox* ToDateDBCheckBox = nullptr;
  TDBDateEdit* ToDateDBEdit = nullptr;
  QLabel* TransactionsTotalLabel = nullptr;
  QLineEdit* TransactionsTotalEdit = nullptr;
  TDBLookupComboBox* TransactionsTotalCurrencyDBLookupComboBox = nullptr;
  TDBCheckBox* Category1DBCheckBox = nullptr;
  TDBLookupComboBox* Category1DBLookupComboBox = nullptr;
  TDBCheckBox* Category2DBCheckBox = nullptr;
  TDBLookupComboBox* Category2DBLookupComboBox = nullptr;
  TDBCheckBox* Category3DBCheckBox = nullptr;
  TDBLookupComboBox* Category3DBLookupComboBox = nullptr;
  TDBCheckBox* Category4DBCheckBox = nullptr;
  TDBLookupComboBox* Category4DBLookupComboBox = nullptr;
  TDBCheckBox* CurrencyDBCheckBox = nullptr;
  TDBLookupComboBox* CurrencyDBLookupComboBox = nullptr;
  QLabel* ReceiptLabel = nullptr;
  QComboBox* ReceiptComboBox = nullptr;
  QLabel* BillableLabel = nullptr;
  QComboBox* BillableComboBox = nullptr;
  QLabel* ClearedLabel = nullptr;
  QComboBox* ClearedComboBox = nullptr;
  TKADaoDBGrid* TransactionsKADaoDBGrid = nullptr;
  TDBNavigator* TransactionsDBNavigator = nullptr;

  // Currencies page and the additional tables.
  TKADaoDBGrid* CurrenciesKADaoDBGrid = nullptr;
  TDBNavigator* CurrenciesDBNavigator = nullptr;
  TKADaoDBGrid* Category1KADaoDBGrid = nullptr;
  TKADaoDBGrid* Category2KADaoDBGrid = nullptr;
  TKADaoDBGrid* Category3KADaoDBGrid = nullptr;
  TKADaoDBGrid* Category4KADaoDBGrid = nullptr;
  TKADaoDBGrid* BalanceTypeKADaoDBGrid = nullptr;
  TKADaoDBGrid* RemindTypeKADaoDBGrid = nullptr;
  TKADaoDBGrid* CustomNamesKADaoDBGrid = nullptr;

  QFileDialog* ReportSaveDialog = nullptr;

 public slots:
  // ---- View, File and Help commands (viewcommands.cpp); the Russian set (russian.cpp).
  void Showalltables1Click();
  void Showhints1Click();
  void Showfilteredcolumns1Click();
  void Showfilteringpanel1Click();
  void Allowfilterpanelfloating1Click();
  void Restoredefaultcolumns1Click();
  void ImportExportconfirmations1Click();
  void Importatstartup1Click();
  void Language1Click();
  void Exit1Click();
  void Contents1Click();
  void About1Click();

 public:
  // ---- view commands: the help document that Contents opens (program folder + entry 3).
  QString HelpPath() const;

 public slots:
  // ---- The filter panel and the report (filterpanel.cpp).
  // The filter refresh, run by every filter control and by the data module.
  void AccToDBCheckBoxClick();
  void Exportreport1Click();

  // ---- The exchange page (exchangepage.cpp).
  // Switching the exchange type; run by FormCreate and by every change of the type.
  void ExchangeTypeRadioGroupClick();
  void SelectUserListBoxClick();
  void ImportPathBrowseButtonClick();
  void ExportPathBrowseButtonClick();
  // The import command; run by import at startup.
  void ImportButtonClick();
  void ClearAllTablesClick();
  void ExportButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ---- exchange page (exchangepage.cpp): the sync software's probe at construction, the
  // user list in FormCreate, the libraries released in FormDestroy, the page's signals.
  void ProbePalmDesktop();
  void FillUserList();
  void ReleasePalmDesktop();
  void wireExchangePage();
  // The selected list item that has its user, -1 when none.
  int SelectedUserRow() const;
  // Each lookup box's bound value set to -1 and back, so it shows the text of the new lists.
  void RefreshLookupBoxes();
  // UserData.dll and Instaide.dll, loaded by the probe, released in FormDestroy.
  exchange::PalmDesktop PalmDesktopLibraries;

 public:
  const exchange::PalmDesktop& PalmDesktopSoftware() const { return PalmDesktopLibraries; }

 private:

  // ---- filter panel (filterpanel.cpp): signals beyond the bound controls'.
  void wireFilterPanel();
  // ReportSaveDialog, made when first shown, with its texts.
  void createReportSaveDialog();
  std::string filterText_;  // the expression the last refresh built

  // ---- view commands (viewcommands.cpp): signals beyond the menu items'.
  void wireViewCommands();
  // The report save dialog's title in the texts in effect, for a dialog made when first shown.
  QString ReportSaveDialogTitle;
 public:
  // Moves a floating filter panel off the window, beside it where the screen has room.
  void PlaceFloatingPanel();
  // Makes the first size, the smallest size and the centring those of the outer window.
  void FitOuterSize();

 private:

  // ---- charts (chartcommand.cpp): the View menu's Charts command and its window.
 public:
  QAction* Charts1 = nullptr;
  ChartWindow* ChartWindow1 = nullptr;  // made when first opened
  void Charts1Click();

 signals:
  // After every filter refresh that succeeded.
  void FilterRefreshed();

 private:
  void wireCharts();

  void buildMenu();
  // A scroll area below parent holding a new content widget, which it returns; the area is
  // the content's grandparent (the viewport between them).
  QWidget* scrolling(QWidget* parent, const char* name);
  void buildImportExportPage();
  void buildAccountsPage();
  void buildTransactionsPage();
  void buildFilterPanel(QWidget* panel);
  void buildCurrenciesPage();
  void buildTablePages();
  TKADaoDBGrid* newGrid(QWidget* parent, const char* name);
  void designColumns(TKADaoDBGrid* grid, const char* table,
                     std::initializer_list<std::pair<const char*, int>> columns);
  void connectItem(QAction* item, void (TMainForm::*handler)());
  void guarded(const std::function<void()>& f);
  bool ownsWidget(const QObject* object) const;
  QAction* itemForKeys(const QKeySequence& keys) const;
  std::uint32_t SelectedUserID() const;

  Dialogs* dialogs_;
  std::function<bool()> shiftHeld_;
  Formats formats_;
  QLabel* statusText_ = nullptr;
  QWidget* fixedPanelTitle_ = nullptr;  // the filter panel's title while it cannot be dragged
  bool hintsEnabled_ = true;
  bool shown_ = false;
  bool destroyed_ = false;
  TDM* dm_ = nullptr;
};

}  // namespace quillet::app
