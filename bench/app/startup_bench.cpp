// Start-up to the first shown window over a store of 32,767 transactions beside the same
// start-up over an empty store, in one run. Prints both and their ratio; goal <= 1.5.
// The window opens on the Transactions page, so the first paint shows the grid's rows.
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/program.h"
#include "app/settings.h"
#include "store/database.h"
#include "store/paths.h"
#include "store_fill.h"

using namespace quillet;
using namespace quillet::app;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 7;

class QuietDialogs : public Dialogs {
 public:
  int shown = 0;
  bool confirm(const std::string&, const std::string&, Buttons) override { return ++shown, false; }
  void warn(const std::string&, const std::string& text) override { report(text); }
  void error(const std::string&, const std::string& text) override { report(text); }
  void inform(const std::string&, const std::string& text) override { report(text); }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
    return ++shown, std::nullopt;
  }
  bool runFileDialog(QFileDialog&) override { return ++shown, false; }
  bool openDocument(const std::string&) override { return ++shown, false; }

 private:
  void report(const std::string& text) {
    ++shown;
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
  }
};

// A new store under dataHome; with rows, the reference tables and the transactions.
void makeStore(const std::string& dataHome, bool withRows) {
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  {
    TKADaoDatabase db;
    db.Database = DefaultStorePath();
    db.SetActive(true);
    db.SetActive(false);
  }
  if (!withRows) return;
  sqlite3* db = nullptr;
  sqlite3_open(DefaultStorePath().c_str(), &db);
  bench::fillReferenceRows(db);
  bench::fillTransactionsBare(db, kRows);
  sqlite3_close(db);
}

// One start-up over the store in dataHome: window, data module, shown and painted once.
// The shutdown (with its compaction) is not timed.
double startOnce(const std::string& dataHome, QuietDialogs& dialogs) {
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  Environment env;
  env.dialogs = &dialogs;
  env.shiftHeld = [] { return false; };
  QuilletProgram program(env);
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
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const fs::path root = fs::temp_directory_path() / ("quillet-startup-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "config");
  ::setenv("HOME", root.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  QApplication application(argc, argv);

  // Both starts open on the Transactions page.
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger(setting::kExchangeType, 1);
    key.WriteInteger(setting::kCurrentUserID, 0);
    key.WriteString(setting::kImportPath, "");
    key.WriteString(setting::kExportPath, "");
    key.WriteBool(setting::kShowAllTables, false);
    key.WriteBool(setting::kShowHints, true);
    key.WriteBool(setting::kShowFilteredColumns, false);
    key.WriteBool(setting::kAllowFloating, false);
    key.WriteBool(setting::kConfirmations, true);
    key.WriteBool(setting::kImportAtStartup, false);
    key.WriteInteger(setting::kActivePage, 2);
    key.Commit();
  }
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
