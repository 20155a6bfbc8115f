// The table views beside their floors: bare SQLite statements doing the same work.
// Prints the ratios; goals: appending <= 1.3x, re-reading with every field <= 2x.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "store/datamodule.h"
#include "store_fill.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 5;
const char* const kFilter = "DATE >= 37000 AND NOT FRECEIPT";

double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of several runs, each with its own preparation outside the timing.
double best(const std::function<void()>& prepare, const std::function<void()>& work) {
  double t = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    prepare();
    t = std::min(t, seconds(work));
  }
  return t;
}

void fillThroughView(TDM& dm) {
  BatchModeGuard batch(dm);
  TKADaoTable& t = *dm.Transaction;
  for (int i = 0; i < kRows; ++i) {
    t.Insert();
    dm.TransactionID->SetAsInteger(i);
    dm.TransactionMIRROR_ID->SetAsInteger(0);
    dm.TransactionACC_TO_ID->SetAsInteger(i % 50);
    dm.TransactionACC_FROM_ID->SetAsInteger((i + 1) % 50);
    dm.TransactionAMOUNT->SetAsFloat(i * 0.25);
    dm.TransactionCURRENCY_ID->SetAsInteger(i % 10);
    dm.TransactionCURRENCY_RATE->SetAsFloat(0);
    dm.TransactionFOWNCURRENCY->SetAsBoolean(false);
    dm.TransactionFADD->SetAsBoolean(i % 2);
    dm.TransactionFMIRROR->SetAsBoolean(false);
    dm.TransactionFREMIND->SetAsBoolean(false);
    dm.TransactionDATE->SetAsDateTime(37000 + i % 1000 + 0.5);
    dm.TransactionREMINDTYPE_ID->SetAsInteger(i % 5);
    dm.TransactionNOTES->SetAsString(bench::transactionNotes(i));
    dm.TransactionBALANCETYPE_ID->SetAsInteger(i % 5);
    dm.TransactionCATEGORY1_ID->SetAsInteger(i % 100);
    dm.TransactionCATEGORY2_ID->SetAsInteger(i % 100);
    dm.TransactionCATEGORY3_ID->SetAsInteger(i % 100);
    dm.TransactionCATEGORY4_ID->SetAsInteger(i % 100);
    dm.TransactionFRECEIPT->SetAsBoolean(false);
    dm.TransactionFBILLABLE->SetAsBoolean(true);
    dm.TransactionFCLEARED->SetAsBoolean(true);
    t.Post();
  }
  batch.finish();
}

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "quillet-bench-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  const std::string viewStore = (dir / "view.mdb").string();
  const std::string bareStore = (dir / "bare.mdb").string();
  HeadlessStoreUi ui;

  // Appending: both stores hold the same reference rows and start with an empty transaction table.
  auto dm = std::make_unique<TDM>(ui, viewStore, dir.string());
  dm->DataModuleCreate();
  bench::fillReferenceRows(dm->Database->handle());
  const double viewAppend = best([&] { dm->Database->EmptyTable("Transaction"), dm->Transaction->Refresh(); },
                                 [&] { fillThroughView(*dm); });

  TKADaoDatabase bare;
  bare.Database = bareStore;
  bare.SetActive(true);
  const double bareAppend = best([&] { bare.EmptyTable("Transaction"); }, [&] { bench::fillTransactionsBare(bare.handle(), kRows); });

  // Re-reading the filtered view and every field of every row, lookups included.
  bench::fillReferenceRows(bare.handle());
  dm->Transaction->SetFilter(kFilter);
  dm->Transaction->SetFiltered(true);
  double checksum = 0;
  const auto& fields = dm->Transaction->Fields();
  const double viewRead = best([] {}, [&] {
    dm->Transaction->SetFilter(kFilter);
    for (dm->Transaction->First(); !dm->Transaction->Eof(); dm->Transaction->Next())
      // Each field as its reader would take it: numbers as numbers, texts as strings.
      for (const auto& f : fields) {
        switch (f->DataType()) {
          case FieldType::Text:
          case FieldType::Memo:
            checksum += static_cast<double>(f->AsString().size());
            break;
          case FieldType::Integer:
            checksum += f->AsInteger();
            break;
          case FieldType::Boolean:
            checksum += f->AsBoolean();
            break;
          default:
            checksum += f->AsFloat();
            break;
        }
      }
  });
  const int viewRows = dm->Transaction->RecordCount();

  double bareSum = 0;
  int bareRows = 0;
  const double bareRead = best([] {}, [&] {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(bare.handle(), (std::string("SELECT * FROM [Transaction] WHERE ") + kFilter).c_str(), -1, &st,
                       nullptr);
    bareRows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ++bareRows;
      // Every value is taken out of the engine, texts into strings of their own, as a reader would.
      for (int c = 0; c < 22; ++c) {
        if (sqlite3_column_type(st, c) == SQLITE_TEXT) {
          const std::string text(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(st, c)));
          bareSum += static_cast<double>(text.size());
        } else {
          bareSum += sqlite3_column_double(st, c);
        }
      }
    }
    sqlite3_finalize(st);
  });

  std::printf("rows: view %d, bare %d (checksums %.0f / %.0f)\n", viewRows, bareRows, checksum, bareSum);
  std::printf("append %d rows through the view in batch mode: %.1f ms; bare prepared inserts: %.1f ms; ratio %.2f (goal <= 1.30)\n",
              kRows, viewAppend * 1e3, bareAppend * 1e3, viewAppend / bareAppend);
  std::printf("re-read filtered view, every field and 9 lookups: %.1f ms; bare SELECT: %.1f ms; ratio %.2f (goal <= 2.00)\n",
              viewRead * 1e3, bareRead * 1e3, viewRead / bareRead);
  dm.reset();
  bare.SetActive(false);
  fs::remove_all(dir);
  return 0;
}
