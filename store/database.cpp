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

void TKADaoDatabase::SetActive(bool active) {
  if (active == Active()) return;
  if (!active) {
    auto views = views_;
    for (auto* v : views) v->Close();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    transactionDepth_ = 0;
    return;
  }

  const std::string path = resolvePath();
  if (path.empty()) throw StoreError("No database file name given");
  bool create = false;
  if (!fs::exists(path)) {
    if (ReadOnly) throw StoreError("unable to open database file: " + path);
    // A new, private store: the file is made here so that it is never readable by others.
    std::error_code ec;
    const auto folder = fs::path(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw StoreError("unable to open database file: " + path + ": " + std::strerror(errno));
    ::close(fd);
    create = true;
  }

  Connection c;
  const int flags = (ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &c.db, flags, nullptr) != SQLITE_OK) {
    const std::string message = c.db ? sqlite3_errmsg(c.db) : "out of memory";
    if (create) fs::remove(path);
    throw StoreError(message);
  }
  try {
    sqlite3_extended_result_codes(c.db, 0);
    if (Exclusive) {
      // The lock is taken now and held until close, so a second copy is refused at once.
      execOn(c.db, "PRAGMA locking_mode=EXCLUSIVE;");
      execOn(c.db, ReadOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT;"
                            : "BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_master; COMMIT;");
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
    if (create) fs::remove(path);
    throw;
  }
  db_ = c.db;
  c.db = nullptr;
  Database = path;
  transactionDepth_ = 0;
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
  if (--transactionDepth_ == 0 && db_ && !sqlite3_get_autocommit(db_)) {
    try {
      exec("COMMIT;");
    } catch (...) {
      sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
      throw;
    }
  }
}

void TKADaoDatabase::registerView(TKADaoTable* view) { views_.push_back(view); }

void TKADaoDatabase::unregisterView(TKADaoTable* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void TKADaoDatabase::CompactAccessDatabase(const std::string& fileName, const std::string& /*password*/) {
  // The engine keeps no passwords; the argument is accepted for callers that pass one.
  fs::path file(fileName);
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = fs::current_path();

  std::string pattern = (folder / "mdbXXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw StoreError("Cannot create a temporary file in " + folder.string() + ": " + std::strerror(errno));
  ::close(fd);
  const std::string temp = pattern;
  ::unlink(temp.c_str());

  auto removeTemp = [&] {
    std::error_code ec;
    fs::remove(temp, ec);
  };
  try {
    {
      Connection c;
      if (sqlite3_open_v2(fileName.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
          SQLITE_OK)
        throw StoreError(c.db ? sqlite3_errmsg(c.db) : "out of memory");
      Statement vacuum(c.db, "VACUUM INTO ?1;");
      sqlite3_bind_text(vacuum.get(), 1, temp.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(vacuum.get()) != SQLITE_DONE) throw StoreError(sqlite3_errmsg(c.db));
    }
    // The copy must be on disk before it takes the original's place.
    const int tfd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (tfd < 0) throw StoreError("Cannot open the compacted copy " + temp + ": " + std::strerror(errno));
    const bool synced = ::fsync(tfd) == 0;
    ::close(tfd);
    if (!synced) throw StoreError("Cannot write the compacted copy " + temp + ": " + std::strerror(errno));
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
    if (::rename(temp.c_str(), fileName.c_str()) != 0)
      throw StoreError("Cannot replace " + fileName + " by its compacted copy: " + std::strerror(errno));
  } catch (...) {
    removeTemp();
    throw;
  }
}

}  // namespace quillet
