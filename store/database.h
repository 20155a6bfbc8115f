#pragma once
// The connection to the store file. The file is SQLite's; its name stays "Quillet.mdb".
#include <memory>
#include <string>
#include <vector>

#include "store/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillet {

class TKADaoTable;

// One prepared statement, finalized by its owner.
class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, const std::string& sql);  // raises StoreError with the engine's text
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  sqlite3_stmt* get() const { return stmt_; }
  void adopt(sqlite3_stmt* stmt);  // takes ownership of a statement prepared elsewhere
  explicit operator bool() const { return stmt_ != nullptr; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

class TKADaoDatabase {
 public:
  TKADaoDatabase();
  ~TKADaoDatabase();
  TKADaoDatabase(const TKADaoDatabase&) = delete;
  TKADaoDatabase& operator=(const TKADaoDatabase&) = delete;

  // Configured path of the store file. With SmartOpen, when no file exists there but one of
  // the same name exists in ProgramFolder, that one is used; when neither exists a new store
  // with the empty tables is created at the configured path (folders made, mode 0600).
  // The resolved path is kept in Database from then on.
  std::string Database;
  std::string ProgramFolder;
  bool SmartOpen = true;
  bool Exclusive = true;
  bool ReadOnly = false;

  // Open or close. Opening raises StoreError with the engine's message; closing closes
  // every open view of this connection first.
  void SetActive(bool active);
  bool Active() const { return db_ != nullptr; }

  // "DELETE FROM [table];" — false when the engine refused it (the error is swallowed).
  bool EmptyTable(const std::string& tableName) noexcept;

  // Compacts the closed store file in place: a compacted copy is written to a temporary
  // file "mdb…" in the same folder and renamed over the original, which is never removed
  // before the copy is complete. Raises StoreError; the original then stays as it was.
  static void CompactAccessDatabase(const std::string& fileName, const std::string& password);

  // Transactions for batch work (nesting counted; only the outermost begins and commits).
  void BeginTransaction();
  void CommitTransaction();

  sqlite3* handle() const { return db_; }
  // Raises StoreError with the engine's message for a failed call.
  void check(int rc) const;
  void exec(const std::string& sql);

  // Views register themselves so that closing the connection closes them.
  void registerView(TKADaoTable* view);
  void unregisterView(TKADaoTable* view);

 private:
  std::string resolvePath() const;
  sqlite3* db_ = nullptr;
  int transactionDepth_ = 0;
  std::vector<TKADaoTable*> views_;
};

}  // namespace quillet
