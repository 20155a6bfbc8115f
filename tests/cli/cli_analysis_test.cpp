// quillet-cli total and report against a store filled from a handheld folder: the same
// total and report as the window, the filter options, and the store left byte for byte.
#include <sqlite3.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_runner.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

using Result = testing::CliResult;
using testing::readText;

// "Банк" in the handheld's code page, and in UTF-8.
const std::string kBank = "\xC1\xE0\xED\xEA";
const std::string kBankUtf8 = "\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA";
// "Рубль".
const std::string kRouble = "\xD0\xF3\xE1\xEB\xFC";
const std::string kRoubleUtf8 = "\xD0\xA0\xD1\x83\xD0\xB1\xD0\xBB\xD1\x8C";

fixture::TransactionRow tx(std::int32_t id, std::int32_t accTo, float amount, std::int32_t currency,
                           std::uint16_t day, std::uint16_t hour, std::uint8_t billable, std::string notes) {
  fixture::TransactionRow t;
  t.id = id;
  t.accToId = accTo;
  t.amount = amount;
  t.currencyId = currency;
  t.date = {0, 0, hour, day, 8, 2002, 0};
  t.billable = billable;
  t.notes = std::move(notes);
  return t;
}

class CliAnalysisTest : public ::testing::Test {
 protected:
  fixture::TempDir home;
  std::string store = home.file("Quillet.mdb");

  void SetUp() override {
    fixture::HandheldData d;
    d.currencies = {{1, 1.0f, "USD"}, {2, 2.0f, "EUR"}, {4, 4.0f, kRouble}};
    d.accounts = {{.id = 10, .currencyId = 1, .name = "Wallet", .notes = ""},
                  {.id = 11, .currencyId = 1, .name = kBank, .notes = ""}};
    d.category1 = {{5, "Food"}};
    d.customNames = {"Projects", "Kind", "Place", "Who"};
    d.transactions = {tx(1, 10, 100.0f, 1, 15, 0, 1, "plain"), tx(2, 10, 50.0f, 2, 15, 10, 0, "two\nlines"),
                      tx(3, 11, 10.0f, 2, 14, 0, 0, "say \"hi\"\nbye")};
    d.transactions[2].ownRate = 0.5f;
    d.transactions[2].ownCurrency = 1;
    d.transactions[2].category1Id = 5;
    const std::string folder = home.makeDir("handheld");
    fixture::writeHandheldFolder(folder, d);
    const Result r = run({"import", folder, "--db", store});
    ASSERT_EQ(r.exit, 0) << r.err;
  }

  void sql(const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  Result run(const std::vector<std::string>& args) { return testing::runCli(args, testing::CliRun(home.path())); }

  // Runs a read-only command and checks that the store kept every byte.
  Result runReadOnly(std::vector<std::string> args) {
    args.push_back("--db");
    args.push_back(store);
    const fixture::Bytes before = fixture::readFileBytes(store);
    Result r = run(args);
    EXPECT_EQ(fixture::readFileBytes(store), before) << "store changed by " << args[0];
    EXPECT_FALSE(fs::exists(store + "-journal"));
    return r;
  }
};

TEST_F(CliAnalysisTest, TotalWithFilterOptions) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"--total-currency", "1"}, "205.00 USD\n"},  // 100 + 50 x 2 + 10 x 0.5
      {{"--total-currency", "4"}, "51.25 " + kRoubleUtf8 + "\n"},  // 100 / 4 + 50 x 2 / 4 + 10 x 0.5 / 4
      {{"--total-currency", "2"}, "102.50 EUR\n"},
      {{"--total-currency", "1", "--account-to", "10"}, "200.00 USD\n"},
      {{"--total-currency", "1", "--billable", "no"}, "105.00 USD\n"},
      {{"--total-currency", "1", "--billable", "yes"}, "100.00 USD\n"},
      {{"--total-currency", "1", "--to", "2002-08-15"}, "105.00 USD\n"},  // 10:00 is past the day's start
      {{"--total-currency", "1", "--to", "2002-08-15T10:00"}, "205.00 USD\n"},
      {{"--total-currency", "1", "--from", "2002-08-15T09:59:59"}, "100.00 USD\n"},
      {{"--total-currency", "1", "--category1", "5", "--currency", "2"}, "5.00 USD\n"},
      {{"--total-currency", "1", "--account-from", "10"}, "0.00 USD\n"},
      {{"--total-currency", "9"}, "0.00 \n"},  // no such currency
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"total"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(args.back());
    const Result r = runReadOnly(args);
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(CliAnalysisTest, TheSavedFilterStateAppliesWithoutOptions) {
  sql("UPDATE _AllFilters SET ACC_TO_ENABLED = 1, ACC_TO_ID = 11, BALANCE_CURRENCY = 2, FCLEARED = 7, "
      "CATEGORY2_ID = 3;");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{}, "2.50 EUR\n"},  // to the bank; a cleared value outside the list reads as "all"
      {{"--all"}, "102.50 EUR\n"},
      {{"--account-to", "10"}, "100.00 EUR\n"},
      {{"--total-currency", "1"}, "5.00 USD\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"total"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = runReadOnly(args);
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  // A saved condition without its value cannot be converted.
  sql("UPDATE _AllFilters SET CATEGORY3_ENABLED = 1;");
  const Result r = runReadOnly({"total"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err, "Invalid variant type conversion\n");
}

TEST_F(CliAnalysisTest, ReportInBothLayouts) {
  const std::string csv = home.file("report.txt");
  Result r = runReadOnly({"report", csv, "--csv", "--total-currency", "1", "--account-to", "11"});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "Exporting report...\nReport is succesfully exported to \"" + csv + "\"\n");
  // The designed columns without the filtered "To account", custom category names as titles.
  const std::string header =
      "\"Income\",\"Date/Time\",\"From account\",\"Amount\",\"Currency\",\"Notes\",\"Projects\",\"Kind\","
      "\"Place\",\"Who\",\"Is receipt\",\"Is billable\",\"Is cleared\",\"Mirror\",\"Balance\",\"Remind\","
      "\"Remind by\",\"Has own rate\",\"Own rate\",\r\n\r\n";
  const std::string row =
      "\"False\",\"14.08.2002\",\"\",\"10\",\"EUR\",\"say \"hi\"\r\nbye\",\"Food\",\"\",\"\",\"\",\"False\","
      "\"False\",\"False\",\"False\",\"\",\"False\",\"\",\"True\",\"0.5\",\r\n";
  EXPECT_EQ(readText(csv), header + row + "\r\n\r\n\"To account:\",\"" + kBankUtf8 +
                               "\"\r\n\r\n\r\n\"Total balance:\",\"5.00\",\"USD\"\r\n");

  const std::string text = home.file("report.csv");
  r = runReadOnly({"report", text, "--from", "2002-08-15", "--billable", "no", "--total-currency", "2"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const std::string expected =
      "\tIncome;\tDate/Time;\tTo account;\tFrom account;\tAmount;\tCurrency;\tNotes;\tProjects;\tKind;\tPlace;"
      "\tWho;\tIs receipt;\tIs cleared;\tMirror;\tBalance;\tRemind;\tRemind by;\tHas own rate;\tOwn rate;\r\n\r\n"
      "\tFalse;\t15.08.2002 10:00:00;\tWallet;\t;\t50;\tEUR;\ttwo\r\nlines;\t;\t;\t;\t;\tFalse;\tFalse;\tFalse;\t;"
      "\tFalse;\t;\tFalse;\t0;\r\n"
      "\r\n\r\n"
      "From: 15.08.2002\r\nIs billable: no\r\n"
      "\r\n\r\nTotal balance: 50.00 EUR\r\n";
  EXPECT_EQ(readText(text), expected);
}

TEST_F(CliAnalysisTest, NoRowsAndAReportThatCannotBeWritten) {
  const std::string path = home.file("none.txt");
  Result r = runReadOnly({"report", path, "--cleared", "yes", "--total-currency", "1"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const std::string text = readText(path);
  EXPECT_EQ(text.substr(text.find(";\tOwn rate;")), ";\tOwn rate;\r\n\r\n\r\n\r\nIs cleared: yes\r\n\r\n\r\nTotal balance: 0.00 USD\r\n");

  r = runReadOnly({"report", home.file("no/such/folder/r.txt")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err, "Error! Can't export report.\n");
}

TEST_F(CliAnalysisTest, BadValuesExitTwoNamingTheOption) {
  const struct {
    std::vector<std::string> args;
    const char* named;
  } cases[] = {
      {{"total", "--account-to", "x"}, "--account-to"},
      {{"total", "--category3", "99999999999"}, "--category3"},
      {{"total", "--from", "2002-13-01"}, "--from"},
      {{"total", "--to", "2002-8-1"}, "--to"},
      {{"total", "--to", "2002-08-01T25:00"}, "--to"},
      {{"total", "--receipt", "maybe"}, "--receipt"},
      {{"total", "--total-currency", ""}, "--total-currency"},
      {{"total", "--cleared"}, "--cleared"},
      {{"total", "--csv"}, "--csv"},
      {{"report"}, "no report file"},
      {{"report", "a.txt", "b.txt"}, "more than one"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    const Result r = runReadOnly(c.args);
    EXPECT_EQ(r.exit, 2);
    const std::string first = r.err.substr(0, r.err.find('\n'));
    EXPECT_NE(first.find(c.named), std::string::npos) << first;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(CliAnalysisTest, AMissingStoreIsNotCreated) {
  const std::string missing = home.file("nothing/here.mdb");
  const Result r = run({"total", "--db", missing});
  EXPECT_EQ(r.exit, 2);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(home.file("data/KorvellInc/QuilletDesktop/Quillet.mdb")));
}

}  // namespace
}  // namespace quillet
