// One filter refresh on a full store beside its floor: set the expression on the transaction
// view, re-read it, compute the total over BalanceTrans and read the rows a grid shows first,
// against a bare prepared SELECT of the same rows joined to Currency for the rates plus the
// same single-precision sum in a plain loop. Prints the ratio; goal <= 2.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analysis/filter.h"
#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "store_fill.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
constexpr int kGridRows = 30;  // the rows a grid paints first
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 7;

double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Timing {
  double best = 1e9, median = 0, worst = 0;
};

Timing timeRuns(const std::function<void()>& work) {
  std::vector<double> t;
  for (int i = 0; i < kRuns; ++i) t.push_back(seconds(work));
  std::sort(t.begin(), t.end());
  return {t.front(), t[t.size() / 2], t.back()};
}

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "quillet-bench-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  HeadlessStoreUi ui;
  auto dm = std::make_unique<TDM>(ui, (dir / "Quillet.mdb").string(), dir.string());
  dm->DataModuleCreate();
  bench::fillReferenceRows(dm->Database->handle());
  bench::fillTransactionsBare(dm->Database->handle(), kRows);
  // Rates that differ per currency, and the chosen currency.
  dm->Database->exec("UPDATE Currency SET RATE = 0.5 + ID * 0.25;");
  dm->Database->exec("INSERT INTO _AllFilters (BALANCE_CURRENCY) VALUES (1);");
  dm->DataModuleDestroy();
  dm->DataModuleCreate();

  // Two conditions on: a lower date and receipt "no".
  analysis::FilterState state;
  state.on[analysis::kDateFrom] = true;
  state.value[analysis::kDateFrom] = Variant::fromFloat(37200);
  state.yesNo[0] = analysis::kYesNoNo;
  const std::string expression = analysis::FilterExpression(state);

  float viewTotal = 0;
  std::size_t shown = 0;
  const Formats formats;
  const auto& fields = dm->Transaction->Fields();
  const Timing refresh = timeRuns([&] {
    analysis::ApplyFilter(*dm->Transaction, analysis::FilterExpression(state));
    viewTotal = dm->BalanceTotal();
    // The grid paints its first rows: every column's display text.
    const int rows = std::min(kGridRows, dm->Transaction->RecordCount());
    for (int r = 0; r < rows; ++r)
      for (const auto& f : fields) shown += f->DisplayTextAt(r, formats).size();
  });
  const int viewRows = dm->Transaction->RecordCount();
  // Where the time goes.
  const Timing setFilter = timeRuns([&] { analysis::ApplyFilter(*dm->Transaction, expression); });
  const Timing total = timeRuns([&] { viewTotal = dm->BalanceTotal(); });

  sqlite3* db = dm->Database->handle();
  float bareTotal = 0;
  int bareRows = 0;
  const Timing floor = timeRuns([&] {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       ("SELECT t.AMOUNT, t.CURRENCY_ID, t.CURRENCY_RATE, t.FOWNCURRENCY, c.RATE FROM [Transaction] t "
                        "LEFT JOIN Currency c ON c.ID = t.CURRENCY_ID WHERE (" +
                        expression + ")")
                           .c_str(),
                       -1, &st, nullptr);
    const float r = 1.0f * static_cast<float>(0.5 + 1 * 0.25);
    bareRows = 0;
    float total = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ++bareRows;
      const double amount = sqlite3_column_double(st, 0);
      const int currency = sqlite3_column_int(st, 1);
      const bool own = sqlite3_column_int(st, 3) != 0;
      double next;
      if (currency == 1 && !own)
        next = static_cast<double>(total) + amount;
      else if (own)
        next = sqlite3_column_double(st, 2) * amount / static_cast<double>(r) + static_cast<double>(total);
      else
        next = amount * static_cast<double>(static_cast<float>(sqlite3_column_double(st, 4) / static_cast<double>(r))) +
               static_cast<double>(total);
      total = static_cast<float>(next);
    }
    sqlite3_finalize(st);
    bareTotal = total;
  });

  std::printf("expression: %s\n", expression.c_str());
  std::printf("rows: view %d, bare %d; totals %.2f / %.2f; grid text %zu bytes\n", viewRows, bareRows,
              static_cast<double>(viewTotal), static_cast<double>(bareTotal), shown);
  std::printf("filter refresh on %d transactions (%d runs): median %.1f ms (best %.1f, worst %.1f)\n", kRows, kRuns,
              refresh.median * 1e3, refresh.best * 1e3, refresh.worst * 1e3);
  std::printf("  of which: filter set and view re-read %.1f ms, total %.1f ms (medians)\n", setFilter.median * 1e3,
              total.median * 1e3);
  std::printf("floor, bare SELECT joined to Currency + float sum: median %.1f ms (best %.1f, worst %.1f)\n",
              floor.median * 1e3, floor.best * 1e3, floor.worst * 1e3);
  std::printf("ratio (medians) %.2f (goal <= 2.00)\n", refresh.median / floor.median);
  dm.reset();
  fs::remove_all(dir);
  return viewRows == bareRows && viewTotal == bareTotal ? 0 : 1;
}
