// import and export: the handheld exchange against a store file, from and to a folder or,
// with --user, the sync software's user as the window's automatic exchange has it.
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/common.h"
#include "exchange/automatic.h"
#include "exchange/palmdesktop.h"
#include "exchange/registry.h"
#include "exchange/transfer.h"

namespace quillet::cli {
namespace {

// The sync software's user of the ID, found as the window finds it; prints why not.
std::optional<exchange::PalmUser> findUser(const exchange::PalmDesktop& palm, bool needInstall, std::uint32_t id,
                                           int& exitStatus) {
  exitStatus = kExitUsage;
  if (!palm.HasUserData() || (needInstall && !palm.HasInstallAide())) {
    line(stderr, std::string("quillet-cli: no sync software: the \"DesktopPath\" and \"Path\" values of the key ") +
                     exchange::kPalmDesktopKey + " name no folder holding " + exchange::kUserDataLibrary +
                     (needInstall ? std::string(" and ") + exchange::kInstallAideLibrary : std::string()));
    return std::nullopt;
  }
  std::optional<exchange::PalmUser> found;
  for (exchange::PalmUser& u : palm.Users())
    if (u.ID == id) found = std::move(u);  // the last of equal IDs, as the window selects it
  if (!found) {
    line(stderr, "quillet-cli: no such user: " + exchange::UserIdText(id));
    return std::nullopt;
  }
  exitStatus = kExitOk;
  return found;
}

int runExchange(bool isImport, const Args& args) {
  const std::string command = isImport ? "import" : "export";
  std::optional<std::string> folder;
  std::optional<std::string> db;
  std::optional<std::uint32_t> user;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a == "--db") {
      if (db) return usageError("--db given twice");
      if (i + 1 >= args.size() || args[i + 1].empty()) return usageError("--db needs a file name");
      db = args[++i];
    } else if (!optionsEnded && a == "--user") {
      if (user) return usageError("--user given twice");
      if (i + 1 >= args.size()) return usageError("--user needs an ID");
      user = exchange::ParseUserId(args[++i]);
      if (!user) return usageError("--user needs an ID of one to eight hexadecimal digits, not '" + args[i] + "'");
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("unknown option '" + a + "' for " + command);
    } else {
      if (folder) return usageError("more than one folder given");
      folder = a;
    }
  }
  if (user && folder) return usageError("give a FOLDER or --user, not both");
  if (!user && (!folder || folder->empty())) return usageError("no folder given");

  // The sync software is looked at before the store is opened: a refusal changes nothing.
  exchange::PalmDesktop palm;
  std::optional<exchange::PalmUser> palmUser;
  if (user) {
    palm.Probe();
    int status = kExitOk;
    palmUser = findUser(palm, !isImport, *user, status);
    if (!palmUser) return status;
    if (isImport) {
      folder = palm.BackupFolder(palmUser->Directory);
      if (!folder) {
        line(stderr, "quillet-cli: no sync software: its root folder is not an absolute path");
        return kExitUsage;
      }
    }
  }

  std::unique_ptr<OpenStore> store = openStore(db, isImport ? StoreMode::Create : StoreMode::ReadWrite);
  if (!store) return kExitUsage;

  ConsoleUi ui;
  int status = kExitOk;
  try {
    int failed = 0;
    if (isImport) failed = exchange::importFromFolder(*store->dm, *folder, ui);
    else if (palmUser) failed = exchange::exportToInstallService(*store->dm, palm, palmUser->Name, ui);
    else failed = exchange::exportToFolder(*store->dm, *folder, std::nullopt, ui);
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
