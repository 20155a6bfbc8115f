#include "analysis/groups.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "store/datetime.h"

namespace quillet::analysis {
namespace {

struct GroupingInfo {
  Grouping grouping;
  const char* name;
  const char* column;  // the transaction column that decides the group
};

constexpr GroupingInfo kGroupings[kGroupingCount] = {
    {Grouping::Month, "month", "DATE"},
    {Grouping::Category1, "category1", "CATEGORY1_ID"},
    {Grouping::Category2, "category2", "CATEGORY2_ID"},
    {Grouping::Category3, "category3", "CATEGORY3_ID"},
    {Grouping::Category4, "category4", "CATEGORY4_ID"},
    {Grouping::AccountTo, "account-to", "ACC_TO_ID"},
    {Grouping::AccountFrom, "account-from", "ACC_FROM_ID"},
    {Grouping::Currency, "currency", "CURRENCY_ID"},
};

const GroupingInfo& infoOf(Grouping g) { return kGroupings[static_cast<int>(g)]; }

// The table whose NAME names a group.
TKADaoTable* namesOf(TDM& dm, Grouping g) {
  switch (g) {
    case Grouping::Category1: return dm.Category1.get();
    case Grouping::Category2: return dm.Category2.get();
    case Grouping::Category3: return dm.Category3.get();
    case Grouping::Category4: return dm.Category4.get();
    case Grouping::AccountTo:
    case Grouping::AccountFrom: return dm.Account.get();
    case Grouping::Currency: return dm.Currency.get();
    case Grouping::Month: break;
  }
  return nullptr;
}

// An identifier as the lookups match it: an integer, or a float with no fraction.
std::optional<std::int64_t> keyOf(const Variant& v) {
  if (v.kind() == Variant::Kind::Integer) return v.integer();
  if (v.kind() == Variant::Kind::Float) {
    const double f = v.floating();
    if (std::isfinite(f) && std::trunc(f) == f && std::fabs(f) < 9e18) return static_cast<std::int64_t>(f);
  }
  return std::nullopt;
}

// Months as year * 100 + month; a missing or unreadable date has none.
std::optional<std::int64_t> monthOf(const TField& date) {
  const Variant v = date.AsVariant();
  if (v.isEmpty() || v.kind() == Variant::Kind::Text) return std::nullopt;
  const double day = date.AsDateTime();
  if (!std::isfinite(day)) return std::nullopt;
  const DateTimeParts p = DecodeDateTime(day);
  return static_cast<std::int64_t>(p.year) * 100 + p.month;
}

std::string monthName(std::int64_t key) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d", static_cast<int>(key / 100), static_cast<int>(key % 100));
  return buf;
}

bool byAmount(const Group& a, const Group& b) {
  if (a.amount != b.amount) return a.amount > b.amount;
  if (a.kind != b.kind) return a.kind < b.kind;
  return a.name < b.name;
}

}  // namespace

const char* GroupingName(Grouping grouping) { return infoOf(grouping).name; }

std::optional<Grouping> GroupingFromName(std::string_view name) {
  for (const GroupingInfo& g : kGroupings)
    if (name == g.name) return g.grouping;
  return std::nullopt;
}

GroupTotals TotalsByGroup(TDM& dm, std::int32_t currency, Grouping grouping) {
  const GroupingInfo& info = infoOf(grouping);
  const std::optional<float> rate = TotalRate(dm.Currency->Lookup("ID", Variant::fromInteger(currency), "RATE"));

  // A view of its own over the transactions, with only the columns a conversion and the
  // grouping need: the Transaction view and BalanceTrans keep their rows and positions.
  std::vector<ColumnDef> columns = {{"AMOUNT", FieldType::Float},
                                    {"CURRENCY_ID", FieldType::Integer},
                                    {"CURRENCY_RATE", FieldType::Float},
                                    {"FOWNCURRENCY", FieldType::Boolean}};
  if (grouping != Grouping::Currency)
    columns.push_back({info.column, grouping == Grouping::Month ? FieldType::DateTime : FieldType::Integer});
  TKADaoTable view(*dm.Database, "GroupTrans", "Transaction", std::move(columns));
  const TField& lookedUp =
      view.AddLookupField("GroupTransLookupCurrencyRate", "LookupCurrencyRate", FieldType::Float, 0, "CURRENCY_ID",
                          *dm.Currency, "RATE");
  const std::string expression = dm.Transaction->Filtered() ? dm.Transaction->Filter() : std::string();
  view.SetFilter(expression);
  view.SetFiltered(true);
  view.Open();
  view.Refresh();  // every row in one pass

  const TField& amount = view.FieldByName("AMOUNT");
  const TField& currencyId = view.FieldByName("CURRENCY_ID");
  const TField& ownRate = view.FieldByName("CURRENCY_RATE");
  const TField& ownCurrency = view.FieldByName("FOWNCURRENCY");
  const TField& key = view.FieldByName(info.column);
  TKADaoTable* names = namesOf(dm, grouping);

  GroupTotals result;
  // Sums in the chosen currency; with no usable rate every amount converts to 0 and the
  // total stays 0, as the total's own reading gives it.
  CurrencyTotal total(currency, rate.value_or(1.0f));
  CurrencyTotal conversion(currency, rate.value_or(1.0f));
  std::unordered_map<std::int64_t, std::size_t> index;  // group key -> position in groups
  std::optional<std::size_t> none;                      // the one group of rows without a name
  while (!view.Eof()) {
    const bool own = ownCurrency.AsBoolean();
    const double a = amount.AsFloat();
    const std::int32_t c = currencyId.AsInteger();
    const double r = own ? ownRate.AsFloat() : 0.0;
    double value = 0.0;
    if (rate) {
      auto rateOf = [&] { return lookedUp.AsFloat(); };
      total.add(a, c, own, r, rateOf);
      value = conversion.converted(a, c, own, r, rateOf);
    }

    const std::optional<std::int64_t> k = grouping == Grouping::Month ? monthOf(key) : keyOf(key.AsVariant());
    std::size_t at;
    auto found = k ? index.find(*k) : index.end();
    if (found != index.end()) {
      at = found->second;
    } else {
      Group g;
      if (k && grouping == Grouping::Month) {
        g.kind = Group::Kind::Month;
        g.name = monthName(*k);
      } else if (k) {
        const Variant name = *k >= INT32_MIN && *k <= INT32_MAX
                                 ? names->Lookup("ID", Variant::fromInteger(static_cast<std::int32_t>(*k)), "NAME")
                                 : Variant();
        if (name.isEmpty()) {
          g.kind = Group::Kind::None;
        } else {
          g.name = name.toText();
        }
      } else {
        g.kind = Group::Kind::None;
      }
      if (g.kind == Group::Kind::None && none) {
        at = *none;
      } else {
        at = result.groups.size();
        result.groups.push_back(std::move(g));
        if (result.groups.back().kind == Group::Kind::None) none = at;
      }
      if (k) index.emplace(*k, at);
    }
    result.groups[at].amount += value;
    ++result.groups[at].count;
    ++result.transactions;
    view.Next();
  }
  result.total = rate ? total.total() : 0.0f;

  if (HasNaturalOrder(grouping)) {
    std::sort(result.groups.begin(), result.groups.end(), [](const Group& a, const Group& b) {
      if ((a.kind == Group::Kind::None) != (b.kind == Group::Kind::None)) return b.kind == Group::Kind::None;
      return a.name < b.name;  // "YYYY-MM" sorts as the months do
    });
  } else {
    std::sort(result.groups.begin(), result.groups.end(), byAmount);
  }
  return result;
}

std::vector<Group> LargestGroups(const std::vector<Group>& groups, std::size_t keep) {
  if (groups.size() <= keep + 1) return groups;
  std::vector<Group> out(groups.begin(), groups.begin() + static_cast<std::ptrdiff_t>(keep));
  Group other;
  other.kind = Group::Kind::Other;
  for (std::size_t i = keep; i < groups.size(); ++i) {
    other.amount += groups[i].amount;
    other.count += groups[i].count;
  }
  out.push_back(std::move(other));
  return out;
}

}  // namespace quillet::analysis
