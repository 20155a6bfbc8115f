// Totals by group against sums worked out by hand, and against the single-precision total.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/filter.h"
#include "analysis/groups.h"
#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "tests/support/temp_store.h"

namespace quillet::analysis {
namespace {

using Kind = Group::Kind;

struct Expected {
  Kind kind;
  std::string name;
  double amount;
  std::size_t count;
};

// 1 August 2002 is day 37469; 1 September 2002 is day 37500.
// 1: 120 USD, Food, Wallet, 1 Aug 00:00:00          -> 120
// 2:  50 EUR (rate 2), Rent, Wallet, 31 Jul 23:59:59 -> 100
// 3:  10 EUR, own rate 0.5, no category, Bank, 15 Aug 12:00 -> 5
// 4:  30 USD, own rate 3, category 99 (not in its table), Bank, 1 Sep -> 90
constexpr const char* kRows =
    "INSERT INTO Currency VALUES (1, 'USD', 1.0), (2, 'EUR', 2.0), (3, 'Tiny', 0.0001);"
    "INSERT INTO Category1 VALUES (5, 'Food'), (6, 'Rent');"
    "INSERT INTO Account (ID, AMOUNT, CURRENCY_ID, FACTIVE, FTOTAL, NAME) VALUES"
    " (10, 0, 1, 1, 1, 'Wallet'), (11, 0, 1, 1, 1, 'Bank');"
    "INSERT INTO [Transaction] (ID, ACC_TO_ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, FOWNCURRENCY, CATEGORY1_ID, DATE)"
    " VALUES"
    " (1, 10, 120, 1, NULL, 0, 5, 37469),"
    " (2, 10, 50, 2, NULL, 0, 6, 37469 - 1.0 / 86400),"
    " (3, 11, 10, 2, 0.5, 1, NULL, 37483.5),"
    " (4, 11, 30, 1, 3, 1, 99, 37500);";

class GroupsTest : public ::testing::Test {
 protected:
  void fill(const std::string& sql) {
    dm().Database->exec(sql);
    for (int i = 0; i < 10; ++i) dm().DataView(i).Refresh();
  }
  TDM& dm() { return store.dm(); }
  void filter(const std::string& expression) { ApplyFilter(*dm().Transaction, expression); }

  static void expectGroups(const std::vector<Group>& actual, const std::vector<Expected>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE("group " + std::to_string(i));
      EXPECT_EQ(actual[i].kind, expected[i].kind);
      EXPECT_EQ(actual[i].name, expected[i].name);
      EXPECT_DOUBLE_EQ(actual[i].amount, expected[i].amount);
      EXPECT_EQ(actual[i].count, expected[i].count);
    }
  }

  fixture::TempStore store;
};

TEST_F(GroupsTest, WorkedExampleInEveryGrouping) {
  fill(kRows);
  filter("");
  const struct {
    Grouping grouping;
    std::vector<Expected> groups;
  } cases[] = {
      // The midnight boundary: 23:59:59 stays in July, 00:00:00 opens August.
      {Grouping::Month,
       {{Kind::Month, "2002-07", 100, 1}, {Kind::Month, "2002-08", 125, 2}, {Kind::Month, "2002-09", 90, 1}}},
      // No category and a category its table lacks are one group.
      {Grouping::Category1, {{Kind::Named, "Food", 120, 1}, {Kind::Named, "Rent", 100, 1}, {Kind::None, "", 95, 2}}},
      {Grouping::Category2, {{Kind::None, "", 315, 4}}},
      {Grouping::AccountTo, {{Kind::Named, "Wallet", 220, 2}, {Kind::Named, "Bank", 95, 2}}},
      {Grouping::AccountFrom, {{Kind::None, "", 315, 4}}},
      {Grouping::Currency, {{Kind::Named, "USD", 210, 2}, {Kind::Named, "EUR", 105, 2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(GroupingName(c.grouping));
    const GroupTotals totals = TotalsByGroup(dm(), 1, c.grouping);
    expectGroups(totals.groups, c.groups);
    EXPECT_EQ(totals.total, 315.0f);
    EXPECT_EQ(totals.transactions, 4u);
  }
}

TEST_F(GroupsTest, OtherChosenCurrencyAndUnusableRate) {
  fill(kRows);
  filter("");
  // In EUR (rate 2): 120 x 0.5 = 60, 50 as it is, 10 x 0.5 / 2 = 2.5, 30 x 3 / 2 = 45.
  GroupTotals eur = TotalsByGroup(dm(), 2, Grouping::AccountTo);
  expectGroups(eur.groups, {{Kind::Named, "Wallet", 110, 2}, {Kind::Named, "Bank", 47.5, 2}});
  EXPECT_EQ(eur.total, 157.5f);
  EXPECT_EQ(eur.total, BalanceTotalIn(dm(), 2));

  // A rate too small, or no such currency: the groups stay, every amount is 0.
  for (std::int32_t currency : {3, 42}) {
    SCOPED_TRACE(currency);
    const GroupTotals none = TotalsByGroup(dm(), currency, Grouping::AccountTo);
    expectGroups(none.groups, {{Kind::Named, "Bank", 0, 2}, {Kind::Named, "Wallet", 0, 2}});
    EXPECT_EQ(none.total, 0.0f);
  }
}

TEST_F(GroupsTest, FollowsTheFilterWithoutMovingTheGrid) {
  fill(kRows);
  filter("ACC_TO_ID = 11");
  TKADaoTable& shown = *dm().Transaction;
  shown.SetRecNo(1);
  const GroupTotals totals = TotalsByGroup(dm(), 1, Grouping::Month);
  expectGroups(totals.groups, {{Kind::Month, "2002-08", 5, 1}, {Kind::Month, "2002-09", 90, 1}});
  EXPECT_EQ(shown.RecNo(), 1);
  EXPECT_EQ(shown.FieldByName("ID").AsInteger(), 4);

  filter("ACC_TO_ID = 12");  // shows nothing
  const GroupTotals empty = TotalsByGroup(dm(), 1, Grouping::Category1);
  EXPECT_TRUE(empty.groups.empty());
  EXPECT_EQ(empty.total, 0.0f);
  EXPECT_EQ(empty.transactions, 0u);
}

TEST_F(GroupsTest, MissingDatesGroupLastAfterTheMonths) {
  fill(
      "INSERT INTO Currency VALUES (1, 'USD', 1.0);"
      "INSERT INTO [Transaction] (ID, AMOUNT, CURRENCY_ID, FOWNCURRENCY, DATE) VALUES"
      " (1, 1, 1, 0, NULL), (2, 2, 1, 0, 2), (3, 4, 1, 0, -1.25), (4, 8, 1, 0, 37469);");
  filter("");
  // Day 2 is 1 January 1900; -1.25 is 29 December 1899, 06:00.
  expectGroups(TotalsByGroup(dm(), 1, Grouping::Month).groups, {{Kind::Month, "1899-12", 4, 1},
                                                                 {Kind::Month, "1900-01", 2, 1},
                                                                 {Kind::Month, "2002-08", 8, 1},
                                                                 {Kind::None, "", 1, 1}});
}

// Many small amounts in three currencies, some with own rates: the groups, summed in double
// precision, meet the single-precision total within its rounding, and the total read with
// the groups is the total's own.
TEST_F(GroupsTest, GroupsAddUpToTheTotal) {
  std::string sql =
      "INSERT INTO Currency VALUES (1, 'USD', 1.0), (2, 'EUR', 1.3), (3, 'RUB', 0.03);"
      "INSERT INTO Category2 VALUES (1, 'a'), (2, 'b'), (3, 'c');"
      "INSERT INTO [Transaction] (ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, FOWNCURRENCY, CATEGORY2_ID, DATE) VALUES ";
  for (int i = 1; i <= 3000; ++i) {
    const double amount = static_cast<double>(static_cast<float>(0.1 * (i % 97) + 0.01 * (i % 7)));
    sql += (i > 1 ? ",(" : "(") + std::to_string(i) + "," + std::to_string(amount) + "," +
           std::to_string(1 + i % 3) + "," + (i % 11 == 0 ? "0.7,1" : "NULL,0") + "," + std::to_string(i % 4) + "," +
           std::to_string(37000 + i / 3) + ")";
  }
  fill(sql + ";");
  filter("");
  for (std::int32_t currency : {1, 2, 3}) {
    const float total = BalanceTotalIn(dm(), currency);
    for (Grouping g : {Grouping::Month, Grouping::Category2, Grouping::Currency}) {
      SCOPED_TRACE(std::string(GroupingName(g)) + " in " + std::to_string(currency));
      const GroupTotals totals = TotalsByGroup(dm(), currency, g);
      EXPECT_EQ(totals.total, total);
      double sum = 0, magnitude = 0;
      std::size_t count = 0;
      for (const Group& group : totals.groups) {
        sum += group.amount;
        magnitude += std::fabs(group.amount);
        count += group.count;
      }
      EXPECT_EQ(count, 3000u);
      // Each of the 3000 single-precision partial sums rounds by at most half a unit.
      EXPECT_NEAR(sum, static_cast<double>(total), 3000 * (FLT_EPSILON / 2) * magnitude);
      EXPECT_GT(sum, 0.0);
    }
  }
}

// Values stored in other forms than their columns' (a foreign store file) are read as the
// total reads them: the same sums, or the same error.
TEST_F(GroupsTest, StoredFormsReadAsTheTotalReadsThem) {
  fill(
      "INSERT INTO Currency VALUES (1, 'USD', 1.0), (2, 'EUR', 2.5);"
      "INSERT INTO Category3 VALUES (4, 'Four');"
      "INSERT INTO [Transaction] (ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, FOWNCURRENCY, CATEGORY3_ID, DATE) VALUES"
      // Blobs keep their bytes whatever the column: a text amount and a text date.
      " (1, CAST('12.5' AS BLOB), 2, NULL, 0, 4, CAST('37469' AS BLOB)),"
      // A text key names nothing; a text own rate and switch still count.
      " (2, 3, CAST('2' AS BLOB), CAST('0.5' AS BLOB), CAST('1' AS BLOB), CAST('4' AS BLOB), 37469),"
      // A key with a fraction names nothing.
      " (3, 7.25, 1, NULL, 0, 4.5, 37500.25);");
  filter("");
  const GroupTotals totals = TotalsByGroup(dm(), 1, Grouping::Category3);
  EXPECT_EQ(totals.total, BalanceTotalIn(dm(), 1));
  EXPECT_EQ(totals.total, 40.0f);
  // 12.5 x 2.5 = 31.25; 3 x 0.5 = 1.5 and 7.25 without a name.
  expectGroups(totals.groups, {{Kind::Named, "Four", 31.25, 1}, {Kind::None, "", 8.75, 2}});
  expectGroups(TotalsByGroup(dm(), 1, Grouping::Month).groups,
               {{Kind::Month, "2002-08", 1.5, 1}, {Kind::Month, "2002-09", 7.25, 1}, {Kind::None, "", 31.25, 1}});

  dm().Database->exec("UPDATE [Transaction] SET AMOUNT = CAST('twelve' AS BLOB) WHERE ID = 1;");
  std::string totalError, groupsError;
  try {
    BalanceTotalIn(dm(), 1);
  } catch (const std::exception& e) {
    totalError = e.what();
  }
  try {
    TotalsByGroup(dm(), 1, Grouping::Month);
  } catch (const std::exception& e) {
    groupsError = e.what();
  }
  EXPECT_FALSE(totalError.empty());
  EXPECT_EQ(groupsError, totalError);
}

// The conversion of one transaction, accumulated in single precision, is the total's own
// running sum, step for step, whatever the order of currencies (the kept factor).
TEST(CurrencyConversion, ConvertedAmountsRebuildTheTotal) {
  struct Row {
    double amount;
    std::int32_t currency;
    bool own;
    double ownRate;
  };
  const Row rows[] = {{100, 1, false, 0}, {50, 2, false, 0},  {10, 2, true, 0.5}, {0.1, 3, false, 0},
                      {7.7, 2, false, 0}, {3.3, 1, true, 2},  {1e6, 3, false, 0}, {-12.5, 2, false, 0}};
  const double rates[] = {0, 1.0, 1.3, 0.03};
  for (std::int32_t chosen : {1, 2, 3}) {
    const float r = static_cast<float>(rates[chosen]);
    CurrencyTotal total(chosen, r), conversion(chosen, r);
    float rebuilt = 0.0f;
    for (const Row& row : rows) {
      auto rateOf = [&] { return static_cast<float>(rates[row.currency]); };
      total.add(row.amount, row.currency, row.own, row.ownRate, rateOf);
      rebuilt = static_cast<float>(conversion.converted(row.amount, row.currency, row.own, row.ownRate, rateOf) +
                                   static_cast<double>(rebuilt));
      EXPECT_EQ(rebuilt, total.total()) << "chosen " << chosen << ", amount " << row.amount;
    }
  }
}

TEST(LargestGroups, KeepsTheFirstAndGathersTheRest) {
  auto groups = [](int n) {
    std::vector<Group> g;
    for (int i = 0; i < n; ++i) g.push_back({Kind::Named, "g" + std::to_string(i), 100.0 - i, 1});
    return g;
  };
  const struct {
    int groups;
    std::size_t shown;
    double other;  // < 0: no Other group
  } cases[] = {{0, 0, -1}, {20, 20, -1}, {21, 21, -1}, {22, 21, 80 + 79}, {1000, 21, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.groups);
    const std::vector<Group> in = groups(c.groups);
    const std::vector<Group> out = LargestGroups(in, 20);
    ASSERT_EQ(out.size(), c.shown);
    for (std::size_t i = 0; i < out.size() && i < 20; ++i) EXPECT_EQ(out[i].name, in[i].name);
    if (c.groups > 21) {
      double rest = 0;
      for (std::size_t i = 20; i < in.size(); ++i) rest += in[i].amount;
      EXPECT_EQ(out.back().kind, Kind::Other);
      EXPECT_DOUBLE_EQ(out.back().amount, rest);
      EXPECT_EQ(out.back().count, in.size() - 20);
      if (c.other >= 0) {
        EXPECT_DOUBLE_EQ(out.back().amount, c.other);
      }
    } else {
      EXPECT_TRUE(out.empty() || out.back().kind != Kind::Other);
    }
  }
}

TEST(GroupingNames, RoundTripAndRefuseOthers) {
  for (int i = 0; i < kGroupingCount; ++i) {
    const auto g = static_cast<Grouping>(i);
    EXPECT_EQ(GroupingFromName(GroupingName(g)), g);
  }
  EXPECT_STREQ(GroupingName(Grouping::AccountFrom), "account-from");
  for (const char* bad : {"", "Month", "category", "category5", "account", "month "})
    EXPECT_FALSE(GroupingFromName(bad)) << bad;
}

}  // namespace
}  // namespace quillet::analysis
