#include "analysis/groups.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include <sqlite3.h>

#include "store/balancetotal.h"
#include "store/database.h"
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

// A stored value as the view holds it: integer, float, text (or blob) bytes, or empty.
Variant rowValue(sqlite3_stmt* st, int col) {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return Variant::fromInteger(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT: return Variant::fromFloat(sqlite3_column_double(st, col));
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
      return Variant::fromText(std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, col))));
    }
    default: return {};
  }
}

// The typed fields' reads: empty reads 0 (false); a text must be a number (else the
// conversion error the total raises too).
double rowFloat(sqlite3_stmt* st, int col) {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_FLOAT: return sqlite3_column_double(st, col);
    case SQLITE_INTEGER: return static_cast<double>(sqlite3_column_int64(st, col));
    case SQLITE_NULL: return 0.0;
    default: return rowValue(st, col).toFloat();
  }
}

bool rowBoolean(sqlite3_stmt* st, int col) {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return sqlite3_column_int64(st, col) != 0;
    case SQLITE_NULL: return false;
    default: return rowValue(st, col).toFloat() != 0;
  }
}

std::int32_t integerOf(const Variant& v) {
  if (v.isEmpty()) return 0;
  const std::int64_t i = v.kind() == Variant::Kind::Integer ? v.integer() : v.toInteger();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(i));
}

// Months as year * 100 + month; a missing or unreadable date has none.
std::optional<std::int64_t> monthOf(const Variant& v) {
  if (v.kind() != Variant::Kind::Integer && v.kind() != Variant::Kind::Float) return std::nullopt;
  const double day = v.kind() == Variant::Kind::Integer ? static_cast<double>(v.integer()) : v.floating();
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

  // The Transaction view's rows in its order, read with a statement of their own: the views
  // keep their rows and current positions, and no cell is stored. Values are read by the
  // typed fields' rules (rowValue), so every amount converts as the total's reading gives it.
  sqlite3* db = dm.Database->handle();
  if (!db) throw StoreError("Transaction: Database is not open");
  const std::string expression = dm.Transaction->Filtered() ? dm.Transaction->Filter() : std::string();
  std::string sql = "SELECT [AMOUNT], [CURRENCY_ID], [CURRENCY_RATE], [FOWNCURRENCY], [";
  sql += info.column;
  sql += "] FROM [Transaction]";
  if (!expression.empty()) sql += " WHERE (" + expression + ")";
  sql += " ORDER BY rowid";
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &raw, &tail) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(raw);
    throw StoreError(message);
  }
  Statement statement;
  statement.adopt(raw);
  for (; tail && *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\n' && *tail != '\r')
      throw StoreError("Transaction: Invalid filter expression: " + expression);

  TKADaoTable* names = namesOf(dm, grouping);
  GroupTotals result;
  // The total is rebuilt from the converted amounts: each partial sum is the converted amount
  // plus the previous one, rounded to single precision, exactly the steps of add().
  CurrencyTotal conversion(currency, rate.value_or(1.0f));
  float total = 0.0f;
  std::unordered_map<std::int64_t, double> rates;        // looked-up rate per currency key
  std::unordered_map<std::int64_t, std::size_t> index;   // group key -> position in groups
  std::optional<std::size_t> none;                       // the one group of rows without a name
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    const bool own = rowBoolean(raw, 3);
    const double a = rowFloat(raw, 0);
    const Variant currencyKey = rowValue(raw, 1);
    const std::int32_t c = integerOf(currencyKey);
    const double r = own ? rowFloat(raw, 2) : 0.0;
    double value = 0.0;
    if (rate) {
      auto rateOf = [&]() -> double {
        // As the lookup field reads it: the currency row's RATE by the stored key.
        std::optional<std::int64_t> k;
        if (currencyKey.kind() == Variant::Kind::Integer) k = currencyKey.integer();
        if (k) {
          if (auto it = rates.find(*k); it != rates.end()) return it->second;
        }
        const Variant looked = dm.Currency->Lookup("ID", currencyKey, "RATE");
        const double f = looked.isEmpty() ? 0.0 : looked.toFloat();
        if (k) rates.emplace(*k, f);
        return f;
      };
      value = conversion.converted(a, c, own, r, rateOf);
      total = static_cast<float>(value + static_cast<double>(total));
    }

    std::optional<std::int64_t> k;
    if (grouping == Grouping::Month) {
      k = monthOf(rowValue(raw, 4));
    } else {
      k = keyOf(grouping == Grouping::Currency ? currencyKey : rowValue(raw, 4));
    }
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
  }
  if (rc != SQLITE_DONE) throw StoreError(sqlite3_errmsg(db));
  result.total = rate ? total : 0.0f;

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
