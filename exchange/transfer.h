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

// The handheld file of table 0..9 in the fixed order: "QL_" + table + ".pdb".
std::string HandheldFileName(int table);
// Its database name: "QL_" + table.
std::string HandheldDatabaseName(int table);

// Replaces the store's data with the ten files of the folder. Every file that cannot be
// read is reported with its table's error text (for a damaged file or record followed by a
// line saying what is wrong; the records before it stay) and the import goes on. Batch mode
// is switched off on every path. Store errors raised while the tables are emptied (the store
// is closed and reopened) or when batch mode ends reach the caller. Returns the number of
// files that were not read completely.
int importFromFolder(TDM& dm, const std::string& folder, ExchangeUi& ui);

// Writes the ten tables into the folder as handheld files; with installUser each written
// file is handed to the install service for that user and deleted (automatic exchange).
// Every file that cannot be written is reported with its table's error text and the export
// goes on. Returns the number of files that were not written.
int exportToFolder(TDM& dm, const std::string& folder, const std::optional<std::string>& installUser,
                   ExchangeUi& ui);

// Empties the ten data tables (the store is closed and reopened); store errors reach the caller.
void clearAllTables(TDM& dm, ExchangeUi& ui);

}  // namespace quillet::exchange
