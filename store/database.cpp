#include "store/database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "store/schema.h"
#include "store/table.h"

namespace quillet {

namespace fs = std::filesystem;

Statement::Statement(sqlite3* db, const std::string& sql) {
  if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()) + 1, SQLITE_PREPARE_PERSISTENT, &stmt_,
                         nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw StoreError(message);
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::adopt(sqlite3_stmt* stmt) {
  sqlite3_finalize(stmt_);
  stmt_ = stmt;
}

Statement::Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

namespace {

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

std::string quoted(const std::string& name) { return "[" + name + "]"; }

const char* sqlType(FieldType type) {
  switch (type) {
    case FieldType::Integer:
    case FieldType::Boolean:
      return "INTEGER";
    case FieldType::Float:
    case FieldType::DateTime:
      return "REAL";
    case FieldType::Text:
    case FieldType::Memo:
      return "TEXT";
  }
  return "";
}

// Runs one or more statements on a connection; raises with the engine's text.
void execOn(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    throw StoreError(message);
  }
}

std::string lockedMessage(const std::string& path) {
  return "database is locked: another program is using the store " + path;
}

// The engine's files begin with this; an empty file is a copy that was never written, and
// one that begins with zeros is a copy whose first page was not written yet.
bool acceptCopy(const unsigned char* head, long length) {
  static const char kMagic[16] = "SQLite format 3";  // with its NUL: 16 bytes
  static const unsigned char kZeros[16] = {};
  return length == 0 ||
         (length == 16 && (std::memcmp(head, kMagic, 16) == 0 || std::memcmp(head, kZeros, 16) == 0));
}

// Copies of this store that a killed compaction left in its folder.
void removeDeadCopies(const std::string& path) noexcept {
  try {
    std::error_code ec;
    fs::path real = fs::canonical(path, ec);
    if (ec) real = path;
    removeDeadFiles(real.parent_path().string(), "mdb", "", acceptCopy);
    removeOrphanedFiles(real.parent_path().string(), "mdb", "-journal");
  } catch (...) {
  }
}

// A connection owned for the length of a scope.
struct Connection {
  sqlite3* db = nullptr;
  ~Connection() { sqlite3_close_v2(db); }
};

}  // namespace

TKADaoDatabase::TKADaoDatabase() = default;

TKADaoDatabase::~TKADaoDatabase() {
  try {
    SetActive(false);
  } catch (...) {
  }
}

std::string TKADaoDatabase::resolvePath() const {
  if (SmartOpen && !fileExists(Database) && !ProgramFolder.empty()) {
    const std::string beside = (fs::path(ProgramFolder) / fs::path(Database).filename()).string();
    if (fileExists(beside)) return beside;
  }
  return Database;
}

void TKADaoDatabase::check(int rc) const {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
    throw StoreError(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
}

void TKADaoDatabase::exec(const std::string& sql) {
  if (!db_) throw StoreError("Database is not open");
  execOn(db_, sql);
}

void TKADaoDatabase::closeConnection() noexcept {
  auto views = views_;
  for (auto* v : views) {
    try {
      v->Close();
    } catch (...) {
    }
  }
  sqlite3_close_v2(db_);
  db_ = nullptr;
  transactionDepth_ = 0;
}

void TKADaoDatabase::SetActive(bool active) {
  if (active == Active()) return;
  if (!active) {
    // The engine lets go of the file before the lock does: closing a descriptor of the
    // file while the engine holds its own locks on it would drop those.
    closeConnection();
    lock_.release();
    return;
  }

  const std::string path = resolvePath();
  if (path.empty()) throw StoreError("No database file name given");
  bool created = false;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int e = errno;
    if (e != ENOENT && e != ENOTDIR) throw StoreError("unable to open database file: " + path + ": " + std::strerror(e));
    if (ReadOnly || !CreateIfMissing) throw StoreError("no store at " + path);
    // A new, private store: its folders and the file are made here so that they are never
    // readable by others.
    const std::string folder = fs::path(path).parent_path().string();
    if (!makePrivateFolders(folder))
      throw StoreError("unable to make the folder " + folder + ": " + std::strerror(errno));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      created = true;
    } else if (errno != EEXIST) {
      throw StoreError("unable to open database file: " + path + ": " + std::strerror(errno));
    }
  }

  if (Exclusive && !lock_.names(path)) {
    int err = 0;
    switch (lock_.acquire(path, &err)) {
      case FileLock::Result::Locked:
        break;
      case FileLock::Result::Busy:
        throw StoreError(lockedMessage(path));
      case FileLock::Result::NotRegular:
        throw StoreError("unable to open database file: " + path + " is not a regular file");
      case FileLock::Result::Failed:
        throw StoreError("unable to open database file: " + path + ": " + std::strerror(err));
    }
  }
  // An empty file is what a run killed while creating the store leaves; with the lock
  // held it is made a store again.
  bool create = created;
  if (!create && lock_.held() && CreateIfMissing && !ReadOnly) {
    struct stat held {};
    create = ::fstat(lock_.fd(), &held) == 0 && held.st_size == 0;
  }
  auto giveUp = [&] {
    if (created && lock_.held()) ::unlink(path.c_str());
    lock_.release();
  };

  // A store the user may not write is opened for reading only (even where the system
  // would let this user write it), so that nothing is written into it.
  bool readOnly = ReadOnly;
  if (!readOnly && ::stat(path.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
    readOnly = true;
  Connection c;
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &c.db, flags, nullptr) != SQLITE_OK) {
    const std::string message = c.db ? sqlite3_errmsg(c.db) : "out of memory";
    sqlite3_close_v2(c.db);
    c.db = nullptr;
    giveUp();
    throw StoreError(message);
  }
  try {
    sqlite3_extended_result_codes(c.db, 0);
    if (Exclusive) {
      // The engine's own lock is taken now and held until close as well, so that other
      // programs using the engine are refused too.
      execOn(c.db, "PRAGMA locking_mode=EXCLUSIVE;");
      try {
        execOn(c.db, readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT;"
                              : "BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_master; COMMIT;");
      } catch (const StoreError&) {
        if (sqlite3_errcode(c.db) == SQLITE_BUSY || sqlite3_errcode(c.db) == SQLITE_LOCKED)
          throw StoreError(lockedMessage(path));
        throw;
      }
    } else {
      execOn(c.db, "SELECT count(*) FROM sqlite_master;");
    }
    if (create) {
      std::string sql = "BEGIN;";
      for (const auto& table : StoreSchema()) {
        sql += "CREATE TABLE " + quoted(table.name) + " (";
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
          if (i) sql += ", ";
          sql += quoted(table.columns[i].name) + " " + sqlType(table.columns[i].type);
        }
        sql += ");";
      }
      sql += "COMMIT;";
      execOn(c.db, sql);
    }
  } catch (...) {
    sqlite3_close_v2(c.db);
    c.db = nullptr;
    giveUp();
    throw;
  }
  db_ = c.db;
  c.db = nullptr;
  Database = path;
  transactionDepth_ = 0;
  if (lock_.held() && !readOnly) removeDeadCopies(path);
}

bool TKADaoDatabase::EmptyTable(const std::string& tableName) noexcept {
  if (!db_) return false;
  const std::string sql = "DELETE FROM " + quoted(tableName) + ";";
  return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

void TKADaoDatabase::BeginTransaction() {
  if (transactionDepth_++ == 0) {
    try {
      exec("BEGIN;");
    } catch (...) {
      transactionDepth_ = 0;
      throw;
    }
  }
}

void TKADaoDatabase::CommitTransaction() {
  if (transactionDepth_ == 0) return;
  if (--transactionDepth_ != 0 || !db_) return;
  if (sqlite3_get_autocommit(db_)) {
    throw StoreError(std::string("the engine rolled the changes back by itself (") + sqlite3_errmsg(db_) +
                     "); they are not saved");
  }
  try {
    exec("COMMIT;");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
    throw;
  }
}

void TKADaoDatabase::RollbackTransaction() noexcept {
  transactionDepth_ = 0;
  if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
}

bool TKADaoDatabase::IsReadOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

bool TKADaoDatabase::TransactionLost() const {
  return transactionDepth_ > 0 && db_ && sqlite3_get_autocommit(db_);
}

void TKADaoDatabase::registerView(TKADaoTable* view) { views_.push_back(view); }

void TKADaoDatabase::unregisterView(TKADaoTable* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

}  // namespace quillet
