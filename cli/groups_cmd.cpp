#include "cli/groups_cmd.h"

#include <cstdio>

#include "analysis/groups.h"
#include "cli/common.h"
#include "text/codepage.h"

namespace quillet::cli {

std::optional<int> checkGrouping(const std::string& value) {
  if (analysis::GroupingFromName(value)) return std::nullopt;
  return usageError("bad value for --by: '" + value +
                    "' (month, category1..category4, account-to, account-from or currency)");
}

void printTotalsBy(TDM& dm, std::int32_t currency, const std::string& grouping) {
  const analysis::GroupTotals totals = analysis::TotalsByGroup(dm, currency, *analysis::GroupingFromName(grouping));
  std::string out;
  for (const analysis::Group& g : totals.groups) {
    char amount[64];
    std::snprintf(amount, sizeof amount, "%.2f", g.amount);
    switch (g.kind) {
      case analysis::Group::Kind::Named: out += text::cp1251ToUtf8(g.name); break;
      case analysis::Group::Kind::Month: out += g.name; break;
      case analysis::Group::Kind::None: out += "\xE2\x80\x94"; break;  // "—"
      case analysis::Group::Kind::Other: out += "other"; break;
    }
    out += '\t';
    out += amount;
    out += '\n';
  }
  write(stdout, out);
}

}  // namespace quillet::cli
