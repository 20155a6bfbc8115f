// quillet-cli: the command-line companion. Shows handheld database files and runs the
// import and the manual export against a store file, with the window's texts.
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/dump.h"
#include "exchange/folders.h"
#include "exchange/transfer.h"
#include "store/datamodule.h"
#include "store/paths.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: quillet-cli dump FILE.pdb [--json]\n"
    "       quillet-cli import FOLDER [--db FILE]\n"
    "       quillet-cli export FOLDER [--db FILE]\n"
    "       quillet-cli -h | --help\n"
    "\n"
    "Commands:\n"
    "  dump    show a handheld database file: its header, every record's offset,\n"
    "          attributes, unique ID and length, and for the ten Quillet databases\n"
    "          each record decoded into its fields\n"
    "  import  replace the store's data with the ten handheld files in FOLDER\n"
    "  export  write the store's ten tables into FOLDER as handheld files\n"
    "\n"
    "Options:\n"
    "  --json     print the dump as one JSON object\n"
    "  --db FILE  the store file; default: $XDG_DATA_HOME (else ~/.local/share)\n"
    "             + /KorvellInc/QuilletDesktop/Quillet.mdb\n"
    "\n"
    "Exit status: 0 every file was read or written, 1 some file was not,\n"
    "2 bad arguments, or a store or file that cannot be opened.\n";

void write(std::FILE* f, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), f);
  std::fflush(f);
}
void line(std::FILE* f, std::string_view text) {
  std::string s(text);
  s.push_back('\n');
  write(f, s);
}

int usageError(const std::string& why) {
  line(stderr, "quillet-cli: " + why);
  write(stderr, kUsage);
  return kExitUsage;
}

// Status texts on standard output, errors and warnings on standard error; no sound.
class ConsoleUi : public quillet::exchange::ExchangeUi {
 public:
  void status(const std::string& text) override { line(stdout, text); }
  void error(const std::string& text) override { line(stderr, text); }
  void warning(const std::string& text) override { line(stderr, text); }
  void beep() override {}
};

int runExchange(bool isImport, const std::string& folder, const std::optional<std::string>& db) {
  quillet::HeadlessStoreUi storeUi;
  const std::string storePath = db ? *db : quillet::DefaultStorePath();
  // An explicit store is that file and no other: the copy beside the program is only
  // looked for when the default store is used.
  quillet::TDM dm(storeUi, storePath, db ? std::string() : quillet::exchange::ProgramFolder());
  try {
    dm.DataModuleCreate();
  } catch (const std::exception& e) {
    // The store stays as it was; its file is not touched.
    line(stderr, e.what());
    return kExitUsage;
  }

  ConsoleUi ui;
  int status = kExitOk;
  try {
    const int failed = isImport ? quillet::exchange::importFromFolder(dm, folder, ui)
                                : quillet::exchange::exportToFolder(dm, folder, std::nullopt, ui);
    if (failed > 0) status = kExitFailed;
  } catch (const std::exception& e) {
    line(stderr, e.what());
    status = kExitUsage;
  }
  // Saves the filter state, closes and compacts, as the window does at exit.
  try {
    dm.DataModuleDestroy();
  } catch (const std::exception& e) {
    line(stderr, e.what());
    status = kExitUsage;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& a : args) {
    if (a == "-h" || a == "--help") {
      write(stdout, kUsage);
      return kExitOk;
    }
  }
  if (args.empty()) return usageError("no command given");

  const std::string command = args[0];
  const bool isDump = command == "dump";
  const bool isExchange = command == "import" || command == "export";
  if (!isDump && !isExchange) return usageError("unknown command '" + command + "'");

  std::optional<std::string> operand;
  std::optional<std::string> db;
  bool json = false;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && isDump && a == "--json") {
      if (json) return usageError("--json given twice");
      json = true;
    } else if (!optionsEnded && isExchange && a == "--db") {
      if (db) return usageError("--db given twice");
      if (i + 1 >= args.size() || args[i + 1].empty()) return usageError("--db needs a file name");
      db = args[++i];
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("unknown option '" + a + "' for " + command);
    } else {
      if (operand) return usageError("more than one " + std::string(isDump ? "file" : "folder") + " given");
      operand = a;
    }
  }
  if (!operand || operand->empty()) return usageError(std::string(isDump ? "no file" : "no folder") + " given");

  if (isDump) return quillet::cli::dump(*operand, json, stdout, stderr);
  return runExchange(command == "import", *operand, db);
}
