// Start-up to the first shown window over a store of 32,767 transactions beside the same
// start-up over an empty store, in one run. Prints both and their ratio; goal <= 1.5.
// The window opens on the Transactions page, so the first paint shows the grid's rows.
#include <stdlib.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "app/program.h"
#include "window_bench.h"

using namespace quillet;
using namespace quillet::app;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 7;

using bench::QuietDialogs;

// A new store under dataHome; with rows, the reference tables and the transactions.
void makeStore(const std::string& dataHome, bool withRows) {
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  bench::makeStore(withRows ? kRows : 0);
}

// One start-up over the store in dataHome: window, data module, shown and painted once.
// The shutdown (with its compaction) is not timed.
double startOnce(const std::string& dataHome, QuietDialogs& dialogs) {
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  QuilletProgram program(bench::quietEnvironment(dialogs));
  const auto start = std::chrono::steady_clock::now();
  program.Start();
  QCoreApplication::processEvents();  // the first paint
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  program.MainForm()->close();
  program.Shutdown();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = bench::makeBenchHome("startup");
  QApplication application(argc, argv);

  // Both starts open on the Transactions page.
  bench::writeExchangeSettings("", true);
  const std::string empty = (root / "empty").string();
  const std::string full = (root / "full").string();
  makeStore(empty, false);
  makeStore(full, true);

  QuietDialogs dialogs;
  startOnce(empty, dialogs);  // warm-up: fonts, styles, the first window of the process
  startOnce(full, dialogs);
  double bestEmpty = 1e9, bestFull = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    bestEmpty = std::min(bestEmpty, startOnce(empty, dialogs));
    bestFull = std::min(bestFull, startOnce(full, dialogs));
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  if (dialogs.shown) return 1;

  std::printf("start-up to the first shown window, best of %d runs\n", kRuns);
  std::printf("  empty store:                 %8.2f ms\n", bestEmpty * 1e3);
  std::printf("  store of %d transactions: %8.2f ms\n", kRows, bestFull * 1e3);
  std::printf("  ratio: %.2f (goal <= 1.5)\n", bestFull / bestEmpty);
  return 0;
}
