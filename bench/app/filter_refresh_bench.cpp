// The filter refresh in the window, offscreen, over a store of 32,767 transactions: from the
// click on a check box to the total's new text, the grid repainted. Prints median and range.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/dbcontrols.h"
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
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 21;

class QuietDialogs : public Dialogs {
 public:
  bool confirm(const std::string&, const std::string&, Buttons) override { return false; }
  void warn(const std::string&, const std::string& text) override { report(text); }
  void error(const std::string&, const std::string& text) override { report(text); }
  void inform(const std::string&, const std::string& text) override { report(text); }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
  bool runFileDialog(QFileDialog&) override { return false; }
  bool openDocument(const std::string&) override { return false; }

 private:
  static void report(const std::string& text) { std::fprintf(stderr, "unexpected message: %s\n", text.c_str()); }
};

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const fs::path root = fs::temp_directory_path() / ("quillet-filter-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "config");
  ::setenv("HOME", root.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  QApplication application(argc, argv);
  {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger(setting::kActivePage, 2);  // the Transactions page
    key.Commit();
  }
  {
    TKADaoDatabase db;
    db.Database = DefaultStorePath();
    db.SetActive(true);
    db.SetActive(false);
  }
  sqlite3* db = nullptr;
  sqlite3_open(DefaultStorePath().c_str(), &db);
  bench::fillReferenceRows(db);
  bench::fillTransactionsBare(db, kRows);
  // Receipt "no" is on; the clicks switch the lower date on and off.
  sqlite3_exec(db,
               "UPDATE Currency SET RATE = 0.5 + ID * 0.25;"
               "INSERT INTO _AllFilters (DATE_FROM, DATE_FROM_ENABLED, FRECEIPT, BALANCE_CURRENCY) "
               "VALUES (37200, 0, 1, 1);",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);

  QuietDialogs dialogs;
  Environment env;
  env.dialogs = &dialogs;
  env.shiftHeld = [] { return false; };
  {
    QuilletProgram program(env);
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
