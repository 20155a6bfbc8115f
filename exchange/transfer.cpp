#include "exchange/transfer.h"

#include <exception>

#include "exchange/folders.h"
#include "pdb/container.h"
#include "pdb/records.h"
#include "store/schema.h"
#include "text/messages.h"

namespace quillet::exchange {
namespace {

constexpr int kTableCount = 10;

using text::message;

// The decoders cancel a row they could not finish; make sure of it, since a pending row
// would be posted by whatever next moves or refilters the view.
void dropPendingRow(TKADaoTable& view) noexcept {
  try {
    if (view.state() == TKADaoTable::State::Insert || view.state() == TKADaoTable::State::Edit) view.Cancel();
  } catch (...) {
  }
}

void passWarnings(ExchangeUi& ui) {
  for (const std::string& text : pdb::takeExportWarnings()) ui.warning(text);
}

}  // namespace

std::string HandheldDatabaseName(int table) { return std::string("QL_") + kDataTables[table]; }
std::string HandheldFileName(int table) { return HandheldDatabaseName(table) + ".pdb"; }

ImportAborted::ImportAborted(const std::string& cause)
    : StoreError(std::string(kImportAbortedText) + (cause.empty() ? std::string() : "\n" + cause)) {}

int importFromFolder(TDM& dm, const std::string& folder, ExchangeUi& ui) {
  ui.status(message(text::MsgClearing));
  try {
    dm.BeginReplaceAll();
  } catch (const std::exception& e) {
    throw ImportAborted(e.what());
  }

  int failed = 0;
  try {
    BatchModeGuard batch(dm);
    for (int i = 0; i < kTableCount; ++i) {
      ui.status(message(text::importStatusEntry(i)));
      const std::string path = JoinPath(folder, HandheldFileName(i));
      std::string detail;
      bool ok = false;
      try {
        ok = pdb::importPdb(path.c_str(), pdb::kTableLayouts[i].decode) == 0;
        if (!ok) detail = pdb::openFailureReason();
      } catch (const EngineError&) {
        // The store failed, not the file: the whole import is undone.
        dropPendingRow(dm.DataView(i));
        throw;
      } catch (const std::exception& e) {
        dropPendingRow(dm.DataView(i));
        detail = e.what();
        if (detail.empty()) detail = "unknown error";
      }
      if (dm.Database->TransactionLost()) throw StoreError(detail.empty() ? "the transaction was lost" : detail);
      if (!ok) {
        ++failed;
        std::string text = message(text::importErrorEntry(i));
        if (!detail.empty()) text += "\n" + detail;
        ui.error(text);
      }
    }
    batch.finish();
  } catch (const std::exception& e) {
    dm.RollbackReplaceAll();
    throw ImportAborted(e.what());
  }

  try {
    dm.CommitReplaceAll();
  } catch (const std::exception& e) {
    throw ImportAborted(e.what());
  }
  // The emptying's close, compaction and reopen, now that the new data is saved. A failed
  // compaction leaves the saved data and the reopened store; the user is told and the
  // import goes on (the compaction at close tries again).
  try {
    dm.Reopen();
  } catch (const CompactError& e) {
    ui.warning(e.what());
  }

  dm.ApplyCustomNames();
  dm.ui().refreshFilter();
  ui.afterImport();
  ui.status(message(text::MsgImportFinished));
  ui.beep();
  return failed;
}

int exportToFolder(TDM& dm, const std::string& folder, const std::optional<std::string>& installUser,
                   ExchangeUi& ui) {
  // Texts left from an earlier export belong to no table of this one.
  (void)pdb::takeExportWarnings();

  int failed = 0;
  {
    // Also switches the transaction filter off, so that the count and the walk cover every row.
    BatchModeGuard batch(dm);
    for (int i = 0; i < kTableCount; ++i) {
      ui.status(message(text::exportStatusEntry(i)));
      const std::string path = JoinPath(folder, HandheldFileName(i));
      const std::string name = HandheldDatabaseName(i);
      const pdb::TableLayout& layout = pdb::kTableLayouts[i];
      std::string detail;
      bool ok = false;
      try {
        const int count = dm.DataView(i).RecordCount();
        ok = pdb::exportPdb(path.c_str(), name.c_str(), "DATA", "IDql", count, layout.size, layout.data,
                            installUser ? installUser->c_str() : nullptr) == 0;
      } catch (const std::exception& e) {
        detail = e.what();
        if (detail.empty()) detail = "unknown error";
      }
      if (!ok) {
        ++failed;
        std::string text = message(text::exportErrorEntry(i));
        if (!detail.empty()) text += "\n" + detail;
        ui.error(text);
      }
      passWarnings(ui);
    }
    batch.finish();
  }

  ui.afterExport();
  ui.status(message(installUser ? text::MsgExportFinishedAuto : text::MsgExportFinishedManual));
  ui.beep();
  return failed;
}

void clearAllTables(TDM& dm, ExchangeUi& ui) {
  ui.status(message(text::MsgClearing));
  try {
    dm.EmptyAllTables();
  } catch (const CompactError& e) {
    ui.warning(e.what());  // the tables are empty and the store open again
  }
  ui.status(message(text::MsgCleared));
}

}  // namespace quillet::exchange
