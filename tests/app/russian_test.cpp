// The Russian text set: applied during construction, again by the Language command, and
// shown correctly whatever the system locale.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <clocale>

#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/navigator.h"
#include "app/radiogroup.h"
#include "app_fixture.h"

namespace quillet::app::testing {
namespace {

class RussianTest : public AppTest {};

// Every text the Russian table sets, as the window shows it now.
QStringList ShownTexts(const TMainForm& f) {
  QStringList shown;
  for (const ControlText& t : RussianControlTexts()) {
    QObject* o = f.findChild<QObject*>(QLatin1String(t.control));
    if (!o) {
      shown << QStringLiteral("<missing %1>").arg(QLatin1String(t.control));
      continue;
    }
    switch (t.role) {
      case TextRole::Caption:
        if (auto* a = qobject_cast<QAction*>(o)) shown << a->text();
        else if (auto* m = qobject_cast<QMenu*>(o)) shown << m->title();
        else if (auto* b = qobject_cast<QAbstractButton*>(o)) shown << b->text();
        else if (auto* l = qobject_cast<QLabel*>(o)) shown << l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(o)) shown << g->title();
        else shown << f.MainPageControl->tabText(f.MainPageControl->indexOf(qobject_cast<QWidget*>(o)));
        break;
      case TextRole::Hint:
        shown << qobject_cast<QWidget*>(o)->toolTip();
        break;
      case TextRole::Items:
        if (auto* r = qobject_cast<TRadioGroup*>(o)) {
          shown << r->Items().join(u'\n');
        } else {
          auto* c = qobject_cast<QComboBox*>(o);
          QStringList items;
          for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
          shown << items.join(u'\n');
        }
        break;
      case TextRole::NavigatorHints:
        shown << qobject_cast<TDBNavigator*>(o)->Hints().join(u'\n');
        break;
      case TextRole::ColumnTitle: {
        auto* g = qobject_cast<TKADaoDBGrid*>(o);
        shown << g->ColumnTitle(g->ColumnIndex(t.key));
        break;
      }
      case TextRole::DialogTitle:
        shown << qobject_cast<QWidget*>(o)->windowTitle();
        break;
      default:
        shown << QStringLiteral("<role>");
    }
  }
  return shown;
}

QStringList RussianTable() {
  QStringList texts;
  for (const ControlText& t : RussianControlTexts()) texts << QString::fromUtf8(t.english);
  return texts;
}

TEST_F(RussianTest, TheTableCoversTheDesignedTextsWithAFewExceptions) {
  // Every Russian row replaces a designed text of the same control and role.
  int rows = 0;
  for (const ControlText& t : RussianControlTexts()) {
    SCOPED_TRACE(std::string(t.control) + (t.key ? std::string(".") + t.key : std::string()));
    EXPECT_FALSE(DesignedText(t.control, t.role, t.key).isEmpty());
    EXPECT_NE(QString::fromUtf8(t.english), DesignedText(t.control, t.role, t.key));
    ++rows;
  }
  // 16 menu captions, 11 pages, 8 labels, 3 of the exchange type, 4 + 6 + 9 of the exchange
  // page, 3 navigators, 5 check boxes, 22 filter hints, 3 lists, the dialog, 24 column titles.
  EXPECT_EQ(rows, 16 + 11 + 8 + 3 + 4 + 12 + 3 + 5 + 22 + 3 + 1 + 24);
  // These have no Russian form.
  for (const char* control : {"Category1DBCheckBox", "Category4DBCheckBox"})
    EXPECT_TRUE(RussianText(control, TextRole::Caption).isEmpty());
  EXPECT_TRUE(RussianText("TransactionsKADaoDBGrid", TextRole::ColumnTitle, "Category1Name").isEmpty());
  EXPECT_TRUE(RussianText("Category1KADaoDBGrid", TextRole::ColumnTitle, "NAME").isEmpty());
  EXPECT_TRUE(RussianText("ReportSaveDialog", TextRole::FileTypes).isEmpty());
}

TEST_F(RussianTest, AfterConstructionTheWindowSpeaksRussian) {
  Start();
  TMainForm& f = Form();
  // The report's save dialog is made when first shown (here cancelled).
  dialogs_.fileDialog = [](QFileDialog&) { return false; };
  f.Exportreport1->trigger();
  ASSERT_NE(f.ReportSaveDialog, nullptr);
  EXPECT_EQ(ShownTexts(f), RussianTable());
  // A sample, written out, against a table that could be wrong in the same way as the code.
  EXPECT_EQ(f.Exit1->text(), QString::fromUtf8("&Выход"));
  EXPECT_EQ(f.Restoredefaultcolumns1->text(), QString::fromUtf8("Восстановить &начальный вид колонок"));
  EXPECT_EQ(f.MainPageControl->tabText(2), QString::fromUtf8("Транзакции"));
  EXPECT_EQ(f.MainPageControl->tabText(10), QString::fromUtf8("Названия категорий"));
  EXPECT_EQ(f.ClearedLabel->text(), QString::fromUtf8("Подтвержд:"));
  EXPECT_EQ(f.ToDateDBCheckBox->text(), QString::fromUtf8("До:"));
  EXPECT_EQ(f.ClearAllTables->toolTip(), QString::fromUtf8("Очистить все данные в этой программе (но не в Palm'е)"));
  EXPECT_EQ(f.CurrenciesKADaoDBGrid->ColumnTitle(1), QString::fromUtf8("курс"));
  EXPECT_EQ(f.TransactionsKADaoDBGrid->ColumnTitle(f.TransactionsKADaoDBGrid->ColumnIndex("FOWNCURRENCY")),
            QString::fromUtf8("фикс курс"));
  EXPECT_EQ(f.CurrenciesDBNavigator->Hints(), f.AccountsDBNavigator->Hints());
  EXPECT_EQ(f.ReceiptComboBox->itemText(2), QString::fromUtf8("есть"));
  // Messages.
  EXPECT_EQ(Msg(text::MsgHintsDisabled), QString::fromUtf8("Подсказки выключены"));
  EXPECT_EQ(Msg(text::MsgHelpFile), QStringLiteral("/RusQuilletDesktop.doc"));
  EXPECT_EQ(Msg(text::importErrorEntry(5)), QString::fromUtf8("Не могу импортировать типы баланса"));
  // The texts without a Russian form.
  EXPECT_EQ(f.Category1DBCheckBox->text(), "Category 1:");
  EXPECT_EQ(f.Category4DBCheckBox->text(), "Category 4:");
  EXPECT_EQ(f.TransactionsKADaoDBGrid->ColumnTitle(f.TransactionsKADaoDBGrid->ColumnIndex("Category2Name")),
            "Category 2");
  EXPECT_EQ(f.Category1KADaoDBGrid->ColumnTitle(0), "Category name");
  EXPECT_EQ(f.ReportSaveDialog->nameFilters().size(), 2);
  EXPECT_TRUE(f.ReportSaveDialog->nameFilters()[0].startsWith("Text (.txt) files"));
}

TEST_F(RussianTest, LanguageAgainChangesNothingAndKeepsTheListsChoices) {
  MakeStore("INSERT INTO CustomNames VALUES ('Projects'), ('People'), ('Places'), ('Tags');");
  Start();
  TMainForm& f = Form();
  f.ReceiptComboBox->setCurrentIndex(2);
  f.ClearedComboBox->setCurrentIndex(1);
  f.ExchangeTypeRadioGroup->SetItemIndex(0);
  f.SetStatusText(QStringLiteral("unchanged"));
  const QStringList before = ShownTexts(f);
  const QString caption = f.windowTitle();
  std::vector<std::string> messages;
  for (int e = 1; e <= text::kMessageCount; ++e) messages.push_back(text::message(e));

  const int exchangeType = f.ExchangeTypeRadioGroup->ItemIndex();
  f.Language1->trigger();
  EXPECT_EQ(ShownTexts(f), before);
  EXPECT_EQ(f.windowTitle(), caption);
  EXPECT_EQ(f.StatusText(), "unchanged");
  for (int e = 1; e <= text::kMessageCount; ++e) EXPECT_EQ(text::message(e), messages[static_cast<std::size_t>(e - 1)]) << e;
  EXPECT_EQ(f.ReceiptComboBox->currentIndex(), 2);
  EXPECT_EQ(f.ReceiptComboBox->currentText(), QString::fromUtf8("есть"));
  EXPECT_EQ(f.ClearedComboBox->currentIndex(), 1);
  EXPECT_EQ(f.BillableComboBox->currentIndex(), 0);
  EXPECT_EQ(f.ExchangeTypeRadioGroup->ItemIndex(), exchangeType);
  // The user's category names that the store set stay.
  const char* names[] = {"Projects", "People", "Places", "Tags"};
  TDBCheckBox* boxes[] = {f.Category1DBCheckBox, f.Category2DBCheckBox, f.Category3DBCheckBox, f.Category4DBCheckBox};
  const char* fields[] = {"Category1Name", "Category2Name", "Category3Name", "Category4Name"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(boxes[i]->text(), QString::fromLatin1(names[i]) + ':');
    TKADaoDBGrid* g = f.TransactionsKADaoDBGrid;
    EXPECT_EQ(g->ColumnTitle(g->ColumnIndex(fields[i])), QString::fromLatin1(names[i]));
  }
}

TEST_F(RussianTest, TheTextsAreCyrillicUnderTheCLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  QLocale::setDefault(QLocale::c());
  Start();
  TMainForm& f = Form();
  // UTF-16 literals: independent of how the sources or the locale decode bytes.
  EXPECT_EQ(f.windowTitle(), QString::fromUtf16(u"Quillet Десктоп v1.0"));
  EXPECT_EQ(f.StatusText(), QString::fromUtf16(u"Вас приветствует Quillet Десктоп v1.0"));
  EXPECT_EQ(f.View1->title(), QString::fromUtf16(u"&Вид"));
  EXPECT_EQ(f.ImportGroupBox->title(), QString::fromUtf16(u"Импортирование данных из Palm"));
  EXPECT_EQ(f.TransactionsTotalLabel->text(), QString::fromUtf16(u"Итого:"));
  Stop();
  QLocale::setDefault(QLocale::system());
  std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(RussianTest, AStoredLayoutShowsItsStoredTitlesAndTheDefaultTheRussianOnes) {
  ColumnLayout stored;
  for (const char* field : {"DATE", "AMOUNT", "NOTES"}) stored.push_back({field, std::string("Stored ") + field, 70, true});
  SettingsKey::Values v;
  v[setting::kExchangeType] = Dword(1);
  v[setting::kCurrentUserID] = Dword(0);
  v[setting::kImportPath] = Sz("");
  v[setting::kExportPath] = Sz("");
  v[setting::kShowAllTables] = Dword(0);
  v[setting::kShowHints] = Dword(1);
  v[setting::kShowFilteredColumns] = Dword(0);
  v[setting::kAllowFloating] = Dword(0);
  v[setting::kConfirmations] = Dword(1);
  v[setting::kImportAtStartup] = Dword(0);
  v[setting::kActivePage] = Dword(2);
  v[setting::kTransactionColumns] = Binary(EncodeColumnLayout(stored));
  WriteSettings(v);
  Start();
  TMainForm& f = Form();
  EXPECT_EQ(f.TransactionsKADaoDBGrid->Columns(), stored);
  f.Restoredefaultcolumns1Click();
  TKADaoDBGrid* g = f.TransactionsKADaoDBGrid;
  EXPECT_EQ(g->ColumnCount(), 20);
  EXPECT_EQ(g->ColumnTitle(g->ColumnIndex("DATE")), QString::fromUtf8("дата/время"));
  EXPECT_EQ(g->ColumnTitle(g->ColumnIndex("Category3Name")), "Category 3");
}

}  // namespace
}  // namespace quillet::app::testing
