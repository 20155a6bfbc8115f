#include "analysis/filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/datamodule.h"
#include "store/datetime.h"
#include "tests/support/temp_store.h"

using namespace quillet;
using namespace quillet::analysis;

namespace {

Variant I(std::int64_t v) { return Variant::fromInteger(v); }
Variant F(double v) { return Variant::fromFloat(v); }

FilterState with(std::initializer_list<std::pair<int, Variant>> on, std::array<int, 3> yesNo = {0, 0, 0}) {
  FilterState s;
  for (const auto& [c, v] : on) {
    s.on[static_cast<std::size_t>(c)] = true;
    s.value[static_cast<std::size_t>(c)] = v;
  }
  s.yesNo = yesNo;
  return s;
}

TEST(FilterExpression, TermsInOrderJoinedByAnd) {
  const struct {
    FilterState state;
    std::string expected;
  } cases[] = {
      {with({}), ""},
      {with({{kAccTo, I(3)}, {kDateFrom, F(37469)}}, {1, 0, 2}),
       "ACC_TO_ID = 3 AND DATE >= 37469 AND NOT FRECEIPT AND FCLEARED"},
      {with({}, {0, 1, 0}), "NOT FBILLABLE"},
      {with({}, {0, 0, -1}), "FCLEARED"},  // no item selected: the plain term
      {with({{kCurrency, I(2)}, {kCategory4, I(40)}, {kCategory1, I(10)}, {kAccFrom, I(-7)}}),
       "ACC_FROM_ID = -7 AND CATEGORY1_ID = 10 AND CATEGORY4_ID = 40 AND CURRENCY_ID = 2"},
      {with({{kDateTo, F(37469.5)}, {kCategory2, I(5)}, {kCategory3, I(6)}}, {2, 2, 1}),
       "DATE <= 37469.5 AND CATEGORY2_ID = 5 AND CATEGORY3_ID = 6 AND FRECEIPT AND FBILLABLE AND NOT FCLEARED"},
      // A value whose switch is off plays no part.
      {[] {
         FilterState s;
         s.value[kAccTo] = I(9);
         return s;
       }(),
       ""},
      // Identifiers are 32-bit values written by %i.
      {with({{kAccTo, I(4294967295LL)}}), "ACC_TO_ID = -1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FilterExpression(c.state), c.expected);
}

TEST(FilterExpression, OnWithEmptyValueIsAConversionError) {
  for (int c = 0; c < kValueConditions; ++c) {
    SCOPED_TRACE(c);
    FilterState s;
    s.on[static_cast<std::size_t>(c)] = true;
    try {
      FilterExpression(s);
      ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), "Invalid variant type conversion");
    }
  }
}

TEST(FilterExpression, DayCounts) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {37469, "37469"},
      {37469.5, "37469.5"},
      {EncodeDateTime(2002, 8, 15, 10, 0, 0), "37483.4166666667"},
      {-1.25, "-1.25"},
      {0, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(DayCountTerm(c.value), c.text);
  EXPECT_EQ(EncodeDate(2002, 8, 1), 37469);
}

TEST(FilterColumns, HiddenWhileOnUnlessShown) {
  const FilterState s = with({{kAccTo, I(1)}, {kDateFrom, F(1)}, {kCurrency, I(2)}}, {0, 2, -1});
  const auto hidden = FilteredColumnVisibility(s, false);
  const std::vector<std::pair<std::string, bool>> expected = {
      {"AccountToName", false}, {"AccountFromName", true}, {"Category1Name", true}, {"Category2Name", true},
      {"Category3Name", true},  {"Category4Name", true},   {"CurrencyName", false}, {"FRECEIPT", true},
      {"FBILLABLE", false},     {"FCLEARED", false}};
  ASSERT_EQ(hidden.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(hidden[i].fieldName, expected[i].first);
    EXPECT_EQ(hidden[i].visible, expected[i].second) << expected[i].first;
  }
  for (const auto& c : FilteredColumnVisibility(s, true)) EXPECT_TRUE(c.visible) << c.fieldName;
}

// The expression against stored transactions.
class FilterStoreTest : public ::testing::Test {
 protected:
  void tx(std::int32_t id, double date, Variant billable, std::int32_t accTo = 1) {
    TKADaoTable& v = *store.dm().Transaction;
    v.Insert();
    v.FieldByName("ID").SetAsInteger(id);
    v.FieldByName("DATE").SetAsDateTime(date);
    v.FieldByName("FBILLABLE").SetAsVariant(billable);
    v.FieldByName("ACC_TO_ID").SetAsInteger(accTo);
    v.Post();
  }
  std::vector<std::int32_t> shown(const FilterState& s) {
    TKADaoTable& v = *store.dm().Transaction;
    ApplyFilter(v, FilterExpression(s));
    std::vector<std::int32_t> ids;
    for (v.First(); !v.Eof(); v.Next()) ids.push_back(v.FieldByName("ID").AsInteger());
    return ids;
  }
  fixture::TempStore store;
};

TEST_F(FilterStoreTest, YesNoAndDates) {
  const double aug15 = EncodeDate(2002, 8, 15);
  tx(1, aug15, I(1));
  tx(2, aug15 + EncodeTime(10, 0, 0), I(0));
  tx(3, aug15 - 1, Variant());
  tx(4, aug15 + 1, I(1), 2);
  using Ids = std::vector<std::int32_t>;
  EXPECT_EQ(shown(with({})), (Ids{1, 2, 3, 4}));
  EXPECT_EQ(shown(with({}, {0, 1, 0})), (Ids{2}));      // NOT FBILLABLE: empty marks match neither
  EXPECT_EQ(shown(with({}, {0, 2, 0})), (Ids{1, 4}));
  EXPECT_EQ(shown(with({{kDateTo, F(37483)}})), (Ids{1, 3}));  // 10:00 is past 37483
  EXPECT_EQ(shown(with({{kDateFrom, F(37483)}, {kAccTo, I(1)}})), (Ids{1, 2}));
}

TEST_F(FilterStoreTest, ReReadsAlsoWhenUnchanged) {
  TKADaoTable& v = *store.dm().Transaction;
  tx(1, 37000, I(1));
  ApplyFilter(v, "");
  EXPECT_TRUE(v.Filtered());
  tx(2, 37000, I(1));
  v.Last();
  ApplyFilter(v, "");
  EXPECT_EQ(v.RecordCount(), 2);
  EXPECT_EQ(v.RecNo(), 0);
  ApplyFilter(v, "ACC_TO_ID = 1");
  // Another connection's row shows up at the next re-read with the same expression.
  store.dm().Database->exec("INSERT INTO [Transaction] (ID, ACC_TO_ID) VALUES (3, 1);");
  ApplyFilter(v, "ACC_TO_ID = 1");
  EXPECT_EQ(v.RecordCount(), 3);
  // Expressions the engine cannot read, or fails on while reading: its error, and the view
  // keeps the rows of the expression it had.
  for (const char* bad : {"ACC_TO_ID = = 1", "ACC_TO_ID = abs(-9223372036854775807 - 1)"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(ApplyFilter(v, bad), StoreError);
    EXPECT_TRUE(v.Active());
    EXPECT_EQ(v.Filter(), "ACC_TO_ID = 1");
    EXPECT_EQ(v.RecordCount(), 3);
  }
}

TEST_F(FilterStoreTest, StoredStateReadsTheFilterRow) {
  TDM& dm = store.dm();
  FilterState empty = StoredFilterState(dm);
  for (bool on : empty.on) EXPECT_FALSE(on);
  dm.AllFilters->Edit();
  dm.AllFiltersACC_TO_ID->SetAsInteger(3);
  dm.AllFiltersACC_TO_ENABLED->SetAsBoolean(true);
  dm.AllFiltersDATE_FROM->SetAsDateTime(37469);
  dm.AllFiltersDATE_FROM_ENABLED->SetAsBoolean(true);
  dm.AllFiltersCURRENCY_ID->SetAsInteger(8);  // switched off
  dm.AllFilters->Post();
  store.ui.setYesNoIndex(0, 1);
  store.ui.setYesNoIndex(2, 2);
  EXPECT_EQ(FilterExpression(StoredFilterState(dm)), "ACC_TO_ID = 3 AND DATE >= 37469 AND NOT FRECEIPT AND FCLEARED");
}

}  // namespace
