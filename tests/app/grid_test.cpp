// The grids and bound controls over a store with rows: what they show, the keyboard
// commands, deletion, and the filter panel's row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/navigator.h"
#include "app_fixture.h"

namespace quillet::app::testing {
namespace {

// "Банк" and "Еда" in the handheld's code page.
constexpr const char* kBank = "CAST(X'C1E0EDEA' AS TEXT)";
const QString kBankText = QString::fromUtf8("\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA");

std::string Rows() {
  return std::string(
             "INSERT INTO Currency VALUES (1, 'USD', 1.0), (3, 'Roublesxyz', 0.03126);"
             "INSERT INTO Account VALUES (10, 1234.5, 1, 1, 0, 'Wallet', 'first line' || char(13, 10) || 'second'),"
             "  (11, -20.125, 3, 0, 1, ") +
         kBank +
         ", NULL);"
         "INSERT INTO Category1 VALUES (5, 'Food'), (6, 'Rent');"
         "INSERT INTO [Transaction] (ID, ACC_TO_ID, ACC_FROM_ID, AMOUNT, CURRENCY_ID, FADD, NOTES, CATEGORY1_ID, DATE) "
         "VALUES (1, 10, 11, 1.5, 1, 1, 'note one' || char(13, 10) || 'more', 6, 37000.5),"
         "  (2, 11, 10, 2.0004, 3, 0, NULL, 99, 37001),"
         "  (3, 10, 10, 3, 1, NULL, 'three', NULL, NULL);";
}

QString Cell(TKADaoDBGrid* grid, int row, const std::string& field, int role = Qt::DisplayRole) {
  const int column = grid->horizontalHeader()->logicalIndex(grid->ColumnIndex(field));
  return grid->Model()->data(grid->Model()->index(row, column), role).toString();
}

QVariant CellValue(TKADaoDBGrid* grid, int row, const std::string& field, int role) {
  const int column = grid->horizontalHeader()->logicalIndex(grid->ColumnIndex(field));
  return grid->Model()->data(grid->Model()->index(row, column), role);
}

class GridTest : public AppTest {};

TEST_F(GridTest, CellsShowLookupsChecksAndFormattedValues) {
  MakeStore(Rows());
  Start();
  TKADaoDBGrid* accounts = Form().AccountsKADaoDBGrid;
  ASSERT_EQ(accounts->Model()->rowCount(), 2);
  EXPECT_EQ(Cell(accounts, 0, "NAME"), "Wallet");
  EXPECT_EQ(Cell(accounts, 1, "NAME"), kBankText);
  EXPECT_EQ(Cell(accounts, 0, "AMOUNT"), "1234.5");
  EXPECT_EQ(Cell(accounts, 1, "AMOUNT"), "-20.125");
  EXPECT_EQ(Cell(accounts, 0, "CurrencyName"), "USD");
  EXPECT_EQ(Cell(accounts, 1, "CurrencyName"), "Roublesx") << "currency names are cut to 8 characters";
  EXPECT_EQ(CellValue(accounts, 0, "FTOTAL", Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(CellValue(accounts, 1, "FTOTAL", Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_FALSE(CellValue(accounts, 1, "FTOTAL", Qt::DisplayRole).isValid()) << "a check box, no text";
  EXPECT_FALSE(CellValue(accounts, 1, "NAME", Qt::CheckStateRole).isValid());

  TKADaoDBGrid* transactions = Form().TransactionsKADaoDBGrid;
  ASSERT_EQ(transactions->Model()->rowCount(), 3);
  EXPECT_EQ(Cell(transactions, 0, "AccountToName"), "Wallet");
  EXPECT_EQ(Cell(transactions, 0, "AccountFromName"), kBankText);
  EXPECT_EQ(Cell(transactions, 1, "CurrencyName"), "Roublesx");
  EXPECT_EQ(Cell(transactions, 0, "Category1Name"), "Rent");
  EXPECT_EQ(Cell(transactions, 1, "Category1Name"), "") << "no category 99";
  EXPECT_EQ(Cell(transactions, 2, "Category1Name"), "");
  EXPECT_EQ(Cell(transactions, 1, "AMOUNT"), "2") << "#########0.###";
  EXPECT_EQ(CellValue(transactions, 2, "FADD", Qt::CheckStateRole).toInt(), Qt::Unchecked) << "empty reads false";
  EXPECT_EQ(CellValue(transactions, 0, "FADD", Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(Cell(transactions, 2, "DATE"), "");
  EXPECT_FALSE(Cell(transactions, 0, "DATE").isEmpty());

  // Read-only: no cell can be edited or checked by the user.
  for (TKADaoDBGrid* grid : {accounts, transactions}) {
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (int c = 0; c < grid->Model()->columnCount(); ++c) {
      const Qt::ItemFlags flags = grid->Model()->flags(grid->Model()->index(0, c));
      EXPECT_FALSE(flags & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)) << c;
    }
  }
  accounts->setCurrentIndex(accounts->Model()->index(0, 1));
  QTest::keyClicks(accounts, "xyz");
  QTest::keyClick(accounts, Qt::Key_F2);
  EXPECT_EQ(Cell(accounts, 0, "NAME"), "Wallet");
  EXPECT_TRUE(accounts->findChildren<QLineEdit*>().isEmpty()) << "no cell editor opened";
  EXPECT_TRUE(Form().AccountNotesDBMemo->isReadOnly());
}

TEST_F(GridTest, MemosShowTheirFirstLineOnceShowMemosIsOnAndCtrlMSwitchesIt) {
  MakeStore(Rows());
  Start();
  TKADaoDBGrid* transactions = Form().TransactionsKADaoDBGrid;
  TKADaoDBGrid* accounts = Form().AccountsKADaoDBGrid;
  // FormShow switched memo display on for these two grids.
  EXPECT_TRUE(Dm().Transaction->CacheMemos());
  EXPECT_TRUE(Dm().Account->CacheMemos());
  EXPECT_EQ(Cell(transactions, 0, "NOTES"), "note one");
  EXPECT_EQ(Cell(transactions, 1, "NOTES"), "");
  EXPECT_EQ(Cell(accounts, 0, "NOTES"), "first line");
  EXPECT_EQ(Form().AccountNotesDBMemo->toPlainText(), "first line\nsecond");

  QTest::keyClick(transactions, Qt::Key_M, Qt::ControlModifier);
  EXPECT_FALSE(Dm().Transaction->CacheMemos());
  EXPECT_EQ(Cell(transactions, 0, "NOTES"), "(Memo)");
  QTest::keyClick(transactions, Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(Cell(transactions, 0, "NOTES"), "note one");
}

TEST_F(GridTest, CtrlDeleteAsksAndDeletesTheCurrentRowOnlyOnOk) {
  std::string sql;
  for (const char* table : {"Category1", "Category2", "Category3", "Category4", "BalanceType", "RemindType"})
    sql += std::string("INSERT INTO ") + table + " VALUES (1, 'first'), (2, 'second'), (3, 'third');";
  sql += "INSERT INTO Currency VALUES (1, 'first', 1), (2, 'second', 2), (3, 'third', 3);"
         "INSERT INTO CustomNames VALUES ('first'), ('second'), ('third');"
         "INSERT INTO Account (ID, NAME) VALUES (1, 'first'), (2, 'second'), (3, 'third');"
         "INSERT INTO [Transaction] (ID, NOTES) VALUES (1, 'first'), (2, 'second'), (3, 'third');";
  MakeStore(sql);
  Start();
  for (TKADaoDBGrid* grid : Form().Grids()) {
    SCOPED_TRACE(grid->objectName().toStdString());
    TKADaoTable& view = grid->DataSource()->DataSet();
    ASSERT_EQ(grid->Model()->rowCount(), 3);
    grid->setCurrentIndex(grid->Model()->index(1, grid->horizontalHeader()->logicalIndex(0)));
    ASSERT_EQ(view.RecNo(), 1) << "the view follows the grid's current row";

    dialogs_.calls.clear();
    dialogs_.answers = {false};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(dialogs_.calls[0].kind, DialogCall::Confirm);
    EXPECT_EQ(dialogs_.calls[0].text, "Delete record?");
    EXPECT_EQ(dialogs_.calls[0].buttons, Dialogs::Buttons::OkCancel);
    EXPECT_EQ(grid->Model()->rowCount(), 3) << "Cancel keeps the row";

    dialogs_.answers = {true};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.calls.size(), 2u);
    EXPECT_EQ(grid->Model()->rowCount(), 2);
    EXPECT_EQ(view.RecordCount(), 2);
    // Without its Ctrl, Delete does nothing.
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(dialogs_.calls.size(), 2u);
  }
  EXPECT_TRUE(Errors().empty());
  Stop();
  for (const char* table : {"Category1", "Category2", "Category3", "Category4", "Currency", "BalanceType",
                            "RemindType", "CustomNames", "Account", "Transaction"}) {
    SCOPED_TRACE(table);
    const std::string column = std::string(table) == "Transaction" ? "NOTES" : "NAME";
    EXPECT_EQ(QueryStore(std::string("SELECT COUNT(*) FROM [") + table + "]"), 2);
    EXPECT_EQ(QueryStore(std::string("SELECT COUNT(*) FROM [") + table + "] WHERE " + column + " = 'second'"), 0)
        << "the current row went";
  }
}

TEST_F(GridTest, CtrlDeleteOnAnEmptyGridAsksNothing) {
  Start();
  QTest::keyClick(Form().CurrenciesKADaoDBGrid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(GridTest, CtrlCCopiesTheSelectedRowsCtrlAAndCtrlNSelectAllAndNone) {
  MakeStore(Rows());
  Start();
  TKADaoDBGrid* grid = Form().CurrenciesKADaoDBGrid;
  grid->setCurrentIndex(grid->Model()->index(1, 0));
  grid->DeselectAllRows();
  EXPECT_EQ(grid->SelectedRowsText(), "Roublesxyz\t0.0313\n") << "no selection: the current row; ###0.####";

  QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 2);
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "USD\t1\nRoublesxyz\t0.0313\n");

  QTest::keyClick(grid, Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(grid->selectionModel()->selectedRows().isEmpty());

  // Hidden columns are left out; check boxes copy as text.
  TKADaoDBGrid* accounts = Form().AccountsKADaoDBGrid;
  accounts->SetColumnVisible(accounts->ColumnIndex("NOTES"), false);
  accounts->selectAll();
  EXPECT_EQ(accounts->SelectedRowsText(), QString("False\tWallet\t1234.5\tUSD\tTrue\n") + "True\t" + kBankText +
                                              "\t-20.125\tRoublesx\tFalse\n");
}

TEST_F(GridTest, TheGridAndItsNavigatorMoveTheSameCursor) {
  MakeStore(Rows());
  Start();
  TKADaoDBGrid* grid = Form().TransactionsKADaoDBGrid;
  TDBNavigator* nav = Form().TransactionsDBNavigator;
  TKADaoTable& view = *Dm().Transaction;
  EXPECT_EQ(view.RecNo(), 0);
  EXPECT_FALSE(nav->button(TDBNavigator::Prior)->isEnabled());
  nav->button(TDBNavigator::Last)->click();
  EXPECT_EQ(view.RecNo(), 2);
  EXPECT_EQ(grid->currentIndex().row(), 2);
  EXPECT_FALSE(nav->button(TDBNavigator::Next)->isEnabled());
  nav->button(TDBNavigator::Prior)->click();
  EXPECT_EQ(grid->currentIndex().row(), 1);
  EXPECT_EQ(grid->Model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString::fromUtf8("\u25B6"));
  EXPECT_EQ(grid->Model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), "");
  grid->setCurrentIndex(grid->Model()->index(0, 3));
  EXPECT_EQ(view.RecNo(), 0);
  nav->button(TDBNavigator::Next)->click();
  EXPECT_EQ(view.RecNo(), 1);
  nav->button(TDBNavigator::First)->click();
  EXPECT_EQ(grid->currentIndex().row(), 0);

  // The notes memo follows the accounts' current row.
  Form().AccountsDBNavigator->Click(TDBNavigator::Next);
  EXPECT_EQ(Form().AccountNotesDBMemo->toPlainText(), "");
  // The five shown buttons carry hints 1 to 4 and 10 of the Russian list.
  const QStringList hints = RussianText("AccountsDBNavigator", TextRole::NavigatorHints).split(u'\n');
  ASSERT_EQ(hints.size(), 10);
  const int shown[TDBNavigator::kButtonCount] = {0, 1, 2, 3, 9};
  for (int i = 0; i < TDBNavigator::kButtonCount; ++i)
    EXPECT_EQ(nav->button(static_cast<TDBNavigator::Button>(i))->toolTip(), hints[shown[i]]);
  EXPECT_EQ(nav->button(TDBNavigator::First)->toolTip(), QString::fromUtf8("Первая запись"));
}

TEST_F(GridTest, TheFilterPanelShowsAndWritesTheFilterRow) {
  MakeStore(Rows() +
            "INSERT INTO _AllFilters (ACC_TO_ENABLED, ACC_TO_ID, CATEGORY1_ENABLED, CATEGORY1_ID, DATE_FROM, "
            "DATE_FROM_ENABLED, FRECEIPT, FBILLABLE, FCLEARED, BALANCE_CURRENCY) "
            "VALUES (1, 11, 0, 6, 37000.25, 1, 2, 1, 0, 3);");
  Start();
  TMainForm& f = Form();
  EXPECT_TRUE(f.AccToDBCheckBox->isChecked());
  EXPECT_EQ(f.AccToDBLookupComboBox->currentText(), kBankText);
  EXPECT_EQ(f.AccToDBLookupComboBox->count(), 2);
  EXPECT_FALSE(f.AccFromDBCheckBox->isChecked());
  EXPECT_EQ(f.AccFromDBLookupComboBox->currentIndex(), -1) << "no account chosen";
  EXPECT_FALSE(f.Category1DBCheckBox->isChecked());
  EXPECT_EQ(f.Category1DBLookupComboBox->currentText(), "Rent");
  EXPECT_EQ(f.TransactionsTotalCurrencyDBLookupComboBox->currentText(), "Roublesxyz");
  EXPECT_TRUE(f.FromDateDBCheckBox->isChecked());
  EXPECT_EQ(f.FromDateDBEdit->date(), QDate(2001, 4, 19));
  EXPECT_TRUE(f.ToDateDBEdit->isEmptyValue());
  EXPECT_EQ(f.ReceiptComboBox->currentIndex(), 2);
  EXPECT_EQ(f.BillableComboBox->currentIndex(), 1);
  EXPECT_EQ(f.ClearedComboBox->currentIndex(), 0);
  EXPECT_EQ(f.ReceiptComboBox->count(), 3);
  EXPECT_FALSE(f.ReceiptComboBox->isEditable()) << "pick-only";
  EXPECT_EQ(f.AccToDBLookupComboBox->maxVisibleItems(), 20);
  EXPECT_EQ(f.CurrencyDBLookupComboBox->maxVisibleItems(), 7);

  // What the user changes goes into the row, which is posted when the store closes.
  f.AccFromDBCheckBox->click();
  f.AccToDBCheckBox->click();
  const int food = f.Category1DBLookupComboBox->findText("Food");
  ASSERT_GE(food, 0);
  f.Category1DBLookupComboBox->setCurrentIndex(food);
  emit f.Category1DBLookupComboBox->activated(food);
  f.ToDateDBEdit->setDate(QDate(2002, 1, 2));
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(f.ToDateDBEdit, &leave);
  f.ReceiptComboBox->setCurrentIndex(0);
  Stop();
  // "From account" is checked with no account picked: that click and each of the three
  // changes after it run the filter refresh, which cannot convert the empty value.
  ASSERT_EQ(dialogs_.calls.size(), 4u);
  for (const DialogCall& c : dialogs_.calls) {
    EXPECT_EQ(c.kind, DialogCall::Error);
    EXPECT_EQ(c.text, "Invalid variant type conversion");
  }
  EXPECT_EQ(QueryStore("SELECT COUNT(*) FROM _AllFilters"), 1);
  EXPECT_EQ(QueryStore("SELECT ACC_FROM_ENABLED FROM _AllFilters"), 1);
  EXPECT_EQ(QueryStore("SELECT ACC_TO_ENABLED FROM _AllFilters"), 0);
  EXPECT_EQ(QueryStore("SELECT ACC_TO_ID FROM _AllFilters"), 11);
  EXPECT_EQ(QueryStore("SELECT CATEGORY1_ID FROM _AllFilters"), 5);
  EXPECT_EQ(QueryStore("SELECT CAST(DATE_TO AS INTEGER) FROM _AllFilters"), 37258);
  EXPECT_EQ(QueryStore("SELECT CAST(DATE_FROM * 4 AS INTEGER) FROM _AllFilters"), 37000 * 4 + 1) << "kept as it was";
  EXPECT_EQ(QueryStore("SELECT FRECEIPT FROM _AllFilters"), 0);
  EXPECT_EQ(QueryStore("SELECT FBILLABLE FROM _AllFilters"), 1);
}

TEST_F(GridTest, AnEmptyFilterTableGetsItsRowFromTheFirstChange) {
  MakeStore(Rows());
  Start();
  EXPECT_FALSE(Form().CurrencyDBCheckBox->isChecked());
  EXPECT_EQ(Form().ReceiptComboBox->currentIndex(), 0) << "all";
  Form().CurrencyDBCheckBox->click();
  Stop();
  EXPECT_EQ(QueryStore("SELECT COUNT(*) FROM _AllFilters"), 1);
  EXPECT_EQ(QueryStore("SELECT CURRENCY_ENABLED FROM _AllFilters"), 1);
}

TEST_F(GridTest, CustomNamesLabelTheCategoryControlsAndTheirGridShowsItsFields) {
  MakeStore(std::string("INSERT INTO CustomNames VALUES ('Kind'), (") + kBank + ");");
  Start();
  TMainForm& f = Form();
  EXPECT_EQ(f.Category1DBCheckBox->text(), "Kind:");
  EXPECT_EQ(f.Category2DBCheckBox->text(), kBankText + ":");
  EXPECT_EQ(f.Category4DBCheckBox->text(), kBankText + ":") << "the last name goes on";
  TKADaoDBGrid* transactions = f.TransactionsKADaoDBGrid;
  EXPECT_EQ(transactions->ColumnTitle(transactions->ColumnIndex("Category1Name")), "Kind");
  EXPECT_EQ(transactions->ColumnTitle(transactions->ColumnIndex("Category3Name")), kBankText);

  TKADaoDBGrid* names = f.CustomNamesKADaoDBGrid;
  ASSERT_EQ(names->ColumnCount(), 1);
  EXPECT_EQ(names->ColumnFieldName(0), "NAME");
  EXPECT_EQ(names->ColumnTitle(0), "NAME");
  EXPECT_EQ(names->Model()->rowCount(), 2);
  EXPECT_EQ(Cell(names, 1, "NAME"), kBankText);
}

// Counts the tool tip requests that reach a control.
class ToolTipCounter : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ToolTip) ++count;
    return false;
  }
};

TEST_F(GridTest, HintsShowOnlyWhileTheHintSwitchIsOn) {
  Start();
  TMainForm& f = Form();
  f.MainPageControl->setCurrentIndex(2);
  ToolTipCounter counter;
  // A control of the page and one of the filter panel, which may float in a window of its own.
  for (QWidget* w : std::initializer_list<QWidget*>{f.TransactionsKADaoDBGrid, f.ReceiptComboBox}) {
    SCOPED_TRACE(w->objectName().toStdString());
    w->installEventFilter(&counter);
    auto ask = [w] {
      QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
      QApplication::sendEvent(w, &help);
    };
    counter.count = 0;
    ask();
    EXPECT_EQ(counter.count, 1);
    f.Showhints1Click();
    ask();
    EXPECT_EQ(counter.count, 1) << "held back while hints are off";
    f.Showhints1Click();
    ask();
    EXPECT_EQ(counter.count, 2);
    w->removeEventFilter(&counter);
  }
  QToolTip::hideText();
}

}  // namespace
}  // namespace quillet::app::testing

namespace quillet::app::testing {
namespace {

class GridRowTest : public AppTest {
 protected:
  // Five currencies: IDs 1 to 5, named "c1" to "c5", in this order.
  TKADaoDBGrid* StartWithFiveRows() {
    MakeStore("INSERT INTO Currency VALUES (1, 'c1', 1), (2, 'c2', 2), (3, 'c3', 3), (4, 'c4', 4), (5, 'c5', 5);");
    Start();
    Form().MainPageControl->setCurrentWidget(Form().CurrenciesTabSheet);
    return Form().CurrenciesKADaoDBGrid;
  }
  // The rows highlighted, in order.
  static std::vector<int> Highlighted(TKADaoDBGrid* grid) {
    std::vector<int> rows;
    for (int r = 0; r < grid->Model()->rowCount(); ++r)
      if (grid->selectionModel()->rowIntersectsSelection(r, {})) rows.push_back(r);
    return rows;
  }
  std::string NameAtView() { return Dm().Currency->FieldByName("NAME").AsString(); }
};

TEST_F(GridRowTest, CtrlMovesCarryTheHighlightWithTheCurrentRow) {
  TKADaoDBGrid* grid = StartWithFiveRows();
  TKADaoTable& view = *Dm().Currency;
  struct Move {
    Qt::Key key;
    int row;  // the current row after it
  };
  for (const Move m : {Move{Qt::Key_Down, 1}, Move{Qt::Key_Down, 2}, Move{Qt::Key_End, 4}, Move{Qt::Key_Up, 3},
                       Move{Qt::Key_Home, 0}, Move{Qt::Key_PageDown, 4}}) {
    SCOPED_TRACE(m.key);
    QTest::keyClick(grid, m.key, Qt::ControlModifier);
    EXPECT_EQ(grid->currentIndex().row(), m.row);
    EXPECT_EQ(view.RecNo(), m.row);
    EXPECT_EQ(Highlighted(grid), std::vector<int>{m.row}) << "the highlight went with the current row";
  }
  // Copy and delete act on the same row.
  QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier);
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("c4\t"));
  dialogs_.answers = {true};
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(view.RecordCount(), 4);
  Stop();
  EXPECT_EQ(QueryStore("SELECT COUNT(*) FROM Currency WHERE NAME = 'c4'"), 0);
  EXPECT_EQ(QueryStore("SELECT COUNT(*) FROM Currency"), 4);
}

TEST_F(GridRowTest, ACtrlClickThatUnhighlightsTheCurrentRowMovesItToAHighlightedOne) {
  TKADaoDBGrid* grid = StartWithFiveRows();
  grid->show();
  auto rowPoint = [grid](int row) {
    return QPoint(grid->columnViewportPosition(0) + 5, grid->rowViewportPosition(row) + 3);
  };
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(3));
  ASSERT_EQ(Highlighted(grid), (std::vector<int>{1, 3}));
  ASSERT_EQ(grid->currentIndex().row(), 3);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(3));  // off again
  EXPECT_EQ(Highlighted(grid), std::vector<int>{1});
  EXPECT_EQ(grid->currentIndex().row(), 1);
  EXPECT_EQ(Dm().Currency->RecNo(), 1);
  EXPECT_EQ(NameAtView(), "c2");
}

TEST_F(GridRowTest, RepeatedDeletesWalkDownAndTheLastRowStepsBack) {
  TKADaoDBGrid* grid = StartWithFiveRows();
  grid->setCurrentIndex(grid->Model()->index(1, 0));
  const char* expected[] = {"c3", "c4", "c5", "c1"};  // current after each delete
  for (const char* name : expected) {
    SCOPED_TRACE(name);
    dialogs_.answers = {true};
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(NameAtView(), name);
    EXPECT_EQ(grid->currentIndex().row(), Dm().Currency->RecNo());
    EXPECT_EQ(Highlighted(grid), std::vector<int>{Dm().Currency->RecNo()});
  }
  EXPECT_EQ(Dm().Currency->RecordCount(), 1);
}

TEST_F(GridRowTest, TheNavigatorsRefreshKeepsTheCurrentRow) {
  TKADaoDBGrid* grid = StartWithFiveRows();
  TDBNavigator* nav = Form().CurrenciesDBNavigator;
  nav->Click(TDBNavigator::Next);
  nav->Click(TDBNavigator::Next);
  nav->Click(TDBNavigator::Next);
  ASSERT_EQ(Dm().Currency->RecNo(), 3);
  nav->Click(TDBNavigator::Refresh);
  EXPECT_EQ(Dm().Currency->RecNo(), 3);
  EXPECT_EQ(NameAtView(), "c4");
  EXPECT_EQ(grid->currentIndex().row(), 3);
  nav->Click(TDBNavigator::First);
  nav->Click(TDBNavigator::Refresh);
  EXPECT_EQ(Dm().Currency->RecNo(), 0);
}

TEST_F(GridRowTest, DesignedWidthsScaleWithTheFontAndTitlesReadFromTheirStart) {
  Start();
  TKADaoDBGrid* grid = Form().TransactionsKADaoDBGrid;
  EXPECT_TRUE(grid->horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
  // Proportions stay; the ratio is that of the average letter widths.
  const double ratio = grid->AverageLetterWidth() / TKADaoDBGrid::kDesignedLetterWidth;
  for (int designed : {48, 50, 100, 150, 300}) {
    SCOPED_TRACE(designed);
    EXPECT_NEAR(grid->ScaledWidth(designed), designed * ratio, 0.5 + 1e-9);
  }
  EXPECT_NEAR(grid->ScaledWidth(100), 2 * grid->ScaledWidth(50), 1);
  // A font twice the size gives columns about twice as wide.
  TKADaoDBGrid big;
  QFont font = grid->font();
  font.setPointSizeF(font.pointSizeF() * 2);
  big.setFont(font);
  EXPECT_NEAR(big.ScaledWidth(100) / static_cast<double>(grid->ScaledWidth(100)), 2.0, 0.25);
  // The designed columns carry the scaled widths.
  EXPECT_EQ(grid->ColumnWidth(grid->ColumnIndex("DATE")), grid->ScaledWidth(48));
  EXPECT_EQ(grid->ColumnWidth(grid->ColumnIndex("NOTES")), grid->ScaledWidth(100));
  TKADaoDBGrid* accounts = Form().AccountsKADaoDBGrid;
  EXPECT_EQ(accounts->ColumnWidth(accounts->ColumnIndex("NAME")), accounts->ScaledWidth(204));
}

}  // namespace
}  // namespace quillet::app::testing
