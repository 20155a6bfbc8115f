#pragma once
// What every quillet-cli command shares: exit codes, output, argument errors, the store.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/transfer.h"
#include "store/datamodule.h"

namespace quillet::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// The command's work is saved, but compacting the store at its close failed.
inline constexpr int kExitNotCompacted = 3;

// Writes and flushes.
void write(std::FILE* f, std::string_view text);
void line(std::FILE* f, std::string_view text);

// "quillet-cli: why" and the usage on standard error; returns kExitUsage.
int usageError(const std::string& why);

// Status texts on standard output, errors and warnings on standard error; no sound.
class ConsoleUi : public exchange::ExchangeUi {
 public:
  void status(const std::string& text) override { line(stdout, text); }
  void error(const std::string& text) override { line(stderr, text); }
  void warning(const std::string& text) override { line(stderr, text); }
  void beep() override {}
};

// How a command uses its store. Create: a missing file becomes a new store (import only;
// for every other command a missing file is "no store at FILE"). ReadOnly: nothing is
// written, and the close neither saves the filter state nor compacts: the file keeps its bytes.
enum class StoreMode { ReadWrite, Create, ReadOnly };

// The store a command works on: --db FILE, or the window's default store.
struct OpenStore {
  OpenStore() = default;
  OpenStore(const OpenStore&) = delete;
  OpenStore& operator=(const OpenStore&) = delete;
  // A read-only store is closed without saving on every way out of the command.
  ~OpenStore();

  StoreMode mode = StoreMode::ReadWrite;
  HeadlessStoreUi ui;
  std::unique_ptr<TDM> dm;
};

// Opens the store; on failure prints the reason and returns nothing (the file is untouched).
std::unique_ptr<OpenStore> openStore(const std::optional<std::string>& db, StoreMode mode = StoreMode::ReadWrite);

// Closes the store as the window does at exit (filter state saved, file compacted); a
// read-only store is only closed. Prints what failed; returns the exit status to report
// given the command's own status: a failed compaction alone gives kExitNotCompacted (the
// data is saved), any other failure kExitUsage.
int closeStore(OpenStore& store, int status);

// The exit status for a command whose work is saved but whose compaction failed.
int notCompacted(int status);

}  // namespace quillet::cli
