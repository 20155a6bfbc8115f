#pragma once
// total --by GROUPING: the filtered transactions' totals by group, before the total line.
#include <cstdint>
#include <optional>
#include <string>

namespace quillet {
class TDM;
}

namespace quillet::cli {

// Checks a --by value; returns the exit status of a usage error, or nothing.
std::optional<int> checkGrouping(const std::string& value);

// One line per group, "name<TAB>amount" ("%.2f"): months ascending as YYYY-MM, every other
// grouping by descending amount; names in UTF-8, "—" for none. Every group is printed.
void printTotalsBy(TDM& dm, std::int32_t currency, const std::string& grouping);

}  // namespace quillet::cli
