#pragma once
// The program's message table: 78 entries, read at the moment a message is shown.
// Filled with the English texts at load; applyRussianMessages() overwrites it with the Russian set.
// Texts are UTF-8.
#include <string>

namespace quillet::text {

inline constexpr int kMessageCount = 78;

// Entry numbers (1-based, as the table numbers them).
enum Msg : int {
  MsgWelcome = 1,
  MsgTitle = 2,
  MsgHelpFile = 3,
  MsgAbout = 4,
  MsgWarningCaption = 5,
  MsgErrorCaption = 6,
  MsgConfirmationCaption = 7,
  MsgAboutCaption = 8,
  MsgPalmDesktopNotFound = 9,
  MsgAllTablesVisible = 10,
  MsgMainTablesVisible = 11,
  MsgHintsEnabled = 12,
  MsgHintsDisabled = 13,
  MsgFilteredColumnsVisible = 14,
  MsgFilteredColumnsHidden = 15,
  MsgFilterPanelVisible = 16,
  MsgFilterPanelHidden = 17,
  MsgFloatingEnabled = 18,
  MsgFloatingDisabled = 19,
  MsgDefaultColumnsRestored = 20,
  MsgConfirmationsEnabled = 21,
  MsgConfirmationsDisabled = 22,
  MsgImportAtStartupEnabled = 23,
  MsgImportAtStartupDisabled = 24,
  MsgBrowseImportTitle = 25,
  MsgBrowseExportTitle = 26,
  MsgClearConfirm = 27,
  MsgClearing = 28,
  MsgCleared = 29,
  MsgPerformImport = 30,
  MsgSelectUser = 31,
  MsgImportFinished = 52,
  MsgPerformExport = 53,
  MsgExportFinishedAuto = 74,
  MsgExportFinishedManual = 75,
  MsgReportError = 76,
  MsgReportExporting = 77,
  MsgReportExported = 78,
};

// Current text of entry 1..78. Out-of-range entries answer an empty text.
const std::string& message(int entry);
void setMessage(int entry, std::string text);

// Overwrite all 78 entries with the Russian (resp. English) set, in table order.
void applyRussianMessages();
void applyEnglishMessages();

// Entries of the per-table progress and failure texts; table is 0..9 in the
// fixed table order Category1, Category2, Category3, Category4, Currency,
// BalanceType, RemindType, CustomNames, Account, Transaction.
// A table outside 0..9 answers 0, an entry whose text is empty.
int importStatusEntry(int table);
int importErrorEntry(int table);
int exportStatusEntry(int table);
int exportErrorEntry(int table);

}  // namespace quillet::text
