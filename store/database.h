#pragma once
// The connection to the store file. The file is SQLite's; its name stays "Quillet.mdb".
#include <memory>
#include <string>
#include <vector>

#include "store/filelock.h"
#include "store/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillet {

class TKADaoTable;

// The store's data is saved, but compacting the file failed; the file is left as it was.
class CompactError : public StoreError {
 public:
  using StoreError::StoreError;
};

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
  // When false, a missing file is an error ("no store at FILE") instead of a new store.
  bool CreateIfMissing = true;

  // Open or close. Opening raises StoreError with the engine's message; a store another
  // program holds gives "database is locked: ..." with its path. With Exclusive the file
  // is locked before the engine opens it and until it is closed, and copies that a dead
  // run's compaction left beside it are removed. Closing closes every open view first.
  void SetActive(bool active);
  bool Active() const { return db_ != nullptr; }
  // The open store cannot be written (ReadOnly, or a file the user may not write).
  bool IsReadOnly() const;

  // "DELETE FROM [table];" — false when the engine refused it (the error is swallowed).
  bool EmptyTable(const std::string& tableName) noexcept;

  // Compacts the closed store file in place: a compacted copy is written to a temporary
  // file "mdb…" in the same folder and renamed over the original, which is never removed
  // before the copy is complete. Raises StoreError; the original then stays as it was.
  static void CompactAccessDatabase(const std::string& fileName, const std::string& password);

  // Closes the open store and compacts its file while still holding it: the compacted copy
  // (private from creation, in the folder of the file a symbolic link points to) takes the
  // file's place before the lock is let go, so no other program sees the store between the
  // close and the rename. With keepLock the lock stays on the compacted file for a reopen.
  // A store the user may not write is closed and left as it is. Raises CompactError (the
  // store is closed and its file unchanged in every case).
  void CloseAndCompact(bool keepLock = false);

  // Transactions for batch work (nesting counted; only the outermost begins and commits).
  // Committing a transaction that the engine already rolled back by itself (a full disk,
  // an I/O error) raises StoreError: the work is lost and must not read as saved.
  void BeginTransaction();
  void CommitTransaction();
  // Rolls the whole transaction back, whatever its nesting. Errors are swallowed.
  void RollbackTransaction() noexcept;
  // A transaction was begun and the engine has since rolled it back by itself.
  bool TransactionLost() const;

  // Called during compaction after the engine has let go of the store and before the copy
  // replaces it (tests use it to try the store from a second program at that moment).
  static void (*OnCompactionGap)(const std::string& storeFile);

  sqlite3* handle() const { return db_; }
  // Raises StoreError with the engine's message for a failed call.
  void check(int rc) const;
  void exec(const std::string& sql);

  // Views register themselves so that closing the connection closes them.
  void registerView(TKADaoTable* view);
  void unregisterView(TKADaoTable* view);

 private:
  std::string resolvePath() const;
  void closeConnection() noexcept;
  sqlite3* db_ = nullptr;
  FileLock lock_;
  int transactionDepth_ = 0;
  std::vector<TKADaoTable*> views_;
};

}  // namespace quillet
