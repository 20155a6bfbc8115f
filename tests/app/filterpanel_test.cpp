// The filter panel's refresh in the window: every control narrows the transactions, hides
// the columns of the conditions in force and updates the total; and the report it writes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "analysis/filter.h"
#include "analysis/report.h"
#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app_fixture.h"
#include "store/fieldtext.h"
#include "text/messages.h"

namespace quillet::app::testing {
namespace {

// "Банк" in the handheld's code page.
constexpr const char* kBank = "CAST(X'C1E0EDEA' AS TEXT)";
const QString kBankText = QString::fromUtf8("\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA");

// 15 August 2002 is day 37483.
std::string Rows() {
  return std::string(
             "INSERT INTO Currency VALUES (1, 'USD', 1.0), (2, 'EUR', 2.0), (3, 'Tiny', 0.0001);"
             "INSERT INTO Account VALUES (10, 0, 1, 1, 1, 'Wallet', NULL), (11, 0, 1, 1, 1, ") +
         kBank +
         ", NULL);"
         "INSERT INTO [Transaction] (ID, ACC_TO_ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, FOWNCURRENCY, FBILLABLE, "
         "DATE, NOTES) VALUES"
         " (1, 10, 100, 1, NULL, 0, 1, 37483, 'plain'),"
         " (2, 10, 50, 2, NULL, 0, 0, 37483 + 10.0 / 24, 'two' || char(13, 10) || 'lines'),"
         " (3, 11, 10, 2, 0.5, 1, NULL, 37482, 'say \"hi\"' || char(10) || 'bye');"
         "INSERT INTO _AllFilters (BALANCE_CURRENCY) VALUES (1);";
}

constexpr const char* kFiltered[10] = {"AccountToName", "AccountFromName", "Category1Name", "Category2Name",
                                       "Category3Name", "Category4Name",   "CurrencyName",  "FRECEIPT",
                                       "FBILLABLE",     "FCLEARED"};

class FilterPanelTest : public AppTest {
 protected:
  TMainForm& StartWith(const std::string& sql) {
    MakeStore(sql);
    Start();
    return Form();
  }
  std::vector<int> ShownIds() {
    std::vector<int> ids;
    TKADaoTable& v = *Dm().Transaction;
    for (int r = 0; r < v.RecordCount(); ++r) ids.push_back(static_cast<int>(v.FieldByName("ID").ValueAt(r).integer()));
    return ids;
  }
  bool Visible(const char* field) {
    TKADaoDBGrid* g = Form().TransactionsKADaoDBGrid;
    return g->ColumnVisible(g->ColumnIndex(field));
  }
  static void Pick(TDBLookupComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
  }
  static void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  static void Leave(QWidget* w) {
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &leave);
  }
  QString Total() { return Form().TransactionsTotalEdit->text(); }
  std::vector<DialogCall> ErrorsShown() {
    std::vector<DialogCall> out;
    for (const DialogCall& c : dialogs_.calls)
      if (c.kind == DialogCall::Error) out.push_back(c);
    return out;
  }
};

using Ids = std::vector<int>;

TEST_F(FilterPanelTest, StartUpShowsEverythingAndTheTotal) {
  TMainForm& f = StartWith(Rows());
  EXPECT_EQ(ShownIds(), (Ids{1, 2, 3}));
  EXPECT_EQ(Total(), "205.00");  // 100 + 50 x 2 + 10 x 0.5
  for (const char* c : kFiltered) EXPECT_TRUE(Visible(c)) << c;
  EXPECT_TRUE(Dm().Transaction->Filtered());
  EXPECT_TRUE(f.TransactionsTotalEdit->isReadOnly());
  EXPECT_TRUE(ErrorsShown().empty());
}

TEST_F(FilterPanelTest, StoredConditionsApplyAtStartUp) {
  StartWith(Rows() +
            "UPDATE _AllFilters SET ACC_TO_ENABLED = 1, ACC_TO_ID = 10, FBILLABLE = 1, CURRENCY_ID = 2, "
            "BALANCE_CURRENCY = 2;");
  EXPECT_EQ(ShownIds(), (Ids{2}));  // to Wallet, not billable
  EXPECT_EQ(Total(), "50.00");      // in EUR
  EXPECT_FALSE(Visible("AccountToName"));
  EXPECT_FALSE(Visible("FBILLABLE"));
  EXPECT_TRUE(Visible("CurrencyName")) << "its condition is off";
  EXPECT_TRUE(Visible("DATE"));
}

TEST_F(FilterPanelTest, EveryControlRefreshes) {
  TMainForm& f = StartWith(Rows());
  Pick(f.AccToDBLookupComboBox, kBankText);  // value alone: no condition yet
  EXPECT_EQ(ShownIds(), (Ids{1, 2, 3}));
  f.AccToDBCheckBox->click();
  EXPECT_EQ(ShownIds(), (Ids{3}));
  EXPECT_EQ(Total(), "5.00");
  EXPECT_FALSE(Visible("AccountToName"));
  Pick(f.AccToDBLookupComboBox, "Wallet");
  EXPECT_EQ(ShownIds(), (Ids{1, 2}));
  f.AccToDBCheckBox->click();
  EXPECT_EQ(ShownIds(), (Ids{1, 2, 3}));
  EXPECT_TRUE(Visible("AccountToName"));

  // Billable "no": empty marks match neither.
  Choose(f.BillableComboBox, 1);
  EXPECT_EQ(ShownIds(), (Ids{2}));
  EXPECT_FALSE(Visible("FBILLABLE"));
  Choose(f.BillableComboBox, 2);
  EXPECT_EQ(ShownIds(), (Ids{1}));
  Choose(f.BillableComboBox, 0);
  EXPECT_EQ(ShownIds(), (Ids{1, 2, 3}));
  EXPECT_TRUE(Visible("FBILLABLE"));

  // The currency.
  Pick(f.CurrencyDBLookupComboBox, "EUR");
  f.CurrencyDBCheckBox->click();
  EXPECT_EQ(ShownIds(), (Ids{2, 3}));
  EXPECT_FALSE(Visible("CurrencyName"));
  EXPECT_TRUE(ErrorsShown().empty());
}

TEST_F(FilterPanelTest, ShowFilteredColumnsKeepsThemVisible) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET ACC_TO_ENABLED = 1, ACC_TO_ID = 10, FCLEARED = 2;");
  EXPECT_FALSE(Visible("AccountToName"));
  EXPECT_FALSE(Visible("FCLEARED"));
  f.Showfilteredcolumns1->setChecked(true);
  f.AccToDBCheckBoxClick();
  for (const char* c : kFiltered) EXPECT_TRUE(Visible(c)) << c;
  EXPECT_EQ(ShownIds(), Ids{}) << "no transaction is cleared";
  EXPECT_EQ(Total(), "0.00");
  f.Showfilteredcolumns1->setChecked(false);
  f.AccToDBCheckBoxClick();
  EXPECT_FALSE(Visible("AccountToName"));
  EXPECT_FALSE(Visible("FCLEARED"));
  EXPECT_TRUE(Visible("FRECEIPT"));
}

TEST_F(FilterPanelTest, ConditionWithoutValueIsAnErrorAndChangesNothing) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET FBILLABLE = 2;");
  EXPECT_EQ(ShownIds(), (Ids{1}));
  const QString total = Total();
  f.AccToDBCheckBox->click();
  const auto errors = ErrorsShown();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text, "Invalid variant type conversion");
  EXPECT_EQ(ShownIds(), (Ids{1}));
  EXPECT_EQ(Dm().Transaction->Filter(), "FBILLABLE");
  EXPECT_EQ(Total(), total);
  EXPECT_TRUE(Visible("AccountToName")) << "columns as they were";
  // Picking an account then filters.
  Pick(f.AccToDBLookupComboBox, kBankText);
  EXPECT_EQ(ShownIds(), Ids{});
  EXPECT_EQ(Dm().Transaction->Filter(), "ACC_TO_ID = 11 AND FBILLABLE");
  EXPECT_FALSE(Visible("AccountToName"));
  EXPECT_EQ(ErrorsShown().size(), 1u);
}

TEST_F(FilterPanelTest, AnotherTotalCurrencyKeepsTheRows) {
  TMainForm& f = StartWith(Rows());
  Dm().Transaction->Last();
  Pick(f.TransactionsTotalCurrencyDBLookupComboBox, "EUR");
  EXPECT_EQ(Total(), "102.50");
  EXPECT_EQ(ShownIds(), (Ids{1, 2, 3}));
  EXPECT_EQ(Dm().Transaction->RecNo(), 0) << "re-read, on the first row";
  Pick(f.TransactionsTotalCurrencyDBLookupComboBox, "Tiny");
  EXPECT_EQ(Total(), "0.00");
}

TEST_F(FilterPanelTest, TheDateEditsTakeTypedDates) {
  TMainForm& f = StartWith(Rows());
  f.ToDateDBCheckBox->click();  // no date yet
  ASSERT_EQ(ErrorsShown().size(), 1u);
  EXPECT_EQ(ErrorsShown()[0].text, "Invalid variant type conversion");
  EXPECT_EQ(f.ToDateDBEdit->text(), "") << "an empty value shows empty";
  QTest::keyClick(f.ToDateDBEdit, Qt::Key_Up);
  EXPECT_EQ(f.ToDateDBEdit->text(), "") << "no stepping to some earliest date";
  QTest::keyClicks(f.ToDateDBEdit, "1 Aug 2002");
  EXPECT_EQ(f.ToDateDBEdit->text(), "1 Aug 2002") << "typed as it stands, blanks included";
  f.ToDateDBEdit->clear();

  // 15 August 2002 as the user's short date: 10:00 that day is past it, midnight is not.
  f.ToDateDBEdit->setText(QDate(2002, 8, 15).toString(f.ToDateDBEdit->displayFormat()));
  Leave(f.ToDateDBEdit);
  EXPECT_EQ(ShownIds(), (Ids{1, 3}));
  EXPECT_EQ(Dm().Transaction->Filter(), "DATE <= 37483");

  // YYYY-MM-DD, and the field shows it in the short format once left.
  f.ToDateDBEdit->setText("2002-08-14");
  Leave(f.ToDateDBEdit);
  EXPECT_EQ(ShownIds(), (Ids{3}));
  EXPECT_EQ(f.ToDateDBEdit->date(), QDate(2002, 8, 14));
  EXPECT_EQ(f.ToDateDBEdit->text(), QDate(2002, 8, 14).toString(f.ToDateDBEdit->displayFormat()));

  // Text that is no date is refused, with its error; nothing is stored or filtered.
  const std::size_t before = ErrorsShown().size();
  f.ToDateDBEdit->setText("1 Aug x");
  Leave(f.ToDateDBEdit);
  ASSERT_EQ(ErrorsShown().size(), before + 1);
  EXPECT_EQ(ErrorsShown().back().text, "'1 Aug x' is not a valid date");
  EXPECT_EQ(f.ToDateDBEdit->text(), "1 Aug x") << "kept for mending";
  EXPECT_EQ(Dm().AllFiltersDATE_TO->AsDateTime(), 37482.0);
  EXPECT_EQ(ShownIds(), (Ids{3}));

  // Emptied: the stored value is empty, and the condition cannot be converted.
  f.ToDateDBEdit->setText("");
  Leave(f.ToDateDBEdit);
  EXPECT_TRUE(Dm().AllFiltersDATE_TO->IsNull());
  EXPECT_EQ(ErrorsShown().back().text, "Invalid variant type conversion");
}

TEST_F(FilterPanelTest, ANonDateKeepsTheFocus) {
  TMainForm& f = StartWith(Rows());
  f.MainPageControl->setCurrentWidget(f.TransactionsTabSheet);
  f.activateWindow();
  QApplication::setActiveWindow(&f);
  f.FromDateDBEdit->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  if (!f.FromDateDBEdit->hasFocus()) GTEST_SKIP() << "the platform gives no focus";
  f.FromDateDBEdit->setText("32.13.2002");
  f.AccToDBLookupComboBox->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(ErrorsShown().size(), 1u);
  EXPECT_EQ(ErrorsShown()[0].text, "'32.13.2002' is not a valid date");
  EXPECT_TRUE(f.FromDateDBEdit->hasFocus()) << "refused to be left";
  EXPECT_TRUE(Dm().AllFiltersDATE_FROM->IsNull());
  // Mended, it can be left.
  f.FromDateDBEdit->setText("2002-08-01");
  f.AccToDBLookupComboBox->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_FALSE(f.FromDateDBEdit->hasFocus());
  EXPECT_EQ(Dm().AllFiltersDATE_FROM->AsDateTime(), 37469.0);
  EXPECT_EQ(ErrorsShown().size(), 1u);
}

TEST_F(FilterPanelTest, DateParsingForms) {
  const struct {
    const char* text;
    const char* format;
    QDate date;
  } cases[] = {
      {"01.08.2002", "dd.MM.yyyy", QDate(2002, 8, 1)}, {"1.8.2002", "dd.MM.yyyy", QDate(2002, 8, 1)},
      {"1.8.02", "dd.MM.yyyy", QDate(2002, 8, 1)},     {"1.8.97", "dd.MM.yyyy", QDate(1997, 8, 1)},
      {"8/1/2002", "M/d/yyyy", QDate(2002, 8, 1)},     {"2002-08-01", "dd.MM.yyyy", QDate(2002, 8, 1)},
      {" 2002-08-01 ", "M/d/yyyy", QDate(2002, 8, 1)}, {"31.02.2002", "dd.MM.yyyy", QDate()},
      {"tomorrow", "dd.MM.yyyy", QDate()},             {"", "dd.MM.yyyy", QDate()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TDBDateEdit::parseDate(QString::fromUtf8(c.text), QString::fromUtf8(c.format)), c.date);
  }
}

// ---------------------------------------------------------------- the report

class ReportTest : public FilterPanelTest {
 protected:
  // Answers the save dialog with a file and a type (0 text, 1 comma-separated).
  void Answer(const std::string& path, int type) {
    dialogs_.fileDialog = [path, type](QFileDialog& d) {
      d.selectNameFilter(d.nameFilters().value(type));
      d.selectFile(QString::fromStdString(path));
      return true;
    };
  }
  // Only these columns visible, in this order.
  void ShowColumns(std::initializer_list<const char*> fields) {
    TKADaoDBGrid* g = Form().TransactionsKADaoDBGrid;
    for (int i = 0; i < g->ColumnCount(); ++i) g->SetColumnVisible(i, false);
    int to = 0;
    for (const char* field : fields) {
      g->MoveColumn(g->ColumnIndex(field), to++);
      g->SetColumnVisible(g->ColumnIndex(field), true);
    }
  }
  std::string Title(const char* field) {
    TKADaoDBGrid* g = Form().TransactionsKADaoDBGrid;
    return g->ColumnTitle(g->ColumnIndex(field)).toStdString();
  }
  std::string Footer(bool text) {
    const TMainForm& f = Form();
    const std::string a = f.TransactionsTotalLabel->text().toStdString(), b = Total().toStdString(),
                      c = f.TransactionsTotalCurrencyDBLookupComboBox->currentText().toStdString();
    return text ? "\r\n\r\n" + a + " " + b + " " + c + "\r\n" : "\r\n\r\n\"" + a + "\",\"" + b + "\",\"" + c + "\"\r\n";
  }
};

TEST_F(ReportTest, TextLayoutWithFilterLinesAndFooter) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET ACC_TO_ENABLED = 1, ACC_TO_ID = 10, DATE_FROM = 37469, "
                                    "DATE_FROM_ENABLED = 1, FBILLABLE = 1;");
  ASSERT_EQ(ShownIds(), (Ids{2}));
  // The columns of the conditions in force are hidden, and stay out of the report.
  EXPECT_FALSE(Visible("AccountToName"));
  EXPECT_FALSE(Visible("FBILLABLE"));
  ShowColumns({"NOTES", "AMOUNT"});
  const std::string path = home_->file("report.txt");
  Answer(path, 0);
  f.Exportreport1->trigger();
  ASSERT_TRUE(ErrorsShown().empty());
  const std::string from = f.FromDateDBEdit->text().toStdString();
  EXPECT_EQ(from, QDate(2002, 8, 1).toString(f.FromDateDBEdit->displayFormat()).toStdString());
  const std::string expected = "\t" + Title("NOTES") + ";\t" + Title("AMOUNT") + ";\r\n\r\n" +  //
                               "\ttwo\r\nlines;\t50;\r\n" +                                      //
                               "\r\n\r\n" +                                                       //
                               f.FromDateDBCheckBox->text().toStdString() + ": " + from + "\r\n" +
                               Title("AccountToName") + ": Wallet\r\n" +  //
                               Title("FBILLABLE") + ": " + f.BillableComboBox->currentText().toStdString() + "\r\n" +
                               Footer(true);
  EXPECT_EQ(ReadFileBytes(path), expected);
  EXPECT_EQ(f.StatusText().toStdString(), text::message(text::MsgReportExported) + path + "\"");
  EXPECT_EQ(Dm().Transaction->RecNo(), Dm().Transaction->RecordCount() - 1) << "left on the last row";
  EXPECT_FALSE(Dm().Transaction->BatchMode());
  // The filter state was stored.
  EXPECT_EQ(Dm().AllFilters->state(), TKADaoTable::State::Browse);

  // The dialog, made on first use, with its designed settings.
  const QFileDialog* d = f.ReportSaveDialog;
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->isVisible());
  EXPECT_FALSE(d->windowTitle().isEmpty());
  EXPECT_EQ(d->nameFilters().size(), 2);
  EXPECT_EQ(d->defaultSuffix(), "txt");
  EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(d->isSizeGripEnabled());
}

TEST_F(ReportTest, CommaSeparatedTypeWinsOverATxtName) {
  TMainForm& f = StartWith(Rows());
  ShowColumns({"AccountToName", "NOTES"});
  const std::string path = home_->file("named.txt");
  Answer(path, 1);
  f.Exportreport1->trigger();
  ASSERT_TRUE(ErrorsShown().empty());
  // Values between quotes unchanged, line breaks inside them as CR LF, a comma after each cell.
  const std::string expected = "\"" + Title("AccountToName") + "\",\"" + Title("NOTES") + "\",\r\n\r\n" +
                               "\"Wallet\",\"plain\",\r\n" +                                           //
                               "\"Wallet\",\"two\r\nlines\",\r\n" +                                    //
                               "\"" + kBankText.toStdString() + "\",\"say \"hi\"\r\nbye\",\r\n" +  //
                               "\r\n\r\n" + Footer(false);
  EXPECT_EQ(ReadFileBytes(path), expected);
  // The dialog keeps the chosen type for the next export.
  EXPECT_EQ(f.ReportSaveDialog->nameFilters().indexOf(f.ReportSaveDialog->selectedNameFilter()), 1);
}

TEST_F(ReportTest, NoRowsShownGivesHeaderFilterLinesAndFooter) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET FCLEARED = 2, CURRENCY_ENABLED = 1, CURRENCY_ID = 2;");
  ASSERT_EQ(ShownIds(), Ids{});
  ShowColumns({"AMOUNT"});
  const std::string path = home_->file("empty.csv");
  Answer(path, 1);
  f.Exportreport1->trigger();
  const std::string expected = "\"" + Title("AMOUNT") + "\",\r\n\r\n\r\n\r\n" +  //
                               "\"" + Title("CurrencyName") + ":\",\"EUR\"\r\n" +  //
                               "\"" + Title("FCLEARED") + ":\",\"" + f.ClearedComboBox->currentText().toStdString() +
                               "\"\r\n" + Footer(false);
  EXPECT_EQ(ReadFileBytes(path), expected);
  EXPECT_EQ(Footer(false), "\r\n\r\n\"" + f.TransactionsTotalLabel->text().toStdString() + "\",\"0.00\",\"USD\"\r\n");
}

TEST_F(ReportTest, CancelledOrUnwritableWritesNothing) {
  TMainForm& f = StartWith(Rows());
  const QString status = f.StatusText();
  dialogs_.fileDialog = [](QFileDialog&) { return false; };
  f.Exportreport1->trigger();
  EXPECT_EQ(f.StatusText(), status);
  EXPECT_TRUE(ErrorsShown().empty());

  Dm().Transaction->Last();
  const std::string path = home_->file("no/such/folder/report.txt");
  Answer(path, 0);
  f.Exportreport1->trigger();
  const auto errors = ErrorsShown();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text, text::message(text::MsgReportError));
  EXPECT_EQ(errors[0].caption, text::message(text::MsgErrorCaption));
  EXPECT_EQ(f.StatusText().toStdString(), text::message(text::MsgReportError));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(Dm().Transaction->RecNo(), 2) << "the view is not touched";
}

TEST_F(ReportTest, ADateBeingTypedIsStoredOrStopsTheReport) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET DATE_FROM_ENABLED = 1, DATE_FROM = 37000;");
  const std::string path = home_->file("typed.txt");
  Answer(path, 0);
  f.FromDateDBEdit->setText("no date");
  f.Exportreport1->trigger();
  ASSERT_EQ(ErrorsShown().size(), 1u);
  EXPECT_EQ(ErrorsShown()[0].text, "'no date' is not a valid date");
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(dialogs_.calls.size(), 1u) << "no dialog asked";

  f.FromDateDBEdit->setText("2002-08-01");
  f.Exportreport1->trigger();
  EXPECT_EQ(ErrorsShown().size(), 1u);
  EXPECT_EQ(Dm().AllFiltersDATE_FROM->AsDateTime(), 37469.0);
  EXPECT_EQ(Dm().AllFilters->state(), TKADaoTable::State::Browse) << "posted";
  const std::string report = ReadFileBytes(path);
  EXPECT_NE(report.find(f.FromDateDBCheckBox->text().toStdString() + ": " + f.FromDateDBEdit->text().toStdString() +
                        "\r\n"),
            std::string::npos);
  // The next export offers the last file and type.
  EXPECT_EQ(f.ReportSaveDialog->selectedFiles().value(0).toStdString(), path);
}

// The report without the window (quillet-cli's) gives the window's rows and total for the
// same stored state and the designed columns.
TEST_F(ReportTest, StandaloneReportHasTheWindowsBodyAndTotal) {
  TMainForm& f = StartWith(Rows() + "UPDATE _AllFilters SET ACC_TO_ENABLED = 1, ACC_TO_ID = 10, DATE_TO = 37483.5, "
                                    "DATE_TO_ENABLED = 1, BALANCE_CURRENCY = 2;");
  ASSERT_EQ(ShownIds(), (Ids{1, 2}));
  const std::string window = home_->file("window.txt");
  Answer(window, 0);
  f.Exportreport1->trigger();
  ASSERT_TRUE(ErrorsShown().empty());

  const std::string standalone = home_->file("standalone.txt");
  {
    std::FILE* out = std::fopen(standalone.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    analysis::ReportWriter writer(out, analysis::ReportLayout::Text);
    analysis::ApplyFilter(*Dm().Transaction, analysis::FilterExpression(analysis::StoredFilterState(Dm())));
    analysis::WriteStandaloneReport(writer, Dm(), analysis::StoredFilterState(Dm()), 2, f.formats());
    std::fclose(out);
  }
  // The rows: from the end of the header line to the filter lines (titles may be translated).
  auto body = [](const std::string& report) {
    const std::size_t from = report.find("\r\n\r\n");
    const std::size_t to = report.find("\r\n\r\n\r\n", from + 4);
    return report.substr(from, to == std::string::npos ? to : to - from);
  };
  const std::string w = ReadFileBytes(window), s = ReadFileBytes(standalone);
  EXPECT_EQ(body(w), body(s));
  EXPECT_NE(body(w).find("\tUSD;"), std::string::npos) << w;
  EXPECT_EQ(std::count(w.begin(), w.end(), '\n'), std::count(s.begin(), s.end(), '\n'));
  EXPECT_EQ(Total(), "100.00");  // 100 x 1 / 2 + 50
  EXPECT_NE(s.find(" 100.00 EUR\r\n"), std::string::npos) << s;
}

// The window's designed transaction grid is what a report without the window writes.
TEST_F(ReportTest, DesignedColumnsMatchTheStandaloneTable) {
  Start();
  TKADaoDBGrid* g = Form().TransactionsKADaoDBGrid;
  const auto& table = analysis::DesignedTransactionColumns();
  ASSERT_EQ(static_cast<std::size_t>(g->ColumnCount()), table.size());
  const ColumnLayout designed = *DecodeColumnLayout(Form().DefaultColumnLayout);
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(designed[i].fieldName, table[i].fieldName);
    EXPECT_EQ(DesignedText("TransactionsKADaoDBGrid", TextRole::ColumnTitle, table[i].fieldName).toStdString(),
              table[i].title);
  }
  EXPECT_EQ(DesignedText("FromDateDBCheckBox", TextRole::Caption).toStdString(), analysis::kFromCaption);
  EXPECT_EQ(DesignedText("ToDateDBCheckBox", TextRole::Caption).toStdString(), analysis::kToCaption);
  EXPECT_EQ(DesignedText("TransactionsTotalLabel", TextRole::Caption).toStdString(), analysis::kTotalCaption);
  const QStringList yesNo = DesignedText("ReceiptComboBox", TextRole::Items).split(u'\n');
  ASSERT_EQ(yesNo.size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(yesNo[i].toStdString(), analysis::kYesNoTexts[static_cast<std::size_t>(i)]);
}

}  // namespace
}  // namespace quillet::app::testing
