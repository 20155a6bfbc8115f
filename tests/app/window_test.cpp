// The window as designed: its controls by name, pages, menu, sizes and dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QScreen>
#include <QWindow>
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

#include "app/chartwindow.h"
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
  // The caption comes from the title message after the Russian set is applied.
  EXPECT_EQ(f.windowTitle(), Msg(text::MsgTitle));
  EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Quillet Десктоп v1.0"));
  EXPECT_EQ(f.ApplicationTitle, f.windowTitle());
  // The designed sizes are those of the outer window, frame included, and it is centred.
  QApplication::processEvents();
  const QMargins frame = f.windowHandle()->frameMargins();
  const QSize around(frame.left() + frame.right(), frame.top() + frame.bottom());
  EXPECT_EQ(f.frameGeometry().size(), QSize(600, 430));
  EXPECT_EQ(f.size() + around, QSize(600, 430));
  EXPECT_EQ(f.minimumSize() + around, QSize(370, 230));
  EXPECT_LE((f.frameGeometry().center() - f.screen()->availableGeometry().center()).manhattanLength(), 2);
  EXPECT_EQ(f.StatusBar->findChildren<QLabel*>().size(), 1) << "one text for the whole width";
  EXPECT_EQ(f.ExchangeTypeRadioGroup->Items(),
            RussianText("ExchangeTypeRadioGroup", TextRole::Items).split(u'\n'));
  EXPECT_EQ(f.ExchangeTypeRadioGroup->Items().size(), 2);
  EXPECT_EQ(f.ExchangeTypeRadioGroup->title(), RussianText("ExchangeTypeRadioGroup", TextRole::Caption));
  // The designed text "123456789.000" is replaced by the filter refresh at start-up.
  EXPECT_EQ(f.TransactionsTotalEdit->text(), "0.00");
  EXPECT_TRUE(f.TransactionsTotalEdit->isReadOnly());
  EXPECT_TRUE(f.TransactionsTotalEdit->font().bold());
  EXPECT_EQ(f.TransactionsFilterPanel->toolTip(), RussianText("TransactionsFilterPanel", TextRole::Hint));
  EXPECT_EQ(f.ReceiptComboBox->toolTip(), QString::fromUtf8("Фильтр по полю \"Есть чек\""));
  EXPECT_EQ(f.Category3DBCheckBox->text(), "Category 3:") << "no Russian form";
  EXPECT_EQ(f.ProgramFolder.toStdString(), home_->file("program"));

}

TEST_F(WindowTest, TheMenuHasItsItemsShortcutsAndChecks) {
  Start();
  TMainForm& f = Form();
  struct Item {
    QMenu* menu;
    const char* name;
    bool separator;
    const char* keys;
    int check;  // -1 no check; else the check after start-up (three of them inverted once)
  };
  const Item items[] = {
      {f.File1, "Exportreport1", false, "Alt+E", -1},
      {f.File1, "Language1", false, "Alt+G", -1},
      {f.File1, "FileMenuSeparator1", true, "", -1},
      {f.File1, "Exit1", false, "Alt+X", -1},
      {f.View1, "Showalltables1", false, "Alt+T", 0},
      {f.View1, "Showhints1", false, "Alt+H", 1},
      {f.View1, "Showfilteredcolumns1", false, "Alt+F", 0},
      {f.View1, "Showfilteringpanel1", false, "Alt+P", 1},
      {f.View1, "Allowfilterpanelfloating1", false, "Alt+L", 0},
      {f.View1, "ViewMenuSeparator1", true, "", -1},
      {f.View1, "Restoredefaultcolumns1", false, "Alt+R", -1},
      {f.View1, "ViewMenuSeparator2", true, "", -1},
      {f.View1, "ImportExportconfirmations1", false, "Alt+C", 1},
      {f.View1, "Importatstartup1", false, "Alt+S", 0},
      {f.View1, "ViewMenuSeparator3", true, "", -1},
      {f.View1, "Charts1", false, "Alt+D", -1},
      {f.Help1, "Contents1", false, "F1", -1},
      {f.Help1, "About1", false, "Alt+A", -1},
  };
  // Captions in the Russian set, ampersands as given.
  EXPECT_EQ(f.File1->title(), QString::fromUtf8("&Файл"));
  EXPECT_EQ(f.View1->title(), QString::fromUtf8("&Вид"));
  EXPECT_EQ(f.Help1->title(), QString::fromUtf8("&Помощь"));
  std::map<QMenu*, int> position;
  for (const Item& i : items) {
    SCOPED_TRACE(i.name);
    const QList<QAction*> actions = i.menu->actions();
    const int at = position[i.menu]++;
    ASSERT_LT(at, actions.size());
    QAction* a = actions[at];
    EXPECT_EQ(a->objectName(), i.name);
    if (a == f.Charts1) {
      EXPECT_EQ(a->text(), ChartsCommandText());  // the chart window's own text table
    } else if (!i.separator) {
      EXPECT_EQ(a->text(), RussianText(i.name, TextRole::Caption));
      EXPECT_TRUE(a->text().contains(u'&'));
    }
    EXPECT_EQ(a->shortcut(), QKeySequence(QLatin1String(i.keys)));
    EXPECT_EQ(a->isSeparator(), i.separator);
    EXPECT_EQ(a->isCheckable(), i.check >= 0);
    if (i.check >= 0) {
      EXPECT_EQ(a->isChecked(), i.check == 1);
    }
  }
  for (auto& [menu, count] : position) EXPECT_EQ(menu->actions().size(), count);
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(WindowTest, EveryDesignedTextReachesItsControl) {
  Start();
  // The report's save dialog exists once shown (here cancelled).
  dialogs_.fileDialog = [](QFileDialog&) { return false; };
  Form().Exportreport1->trigger();
  // Each row of the text table names a control that exists and shows that text, or its
  // Russian form where the Russian set has one.
  for (const ControlText& t : DesignedControlTexts()) {
    SCOPED_TRACE(std::string(t.control) + (t.key ? std::string(".") + t.key : std::string()));
    QObject* o = Form().findChild<QObject*>(QLatin1String(t.control));
    ASSERT_NE(o, nullptr);
    const QString russian = RussianText(t.control, t.role, t.key);
    const QString text = russian.isEmpty() ? QString::fromUtf8(t.english) : russian;
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
  EXPECT_EQ(f.StatusText(), Msg(text::MsgHintsDisabled));
  QTest::keyClick(focus, Qt::Key_T, Qt::AltModifier);
  EXPECT_TRUE(f.Showalltables1->isChecked());
  QTest::keyClick(focus, Qt::Key_L, Qt::AltModifier);
  EXPECT_TRUE(f.Allowfilterpanelfloating1->isChecked());
  QTest::keyClick(focus, Qt::Key_F, Qt::AltModifier);  // not the File menu
  EXPECT_TRUE(f.Showfilteredcolumns1->isChecked());
  EXPECT_EQ(f.StatusText(), Msg(text::MsgFilteredColumnsVisible));
  for (Qt::Key key : {Qt::Key_C, Qt::Key_S, Qt::Key_P, Qt::Key_R}) {  // the other View shortcuts
    const QString before = f.StatusText();
    QTest::keyClick(focus, key, Qt::AltModifier);
    EXPECT_NE(f.StatusText(), before) << key;
  }
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

namespace quillet::app::testing {
namespace {

class LayoutTest : public AppTest {};

// The named controls of a page, drawn where they are: none may lie over another (unless one
// holds the other) nor be squeezed below the size its text and frame need.
void ExpectNothingOverlapsOrIsSqueezed(TMainForm& f, QWidget* page, const std::vector<const char*>& names) {
  struct Placed {
    QWidget* w;
    QRect r;
  };
  std::vector<Placed> placed;
  for (const char* n : names) {
    auto* w = page->findChild<QWidget*>(QLatin1String(n));
    ASSERT_NE(w, nullptr) << n;
    if (!w->isVisibleTo(&f)) continue;
    // What shows of it: parts scrolled out of a scroll area's view are not drawn.
    QRect shown(w->mapTo(&f, QPoint(0, 0)), w->size());
    for (QWidget* up = w->parentWidget(); up && up != &f; up = up->parentWidget())
      if (auto* area = qobject_cast<QAbstractScrollArea*>(up))
        shown &= QRect(area->viewport()->mapTo(&f, QPoint(0, 0)), area->viewport()->size());
    if (!shown.isEmpty()) placed.push_back({w, shown});
    if (qobject_cast<QAbstractScrollArea*>(w)) continue;  // grids and memos scroll their contents
    const QSize least = w->minimumSizeHint();
    EXPECT_GE(w->width(), least.width()) << n << " squeezed";
    EXPECT_GE(w->height(), least.height()) << n << " squeezed";
  }
  for (std::size_t i = 0; i < placed.size(); ++i)
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& a = placed[i];
      const Placed& b = placed[j];
      if (a.w->isAncestorOf(b.w) || b.w->isAncestorOf(a.w)) continue;
      EXPECT_FALSE(a.r.intersects(b.r)) << a.w->objectName().toStdString() << " over "
                                        << b.w->objectName().toStdString();
    }
}

TEST_F(LayoutTest, FromTheSmallestSizeUpNothingOverlapsAndNothingIsSqueezed) {
  MakeStore("INSERT INTO CustomNames VALUES ('Household expenses'), ('People'), ('Places'), ('Tags');");
  Start();
  TMainForm& f = Form();
  QApplication::processEvents();
  const QMargins frame = f.windowHandle()->frameMargins();
  const QSize around(frame.left() + frame.right(), frame.top() + frame.bottom());
  const std::vector<const char*> exchange = {
      "ExchangeTypeRadioGroup", "SelectUserGroupBox", "SelectUserListBox", "ImportGroupBox", "ImportPathLabel",
      "ImportPathEdit",         "ImportPathBrowseButton", "ImportButton", "ClearAllTables", "ExportGroupBox",
      "ExportpathLabel",        "ExportPathEdit",     "ExportPathBrowseButton", "ExportButton",
      "ExchangeTypeRadioGroupItem0", "ExchangeTypeRadioGroupItem1"};
  const std::vector<const char*> transactions = {
      "AccToDBCheckBox",   "AccToDBLookupComboBox",  "AccFromDBCheckBox",  "AccFromDBLookupComboBox",
      "DateFilterLabel",   "FromDateDBCheckBox",     "FromDateDBEdit",     "ToDateDBCheckBox",
      "ToDateDBEdit",      "TransactionsTotalLabel", "TransactionsTotalEdit",
      "TransactionsTotalCurrencyDBLookupComboBox",   "Category1DBCheckBox", "Category1DBLookupComboBox",
      "Category2DBCheckBox", "Category2DBLookupComboBox", "Category3DBCheckBox", "Category3DBLookupComboBox",
      "Category4DBCheckBox", "Category4DBLookupComboBox", "CurrencyDBCheckBox", "CurrencyDBLookupComboBox",
      "ReceiptLabel",      "ReceiptComboBox",        "BillableLabel",      "BillableComboBox",
      "ClearedLabel",      "ClearedComboBox",        "TransactionsKADaoDBGrid", "TransactionsDBNavigator",
      "TransactionsFilterPanel"};
  const std::vector<const char*> accounts = {"AccountsKADaoDBGrid", "AccountNotesLabel", "AccountNotesDBMemo",
                                             "AccountsDBNavigator"};
  for (const QSize size : {QSize(370, 230), QSize(600, 330), QSize(600, 430), QSize(900, 640)}) {
    SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
    f.resize(size - around);
    EXPECT_EQ(f.frameGeometry().size(), size);
    struct Page {
      QWidget* page;
      const std::vector<const char*>* names;
    };
    for (const Page p : {Page{f.ImportExportTabSheet, &exchange}, Page{f.TransactionsTabSheet, &transactions},
                         Page{f.AccountTabSheet, &accounts}}) {
      SCOPED_TRACE(p.page->objectName().toStdString());
      f.MainPageControl->setCurrentWidget(p.page);
      QApplication::processEvents();
      ExpectNothingOverlapsOrIsSqueezed(f, p.page, *p.names);
    }
  }
  // The lookup lists show a short name whole ("Ремонт", not "Ремон").
  QComboBox probe;
  probe.setFont(f.Category1DBLookupComboBox->font());
  probe.addItem(QString::fromUtf8("Ремонт"));
  probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (const QSize size : {QSize(370, 230), QSize(600, 430)}) {
    f.resize(size - around);
    f.MainPageControl->setCurrentWidget(f.TransactionsTabSheet);
    QApplication::processEvents();
    for (QComboBox* box : {static_cast<QComboBox*>(f.Category1DBLookupComboBox),
                           static_cast<QComboBox*>(f.Category4DBLookupComboBox),
                           static_cast<QComboBox*>(f.AccToDBLookupComboBox)})
      EXPECT_GE(box->width(), probe.sizeHint().width()) << box->objectName().toStdString();
  }
  // The smallest size holds.
  f.resize(100, 100);
  EXPECT_EQ(f.frameGeometry().size(), QSize(370, 230));
}

}  // namespace
}  // namespace quillet::app::testing
