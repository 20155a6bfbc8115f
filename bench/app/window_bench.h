#pragma once
// What the window benchmarks share: dialogs that must never show, a home of their own,
// the default store filled with synthetic rows, and the window's settings.
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/dialogs.h"
#include "app/mainform.h"
#include "app/settings.h"
#include "store/database.h"
#include "store/paths.h"
#include "store_fill.h"

namespace quillet::bench {

// Any dialog in a timed run is a fault of the run: it is counted and told on standard error.
class QuietDialogs : public app::Dialogs {
 public:
  int shown = 0;
  bool confirm(const std::string&, const std::string& text, Buttons) override { return report(text), false; }
  void warn(const std::string&, const std::string& text) override { report(text); }
  void error(const std::string&, const std::string& text) override { report(text); }
  void inform(const std::string&, const std::string& text) override { report(text); }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
    return report("folder dialog"), std::nullopt;
  }
  bool runFileDialog(QFileDialog&) override { return report("file dialog"), false; }
  bool openDocument(const std::string&) override { return report("document"), false; }

 private:
  void report(const std::string& text) {
    ++shown;
    std::fprintf(stderr, "unexpected dialog: %s\n", text.c_str());
  }
};

// The window's environment: these dialogs, Shift never held at start.
inline app::Environment quietEnvironment(QuietDialogs& dialogs) {
  app::Environment env;
  env.dialogs = &dialogs;
  env.shiftHeld = [] { return false; };
  return env;
}

// A new home below the temporary folder, named after the benchmark and the process: HOME,
// its config/ and data/ as XDG_CONFIG_HOME and XDG_DATA_HOME, offscreen unless told otherwise.
// Call before the QApplication is made.
inline std::filesystem::path makeBenchHome(const std::string& name) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quillet-" + name + "-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "config");
  ::setenv("HOME", root.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  return root;
}

// A new store at the default path (below XDG_DATA_HOME). With transactions > 0, the reference
// rows and that many transactions, then the statements of extraSql.
inline void makeStore(int transactions, const char* extraSql = nullptr) {
  {
    TKADaoDatabase db;
    db.Database = DefaultStorePath();
    db.SetActive(true);
    db.SetActive(false);
  }
  if (transactions <= 0 && !extraSql) return;
  sqlite3* db = nullptr;
  sqlite3_open(DefaultStorePath().c_str(), &db);
  if (transactions > 0) {
    fillReferenceRows(db);
    fillTransactionsBare(db, transactions);
  }
  if (extraSql) sqlite3_exec(db, extraSql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// The window's settings for manual exchange with the handheld folder importPath, the given
// confirmations, and the Transactions page in front.
inline void writeExchangeSettings(const std::string& importPath, bool confirmations) {
  app::SettingsKey key(app::kProgramSettingsKey);
  key.WriteInteger(app::setting::kExchangeType, 1);
  key.WriteInteger(app::setting::kCurrentUserID, 0);
  key.WriteString(app::setting::kImportPath, importPath);
  key.WriteString(app::setting::kExportPath, "");
  key.WriteBool(app::setting::kShowAllTables, false);
  key.WriteBool(app::setting::kShowHints, true);
  key.WriteBool(app::setting::kShowFilteredColumns, false);
  key.WriteBool(app::setting::kAllowFloating, false);
  key.WriteBool(app::setting::kConfirmations, confirmations);
  key.WriteBool(app::setting::kImportAtStartup, false);
  key.WriteInteger(app::setting::kActivePage, 2);
  key.Commit();
}

// Only the Transactions page in front, the rest of the settings as they are.
inline void writeTransactionsPageSetting() {
  app::SettingsKey key(app::kProgramSettingsKey);
  key.WriteInteger(app::setting::kActivePage, 2);
  key.Commit();
}

}  // namespace quillet::bench
