// import and export: the handheld exchange against a store file.
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/common.h"
#include "exchange/transfer.h"

namespace quillet::cli {
namespace {

int runExchange(bool isImport, const Args& args) {
  const std::string command = isImport ? "import" : "export";
  std::optional<std::string> folder;
  std::optional<std::string> db;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a == "--db") {
      if (db) return usageError("--db given twice");
      if (i + 1 >= args.size() || args[i + 1].empty()) return usageError("--db needs a file name");
      db = args[++i];
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("unknown option '" + a + "' for " + command);
    } else {
      if (folder) return usageError("more than one folder given");
      folder = a;
    }
  }
  if (!folder || folder->empty()) return usageError("no folder given");

  std::unique_ptr<OpenStore> store = openStore(db, isImport);
  if (!store) return kExitUsage;

  ConsoleUi ui;
  int status = kExitOk;
  try {
    const int failed = isImport ? exchange::importFromFolder(*store->dm, *folder, ui)
                                : exchange::exportToFolder(*store->dm, *folder, std::nullopt, ui);
    if (failed > 0) status = kExitFailed;
  } catch (const std::exception& e) {
    line(stderr, e.what());
    status = kExitUsage;
  }
  // Saves the filter state, closes and compacts, as the window does at exit.
  return closeStore(*store, status);
}

}  // namespace

int runImport(const Args& args) { return runExchange(true, args); }
int runExport(const Args& args) { return runExchange(false, args); }

}  // namespace quillet::cli
