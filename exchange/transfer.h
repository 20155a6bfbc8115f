#pragma once
// The import, clear and export command sequences, shared by the window and quillet-cli.
// The caller decides whether to run them (confirmation questions) and where the files lie
// (folder rules); these run the steps between, in the fixed table order.
#include <optional>
#include <string>

#include "store/datamodule.h"

namespace quillet::exchange {

// What the sequences tell the user. The window shows status texts in its status bar,
// errors and warnings in message boxes; the command-line companion prints them.
class ExchangeUi {
 public:
  virtual ~ExchangeUi() = default;
  virtual void status(const std::string& text) = 0;
  // A step that failed: the window's error box ("Error - Quillet Desktop").
  virtual void error(const std::string& text) = 0;
  // Something the user should know that did not stop the step (notes shortened on export).
  virtual void warning(const std::string& text) = 0;
  virtual void beep() = 0;
  // After the import's filter refresh, before its final status: the window refreshes its
  // lookup boxes here.
  virtual void afterImport() {}
  // After the export's last file and batch mode off, before its final status: the window
  // removes its temporary folder of the automatic exchange here.
  virtual void afterExport() {}
};

// The import could not replace the store's data as one unit: the store failed under it (a
// full disk, an I/O error, a transaction the engine rolled back by itself, a commit it
// refused). Nothing was imported; the store keeps its previous data. what() is
// kImportAbortedText, a line break and the cause. The window shows it in its error box;
// quillet-cli prints it and exits 2. Files that cannot be read are no such failure.
inline constexpr const char* kImportAbortedText = "nothing was imported; the store keeps its previous data";
class ImportAborted : public StoreError {
 public:
  explicit ImportAborted(const std::string& cause);
};

// The handheld file of table 0..9 in the fixed order: "QL_" + table + ".pdb".
std::string HandheldFileName(int table);
// Its database name: "QL_" + table.
std::string HandheldDatabaseName(int table);

// Replaces the store's data with the ten files of the folder, as one unit: the emptying
// and the fill are one transaction, committed at the end; the store is then closed,
// compacted and reopened. A kill, a power cut or a full disk leaves the old data or the
// new, never an empty or partial store. Every file that cannot be read is reported with its
// table's error text followed by a line saying why (no such file, is a folder, permission
// denied, not a regular file, or what is wrong in a damaged file or record; the records
// before the damage stay) and the import goes on. When the store fails under the import,
// ImportAborted is raised after the old data has been put back (the final status and
// beep are then left out). A failed compaction after the commit is told as a warning (the
// data is saved and the store open again). Batch mode is switched off on every path.
// Returns the number of files that were not read completely.
int importFromFolder(TDM& dm, const std::string& folder, ExchangeUi& ui);

// Writes the ten tables into the folder as handheld files; with installUser each written
// file is handed to the install service for that user and deleted (automatic exchange).
// Every file that cannot be written is reported with its table's error text and the export
// goes on; so is a file that cannot be handed over (no install service, or the service
// failed), and that file is then kept. Each file is written under a temporary name, synced
// and renamed into place; temporary files an interrupted export left in the folder are
// removed. Returns the number of files that were not written.
int exportToFolder(TDM& dm, const std::string& folder, const std::optional<std::string>& installUser,
                   ExchangeUi& ui);

// Empties the ten data tables (the store is closed and reopened); store errors reach the
// caller, except a failed compaction, which is told as a warning.
void clearAllTables(TDM& dm, ExchangeUi& ui);

}  // namespace quillet::exchange
