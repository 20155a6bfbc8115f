// quillet-cli total --by: one "name<TAB>amount" line per group in the grouping's order,
// then the total line, from a store filled from a handheld folder and left byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet {
namespace {

using Result = testing::CliResult;

const std::string kBank = "\xC1\xE0\xED\xEA";               // "Банк", handheld code page
const std::string kBankUtf8 = "\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA";  // and in UTF-8
const std::string kNone = "\xE2\x80\x94";                   // "—"

class CliGroupsTest : public ::testing::Test {
 protected:
  fixture::TempDir home;
  std::string store = home.file("Quillet.mdb");

  static fixture::TransactionRow tx(std::int32_t id, std::int32_t accTo, float amount, std::int32_t currency,
                                    fixture::DateWords date) {
    fixture::TransactionRow t;
    t.id = id;
    t.accToId = accTo;
    t.amount = amount;
    t.currencyId = currency;
    t.date = date;
    return t;
  }

  // 1: Wallet, 100 USD, 15 Aug 00:00      2: Wallet, 50 EUR (rate 2), 15 Aug 10:00
  // 3: Bank, 10 EUR at own rate 0.5, Food, 14 Aug    4: account 12 (none), from Wallet, 7 USD,
  // 31 Jul 23:59:59.
  void SetUp() override {
    fixture::HandheldData d;
    d.currencies = {{1, 1.0f, "USD"}, {2, 2.0f, "EUR"}};
    d.accounts = {{.id = 10, .currencyId = 1, .name = "Wallet", .notes = ""},
                  {.id = 11, .currencyId = 1, .name = kBank, .notes = ""}};
    d.category1 = {{5, "Food"}};
    d.transactions = {tx(1, 10, 100.0f, 1, {0, 0, 0, 15, 8, 2002, 0}), tx(2, 10, 50.0f, 2, {0, 0, 10, 15, 8, 2002, 0}),
                      tx(3, 11, 10.0f, 2, {0, 0, 0, 14, 8, 2002, 0}), tx(4, 12, 7.0f, 1, {59, 59, 23, 31, 7, 2002, 0})};
    d.transactions[2].ownRate = 0.5f;
    d.transactions[2].ownCurrency = 1;
    d.transactions[2].category1Id = 5;
    d.transactions[3].accFromId = 10;
    const std::string folder = home.makeDir("handheld");
    fixture::writeHandheldFolder(folder, d);
    const Result r = run({"import", folder, "--db", store});
    ASSERT_EQ(r.exit, 0) << r.err;
  }

  Result run(const std::vector<std::string>& args) { return testing::runCli(args, testing::CliRun(home.path())); }

  Result totalBy(std::vector<std::string> args) {
    args.insert(args.begin(), "total");
    args.push_back("--db");
    args.push_back(store);
    const fixture::Bytes before = fixture::readFileBytes(store);
    Result r = run(args);
    EXPECT_EQ(fixture::readFileBytes(store), before) << "store changed";
    return r;
  }
};

TEST_F(CliGroupsTest, EveryGroupingPrintsItsGroupsThenTheTotal) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      // 23:59:59 on 31 July stays in July; months ascending whatever their amounts.
      {{"--by", "month", "--total-currency", "1"}, "2002-07\t7.00\n2002-08\t205.00\n212.00 USD\n"},
      {{"--by", "category1", "--total-currency", "1"}, kNone + "\t207.00\nFood\t5.00\n212.00 USD\n"},
      {{"--by", "category4", "--total-currency", "1"}, kNone + "\t212.00\n212.00 USD\n"},
      // Descending amounts; an account its table lacks is "—"; names decoded to UTF-8.
      {{"--by", "account-to", "--total-currency", "1"},
       "Wallet\t200.00\n" + kNone + "\t7.00\n" + kBankUtf8 + "\t5.00\n212.00 USD\n"},
      {{"--by", "account-from", "--total-currency", "1"}, kNone + "\t205.00\nWallet\t7.00\n212.00 USD\n"},
      {{"--by", "currency", "--total-currency", "1"}, "USD\t107.00\nEUR\t105.00\n212.00 USD\n"},
      // In EUR: 100 x 0.5, 50, 10 x 0.5 / 2, 7 x 0.5.
      {{"--by", "currency", "--total-currency", "2"}, "USD\t53.50\nEUR\t52.50\n106.00 EUR\n"},
      // The filter options narrow the groups as they narrow the total.
      {{"--account-to", "10", "--by", "month", "--total-currency", "1"}, "2002-08\t200.00\n200.00 USD\n"},
      {{"--by", "month", "--total-currency", "1", "--account-to", "99"}, "0.00 USD\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    const Result r = totalBy(c.args);
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(CliGroupsTest, BadGroupingsAreUsageErrors) {
  const struct {
    std::vector<std::string> args;
    const char* why;
  } cases[] = {
      {{"total", "--by"}, "--by needs a grouping"},
      {{"total", "--by", "week"}, "bad value for --by: 'week'"},
      {{"total", "--by", "Month"}, "bad value for --by: 'Month'"},
      {{"report", "r.txt", "--by", "month"}, "unknown option '--by' for report"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    // The store first: a trailing --by has no value.
    std::vector<std::string> args = {c.args[0], "--db", store};
    args.insert(args.end(), c.args.begin() + 1, c.args.end());
    const Result r = run(args);
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace quillet
