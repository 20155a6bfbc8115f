// The filter refresh in the window, offscreen, over a store of 32,767 transactions: from the
// click on a check box to the total's new text, the grid repainted. Prints median and range.
#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dbcontrols.h"
#include "app/program.h"
#include "window_bench.h"

using namespace quillet;
using namespace quillet::app;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 21;

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = bench::makeBenchHome("filter");
  QApplication application(argc, argv);
  bench::writeTransactionsPageSetting();
  // Receipt "no" is on; the clicks switch the lower date on and off.
  bench::makeStore(kRows,
                   "UPDATE Currency SET RATE = 0.5 + ID * 0.25;"
                   "INSERT INTO _AllFilters (DATE_FROM, DATE_FROM_ENABLED, FRECEIPT, BALANCE_CURRENCY) "
                   "VALUES (37200, 0, 1, 1);");

  bench::QuietDialogs dialogs;
  {
    QuilletProgram program(bench::quietEnvironment(dialogs));
    program.Start();
    QCoreApplication::processEvents();
    TMainForm& f = *program.MainForm();
    std::vector<double> times;
    QString seen;
    for (int i = 0; i < kRuns + 1; ++i) {
      const QString before = f.TransactionsTotalEdit->text();
      const auto start = std::chrono::steady_clock::now();
      f.FromDateDBCheckBox->click();
      QCoreApplication::processEvents();  // the grid repaints
      const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      seen = f.TransactionsTotalEdit->text();
      if (seen == before) std::fprintf(stderr, "the total did not change: %s\n", qPrintable(seen));
      if (i > 0) times.push_back(t);  // the first click warms up
    }
    std::sort(times.begin(), times.end());
    std::printf("window filter refresh on %d transactions, check box click to new total (%d runs): median %.1f ms "
                "(range %.1f .. %.1f); rows shown %d, total %s\n",
                kRows, kRuns, times[times.size() / 2] * 1e3, times.front() * 1e3, times.back() * 1e3,
                program.DataModule()->Transaction->RecordCount(), qPrintable(seen));
    f.close();
    program.Shutdown();
  }
  fs::remove_all(root);
  return 0;
}
