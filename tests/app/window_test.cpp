// The window as designed: its controls by name, pages, menu, sizes and dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/navigator.h"
#include "app/radiogroup.h"
#include "app_fixture.h"

namespace quillet::app::testing {
namespace {

class WindowTest : public AppTest {};

template <typename T>
void ExpectControl(const TMainForm& f, const char* name) {
  SCOPED_TRACE(name);
  QObject* o = f.findChild<QObject*>(QLatin1String(name));
  ASSERT_NE(o, nullptr);
  EXPECT_NE(qobject_cast<T*>(o), nullptr) << "of the designed kind";
}

TEST_F(WindowTest, EveryControlBearsItsDesignedName) {
  Start();
  const TMainForm& f = Form();
  for (const char* n : {"ImportExportTabSheet", "AccountTabSheet", "CurrenciesTabSheet", "Category1TabSheet",
                        "Category2TabSheet", "Category3TabSheet", "Category4TabSheet", "BalanceTypeTabSheet",
                        "RemindTypeTabSheet", "CustomNamesTabSheet", "SelectUserPanel", "ImportExportPanel"})
    ExpectControl<QWidget>(f, n);
  ExpectControl<QMainWindow>(f, "TransactionsTabSheet");
  ExpectControl<QTabWidget>(f, "MainPageControl");
  ExpectControl<QStatusBar>(f, "StatusBar");
  ExpectControl<QMenuBar>(f, "MainMenu");
  ExpectControl<TRadioGroup>(f, "ExchangeTypeRadioGroup");
  ExpectControl<QListWidget>(f, "SelectUserListBox");
  for (const char* n : {"SelectUserGroupBox", "ImportGroupBox", "ExportGroupBox"}) ExpectControl<QGroupBox>(f, n);
  for (const char* n : {"ImportPathLabel", "ExportpathLabel", "AccountNotesLabel", "DateFilterLabel", "ReceiptLabel",
                        "BillableLabel", "ClearedLabel", "TransactionsTotalLabel"})
    ExpectControl<QLabel>(f, n);
  for (const char* n : {"ImportPathEdit", "ExportPathEdit", "TransactionsTotalEdit"}) ExpectControl<QLineEdit>(f, n);
  for (const char* n : {"ImportPathBrowseButton", "ExportPathBrowseButton"}) ExpectControl<QToolButton>(f, n);
  for (const char* n : {"ImportButton", "ExportButton", "ClearAllTables"}) ExpectControl<QPushButton>(f, n);
  for (const char* n : {"AccountsKADaoDBGrid", "TransactionsKADaoDBGrid", "CurrenciesKADaoDBGrid",
                        "Category1KADaoDBGrid", "Category2KADaoDBGrid", "Category3KADaoDBGrid", "Category4KADaoDBGrid",
                        "BalanceTypeKADaoDBGrid", "RemindTypeKADaoDBGrid", "CustomNamesKADaoDBGrid"})
    ExpectControl<TKADaoDBGrid>(f, n);
  for (const char* n : {"AccountsDBNavigator", "TransactionsDBNavigator", "CurrenciesDBNavigator"})
    ExpectControl<TDBNavigator>(f, n);
  ExpectControl<TDBMemo>(f, "AccountNotesDBMemo");
  ExpectControl<QDockWidget>(f, "TransactionsFilterPanel");
  for (const char* n : {"AccToDBCheckBox", "AccFromDBCheckBox", "FromDateDBCheckBox", "ToDateDBCheckBox",
                        "Category1DBCheckBox", "Category2DBCheckBox", "Category3DBCheckBox", "Category4DBCheckBox",
                        "CurrencyDBCheckBox"})
    ExpectControl<TDBCheckBox>(f, n);
  for (const char* n : {"AccToDBLookupComboBox", "AccFromDBLookupComboBox", "Category1DBLookupComboBox",
                        "Category2DBLookupComboBox", "Category3DBLookupComboBox", "Category4DBLookupComboBox",
                        "CurrencyDBLookupComboBox", "TransactionsTotalCurrencyDBLookupComboBox"})
    ExpectControl<TDBLookupComboBox>(f, n);
  for (const char* n : {"FromDateDBEdit", "ToDateDBEdit"}) ExpectControl<TDBDateEdit>(f, n);
  for (const char* n : {"ReceiptComboBox", "BillableComboBox", "ClearedComboBox"}) ExpectControl<QComboBox>(f, n);
  // The report's save dialog is made when first shown (filterpanel_test checks it there).
  EXPECT_EQ(f.ReportSaveDialog, nullptr);
  EXPECT_EQ(f.findChild<QFileDialog*>(), nullptr);
  // The filter panel sits in the Transactions page.
  EXPECT_EQ(f.TransactionsFilterPanel->parentWidget(), f.TransactionsTabSheet);
  EXPECT_EQ(f.TransactionsTabSheet->dockWidgetArea(f.TransactionsFilterPanel), Qt::TopDockWidgetArea);
}

TEST_F(WindowTest, TheWindowHasItsDesignedCaptionSizeAndStatusBar) {
  Start();
  const TMainForm& f = Form();
  EXPECT_EQ(f.windowTitle(), "Quillet Desktop v1.0");
  EXPECT_EQ(f.ApplicationTitle, "Quillet Desktop v1.0");
  EXPECT_EQ(f.size(), QSize(600, 430));
  EXPECT_EQ(f.minimumSize(), QSize(370, 230));
  EXPECT_EQ(f.StatusBar->findChildren<QLabel*>().size(), 1) << "one text for the whole width";
  EXPECT_EQ(f.ExchangeTypeRadioGroup->Items(),
            QStringList({"Automatic exchange using PalmDesktop", "Manual exchange using custom folders"}));
  EXPECT_EQ(f.ExchangeTypeRadioGroup->title(), "Select an exchange type");
  // The designed text "123456789.000" is replaced by the filter refresh at start-up.
  EXPECT_EQ(f.TransactionsTotalEdit->text(), "0.00");
  EXPECT_TRUE(f.TransactionsTotalEdit->isReadOnly());
  EXPECT_TRUE(f.TransactionsTotalEdit->font().bold());
  EXPECT_EQ(f.TransactionsFilterPanel->toolTip(),
            "This is the filtering panel. You can drag it, show and hide (Alt-P).");
  EXPECT_EQ(f.ReceiptComboBox->toolTip(), "Filter for \"Receipt\" checkbox");
  EXPECT_EQ(f.Category3DBCheckBox->text(), "Category 3:");
  EXPECT_EQ(f.ProgramFolder.toStdString(), home_->file("program"));

}

TEST_F(WindowTest, TheMenuHasItsItemsShortcutsAndChecks) {
  Start();
  TMainForm& f = Form();
  struct Item {
    QMenu* menu;
    const char* name;
    const char* caption;
    const char* keys;
    int check;  // -1 no check; else the check after start-up (three of them inverted once)
  };
  const Item items[] = {
      {f.File1, "Exportreport1", "&Export report", "Alt+E", -1},
      {f.File1, "Language1", "Langua&ge", "Alt+G", -1},
      {f.File1, "FileMenuSeparator1", "", "", -1},
      {f.File1, "Exit1", "E&xit", "Alt+X", -1},
      {f.View1, "Showalltables1", "Show all &tables", "Alt+T", 0},
      {f.View1, "Showhints1", "Show &hints", "Alt+H", 1},
      {f.View1, "Showfilteredcolumns1", "Show &filtered columns", "Alt+F", 0},
      {f.View1, "Showfilteringpanel1", "Show filter &panel", "Alt+P", 1},
      {f.View1, "Allowfilterpanelfloating1", "Allow filter panel f&loating", "Alt+L", 0},
      {f.View1, "ViewMenuSeparator1", "", "", -1},
      {f.View1, "Restoredefaultcolumns1", "&Restore default columns", "Alt+R", -1},
      {f.View1, "ViewMenuSeparator2", "", "", -1},
      {f.View1, "ImportExportconfirmations1", "Import/Export &confirmations", "Alt+C", 1},
      {f.View1, "Importatstartup1", "Import at &startup", "Alt+S", 0},
      {f.View1, "ViewMenuSeparator3", "", "", -1},
      {f.View1, "Charts1", "Charts", "Alt+D", -1},
      {f.Help1, "Contents1", "&Contents", "F1", -1},
      {f.Help1, "About1", "&About", "Alt+A", -1},
  };
  EXPECT_EQ(f.File1->title(), "&File");
  EXPECT_EQ(f.View1->title(), "&View");
  EXPECT_EQ(f.Help1->title(), "&Help");
  std::map<QMenu*, int> position;
  for (const Item& i : items) {
    SCOPED_TRACE(i.name);
    const QList<QAction*> actions = i.menu->actions();
    const int at = position[i.menu]++;
    ASSERT_LT(at, actions.size());
    QAction* a = actions[at];
    EXPECT_EQ(a->objectName(), i.name);
    EXPECT_EQ(a->text(), i.caption);
    EXPECT_EQ(a->shortcut(), QKeySequence(QLatin1String(i.keys)));
    EXPECT_EQ(a->isSeparator(), i.caption[0] == '\0');
    EXPECT_EQ(a->isCheckable(), i.check >= 0);
    if (i.check >= 0) {
      EXPECT_EQ(a->isChecked(), i.check == 1);
    }
  }
  for (auto& [menu, count] : position) EXPECT_EQ(menu->actions().size(), count);

  // Items whose commands come later do nothing yet, not even to their check.
  for (QAction* a : {f.Showfilteredcolumns1, f.Showfilteringpanel1, f.ImportExportconfirmations1}) {
    const bool before = a->isChecked();
    const QString status = f.StatusText();
    a->trigger();
    EXPECT_EQ(a->isChecked(), before) << a->objectName().toStdString();
    EXPECT_EQ(f.StatusText(), status);
  }
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(WindowTest, EveryDesignedTextReachesItsControl) {
  Start();
  // The report's save dialog exists once shown (here cancelled).
  dialogs_.fileDialog = [](QFileDialog&) { return false; };
  Form().Exportreport1->trigger();
  // Each row of the text table names a control that exists and shows that text.
  for (const ControlText& t : DesignedControlTexts()) {
    SCOPED_TRACE(std::string(t.control) + (t.key ? std::string(".") + t.key : std::string()));
    QObject* o = Form().findChild<QObject*>(QLatin1String(t.control));
    ASSERT_NE(o, nullptr);
    const QString text = QString::fromUtf8(t.english);
    if (t.role == TextRole::ColumnTitle) {
      auto* grid = qobject_cast<TKADaoDBGrid*>(o);
      ASSERT_NE(grid, nullptr);
      const int index = grid->ColumnIndex(t.key);
      ASSERT_GE(index, 0);
      EXPECT_EQ(grid->ColumnTitle(index), text);
    } else if (t.role == TextRole::Hint) {
      auto* w = qobject_cast<QWidget*>(o);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->toolTip(), text);
    } else if (t.role == TextRole::NavigatorHints) {
      auto* n = qobject_cast<TDBNavigator*>(o);
      ASSERT_NE(n, nullptr);
      EXPECT_EQ(n->Hints(), text.split(u'\n'));
      EXPECT_EQ(n->Hints().size(), 10);
    }
  }
}

TEST_F(WindowTest, AMenuItemsShortcutGoesBeforeTheMenuBarsAccessKey) {
  Start();
  TMainForm& f = Form();
  QWidget* focus = f.ImportPathEdit;
  // Alt+H is also the Help menu's access key, Alt+F the File menu's.
  QTest::keyClick(focus, Qt::Key_H, Qt::AltModifier);
  EXPECT_FALSE(f.Showhints1->isChecked());
  EXPECT_EQ(f.StatusText(), "Hints disabled");
  QTest::keyClick(focus, Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(f.Showalltables1->isChecked());
  QTest::keyClick(focus, Qt::Key_L, Qt::AltModifier);
  EXPECT_TRUE(f.Allowfilterpanelfloating1->isChecked());
  QTest::keyClick(focus, Qt::Key_F, Qt::AltModifier);  // an item that comes later: nothing happens
  EXPECT_FALSE(f.Showfilteredcolumns1->isChecked());
  EXPECT_EQ(f.StatusText(), "Filter panel floating is enabled. Now you can drag it anywhere.");
  QTest::keyClick(focus, Qt::Key_X, Qt::AltModifier);
  EXPECT_FALSE(f.isVisible()) << "Alt+X closes the window";
}

TEST(RadioGroupTest, EveryChangeOfTheIndexClicksAndOnlyAChange) {
  TRadioGroup group(nullptr, 2);
  group.SetItems({"a", "b"});
  QSignalSpy clicks(&group, &TRadioGroup::Click);
  group.SetItemIndex(1);
  EXPECT_EQ(clicks.count(), 1);
  group.SetItemIndex(1);
  EXPECT_EQ(clicks.count(), 1);
  group.SetItemIndex(7);  // beyond the items: the last one, no change
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(clicks.count(), 1);
  group.Button(0)->click();
  EXPECT_EQ(group.ItemIndex(), 0);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_TRUE(group.Button(0)->isChecked());
  EXPECT_FALSE(group.Button(1)->isChecked());
  group.SetItemIndex(-1);
  EXPECT_FALSE(group.Button(0)->isChecked());
  EXPECT_EQ(clicks.count(), 3);
  group.SetItems({"x", "y"});  // new texts keep the index
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.Items(), QStringList({"x", "y"}));
}

}  // namespace
}  // namespace quillet::app::testing
