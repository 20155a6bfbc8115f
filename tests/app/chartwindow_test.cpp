// The chart window: opened from the View menu, it follows every filter refresh while shown
// and nothing while closed, survives a filter that shows nothing, exports PNG and SVG, and
// keeps its grouping and geometry after the twelve settings.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>

#include "analysis/report.h"
#include "app/chartwindow.h"
#include "app/dbcontrols.h"
#include "app_fixture.h"
#include "text/messages.h"

namespace quillet::app::testing {
namespace {

const QString kBankText = QString::fromUtf8("\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA");  // "Банк"
const QString kNone = QString::fromUtf8("\xE2\x80\x94");

// Wallet: 100 USD and 50 EUR (rate 2); Банк: 10 EUR at own rate 0.5, in category 5;
// account 12 is not in its table. 15 August 2002 is day 37483.
constexpr const char* kRows =
    "INSERT INTO Currency VALUES (1, 'USD', 1.0), (2, 'EUR', 2.0);"
    "INSERT INTO Category1 VALUES (5, 'Food');"
    "INSERT INTO Account VALUES (10, 0, 1, 1, 1, 'Wallet', NULL), (11, 0, 1, 1, 1, CAST(X'C1E0EDEA' AS TEXT), NULL);"
    "INSERT INTO [Transaction] (ID, ACC_TO_ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, FOWNCURRENCY, CATEGORY1_ID, DATE)"
    " VALUES (1, 10, 100, 1, NULL, 0, NULL, 37483), (2, 10, 50, 2, NULL, 0, NULL, 37483.4),"
    " (3, 11, 10, 2, 0.5, 1, 5, 37452), (4, 12, 7, 1, NULL, 0, NULL, 37452);"
    "INSERT INTO _AllFilters (BALANCE_CURRENCY) VALUES (1);";

class ChartWindowTest : public AppTest {
 protected:
  void TearDown() override {
    AppTest::TearDown();
    text::applyEnglishMessages();
  }
  ChartWindow& Open() {
    Form().Charts1->trigger();
    QApplication::processEvents();
    EXPECT_NE(Form().ChartWindow1, nullptr);
    return *Form().ChartWindow1;
  }
  static std::vector<double> Values(const ChartWindow& w) {
    std::vector<double> v;
    for (const analysis::Group& g : w.shownGroups()) v.push_back(g.amount);
    return v;
  }
  static void Pick(TDBLookupComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
  }
  std::size_t ErrorCount() const {
    std::size_t n = 0;
    for (const DialogCall& c : dialogs_.calls) n += c.kind == DialogCall::Error;
    return n;
  }
};

TEST_F(ChartWindowTest, TheViewMenuOpensANonModalWindowWithAFreeShortcut) {
  MakeStore(kRows);
  Start();
  QAction* charts = Form().Charts1;
  ASSERT_NE(charts, nullptr);
  EXPECT_TRUE(Form().View1->actions().contains(charts));
  EXPECT_EQ(charts->text(), ChartsCommandText());
  ASSERT_FALSE(charts->shortcut().isEmpty());
  // No other command of the window, and no menu title's access key, has its keys.
  for (QAction* a : Form().findChildren<QAction*>()) {
    if (a == charts) continue;
    EXPECT_NE(a->shortcut(), charts->shortcut()) << a->objectName().toStdString();
  }
  for (QAction* m : Form().MainMenu->actions()) {
    const QKeySequence access = QKeySequence::mnemonic(m->text());
    EXPECT_NE(access, charts->shortcut()) << m->text().toStdString();
  }
  EXPECT_EQ(Form().ChartWindow1, nullptr) << "made only when first opened";

  ChartWindow& w = Open();
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.isWindow());
  EXPECT_EQ(w.windowModality(), Qt::NonModal);
  EXPECT_EQ(w.windowTitle(), ChartsCommandText());
  // Month is the first grouping: months ascending.
  EXPECT_EQ(w.axisLabels(), (QStringList{"2002-07", "2002-08"}));
  EXPECT_EQ(Values(w), (std::vector<double>{12, 200}));
  EXPECT_TRUE(w.axisTitle().contains("USD"));
  Form().Charts1->trigger();  // once more: the same window
  EXPECT_EQ(Form().findChildren<ChartWindow*>().size(), 1);
}

TEST_F(ChartWindowTest, FollowsEveryRefreshWhileShownAndNothingWhileClosed) {
  MakeStore(kRows);
  Start();
  TMainForm& f = Form();
  ChartWindow& w = Open();
  w.setGrouping(analysis::Grouping::AccountTo);
  EXPECT_EQ(w.axisLabels(), (QStringList{"Wallet", kNone, kBankText}));
  EXPECT_EQ(Values(w), (std::vector<double>{200, 7, 5}));

  // The panel's refresh: to the bank only.
  Pick(f.AccToDBLookupComboBox, kBankText);
  f.AccToDBCheckBox->click();
  EXPECT_EQ(w.axisLabels(), (QStringList{kBankText}));
  EXPECT_EQ(Values(w), (std::vector<double>{5}));

  // The total's currency: EUR, 10 x 0.5 / 2.
  Pick(f.TransactionsTotalCurrencyDBLookupComboBox, "EUR");
  f.AccToDBCheckBoxClick();
  EXPECT_EQ(Values(w), (std::vector<double>{2.5}));
  EXPECT_TRUE(w.axisTitle().contains("EUR"));

  // Closed, it reads nothing; shown again, it catches up.
  w.close();
  f.AccToDBCheckBox->click();  // the condition off: everything
  EXPECT_EQ(w.axisLabels(), (QStringList{kBankText}));
  Open();
  EXPECT_EQ(w.axisLabels().size(), 3);
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(ChartWindowTest, WhileShownOneReadingGivesTheTotalAsBalanceTotalDoes) {
  MakeStore(kRows);
  Start();
  TMainForm& f = Form();
  ChartWindow& w = Open();
  auto expectTotal = [&](const char* step) {
    SCOPED_TRACE(step);
    EXPECT_EQ(f.TransactionsTotalEdit->text().toStdString(), analysis::TotalText(Dm().BalanceTotal()));
    double sum = 0;
    for (double v : Values(w)) sum += v;
    EXPECT_NEAR(f.TransactionsTotalEdit->text().toDouble(), sum, 0.01);
  };
  f.AccToDBCheckBoxClick();
  expectTotal("everything");
  Pick(f.AccToDBLookupComboBox, kBankText);
  f.AccToDBCheckBox->click();
  expectTotal("to the bank");
  Pick(f.TransactionsTotalCurrencyDBLookupComboBox, "EUR");
  f.AccToDBCheckBoxClick();
  expectTotal("to the bank, in EUR");
  f.AccToDBCheckBox->click();
  expectTotal("everything, in EUR");
  EXPECT_NE(f.TransactionsTotalEdit->text(), "0.00");
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(ChartWindowTest, AFilterThatShowsNothingGivesAnEmptyChartWithALine) {
  MakeStore(kRows);
  Start();
  TMainForm& f = Form();
  ChartWindow& w = Open();
  EXPECT_FALSE(w.chartIsEmpty());
  EXPECT_TRUE(w.statusLine().isEmpty());
  for (int g = 0; g < analysis::kGroupingCount; ++g) {
    w.setGrouping(static_cast<analysis::Grouping>(g));
    // Account 11 in category 5 shows one row; category 5 with account 10 shows none.
    Pick(f.Category1DBLookupComboBox, "Food");
    f.Category1DBCheckBox->setChecked(true);
    Pick(f.AccToDBLookupComboBox, "Wallet");
    f.AccToDBCheckBox->setChecked(true);
    f.AccToDBCheckBoxClick();
    EXPECT_TRUE(Dm().Transaction->IsEmpty());
    EXPECT_TRUE(w.chartIsEmpty()) << g;
    EXPECT_TRUE(w.axisLabels().isEmpty());
    EXPECT_EQ(w.statusLine(), ChartsEmptyText());
    f.AccToDBCheckBox->setChecked(false);
    f.AccToDBCheckBoxClick();
    EXPECT_FALSE(w.chartIsEmpty()) << g;
    EXPECT_TRUE(w.statusLine().isEmpty());
    f.Category1DBCheckBox->setChecked(false);
  }
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(ChartWindowTest, ManyGroupsShowTheLargestTwentyAndTheRest) {
  std::string sql = "INSERT INTO Currency VALUES (1, 'USD', 1.0);";
  sql += "INSERT INTO _AllFilters (BALANCE_CURRENCY) VALUES (1);";
  for (int i = 1; i <= 30; ++i) {
    sql += "INSERT INTO Category2 VALUES (" + std::to_string(i) + ", 'c" + std::to_string(i) + "');";
    sql += "INSERT INTO [Transaction] (ID, AMOUNT, CURRENCY_ID, FOWNCURRENCY, CATEGORY2_ID, DATE) VALUES (" +
           std::to_string(i) + ", " + std::to_string(i) + ", 1, 0, " + std::to_string(i) + ", " +
           std::to_string(30000 + 31 * i) + ");";
  }
  MakeStore(sql);
  Start();
  ChartWindow& w = Open();
  EXPECT_EQ(w.axisLabels().size(), 30) << "months keep every group";
  w.setGrouping(analysis::Grouping::Category2);
  const QStringList names = w.axisLabels();
  ASSERT_EQ(names.size(), 21);
  EXPECT_EQ(names.front(), "c30");
  EXPECT_EQ(names[19], "c11");
  EXPECT_EQ(names.back(), ChartsOtherText());
  EXPECT_EQ(w.shownGroups().back().amount, 55.0);  // 1 + 2 + ... + 10
}

TEST_F(ChartWindowTest, DecadesOfMonthsAreLabelledByYear) {
  // One transaction in the middle of every month from January 1990 (day 32874) on.
  auto rows = [](int months) {
    std::string sql =
        "BEGIN; INSERT INTO Currency VALUES (1, 'USD', 1.0); INSERT INTO _AllFilters (BALANCE_CURRENCY) VALUES (1);";
    for (int i = 0; i < months; ++i)
      sql += "INSERT INTO [Transaction] (ID, AMOUNT, CURRENCY_ID, FOWNCURRENCY, DATE) VALUES (" + std::to_string(i) +
             ", 1, 1, 0, " + std::to_string(32874 + static_cast<int>(i * 30.436875) + 14) + ");";
    return sql + "COMMIT;";
  };
  const struct {
    int months;
    QStringList labels;
  } cases[] = {
      {36, {}},  // every month named
      {120, {"1990", "1991", "1992", "1993", "1994", "1995", "1996", "1997", "1998", "1999"}},
      {900, {}},  // 75 years: runs of 4 years, at most 20 labels
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.months);
    MakeStore(rows(c.months));
    Start();
    ChartWindow& w = Open();
    ASSERT_EQ(w.shownGroups().size(), static_cast<std::size_t>(c.months)) << "every month is a bar";
    const QStringList labels = w.axisLabels();
    if (c.months == 36) {
      EXPECT_EQ(labels.size(), 36);
      EXPECT_EQ(labels.front(), "1990-01");
      EXPECT_EQ(labels.back(), "1992-12");
    } else if (c.months == 120) {
      EXPECT_EQ(labels, c.labels);
    } else {
      EXPECT_EQ(labels.size(), 20);
      EXPECT_EQ(labels.front(), "1988");  // the run 1988..1991 holds 1990 and 1991
      EXPECT_EQ(labels[1], "1992");
      EXPECT_EQ(labels.back(), "2064");
    }
    Stop();
    std::filesystem::remove(StorePath());
  }
}

TEST_F(ChartWindowTest, ExportsPngAndSvg) {
  MakeStore(kRows);
  Start();
  ChartWindow& w = Open();
  const struct {
    int type;
    const char* name;
  } cases[] = {{0, "chart.png"}, {1, "chart.svg"}};
  for (const auto& c : cases) {
    const std::string path = home_->file(c.name);
    dialogs_.fileDialog = [path, type = c.type](QFileDialog& d) {
      d.selectNameFilter(d.nameFilters().value(type));
      d.selectFile(QString::fromStdString(path));
      return true;
    };
    w.ExportButton->click();
    ASSERT_TRUE(FileExists(path)) << c.name;
    const std::string bytes = ReadFileBytes(path);
    if (c.type == 0) {
      QImage image;
      ASSERT_TRUE(image.loadFromData(QByteArray::fromStdString(bytes), "PNG"));
      EXPECT_EQ(image.size(), w.ChartView->grab().size());
    } else {
      EXPECT_NE(bytes.find("<svg"), std::string::npos);
      EXPECT_NE(bytes.find("</svg>"), std::string::npos);
    }
  }
  // A folder that cannot be written: an error box, nothing else.
  const std::string bad = home_->file("missing/chart.png");
  dialogs_.fileDialog = [bad](QFileDialog& d) {
    d.selectNameFilter(d.nameFilters().value(0));
    d.selectFile(QString::fromStdString(bad));
    return true;
  };
  w.ExportButton->click();
  EXPECT_FALSE(FileExists(bad));
  ASSERT_EQ(ErrorCount(), 1u);
  EXPECT_EQ(dialogs_.calls.back().caption, text::message(text::MsgErrorCaption));
}

TEST_F(ChartWindowTest, KeepsGroupingAndGeometryAfterTheTwelveSettings) {
  MakeStore(kRows);
  Start();
  ChartWindow& w = Open();
  w.setGrouping(analysis::Grouping::Currency);
  w.setGeometry(40, 50, 500, 300);
  w.close();
  Stop();
  SettingsKey::Values stored = StoredValues();
  ASSERT_TRUE(stored.count(setting::kChartGrouping));
  EXPECT_EQ(stored[setting::kChartGrouping].kind, ValueKind::Dword);
  EXPECT_EQ(stored[setting::kChartGrouping].dword, static_cast<std::uint32_t>(analysis::Grouping::Currency));
  EXPECT_EQ(stored[setting::kChartGeometry].kind, ValueKind::Binary);
  for (const char* name : {setting::kExchangeType, setting::kActivePage, setting::kTransactionColumns})
    EXPECT_TRUE(stored.count(name)) << name;

  Start();
  ChartWindow& again = Open();
  EXPECT_EQ(again.grouping(), analysis::Grouping::Currency);
  EXPECT_EQ(again.size(), QSize(500, 300));
  Stop();

  // Values out of range or malformed keep the defaults.
  stored[setting::kChartGrouping] = Dword(99);
  stored[setting::kChartGeometry] = Binary(std::vector<std::uint8_t>(64, 0xAB));
  WriteSettings(stored);
  Start();
  EXPECT_EQ(Open().grouping(), analysis::Grouping::Month);
  stored[setting::kChartGrouping] = Sz("3");
  stored[setting::kChartGeometry] = Binary(std::vector<std::uint8_t>(kChartGeometryMaxSize + 1, 0));
  Stop();
  WriteSettings(stored);
  Start();
  EXPECT_EQ(Open().grouping(), analysis::Grouping::Month);
}

TEST_F(ChartWindowTest, TextsFollowTheMessageSet) {
  MakeStore(kRows);
  Start();
  text::applyEnglishMessages();
  const QString english = ChartsCommandText();
  ChartWindow& w = Open();
  text::applyRussianMessages();
  const QString russian = ChartsCommandText();
  EXPECT_NE(russian, english);
  Form().AccToDBCheckBoxClick();
  EXPECT_EQ(w.windowTitle(), russian);
  emit Form().View1->aboutToShow();
  EXPECT_EQ(Form().Charts1->text(), russian);
  text::applyEnglishMessages();
  EXPECT_EQ(ChartsCommandText(), english);
  text::applyRussianMessages();  // the set the window runs with
}

}  // namespace
}  // namespace quillet::app::testing
