#pragma once
// Totals by group: the transactions the Transaction view shows, each converted into the
// total's currency exactly as the total converts it, summed per group in double precision.
// Read in one pass with a statement of its own, so no view's rows or current row change.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {
class TDM;
}

namespace quillet::analysis {

enum class Grouping : int {
  Month,
  Category1,
  Category2,
  Category3,
  Category4,
  AccountTo,
  AccountFrom,
  Currency,
};
inline constexpr int kGroupingCount = 8;

// "month", "category1".."category4", "account-to", "account-from", "currency".
const char* GroupingName(Grouping grouping);
std::optional<Grouping> GroupingFromName(std::string_view name);
// Months have an order of their own; every other grouping is ordered by amount.
inline bool HasNaturalOrder(Grouping grouping) { return grouping == Grouping::Month; }

struct Group {
  enum class Kind {
    Named,  // name: the table's NAME, handheld bytes
    Month,  // name: "YYYY-MM"
    None,   // no category, account, currency or date, or one its table does not hold
    Other,  // the groups beyond the largest ones, gathered (LargestGroups)
  };
  Kind kind = Kind::Named;
  std::string name;
  double amount = 0.0;
  std::size_t count = 0;  // transactions in the group
};

struct GroupTotals {
  // Months ascending (None last); otherwise by descending amount, ties by name.
  std::vector<Group> groups;
  // The single-precision total of the same rows, as BalanceTotalIn gives it.
  float total = 0.0f;
  std::size_t transactions = 0;
};

// The Transaction view's rows (its filter when on), in the given currency. When the
// currency is missing or its rate too small every amount converts to 0 (the groups stay).
// Raises the engine's error when the rows cannot be read.
GroupTotals TotalsByGroup(TDM& dm, std::int32_t currency, Grouping grouping);

// The first `keep` groups as they stand, then one Other group with the sum of the rest.
// Unchanged when there are no more than keep + 1 groups (an Other of one group would
// only hide its name).
std::vector<Group> LargestGroups(const std::vector<Group>& groups, std::size_t keep);

}  // namespace quillet::analysis
