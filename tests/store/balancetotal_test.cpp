#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "temp_dir.h"

using namespace quillet;

namespace {

class BalanceTotalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dm = std::make_unique<TDM>(ui, dir / "Quillet.mdb", dir / "program");
    dm->DataModuleCreate();
  }
  void currency(std::int32_t id, std::optional<double> rate) {
    dm->Currency->Insert();
    dm->CurrencyID->SetAsInteger(id);
    dm->CurrencyNAME->SetAsString("C" + std::to_string(id));
    if (rate) dm->CurrencyRATE->SetAsFloat(*rate);
    dm->Currency->Post();
  }
  void tx(std::optional<double> amount, std::int32_t currency, bool own = false,
          std::optional<double> ownRate = std::nullopt, std::int32_t accTo = 0) {
    TKADaoTable& v = *dm->Transaction;
    v.Insert();
    v.FieldByName("ID").SetAsInteger(++lastId);
    if (amount) v.FieldByName("AMOUNT").SetAsFloat(*amount);
    v.FieldByName("CURRENCY_ID").SetAsInteger(currency);
    v.FieldByName("FOWNCURRENCY").SetAsBoolean(own);
    if (ownRate) v.FieldByName("CURRENCY_RATE").SetAsFloat(*ownRate);
    v.FieldByName("ACC_TO_ID").SetAsInteger(accTo);
    v.Post();
  }
  // The chosen currency, as the panel's lookup box writes it.
  float totalIn(std::int32_t id) {
    dm->AllFilters->Edit();
    dm->AllFiltersBALANCE_CURRENCY->SetAsInteger(id);
    dm->AllFilters->Post();
    return dm->BalanceTotal();
  }
  static std::string shown(float total) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(total));
    return buf;
  }

  TempDir dir;
  HeadlessStoreUi ui;
  std::unique_ptr<TDM> dm;
  std::int32_t lastId = 0;
};

TEST_F(BalanceTotalTest, WorkedExampleOfThreeKinds) {
  currency(1, 1.0);
  currency(2, 2.0);
  tx(100.0, 1);
  tx(50.0, 2);
  tx(10.0, 2, true, 0.5);
  const float total = totalIn(1);
  EXPECT_EQ(total, 205.0f);
  EXPECT_EQ(shown(total), "205.00");
}

TEST_F(BalanceTotalTest, PartialSumsAreSinglePrecision) {
  currency(1, 1.0);
  const double tenth = static_cast<double>(0.1f);  // as the handheld stores it
  for (int i = 0; i < 10; ++i) tx(tenth, 1);
  // Ten single-precision additions of 0.1f: 1.00000012, shown 1.00.
  EXPECT_EQ(totalIn(1), 1.00000012f);
  EXPECT_EQ(shown(totalIn(1)), "1.00");
}

TEST_F(BalanceTotalTest, SumNearTwentyMillionLosesItsCents) {
  currency(1, 1.0);
  tx(10000000.25, 1);
  tx(10000000.25, 1);
  // Single precision spaces its values 2 apart here: 20000000.5 is stored as 20000000.
  EXPECT_EQ(shown(totalIn(1)), "20000000.00");
  tx(1.37, 1);
  EXPECT_EQ(shown(totalIn(1)), "20000002.00");
}

TEST_F(BalanceTotalTest, ChosenRateThreshold) {
  const struct {
    std::optional<double> rate;
    bool counts;
  } cases[] = {
      {0.0001, false},  // 0.0001 in single precision is just below 0.0001
      {0.00011, true},  {0.0, false}, {-1.0, false}, {std::nullopt, false}, {1.0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate ? std::to_string(*c.rate) : "empty");
    dm->Currency->First();
    while (!dm->Currency->IsEmpty()) dm->Currency->Delete();
    currency(1, c.rate);
    if (lastId == 0) tx(50.0, 1);
    EXPECT_EQ(totalIn(1) != 0.0f, c.counts);
    EXPECT_EQ(TotalRate(c.rate ? Variant::fromFloat(*c.rate) : Variant()).has_value(), c.counts);
  }
}

TEST_F(BalanceTotalTest, MissingChosenCurrencyGivesZero) {
  currency(1, 1.0);
  tx(50.0, 1);
  EXPECT_EQ(totalIn(9), 0.0f);
  EXPECT_EQ(totalIn(1), 50.0f);
}

TEST_F(BalanceTotalTest, OwnRateWinsAlsoInTheChosenCurrency) {
  currency(1, 2.0);
  tx(10.0, 1, true, 4.0);  // 10 x 4 / 2, not 10
  EXPECT_EQ(totalIn(1), 20.0f);
}

TEST_F(BalanceTotalTest, RowsThatAddNothing) {
  currency(1, 1.0);
  tx(7.0, 1);
  tx(100.0, 42);                        // currency unknown, no own rate
  tx(std::nullopt, 1);                  // no amount
  tx(100.0, 42, true, std::nullopt);    // own rate flagged but empty
  EXPECT_EQ(totalIn(1), 7.0f);
}

TEST_F(BalanceTotalTest, AlternatingCurrenciesEqualConvertingEachRow) {
  currency(1, 3.0);
  currency(2, 7.0);
  currency(3, 0.3);
  const std::vector<std::pair<double, std::int32_t>> rows = {
      {3.0, 2}, {1.1, 3}, {2.5, 2}, {2.5, 2}, {9.75, 3}, {4.0, 1}, {0.3, 3}, {12.0, 2}};
  for (const auto& [amount, cur] : rows) tx(amount, cur);
  const float r = 3.0f;
  const double rates[4] = {0, 3.0, 7.0, 0.3};
  float expected = 0.0f;
  for (const auto& [amount, cur] : rows) {
    if (cur == 1) {
      expected = static_cast<float>(static_cast<double>(expected) + amount);
    } else {
      const float factor = static_cast<float>(rates[cur] / static_cast<double>(r));
      expected = static_cast<float>(amount * static_cast<double>(factor) + static_cast<double>(expected));
    }
  }
  EXPECT_EQ(totalIn(1), expected);
}

TEST_F(BalanceTotalTest, FactorIsKeptInSinglePrecision) {
  currency(1, 3.0);
  currency(2, 7.0);
  tx(777.0, 2);
  // 777 x float(7/3) = 1812.99981, stored as 1812.99988; a double factor would give 1813.
  EXPECT_EQ(totalIn(1), 1812.99988f);
  EXPECT_NE(totalIn(1), 1813.0f);
}

TEST_F(BalanceTotalTest, CurrencyMinusTwoGetsItsOwnFactor) {
  currency(1, 1.0);
  currency(-2, 2.0);
  tx(5.0, -2);
  EXPECT_EQ(totalIn(1), 10.0f);
}

TEST_F(BalanceTotalTest, FollowsTheTransactionFilterAndKeepsItsRow) {
  currency(1, 1.0);
  currency(2, 4.0);
  tx(1.0, 1, false, std::nullopt, 3);
  tx(2.0, 1, false, std::nullopt, 5);
  tx(3.0, 2, false, std::nullopt, 3);
  EXPECT_EQ(totalIn(1), 15.0f);
  dm->Transaction->SetFilter("ACC_TO_ID = 3");
  dm->Transaction->SetFiltered(true);
  dm->Transaction->Last();
  const int row = dm->Transaction->RecNo();
  EXPECT_EQ(totalIn(1), 13.0f);
  EXPECT_EQ(totalIn(2), 3.25f);  // another currency, same rows
  EXPECT_EQ(dm->Transaction->RecNo(), row);
  EXPECT_TRUE(dm->BalanceTrans->BatchMode());
  EXPECT_EQ(dm->BalanceTrans->Filter(), "ACC_TO_ID = 3");
  dm->Transaction->SetFilter("ACC_TO_ID = 99");
  EXPECT_EQ(totalIn(1), 0.0f);
  EXPECT_EQ(shown(totalIn(1)), "0.00");
  // Rows added since the last total count, with the filter on and off.
  dm->Transaction->SetFilter("");
  tx(5.0, 1);
  EXPECT_EQ(totalIn(1), 20.0f);
  dm->Transaction->SetFiltered(false);
  tx(0.5, 1);
  EXPECT_EQ(totalIn(1), 20.5f);
}

TEST_F(BalanceTotalTest, UnreadableFilterRaisesTheEngineError) {
  currency(1, 1.0);
  tx(1.0, 1);
  dm->Transaction->SetFiltered(true);
  EXPECT_ANY_THROW(dm->Transaction->SetFilter("ACC_TO_ID = = 3"));
  EXPECT_ANY_THROW(totalIn(1));
}

}  // namespace
